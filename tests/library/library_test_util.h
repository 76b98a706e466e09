// Helpers shared by the library database tests: a fresh scratch folder per
// test, tracks built from a few values, and a view of what the files hold.
#ifndef TAVO_TESTS_LIBRARY_LIBRARY_TEST_UTIL_H_
#define TAVO_TESTS_LIBRARY_LIBRARY_TEST_UTIL_H_

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "storage/library/index_entry.h"
#include "storage/library/library_database.h"
#include "storage/library/library_files.h"
#include "storage/library/store_records.h"
#include "storage/library/track_record.h"

namespace tavo::testing {

// An empty folder named after the running test.
inline std::string ScratchDir(const std::string& suffix = "") {
  const char* base = std::getenv("TAVO_TEST_TMPDIR");
  std::filesystem::path dir = base != nullptr ? base : std::filesystem::temp_directory_path();
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  dir /= "library";
  dir /= std::string(info->test_suite_name()) + "." + info->name() + suffix;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string();
}

inline std::string PathIn(const std::string& dir, LibraryFile file) {
  return LibraryFile_Path(dir, kLibraryBaseName, file);
}

// A track of a few values; empty ones stay absent.
inline TrackRecord MakeTrack(const std::string& title, const std::string& artist = "",
                             const std::string& album = "", const std::string& tag_id = "",
                             const std::string& year = "") {
  TrackRecord t;
  if (!title.empty()) TrackRecord_SetValue(&t, kKeyTit, title.c_str());
  if (!artist.empty()) TrackRecord_SetValue(&t, kKeyArt, artist.c_str());
  if (!album.empty()) TrackRecord_SetValue(&t, kKeyAlb, album.c_str());
  if (!year.empty()) TrackRecord_SetValue(&t, kKeyYear, year.c_str());
  t.tag_id = tag_id;
  t.album_popularity = -1;
  t.global_popularity = -1;
  return t;
}

inline std::string Value(const TrackRecord& t, uint32_t key) {
  const char* v = TrackRecord_Value(t, key);
  return v != nullptr ? v : "<absent>";
}

inline LibraryDatabasePtr OpenDb(const std::string& dir, Env* env = nullptr) {
  LibraryDatabasePtr db;
  EXPECT_EQ(LibraryDatabase_Open(dir, kLibraryBaseName, &db, env), kLibraryOk);
  return db;
}

// Every index entry of an open database, by track identifier.
inline std::multimap<uint32_t, IndexEntry> IndexEntries(LibraryDatabase* db) {
  std::multimap<uint32_t, IndexEntry> entries;
  StoreFile* index = LibraryDatabase_IndexFile(db);
  std::vector<StoreRecordPtr> all;
  StoreIteration* it = nullptr;
  StoreRecord* r = nullptr;
  for (StoreStatus s = Store_FindFirst(index, &it, &r, kIndexKeyId, nullptr, 0); s == kStoreOk;
       s = Store_FindNext(index, it, &r)) {
    IndexEntry e = IndexEntry_FromRecord(*r);
    uint32_t id = 0;
    std::memcpy(&id, e.values[kIndexKeyId].data(), 4);
    entries.emplace(id, std::move(e));
    Store_FreeRecord(index, r);
  }
  if (it != nullptr) Store_EndFind(index, it);
  return entries;
}

// (identifier, file name) of every stored track.
inline std::map<uint32_t, std::string> Tracks(LibraryDatabase* db) {
  std::map<uint32_t, std::string> tracks;
  EXPECT_EQ(LibraryDatabase_WalkRaw(db,
                                    [&](uint32_t id, std::string_view name, const TrackImage&) {
                                      EXPECT_TRUE(tracks.emplace(id, std::string(name)).second) << id;
                                      return true;
                                    }),
            kLibraryOk);
  return tracks;
}

// The index holds exactly the entries built from the stored tracks.
inline ::testing::AssertionResult IndexMatchesTracks(LibraryDatabase* db) {
  std::multimap<uint32_t, IndexEntry> expected;
  LibraryStatus s = LibraryDatabase_WalkTracks(db, [&](uint32_t id, const TrackRecord& t) {
    expected.emplace(id, IndexEntry_Build(t, id));
    return true;
  });
  if (s != kLibraryOk) return ::testing::AssertionFailure() << "walk failed: " << std::hex << s;
  const auto actual = IndexEntries(db);
  if (actual.size() != expected.size()) {
    return ::testing::AssertionFailure() << actual.size() << " entries for " << expected.size() << " tracks";
  }
  for (const auto& [id, entry] : expected) {
    const auto range = actual.equal_range(id);
    if (std::distance(range.first, range.second) != 1 || !(range.first->second == entry)) {
      return ::testing::AssertionFailure() << "entry of track " << id << " is missing or stale";
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace tavo::testing

#endif  // TAVO_TESTS_LIBRARY_LIBRARY_TEST_UTIL_H_
