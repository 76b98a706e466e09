// Playlists through the manager's interfaces over a scratch library:
// CreateDynPlaylist by vtable and by dispatch, its bad input, writes seen by
// the next run, and the classic criteria members that answer more than
// E_NOTIMPL. The engine's own tests cover the run's rules in depth; these
// show that the manager hands the engine the library, the selection and the
// generator, and hands the playlist back.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "fake_control.h"
#include "library/library_test_util.h"
#include "manager/com/playlist2_mgr.h"
#include "playlist_helpers.h"
#include "storage/library/track_writes.h"
#include "support/dispatch_call.h"
#include "tavo/enums.h"

namespace tavo {
namespace {

using testing::Bstr;
using testing::FileNamesOf;
using testing::NameArray;
using testing::NewCriteria;
using testing::NewGenerator;

// A track with the values the tests select, limit and sort by.
TrackRecord Song(const std::string& title, const std::string& artist, int genre = 500) {
  TrackRecord t = testing::MakeTrack(title, artist, artist + " album");
  TrackRecord_SetValue(&t, kKeyTLen, "200");
  TrackRecord_SetValue(&t, kKeySize, "4000000");
  if (genre != 0) TrackRecord_SetValue(&t, kKeyGenV2, std::to_string(genre).c_str());
  return t;
}

std::string SongPath(int i) { return "/music/song" + std::to_string(i) + ".mp3"; }

// Every track with a length.
ComPtr<ITavoPLGenerator> EveryTrack() {
  return NewGenerator(NewCriteria(txpl_crit_field_file_length, txpl_crit_op_num_gt, 0));
}

class ManagerPlaylistTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing::ScratchDir();
    control_ = testing::FakeControl::Make();
    object_ = TavoPeltaPlaylist2Mgr::Make();
    manager_ = object_.Get();
    ASSERT_EQ(S_OK, manager_->Initialize(control_.Get(), Bstr(dir_).s));
  }

  MediaLibrary& library() { return *object_->library(); }

  // 25 songs by five artists, written through the manager's library.
  void AddTwentyFive() {
    for (int i = 0; i < 25; ++i) {
      ASSERT_EQ(kLibraryOk, library().AddTrack(SongPath(i), Song("song" + std::to_string(i),
                                                                 "Artist " + std::to_string(i % 5))));
    }
  }

  // The playlist's file names, or one text naming the failure.
  std::vector<std::string> Run(ITavoPLGenerator* g, const std::vector<std::string>& selection = {}) {
    const NameArray names(selection);
    ComPtr<ITavoPL2ResultList> list;
    const HRESULT hr = manager_->CreateDynPlaylist(g, names.v, list.ReleaseAndGetAddressOf());
    if (hr != S_OK) return {"failed " + std::to_string(static_cast<uint32_t>(hr))};
    return FileNamesOf(list.Get());
  }

  std::string dir_;
  ComPtr<testing::FakeControl> control_;
  ComPtr<TavoPeltaPlaylist2Mgr> object_;
  ITavoPlaylist2Mgr* manager_ = nullptr;
};

// Each generator of the table twice with seed 5: the same playlist in the
// same order, of the expected size.
TEST_F(ManagerPlaylistTest, SeedsAndLimitsHoldThroughTheInterface) {
  AddTwentyFive();
  const struct {
    const char* name;
    void (*configure)(ITavoPLGenerator*);
    size_t expected;
  } cases[] = {
      {"no limit", [](ITavoPLGenerator*) {}, 25},
      {"song limit 10", [](ITavoPLGenerator* g) { g->put_LimitSongs(10); }, 10},
      {"size limit 1 KB", [](ITavoPLGenerator* g) { g->put_LimitKilobytes(1); }, 0},
      {"one per artist",
       [](ITavoPLGenerator* g) {
         ComPtr<ITavoPLGenLimitList> limits;
         ASSERT_EQ(S_OK, g->get_LimitList(limits.ReleaseAndGetAddressOf()));
         ComPtr<ITavoPLGenLimit> limit;
         ASSERT_EQ(S_OK, TavoPLGenLimit::Create(nullptr, IID_ITavoPLGenLimit, limit.ReleaseAndGetVoidAddressOf()));
         limit->put_Field(txpl_crit_field_track_artist_name);
         limit->put_Limit(1);
         ASSERT_EQ(S_OK, limits->AddLimit(0, limit.Get()));
       },
       5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ComPtr<ITavoPLGenerator> g = EveryTrack();
    ASSERT_EQ(S_OK, g->put_Seed(5));
    c.configure(g.Get());
    const std::vector<std::string> first = Run(g.Get());
    EXPECT_EQ(c.expected, first.size());
    EXPECT_EQ(first, Run(g.Get()));
    if (std::string(c.name) == "one per artist") {
      std::set<std::string> artists;
      for (const std::string& path : first) {
        TrackRecord track;
        ASSERT_EQ(kLibraryOk, library().FindTrack(path, &track));
        artists.insert(testing::Value(track, kKeyArt));
      }
      EXPECT_EQ(5u, artists.size());
    }
  }
  // Another seed: the same tracks in another order.
  ComPtr<ITavoPLGenerator> g = EveryTrack();
  g->put_Seed(5);
  const std::vector<std::string> five = Run(g.Get());
  g->put_Seed(6);
  const std::vector<std::string> six = Run(g.Get());
  EXPECT_NE(five, six);
  EXPECT_EQ(std::set(five.begin(), five.end()), std::set(six.begin(), six.end()));
}

// A script host: the manager, the generator and the names all by dispatch.
// The playlist holds the tracks whose artist equals a selected track's.
TEST_F(ManagerPlaylistTest, ASelectionBasedRunByDispatchMatchesTheSelectedArtists) {
  AddTwentyFive();
  ComPtr<ITavoPLGenerator> g = NewGenerator(NewCriteria(txpl_crit_field_track_artist_name, txpl_crit_op_str_eq, 0, true));
  g->put_Seed(3);
  ComPtr<IDispatch> manager, generator;
  ASSERT_EQ(S_OK, object_.As(&manager));
  ASSERT_EQ(S_OK, g.As(&generator));

  // song1 and song7 are by artists 1 and 2; "missing.mp3" selects nothing.
  // Names are looked up by file name, whatever their folder.
  const NameArray names({"/elsewhere/song1.mp3", "song7.mp3", "missing.mp3"});
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(S_OK, host_calls::CallByName(manager.Get(), u"CreateDynPlaylist", DISPATCH_METHOD,
                                         {host_calls::ObjectArg(generator.Get()), names.v}, &result));
  ASSERT_EQ(VT_DISPATCH, result.vt);
  ComPtr<ITavoPL2ResultList> list;
  ASSERT_EQ(S_OK, result.pdispVal->QueryInterface(IID_ITavoPL2ResultList, list.ReleaseAndGetVoidAddressOf()));
  VariantClear(&result);
  const std::vector<std::string> got = FileNamesOf(list.Get());
  std::set<std::string> expected;
  for (int i = 0; i < 25; ++i) {
    if (i % 5 == 1 || i % 5 == 2) expected.insert(SongPath(i));
  }
  EXPECT_EQ(expected, std::set<std::string>(got.begin(), got.end()));
  EXPECT_EQ(expected.size(), got.size());

  // Without names a selection-based generator cannot run.
  EXPECT_EQ((std::vector<std::string>{"failed " + std::to_string(static_cast<uint32_t>(E_FAIL))}), Run(g.Get()));
}

// What the host hands in decides: missing arguments and selections that are
// not arrays of strings are E_INVALIDARG, generators without a record and
// runs without a library E_FAIL, and no list is handed out.
TEST_F(ManagerPlaylistTest, BadArgumentsAreRefusedWithAStatus) {
  AddTwentyFive();
  ComPtr<ITavoPLGenerator> g = EveryTrack();
  VARIANT empty;
  VariantInit(&empty);
  const NameArray none({});
  ComPtr<ITavoPL2ResultList> list;
  EXPECT_EQ(E_INVALIDARG, manager_->CreateDynPlaylist(g.Get(), none.v, nullptr));
  EXPECT_EQ(E_INVALIDARG, manager_->CreateDynPlaylist(nullptr, none.v, list.ReleaseAndGetAddressOf()));

  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  text.bstrVal = BstrFromUtf8("song1.mp3");
  VARIANT numbers;
  VariantInit(&numbers);
  numbers.vt = VT_ARRAY | VT_I4;
  numbers.parray = SafeArrayCreateVector(VT_I4, 0, 2);
  VARIANT mislabelled = numbers;  // says strings, holds numbers
  mislabelled.vt = VT_ARRAY | VT_BSTR;
  VARIANT null_array;
  VariantInit(&null_array);
  null_array.vt = VT_ARRAY | VT_BSTR;
  NameArray one({"song1.mp3"});
  VARIANT& names = one.v;
  VARIANT by_reference;
  VariantInit(&by_reference);
  by_reference.vt = VT_BYREF | VT_ARRAY | VT_BSTR;
  by_reference.pparray = &names.parray;
  VARIANT in_variant;
  VariantInit(&in_variant);
  in_variant.vt = VT_BYREF | VT_VARIANT;
  in_variant.pvarVal = &names;
  const struct {
    const char* name;
    const VARIANT* files;
    HRESULT expected;
  } cases[] = {
      {"empty", &empty, E_INVALIDARG},
      {"a string", &text, E_INVALIDARG},
      {"numbers", &numbers, E_INVALIDARG},
      {"numbers said to be strings", &mislabelled, E_INVALIDARG},
      {"a null array", &null_array, S_OK},
      {"an array", &names, S_OK},
      {"a reference to an array", &by_reference, S_OK},
      {"a variant holding an array", &in_variant, S_OK},
  };
  for (const auto& c : cases) {
    ITavoPL2ResultList* out = nullptr;
    EXPECT_EQ(c.expected, manager_->CreateDynPlaylist(g.Get(), *c.files, &out)) << c.name;
    EXPECT_EQ(c.expected == S_OK, out != nullptr) << c.name;
    if (out != nullptr) out->Release();
  }
  VariantClear(&text);
  VariantClear(&numbers);

  // A generator the host made without criteria has no record; a host's own
  // implementation cannot be run.
  ComPtr<ITavoPLGenerator> blank;
  ASSERT_EQ(S_OK, TavoPLGenerator::Create(nullptr, IID_ITavoPLGenerator, blank.ReleaseAndGetVoidAddressOf()));
  EXPECT_EQ(E_FAIL, manager_->CreateDynPlaylist(blank.Get(), none.v, list.ReleaseAndGetAddressOf()));
  EXPECT_EQ(nullptr, list.Get());

  ASSERT_EQ(S_OK, manager_->Shutdown());
  EXPECT_EQ(E_FAIL, manager_->CreateDynPlaylist(g.Get(), none.v, list.ReleaseAndGetAddressOf()));
}

// The view follows the writes of the open library: an add, a play and a
// removal are seen by the next run, and a reopened library is read afresh.
TEST_F(ManagerPlaylistTest, WritesThroughTheManagerAreSeenByTheNextRun) {
  AddTwentyFive();
  ComPtr<ITavoPLGenerator> all = EveryTrack();
  ComPtr<ITavoPLGenerator> played = NewGenerator(NewCriteria(txpl_crit_field_track_playcount, txpl_crit_op_num_gt, 0));
  all->put_Seed(1);
  played->put_Seed(1);
  ASSERT_EQ(25u, Run(all.Get()).size());  // builds the view
  EXPECT_TRUE(Run(played.Get()).empty());

  ASSERT_EQ(kLibraryOk, library().AddTrack("/new/fresh.mp3", Song("fresh", "Newcomer")));
  std::vector<std::string> names = Run(all.Get());
  EXPECT_EQ(26u, names.size());
  EXPECT_EQ(1, std::count(names.begin(), names.end(), "/new/fresh.mp3"));

  const TrackChange play = [](TrackRecord& t) {
    TrackRecord_RecordPlay(&t);
    return 0u;
  };
  ASSERT_EQ(kLibraryOk, library().ModifyStatistics("song3.mp3", play));
  EXPECT_EQ(std::vector<std::string>{SongPath(3)}, Run(played.Get()));

  ASSERT_EQ(kLibraryOk, library().RemoveTrack("song3.mp3"));
  names = Run(all.Get());
  EXPECT_EQ(25u, names.size());
  EXPECT_EQ(0, std::count(names.begin(), names.end(), SongPath(3)));
  EXPECT_TRUE(Run(played.Get()).empty());

  // Written while the library is shut: the next open builds the view again.
  ASSERT_EQ(S_OK, manager_->Shutdown());
  {
    LibraryDatabasePtr db = testing::OpenDb(dir_);
    ASSERT_EQ(kLibraryOk, LibraryDatabase_AddTrack(db.get(), "/other/outside.mp3", Song("outside", "X")));
  }
  ASSERT_EQ(S_OK, manager_->Initialize(control_.Get(), Bstr(dir_).s));
  names = Run(all.Get());
  EXPECT_EQ(26u, names.size());
  EXPECT_EQ(1, std::count(names.begin(), names.end(), "/other/outside.mp3"));
}

// The classic form: NewPlaylistCriteria hands out an object in every case
// and looks the file's genre up; CreatePlaylistFromFolder fills nothing.
TEST_F(ManagerPlaylistTest, TheClassicCriteriaMembersAnswerAsTheFormDoes) {
  ASSERT_EQ(kLibraryOk, library().AddTrack("/music/rock.mp3", Song("rock", "A", 500)));
  ASSERT_EQ(kLibraryOk, library().AddTrack("/music/nogenre.mp3", Song("nogenre", "A", 0)));
  const struct {
    const char* file;
    HRESULT expected;
  } cases[] = {
      {"", S_OK},
      {"/anywhere/rock.mp3", S_OK},
      {"nogenre.mp3", E_FAIL},
      {"missing.mp3", E_FAIL},
  };
  for (const auto& c : cases) {
    ComPtr<ITavoPL2Criteria> criteria;
    EXPECT_EQ(c.expected, manager_->NewPlaylistCriteria(Bstr(c.file).s, criteria.ReleaseAndGetAddressOf()))
        << c.file;
    ASSERT_NE(nullptr, criteria.Get()) << c.file;
    LONG genre = 7;
    EXPECT_EQ(E_NOTIMPL, criteria->get_GenreId(&genre));
    EXPECT_EQ(7, genre);
  }
  EXPECT_EQ(E_POINTER, manager_->NewPlaylistCriteria(nullptr, nullptr));

  ComPtr<ITavoPL2Criteria> criteria;
  ASSERT_EQ(S_OK, manager_->NewPlaylistCriteria(nullptr, criteria.ReleaseAndGetAddressOf()));
  ITavoPL2ResultList* const untouched = reinterpret_cast<ITavoPL2ResultList*>(0x1);
  for (ITavoPL2Criteria* given : {criteria.Get(), static_cast<ITavoPL2Criteria*>(nullptr)}) {
    ITavoPL2ResultList* out = untouched;
    EXPECT_EQ(E_NOTIMPL, manager_->CreatePlaylistFromFolder(Bstr(dir_).s, 1, given, &out));
    EXPECT_EQ(untouched, out);
  }
  ITavoPL2ResultList* out = untouched;
  EXPECT_EQ(E_INVALIDARG, manager_->CreatePlaylistFromFolder(Bstr("").s, 1, criteria.Get(), &out));
  EXPECT_EQ(E_INVALIDARG, manager_->CreatePlaylistFromFolder(Bstr(dir_).s, 1, criteria.Get(), nullptr));
  EXPECT_EQ(untouched, out);
}

}  // namespace
}  // namespace tavo
