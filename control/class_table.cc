#include "control/class_table.h"

#include "control/control_object.h"
#include "control/disc.h"
#include "control/tag_reader.h"

namespace tavo::control {
namespace {

namespace class_ids {
#define TAVO_CLASS(name, ...) TAVO_CLASS_ID(name, __VA_ARGS__)
#include "tavo/control_classes.def"
#undef TAVO_CLASS
}  // namespace class_ids

constexpr std::string_view kPrefix = "TAVOControl";

constexpr ServedClass kClasses[] = {
    {class_ids::TAVOControl, 1, kPrefix, &Control::Create},
    {class_ids::TAVOMP3Reader, 1, kPrefix, &Mp3TagReader::Create},
    {class_ids::TAVOWMAReader, 1, kPrefix, &WmaTagReader::Create},
    {class_ids::TAVODisc, 1, kPrefix, &Disc::Create},
};

#define TAVO_DESCRIBED(I) {#I, &IID_##I},
constexpr ServedInterface kInterfaces[] = {
#include "platform/com/description_table_begin.h"
#include "tavo/control_interfaces.def"
#include "platform/com/description_table_end.h"
};
#undef TAVO_DESCRIBED

constexpr TypeLibrary kTypeLibrary = {&LIBID_TAVOControl, "tavocontrol", kInterfaces};

}  // namespace

std::span<const ServedClass> ControlClasses() { return kClasses; }
const TypeLibrary& ControlTypeLibrary() { return kTypeLibrary; }

}  // namespace tavo::control
