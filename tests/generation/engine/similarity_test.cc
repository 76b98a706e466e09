// Genre similarity: the window over the similarity scale, the lookups in
// the correlate tables (direct, reverse, translated), leaf candidates, and
// ranking by similarity.
#include <gtest/gtest.h>

#include <set>

#include "engine_fixture.h"
#include "generation/engine/genre_similarity.h"

namespace tavo::testing {
namespace {

using Names = std::set<std::string>;

TEST(SimilarityWindowTest, WindowsOverTheScale) {
  struct Case {
    int32_t min, max;
    int64_t target, window, low, high;
    bool seed_similar;
  };
  const Case cases[] = {
      {0, 10, 8, 20, 6, 10, true},   // half 2
      {0, 10, 5, 20, 3, 7, false},   // the seed itself is not similar
      {0, 10, 0, 20, 0, 4, true},    // moved up from below the scale; t = 0 always takes the seed
      {0, 10, 6, 0, 6, 6, false},    // w = 0: exactly [t, t]
      {0, 10, 9, 40, 2, 10, true},   // cut at the top, low moved down by the overshoot
      {0, 10, 3, 100, 0, 10, true},  // wider than the scale
      {1, 10, 5, -50, 9, 1, false},  // a negative window is empty
  };
  for (const Case& c : cases) {
    const SimilarityWindow w = SimilarityWindowOf(FieldRange{18, c.min, c.max}, c.target, c.window);
    EXPECT_EQ(c.low, w.low) << c.target << "/" << c.window;
    EXPECT_EQ(c.high, w.high) << c.target << "/" << c.window;
    EXPECT_EQ(c.seed_similar, w.seed_similar) << c.target << "/" << c.window;
  }
}

class SimilarityTest : public ::testing::Test {
 protected:
  SimilarityTest() : lib_(ScratchDir()) {
    for (int genre : {500, 501, 502, 503, 504, 505}) lib_.Add(Song("g" + std::to_string(genre), "A", 200, 1000, genre));
    lib_.SetWeightRange(0, 10);
    lib_.SetTable(500, {{501, 7}, {502, 5}, {9999, 3}});  // 9999: a genre no track has
    lib_.SetTable(503, {{500, 8}});                       // found the other way round
    lib_.SetTable(900, {{904, 9}});                       // through the translation
    translation_.Add(500, 900);
    translation_.Add(504, 904);
    lib_.lists().genre_translation = &translation_;
  }

  Names Similar(int32_t field, int32_t seed, int32_t target, int32_t window) {
    auto g = Generator({Criterion(field, txpl_crit_op_enum_sim, seed, target, window)});
    Names names;
    for (const std::string& n : NamesOf(lib_.Run(*g))) names.insert(n.substr(0, n.size() - 4));
    return names;
  }

  EngineLibrary lib_;
  IdMapping translation_;
};

TEST_F(SimilarityTest, TargetEightWindowTwentyTakesWeightsSixToTen) {
  EXPECT_EQ((Names{"g500", "g501", "g503", "g504"}), Similar(txpl_crit_field_track_genrev2, 500, 8, 20));
}

TEST_F(SimilarityTest, TargetFiveLeavesTheSeedGenreOut) {
  EXPECT_EQ((Names{"g501", "g502"}), Similar(txpl_crit_field_track_genrev2, 500, 5, 20));
}

TEST_F(SimilarityTest, TargetZeroTakesTheSeedGenre) {
  EXPECT_EQ(Names{"g500"}, Similar(txpl_crit_field_track_genrev2, 500, 0, 20));
  EXPECT_EQ(Names{}, Similar(txpl_crit_field_track_genrev2, 0, 8, 20));  // no seed
}

TEST_F(SimilarityTest, RanksBySimilarity) {
  auto g = Generator({Criterion(txpl_crit_field_track_genrev2, txpl_crit_op_enum_sim, 500, 8, 20)});
  g->SetRank(RankEntry{txpl_crit_field_track_genrev2, txpl_rank_order_ascending, 0});
  g->song_limit = 3;
  g->sort_field = 0;
  std::set<std::string> top;
  for (const std::string& n : NamesOf(lib_.Run(*g))) top.insert(n);
  EXPECT_EQ((std::set<std::string>{"g500.mp3", "g504.mp3", "g503.mp3"}), top);  // 1000, 9, 8
}

TEST_F(SimilarityTest, LeafDescendantsOfTheSeedAreTheCandidates) {
  // 400 names itself among its children: the walk skips it.
  const DescriptorListPtr genres =
      MakeList(DescriptorKind::kGenres, {{400, {401, 402, 400}}, {401, {}}, {402, {}}, {505, {}}});
  lib_.lists().genres = genres;
  lib_.SetTable(401, {{505, 6}});
  lib_.SetTable(402, {{505, 9}});
  EXPECT_EQ(Names{"g505"}, Similar(txpl_crit_field_track_genre, 400, 8, 20));
  // Only genre fields 18, 19 and 32 look at descendants.
  EXPECT_EQ(Names{}, Similar(txpl_crit_field_track_mood, 400, 8, 20));
}

TEST_F(SimilarityTest, WithoutCorrelatesOnlyTheSeedItselfCanBeSimilar) {
  EngineLibrary bare(ScratchDir("bare"));
  bare.Add(Song("seed", "A", 200, 1000, 500));
  bare.Add(Song("other", "A", 200, 1000, 501));
  auto g = Generator({Criterion(txpl_crit_field_track_genrev2, txpl_crit_op_enum_sim, 500, 0, 20)});
  EXPECT_EQ(std::vector<std::string>{"seed.mp3"}, NamesOf(bare.Run(*g)));
  // The scale is then 0..10.
  EXPECT_EQ((FieldRange{18, 0, 10}), g->RangeOf(18));
}

}  // namespace
}  // namespace tavo::testing
