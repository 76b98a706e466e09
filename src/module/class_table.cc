#include "module/class_table.h"

#include "data/descriptions/pl_info.h"
#include "data/descriptors/objects/descriptor_classes.h"
#include "generation/objects/generator_classes.h"
#include "manager/com/manager_classes.h"
#include "vocabulary/timestamp/timestamp.h"

namespace tavo {
namespace {

namespace class_ids {
#define TAVO_CLASS(name, ...) TAVO_CLASS_ID(name, __VA_ARGS__)
#include "tavo/classes.def"
#undef TAVO_CLASS
}  // namespace class_ids

constexpr std::string_view kPrefix = "TavoPlaylist2Pelta";
constexpr std::string_view kTimestampPrefix = "TavoPlaylist";

// The order is fixed: it is the order of DllGetClassObject's walk and of
// registration.
constexpr ClassEntry kClasses[] = {
    {class_ids::TavoPeltaPlaylist2Mgr, 101, kPrefix, &TavoPeltaPlaylist2Mgr::Create},
    {class_ids::TavoPL2Criteria, 102, kPrefix, &TavoPL2Criteria::Create},
    {class_ids::TavoPL2Timestamp, 103, kTimestampPrefix, &Timestamp::Create},
    {class_ids::TavoPL2FindData, 201, kPrefix, &TavoPL2FindData::Create},
    {class_ids::TavoPL2Result, 0, kPrefix, &TavoPL2Result::Create},
    {class_ids::TavoPL2ResultList, 0, kPrefix, &TavoPL2ResultList::Create},
    {class_ids::TavoEra, 0, kPrefix, &TavoEra::Create},
    {class_ids::TavoPLGeneratorList, 113, kPrefix, &TavoPLGeneratorList::Create},
    {class_ids::TavoPLGenerator, 114, kPrefix, &TavoPLGenerator::Create},
    {class_ids::TavoPLGenCriteria, 115, kPrefix, &TavoPLGenCriteria::Create},
    {class_ids::TavoPLGenLimit, 116, kPrefix, &TavoPLGenLimit::Create},
    {class_ids::TavoPLGenCriteriaList, 117, kPrefix, &TavoPLGenCriteriaList::Create},
    {class_ids::TavoPLGenLimitList, 118, kPrefix, &TavoPLGenLimitList::Create},
    {class_ids::TavoPLGenRank, 119, kPrefix, &TavoPLGenRank::Create},
    {class_ids::TavoPLInfo, 146, kPrefix, &TavoPLInfo::Create},
    {class_ids::TavoPLDataList, 0, kPrefix, &TavoPLDataList::Create},
    {class_ids::TavoPLDataListItem, 0, kPrefix, &TavoPLDataListItem::Create},
    {class_ids::TavoPLIDList, 0, kPrefix, &TavoPLIDList::Create},
    {class_ids::TavoArtistTypeList, 0, kPrefix, &TavoArtistTypeList::Create},
    {class_ids::TavoOriginsList, 0, kPrefix, &TavoOriginsList::Create},
    {class_ids::TavoGenreDisplayList, 0, kPrefix, &TavoGenreDisplayList::Create},
    {class_ids::TavoEraDisplayList, 0, kPrefix, &TavoEraDisplayList::Create},
    {class_ids::TavoPopularityRangeList, 0, kPrefix, &TavoPopularityRangeList::Create},
    {class_ids::TavoMLDBManager, 193, kPrefix, &TavoMLDBManager::Create},
    {class_ids::TavoPopularityRange, 0, kPrefix, &TavoPopularityRange::Create},
};

// Every interface of the description (the event interface is no dual
// interface and is not registered).
#define TAVO_DESCRIBED(I) {#I, &IID_##I},
constexpr ServedInterface kInterfaces[] = {
#include "platform/com/description_table_begin.h"
#include "tavo/interfaces.def"
#include "platform/com/description_table_end.h"
};
#undef TAVO_DESCRIBED

constexpr TypeLibrary kTypeLibrary = {&LIBID_TAVOPLAYLIST2LibPelta, "TavoPlaylist(Pelta) 2.0 Type Library",
                                      kInterfaces};

}  // namespace

const TypeLibrary& ComponentTypeLibrary() { return kTypeLibrary; }

std::span<const ClassEntry> ClassTable() { return kClasses; }

const ClassEntry* FindClass(REFCLSID clsid) {
  for (const ClassEntry& entry : kClasses)
    if (entry.clsid() == clsid) return &entry;
  return nullptr;
}

}  // namespace tavo
