// The generator run through the plain engine: seeds, limits, ranking,
// selections, the similarity scale and bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>

#include "engine_fixture.h"
#include "generation/engine/random_generator.h"

namespace tavo::testing {
namespace {

class GeneratorRunTest : public ::testing::Test {
 protected:
  GeneratorRunTest() : lib_(ScratchDir()) {}

  // 25 songs by five artists, lengths 181..205 s.
  void AddTwentyFive() {
    for (int i = 0; i < 25; ++i) lib_.Add(Song("song" + std::to_string(i), "Artist " + std::to_string(i % 5), 181 + i));
  }
  static std::shared_ptr<GeneratorRecord> EveryTrack() {
    return Generator({Criterion(txpl_crit_field_file_length, txpl_crit_op_num_gt, 0)});
  }

  EngineLibrary lib_;
};

TEST_F(GeneratorRunTest, SeedFiveRepeatsTheSamePlaylistInTheSameOrder) {
  AddTwentyFive();
  auto g = EveryTrack();
  g->seed = 5;
  const auto first = NamesOf(lib_.Run(*g));
  EXPECT_EQ(25u, first.size());
  EXPECT_EQ(first, NamesOf(lib_.Run(*g)));
  // Another seed gives another order of the same tracks.
  g->seed = 6;
  const auto other = NamesOf(lib_.Run(*g));
  EXPECT_NE(first, other);
  EXPECT_EQ(std::set(first.begin(), first.end()), std::set(other.begin(), other.end()));
}

TEST_F(GeneratorRunTest, SeedZeroIsSeededFromTheClock) {
  AddTwentyFive();
  auto g = EveryTrack();
  g->seed = static_cast<int32_t>(FixedSeconds());
  const auto seeded = NamesOf(lib_.Run(*g));
  g->seed = 0;
  EXPECT_EQ(seeded, NamesOf(lib_.Run(*g)));
}

TEST_F(GeneratorRunTest, SongLimitTakesTenOfTwentyFive) {
  AddTwentyFive();
  auto g = EveryTrack();
  g->song_limit = 10;
  EXPECT_EQ(10u, lib_.Run(*g).size());
  g->song_limit = 0;
  EXPECT_EQ(25u, lib_.Run(*g).size());
}

TEST_F(GeneratorRunTest, SizeLimitOfOneKilobyteAdmitsNothing) {
  AddTwentyFive();
  auto g = EveryTrack();
  g->size_limit_kb = 1;
  EXPECT_TRUE(lib_.Run(*g).empty());
}

// Sizes and limits of 4 GiB and more are counted in 64 bits: 8 GB is not 0.
TEST_F(GeneratorRunTest, SizesAndSizeLimitsBeyondFourGigabytesCount) {
  lib_.Add(Song("big1", "A", 200, int64_t{5} << 30));
  lib_.Add(Song("big2", "A", 200, int64_t{5} << 30));
  auto g = EveryTrack();
  g->size_limit_kb = 8u * 1024 * 1024;  // 8 GiB: one of the two fits
  const auto entries = lib_.Run(*g);
  ASSERT_EQ(1u, entries.size());
  EXPECT_EQ(uint64_t{5} << 30, entries[0].size);
  g->size_limit_kb = 12u * 1024 * 1024;
  EXPECT_EQ(2u, lib_.Run(*g).size());
}

// Tracks ranked by popularity, most popular first, under a one-minute limit.
class TimeLimitTest : public GeneratorRunTest {
 protected:
  void AddRanked(const std::string& name, int seconds, int32_t popularity) {
    TrackSpec t = Song(name, "A", seconds);
    t.global_popularity = popularity;
    lib_.Add(t);
  }
  std::vector<std::string> RunOneMinute() {
    auto g = EveryTrack();
    g->time_limit_minutes = 1;
    g->SetRank(RankEntry{txpl_crit_field_track_global_pop, txpl_rank_order_ascending, 0});
    g->sort_field = txpl_crit_field_track_global_pop;
    return NamesOf(lib_.Run(*g));
  }
};

TEST_F(TimeLimitTest, ALongerTrackIsPassedOverAndAShorterLaterOneFillsTheTime) {
  AddRanked("first", 50, 100);
  AddRanked("too_long", 30, 90);
  AddRanked("short", 9, 80);
  EXPECT_EQ((std::vector<std::string>{"short.mp3", "first.mp3"}), RunOneMinute());
}

TEST_F(TimeLimitTest, FewerThanEightSecondsLeftEndTheList) {
  AddRanked("first", 55, 100);
  AddRanked("small", 1, 1);
  EXPECT_EQ(std::vector<std::string>{"first.mp3"}, RunOneMinute());
  AddRanked("first", 52, 100);  // replaces it: 8 s are left now
  EXPECT_EQ((std::vector<std::string>{"small.mp3", "first.mp3"}), RunOneMinute());
}

TEST_F(GeneratorRunTest, PerArtistCapOfOneKeepsOneTrackPerArtist) {
  AddTwentyFive();
  lib_.Add(Song("shout", "ARTIST 0"));  // the same artist, other letter case
  auto g = EveryTrack();
  g->AddFieldLimit(FieldLimit{txpl_crit_field_track_artist_name, 1});
  for (int32_t seed = 1; seed <= 5; ++seed) {
    g->seed = seed;
    const auto entries = lib_.Run(*g);
    std::set<std::string> artists;
    for (const auto& e : entries) {
      std::string folded = e.artist;
      std::transform(folded.begin(), folded.end(), folded.begin(), ::tolower);
      EXPECT_TRUE(artists.insert(folded).second) << e.artist;
    }
    EXPECT_EQ(5u, entries.size());
  }
}

// A limit of 2 per release year keeps 2 tracks of each year, not 2 in all.
TEST_F(GeneratorRunTest, PerYearLimitKeepsTwoOfEachYear) {
  for (int i = 0; i < 12; ++i) lib_.Add(Song("y" + std::to_string(i), "A").Set(kKeyYear, std::to_string(1990 + i % 3)));
  auto g = EveryTrack();
  g->AddFieldLimit(FieldLimit{txpl_crit_field_track_releaseyear, 2});
  const auto entries = lib_.Run(*g);
  EXPECT_EQ(6u, entries.size());
}

TEST_F(GeneratorRunTest, RankByGlobalPopularityListsTheMostPopularFirstWithRandomTies) {
  for (int i = 0; i < 30; ++i) {
    TrackSpec t = Song("p" + std::to_string(i), "A");
    t.global_popularity = i < 10 ? 900 : 100;  // ten tied at the top
    lib_.Add(t);
  }
  auto g = EveryTrack();
  g->SetRank(RankEntry{txpl_crit_field_track_global_pop, txpl_rank_order_ascending, 0});
  g->song_limit = 5;
  g->sort_field = txpl_crit_field_file_name;
  std::set<std::vector<std::string>> seen;
  for (int32_t seed = 1; seed <= 8; ++seed) {
    g->seed = seed;
    const auto names = NamesOf(lib_.Run(*g));
    ASSERT_EQ(5u, names.size());
    for (const std::string& n : names) EXPECT_LT(std::stoi(n.substr(1)), 10) << n;
    EXPECT_EQ(names, NamesOf(lib_.Run(*g))) << "ties repeat for a seed";
    seen.insert(names);
  }
  EXPECT_GT(seen.size(), 1u) << "ties are drawn at random";
  // The descending order lists the least popular first.
  g->SetRank(RankEntry{txpl_crit_field_track_global_pop, txpl_rank_order_descending, 0});
  for (const std::string& n : NamesOf(lib_.Run(*g))) EXPECT_GE(std::stoi(n.substr(1)), 10) << n;
}

TEST_F(GeneratorRunTest, FinalSortOrdersByTheSortFieldIgnoringLetterCase) {
  lib_.Add(Song("b", "beta"));
  lib_.Add(Song("a", "Alpha"));
  lib_.Add(Song("c", "GAMMA"));
  auto g = EveryTrack();
  g->sort_field = txpl_crit_field_track_artist_name;
  EXPECT_EQ((std::vector<std::string>{"a.mp3", "b.mp3", "c.mp3"}), NamesOf(lib_.Run(*g)));
}

TEST_F(GeneratorRunTest, EntriesCarryTheTrackValues) {
  TrackSpec t = Song("x", "The Artist", 241, 5'000'000, 777);
  t.path = "/some/folder/x.mp3";
  lib_.Add(t);
  auto g = EveryTrack();
  const auto entries = lib_.Run(*g);
  ASSERT_EQ(1u, entries.size());
  const PlaylistEntry expected{"/some/folder/x.mp3", "The Artist", "The Artist album", "x", 777, 5'000'000, 241, 192};
  EXPECT_EQ(expected, entries[0]);
}

TEST_F(GeneratorRunTest, SelectionBasedEqualityOnArtistCountsTheSelectedTracksItEquals) {
  lib_.Add(Song("s1", "Alpha"));
  lib_.Add(Song("s2", "alpha"));
  lib_.Add(Song("s3", "Beta"));
  lib_.Add(Song("s4", "Gamma"));
  auto c = TextCriterion(txpl_crit_field_track_artist_name, txpl_crit_op_str_eq, "");
  c->selection_based = 1;
  auto g = Generator({c});
  g->sort_field = txpl_crit_field_file_name;
  EXPECT_EQ((std::vector<std::string>{"s1.mp3", "s2.mp3", "s3.mp3"}),
            NamesOf(lib_.Run(*g, {"/elsewhere/S1.MP3", "s3.mp3", "missing.mp3"})));
  // Ranked by match count: tracks equal to two selected tracks come first.
  g->SetRank(RankEntry{txpl_crit_field_track_bpm, txpl_rank_order_ascending, 0});
  g->sort_field = 0;
  g->song_limit = 2;
  const auto top = NamesOf(lib_.Run(*g, {"s1.mp3", "s2.mp3", "s3.mp3"}));
  EXPECT_EQ((std::set<std::string>{"s1.mp3", "s2.mp3"}), std::set<std::string>(top.begin(), top.end()));
}

TEST_F(GeneratorRunTest, SelectionBasedRunsNeedNamesAndNamesNotFoundMatchNothing) {
  lib_.Add(Song("s1", "Alpha"));
  auto c = TextCriterion(txpl_crit_field_track_artist_name, txpl_crit_op_str_eq, "");
  c->selection_based = 1;
  auto g = Generator({c});
  std::vector<PlaylistEntry> out;
  EXPECT_EQ(kRunEmptySelection, lib_.Run(*g, &out, {}));
  EXPECT_TRUE(lib_.Run(*g, {"nothing.mp3"}).empty());
}

// The run-time selection count is 32-bit: 70,000 names do not wrap.
TEST_F(GeneratorRunTest, SeventyThousandSelectedNamesAreAllCounted) {
  lib_.Add(Song("s1", "Alpha"));
  lib_.Add(Song("s2", "Beta"));
  auto c = TextCriterion(txpl_crit_field_track_artist_name, txpl_crit_op_str_eq, "");
  c->selection_based = 1;
  auto g = Generator({c});
  std::vector<std::string> names(70'000, "unknown.mp3");
  names.back() = "s2.mp3";
  EXPECT_EQ(std::vector<std::string>{"s2.mp3"}, NamesOf(lib_.Run(*g, names)));
}

// Each run replaces the similarity-scale nodes of the one before.
TEST_F(GeneratorRunTest, RunsReplaceTheSimilarityScaleNodesInsteadOfAddingThem) {
  lib_.Add(Song("a", "A"));
  lib_.SetWeightRange(1, 10);
  auto g = EveryTrack();
  for (int i = 0; i < 3; ++i) lib_.Run(*g);
  EXPECT_EQ((std::vector<FieldRange>{{18, 1, 10}, {19, 1, 10}, {18, 0, 1000}, {19, 0, 1000}}), g->field_ranges());
}

TEST_F(GeneratorRunTest, BadInputGivesEmptyListsOrStatuses) {
  AddTwentyFive();
  struct Case {
    const char* what;
    std::vector<CriterionPtr> criteria;
  };
  const Case cases[] = {
      {"no criteria", {}},
      {"field 53", {Criterion(53, txpl_crit_op_num_eq, 0)}},
      {"operator 30", {Criterion(txpl_crit_field_file_length, 30, 0)}},
      {"a marker operator", {Criterion(txpl_crit_field_file_length, txpl_crit_op_num_last, 0)}},
      {"a negative field", {Criterion(-4, txpl_crit_op_num_eq, 0)}},
      {"string operator on a number field", {TextCriterion(txpl_crit_field_file_length, txpl_crit_op_str_eq, "200")}},
      {"date out of range", {Criterion(txpl_crit_field_file_created_date, txpl_crit_op_date_eq, 13 << 16)}},
      {"range start above end", {Criterion(txpl_crit_field_file_length, txpl_crit_op_num_rang, 5, 1)}},
  };
  for (const Case& c : cases) {
    auto g = Generator(c.criteria);
    EXPECT_TRUE(lib_.Run(*g).empty()) << c.what;
  }
  std::vector<PlaylistEntry> out;
  RunRequest no_generator;
  EXPECT_EQ(kRunMissingInput, Generator_Run(no_generator, &out));
}

TEST(GeneratorRunEmptyTest, AnEmptyLibraryGivesAnEmptyList) {
  EngineLibrary lib(ScratchDir());
  auto g = Generator({Criterion(txpl_crit_field_file_length, txpl_crit_op_num_gt, 0)});
  EXPECT_TRUE(lib.Run(*g).empty());
}

// Two runs of one seed at once on two threads give the playlist one run gives.
TEST_F(GeneratorRunTest, ASeedGivesTheSamePlaylistWhileOtherRunsDraw) {
  AddTwentyFive();
  auto g = EveryTrack();
  g->seed = 5;
  const auto alone = NamesOf(lib_.Run(*g));
  const ViewSnapshotPtr snapshot = lib_.Snapshot();
  std::vector<std::vector<std::string>> results(2);
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([&, t] {
      auto own = EveryTrack();
      own->seed = 5;
      for (int i = 0; i < 20; ++i) {
        RunRequest r;
        r.generator = own.get();
        r.snapshot = snapshot;
        r.clock = FixedClock();
        std::vector<PlaylistEntry> out;
        Generator_Run(r, &out);
        results[t] = NamesOf(out);
        ProcessRandom_Next();
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(alone, results[0]);
  EXPECT_EQ(alone, results[1]);
}

}  // namespace
}  // namespace tavo::testing
