// The scan in file order: it hands out exactly the records the trees find,
// with this handle's unflushed changes, and on a damaged file it ends in a
// status, stepping over records whose image does not check out.
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <vector>

#include "store_test_util.h"

namespace tavo::testing {
namespace {

struct Scanned {
  std::map<uint32_t, std::string> data_by_id;
  std::vector<StoreStatus> damage;  // statuses other than the end, in order
  StoreStatus end = kStoreOk;
};

// Scans the whole file, in at most `max_steps` steps (a bound no sound
// scan reaches), checking that positions only grow and, unless the file was
// damaged at random, that no identifier comes twice.
Scanned ScanAll(StoreFile* file, int max_steps = 100000, bool ids_unique = true) {
  Scanned out;
  StoreScanPosition position;
  for (int step = 0; step < max_steps; ++step) {
    const uint64_t before = position.next;
    StoreRecord* record = nullptr;
    const StoreStatus s = Store_ScanNext(file, &position, &record);
    if (s == kStoreOk) {
      EXPECT_GT(position.next, before);
      uint32_t id = 0;
      if (record->key_length(1) == 4) std::memcpy(&id, record->key_value(1), 4);
      const bool added =
          out.data_by_id.emplace(id, std::string(reinterpret_cast<const char*>(record->data()), record->data_length()))
              .second;
      EXPECT_TRUE(added || !ids_unique) << "record " << id << " seen twice";
      Store_FreeRecord(file, record);
      continue;
    }
    EXPECT_EQ(record, nullptr);
    if (s == kStoreNotFound) {
      out.end = s;
      return out;
    }
    out.damage.push_back(s);
  }
  ADD_FAILURE() << "the scan did not end";
  return out;
}

// What the trees hold: every record by its integer key.
std::map<uint32_t, std::string> FoundByKey(StoreFile* file) {
  std::map<uint32_t, std::string> found;
  EXPECT_EQ(ForEachRecord(file, 1,
                          [&](const StoreRecord& r) {
                            uint32_t id = 0;
                            std::memcpy(&id, r.key_value(1), 4);
                            found[id].assign(reinterpret_cast<const char*>(r.data()), r.data_length());
                          }),
            kStoreNotFound);
  return found;
}

class StoreScan : public ::testing::Test {
 protected:
  // Small nodes of the other byte order than most machines': many node
  // blocks between the records, and every image converted.
  void SetUp() override {
    path_ = ScratchPath("scan.pdb");
    StoreFileDef def = TrackLikeDef();
    def.node_size = 40;
    ASSERT_EQ(Store_Create(&file_, path_, kStoreReadWrite | kStoreNoSync, &def, BigEndianType()), kStoreOk);
  }
  void TearDown() override {
    if (file_ != nullptr) {
      EXPECT_EQ(Store_Close(file_), kStoreOk);
    }
  }

  std::string path_;
  StoreFile* file_ = nullptr;
};

TEST_F(StoreScan, SeesWhatFindSeesWithUnflushedChanges) {
  EXPECT_EQ(ScanAll(file_).data_by_id.size(), 0u);
  std::mt19937 rng(11);
  std::map<uint32_t, std::string> model;
  for (uint32_t round = 0; round < 6; ++round) {
    // Inserts of varied sizes, removes that free blocks for reuse, and
    // rewrites; some rounds flushed, the last ones not.
    for (uint32_t i = 0; i < 150; ++i) {
      const uint32_t id = round * 1000 + i;
      const std::string data(1 + rng() % 300, static_cast<char>('a' + round));
      ASSERT_EQ(InsertTrack(file_, "dir/track " + std::to_string(id) + ".mp3", id, data), kStoreOk);
      model[id] = data;
    }
    for (int n = 0; n < 60; ++n) {
      auto victim = std::next(model.begin(), static_cast<std::ptrdiff_t>(rng() % model.size()));
      StoreRecord* r = nullptr;
      ASSERT_EQ(Store_Find(file_, &r, 1, &victim->first, 4), kStoreOk);
      if (n % 3 == 0) {
        std::string data(r->data_length(), 'R');
        ASSERT_EQ(Store_Rewrite(file_, r, data.data(), r->data_length()), kStoreOk);
        victim->second = data;
      } else {
        ASSERT_EQ(Store_Remove(file_, r), kStoreOk);
        model.erase(victim);
      }
      Store_FreeRecord(file_, r);
    }
    if (round < 3) {
      ASSERT_EQ(Store_Flush(file_), kStoreOk);
    }
    const Scanned scanned = ScanAll(file_);
    EXPECT_TRUE(scanned.damage.empty());
    ASSERT_EQ(scanned.data_by_id, model) << "round " << round;
    ASSERT_EQ(FoundByKey(file_), model);
  }
  // A scan wrote the changed nodes into the transaction early: the commit
  // that follows is whole.
  ASSERT_EQ(Store_Close(file_), kStoreOk);
  file_ = nullptr;
  EXPECT_EQ(Store_Verify(path_, kStoreRead, BigEndianType()), kStoreOk);
  ASSERT_EQ(Store_Open(&file_, path_, kStoreRead, BigEndianType()), kStoreOk);
  EXPECT_EQ(ScanAll(file_).data_by_id, model);
}

TEST_F(StoreScan, ChangesBetweenStepsAreSeenByPosition) {
  for (uint32_t id = 0; id < 100; ++id) ASSERT_EQ(InsertTrack(file_, "t" + std::to_string(id), id, "old"), kStoreOk);
  StoreScanPosition position;
  StoreRecord* first = nullptr;
  ASSERT_EQ(Store_ScanNext(file_, &position, &first), kStoreOk);
  uint32_t first_id = 0;
  std::memcpy(&first_id, first->key_value(1), 4);
  // Removing a record ahead (its block goes to a free list, retagged in the
  // read-ahead window's range) hides it; a record appended after is seen.
  const uint32_t ahead = first_id == 50 ? 51 : 50;
  StoreRecord* r = nullptr;
  ASSERT_EQ(Store_Find(file_, &r, 1, &ahead, 4), kStoreOk);
  ASSERT_EQ(Store_Remove(file_, r), kStoreOk);
  Store_FreeRecord(file_, r);
  ASSERT_EQ(InsertTrack(file_, "appended", 1000, std::string(2000, 'n')), kStoreOk);
  std::map<uint32_t, int> seen{{first_id, 1}};
  Store_FreeRecord(file_, first);
  for (StoreRecord* next = nullptr; Store_ScanNext(file_, &position, &next) == kStoreOk; Store_FreeRecord(file_, next)) {
    uint32_t id = 0;
    std::memcpy(&id, next->key_value(1), 4);
    ++seen[id];
  }
  EXPECT_EQ(seen.count(ahead), 0u);
  EXPECT_EQ(seen[1000], 1);
  EXPECT_EQ(seen.size(), 100u);
  // The end is sticky.
  StoreRecord* none = nullptr;
  EXPECT_EQ(Store_ScanNext(file_, &position, &none), kStoreNotFound);
  EXPECT_EQ(none, nullptr);
}

TEST_F(StoreScan, RefusesBadArguments) {
  StoreScanPosition position;
  StoreRecord* r = nullptr;
  EXPECT_EQ(Store_ScanNext(nullptr, &position, &r), kStoreInvalidArgument);
  EXPECT_EQ(Store_ScanNext(file_, nullptr, &r), kStoreInvalidArgument);
  EXPECT_EQ(Store_ScanNext(file_, &position, nullptr), kStoreInvalidArgument);
  position.next = 513;
  EXPECT_EQ(Store_ScanNext(file_, &position, &r), kStoreInvalidArgument);
}

TEST_F(StoreScan, DamagedFilesEndInAStatus) {
  constexpr uint32_t kRecords = 200;
  for (uint32_t id = 0; id < kRecords; ++id) {
    ASSERT_EQ(InsertTrack(file_, "t" + std::to_string(id), id, std::string(40, 'd')), kStoreOk);
  }
  ASSERT_EQ(Store_Close(file_), kStoreOk);
  file_ = nullptr;
  const Bytes good = ReadBytes(path_);
  // Record blocks by position, from a scan of the sound file.
  std::vector<uint32_t> records;
  {
    StoreFile* file = nullptr;
    ASSERT_EQ(Store_Open(&file, path_, kStoreRead, BigEndianType()), kStoreOk);
    StoreScanPosition position;
    for (StoreRecord* r = nullptr; Store_ScanNext(file, &position, &r) == kStoreOk; Store_FreeRecord(file, r)) {
      records.push_back(r->offset());
    }
    Store_Close(file);
  }
  ASSERT_EQ(records.size(), kRecords);
  const uint32_t middle = records[kRecords / 2];
  const auto put_big_endian = [](Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
  };
  struct Case {
    const char* what;
    Bytes bytes;
    size_t found;
    std::vector<StoreStatus> damage;
  };
  // Cut inside the last record block.
  Bytes lying_length = good, torn_frame = good, truncated(good.begin(), good.begin() + records.back() + 20);
  put_big_endian(lying_length, middle + 8, 0x7FFFFFF0);  // data length past the block
  put_big_endian(torn_frame, middle - 4, 0x70000044);    // no block kind
  const Case cases[] = {
      {"record image lies", lying_length, kRecords - 1, {kStoreRecordDamaged}},
      {"block frame torn", torn_frame, kRecords / 2, {kStoreBlockDamaged}},
      {"last block cut short", truncated, kRecords - 1, {kStoreBlockDamaged}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(path_, c.bytes);
    for (const uint32_t mode : {kStoreRead, kStoreReadWrite}) {
      StoreFile* file = nullptr;
      ASSERT_EQ(Store_Open(&file, path_, mode, BigEndianType()), kStoreOk);
      const Scanned scanned = ScanAll(file);
      EXPECT_EQ(scanned.data_by_id.size(), c.found);
      EXPECT_EQ(scanned.damage, c.damage);
      EXPECT_EQ(scanned.end, kStoreNotFound);
      Store_Close(file);
    }
  }
  // Random damage: a status, never a crash or an endless scan.
  std::mt19937 rng(5);
  for (int round = 0; round < 200; ++round) {
    Bytes damaged = good;
    for (int i = 0; i < 4; ++i) damaged[512 + rng() % (damaged.size() - 512)] = static_cast<uint8_t>(rng());
    WriteBytes(path_, damaged);
    StoreFile* file = nullptr;
    if (Store_Open(&file, path_, kStoreRead, BigEndianType()) != kStoreOk) continue;
    ScanAll(file, 1000, false);
    Store_Close(file);
  }
}

}  // namespace
}  // namespace tavo::testing
