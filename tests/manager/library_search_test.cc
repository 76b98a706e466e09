// The library search without automation: which tracks a filter finds
// through the index walk, and how an open search meets changes, closes and
// other libraries.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "library/library_test_util.h"
#include "manager/library/manager_status.h"
#include "manager/search/library_search.h"

namespace tavo {
namespace {

using testing::MakeTrack;
using testing::ScratchDir;

struct Stored {
  const char* file;
  const char* artist;
  const char* album;
  const char* year;
  const char* genre;
  uint32_t plays;
  int32_t rating;
  DateTime last_played;
};

// Five tracks; "e" has neither artist nor year.
const Stored kTracks[] = {
    {"a.mp3", "ABBA", "Gold", "1979", "300", 3, 5, {}},
    {"b.mp3", "ABBA Gold", "", "1980", "", 0, 0, {}},
    {"c.mp3", "abba", "Arrival", "1976", "301", 10, -2, {}},
    {"d.mp3", "Blondie", "", "1979", "", 1, 3, {2020, 5, 1, 12, 0}},
    {"e.mp3", "", "", "", "", 100, -50, {}},
};

FindRange Range(int64_t start, int64_t end) { return FindRange{true, start, end}; }
FindRange Dates(const DateTime& start, const DateTime& end) {
  return Range(PackRecordDate(start), PackRecordDate(end));
}

class LibrarySearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(kLibraryOk, library_->Open(ScratchDir(), nullptr));
    for (const Stored& s : kTracks) {
      TrackRecord track = MakeTrack("T", s.artist, s.album, "", s.year);
      if (*s.genre != 0) TrackRecord_SetValue(&track, kKeyGenV2, s.genre);
      track.plays = s.plays;
      track.rating = s.rating;
      if (s.last_played.year != 0) track.last_played = ToRecordDate(s.last_played);
      ASSERT_EQ(kLibraryOk, library_->AddTrack(std::string("/music/") + s.file, track));
    }
  }

  // The file names that `search` hands out until none is left, sorted.
  std::string Drain(LibrarySearch& search) {
    std::vector<std::string> names;
    TrackRecord track;
    while (search.Next(library_, &track) == kLibraryOk) names.push_back(track.file_name.substr(0, 1));
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string& n : names) joined += n;
    return joined;
  }

  std::string Find(const FindFilter& filter) {
    LibrarySearch search;
    EXPECT_EQ(kLibraryOk, search.Open(library_, filter));
    return Drain(search);
  }

  std::shared_ptr<MediaLibrary> library_ = std::make_shared<MediaLibrary>();
};

TEST_F(LibrarySearchTest, FindsTheTracksEveryCriterionAllows) {
  struct Case {
    const char* what;
    void (*set)(FindFilter&);
    const char* found;  // first letters of the file names
  };
  const Case cases[] = {
      {"no criterion", [](FindFilter&) {}, "abcde"},
      {"artist ignores case, not a prefix", [](FindFilter& f) { f.artist = "abba"; }, "ac"},
      {"artist of two words", [](FindFilter& f) { f.artist = "ABBA GOLD"; }, "b"},
      {"album", [](FindFilter& f) { f.album = "gold"; }, "a"},
      {"keyword: the library keeps none", [](FindFilter& f) { f.keyword = "gold"; }, ""},
      {"genre", [](FindFilter& f) { f.genre = 300; }, "a"},
      {"genre 0 tests nothing",
       [](FindFilter& f) {
         f.genre = 0;
         f.plays = Range(0, 0);
       },
       "abcde"},
      {"year 0 to 0 tests nothing", [](FindFilter& f) { f.year = Range(0, 0); }, "abcde"},
      {"year range, narrow", [](FindFilter& f) { f.year = Range(1979, 1980); }, "abd"},
      {"year range, wide: tracks without a year are not in it", [](FindFilter& f) { f.year = Range(1000, 3000); },
       "abcd"},
      {"plays range, wide walk that stops past the end", [](FindFilter& f) { f.plays = Range(1, 70); }, "acd"},
      {"plays range beyond 32 bits", [](FindFilter& f) { f.plays = Range(2, 1LL << 40); }, "ace"},
      {"a failing non-driving range skips, the walk goes on",
       [](FindFilter& f) {
         f.artist = "abba";
         f.plays = Range(5, 20);
       },
       "c"},
      {"the same with year",
       [](FindFilter& f) {
         f.artist = "abba";
         f.year = Range(1900, 1978);
       },
       "c"},
      {"driving year, failing rating skipped",
       [](FindFilter& f) {
         f.year = Range(1979, 1979);
         f.rating = Range(4, 10);
       },
       "a"},
      {"rating reaching below 0, wide", [](FindFilter& f) { f.rating = Range(-100, 100); }, "abcde"},
      {"rating below 0, narrow", [](FindFilter& f) { f.rating = Range(-5, -1); }, "c"},
      {"rating 0 to 0 finds the unrated", [](FindFilter& f) { f.rating = Range(0, 0); }, "b"},
      {"start after end", [](FindFilter& f) { f.rating = Range(4, 2); }, ""},
      {"last played in 2020",
       [](FindFilter& f) {
         f.last_played = Dates({2020, 1, 1, 0, 0}, {2020, 12, 31, 23, 59});
       },
       "d"},
      {"last played zero: never played", [](FindFilter& f) { f.last_played = Range(0, 0); }, "abce"},
      {"unset ranges test nothing",
       [](FindFilter& f) {
         f.plays = FindRange{false, 5, 6};
         f.rating = FindRange{false, 9, 9};
       },
       "abcde"},
  };
  for (const Case& c : cases) {
    FindFilter filter;
    c.set(filter);
    EXPECT_EQ(c.found, Find(filter)) << c.what;
  }
}

TEST_F(LibrarySearchTest, AnOpenSearchPassesOverTracksRemovedOrChangedSinceAndEndsForGood) {
  LibrarySearch search;
  FindFilter played;
  played.plays = Range(1, 100);
  ASSERT_EQ(kLibraryOk, search.Open(library_, played));
  EXPECT_EQ(4u, search.match_count());  // a, c, d, e
  ASSERT_EQ(kLibraryOk, library_->RemoveTrack("c.mp3"));
  ASSERT_EQ(kLibraryOk, library_->ModifyStatistics("d.mp3", [](TrackRecord& t) {
    t.plays = 0;
    return kLibraryOk;
  }));
  ASSERT_EQ(kLibraryOk, library_->AddTrack("/music/f.mp3", MakeTrack("F")));  // after the open: not seen
  EXPECT_EQ("ae", Drain(search));
  TrackRecord track;
  EXPECT_EQ(kStoreNotFound, search.Next(library_, &track));
  EXPECT_EQ(kStoreNotFound, search.Next(library_, &track));
  search.Close();
  EXPECT_EQ(kStoreNotFound, search.Next(library_, &track));
}

// Plays written beside the walk move index entries ahead of it, where the
// walk may meet them again: each track is still handed out once.
TEST_F(LibrarySearchTest, WritesBesideTheWalkNeverRepeatATrack) {
  std::atomic<bool> done{false};
  std::thread player([&] {
    for (uint32_t round = 0; !done; ++round) {
      library_->ModifyStatistics(kTracks[round % 5].file, [](TrackRecord& t) {
        t.plays += 7;
        return kLibraryOk;
      });
    }
  });
  FindFilter played;
  played.plays = Range(0, 1LL << 32);
  for (int i = 0; i < 200; ++i) {
    LibrarySearch search;
    ASSERT_EQ(kLibraryOk, search.Open(library_, played));
    std::vector<std::string> names;
    TrackRecord track;
    while (search.Next(library_, &track) == kLibraryOk) names.push_back(track.file_name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names.end(), std::adjacent_find(names.begin(), names.end()));
  }
  done = true;
  player.join();
}

TEST_F(LibrarySearchTest, ASearchServesOnlyItsOwnOpenLibrary) {
  LibrarySearch search;
  TrackRecord track;
  EXPECT_EQ(kStoreNotFound, search.Next(library_, &track));  // never opened
  ASSERT_EQ(kLibraryOk, search.Open(library_, {}));
  auto other = std::make_shared<MediaLibrary>();
  ASSERT_EQ(kLibraryOk, other->Open(ScratchDir("-other"), nullptr));
  EXPECT_EQ(kStoreNotFound, search.Next(other, &track));

  ASSERT_EQ(kLibraryOk, library_->Close());
  EXPECT_EQ(kManagerNotOpen, search.Next(library_, &track));
  EXPECT_EQ(kManagerNotOpen, search.Open(library_, {}));
  EXPECT_FALSE(search.is_open());
}

}  // namespace
}  // namespace tavo
