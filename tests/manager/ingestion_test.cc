// Ingestion without automation: adding files and folders over a media
// library with tags and recordings of the test's making and real silent MP3
// files on disk.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "ingestion_fakes.h"
#include "library/library_test_util.h"
#include "manager/ingestion/ingestion.h"
#include "storage/library/disc_fields.h"
#include "storage/library/library_clock.h"
#include "tavo/enums.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;
using testing::FakeRecordings;
using testing::FakeTags;
using testing::LoggingEvents;
using testing::ScratchDir;
using testing::Value;
using testing::WriteFile;
using testing::WriteMp3;

class IngestionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = ScratchDir();
    music_ = fs::path(root_) / "music";
    fs::create_directories(music_);
    fs::create_directories(fs::path(root_) / "db");
    library_ = std::make_shared<MediaLibrary>();
    library_->SetEvents(events_);
    ASSERT_EQ(kLibraryOk, library_->Open((fs::path(root_) / "db").string(), nullptr));
  }
  void TearDown() override { library_->Close(); }

  Ingestion Make() { return Ingestion(*library_, {&tags_, &recordings_, nullptr}); }
  std::string In(const std::string& relative) const { return (music_ / relative).string(); }
  bool Stored(const std::string& file_name) {
    TrackRecord track;
    return library_->FindTrack(file_name, &track) == kLibraryOk;
  }
  TrackRecord Load(const std::string& file_name) {
    TrackRecord track;
    EXPECT_EQ(kLibraryOk, library_->FindTrack(file_name, &track));
    return track;
  }
  size_t Count() {
    size_t n = 0;
    library_->Read([&](LibraryDatabase* db) {
      return LibraryDatabase_WalkTracks(db, [&](uint32_t, const TrackRecord&) { return ++n, true; },
                                        TrackLoad::kFixedOnly);
    });
    return n;
  }

  std::string root_;
  fs::path music_;
  FakeTags tags_;
  FakeRecordings recordings_;
  std::shared_ptr<LoggingEvents> events_ = std::make_shared<LoggingEvents>();
  std::shared_ptr<MediaLibrary> library_;
};

TEST_F(IngestionTest, RecordFilledFromTagStreamAndService) {
  WriteMp3(In("song.mp3"));
  FileTag tag;
  tag.artist = "Artist";
  tag.title = "Title";
  tag.track_number = "3";
  tag.year = "1999";  // the file's year replaces the service's
  tag.tag_id = "1234";
  tag.bpm = "120";
  tags_.Set("song.mp3", tag);
  RecordingData data;
  data.title_sort = "Title, The";
  data.artist_sorts = {"One", "Two"};
  data.year = 2001;
  data.era = 77;  // no era list: not kept
  recordings_.recordings["1234"] = data;

  ASSERT_EQ(kLibraryOk, Make().AddFile(In("song.mp3")));
  const TrackRecord track = Load("song.mp3");
  EXPECT_EQ("Artist", Value(track, kKeyArt));
  EXPECT_EQ("1999", Value(track, kKeyYear));
  EXPECT_EQ("Title, The", Value(track, kKeyTitSort));
  EXPECT_EQ("One, Two", Value(track, kKeyArtSort));
  EXPECT_EQ("<absent>", Value(track, kKeyEra));
  EXPECT_EQ("120", Value(track, kKeyBpm));
  EXPECT_EQ("2", Value(track, kKeyTLen));  // from the frames: no "TLEN" frame
  EXPECT_EQ("32", Value(track, kKeyBitR));
  EXPECT_EQ(std::to_string(fs::file_size(In("song.mp3"))), Value(track, kKeySize));
  EXPECT_EQ("1234", track.tag_id);
  EXPECT_EQ(40, track.album_popularity);
  EXPECT_EQ(music_.string(), track.path_name);
  EXPECT_NE(0, track.created.packed);
}

TEST_F(IngestionTest, SameNameInTwoFoldersIsOneRecord) {
  WriteMp3(In("a/same.mp3"));
  WriteMp3(In("b/same.mp3"));
  Ingestion ingestion = Make();
  EXPECT_EQ(kLibraryOk, ingestion.AddFile(In("a/same.mp3")));
  EXPECT_EQ(kIngestionAlreadyInLibrary, ingestion.AddFile(In("b/same.mp3")));
  EXPECT_EQ(1u, Count());
  EXPECT_EQ((music_ / "a").string(), Load("same.mp3").path_name);
}

TEST_F(IngestionTest, DuplicateTagIdentifierStoresNothing) {
  WriteMp3(In("first.mp3"));
  WriteMp3(In("second.mp3"));
  FileTag tag;
  tag.tag_id = "3CD3PW555";  // the service's form: names the number 555
  tags_.Set("first.mp3", tag);
  tags_.Set("second.mp3", tag);
  Ingestion ingestion = Make();
  EXPECT_EQ(kLibraryOk, ingestion.AddFile(In("first.mp3")));
  EXPECT_EQ(kIngestionAlreadyInLibrary, ingestion.AddFile(In("second.mp3")));
  EXPECT_FALSE(Stored("second.mp3"));
  EXPECT_EQ(kIngestionAlreadyInLibrary, ingestion.AddEntryWithTag("third.mp3", "3CD3PW555"));
}

TEST_F(IngestionTest, RefusedFilesStoreNothing) {
  WriteFile(In("notes.txt"), "text");
  const struct {
    std::string path;
    LibraryStatus status;
  } cases[] = {
      {"", kIngestionBadName},
      {In("notes.txt"), kIngestionUnknownFormat},
      {In("noextension"), kIngestionUnknownFormat},
      {In("missing.mp3"), kIngestionCannotRead},
      {music_.string() + "/", kIngestionUnknownFormat},
  };
  for (const auto& c : cases) EXPECT_EQ(c.status, Make().AddFile(c.path)) << c.path;
  EXPECT_EQ(0u, Count());
}

TEST_F(IngestionTest, FolderScanMatchesExtensionsWithoutCaseAndRecursesOnRequest) {
  WriteMp3(In("UPPER.MP3"));
  WriteFile(In("sound.wav"), "RIFF");
  WriteMp3(In("sub/inner.mp3"));
  const struct {
    bool recurse;
    std::vector<std::string> stored;
    std::vector<std::string> absent;
  } cases[] = {
      {false, {"UPPER.MP3"}, {"sound.wav", "inner.mp3"}},
      {true, {"UPPER.MP3", "inner.mp3"}, {"sound.wav"}},
  };
  for (const auto& c : cases) {
    for (const char* name : {"UPPER.MP3", "inner.mp3"}) library_->RemoveTrack(name);
    events_->log.clear();
    EXPECT_EQ(kLibraryOk, Make().AddFolder(music_.string(), c.recurse));
    for (const std::string& name : c.stored) {
      EXPECT_TRUE(Stored(name)) << name << " recurse " << c.recurse;
      EXPECT_NE(std::string::npos, events_->log.find("pre:" + name + ";post:" + name + ";")) << events_->log;
    }
    for (const std::string& name : c.absent) EXPECT_FALSE(Stored(name)) << name << " recurse " << c.recurse;
  }
}

TEST_F(IngestionTest, FolderThatCannotBeListed) {
  EXPECT_EQ(kIngestionNotAFolder, Make().AddFolder(In("nowhere"), true));
  WriteMp3(In("file.mp3"));
  EXPECT_EQ(kIngestionNotAFolder, Make().AddFolder(In("file.mp3"), true));
  EXPECT_EQ(kIngestionBadName, Make().AddFolder("", true));
}

// A host that answers at the third file: the scan ends after it, and what
// the read-ahead read for later files is never stored.
TEST_F(IngestionTest, HostAnswersEndOrSkipFiles) {
  constexpr int kFiles = 40;
  for (int i = 0; i < kFiles; ++i) WriteMp3(In("f" + std::to_string(i) + ".mp3"));
  const struct {
    const char* name;
    HostDecision at_third;
    size_t stored;
    bool third_stored;
  } cases[] = {
      {"stop", {true, false}, 3, true},
      {"skip and stop", {false, false}, 2, false},
      {"skip", {false, true}, kFiles - 1, false},
  };
  for (const auto& c : cases) {
    library_->Close();
    fs::remove_all(fs::path(root_) / "db");
    fs::create_directories(fs::path(root_) / "db");
    ASSERT_EQ(kLibraryOk, library_->Open((fs::path(root_) / "db").string(), nullptr));
    int seen = 0;
    std::string third;
    events_->answer = [&](const std::string& name) {
      if (++seen != 3) return HostDecision{};
      third = name;
      return c.at_third;
    };
    EXPECT_EQ(kLibraryOk, Make().AddFolder(music_.string(), false)) << c.name;
    EXPECT_EQ(c.stored, Count()) << c.name;
    EXPECT_EQ(c.third_stored, Stored(third)) << c.name;
  }
  events_->answer = nullptr;
}

TEST_F(IngestionTest, ScanGoesOnPastBadFiles) {
  WriteMp3(In("good.mp3"));
  WriteFile(In("empty.mp3"), "");
  WriteFile(In("text.mp3"), "not audio at all");
  WriteMp3(In("bad\xff\xfe name.mp3"));
  fs::create_directories(In("loop"));
  fs::create_symlink(music_, In("loop/back"));  // a loop through a parent
  WriteMp3(In("loop/deep.mp3"));
  fs::create_symlink(In("gone.mp3"), In("dangling.mp3"));
  const std::string deep = std::string(120, 'd') + "/" + std::string(120, 'e') + "/" + std::string(200, 'n') + ".mp3";
  WriteMp3(In(deep));  // a path far beyond 259 bytes
  EXPECT_EQ(kLibraryOk, Make().AddFolder(music_.string(), true));
  EXPECT_TRUE(Stored("good.mp3"));
  EXPECT_TRUE(Stored("deep.mp3"));
  EXPECT_TRUE(Stored("bad\xff\xfe name.mp3"));
  EXPECT_TRUE(Stored("text.mp3"));  // a record with what could be read: its size
  EXPECT_EQ("16", Value(Load("text.mp3"), kKeySize));
  EXPECT_FALSE(Stored("dangling.mp3"));
  EXPECT_EQ(In(deep).substr(0, In(deep).rfind('/')), Load(std::string(200, 'n') + ".mp3").path_name);
}

TEST_F(IngestionTest, UpdateDatabaseRemovesOnlyRecordsOfGoneFiles) {
  WriteMp3(In("kept.mp3"));
  WriteMp3(In("deleted.mp3"));
  Ingestion ingestion = Make();
  ASSERT_EQ(kLibraryOk, ingestion.AddFile(In("kept.mp3")));
  ASSERT_EQ(kLibraryOk, ingestion.AddFile(In("deleted.mp3")));
  ASSERT_EQ(kLibraryOk, ingestion.AddEntry("relative.mp3"));  // no folder: cannot be proven gone
  ASSERT_TRUE(library_->ModifyStatistics("kept.mp3", [](TrackRecord& t) { return t.plays = 7, 0u; }) == kLibraryOk);
  fs::remove(In("deleted.mp3"));
  events_->log.clear();
  EXPECT_EQ(kLibraryOk, ingestion.UpdateDatabase());
  EXPECT_TRUE(Stored("kept.mp3"));
  EXPECT_FALSE(Stored("deleted.mp3"));
  EXPECT_TRUE(Stored("relative.mp3"));
  EXPECT_EQ(7u, Load("kept.mp3").plays);
  EXPECT_EQ("preupdate:kept.mp3;postupdate:kept.mp3;", events_->log);
}

DateTime Day1() { return DateTime{2020, 1, 1, 10, 0}; }
DateTime Day2() { return DateTime{2021, 6, 2, 11, 30}; }

TEST_F(IngestionTest, UpdateFileWithDiscInsertsOrKeepsCreatedDate) {
  WriteMp3(In("disc.mp3"));
  DiscReading disc;
  disc.fields.resize(DiscFields().size());
  for (size_t i = 0; i < DiscFields().size(); ++i) {
    if (DiscFields()[i].source == DiscSource::kKey && DiscFields()[i].key == kKeyTit) disc.fields[i] = "Disc title";
  }
  const LibraryClockFunction before = LibraryClock_Replace(&Day1);
  Ingestion ingestion = Make();
  ASSERT_EQ(kLibraryOk, ingestion.UpdateFileWithDisc(In("disc.mp3"), disc));
  TrackRecord track = Load("disc.mp3");
  EXPECT_EQ("Disc title", Value(track, kKeyTit));
  EXPECT_EQ("32", Value(track, kKeyBitR));  // the disc gave none: from the file
  LibraryClock_Replace(&Day2);
  ASSERT_EQ(kLibraryOk, ingestion.UpdateFileWithDisc(In("disc.mp3"), disc));
  track = Load("disc.mp3");
  EXPECT_EQ(ToRecordDate(Day1()), track.created);
  EXPECT_EQ(ToRecordDate(Day2()), track.updated);
  EXPECT_EQ(kIngestionAlreadyInLibrary, ingestion.AddFileWithDisc(In("disc.mp3"), disc));
  LibraryClock_Replace(before);
}

TEST_F(IngestionTest, UnpopulatedRefreshSkipsPopulatedRecords) {
  TrackRecord full = testing::MakeTrack("Full", "", "", "900");
  TrackRecord_SetValue(&full, kKeyGenV2, "12");
  full.file_name = "full.mp3";
  full.album_popularity = 50;
  full.global_popularity = 70;
  ASSERT_EQ(kLibraryOk, library_->AddTrack("full.mp3", full));
  recordings_.recordings["900"] = RecordingData{};
  EXPECT_EQ(kLibraryOk, Make().UpdateEntry("full.mp3", TAVO_UPDATE_UNPOPULATED));
  EXPECT_EQ(0, recordings_.lookups + recordings_.popularity_requests);

  full.album_popularity = 0;  // unknown album popularity: only the popularity step
  ASSERT_EQ(kLibraryOk, library_->UpdateTrack(full));
  EXPECT_EQ(kLibraryOk, Make().UpdateEntry("full.mp3", TAVO_UPDATE_UNPOPULATED));
  EXPECT_EQ(0, recordings_.lookups);
  EXPECT_EQ(1, recordings_.popularity_requests);
  EXPECT_EQ(40, Load("full.mp3").album_popularity);
  EXPECT_EQ(kIngestionNoTagId, Make().FileSetTagId("full.mp3", "", TAVO_UPDATE_ALL));
}

}  // namespace
}  // namespace tavo
