// Opening a library database, and the track writes that keep records and
// index entries together.
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <thread>

#include "support/env/fault_env.h"
#include "storage/library/dir_delim.h"
#include "storage/library/track_writes.h"
#include "library_test_util.h"
#include "tavo/enums.h"

namespace tavo::testing {
namespace {

namespace fs = std::filesystem;

uint32_t Add(LibraryDatabase* db, const std::string& path, const TrackRecord& t) {
  uint32_t id = 0;
  EXPECT_EQ(LibraryDatabase_AddTrack(db, path, t, &id), kLibraryOk) << path;
  return id;
}

TEST(LibraryOpen, NewFolderGetsRecordAndIndexFilesOnly) {
  const std::string dir = ScratchDir();
  LibraryDatabasePtr db = OpenDb(dir + "/");  // a trailing delimiter is not doubled
  ASSERT_TRUE(db);
  EXPECT_EQ(LibraryFile_Path(dir + "/", kLibraryBaseName, LibraryFile::kRecords), dir + "/tavoplm.pdb");
  EXPECT_TRUE(fs::exists(dir + "/tavoplm.pdb"));
  EXPECT_TRUE(fs::exists(dir + "/tavoplm.idx"));
  EXPECT_FALSE(fs::exists(dir + "/tavoplm.gcf"));
  EXPECT_FALSE(fs::exists(dir + "/tavoplm.lsf"));
  EXPECT_EQ(LibraryDatabase_Open(dir, kLibraryBaseName, &db), kDatabaseInvalidArgument);  // still open
  EXPECT_EQ(LibraryDatabase_Close(db.get()), kLibraryOk);
  EXPECT_EQ(LibraryDatabase_Open(dir, kLibraryBaseName, &db), kLibraryOk);  // the closed object is filled again
}

TEST(LibraryOpen, BadPlacesAreAStatus) {
  const std::string dir = ScratchDir();
  LibraryDatabasePtr db;
  EXPECT_EQ(LibraryDatabase_Open("", kLibraryBaseName, &db), kDatabaseInvalidArgument);
  EXPECT_EQ(LibraryDatabase_Open(dir, "", &db), kDatabaseInvalidArgument);
  EXPECT_EQ(LibraryDatabase_Open(dir + "/missing", kLibraryBaseName, &db), kStoreNotFound);
  std::ofstream(dir + "/plain-file") << "not a folder";
  EXPECT_NE(LibraryDatabase_Open(dir + "/plain-file", kLibraryBaseName, &db), kLibraryOk);
  EXPECT_FALSE(LibraryDatabase_IsOpen(db.get()));

  // A record file of another kind is the user's data: refused, not replaced.
  StoreFilePtr other;
  ASSERT_EQ(LibraryFile_Create(LibraryFile::kCompanion, PathIn(dir, LibraryFile::kRecords), nullptr, &other),
            kLibraryOk);
  LibraryFile_Close(&other);
  const auto size = fs::file_size(PathIn(dir, LibraryFile::kRecords));
  EXPECT_EQ(LibraryDatabase_Open(dir, kLibraryBaseName, &db), kLibraryWrongKind);
  EXPECT_EQ(fs::file_size(PathIn(dir, LibraryFile::kRecords)), size);
  EXPECT_FALSE(fs::exists(PathIn(dir, LibraryFile::kIndex)));
}

TEST(LibraryOpen, ReadOnlyFolderIsAStatus) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  const std::string dir = ScratchDir();
  ASSERT_EQ(::chmod(dir.c_str(), 0555), 0);
  LibraryDatabasePtr db;
  EXPECT_EQ(LibraryDatabase_Open(dir, kLibraryBaseName, &db), kStoreAccessDenied);
  ::chmod(dir.c_str(), 0755);
}

// The index holds nothing that is not in the records: an index that is
// missing, of another kind or damaged is made again from them.
TEST(LibraryOpen, IndexIsRebuiltWhenMissingForeignOrDamaged) {
  const std::string dir = ScratchDir();
  {
    LibraryDatabasePtr db = OpenDb(dir);
    for (int i = 0; i < 5; ++i) Add(db.get(), "/m/" + std::to_string(i) + ".mp3", MakeTrack("t", "Art", "Alb"));
  }
  const std::string index = PathIn(dir, LibraryFile::kIndex);
  const std::function<void()> spoil[] = {
      [&] { fs::remove(index); },
      [&] {
        StoreFilePtr other;
        ASSERT_EQ(LibraryFile_Create(LibraryFile::kCorrelates, index, nullptr, &other), kLibraryOk);
      },
      [&] { std::ofstream(index, std::ios::binary) << std::string(600, 'x'); },
  };
  for (const auto& damage : spoil) {
    damage();
    LibraryDatabasePtr db = OpenDb(dir);
    ASSERT_TRUE(db);
    EXPECT_EQ(IndexEntries(db.get()).size(), 5u);
    EXPECT_TRUE(IndexMatchesTracks(db.get()));
  }
}

TEST(LibraryTracks, SameFileTwiceWithParsingTagLeavesOneTrack) {
  LibraryDatabasePtr db = OpenDb(ScratchDir());
  TrackRecord first = MakeTrack("Old", "A", "", "3CD3PX42");
  first.plays = 9;
  EXPECT_EQ(Add(db.get(), "/music/song.mp3", first), 42u);
  EXPECT_EQ(Add(db.get(), "/music/song.mp3", MakeTrack("New", "A", "", "3CD3PX42")), 42u);
  // Another file of the same recording replaces it too.
  EXPECT_EQ(Add(db.get(), "/other/copy.mp3", MakeTrack("Copy", "A", "", "31Z1YOxX42")), 42u);
  EXPECT_EQ(Tracks(db.get()), (std::map<uint32_t, std::string>{{42, "copy.mp3"}}));
  EXPECT_EQ(IndexEntries(db.get()).size(), 1u);
  EXPECT_TRUE(IndexMatchesTracks(db.get()));
}

TEST(LibraryTracks, IdentifiersContinueAcrossCloseAndSkipThoseInUse) {
  const std::string dir = ScratchDir();
  {
    LibraryDatabasePtr db = OpenDb(dir);
    EXPECT_EQ(Add(db.get(), "a.mp3", MakeTrack("a")), 1u);
    EXPECT_EQ(Add(db.get(), "b.mp3", MakeTrack("b", "", "", "3CD3PX03")), 3u);
    EXPECT_EQ(Add(db.get(), "c.mp3", MakeTrack("c")), 2u);
  }
  LibraryDatabasePtr db = OpenDb(dir);
  EXPECT_EQ(Add(db.get(), "d.mp3", MakeTrack("d")), 4u);  // 3 is in use
  // Adding a stored file again without a parsing tag keeps its identifier.
  EXPECT_EQ(Add(db.get(), "/x/A.MP3", MakeTrack("a again")), 1u);
  EXPECT_EQ(Tracks(db.get()), (std::map<uint32_t, std::string>{{1, "A.MP3"}, {2, "c.mp3"}, {3, "b.mp3"}, {4, "d.mp3"}}));
  EXPECT_TRUE(IndexMatchesTracks(db.get()));
}

TEST(LibraryTracks, ParsedIdentifierLeavesAnUnrelatedTrackAlone) {
  LibraryDatabasePtr db = OpenDb(ScratchDir());
  EXPECT_EQ(Add(db.get(), "drawn.mp3", MakeTrack("drawn")), 1u);
  // This tag names 1, which "drawn.mp3" took from the counter.
  EXPECT_EQ(Add(db.get(), "tagged.mp3", MakeTrack("tagged", "", "", "3CD3PY1")), 2u);
  EXPECT_EQ(Tracks(db.get()), (std::map<uint32_t, std::string>{{1, "drawn.mp3"}, {2, "tagged.mp3"}}));
  TrackRecord found;
  EXPECT_EQ(LibraryDatabase_FindByTagId(db.get(), "3CD3PY1", &found), kStoreNotFound);
  EXPECT_TRUE(IndexMatchesTracks(db.get()));
}

TEST(LibraryTracks, FindsByFileIdAndTag) {
  LibraryDatabasePtr db = OpenDb(ScratchDir());
  Add(db.get(), "/music/Song.mp3", MakeTrack("Title", "", "", "3CD3PX77"));
  TrackRecord t;
  uint32_t id = 0;
  ASSERT_EQ(LibraryDatabase_FindByFile(db.get(), "SONG.MP3", &t, &id), kLibraryOk);  // case does not matter
  EXPECT_EQ(id, 77u);
  EXPECT_EQ(t.file_name, "Song.mp3");
  EXPECT_EQ(t.path_name, "/music");
  EXPECT_EQ(Value(t, kKeyTit), "Title");
  ASSERT_EQ(LibraryDatabase_FindById(db.get(), 77, &t, TrackLoad::kFixedOnly), kLibraryOk);
  EXPECT_FALSE(t.metadata);
  ASSERT_EQ(LibraryDatabase_FindByTagId(db.get(), "31Z1YOxX77", &t), kLibraryOk);
  EXPECT_EQ(t.file_name, "Song.mp3");
  EXPECT_EQ(LibraryDatabase_FindByFile(db.get(), "other.mp3", &t), kStoreNotFound);
  EXPECT_EQ(LibraryDatabase_FindByFile(db.get(), "", &t), kLibraryInvalidArgument);
  EXPECT_EQ(LibraryDatabase_FindById(db.get(), 5, &t), kStoreNotFound);
}

// After every kind of write the index holds exactly the entries of the
// stored tracks: no stale values, no entry of a removed track.
TEST(LibraryTracks, EveryWriteKeepsTheIndexCurrent) {
  LibraryDatabasePtr db = OpenDb(ScratchDir());
  Add(db.get(), "/m/one.mp3", MakeTrack("One", "Alpha", "First", "", "1999"));
  Add(db.get(), "/m/two.mp3", MakeTrack("Two", "Beta", "Second"));
  const DateTime now{2024, 3, 4, 5, 6};
  const std::function<uint32_t(TrackRecord&)> changes[] = {
      [&](TrackRecord& t) { TrackRecord_RecordPlay(&t, now); return 0u; },
      [&](TrackRecord& t) { TrackRecord_SetRating(&t, 5); return 0u; },
      [&](TrackRecord& t) { return TrackRecord_WriteField(&t, txpl_crit_field_track_artist_name, "Gamma"); },
      [&](TrackRecord& t) { return TrackRecord_WriteField(&t, txpl_crit_field_track_genrev2, "300"); },
      [&](TrackRecord& t) { return TrackRecord_WriteFieldDate(&t, txpl_crit_field_file_created_date, now); },
      [&](TrackRecord& t) { return TrackRecord_WriteField(&t, txpl_crit_field_track_name, "A much longer title"); },
      [&](TrackRecord& t) { return TrackRecord_SetDeveloperField(&t, 2, "host value"); },
  };
  for (const auto& change : changes) {
    ASSERT_EQ(LibraryDatabase_ModifyTrack(db.get(), "one.mp3", change), kLibraryOk);
    ASSERT_TRUE(IndexMatchesTracks(db.get()));
  }
  TrackRecord t;
  ASSERT_EQ(LibraryDatabase_FindByFile(db.get(), "one.mp3", &t), kLibraryOk);
  EXPECT_EQ(t.plays, 1u);
  EXPECT_EQ(t.rating, 5);
  EXPECT_EQ(Value(t, kKeyArt), "Gamma");
  EXPECT_EQ(Value(t, kKeyTit), "A much longer title");
  EXPECT_EQ(Value(t, kKeyDevField2), "host value");
  // The artist key finds the new value only.
  const std::string gamma = IndexText("Gamma"), alpha = IndexText("alpha");
  StoreRecordPtr entry;
  EXPECT_EQ(FindRecord(LibraryDatabase_IndexFile(db.get()), kIndexKeyArtist, gamma.data(), gamma.size(), &entry),
            kLibraryOk);
  EXPECT_EQ(FindRecord(LibraryDatabase_IndexFile(db.get()), kIndexKeyArtist, alpha.data(), alpha.size(), &entry),
            kStoreNotFound);

  ASSERT_EQ(LibraryDatabase_RemoveTrack(db.get(), "one.mp3"), kLibraryOk);
  EXPECT_TRUE(IndexMatchesTracks(db.get()));
  EXPECT_EQ(IndexEntries(db.get()).size(), 1u);
  EXPECT_EQ(LibraryDatabase_RemoveTrack(db.get(), "one.mp3"), kStoreNotFound);
  EXPECT_EQ(LibraryDatabase_UpdateTrack(db.get(), t), kStoreNotFound);
}

// A full disk at any point of a write leaves the stored track as it was,
// plays and rating included, and the index matching.
TEST(LibraryTracks, FullDiskNeverLosesAStoredTrack) {
  const std::string dir = ScratchDir();
  FaultEnv env(Env::Default());
  LibraryDatabasePtr db;
  ASSERT_EQ(LibraryDatabase_Open(dir, kLibraryBaseName, &db, &env), kLibraryOk);
  TrackRecord kept = MakeTrack("Kept", "Artist", "Album");
  kept.plays = 12;
  kept.rating = 4;
  Add(db.get(), "/m/kept.mp3", kept);
  ASSERT_EQ(LibraryDatabase_Commit(db.get()), kLibraryOk);
  int failures = 0;
  for (uint64_t budget = 0; budget < 3000; budget += 40) {
    TrackRecord replacement = MakeTrack("Replacement with a longer title", "Other", "Album");
    env.FailWritesAfter(budget);
    const LibraryStatus added = LibraryDatabase_AddTrack(db.get(), "/m/kept.mp3", replacement);
    const LibraryStatus grown = LibraryDatabase_ModifyTrack(db.get(), "kept.mp3", [](TrackRecord& t) {
      return TrackRecord_WriteField(&t, txpl_crit_field_album_name, std::string(300, 'z').c_str());
    });
    const LibraryStatus fresh = LibraryDatabase_AddTrack(db.get(), "/m/fresh.mp3", MakeTrack("Fresh"));
    // Changes reach the disk at the commit, so that is where the disk fills.
    const LibraryStatus committed = LibraryDatabase_Commit(db.get());
    env.Heal();
    if (committed != kLibraryOk || added != kLibraryOk) ++failures;
    TrackRecord t;
    ASSERT_EQ(LibraryDatabase_FindByFile(db.get(), "kept.mp3", &t), kLibraryOk) << budget;
    if (added != kLibraryOk) {
      EXPECT_EQ(Value(t, kKeyTit), "Kept") << budget;
      EXPECT_EQ(t.plays, 12u) << budget;
      EXPECT_EQ(t.rating, 4) << budget;
    }
    EXPECT_EQ(grown == kLibraryOk, Value(t, kKeyAlb) == std::string(300, 'z')) << budget;
    if (fresh == kLibraryOk) LibraryDatabase_RemoveTrack(db.get(), "fresh.mp3");
    ASSERT_TRUE(IndexMatchesTracks(db.get())) << budget;
    // Put the kept track back for the next round.
    ASSERT_EQ(LibraryDatabase_AddTrack(db.get(), "/m/kept.mp3", kept), kLibraryOk);
    ASSERT_EQ(LibraryDatabase_Commit(db.get()), kLibraryOk) << budget;
  }
  EXPECT_GT(failures, 3);
  ASSERT_EQ(LibraryDatabase_Close(db.get()), kLibraryOk);
  db = OpenDb(dir);
  EXPECT_EQ(Tracks(db.get()).size(), 1u);
  EXPECT_TRUE(IndexMatchesTracks(db.get()));
}

TEST(LibraryTracks, UndecodableRecordsAreSkippedAndReported) {
  const std::string dir = ScratchDir();
  LibraryDatabasePtr db = OpenDb(dir);
  Add(db.get(), "good.mp3", MakeTrack("Good"));
  // A record whose lengths lie, put there behind the library's back.
  std::vector<uint8_t> data(kTrackFixedBytes, 0);
  data[103] = 50;  // path length 50 (the file's byte order), no path bytes
  StoreRecordPtr bad;
  const std::string name = std::string("bad.mp3") + '\0';
  const uint32_t id = 99;
  const KeyValue keys[] = {{name.data(), static_cast<uint32_t>(name.size())}, {&id, 4}, {}, {}};
  StoreFile* records = LibraryDatabase_RecordsFile(db.get());
  ASSERT_EQ(BuildRecord(records, data.data(), static_cast<uint32_t>(data.size()), keys, 4, &bad), kLibraryOk);
  ASSERT_EQ(Store_Insert(records, bad.get()), kStoreOk);
  TrackRecord t;
  EXPECT_EQ(LibraryDatabase_FindByFile(db.get(), "bad.mp3", &t), kLibraryRecordDamaged);
  EXPECT_EQ(Tracks(db.get()), (std::map<uint32_t, std::string>{{1, "good.mp3"}}));
  int decoded = 0;
  EXPECT_EQ(LibraryDatabase_WalkTracks(db.get(), [&](uint32_t, const TrackRecord&) { return ++decoded, true; }),
            kLibraryOk);
  EXPECT_EQ(decoded, 1);
}

// Writes from several threads are serialized whole: no play is lost while
// tracks are added and read beside it.
TEST(LibraryTracks, ConcurrentWritesLoseNothing) {
  LibraryDatabasePtr db = OpenDb(ScratchDir());
  Add(db.get(), "played.mp3", MakeTrack("Played"));
  constexpr int kPlays = 200, kAdds = 200;
  std::thread player([&] {
    for (int i = 0; i < kPlays; ++i) {
      EXPECT_EQ(LibraryDatabase_ModifyTrack(db.get(), "played.mp3", [](TrackRecord& t) {
                  TrackRecord_RecordPlay(&t, {2024, 1, 1, 0, 0});
                  return 0u;
                }),
                kLibraryOk);
    }
  });
  std::thread adder([&] {
    for (int i = 0; i < kAdds; ++i) {
      EXPECT_EQ(LibraryDatabase_AddTrack(db.get(), "/m/" + std::to_string(i) + ".mp3", MakeTrack("t", "a")),
                kLibraryOk);
    }
  });
  std::thread reader([&] {
    for (int i = 0; i < kPlays; ++i) {
      TrackRecord t;
      EXPECT_EQ(LibraryDatabase_FindByFile(db.get(), "played.mp3", &t), kLibraryOk);
    }
  });
  player.join();
  adder.join();
  reader.join();
  TrackRecord t;
  ASSERT_EQ(LibraryDatabase_FindByFile(db.get(), "played.mp3", &t), kLibraryOk);
  EXPECT_EQ(t.plays, static_cast<uint32_t>(kPlays));
  EXPECT_EQ(Tracks(db.get()).size(), static_cast<size_t>(kAdds + 1));
  EXPECT_TRUE(IndexMatchesTracks(db.get()));
}

TEST(LibraryTracks, PathsSplitAtTheDelimiter) {
  LibraryDatabasePtr db = OpenDb(ScratchDir());
  const char saved = DirDelim();
  SetDirDelim(':');
  Add(db.get(), "/music:sub/disc:track.mp3", MakeTrack("t"));
  Add(db.get(), "plain.mp3", MakeTrack("p"));
  SetDirDelim(saved);
  TrackRecord t;
  ASSERT_EQ(LibraryDatabase_FindByFile(db.get(), "track.mp3", &t), kLibraryOk);
  EXPECT_EQ(t.path_name, "/music:sub/disc");
  ASSERT_EQ(LibraryDatabase_FindByFile(db.get(), "plain.mp3", &t), kLibraryOk);
  EXPECT_EQ(t.path_name, "");
  EXPECT_EQ(LibraryDatabase_AddTrack(db.get(), "/music/", MakeTrack("x")), kLibraryInvalidArgument);
}

}  // namespace
}  // namespace tavo::testing
