// A file written by the previous version of the store opens, verifies and
// reads as it is. Records sharing a key code were held there in a tree of
// positions, whose records a lookup reads one by one; the first insert under
// such a code turns it into a digest tree, after which a lookup of any of
// them reads one record.
#include <filesystem>

#include "storage/store/key_code.h"
#include "store_test_util.h"
#include "support/env/fault_env.h"

namespace tavo::testing {
namespace {

std::string NameOf(uint32_t id) { return "Artist " + std::to_string(id) + " - Title " + std::to_string(id) + ".mp3"; }

uint32_t CodeOf(const std::string& name) {
  return KeyCode(kKeyMethodText, reinterpret_cast<const uint8_t*>(name.c_str()), static_cast<uint32_t>(name.size() + 1));
}

TEST(StoreCompatibility, OlderFileOpensAndHoldsSharedCodesByDigestOnceWritten) {
  const std::string path = ScratchPath("older.pdb");
  std::filesystem::copy_file(std::string(TAVO_SOURCE_DIR) + "/tests/storage/data/older_version_colliding_names.pdb",
                             path, std::filesystem::copy_options::overwrite_existing);
  ASSERT_EQ(Store_Verify(path, kStoreRead, BigEndianType()), kStoreOk);
  FaultEnv counting(Env::Default());
  StoreFile* file = nullptr;
  ASSERT_EQ(Store_Open(&file, path, kStoreReadWrite, BigEndianType(), &counting), kStoreOk);

  // The records of the group the new name joins, read twice: the second
  // time every node is cached, so each read is of a record.
  const std::string joining = NameOf(150);
  std::vector<uint32_t> group;
  for (uint32_t id = 100; id < 1000; ++id) {
    if (id % 50 != 0 && CodeOf(NameOf(id)) == CodeOf(joining)) group.push_back(id);
  }
  ASSERT_GE(group.size(), 100u);
  auto reads_per_lookup = [&] {
    for (uint32_t id : group) EXPECT_EQ(FindByName(file, NameOf(id)), "data " + std::to_string(id));
    const uint64_t before = counting.reads();
    for (uint32_t id : group) FindByName(file, NameOf(id));
    return double(counting.reads() - before) / double(group.size());
  };
  EXPECT_GT(reads_per_lookup(), 10.0);
  ASSERT_EQ(InsertTrack(file, joining, 150, "data 150"), kStoreOk);
  group.push_back(150);
  EXPECT_LT(reads_per_lookup(), 1.01);

  // Equal text values (letter case aside) of an older file, and equal
  // integers, are still found together.
  uint32_t albums = 0;
  EXPECT_EQ(ForEachRecord(file, 3, [&](const StoreRecord&) { ++albums; }, "album one", 10), kStoreNotFound);
  EXPECT_EQ(albums, 588u);  // two thirds of the ids from 100 to 999 that are no multiple of 50
  uint8_t* block = nullptr;
  uint32_t length = 0;
  ASSERT_EQ(Store_ReadUserBlock(file, &block, &length), kStoreOk);
  EXPECT_EQ(length, 256u);
  Store_FreeUserBlock(file, block);
  ASSERT_EQ(Store_Close(file), kStoreOk);
  EXPECT_EQ(Store_Verify(path, kStoreRead, BigEndianType()), kStoreOk);
}

}  // namespace
}  // namespace tavo::testing
