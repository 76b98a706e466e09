// The run's pseudo-random generator: a fixed sequence per seed, draws that
// reach every entry of long lists, and uniform playlists.
#include <gtest/gtest.h>

#include <array>
#include <map>

#include "engine_fixture.h"
#include "generation/engine/random_generator.h"

namespace tavo::testing {
namespace {

// The values are part of the format: a seed must give the same playlist on
// every platform and compiler, so they may never change.
TEST(RandomGeneratorTest, ASeedGivesAFixedSequence) {
  RandomGenerator five(5);
  const uint32_t expected[] = {21932, 2762, 9485, 19765, 9395, 6294, 21790, 7152};
  for (uint32_t v : expected) EXPECT_EQ(v, five.Next());
  RandomGenerator zero(0);
  const uint32_t from_zero[] = {20369, 8198, 31736, 4482};
  for (uint32_t v : from_zero) EXPECT_EQ(v, zero.Next());
}

TEST(RandomGeneratorTest, ShortListsTakeOneValueAndLongOnesCombineTwo) {
  RandomGenerator a(77), b(77);
  for (uint64_t n : {1u, 2u, 7u, 32768u}) EXPECT_EQ(b.Next() % n, a.Draw(n)) << n;
  // Beyond 32,768 entries: two values, and entries past 32,767 come up.
  RandomGenerator c = b;
  const uint32_t first = c.Next();
  const uint32_t second = c.Next();
  EXPECT_EQ(((uint64_t{first} << 15) | second) % 40000, b.Draw(40000));
  uint64_t highest = 0;
  for (int i = 0; i < 1000; ++i) highest = std::max(highest, b.Draw(40000));
  EXPECT_GT(highest, 32767u);
}

// Chi-square with 39 degrees of freedom; 72.05 is the 0.1 % critical value.
// The seed is fixed, so the test is deterministic.
TEST(RandomGeneratorTest, DrawsOverALongListAreUniform) {
  RandomGenerator r(12345);
  constexpr int kBuckets = 40;
  constexpr int kDraws = 80'000;
  std::array<int, kBuckets> counts{};
  for (int i = 0; i < kDraws; ++i) ++counts[r.Draw(40'000) / 1000];
  double chi = 0;
  for (int c : counts) chi += (c - 2000.0) * (c - 2000.0) / 2000.0;
  EXPECT_LT(chi, 72.05);
}

TEST(RandomGeneratorTest, TheProcessGeneratorContinuesFromAFinishedRun) {
  RandomGenerator run(9);
  run.Next();
  RandomGenerator copy = run;
  ProcessRandom_Continue(run);
  EXPECT_EQ(copy.Next(), ProcessRandom_Next());
  ProcessRandom_Seed(9);
  EXPECT_EQ(RandomGenerator(9).Next(), ProcessRandom_Next());
}

// Every track takes every place of an unranked playlist equally often over
// many seeds: chi-square over the 6 x 6 table of (track, place), 25 degrees
// of freedom, 0.1 % critical value 52.62.
TEST(ShuffleUniformityTest, AnUnrankedPlaylistIsUniformOverSeeds) {
  EngineLibrary lib(ScratchDir());
  for (int i = 0; i < 6; ++i) lib.Add(Song("t" + std::to_string(i), "A"));
  auto g = Generator({Criterion(txpl_crit_field_file_length, txpl_crit_op_num_gt, 0)});
  constexpr int kSeeds = 6000;
  std::map<std::pair<std::string, size_t>, int> at;
  std::array<int, 6> first_with_limit{};
  for (int32_t seed = 1; seed <= kSeeds; ++seed) {
    g->seed = seed;
    g->song_limit = 0;
    const auto names = NamesOf(lib.Run(*g));
    ASSERT_EQ(6u, names.size());
    for (size_t p = 0; p < names.size(); ++p) ++at[{names[p], p}];
    g->song_limit = 1;  // the walk's own draw picks the one track
    ++first_with_limit[std::stoi(NamesOf(lib.Run(*g)).at(0).substr(1))];
  }
  const double expected = kSeeds / 6.0;
  double chi = 0;
  for (const auto& [cell, n] : at) chi += (n - expected) * (n - expected) / expected;
  EXPECT_EQ(36u, at.size());
  EXPECT_LT(chi, 52.62);
  double chi_first = 0;  // 5 degrees of freedom, critical value 20.52
  for (int n : first_with_limit) chi_first += (n - expected) * (n - expected) / expected;
  EXPECT_LT(chi_first, 20.52);
}

}  // namespace
}  // namespace tavo::testing
