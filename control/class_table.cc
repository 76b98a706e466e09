#include "control/class_table.h"

#include "control/control_object.h"
#include "control/disc.h"
#include "control/tag_reader.h"

namespace tavo::control {
namespace {

constexpr std::string_view kPrefix = "TAVOControl";

constexpr ServedClass kClasses[] = {
    {"TAVOControl", &CLSID_TAVOControl, 1, kPrefix, "", &Control::Create},
    {"TAVOMP3Reader", &CLSID_TAVOMP3Reader, 1, kPrefix, "", &Mp3TagReader::Create},
    {"TAVOWMAReader", &CLSID_TAVOWMAReader, 1, kPrefix, "", &WmaTagReader::Create},
    {"TAVODisc", &CLSID_TAVODisc, 1, kPrefix, "", &Disc::Create},
};

#define TAVOCTL_IFACE(I) {#I, &IID_##I}
constexpr ServedInterface kInterfaces[] = {
    TAVOCTL_IFACE(ITAVOControl),       TAVOCTL_IFACE(ITAVOControlEx),      TAVOCTL_IFACE(ITAVOService),
    TAVOCTL_IFACE(ITAVOLookup),        TAVOCTL_IFACE(ITAVOCorrelateList),  TAVOCTL_IFACE(ITAVOCorrelateEntry),
    TAVOCTL_IFACE(ITAVORelatedList),   TAVOCTL_IFACE(ITAVORelatedItem),    TAVOCTL_IFACE(ITAVOMP3Reader),
    TAVOCTL_IFACE(ITAVOWMAReader),     TAVOCTL_IFACE(ITAVOTag),            TAVOCTL_IFACE(ITAVODisc),
    TAVOCTL_IFACE(ITAVODiscData),      TAVOCTL_IFACE(ITAVOTrack),
};
#undef TAVOCTL_IFACE

constexpr TypeLibrary kTypeLibrary = {&LIBID_TAVOControl, "tavocontrol", kInterfaces};

}  // namespace

std::span<const ServedClass> ControlClasses() { return kClasses; }
const TypeLibrary& ControlTypeLibrary() { return kTypeLibrary; }

}  // namespace tavo::control
