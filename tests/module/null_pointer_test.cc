// The null-pointer test of every member of every object the module makes,
// generated from the interface descriptions (support/null_out_calls.h): a
// null [out] pointer gives E_POINTER, or the member's documented status.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "module/class_table.h"
#include "platform/com/com_ptr.h"
#include "support/null_out_calls.h"

namespace tavo {
namespace {

using null_out::DescribedInterface;

#define TAVO_DESCRIBED(I) TAVO_NULL_OUT_ENTRY(I)
const std::vector<DescribedInterface> kInterfaces = {
#include "platform/com/description_table_begin.h"
#include "tavo/standard_interfaces.def"
#include "tavo/interfaces.def"
#include "platform/com/description_table_end.h"
};
#undef TAVO_DESCRIBED

// Members whose documented answer to a missing pointer is not E_POINTER:
// the timestamp's getters, every member of a result (E_INVALIDARG) and of
// the classic criteria (E_NOTIMPL).
#define TAVO_DOCUMENTED_INVALIDARG(T, id, kind, Method, rv, ...) {#T "::" #Method, E_INVALIDARG},
#define TAVO_DOCUMENTED_NOTIMPL(T, id, kind, Method, rv, ...) {#T "::" #Method, E_NOTIMPL},
const std::map<std::string, HRESULT> kDocumented = {
    {"ITavoPL2Timestamp::get_Year", 87},   {"ITavoPL2Timestamp::get_Month", 87},
    {"ITavoPL2Timestamp::get_Day", 87},    {"ITavoPL2Timestamp::get_Hour", 87},
    {"ITavoPL2Timestamp::get_Minute", 87}, {"ITavoPL2Timestamp::GetAsString", 87},
    // The classic criteria members answer E_NOTIMPL and touch no argument.
    {"ITavoPlaylist2Mgr::CreatePlaylist", E_NOTIMPL}, {"ITavoPlaylist2Mgr::RetrieveCriteria", E_NOTIMPL},
    {"ITavoPlaylist2Mgr::SaveCriteria", E_NOTIMPL},   {"ITavoPlaylist2Mgr::NumSavedCriteria", E_NOTIMPL},
    {"ITavoPlaylist2Mgr::GetEras", E_NOTIMPL},
    // The playlist members refuse a missing list pointer as a bad argument.
    {"ITavoPlaylist2Mgr::CreateDynPlaylist", E_INVALIDARG},
    {"ITavoPlaylist2Mgr::CreatePlaylistFromFolder", E_INVALIDARG},
    // Takes a missing out pointer (it then only loads the list); before
    // Initialize there is no list.
    {"ITavoPlaylist2Mgr::GetGenreDisplayList", E_FAIL},
    // A missing out-pointer is a bad argument, as a missing file name is.
    {"ITavoPlaylist2Mgr::StatsGetPlays", E_INVALIDARG}, {"ITavoPlaylist2Mgr::StatsGetRating", E_INVALIDARG},
    {"ITavoPlaylist2Mgr::FileGetFieldValDate", E_INVALIDARG},
    {"ITavoMLDBManager::GetOptions", E_INVALIDARG},   {"ITavoMLDBManager::CheckInitFlag", E_INVALIDARG},
    TAVO_OWN_ITavoPL2Result(TAVO_DOCUMENTED_INVALIDARG, ITavoPL2Result)
    TAVO_OWN_ITavoPL2Criteria(TAVO_DOCUMENTED_NOTIMPL, ITavoPL2Criteria)
};
#undef TAVO_DOCUMENTED_INVALIDARG
#undef TAVO_DOCUMENTED_NOTIMPL

std::string UnexpectedOf(IUnknown* object) {
  return null_out::UnexpectedNullOutStatuses(object, kInterfaces, kDocumented);
}

TEST(NullPointerTest, EveryMemberOfEveryModuleObjectRefusesNullOutPointers) {
  int objects = 0;
  for (const ClassEntry& e : ClassTable()) {
    if (e.create == nullptr) continue;
    ComPtr<IUnknown> object;
    ASSERT_EQ(S_OK, e.create(nullptr, IID_IUnknown, object.ReleaseAndGetVoidAddressOf())) << e.name();
    EXPECT_EQ("", UnexpectedOf(object.Get())) << e.name();
    ++objects;
  }
  EXPECT_EQ(25, objects);

  // Objects the classes hand out: a generator list's enumerator.
  ComPtr<ITavoPLGeneratorList> list;
  ASSERT_EQ(S_OK, FindClass(CLSID_TavoPLGeneratorList)->create(nullptr, IID_ITavoPLGeneratorList,
                                                                list.ReleaseAndGetVoidAddressOf()));
  ComPtr<IUnknown> walker;
  ASSERT_EQ(S_OK, list->get__NewEnum(walker.ReleaseAndGetAddressOf()));
  EXPECT_EQ("", UnexpectedOf(walker.Get())) << "the generator list's enumerator";
}

}  // namespace
}  // namespace tavo
