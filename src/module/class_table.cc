#include "module/class_table.h"

#include <array>

#include "data/descriptions/pl_info.h"
#include "generation/generator_classes.h"
#include "module/timestamp.h"

namespace tavo {
namespace {

constexpr std::string_view kPrefix = "TavoPlaylist2Pelta";

// The order is fixed: it is the order of DllGetClassObject's walk and of
// registration.
const std::array<ClassEntry, 25> kClasses = {{
    {"TavoPeltaPlaylist2Mgr", &CLSID_TavoPeltaPlaylist2Mgr, 101, kPrefix,
     "{bc172a2a-ad09-404c-895b-d04994f10b88}", nullptr},
    {"TavoPL2Criteria", &CLSID_TavoPL2Criteria, 102, kPrefix, "{34e33ee4-1d9b-42c2-90f9-74100f951a44}", nullptr},
    {"TavoPL2Timestamp", &CLSID_TavoPL2Timestamp, 103, "TavoPlaylist", "{ccfae542-320c-4f47-a59d-c9efcc0a7658}",
     &Timestamp::Create},
    {"TavoPL2FindData", &CLSID_TavoPL2FindData, 201, kPrefix, "{5a74f518-f887-483f-9e59-09c0ec15e18e}", nullptr},
    {"TavoPL2Result", &CLSID_TavoPL2Result, 0, kPrefix, "{512087e0-0add-45de-b0e4-bd5fa029ee51}", nullptr},
    {"TavoPL2ResultList", &CLSID_TavoPL2ResultList, 0, kPrefix, "{f8f76e2d-8db9-47d8-91d2-10b34e79ab00}", nullptr},
    {"TavoEra", &CLSID_TavoEra, 0, kPrefix, "{094c0208-1824-48b6-a960-7d0f91569417}", nullptr},
    {"TavoPLGeneratorList", &CLSID_TavoPLGeneratorList, 113, kPrefix, "{e3a1364b-0a15-4594-8ab5-ca4daf964c62}",
     &TavoPLGeneratorList::Create},
    {"TavoPLGenerator", &CLSID_TavoPLGenerator, 114, kPrefix, "{cfc6bc20-9a40-4ed9-b3ab-8b149d76b1dc}",
     &TavoPLGenerator::Create},
    {"TavoPLGenCriteria", &CLSID_TavoPLGenCriteria, 115, kPrefix, "{74b99c5a-bc33-4715-b613-1b36b7eeb28a}",
     &TavoPLGenCriteria::Create},
    {"TavoPLGenLimit", &CLSID_TavoPLGenLimit, 116, kPrefix, "{151cb760-ded6-43c1-b8b1-55053fc0eb03}",
     &TavoPLGenLimit::Create},
    {"TavoPLGenCriteriaList", &CLSID_TavoPLGenCriteriaList, 117, kPrefix, "{91e7379f-bb8a-44d9-930d-b7a4bc27f299}",
     &TavoPLGenCriteriaList::Create},
    {"TavoPLGenLimitList", &CLSID_TavoPLGenLimitList, 118, kPrefix, "{ed75723c-c2c2-41f0-a53b-eeba58e99008}",
     &TavoPLGenLimitList::Create},
    {"TavoPLGenRank", &CLSID_TavoPLGenRank, 119, kPrefix, "{60e3a301-0599-43be-9426-37422458c049}",
     &TavoPLGenRank::Create},
    {"TavoPLInfo", &CLSID_TavoPLInfo, 146, kPrefix, "{d5b0933b-c06e-4c7c-b639-8da02f32f374}",
     &TavoPLInfo::Create},
    {"TavoPLDataList", &CLSID_TavoPLDataList, 0, kPrefix, "{7a882a30-16c2-421f-9b51-6bf48dcb86df}", nullptr},
    {"TavoPLDataListItem", &CLSID_TavoPLDataListItem, 0, kPrefix, "{dd2f3c6a-8b35-4a78-a4af-7508bfe2037d}", nullptr},
    {"TavoPLIDList", &CLSID_TavoPLIDList, 0, kPrefix, "{b009ed81-628f-4428-b2f7-cb6c70b929e9}", nullptr},
    {"TavoArtistTypeList", &CLSID_TavoArtistTypeList, 0, kPrefix, "{6ad436fa-2abe-49ac-91e3-435f3618abc9}", nullptr},
    {"TavoOriginsList", &CLSID_TavoOriginsList, 0, kPrefix, "{87a1e032-92fb-436f-a6de-eab1f51d83d5}", nullptr},
    {"TavoGenreDisplayList", &CLSID_TavoGenreDisplayList, 0, kPrefix, "{75081182-3d7a-4596-88bd-6fbbc0826507}",
     nullptr},
    {"TavoEraDisplayList", &CLSID_TavoEraDisplayList, 0, kPrefix, "{5e5031be-ea1d-4b63-ad52-9756bbe70434}", nullptr},
    {"TavoPopularityRangeList", &CLSID_TavoPopularityRangeList, 0, kPrefix,
     "{172c6096-b34d-4ac6-b51a-49c452b2b2e8}", nullptr},
    {"TavoMLDBManager", &CLSID_TavoMLDBManager, 193, kPrefix, "{EE7EAFC9-CFA9-4b35-A22A-8D336FDEF2F7}", nullptr},
    {"TavoPopularityRange", &CLSID_TavoPopularityRange, 0, kPrefix, "{e52f27c7-643a-4295-8c66-f2a0d9eb5d73}",
     nullptr},
}};

#define TAVO_IFACE(I) {#I, &IID_##I}
constexpr ServedInterface kInterfaces[] = {
    TAVO_IFACE(ITavoPlaylist2Mgr),      TAVO_IFACE(ITavoPL2Criteria),      TAVO_IFACE(ITavoPL2ResultList),
    TAVO_IFACE(ITavoPL2Result),         TAVO_IFACE(ITavoPL2Timestamp),     TAVO_IFACE(ITavoPL2FindData),
    TAVO_IFACE(ITavoPLGeneratorList),   TAVO_IFACE(ITavoPLGenerator),      TAVO_IFACE(ITavoPLGenCriteriaList),
    TAVO_IFACE(ITavoPLGenCriteria),     TAVO_IFACE(ITavoPLGenLimitList),   TAVO_IFACE(ITavoPLGenLimit),
    TAVO_IFACE(ITavoPLGenRank),         TAVO_IFACE(ITavoGenreDisplayList), TAVO_IFACE(ITavoPLDataList),
    TAVO_IFACE(ITavoPLDataListItem),    TAVO_IFACE(ITavoPLIDList),         TAVO_IFACE(ITavoArtistTypeList),
    TAVO_IFACE(ITavoOriginsList),       TAVO_IFACE(ITavoEraDisplayList),   TAVO_IFACE(ITavoEra),
    TAVO_IFACE(ITavoPopularityRangeList), TAVO_IFACE(ITavoPLInfo),         TAVO_IFACE(ITavoMLDBManager),
    TAVO_IFACE(ITavoPopularityRange),
};
#undef TAVO_IFACE

constexpr TypeLibrary kTypeLibrary = {&LIBID_TAVOPLAYLIST2LibPelta, "TavoPlaylist(Pelta) 2.0 Type Library",
                                      kInterfaces};

}  // namespace

const TypeLibrary& ComponentTypeLibrary() { return kTypeLibrary; }

std::span<const ClassEntry> ClassTable() { return kClasses; }

const ClassEntry* FindClass(REFCLSID clsid) {
  for (const ClassEntry& entry : kClasses)
    if (*entry.clsid == clsid) return &entry;
  return nullptr;
}

}  // namespace tavo
