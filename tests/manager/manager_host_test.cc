// The manager as a host sees it: created by class identifier from the
// registered module, initialized against the substitute control, with a
// maintenance object, sinks, presets and the disc objects of its tracks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <type_traits>

#include "data/presets/preset_file.h"
#include "event_sink.h"
#include "library/library_test_util.h"
#include "manager_host.h"
#include "support/dispatch_call.h"

namespace tavo {
namespace {

using testing::Bstr;
using testing::EventSink;
using testing::ManagerHost;
using testing::MakeTrack;
using testing::ScratchDir;
using testing::Take;

class ManagerHostTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ManagerHost::Load(); }

  void SetUp() override {
    dir_ = ScratchDir();
    control_ = ManagerHost::Make<IDispatch>(CLSID_TAVOControl);
    manager_ = ManagerHost::Make<ITavoPlaylist2Mgr>(CLSID_TavoPeltaPlaylist2Mgr);
    ASSERT_TRUE(control_ && manager_);
  }

  HRESULT Initialize(const std::string& dir) {
    const Bstr path(dir);
    return manager_->Initialize(control_.Get(), path.s);
  }

  // A connected sink writing to `log`.
  ComPtr<EventSink> Connect(const std::string& name, const std::shared_ptr<std::string>& log, DWORD* cookie) {
    ComPtr<IConnectionPointContainer> container;
    EXPECT_EQ(S_OK, manager_.As(&container));
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(S_OK, container->FindConnectionPoint(DIID_DPlaylist2Events, point.ReleaseAndGetAddressOf()));
    ComPtr<EventSink> sink = EventSink::Make(name, log);
    EXPECT_EQ(S_OK, point->Advise(sink.Get(), cookie));
    return sink;
  }

  ComPtr<IConnectionPoint> Point() {
    ComPtr<IConnectionPointContainer> container;
    manager_.As(&container);
    ComPtr<IConnectionPoint> point;
    container->FindConnectionPoint(DIID_DPlaylist2Events, point.ReleaseAndGetAddressOf());
    return point;
  }

  std::string dir_;
  ComPtr<IDispatch> control_;
  ComPtr<ITavoPlaylist2Mgr> manager_;
};

// A folder holding `count` tracks, written without the manager.
void FillDatabase(const std::string& dir, int count) {
  LibraryDatabasePtr db = testing::OpenDb(dir);
  for (int i = 0; i < count; ++i) {
    ASSERT_EQ(kLibraryOk, LibraryDatabase_AddTrack(db.get(), "/music/t" + std::to_string(i) + ".mp3",
                                                   MakeTrack("T" + std::to_string(i))));
  }
}

TEST_F(ManagerHostTest, InitializesShutsDownAndInitializesAgain) {
  EXPECT_EQ(E_UNEXPECTED, manager_->DownloadCorrelates(0));
  EXPECT_EQ(E_INVALIDARG, manager_->Initialize(nullptr, Bstr(dir_).s));
  EXPECT_EQ(E_INVALIDARG, manager_->Initialize(control_.Get(), nullptr));
  std::ofstream(dir_ + "/a-file") << "x";
  EXPECT_EQ(2, Initialize(dir_ + "/a-file"));
  EXPECT_EQ(2, Initialize(dir_ + "/missing"));

  ASSERT_EQ(S_OK, Initialize(dir_));
  EXPECT_EQ(ERR_PL_Initialized, Initialize(dir_));
  BSTR version = nullptr;
  ASSERT_EQ(S_OK, manager_->get_Version(&version));
  EXPECT_EQ("TavoPlaylist 2.4.0.13", Take(version));
  EXPECT_EQ(S_OK, manager_->DownloadCorrelates(0));
  EXPECT_EQ(S_OK, manager_->Shutdown());
  EXPECT_EQ(S_OK, manager_->Shutdown());
  EXPECT_EQ(E_UNEXPECTED, manager_->DownloadCorrelates(0));
  ASSERT_EQ(S_OK, Initialize(dir_));
  EXPECT_EQ(S_OK, manager_->Shutdown());
}

// A host's whole session against the substitute control: initialize, attach
// maintenance, the lists and the generators, save, shut down, and the same
// again, with the lists now coming from the database's copies.
TEST_F(ManagerHostTest, AHostsWholeSession) {
  testing::CopySamplePresets(dir_);
  ComPtr<ITavoMLDBManager> maintenance = ManagerHost::Make<ITavoMLDBManager>(CLSID_TavoMLDBManager);
  ASSERT_EQ(S_OK, maintenance->SetOptions(PL_MLDB_AUTO_DEFAULT, nullptr));
  ASSERT_EQ(S_OK, maintenance->Attach(manager_.Get()));
  for (int session = 0; session < 2; ++session) {
    ASSERT_EQ(S_OK, Initialize(dir_));
    ComPtr<ITavoGenreDisplayList> genres;
    ASSERT_EQ(S_OK, manager_->GetGenreDisplayList(0, genres.ReleaseAndGetAddressOf()));
    ComPtr<ITavoPLDataListItem> rock;
    ASSERT_EQ(S_OK, genres->GetItemById(300, rock.ReleaseAndGetAddressOf()));
    BSTR name = nullptr;
    ASSERT_EQ(S_OK, rock->get_Name(&name));
    EXPECT_EQ("Rock", Take(name));
    ComPtr<ITavoEraDisplayList> eras;
    ASSERT_EQ(S_OK, manager_->GetEraDisplayList(0, eras.ReleaseAndGetAddressOf()));
    ComPtr<ITavoEra> era;
    ASSERT_EQ(S_OK, eras->GetEraByYear(1985, 1, era.ReleaseAndGetAddressOf()));
    ASSERT_EQ(S_OK, era->get_Name(&name));
    EXPECT_EQ("1980s", Take(name));
    ComPtr<ITavoOriginsList> origins;
    ComPtr<ITavoArtistTypeList> types;
    ComPtr<ITavoPopularityRangeList> ranges;
    EXPECT_EQ(S_OK, manager_->GetOrigins(origins.ReleaseAndGetAddressOf()));
    EXPECT_EQ(S_OK, manager_->GetArtistTypes(types.ReleaseAndGetAddressOf()));
    EXPECT_EQ(S_OK, manager_->GetPopularityRanges(ranges.ReleaseAndGetAddressOf()));
    IDispatch* eras_object = nullptr;
    EXPECT_EQ(E_NOTIMPL, manager_->GetEras(&eras_object));

    ComPtr<ITavoPLGeneratorList> presets, user;
    ASSERT_EQ(S_OK, manager_->GetPresetPlaylistGenList(presets.ReleaseAndGetAddressOf()));
    ASSERT_EQ(S_OK, manager_->GetUserPlaylistGenList(user.ReleaseAndGetAddressOf()));
    SHORT count = 0;
    ASSERT_EQ(S_OK, user->get_Count(&count));
    EXPECT_EQ(session, count);  // the generator saved in the first session
    if (session == 0) {
      ComPtr<ITavoPLGenerator> first, copy;
      ASSERT_EQ(S_OK, presets->GetPLGenerator(0, first.ReleaseAndGetAddressOf()));
      ASSERT_EQ(S_OK, first->Clone(copy.ReleaseAndGetAddressOf()));
      ASSERT_EQ(S_OK, user->AddPLGenerator(copy.Get()));
      ASSERT_EQ(S_OK, manager_->SaveUserPLGens());
    }
    LONG marker = 0;
    ASSERT_EQ(S_OK, maintenance->CheckInitFlag(0, Bstr(dir_).s, &marker));
    EXPECT_EQ(1, marker);
    ASSERT_EQ(S_OK, manager_->Shutdown());
    ASSERT_EQ(S_OK, maintenance->CheckInitFlag(0, Bstr(dir_).s, &marker));
    EXPECT_EQ(0, marker);
  }
  ComPtr<ITavoGenreDisplayList> after;
  EXPECT_EQ(E_FAIL, manager_->GetGenreDisplayList(0, after.ReleaseAndGetAddressOf()));
}

// The same through IDispatch, by member name, as a script host calls.
TEST_F(ManagerHostTest, ScriptHostsReachTheLifecycleByName) {
  using namespace host_calls;
  VARIANT args[2] = {ObjectArg(control_.Get()), TextArg(u"")};
  SysFreeString(args[1].bstrVal);
  args[1].bstrVal = BstrFromUtf8(dir_);
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(S_OK, CallByName(manager_.Get(), u"Initialize", DISPATCH_METHOD, {args[0], args[1]}, &result));
  VariantClear(&args[1]);
  VariantClear(&result);
  ASSERT_EQ(S_OK, CallByName(manager_.Get(), u"Version", DISPATCH_PROPERTYGET, {}, &result));
  ASSERT_EQ(VT_BSTR, result.vt);
  EXPECT_EQ("TavoPlaylist 2.4.0.13", BstrToUtf8(result.bstrVal));
  VariantClear(&result);

  VARIANT no_flags = LongArg(0);
  ASSERT_EQ(S_OK, CallByName(manager_.Get(), u"GetGenreDisplayList", DISPATCH_METHOD, {no_flags}, &result));
  ASSERT_EQ(VT_DISPATCH, result.vt);
  VARIANT rock_id = LongArg(300);
  VARIANT item;
  VariantInit(&item);
  ASSERT_EQ(S_OK, CallByName(result.pdispVal, u"GetItemById", DISPATCH_METHOD, {rock_id}, &item));
  VariantClear(&result);
  ASSERT_EQ(S_OK, CallByName(item.pdispVal, u"Name", DISPATCH_PROPERTYGET, {}, &result));
  EXPECT_EQ("Rock", BstrToUtf8(result.bstrVal));
  VariantClear(&result);
  VariantClear(&item);

  VARIANT slash = TextArg(u"/and more");
  EXPECT_EQ(S_OK, CallByName(manager_.Get(), u"DirDelim", DISPATCH_PROPERTYPUT, {slash}));
  VariantClear(&slash);
  ASSERT_EQ(S_OK, CallByName(manager_.Get(), u"DirDelim", DISPATCH_PROPERTYGET, {}, &result));
  EXPECT_EQ("/", BstrToUtf8(result.bstrVal));
  VariantClear(&result);
  VARIANT empty = TextArg(u"");
  EXPECT_EQ(E_INVALIDARG, CallByName(manager_.Get(), u"DirDelim", DISPATCH_PROPERTYPUT, {empty}));
  VariantClear(&empty);
  EXPECT_EQ(S_OK, CallByName(manager_.Get(), u"Shutdown", DISPATCH_METHOD, {}));
}

// The delimiter is one byte for the whole process, shared by all managers.
TEST_F(ManagerHostTest, TheDelimiterIsSharedByEveryManager) {
  ComPtr<ITavoPlaylist2Mgr> other = ManagerHost::Make<ITavoPlaylist2Mgr>(CLSID_TavoPeltaPlaylist2Mgr);
  EXPECT_EQ(S_OK, manager_->put_DirDelim(Bstr("\\").s));
  BSTR text = nullptr;
  ASSERT_EQ(S_OK, other->get_DirDelim(&text));
  EXPECT_EQ("\\", Take(text));
  EXPECT_EQ(E_INVALIDARG, manager_->put_DirDelim(Bstr("\xC3\xA9").s));  // not one byte of UTF-8
  EXPECT_EQ(S_OK, manager_->put_DirDelim(Bstr("/").s));
  EXPECT_EQ(E_POINTER, manager_->get_DirDelim(nullptr));
}

// Maintenance: attached, its commit reaches the open database, its rebuild
// progress reaches every sink in connection order, and a sink may let
// itself go or call back into the manager inside the event.
TEST_F(ManagerHostTest, RebuildProgressReachesTheSinksInConnectionOrder) {
  const std::string other = ScratchDir("-rebuilt");
  FillDatabase(other, 250);
  ComPtr<ITavoMLDBManager> maintenance = ManagerHost::Make<ITavoMLDBManager>(CLSID_TavoMLDBManager);
  EXPECT_EQ(ERR_PL_NotInitialized, maintenance->CommitDB());
  EXPECT_EQ(E_INVALIDARG, maintenance->Attach(nullptr));
  ASSERT_EQ(S_OK, maintenance->Attach(manager_.Get()));
  EXPECT_EQ(ERR_PL_NotInitialized, maintenance->CommitDB());
  ASSERT_EQ(S_OK, Initialize(dir_));
  EXPECT_EQ(S_OK, maintenance->CommitDB());
  EXPECT_EQ(ERR_PL_NotShutdown, maintenance->RebuildDBIndex(0, Bstr(dir_).s));  // the manager has it open

  auto log = std::make_shared<std::string>();
  DWORD first_cookie = 0, second_cookie = 0;
  ComPtr<EventSink> first = Connect("first", log, &first_cookie);
  ComPtr<EventSink> second = Connect("second", log, &second_cookie);
  ASSERT_EQ(S_OK, maintenance->RebuildDBIndex(0, Bstr(other).s));
  EXPECT_EQ("first:6(100);second:6(100);first:6(200);second:6(200);", *log);

  // The first sink lets itself go; the second shuts the manager down.
  const ComPtr<IConnectionPoint> point = Point();
  first->set_action([&, point](DISPID, VARIANT*, UINT) { point->Unadvise(first_cookie); });
  first = nullptr;  // the connection held the last reference
  second->set_action([&](DISPID, VARIANT* args, UINT) {
    BSTR version = nullptr;
    EXPECT_EQ(S_OK, manager_->get_Version(&version));
    SysFreeString(version);
    EXPECT_EQ(S_OK, manager_->Shutdown());
    *args[2].plVal = 1;  // and stops the rebuild
  });
  log->clear();
  ASSERT_EQ(S_OK, maintenance->RebuildDBIndex(0, Bstr(other).s));
  EXPECT_EQ("first:6(100);second:6(100);", *log);
  EXPECT_EQ(ERR_PL_NotInitialized, maintenance->CommitDB());

  EXPECT_EQ(S_OK, maintenance->Detach(manager_.Get()));
  ASSERT_EQ(S_OK, Initialize(dir_));
  EXPECT_EQ(ERR_PL_NotInitialized, maintenance->CommitDB());
  log->clear();
  ASSERT_EQ(S_OK, maintenance->RebuildDBIndex(0, Bstr(other).s));
  EXPECT_EQ("", *log);  // detached: no events
}

// The automatic steps: the marker exists while the manager has the database
// open, and an index found damaged at Initialize is rebuilt with progress
// events; a sink cannot shut down or initialize the manager that is being
// initialized.
TEST_F(ManagerHostTest, AutomaticStepsRunAtInitializeAndShutdown) {
  FillDatabase(dir_, 150);
  std::filesystem::remove(testing::PathIn(dir_, LibraryFile::kIndex));
  ComPtr<ITavoMLDBManager> maintenance = ManagerHost::Make<ITavoMLDBManager>(CLSID_TavoMLDBManager);
  ASSERT_EQ(S_OK, maintenance->SetOptions(PL_MLDB_AUTO_CHECK_AT_INIT | PL_MLDB_AUTO_REINDEX |
                                              PL_MLDB_AUTO_MANAGE_INIT_FLAG,
                                          Bstr("/backups").s));
  ASSERT_EQ(S_OK, maintenance->Attach(manager_.Get()));
  LONG flags = 0;
  BSTR backup = nullptr;
  ASSERT_EQ(S_OK, maintenance->GetOptions(&flags, &backup));
  EXPECT_EQ("/backups", Take(backup));
  maintenance = nullptr;  // the manager keeps what it needs

  auto log = std::make_shared<std::string>();
  DWORD cookie = 0;
  ComPtr<EventSink> sink = Connect("sink", log, &cookie);
  HRESULT shutdown_inside = S_OK, initialize_inside = S_OK;
  sink->set_action([&](DISPID, VARIANT*, UINT) {
    shutdown_inside = manager_->Shutdown();
    initialize_inside = Initialize(dir_);
  });
  ASSERT_EQ(S_OK, Initialize(dir_));
  EXPECT_EQ("sink:6(100);", *log);
  EXPECT_EQ(E_ACCESSDENIED, shutdown_inside);
  EXPECT_EQ(ERR_PL_Initialized, initialize_inside);

  maintenance = ManagerHost::Make<ITavoMLDBManager>(CLSID_TavoMLDBManager);
  LONG marker = 0;
  ASSERT_EQ(S_OK, maintenance->CheckInitFlag(0, Bstr(dir_).s, &marker));
  EXPECT_EQ(1, marker);
  EXPECT_EQ(S_OK, maintenance->CheckDB(PL_MLDB_CHECK_DEFAULT, Bstr(dir_).s));
  EXPECT_EQ(S_OK, manager_->Shutdown());
  ASSERT_EQ(S_OK, maintenance->CheckInitFlag(0, Bstr(dir_).s, &marker));
  EXPECT_EQ(0, marker);

  // A record file that is no database fails the check at Initialize.
  std::ofstream(testing::PathIn(dir_, LibraryFile::kRecords), std::ios::trunc) << "not a record file";
  const HRESULT damaged = Initialize(dir_);
  EXPECT_TRUE(damaged == ERR_PL_DB_Corrupt || damaged == ERR_PL_DB_BothCorrupt) << std::hex << damaged;
  EXPECT_EQ(E_UNEXPECTED, manager_->DownloadCorrelates(0));  // not initialized
}

// Every shipped sample preset loads through the manager, is saved as a user
// generator and loads back equal.
std::string Describe(ITavoPLGenerator* g);

TEST_F(ManagerHostTest, SamplePresetsLoadSaveAndLoadBackEqual) {
  ComPtr<ITavoPLGeneratorList> list;
  EXPECT_EQ(E_FAIL, manager_->GetPresetPlaylistGenList(list.ReleaseAndGetAddressOf()));
  EXPECT_EQ(E_FAIL, manager_->SaveUserPLGens());
  testing::CopySamplePresets(dir_);
  ASSERT_EQ(S_OK, Initialize(dir_));
  ComPtr<ITavoPLGeneratorList> presets, user;
  ASSERT_EQ(S_OK, manager_->GetPresetPlaylistGenList(presets.ReleaseAndGetAddressOf()));
  ASSERT_EQ(S_OK, manager_->GetUserPlaylistGenList(user.ReleaseAndGetAddressOf()));
  SHORT count = 0, user_count = -1;
  ASSERT_EQ(S_OK, presets->get_Count(&count));
  ASSERT_EQ(S_OK, user->get_Count(&user_count));
  EXPECT_GE(count, 12);
  EXPECT_EQ(0, user_count);
  // Each generator moves, record and all, from the preset list to the user
  // list.
  std::vector<std::string> described;
  for (LONG i = 0; i < count; ++i) {
    ComPtr<ITavoPLGenerator> preset;
    ASSERT_EQ(S_OK, presets->GetPLGenerator(0, preset.ReleaseAndGetAddressOf()));
    described.push_back(Describe(preset.Get()));
    ASSERT_EQ(S_OK, presets->RemovePLGenerator(preset.Get()));
    ASSERT_EQ(S_OK, user->AddPLGenerator(preset.Get()));
  }
  ASSERT_EQ(S_OK, manager_->SaveUserPLGens());
  ASSERT_EQ(S_OK, manager_->Shutdown());
  EXPECT_EQ(E_FAIL, manager_->GetUserPlaylistGenList(user.ReleaseAndGetAddressOf()));

  ASSERT_EQ(S_OK, Initialize(dir_));
  ASSERT_EQ(S_OK, manager_->GetUserPlaylistGenList(user.ReleaseAndGetAddressOf()));
  ASSERT_EQ(S_OK, user->get_Count(&user_count));
  ASSERT_EQ(count, user_count);
  for (LONG i = 0; i < count; ++i) {
    ComPtr<ITavoPLGenerator> loaded;
    ASSERT_EQ(S_OK, user->GetPLGenerator(i, loaded.ReleaseAndGetAddressOf()));
    EXPECT_EQ(described[i], Describe(loaded.Get()));
  }
  // The saved document holds what the sample file holds, sort fields and all.
  GeneratorChain sample, saved;
  ASSERT_EQ(0, PresetFile_Load((dir_ + "/samplepresets.xml").c_str(), nullptr, nullptr, &sample, nullptr));
  ASSERT_EQ(0, PresetFile_Load((dir_ + "/userplaylists.xml").c_str(), nullptr, nullptr, &saved, nullptr));
  std::string sample_text, saved_text;
  ASSERT_TRUE(PresetFile_Text(sample, nullptr, &sample_text));
  ASSERT_TRUE(PresetFile_Text(saved, nullptr, &saved_text));
  EXPECT_EQ(sample_text, saved_text);
}

// A user file that does not read loads as an empty list and is moved aside,
// not overwritten, by the next save.
TEST_F(ManagerHostTest, AnUnreadableUserFileIsKeptAside) {
  std::ofstream(dir_ + "/userplaylists.xml") << "<LIST><PSET><NAME>mine";
  ASSERT_EQ(S_OK, Initialize(dir_));
  ComPtr<ITavoPLGeneratorList> user;
  ASSERT_EQ(S_OK, manager_->GetUserPlaylistGenList(user.ReleaseAndGetAddressOf()));
  SHORT count = -1;
  ASSERT_EQ(S_OK, user->get_Count(&count));
  EXPECT_EQ(0, count);
  ASSERT_EQ(S_OK, manager_->SaveUserPLGens());
  EXPECT_EQ("<LIST><PSET><NAME>mine", testing::ReadFile(dir_ + "/userplaylists.xml.unreadable"));
}

TEST_F(ManagerHostTest, GetFileDataGivesTheDiscOfATrack) {
  {
    LibraryDatabasePtr db = testing::OpenDb(dir_);
    TrackRecord track = MakeTrack("Song", "Artist", "Album", "", "1984");
    TrackRecord_SetValue(&track, kKeyGenV2, "300");
    TrackRecord_SetValue(&track, kKeyEra, "101");
    TrackRecord_SetValue(&track, kKeyOrigin, "424242");  // no list names it
    track.plays = 3;
    ASSERT_EQ(kLibraryOk, LibraryDatabase_AddTrack(db.get(), "/music/song.mp3", track));
  }
  IDispatch* none = nullptr;
  EXPECT_EQ(E_FAIL, manager_->GetFileData(Bstr("song.mp3").s, &none));
  ASSERT_EQ(S_OK, Initialize(dir_));
  EXPECT_EQ(E_POINTER, manager_->GetFileData(Bstr("song.mp3").s, nullptr));
  EXPECT_EQ(E_INVALIDARG, manager_->GetFileData(nullptr, &none));
  EXPECT_EQ(E_FAIL, manager_->GetFileData(Bstr("other.mp3").s, &none));

  ComPtr<IDispatch> disc;
  ASSERT_EQ(S_OK, manager_->GetFileData(Bstr("/elsewhere/song.mp3").s, disc.ReleaseAndGetAddressOf()));
  ComPtr<ITAVODiscData> data;
  ASSERT_EQ(S_OK, disc.As(&data));
  auto extended = [&](const char* name) {
    BSTR value = nullptr;
    const HRESULT hr = data->GetExtended(0, Bstr(name).s, &value);
    return hr == S_OK ? Take(value) : "<absent>";
  };
  BSTR text = nullptr;
  ASSERT_EQ(S_OK, data->get_Artist(&text));
  EXPECT_EQ("Artist", Take(text));
  ASSERT_EQ(S_OK, data->get_Title(&text));
  EXPECT_EQ("Album", Take(text));
  ASSERT_EQ(S_OK, data->get_TrackTitle(&text));
  EXPECT_EQ("Song", Take(text));
  EXPECT_EQ("song.mp3", extended("PLM_rec_filename"));
  EXPECT_EQ("/music", extended("PLM_rec_pathname"));
  EXPECT_EQ("3", extended("PLM_rec_plays"));
  EXPECT_EQ("300", extended("PLM_genrev2id"));
  EXPECT_EQ("Rock", extended("PLM_genrev2"));
  EXPECT_EQ("1920s", extended("PLM_era"));
  EXPECT_EQ("424242", extended("PLM_originid"));
  EXPECT_EQ("<absent>", extended("PLM_origin"));
  EXPECT_EQ("<absent>", extended("PLM_label"));
}

// ---- Describing a generator through its interfaces --------------------------

// "name=value" of one getter, "-" when it fails; each getter is called on
// its own, so the order of the calls is the order of the text.
template <class Object, class Value>
std::string Get(const char* name, Object* object, HRESULT (STDMETHODCALLTYPE Object::*getter)(Value*)) {
  Value value{};
  const HRESULT hr = (object->*getter)(&value);
  std::string text = " " + std::string(name) + "=";
  if (hr != S_OK) return text + "-";
  if constexpr (std::is_same_v<Value, BSTR>) {
    return text + Take(value);
  } else {
    return text + std::to_string(value);
  }
}

std::string Describe(ITavoPLGenerator* g) {
  std::string out = Get("name", g, &ITavoPLGenerator::get_Name);
  for (auto getter : {&ITavoPLGenerator::get_MatchMode, &ITavoPLGenerator::get_LimitKilobytes,
                      &ITavoPLGenerator::get_LimitMinutes, &ITavoPLGenerator::get_LimitSongs,
                      &ITavoPLGenerator::get_Seed, &ITavoPLGenerator::get_AutoUpdate,
                      &ITavoPLGenerator::get_IsSelectionBased}) {
    out += Get("n", g, getter);
  }
  out += Get("desc", g, &ITavoPLGenerator::get_Description);
  ComPtr<ITavoPLGenCriteriaList> criteria;
  LONG count = 0;
  if (g->get_CriteriaList(criteria.ReleaseAndGetAddressOf()) == S_OK && criteria->get_Count(&count) == S_OK) {
    for (LONG i = 1; i <= count; ++i) {
      ComPtr<ITavoPLGenCriteria> c;
      if (criteria->GetCriteria(i, c.ReleaseAndGetAddressOf()) != S_OK) continue;
      out += "\n  crit";
      for (auto getter : {&ITavoPLGenCriteria::get_Field, &ITavoPLGenCriteria::get_FieldType,
                          &ITavoPLGenCriteria::get_Operation, &ITavoPLGenCriteria::get_IntParam1,
                          &ITavoPLGenCriteria::get_IntParam2, &ITavoPLGenCriteria::get_IntParam3,
                          &ITavoPLGenCriteria::get_SelectionBased, &ITavoPLGenCriteria::get_Order}) {
        out += Get("n", c.Get(), getter);
      }
      out += Get("weight", c.Get(), &ITavoPLGenCriteria::get_Weight);
      out += Get("s1", c.Get(), &ITavoPLGenCriteria::get_StrParam1);
      out += Get("s2", c.Get(), &ITavoPLGenCriteria::get_StrParam2);
      out += Get("desc", c.Get(), &ITavoPLGenCriteria::get_Description);
    }
  }
  ComPtr<ITavoPLGenLimitList> limits;
  if (g->get_LimitList(limits.ReleaseAndGetAddressOf()) == S_OK && limits->get_Count(&count) == S_OK) {
    for (LONG i = 1; i <= count; ++i) {
      ComPtr<ITavoPLGenLimit> l;
      if (limits->GetLimit(i, l.ReleaseAndGetAddressOf()) != S_OK) continue;
      out += "\n  limit" + Get("field", l.Get(), &ITavoPLGenLimit::get_Field) +
             Get("limit", l.Get(), &ITavoPLGenLimit::get_Limit);
    }
  }
  for (LONG position = 1; position <= 8; ++position) {
    ComPtr<ITavoPLGenRank> rank;
    if (g->get_Rank(position, rank.ReleaseAndGetAddressOf()) != S_OK) continue;
    out += "\n  rank " + std::to_string(position) + Get("field", rank.Get(), &ITavoPLGenRank::get_Field);
    out += Get("order", rank.Get(), &ITavoPLGenRank::get_RankOrder);
  }
  return out;
}

}  // namespace
}  // namespace tavo
