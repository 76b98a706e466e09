// Criteria evaluation through runs: every operator family, the date rules,
// the list rules of enumerated fields, match modes and sub-criteria.
#include <gtest/gtest.h>

#include <set>

#include "engine_fixture.h"
#include "generation/engine/enum_equality.h"

namespace tavo::testing {
namespace {

using Names = std::set<std::string>;

class CriteriaTest : public ::testing::Test {
 protected:
  CriteriaTest() : lib_(ScratchDir()) {}

  Names Matching(std::vector<CriterionPtr> criteria, int32_t mode = txpl_matchmode_match_all) {
    auto g = Generator(std::move(criteria), mode);
    Names names;
    for (const std::string& n : NamesOf(lib_.Run(*g))) names.insert(n.substr(0, n.size() - 4));
    return names;
  }
  Names Matching(CriterionPtr c) { return Matching(std::vector<CriterionPtr>{std::move(c)}); }

  EngineLibrary lib_;
};

TEST_F(CriteriaTest, TextOperatorsCompareFoldedTexts) {
  lib_.Add(Song("loud", "THE BAND"));
  lib_.Add(Song("soft", "Other"));
  TrackSpec no_artist = Song("bare", "x");
  no_artist.keys.erase(kKeyArt);
  lib_.Add(no_artist);
  const int32_t artist = txpl_crit_field_track_artist_name;
  struct Case {
    int32_t op;
    const char* param;
    Names expected;
  };
  const Case cases[] = {
      {txpl_crit_op_str_eq, "the band", {"loud"}},
      {txpl_crit_op_str_neq, "the band", {"soft"}},  // a track without the text never matches
      {txpl_crit_op_str_cont, "e ba", {"loud"}},
      {txpl_crit_op_str_ncont, "e ba", {"soft"}},
      {txpl_crit_op_str_sta, "the", {"loud"}},
      {txpl_crit_op_str_end, "BAND", {"loud"}},
      {txpl_crit_op_str_cont, "", {}},          // an empty parameter is no text
      {txpl_crit_op_str_ncont, "", {"loud", "soft"}},
      {txpl_crit_op_num_eq, "the band", {}},    // no text operator
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, Matching(TextCriterion(artist, c.op, c.param))) << c.op << " " << c.param;
  }
}

TEST_F(CriteriaTest, CriteriaOfOneFieldAreAlternativesAndOtherFieldsAreRequired) {
  lib_.Add(Song("a1", "A", 100));
  lib_.Add(Song("b1", "B", 300));
  lib_.Add(Song("c1", "C", 100));
  const int32_t artist = txpl_crit_field_track_artist_name;
  EXPECT_EQ((Names{"a1", "b1"}), Matching({TextCriterion(artist, txpl_crit_op_str_eq, "a"),
                                           TextCriterion(artist, txpl_crit_op_str_eq, "b")}));
  EXPECT_EQ(Names{"a1"}, Matching({TextCriterion(artist, txpl_crit_op_str_eq, "a"),
                                   TextCriterion(artist, txpl_crit_op_str_eq, "b"),
                                   Criterion(txpl_crit_field_file_length, txpl_crit_op_num_lt, 2)}));
  // Match any: either criterion.
  EXPECT_EQ((Names{"a1", "c1"}), Matching({TextCriterion(artist, txpl_crit_op_str_eq, "a"),
                                           Criterion(txpl_crit_field_file_length, txpl_crit_op_num_lt, 2)},
                                          txpl_matchmode_match_any));
}

TEST_F(CriteriaTest, FileLengthIsComparedInMinutes) {
  for (int s : {179, 180, 240, 241}) lib_.Add(Song("s" + std::to_string(s), "A", s));
  EXPECT_EQ((Names{"s180", "s240"}), Matching(Criterion(txpl_crit_field_file_length, txpl_crit_op_num_rang, 3, 4)));
}

TEST_F(CriteriaTest, NumberOperatorsAndScores) {
  for (int bpm : {90, 100, 110}) lib_.Add(Song("b" + std::to_string(bpm), "A").Set(kKeyBpm, std::to_string(bpm)));
  lib_.Add(Song("nobpm", "A"));
  const int32_t bpm = txpl_crit_field_track_bpm;
  EXPECT_EQ(Names{"b100"}, Matching(Criterion(bpm, txpl_crit_op_num_eq, 100)));
  EXPECT_EQ((Names{"b90", "b110"}), Matching(Criterion(bpm, txpl_crit_op_num_neq, 100)));  // not "nobpm"
  EXPECT_EQ(Names{"b90"}, Matching(Criterion(bpm, txpl_crit_op_num_lt, 100)));
  EXPECT_EQ(Names{"b110"}, Matching(Criterion(bpm, txpl_crit_op_num_gt, 100)));
}

// 15 June 2024 is today: "in the last 7 days" reaches from 9 June to 16 June.
TEST_F(CriteriaTest, InTheLastSevenDaysAroundToday) {
  const auto played = [&](const std::string& name, int day) {
    TrackSpec t = Song(name, "A");
    t.last_played = DateTime{2024, 6, day, 20, 0};
    lib_.Add(t);
  };
  played("today", 15);
  played("six_ago", 9);
  played("seven_ago", 8);
  lib_.Add(Song("never", "A"));
  const int32_t last = txpl_crit_field_file_lastplayed_date;
  EXPECT_EQ((Names{"today", "six_ago"}), Matching(Criterion(last, txpl_crit_op_date_inlast, 7)));
  EXPECT_EQ(Names{"seven_ago"}, Matching(Criterion(last, txpl_crit_op_date_notinlast, 7)));
  // "In the last" scores today - v; ranked by it, the most recent comes first.
  auto g = Generator({Criterion(last, txpl_crit_op_date_inlast, 30)});
  g->SetRank(RankEntry{last, txpl_rank_order_descending, 0});
  g->time_limit_minutes = 60;
  g->sort_field = 0;
  g->song_limit = 1;
  EXPECT_EQ(std::vector<std::string>{"today.mp3"}, NamesOf(lib_.Run(*g)));
  g->SetRank(RankEntry{last, txpl_rank_order_ascending, 0});
  EXPECT_EQ(std::vector<std::string>{"seven_ago.mp3"}, NamesOf(lib_.Run(*g)));
}

TEST_F(CriteriaTest, DateParametersAreGeneratorDatesComparedByDay) {
  const auto created = [&](const std::string& name, DateTime d) {
    TrackSpec t = Song(name, "A");
    t.created = d;
    lib_.Add(t);
  };
  created("morning", {2007, 1, 1, 8, 0});
  created("evening", {2007, 1, 1, 23, 59});
  created("next", {2007, 1, 2, 0, 1});
  created("old", {1999, 12, 31, 0, 0});
  const int32_t field = txpl_crit_field_file_created_date;
  const auto date = [](int y, int m, int d) { return static_cast<int32_t>(PackGeneratorDate({y, m, d, 13, 5})); };
  EXPECT_EQ((Names{"morning", "evening"}), Matching(Criterion(field, txpl_crit_op_date_eq, date(2007, 1, 1))));
  EXPECT_EQ((Names{"morning", "evening", "old"}), Matching(Criterion(field, txpl_crit_op_date_lt, date(2007, 1, 2))));
  EXPECT_EQ((Names{"old", "morning", "evening"}),
            Matching(Criterion(field, txpl_crit_op_date_rang, date(1999, 12, 31), date(2007, 1, 1))));
  // Month 13 and day 0 are no dates: such a criterion matches nothing.
  EXPECT_EQ(Names{}, Matching(Criterion(field, txpl_crit_op_date_neq, date(2007, 13, 1))));
  EXPECT_EQ(Names{}, Matching(Criterion(field, txpl_crit_op_date_rang, date(2007, 1, 1), date(2007, 1, 0))));
}

TEST_F(CriteriaTest, GenresFromTheOlderSystemAreConverted) {
  TrackSpec old = Song("old", "A");
  old.keys.erase(kKeyGenV2);
  old.genre_v1 = 2;  // converts to 2768
  lib_.Add(old);
  TrackSpec unmapped = Song("unmapped", "A");
  unmapped.keys.erase(kKeyGenV2);
  unmapped.genre_v1 = 1;
  lib_.Add(unmapped);
  EXPECT_EQ(Names{"old"}, Matching(Criterion(txpl_crit_field_track_genrev2, txpl_crit_op_enum_eq, 2768)));
  EXPECT_EQ(Names{"old"}, Matching(Criterion(txpl_crit_field_track_genre, txpl_crit_op_enum_neq, 1)));
}

TEST_F(CriteriaTest, EnumEqualityFollowsTheListsHierarchies) {
  lib_.Add(Song("under", "A").Set(kKeyOrigin, "31").Set(kKeyEra, "8").Set(kKeyGenV2, "501"));
  lib_.Add(Song("same", "A").Set(kKeyOrigin, "3").Set(kKeyEra, "7").Set(kKeyGenV2, "500"));
  lib_.Add(Song("apart", "A").Set(kKeyOrigin, "4").Set(kKeyEra, "9").Set(kKeyGenV2, "600"));
  // Without lists only equal values match.
  EXPECT_EQ(Names{"same"}, Matching(Criterion(txpl_crit_field_artist_region, txpl_crit_op_enum_eq, 3)));
  lib_.lists().origins = MakeList(DescriptorKind::kOrigins, {{3, {30}}, {30, {31}}, {31, {}}, {4, {}}});
  lib_.lists().eras = MakeList(DescriptorKind::kEras, {{7, {8}}, {8, {}}, {9, {}}});
  lib_.lists().genres = MakeList(DescriptorKind::kGenres, {{500, {501}}, {501, {}}, {600, {}}});
  EXPECT_EQ((Names{"under", "same"}), Matching(Criterion(txpl_crit_field_artist_region, txpl_crit_op_enum_eq, 3)));
  EXPECT_EQ(Names{"apart"}, Matching(Criterion(txpl_crit_field_album_region, txpl_crit_op_enum_neq, 3)));
  EXPECT_EQ((Names{"under", "same"}), Matching(Criterion(txpl_crit_field_artist_era, txpl_crit_op_enum_eq, 7)));
  EXPECT_EQ((Names{"under", "same"}), Matching(Criterion(txpl_crit_field_track_genre, txpl_crit_op_enum_eq, 500)));
  // A list that names an item as its own descendant does not hang the test.
  lib_.lists().genres = MakeList(DescriptorKind::kGenres, {{500, {501}}, {501, {500}}, {600, {}}});
  EXPECT_EQ((Names{"under", "same"}), Matching(Criterion(txpl_crit_field_track_genre, txpl_crit_op_enum_eq, 500)));
}

TEST_F(CriteriaTest, PopularityRangesNameTheBounds) {
  const auto popular = [&](const std::string& name, int32_t album, int32_t global) {
    TrackSpec t = Song(name, "A");
    t.album_popularity = album;
    t.global_popularity = global;
    lib_.Add(t);
  };
  popular("low", 100'000'000, 10);
  popular("mid", 250'000'000, 50);
  popular("top", 900'000'000, 95);
  popular("unknown", -1, -1);
  lib_.lists().popularity_ranges = MakeList(DescriptorKind::kPopularityRanges, {{1, {}, {25, 60}}, {2, {}, {90, 100}}});
  EXPECT_EQ(Names{"mid"}, Matching(Criterion(txpl_crit_field_track_local_pop, txpl_crit_op_enum_eq, 1)));
  EXPECT_EQ(Names{"top"}, Matching(Criterion(txpl_crit_field_track_local_pop, txpl_crit_op_enum_eq, 2)));
  EXPECT_EQ(Names{}, Matching(Criterion(txpl_crit_field_track_local_pop, txpl_crit_op_enum_eq, 7)));  // unknown range
  // Album popularity: percent bounds on 0..1,000,000,000 (25 % is 250,000,000).
  EXPECT_EQ(Names{"mid"}, Matching(Criterion(txpl_crit_field_album_pop, txpl_crit_op_enum_eq, 1)));
  EXPECT_EQ((Names{"low", "mid"}), Matching(Criterion(txpl_crit_field_track_album_pop, txpl_crit_op_enum_rang, 10, 25)));
  EXPECT_EQ(250'000'000, ScalePercent(25));
}

TEST_F(CriteriaTest, DeveloperFieldsCompareAsTextOrNumberByOperator) {
  TrackSpec t = Song("dev", "A");
  t.Set(kKeyDevField1, "42 apples");
  lib_.Add(t);
  lib_.Add(Song("plain", "A"));
  EXPECT_EQ(Names{"dev"}, Matching(TextCriterion(txpl_crit_field_xdev1, txpl_crit_op_str_cont, "APPLE")));
  EXPECT_EQ(Names{"dev"}, Matching(Criterion(txpl_crit_field_xdev1, txpl_crit_op_num_eq, 42)));
  EXPECT_EQ(Names{}, Matching(Criterion(txpl_crit_field_xdev1, txpl_crit_op_str_last, 42)));
}

TEST_F(CriteriaTest, SubCriteriaAreTestedInPlaceOfTheCriterionAndAllMustMatch) {
  lib_.Add(Song("both", "A", 200).Set(kKeyBpm, "120"));
  lib_.Add(Song("one", "A", 200).Set(kKeyBpm, "60"));
  auto outer = Criterion(txpl_crit_field_track_bpm, txpl_crit_op_num_eq, 999);
  auto& subs = outer->mutable_sub_criteria();
  subs.push_back(*Criterion(txpl_crit_field_track_bpm, txpl_crit_op_num_gt, 100));
  subs.push_back(*Criterion(txpl_crit_field_file_length, txpl_crit_op_num_rang, 3, 4));
  EXPECT_EQ(Names{"both"}, Matching(outer));
}

}  // namespace
}  // namespace tavo::testing
