// The manager's ingestion members: their answers at the automation boundary
// (the plain values 80 and 2, the lookup's own failure), the control's tag
// reader and disc object read into records.
#include <gtest/gtest.h>

#include <filesystem>

#include "control/disc.h"
#include "control/tag_reader.h"
#include "demo_writer.h"
#include "fake_control.h"
#include "host_helpers.h"
#include "ingestion_fakes.h"
#include "library/library_test_util.h"
#include "manager/com/control_ingestion_sources.h"
#include "manager/com/playlist2_mgr.h"
#include "manager/ingestion/ingestion.h"
#include "storage/store/status.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;
using testing::Bstr;
using testing::Value;

class ManagerIngestionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing::ScratchDir();
    music_ = fs::path(dir_) / "music";
    ASSERT_EQ(S_OK, manager_->Initialize(control_.Get(), Bstr(dir_).s));
  }
  void TearDown() override { manager_->Shutdown(); }

  std::string dir_;
  fs::path music_;
  ComPtr<testing::FakeControl> control_ = testing::FakeControl::Make();
  ComPtr<TavoPeltaPlaylist2Mgr> manager_ = TavoPeltaPlaylist2Mgr::Make();
};

TEST_F(ManagerIngestionTest, AnswersAtTheBoundary) {
  testing::WriteMp3(music_ / "a" / "song.mp3");
  testing::WriteMp3(music_ / "b" / "song.mp3");
  const std::string first = (music_ / "a" / "song.mp3").string();
  const std::string second = (music_ / "b" / "song.mp3").string();
  ITavoPlaylist2Mgr* m = manager_.Get();
  BSTR id = nullptr;
  const struct {
    const char* call;
    std::function<HRESULT()> run;
    HRESULT expected;
  } cases[] = {
      {"add", [&] { return m->AddFile(Bstr(first).s); }, S_OK},
      {"same name elsewhere", [&] { return m->AddFile(Bstr(second).s); }, 80},
      {"null name", [&] { return m->AddFile(nullptr); }, E_INVALIDARG},
      {"not a folder", [&] { return m->AddFolder(Bstr((music_ / "none").string()).s, 1); }, 2},
      {"folder", [&] { return m->AddFolder(Bstr(music_.string()).s, 1); }, S_OK},
      {"entry", [&] { return m->AddEntry(Bstr("entry.mp3").s); }, S_OK},
      {"entry again", [&] { return m->AddEntry(Bstr("entry.mp3").s); }, 80},
      {"identifier", [&] { return m->GetFileIdentifier(Bstr("song.mp3").s, &id); }, S_OK},
      {"identifier, null out", [&] { return m->GetFileIdentifier(Bstr("song.mp3").s, nullptr); }, E_POINTER},
      {"identifier, no record", [&] { return m->GetFileIdentifier(Bstr("none.mp3").s, &id); },
       static_cast<HRESULT>(kStoreNotFound)},
      {"refresh without tag", [&] { return m->TAVOUpdateEntry(Bstr("song.mp3").s, 1); }, E_FAIL},
      {"update file", [&] { return m->UpdateFile(Bstr(first).s); }, S_OK},
      {"update database", [&] { return m->UpdateDatabase(0); }, S_OK},
      {"compact", [&] { return m->CompactDatabase(0); }, S_OK},
      {"delete", [&] { return m->DeleteFile(Bstr("song.mp3").s); }, S_OK},
      {"delete again", [&] { return m->DeleteFile(Bstr("song.mp3").s); }, E_FAIL},
      {"disc missing", [&] { return m->AddFileWithDisc(Bstr("x.mp3").s, nullptr); }, E_INVALIDARG},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, c.run()) << c.call;
    SysFreeString(id);
    id = nullptr;
  }
  manager_->Shutdown();
  EXPECT_EQ(E_UNEXPECTED, m->AddFolder(Bstr(music_.string()).s, 1));
}

TEST_F(ManagerIngestionTest, DiscObjectAddedAndUpdated) {
  ComPtr<ITAVODiscData> disc;
  ASSERT_EQ(S_OK, control::Disc::Create(nullptr, IID_ITAVODiscData, disc.ReleaseAndGetVoidAddressOf()));
  disc->put_TrackTitle(Bstr("From the disc").s);
  disc->put_Artist(Bstr("Disc Artist").s);
  disc->SetExtended(0, Bstr("PLM_rec_plays").s, Bstr("12").s);
  disc->SetExtended(0, Bstr("PLM_bitrate").s, Bstr("256").s);
  EXPECT_EQ(S_OK, manager_->AddEntryWithDisc(Bstr("disc.mp3").s, disc.Get()));
  EXPECT_EQ(80, manager_->AddFileWithDisc(Bstr("disc.mp3").s, disc.Get()));
  disc->put_TrackTitle(Bstr("Renamed").s);
  EXPECT_EQ(S_OK, manager_->UpdateFileWithDisc(Bstr("disc.mp3").s, disc.Get()));
  TrackRecord track;
  ASSERT_EQ(kLibraryOk, manager_->library()->FindTrack("disc.mp3", &track));
  EXPECT_EQ("Renamed", Value(track, kKeyTit));
  EXPECT_EQ("Disc Artist", Value(track, kKeyArt));
  EXPECT_EQ("256", Value(track, kKeyBitR));
  EXPECT_EQ(12u, track.plays);
}

HRESULT CreateReader(REFCLSID clsid, REFIID iid, void** ppv) {
  if (clsid == CLSID_TAVOMP3Reader) return control::Mp3TagReader::Create(nullptr, iid, ppv);
  return E_NOINTERFACE;
}

// The control's own MP3 reader over a file tagged as the demo library's.
TEST_F(ManagerIngestionTest, ControlTagReaderFillsTheRecord) {
  Recording r;
  r.tag_id = "3CD3PW777";
  r.title = "Tagged";
  r.title_sort = "Tagged";
  r.artists = {"Someone", "Else"};
  r.artist_sorts = {"Someone"};
  r.album = "Album";
  r.label = "Label";
  r.track = 4;
  r.total_tracks = 9;
  r.year = 1987;
  r.original_year = 1977;
  r.seconds = 3;
  fs::create_directories(music_);
  const std::string path = (music_ / "tagged.mp3").string();
  std::string error;
  ASSERT_TRUE(WriteDemoFile(path, r, &error)) << error;
  ControlTagSource tags(&CreateReader);
  ControlRecordingService service{ComPtr<ITAVOService>()};
  Ingestion ingestion(*manager_->library(), {&tags, &service, nullptr});
  ASSERT_EQ(kLibraryOk, ingestion.AddFile(path));
  TrackRecord track;
  ASSERT_EQ(kLibraryOk, manager_->library()->FindTrack(path, &track));
  EXPECT_EQ("Tagged", Value(track, kKeyTit));
  EXPECT_EQ("Someone, Else", Value(track, kKeyArt));
  EXPECT_EQ("1987", Value(track, kKeyYear));
  EXPECT_EQ("3", Value(track, kKeyTLen));
  EXPECT_EQ("3CD3PW777", track.tag_id);
  EXPECT_EQ(kIngestionAlreadyInLibrary, ingestion.AddFile((music_ / "copy" / "tagged.mp3").string()));
}

}  // namespace
}  // namespace tavo
