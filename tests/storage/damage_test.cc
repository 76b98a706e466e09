// Damaged files: every operation ends in a status. Hand-made damage checks
// the status named for it; random damage and the fixtures in data/ (inputs
// that once broke the store) check that nothing crashes or loops.
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <vector>

#include "store_exercise.h"
#include "store_test_util.h"

namespace tavo::testing {
namespace {

uint32_t Word(const Bytes& b, size_t at) {
  uint32_t v;
  std::memcpy(&v, &b[at], 4);
  return v;
}

void PutWord(Bytes& b, size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); }

StoreStatus Exercise(const std::string& path) { return ExerciseStoreFile(path); }

class StoreDamage : public ::testing::Test {
 protected:
  // A native-order file of small nodes, so that trees have several levels.
  void SetUp() override {
    path_ = ScratchPath("damage.pdb");
    StoreFileDef def = TrackLikeDef(16);
    def.node_size = 40;
    StoreFile* file = nullptr;
    ASSERT_EQ(Store_Create(&file, path_, kStoreReadWrite, &def, nullptr), kStoreOk);
    for (uint32_t i = 0; i < 80; ++i) {
      ASSERT_EQ(InsertTrack(file, "n" + std::to_string(i), i, std::string(20 + i % 7, 'd')), kStoreOk);
    }
    ASSERT_EQ(Store_Close(file), kStoreOk);
    good_ = ReadBytes(path_);
    ASSERT_EQ(Store_Verify(path_, kStoreRead, nullptr), kStoreOk);
  }

  uint32_t Root(uint32_t key) const { return Word(good_, 52 + 12 * key); }

  // The first record position in key 1's leftmost leaf.
  uint32_t FirstRecord() const {
    uint32_t node = Root(1);
    while (Word(good_, node) == 0) node = Word(good_, node + 8);
    return Word(good_, node + 16);
  }

  StoreStatus FindStatus(const Bytes& damaged, uint32_t id) {
    WriteBytes(path_, damaged);
    StoreFile* file = nullptr;
    StoreStatus s = Store_Open(&file, path_, kStoreRead, nullptr);
    if (s != kStoreOk) return s;
    FindData(file, 1, &id, 4, &s);
    Store_Close(file);
    return s;
  }

  std::string path_;
  Bytes good_;
};

TEST_F(StoreDamage, NamedFaults) {
  ASSERT_EQ(Word(good_, Root(1)), 0u) << "key 1's root should be an inner node";
  struct Case {
    const char* what;
    void (*damage)(Bytes&, uint32_t root, uint32_t record);
    StoreStatus verify;
  };
  const Case cases[] = {
      {"child is its own parent", [](Bytes& b, uint32_t root, uint32_t) { PutWord(b, root + 8, root); },
       kStoreTreeShape},
      {"child beyond the end", [](Bytes& b, uint32_t root, uint32_t) { PutWord(b, root + 8, 0x7FFFFF00); },
       kStoreNodeBeyondEnd},
      {"child misaligned", [](Bytes& b, uint32_t root, uint32_t) { PutWord(b, root + 8, Word(b, root + 8) + 1); },
       kStoreNodeNotANode},
      {"child is a record", [](Bytes& b, uint32_t root, uint32_t record) { PutWord(b, root + 8, record); },
       kStoreNodeNotANode},
      {"count beyond capacity", [](Bytes& b, uint32_t root, uint32_t) { PutWord(b, root + 4, 99); },
       kStoreNodeDamaged},
      {"codes out of order", [](Bytes& b, uint32_t root, uint32_t) { PutWord(b, root + 12, 0xFFFFFFF0); },
       kStoreNodeOrder},
      {"record data length lies", [](Bytes& b, uint32_t, uint32_t record) { PutWord(b, record + 8, 0x7FFFFFFF); },
       kStoreRecordDamaged},
      {"record key length lies", [](Bytes& b, uint32_t, uint32_t record) { PutWord(b, record + 24, 5000); },
       kStoreRecordDamaged},
      {"record key changed", [](Bytes& b, uint32_t, uint32_t record) { b[Word(b, record + 20) + record] ^= 1; },
       kStoreTreeShape},
      {"record block tag", [](Bytes& b, uint32_t, uint32_t record) { PutWord(b, record - 4, 0xF0000040); },
       kStoreBlockDamaged},
  };
  for (const Case& c : cases) {
    Bytes damaged = good_;
    c.damage(damaged, Root(1), FirstRecord());
    WriteBytes(path_, damaged);
    EXPECT_EQ(Store_Verify(path_, kStoreRead, nullptr), c.verify) << c.what;
    EXPECT_EQ(Exercise(path_), c.verify) << c.what;
    // Finding every id ends, found or with a status.
    for (uint32_t id = 0; id < 80; ++id) FindStatus(damaged, id);
  }
}

TEST_F(StoreDamage, TruncatedFilesNeverVerify) {
  for (size_t cut : {good_.size() - 1, good_.size() / 2, size_t{600}, size_t{512}, size_t{100}}) {
    Bytes damaged(good_.begin(), good_.begin() + static_cast<std::ptrdiff_t>(cut));
    WriteBytes(path_, damaged);
    EXPECT_NE(Exercise(path_), kStoreOk) << cut;
  }
}

// A file cut short, or grown by bytes that are no whole blocks, opens for
// writing but refuses every change, so that new blocks never land on a torn
// one; it still reads every record it holds whole. Blocks appended whole (as
// an older version does between commits) are accepted.
TEST(StoreTail, DamagedTailRefusesWritesAndKeepsItsRecords) {
  const std::string path = ScratchPath("tail.pdb");
  const uint32_t kRecords = 2000;
  Bytes good;
  {
    StoreFile* file = nullptr;
    const StoreFileDef def = TrackLikeDef();
    ASSERT_EQ(Store_Create(&file, path, kStoreReadWrite | kStoreNoSync, &def, BigEndianType()), kStoreOk);
    for (uint32_t id = 0; id < kRecords - 1; ++id) {
      ASSERT_EQ(InsertTrack(file, "t" + std::to_string(id), id, std::string(60, 'r')), kStoreOk);
    }
    ASSERT_EQ(Store_Flush(file), kStoreOk);
    // The last block of the file is this record's.
    ASSERT_EQ(InsertTrack(file, "last", kRecords - 1, std::string(60, 'r')), kStoreOk);
    ASSERT_EQ(Store_Close(file), kStoreOk);
    good = ReadBytes(path);
  }
  const auto free_block = [] {
    Bytes block(12, 0);
    PutWord(block, 0, NativeByteOrder() == kStoreBigEndian ? 0xF0000008u : Swap32(0xF0000008u));
    return block;
  }();
  struct Case {
    const char* what;
    size_t keep;             // bytes of the good file kept
    Bytes appended;          // then these
    bool older_version;      // the header's commit stamp cleared
    StoreStatus writes;
    uint32_t readable;
  };
  const Case cases[] = {
      {"last byte missing", good.size() - 1, {}, false, kStoreTailDamaged, kRecords - 1},
      {"last word missing", good.size() - 4, {}, false, kStoreTailDamaged, kRecords - 1},
      {"last word missing, no stamp", good.size() - 4, {}, true, kStoreTailDamaged, kRecords - 1},
      {"garbage appended", good.size(), Bytes(8, 0x5A), false, kStoreTailDamaged, kRecords},
      {"free block appended", good.size(), free_block, false, kStoreOk, kRecords},
      {"sound file, no stamp", good.size(), {}, true, kStoreOk, kRecords},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes damaged(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(c.keep));
    damaged.insert(damaged.end(), c.appended.begin(), c.appended.end());
    if (c.older_version) std::fill(damaged.begin() + 480, damaged.begin() + 512, 0);
    WriteBytes(path, damaged);
    StoreFile* file = nullptr;
    ASSERT_EQ(Store_Open(&file, path, kStoreReadWrite, BigEndianType()), kStoreOk);
    EXPECT_EQ(InsertTrack(file, "new", 99999, "n"), c.writes);
    const uint32_t counter[3] = {0, 1, 2};
    EXPECT_EQ(Store_WriteUserBlock(file, counter, sizeof counter), c.writes);
    uint32_t found = 0;
    for (uint32_t id = 0; id < kRecords; ++id) found += FindData(file, 1, &id, 4) == std::string(60, 'r');
    EXPECT_EQ(found, c.readable);
    EXPECT_EQ(Store_Close(file), kStoreOk);
    if (c.writes != kStoreOk) {
      EXPECT_EQ(ReadBytes(path), damaged);  // nothing spread
      ASSERT_EQ(Store_Open(&file, path, kStoreRead, BigEndianType()), kStoreOk);
      EXPECT_EQ(FindByName(file, "t1234"), std::string(60, 'r'));
      EXPECT_EQ(Store_Close(file), kStoreOk);
    } else {
      EXPECT_EQ(Store_Verify(path, kStoreRead, BigEndianType()), kStoreOk);
    }
  }
}

TEST_F(StoreDamage, RandomBytesEndInAStatus) {
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    Bytes damaged = good_;
    const int flips = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < flips; ++i) damaged[512 + rng() % (damaged.size() - 512)] = static_cast<uint8_t>(rng());
    WriteBytes(path_, damaged);
    Exercise(path_);
  }
}

// Damaged files kept as fixtures, named after their fault; inputs the fuzzer
// finds breaking the store join them. Each must end in a status (the one named
// here, when there is one) without crashing.
TEST(StoreDamageFixtures, Replay) {
  const std::map<std::string, StoreStatus> expected = {
      {"cyclic_node_offset.pdb", kStoreTreeShape},
      {"lying_record_length.pdb", kStoreRecordDamaged},
      {"node_offset_beyond_end.pdb", kStoreNodeBeyondEnd},
      {"node_capacity_beyond_end.pdb", kStoreNodeBeyondEnd},  // its tag claimed most of the 32-bit range
      {"older_version_colliding_names.pdb", kStoreOk},
  };
  const std::filesystem::path dir = std::filesystem::path(TAVO_SOURCE_DIR) / "tests/storage/data";
  ASSERT_TRUE(std::filesystem::is_directory(dir));
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".pdb") continue;
    const std::string name = entry.path().filename().string();
    const std::string copy = ScratchPath(name);
    std::filesystem::copy_file(entry.path(), copy, std::filesystem::copy_options::overwrite_existing);
    const StoreStatus verified = Exercise(copy);
    if (auto it = expected.find(name); it != expected.end()) {
      EXPECT_EQ(verified, it->second) << name;
    }
    ++replayed;
  }
  EXPECT_GE(replayed, 6);
}

}  // namespace
}  // namespace tavo::testing
