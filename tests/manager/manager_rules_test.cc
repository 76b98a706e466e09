// The manager's small rules: the commit policy and the control's version.
#include <gtest/gtest.h>

#include "manager/library/commit_policy.h"
#include "manager/library/control_version.h"

namespace tavo {
namespace {

uint32_t g_tick = 0;
uint32_t TestTick() { return g_tick; }

// Writes at the given ticks; the indexes of the writes after which the
// policy asks for a flush (each flush succeeds).
std::vector<int> FlushesAfter(const std::vector<uint32_t>& ticks) {
  CommitPolicy policy(TestTick);
  std::vector<int> flushes;
  for (size_t i = 0; i < ticks.size(); ++i) {
    g_tick = ticks[i];
    if (policy.CountWrite()) {
      flushes.push_back(static_cast<int>(i) + 1);
      policy.Flushed();
    }
  }
  return flushes;
}

TEST(CommitPolicyTest, FlushesAtTheHundredthWriteOrTenSecondsAfterTheFirstUnflushed) {
  EXPECT_EQ(std::vector<int>({100, 200}), FlushesAfter(std::vector<uint32_t>(250, 5)));
  // The first write stamps; a later one more than 10 s after it flushes.
  EXPECT_EQ(std::vector<int>({3}), FlushesAfter({1000, 11000, 11001}));
  // After a flush the next write stamps again.
  EXPECT_EQ(std::vector<int>({3}), FlushesAfter({0, 5, 10001, 10002, 20002}));
  // The tick wraps around: 0xFFFFFFF0 to 0x10 is 32 ms.
  EXPECT_EQ(std::vector<int>(), FlushesAfter({0xFFFFFFF0u, 0x10}));
}

TEST(CommitPolicyTest, AFailedFlushIsTriedAgainAtTheNextWrite) {
  CommitPolicy policy(TestTick);
  g_tick = 0;
  for (int i = 0; i < 99; ++i) EXPECT_FALSE(policy.CountWrite());
  EXPECT_TRUE(policy.CountWrite());  // the flush fails: no Flushed()
  EXPECT_TRUE(policy.CountWrite());
  policy.Flushed();
  EXPECT_EQ(0, policy.pending());
}

TEST(ControlVersionTest, AcceptsTwoOneBuildFourAndAbove) {
  const struct {
    const char* text;
    bool parses;
    bool supported;
  } cases[] = {
      {"TAVOControl 2.1.0.4", true, true},    {"TAVOControl 2.1.9.4", true, true},
      {"TAVOControl 2.1.9.3", true, false},   {"TAVOControl 3.0.0.0", true, true},
      {"TAVOControl 2.0.99.99", true, false}, {"TAVOControl 2.2.0.0", true, true},
      {"TAVOControl 1.9.9.9", true, false},   {"TAVOControl 2.1.3.4 (offline)", true, true},
      {"TAVOControl  2.1.0.4", true, true},   {"TAVOControl 2.1.0", false, false},
      {"TAVOControl 2.1.x.4", false, false},  {"TAVOControl 99999999999.1.0.4", false, false},
      {"Control 2.1.0.4", false, false},      {"", false, false},
      {"TAVOControl -3.1.0.4", true, false},
  };
  for (const auto& c : cases) {
    ControlVersion version;
    EXPECT_EQ(c.parses, ParseControlVersion(c.text, &version)) << c.text;
    if (c.parses) {
      EXPECT_EQ(c.supported, ControlVersionSupported(version)) << c.text;
    }
  }
}

}  // namespace
}  // namespace tavo
