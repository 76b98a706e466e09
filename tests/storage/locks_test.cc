// Threads on one handle: the handle lock serializes them; reader/writer mode
// accepts changes only from the writer; the recursive lock's rules.
#include <thread>
#include <vector>

#include "storage/store/locks.h"
#include "store_test_util.h"

namespace tavo::testing {
namespace {

TEST(StoreLocks, ThreadsShareOneHandle) {
  for (uint32_t mode : {kStoreReadWrite, kStoreReadWrite | kStoreOperationLock}) {
    const std::string path = ScratchPath("threads.pdb");
    StoreFile* file = nullptr;
    const StoreFileDef def = TrackLikeDef();
    ASSERT_EQ(Store_Create(&file, path, mode, &def, BigEndianType()), kStoreOk);
    std::vector<std::thread> threads;
    for (uint32_t t = 0; t < 4; ++t) {
      threads.emplace_back([&, t] {
        for (uint32_t i = 0; i < 250; ++i) {
          const uint32_t id = t * 1000 + i;
          EXPECT_EQ(InsertTrack(file, "th" + std::to_string(id), id, "x"), kStoreOk);
          EXPECT_EQ(FindByName(file, "th" + std::to_string(id)), "x");
        }
      });
    }
    for (auto& th : threads) th.join();
    ASSERT_EQ(Store_Close(file), kStoreOk);
    EXPECT_EQ(Store_Verify(path, kStoreRead, BigEndianType()), kStoreOk);
  }
}

TEST(StoreLocks, ReaderWriterModeAcceptsChangesOnlyFromTheWriter) {
  const std::string path = ScratchPath("rw.pdb");
  StoreFile* file = nullptr;
  const StoreFileDef def = TrackLikeDef();
  ASSERT_EQ(Store_Create(&file, path, kStoreReadWrite | kStoreReaderWriterLock, &def, BigEndianType()), kStoreOk);
  EXPECT_EQ(InsertTrack(file, "a", 1, "x"), kStoreNotWriter);
  ASSERT_EQ(Store_LockWriter(file), kStoreOk);
  EXPECT_EQ(InsertTrack(file, "a", 1, "x"), kStoreOk);
  std::thread other([&] {
    EXPECT_EQ(InsertTrack(file, "b", 2, "y"), kStoreNotWriter);
    EXPECT_EQ(Store_UnlockWriter(file), kStoreInvalidArgument);
  });
  other.join();
  EXPECT_EQ(Store_Close(file), kStoreWriterRegistered);
  ASSERT_EQ(Store_UnlockWriter(file), kStoreOk);
  ASSERT_EQ(Store_LockReader(file), kStoreOk);
  EXPECT_EQ(FindByName(file, "a"), "x");
  EXPECT_EQ(Store_Close(file), kStoreReadersRegistered);
  ASSERT_EQ(Store_UnlockReader(file), kStoreOk);
  EXPECT_EQ(Store_Close(file), kStoreOk);
}

TEST(StoreLocks, RecursiveLockBelongsToItsThread) {
  RecursiveLock lock;
  lock.Lock();
  lock.Lock();
  std::thread([&] { EXPECT_EQ(lock.Unlock(), kStoreInvalidArgument); }).join();
  EXPECT_EQ(lock.Unlock(), kStoreOk);
  EXPECT_TRUE(lock.held());
  EXPECT_EQ(lock.Unlock(), kStoreOk);
  EXPECT_FALSE(lock.held());
  EXPECT_EQ(lock.Unlock(), kStoreInvalidArgument);
}

}  // namespace
}  // namespace tavo::testing
