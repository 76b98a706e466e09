// Replays the seeds of the data fuzz targets (fuzz/data/seeds/) and the
// fixtures of past findings (tests/data/fuzz/fixtures/, each named after what
// it found) through the targets' bodies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data_fuzz_targets.h"
#include "platform/fs/env.h"

namespace tavo {
namespace {

using Body = void (*)(const uint8_t*, size_t);

void ReplayFolder(const std::string& dir, Body body, size_t* replayed) {
  std::vector<DirEntry> entries;
  if (Env::Default()->ListDir(dir, &entries) != 0) return;  // no findings yet
  for (const DirEntry& e : entries) {
    if (e.is_directory || e.name.empty() || e.name[0] == '.') continue;
    std::string bytes;
    ASSERT_EQ(0, Env::Default()->ReadAll(dir + "/" + e.name, &bytes));
    SCOPED_TRACE(dir + "/" + e.name);
    body(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ++*replayed;
  }
}

void Replay(const std::string& target, Body body) {
  size_t replayed = 0;
  ReplayFolder(TAVO_SOURCE_DIR "/fuzz/data/seeds/" + target, body, &replayed);
  ReplayFolder(TAVO_SOURCE_DIR "/tests/data/fuzz/fixtures/" + target, body, &replayed);
  EXPECT_GT(replayed, 0u);
}

TEST(DataFuzzFixtures, Descriptors) { Replay("descriptors", FuzzDescriptorList); }
TEST(DataFuzzFixtures, Presets) { Replay("presets", FuzzPresetDocument); }

}  // namespace
}  // namespace tavo
