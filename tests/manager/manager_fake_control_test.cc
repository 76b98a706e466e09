// The manager against a control of the test's making: controls that are
// too old, malformed or failing, database folders that cannot be one, list
// documents of the test's making (the list cases through the interfaces),
// and preset files that do not read.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fake_control.h"
#include "fake_list_service.h"
#include "library/library_test_util.h"
#include "manager/com/playlist2_mgr.h"
#include "host_helpers.h"
#include "tavo/enums.h"

namespace tavo {
namespace {

using testing::Bstr;
using testing::FakeControl;
using testing::Item;
using testing::ListDocument;
using testing::Take;

class FakeControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing::ScratchDir();
    control_ = FakeControl::Make();
    object_ = TavoPeltaPlaylist2Mgr::Make();
    manager_ = object_.Get();
  }

  HRESULT Initialize() { return manager_->Initialize(control_.Get(), Bstr(dir_).s); }
  void Serve(int which, const std::string& document) { control_->service->documents[which] = document; }

  // The ids `get` gives, "1,2,3", or "failed".
  template <class Get>
  static std::string Ids(Get get) {
    ITavoPLIDList* ids = nullptr;
    if (get(&ids) != S_OK) return "failed";
    LONG count = 0;
    ids->get_Count(&count);
    std::string text;
    for (LONG i = 1; i <= count; ++i) {
      LONG id = 0;
      ids->GetID(i, &id);
      text += (i > 1 ? "," : "") + std::to_string(id);
    }
    ids->Release();
    return text;
  }
  static LONG IdOf(ITavoPLDataListItem* item) {
    LONG id = -1;
    item->get_Id(&id);
    return id;
  }

  std::string dir_;
  ComPtr<FakeControl> control_;
  ComPtr<TavoPeltaPlaylist2Mgr> object_;
  ITavoPlaylist2Mgr* manager_ = nullptr;
};

// A control too old or malformed, whose query fails, or that has no service
// object is refused with a status; the manager stays usable.
TEST_F(FakeControlTest, UnusableControlsAreRefusedWithAStatus) {
  const struct {
    const char* version;
    HRESULT version_status, query_status, service_status;
    bool service_null;
    HRESULT expected;
  } cases[] = {
      {"TAVOControl 2.0.99.99", S_OK, S_OK, S_OK, false, ERR_PL_TAVOControlVersion},
      {"TAVOControl 2.1.9.3", S_OK, S_OK, S_OK, false, ERR_PL_TAVOControlVersion},
      {"TAVOControl 2.1.0", S_OK, S_OK, S_OK, false, ERR_PL_TAVOControlVersion},
      {"TAVOControl two", S_OK, S_OK, S_OK, false, ERR_PL_TAVOControlVersion},
      {"TAVOControl 2.1.0.4", E_FAIL, S_OK, S_OK, false, E_FAIL},
      {"TAVOControl 2.1.0.4", S_OK, E_NOINTERFACE, S_OK, false, ERR_PL_TAVOControlVersion},
      {"TAVOControl 2.1.0.4", S_OK, E_OUTOFMEMORY, S_OK, false, E_OUTOFMEMORY},
      {"TAVOControl 2.1.0.4", S_OK, S_OK, E_FAIL, false, ERR_PL_TAVOControlVersion},
      {"TAVOControl 2.1.0.4", S_OK, S_OK, S_OK, true, ERR_PL_TAVOControlVersion},
      {"TAVOControl 2.1.0.4", S_OK, S_OK, S_OK, false, S_OK},
      {"TAVOControl 3.0.0.0", S_OK, S_OK, S_OK, false, S_OK},
  };
  for (const auto& c : cases) {
    control_->version = c.version;
    control_->version_status = c.version_status;
    control_->query_status = c.query_status;
    control_->service_status = c.service_status;
    control_->service_null = c.service_null;
    EXPECT_EQ(c.expected, Initialize()) << c.version << " " << std::hex << c.query_status;
    if (c.expected != S_OK) {
      EXPECT_EQ(E_UNEXPECTED, manager_->DownloadCorrelates(0));  // not initialized
    }
    EXPECT_EQ(S_OK, manager_->Shutdown());
  }
}

// A folder whose record file cannot be opened fails with E_FAIL and leaves
// the manager closed.
TEST_F(FakeControlTest, AFolderThatCannotHoldTheDatabaseFails) {
  std::filesystem::create_directory(testing::PathIn(dir_, LibraryFile::kRecords));
  EXPECT_EQ(E_FAIL, Initialize());
  EXPECT_EQ(E_UNEXPECTED, manager_->DownloadCorrelates(0));
  std::filesystem::remove(testing::PathIn(dir_, LibraryFile::kRecords));
  EXPECT_EQ(S_OK, Initialize());
}

// A service that answers nothing: the manager opens, every list fails, and
// so do the generators, which need the genre list.
TEST_F(FakeControlTest, AServiceThatFailsLeavesNoListsAndNoGenerators) {
  ASSERT_EQ(S_OK, Initialize());
  ComPtr<ITavoGenreDisplayList> genres;
  EXPECT_EQ(E_FAIL, manager_->GetGenreDisplayList(0, genres.ReleaseAndGetAddressOf()));
  ComPtr<ITavoEraDisplayList> eras;
  EXPECT_EQ(E_FAIL, manager_->GetEraDisplayList(0, eras.ReleaseAndGetAddressOf()));
  EXPECT_EQ(E_FAIL, manager_->LoadUserPLGens());
  ComPtr<ITavoPLGeneratorList> list;
  EXPECT_EQ(E_FAIL, manager_->GetPresetPlaylistGenList(list.ReleaseAndGetAddressOf()));
  EXPECT_EQ(E_FAIL, manager_->SaveUserPLGens());
  EXPECT_EQ(E_FAIL, manager_->DownloadCorrelates(1));
  ComPtr<ITavoPLDataList> named;
  ASSERT_EQ(S_OK, manager_->GetPLDataList(0, Bstr("absent").s, named.ReleaseAndGetAddressOf()));
  LONG count = -1;
  named->get_Count(&count);
  EXPECT_EQ(0, count);
  EXPECT_EQ(E_INVALIDARG, manager_->GetPLDataList(0, Bstr("../absent").s, named.ReleaseAndGetAddressOf()));
}

TEST_F(FakeControlTest, ListsKeepOrdinalOrderAndDeriveParents) {
  Serve(2, ListDocument("artist-types", "1", "t",
                        "<ITEM ID=\"30\" ORDINAL=\"3\"><DISPLAY>C</DISPLAY></ITEM>"
                        "<ITEM ID=\"10\" ORDINAL=\"1\"><DISPLAY>A</DISPLAY></ITEM>"
                        "<ITEM ID=\"20\" ORDINAL=\"2\"><DISPLAY>B</DISPLAY></ITEM>"));
  Serve(1, ListDocument("origins", "1", "t", Item(1, "A", {3}) + Item(2, "B", {3}) + Item(3, "Both")));
  ASSERT_EQ(S_OK, Initialize());
  EXPECT_EQ(E_POINTER, manager_->GetArtistTypes(nullptr));
  ComPtr<ITavoArtistTypeList> types;
  ASSERT_EQ(S_OK, manager_->GetArtistTypes(types.ReleaseAndGetAddressOf()));
  for (LONG i = 1; i <= 3; ++i) {
    ComPtr<ITavoPLDataListItem> item;
    ASSERT_EQ(S_OK, types->GetItem(i, item.ReleaseAndGetAddressOf()));
    EXPECT_EQ(10 * i, IdOf(item.Get()));
  }
  ComPtr<ITavoPLDataListItem> none;
  EXPECT_EQ(E_INVALIDARG, types->GetItem(0, none.ReleaseAndGetAddressOf()));

  ComPtr<ITavoOriginsList> origins, again;
  ASSERT_EQ(S_OK, manager_->GetOrigins(origins.ReleaseAndGetAddressOf()));
  ASSERT_EQ(S_OK, manager_->GetOrigins(again.ReleaseAndGetAddressOf()));
  EXPECT_EQ(origins.Get(), again.Get());  // made once
  ComPtr<ITavoPLDataListItem> both;
  ASSERT_EQ(S_OK, origins->GetItemById(3, both.ReleaseAndGetAddressOf()));
  EXPECT_EQ("1,2", Ids([&](ITavoPLIDList** out) { return both->get_Parents(out); }));
}

TEST_F(FakeControlTest, ErasAndGenresAnswerTheirLookups) {
  const auto era = [](int id, int start, int end) {
    return Item(id, std::to_string(start), {},
                "<RANGE_START_DATE>" + std::to_string(start) + "</RANGE_START_DATE><RANGE_END_DATE>" +
                    std::to_string(end) + "</RANGE_END_DATE>");
  };
  Serve(0, ListDocument("eras", "1", "t", era(1, 1900, 1999) + era(2, 1980, 1989) + era(3, 1981, 1990)));
  Serve(3, ListDocument("genres", "1", "t",
                        Item(250, "Low") + Item(1000, "Rock", {500, 1001}) + Item(1001, "Hard", {1002, 1003}) +
                            Item(1002, "Heavy") + Item(1003, "Glam")));
  ASSERT_EQ(S_OK, Initialize());
  ComPtr<ITavoEraDisplayList> eras;
  ASSERT_EQ(S_OK, manager_->GetEraDisplayList(0, eras.ReleaseAndGetAddressOf()));
  const struct {
    LONG year, spread, id;
  } choices[] = {{1985, 1, 2}, {1985, 20, 1}, {1850, 1, -1}};
  for (const auto& c : choices) {
    ComPtr<ITavoEra> chosen;
    const HRESULT hr = eras->GetEraByYear(c.year, c.spread, chosen.ReleaseAndGetAddressOf());
    if (c.id < 0) {
      EXPECT_EQ(E_INVALIDARG, hr);
    } else {
      ASSERT_EQ(S_OK, hr);
      EXPECT_EQ(c.id, IdOf(chosen.Get())) << c.year << "/" << c.spread;
    }
  }

  ComPtr<ITavoGenreDisplayList> genres;
  ASSERT_EQ(S_OK, manager_->GetGenreDisplayList(0, genres.ReleaseAndGetAddressOf()));
  ComPtr<ITavoPLDataListItem> shown;
  ASSERT_EQ(S_OK, genres->GetDisplayItemByID(250, shown.ReleaseAndGetAddressOf()));
  EXPECT_EQ(250, IdOf(shown.Get()));
  ASSERT_EQ(S_OK, genres->GetDisplayItemByID(500, shown.ReleaseAndGetAddressOf()));
  EXPECT_EQ(1000, IdOf(shown.Get()));
  EXPECT_EQ("500,1001,1002,1003", Ids([&](ITavoPLIDList** out) { return genres->get_DescendantsById(1000, out); }));
  EXPECT_EQ("1002,1003", Ids([&](ITavoPLIDList** out) { return genres->get_LeafDescendantsById(1000, out); }));
  EXPECT_EQ("failed", Ids([&](ITavoPLIDList** out) { return genres->get_LeafDescendantsById(1002, out); }));
}

// A list document whose hierarchy runs in a circle is refused.
TEST_F(FakeControlTest, ACyclicListIsRefused) {
  Serve(2, ListDocument("artist-types", "1", "t", Item(1, "A", {2}) + Item(2, "B", {1})));
  ASSERT_EQ(S_OK, Initialize());
  ComPtr<ITavoArtistTypeList> types;
  EXPECT_EQ(E_FAIL, manager_->GetArtistTypes(types.ReleaseAndGetAddressOf()));
}

// Items made from a list stay whole when a reload replaces the list object
// and after the manager has shut down.
TEST_F(FakeControlTest, ItemsOutliveTheirListObject) {
  Serve(0, ListDocument("eras", "1", "t", Item(7, "Sixties")));
  ASSERT_EQ(S_OK, Initialize());
  ComPtr<ITavoEraDisplayList> before, after;
  ASSERT_EQ(S_OK, manager_->GetEraDisplayList(0, before.ReleaseAndGetAddressOf()));
  ComPtr<ITavoPLDataListItem> item;
  ASSERT_EQ(S_OK, before->GetItem(1, item.ReleaseAndGetAddressOf()));
  before = nullptr;
  manager_->DownloadCorrelates(0);  // reloads the lists
  ASSERT_EQ(S_OK, manager_->GetEraDisplayList(0, after.ReleaseAndGetAddressOf()));
  ASSERT_EQ(S_OK, manager_->Shutdown());
  after = nullptr;
  BSTR name = nullptr;
  ASSERT_EQ(S_OK, item->get_Name(&name));
  EXPECT_EQ("Sixties", Take(name));
}

// Preset files: one that does not parse leaves no preset list; unknown
// names load as the "last" field; a saved genre the list no longer holds is
// found again by its master id; a negative seed comes back as it was.
TEST_F(FakeControlTest, PresetFilesThatDoNotReadAndGenresThatMoved) {
  Serve(3, ListDocument("genres", "1", "t",
                        Item(1000, "Rock", {1001}, "<MASTER_ID>1000</MASTER_ID><SYSTEM_LEVEL>1</SYSTEM_LEVEL>") +
                            Item(1001, "Hard", {}, "<MASTER_ID>77</MASTER_ID><SYSTEM_LEVEL>2</SYSTEM_LEVEL>")));
  std::ofstream(dir_ + "/samplepresets.xml") << "<LIST><PSET>";
  std::ofstream(dir_ + "/userplaylists.xml")
      << "<LIST><PSET><NAME>Moved</NAME><SEED>4294967291</SEED><CRITERIA MATCH=\"all\">"
         "<CRIT ORDER=\"1\"><FIELD TYPE=\"ENUM\">track_genrev2</FIELD><OP>eq</OP>"
         "<PARAM1 FIELDLIST=\"track_genrev2\" MASTERID=\"1001\" IDSYSLEVEL=\"2\">9999</PARAM1></CRIT>"
         "<CRIT ORDER=\"2\"><FIELD TYPE=\"NUM\">no_such_field</FIELD><OP>eq</OP><PARAM1>1</PARAM1></CRIT>"
         "</CRITERIA></PSET></LIST>";
  ASSERT_EQ(S_OK, Initialize());
  ComPtr<ITavoPLGeneratorList> presets, user;
  EXPECT_EQ(E_FAIL, manager_->GetPresetPlaylistGenList(presets.ReleaseAndGetAddressOf()));
  ASSERT_EQ(S_OK, manager_->GetUserPlaylistGenList(user.ReleaseAndGetAddressOf()));
  ComPtr<ITavoPLGenerator> moved;
  ASSERT_EQ(S_OK, user->GetPLGenerator(0, moved.ReleaseAndGetAddressOf()));
  LONG seed = 0;
  ASSERT_EQ(S_OK, moved->get_Seed(&seed));
  EXPECT_EQ(-5, seed);
  ComPtr<ITavoPLGenCriteriaList> criteria;
  ASSERT_EQ(S_OK, moved->get_CriteriaList(criteria.ReleaseAndGetAddressOf()));
  std::map<LONG, LONG> params;  // field: integer parameter 1
  LONG count = 0;
  criteria->get_Count(&count);
  for (LONG i = 1; i <= count; ++i) {
    ComPtr<ITavoPLGenCriteria> c;
    ASSERT_EQ(S_OK, criteria->GetCriteria(i, c.ReleaseAndGetAddressOf()));
    LONG field = 0, value = 0;
    c->get_Field(&field);
    c->get_IntParam1(&value);
    params[field] = value;
  }
  EXPECT_EQ((std::map<LONG, LONG>{{19, 1001}, {53, 1}}), params);

  ASSERT_EQ(S_OK, moved->put_Seed(-7));
  ASSERT_EQ(S_OK, manager_->SaveUserPLGens());
  ASSERT_EQ(S_OK, manager_->Shutdown());
  ASSERT_EQ(S_OK, Initialize());
  ASSERT_EQ(S_OK, manager_->GetUserPlaylistGenList(user.ReleaseAndGetAddressOf()));
  ASSERT_EQ(S_OK, user->GetPLGenerator(0, moved.ReleaseAndGetAddressOf()));
  ASSERT_EQ(S_OK, moved->get_Seed(&seed));
  EXPECT_EQ(-7, seed);
  EXPECT_EQ(E_INVALIDARG, user->SavePLGensToFile(Bstr(dir_ + "/list.txt").s));
  EXPECT_EQ(S_OK, user->SavePLGensToFile(Bstr(dir_ + "/list.XML").s));
}

}  // namespace
}  // namespace tavo
