// Inserting, finding, rewriting and removing records; the user block; what
// a failure halfway through an insert leaves behind.
#include <cstring>
#include <filesystem>
#include <numeric>
#include <random>
#include <set>

#include "storage/store/pager.h"
#include "support/env/fault_env.h"
#include "store_test_util.h"

namespace tavo::testing {
namespace {

class StoreRecords : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = ScratchPath("tracks.pdb");
    const StoreFileDef def = TrackLikeDef();
    ASSERT_EQ(Store_Create(&file_, path_, kStoreReadWrite, &def, BigEndianType()), kStoreOk);
  }
  void TearDown() override {
    if (file_ != nullptr) {
      EXPECT_EQ(Store_Close(file_), kStoreOk);
    }
  }
  void Reopen(uint32_t mode = kStoreReadWrite, Env* env = nullptr) {
    ASSERT_EQ(Store_Close(file_), kStoreOk);
    file_ = nullptr;
    ASSERT_EQ(Store_Open(&file_, path_, mode, BigEndianType(), env), kStoreOk);
  }

  std::string path_;
  StoreFile* file_ = nullptr;
};

TEST_F(StoreRecords, FoundByEitherKeyAfterCloseAndOpen) {
  ASSERT_EQ(InsertTrack(file_, "one.mp3", 1, "first"), kStoreOk);
  ASSERT_EQ(InsertTrack(file_, "Two.mp3", 2, "second"), kStoreOk);
  Reopen();
  EXPECT_EQ(FindByName(file_, "one.mp3"), "first");
  EXPECT_EQ(FindByName(file_, "TWO.MP3"), "second");  // same code, value compared case-folded
  const uint32_t id = 2;
  EXPECT_EQ(FindData(file_, 1, &id, 4), "second");
  StoreStatus s;
  FindByName(file_, "three.mp3", &s);
  EXPECT_EQ(s, kStoreNotFound);
  FindData(file_, 2, &id, 4, &s);  // key 2 has no tree yet
  EXPECT_EQ(s, kStoreNotFound);
  FindData(file_, 4, &id, 4, &s);
  EXPECT_EQ(s, kStoreInvalidArgument);
}

TEST_F(StoreRecords, InsertTwiceRemoveUnstoredAndKeyless) {
  StoreRecord* record = nullptr;
  ASSERT_EQ(InsertTrack(file_, "a.mp3", 1, "data", &record), kStoreOk);
  ASSERT_EQ(Store_Flush(file_), kStoreOk);
  const uint64_t size = FileSize(path_);
  EXPECT_EQ(Store_Insert(file_, record), kStoreAlreadyStored);
  EXPECT_EQ(Store_SetKey(file_, record, 2, "x", 1), kStoreAlreadyStored);
  ASSERT_EQ(Store_Flush(file_), kStoreOk);
  EXPECT_EQ(FileSize(path_), size);

  StoreRecord* loose = nullptr;
  ASSERT_EQ(Store_NewRecord(file_, &loose, "x", 1, 8), kStoreOk);
  EXPECT_EQ(Store_Remove(file_, loose), kStoreNotFound);
  // A record without key values is stored but reachable by no key.
  ASSERT_EQ(Store_Insert(file_, loose), kStoreOk);
  EXPECT_NE(loose->offset(), 0u);
  EXPECT_EQ(Store_Remove(file_, loose), kStoreOk);
  EXPECT_EQ(Store_Remove(file_, record), kStoreOk);
  EXPECT_EQ(record->offset(), 0u);
  EXPECT_EQ(FindByName(file_, "a.mp3"), "<" + std::to_string(kStoreNotFound) + ">");
  Store_FreeRecord(file_, loose);
  Store_FreeRecord(file_, record);
  Reopen(kStoreRead);
  EXPECT_EQ(Store_Verify(path_, kStoreRead, BigEndianType()), kStoreOk);
}

TEST_F(StoreRecords, RewriteInPlaceKeepsLength) {
  StoreRecord* record = nullptr;
  ASSERT_EQ(InsertTrack(file_, "r.mp3", 9, "aaaa", &record), kStoreOk);
  EXPECT_EQ(Store_Rewrite(file_, record, "bbbb", 4), kStoreOk);
  EXPECT_EQ(Store_Rewrite(file_, record, "ccccc", 5), kStoreInvalidArgument);
  Reopen();
  EXPECT_EQ(FindByName(file_, "r.mp3"), "bbbb");
  Store_FreeRecord(file_, record);
}

TEST_F(StoreRecords, ReadOnlyHandleRefusesChanges) {
  Reopen(kStoreRead);
  EXPECT_EQ(InsertTrack(file_, "x", 1, "y"), kStoreAccessDenied);
  EXPECT_EQ(Store_WriteUserBlock(file_, "x", 1), kStoreAccessDenied);
}

// Many records under one integer value sit in a duplicate tree; iteration by
// value and over the whole key sees each exactly once, in position order.
TEST_F(StoreRecords, EqualValuesAndIteration) {
  std::vector<StoreRecord*> records;
  for (uint32_t i = 0; i < 500; ++i) {
    StoreRecord* r = nullptr;
    const uint32_t rating = i % 3;
    const std::string name = "t" + std::to_string(i);
    ASSERT_EQ(Store_NewRecord(file_, &r, name.data(), static_cast<uint32_t>(name.size()), 16), kStoreOk);
    ASSERT_EQ(Store_SetKey(file_, r, 0, name.c_str(), static_cast<uint32_t>(name.size() + 1)), kStoreOk);
    ASSERT_EQ(Store_SetKey(file_, r, 2, &rating, 4), kStoreOk);
    ASSERT_EQ(Store_Insert(file_, r), kStoreOk);
    records.push_back(r);
  }
  // Remove every other record of rating 1, down to a single one of rating 2.
  for (uint32_t i = 0; i < 500; ++i) {
    if ((i % 3 == 1 && i % 2 == 0) || (i % 3 == 2 && i != 2)) {
      ASSERT_EQ(Store_Remove(file_, records[i]), kStoreOk);
    }
  }
  Reopen();
  auto collect = [&](const uint32_t* value) {
    std::multiset<std::string> seen;
    StoreIteration* it = nullptr;
    StoreRecord* r = nullptr;
    StoreStatus s = Store_FindFirst(file_, &it, &r, 2, value, value ? 4 : 0);
    uint32_t last = 0;
    while (s == kStoreOk) {
      EXPECT_GT(r->offset(), value ? last : 0u);
      if (value) {
        last = r->offset();
      }
      seen.emplace(reinterpret_cast<const char*>(r->data()), r->data_length());
      Store_FreeRecord(file_, r);
      s = Store_FindNext(file_, it, &r);
    }
    EXPECT_EQ(s, kStoreNotFound);
    if (it != nullptr) {
      EXPECT_EQ(Store_EndFind(file_, it), kStoreOk);
    }
    return seen;
  };
  const uint32_t zero = 0, one = 1, two = 2, nine = 9;
  EXPECT_EQ(collect(&zero).size(), 167u);
  EXPECT_EQ(collect(&one).size(), 84u);
  EXPECT_EQ(collect(&two), std::multiset<std::string>{"t2"});
  EXPECT_EQ(collect(&nine).size(), 0u);
  EXPECT_EQ(collect(nullptr).size(), 167u + 84u + 1u);
  EXPECT_EQ(Store_EndFind(file_, nullptr), kStoreNoIteration);
  for (StoreRecord* r : records) Store_FreeRecord(file_, r);
  EXPECT_EQ(Store_Verify(path_, kStoreRead, BigEndianType()), kStoreOk);
}

TEST_F(StoreRecords, IterationSurvivesRemovalOfWhatItVisits) {
  for (uint32_t i = 0; i < 300; ++i) {
    ASSERT_EQ(InsertTrack(file_, "n" + std::to_string(i), i, "d"), kStoreOk);
  }
  StoreIteration* it = nullptr;
  StoreRecord* r = nullptr;
  uint32_t visited = 0;
  StoreStatus s = Store_FindFirst(file_, &it, &r, 1, nullptr, 0);
  while (s == kStoreOk) {
    ++visited;
    EXPECT_EQ(Store_Remove(file_, r), kStoreOk);
    Store_FreeRecord(file_, r);
    s = Store_FindNext(file_, it, &r);
  }
  EXPECT_EQ(s, kStoreNotFound);
  EXPECT_EQ(visited, 300u);
  Store_EndFind(file_, it);
  EXPECT_EQ(Store_FindFirst(file_, &it, &r, 0, nullptr, 0), kStoreNotFound);
  EXPECT_EQ(it, nullptr);
}

TEST_F(StoreRecords, UserBlock) {
  uint8_t* block = nullptr;
  uint32_t length = 0;
  EXPECT_EQ(Store_ReadUserBlock(file_, &block, &length), kStoreNotFound);
  const uint32_t counter[3] = {0, 41, 2897638};
  ASSERT_EQ(Store_WriteUserBlock(file_, counter, sizeof counter), kStoreOk);
  EXPECT_EQ(Store_WriteUserBlock(file_, counter, 257), kStoreInvalidArgument);
  Reopen();
  ASSERT_EQ(Store_ReadUserBlock(file_, &block, &length), kStoreOk);
  ASSERT_EQ(length, 256u);
  EXPECT_EQ(std::memcmp(block, counter, sizeof counter), 0);
  EXPECT_EQ(block[200], 0);
  Store_FreeUserBlock(file_, block);
}

// Nodes of every entry capacity split so that every key is found again: an
// inner split of an odd capacity once lost codes that fell left of the key
// moving up.
TEST(StoreNodeSizes, EveryCapacitySplitsSoundly) {
  for (uint32_t node_size : {40u, 48u, 56u, 64u, 256u}) {
    SCOPED_TRACE(node_size);
    const std::string path = ScratchPath("sizes.pdb");
    StoreFileDef def = TrackLikeDef();
    def.node_size = node_size;
    StoreFile* file = nullptr;
    ASSERT_EQ(Store_Create(&file, path, kStoreReadWrite | kStoreNoSync, &def, BigEndianType()), kStoreOk);
    std::vector<uint32_t> ids(1500);
    std::iota(ids.begin(), ids.end(), 0);
    std::shuffle(ids.begin(), ids.end(), std::mt19937(node_size));
    for (uint32_t id : ids) ASSERT_EQ(InsertTrack(file, "n" + std::to_string(id), id, "d"), kStoreOk);
    for (uint32_t id : ids) ASSERT_EQ(FindData(file, 1, &id, 4), "d") << id;
    ASSERT_EQ(Store_Close(file), kStoreOk);
    EXPECT_EQ(Store_Verify(path, kStoreRead, BigEndianType()), kStoreOk);
  }
}

TEST_F(StoreRecords, ChurnReusesFreedBlocks) {
  std::string data(800, 'x');
  for (uint32_t i = 0; i < 1000; ++i) {
    ASSERT_EQ(InsertTrack(file_, "c" + std::to_string(i), i, data), kStoreOk);
  }
  Reopen();  // the size of a closed file: everything written back
  const uint64_t settled = FileSize(path_);
  for (uint32_t round = 0; round < 5; ++round) {
    for (uint32_t i = 0; i < 1000; ++i) {
      StoreRecord* r = nullptr;
      ASSERT_EQ(Store_Find(file_, &r, 1, &i, 4), kStoreOk);
      ASSERT_EQ(Store_Remove(file_, r), kStoreOk);
      Store_FreeRecord(file_, r);
      data.assign(780 + (i * 7 + round) % 40, 'a' + round);
      ASSERT_EQ(InsertTrack(file_, "c" + std::to_string(i), i, data), kStoreOk);
      if (i % 100 == 99) {
        ASSERT_EQ(Store_Flush(file_), kStoreOk);
      }
    }
  }
  Reopen();
  // A freed block is reused at once, even within its transaction.
  EXPECT_LT(FileSize(path_), settled * 21 / 20) << settled;
  EXPECT_EQ(Store_Verify(path_, kStoreRead, BigEndianType()), kStoreOk);
}

// A block allocated at the end of the file and freed before any flush (a
// position tree made and folded again) leaves only its free-list link
// written; the file must still reach the end of it.
TEST_F(StoreRecords, BlockFreedBeforeItsFirstFlushStillEndsTheFile) {
  const uint32_t rating = 5;
  StoreRecord* records[2] = {};
  for (uint32_t i = 0; i < 2; ++i) {
    const std::string name = "r" + std::to_string(i);
    ASSERT_EQ(Store_NewRecord(file_, &records[i], "d", 1, 16), kStoreOk);
    ASSERT_EQ(Store_SetKey(file_, records[i], 0, name.c_str(), static_cast<uint32_t>(name.size() + 1)), kStoreOk);
    ASSERT_EQ(Store_SetKey(file_, records[i], 2, &rating, 4), kStoreOk);
    ASSERT_EQ(Store_Insert(file_, records[i]), kStoreOk);  // the second makes a position tree at the end
  }
  ASSERT_EQ(Store_Remove(file_, records[1]), kStoreOk);  // and folds it again
  for (StoreRecord* r : records) Store_FreeRecord(file_, r);
  Reopen();
  EXPECT_EQ(Store_Verify(path_, kStoreRead, BigEndianType()), kStoreOk);
  EXPECT_EQ(FindData(file_, 2, &rating, 4), "d");
}

TEST_F(StoreRecords, FlushOnInsertIsVisibleToAnotherHandle) {
  Reopen(kStoreReadWrite | kStoreFlushOnInsert);
  ASSERT_EQ(InsertTrack(file_, "now.mp3", 5, "flushed"), kStoreOk);
  StoreFile* reader = nullptr;
  ASSERT_EQ(Store_Open(&reader, path_, kStoreRead, BigEndianType()), kStoreOk);
  EXPECT_EQ(FindByName(reader, "now.mp3"), "flushed");
  Store_Close(reader);
}

// A read failing at any point of a four-key insert leaves no key entered and
// no block allocated; the insert succeeds once reads work again.
TEST_F(StoreRecords, FailedInsertLeavesNothingBehind) {
  for (uint32_t i = 0; i < 400; ++i) {
    StoreRecord* r = nullptr;
    const std::string name = "k" + std::to_string(i);
    const uint32_t a = i, b = i * 7;
    ASSERT_EQ(Store_NewRecord(file_, &r, "d", 1, 64), kStoreOk);
    ASSERT_EQ(Store_SetKey(file_, r, 0, name.c_str(), static_cast<uint32_t>(name.size() + 1)), kStoreOk);
    ASSERT_EQ(Store_SetKey(file_, r, 1, &a, 4), kStoreOk);
    ASSERT_EQ(Store_SetKey(file_, r, 2, &b, 4), kStoreOk);
    ASSERT_EQ(Store_SetKey(file_, r, 3, name.c_str(), static_cast<uint32_t>(name.size() + 1)), kStoreOk);
    ASSERT_EQ(Store_Insert(file_, r), kStoreOk);
    Store_FreeRecord(file_, r);
  }
  const uint64_t size_before = (Reopen(), FileSize(path_));
  FaultEnv faults(Env::Default());
  uint32_t failures = 0;
  for (uint64_t allowed = 0;; ++allowed) {
    Reopen(kStoreReadWrite, &faults);
    StoreRecord* r = nullptr;
    const uint32_t a = 1000, b = 7000;
    ASSERT_EQ(Store_NewRecord(file_, &r, "new", 3, 64), kStoreOk);
    ASSERT_EQ(Store_SetKey(file_, r, 0, "fresh", 6), kStoreOk);
    ASSERT_EQ(Store_SetKey(file_, r, 1, &a, 4), kStoreOk);
    ASSERT_EQ(Store_SetKey(file_, r, 2, &b, 4), kStoreOk);
    ASSERT_EQ(Store_SetKey(file_, r, 3, "fresh", 6), kStoreOk);
    faults.FailReadsAfter(allowed);
    const StoreStatus s = Store_Insert(file_, r);
    faults.Heal();
    Store_FreeRecord(file_, r);
    if (s == kStoreOk) break;
    ++failures;
    EXPECT_EQ(s, kStoreFileSystem);
    Reopen();
    EXPECT_EQ(FindByName(file_, "fresh"), "<" + std::to_string(kStoreNotFound) + ">");
    for (uint32_t key : {1u, 2u}) {
      StoreStatus found;
      FindData(file_, key, key == 1 ? &a : &b, 4, &found);
      EXPECT_EQ(found, kStoreNotFound) << "key " << key << " after " << allowed << " reads";
    }
    // The record's block is given back; only nodes split on the way may stay.
    EXPECT_EQ((FileSize(path_) - size_before) % (4 + 256), 0u);
    EXPECT_EQ(Store_Verify(path_, kStoreRead, BigEndianType()), kStoreOk);
  }
  EXPECT_GE(failures, 4u);  // a failure inside each of the four trees
  Reopen();
  EXPECT_EQ(FindByName(file_, "fresh"), "new");
}

// A full disk fails a commit or a write-back, never a change, and loses
// nothing: until the log holds the transaction it stays pending and a later
// flush commits it; once the log holds it, a failure writing it back into the
// file is finished by the next open, from the log.
TEST_F(StoreRecords, FullDiskFailsTheCommitAndLosesNothing) {
  FaultEnv faults(Env::Default());
  Reopen(kStoreReadWrite, &faults);
  faults.FailWritesAfter(0);
  ASSERT_EQ(InsertTrack(file_, "full.mp3", 1, "x"), kStoreOk);
  EXPECT_EQ(Store_Flush(file_), kStoreNoSpace);
  faults.Heal();
  for (uint32_t i = 0; i < 200; ++i) {
    ASSERT_EQ(InsertTrack(file_, "f" + std::to_string(i), i + 10, "y"), kStoreOk);
  }
  faults.FailWritesAfter(3000);  // the log's write stops partway
  EXPECT_EQ(Store_Flush(file_), kStoreNoSpace);
  faults.Heal();
  EXPECT_EQ(Store_Flush(file_), kStoreOk);
  Reopen(kStoreReadWrite, &faults);
  EXPECT_EQ(FindByName(file_, "full.mp3"), "x");
  EXPECT_EQ(FindByName(file_, "f199"), "y");

  // Committed, then written back into a full disk: at a checkpoint inside a
  // flush (the handle turns unusable) or at close. The log keeps it either way.
  for (const bool at_checkpoint : {true, false}) {
    ASSERT_EQ(InsertTrack(file_, at_checkpoint ? "late.mp3" : "later.mp3", 7, "z"), kStoreOk);
    Pager::SetCheckpointBytesForTesting(at_checkpoint ? 1 : Pager::kDefaultCheckpointBytes);
    faults.FailWritesAfter(0, ".pdb");  // the file, not its log
    if (at_checkpoint) {
      EXPECT_EQ(Store_Flush(file_), kStoreNoSpace);
      StoreStatus s;
      FindByName(file_, "late.mp3", &s);
      EXPECT_EQ(s, kStoreUnusable);
      EXPECT_EQ(Store_Close(file_), kStoreUnusable);
    } else {
      EXPECT_EQ(Store_Flush(file_), kStoreOk);
      EXPECT_EQ(Store_Close(file_), kStoreNoSpace);
    }
    Pager::SetCheckpointBytesForTesting(Pager::kDefaultCheckpointBytes);
    faults.Heal();
    file_ = nullptr;
    EXPECT_EQ(Store_Verify(path_, kStoreRead, BigEndianType()), kStoreOk);  // read through the log
    ASSERT_EQ(Store_Open(&file_, path_, kStoreReadWrite, BigEndianType(), &faults), kStoreOk);
    EXPECT_EQ(FindByName(file_, "late.mp3"), "z");
    EXPECT_FALSE(std::filesystem::exists(path_ + "-log"));
  }
  EXPECT_EQ(FindByName(file_, "later.mp3"), "z");
  EXPECT_EQ(Store_Verify(path_, kStoreRead, BigEndianType()), kStoreOk);
}

}  // namespace
}  // namespace tavo::testing
