// A writer killed at a random moment leaves a file that verifies and holds
// only correct records, or that is reported damaged: never silently wrong.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "store_test_util.h"

namespace tavo::testing {
namespace {

// A record's data is a function of its id, so any record read back can be
// checked on its own.
std::string DataFor(uint32_t id, uint32_t generation) {
  return std::string(100 + (id * 13 + generation) % 400, static_cast<char>('A' + (id + generation) % 26)) +
         std::to_string(id);
}

bool DataMatches(uint32_t id, const StoreRecord& r) {
  const std::string data(reinterpret_cast<const char*>(r.data()), r.data_length());
  for (uint32_t g = 0; g < 64; ++g) {
    if (data == DataFor(id, g)) return true;
  }
  return false;
}

[[noreturn]] void Writer(const std::string& path) {
  StoreFile* file = nullptr;
  if (Store_Open(&file, path, kStoreReadWrite, BigEndianType()) != kStoreOk) _exit(2);
  for (uint32_t op = 0;; ++op) {
    const uint32_t id = op * 7919 % 3000;
    StoreRecord* old = nullptr;
    if (Store_Find(file, &old, 1, &id, 4) == kStoreOk) {
      Store_Remove(file, old);
      Store_FreeRecord(file, old);
    }
    if (op % 3 != 0) InsertTrack(file, "crash" + std::to_string(id) + ".mp3", id, DataFor(id, op % 64));
    if (op % 50 == 49) Store_Flush(file);
  }
}

TEST(StoreCrash, KilledWriterLeavesVerifiableOrDamagedFile) {
  const std::string path = ScratchPath("crash.pdb");
  StoreFile* file = nullptr;
  const StoreFileDef def = TrackLikeDef();
  ASSERT_EQ(Store_Create(&file, path, kStoreReadWrite, &def, BigEndianType()), kStoreOk);
  ASSERT_EQ(Store_Close(file), kStoreOk);
  int clean = 0;
  for (int round = 0; round < 6; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) Writer(path);
    std::this_thread::sleep_for(std::chrono::milliseconds(30 + 37 * round));
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "writer stopped early: " << status;

    const StoreStatus verified = Store_Verify(path, kStoreRead, BigEndianType());
    if (verified != kStoreOk) {
      // Damage is reported with a damage status, never as something else.
      EXPECT_GE(verified, 0x90020400u) << std::hex << verified;
      // A damaged file is started afresh, as its user would after a rebuild.
      ASSERT_EQ(Store_Create(&file, path, kStoreReadWrite, &def, BigEndianType()), kStoreOk);
      ASSERT_EQ(Store_Close(file), kStoreOk);
      continue;
    }
    ++clean;
    ASSERT_EQ(Store_Open(&file, path, kStoreRead, BigEndianType()), kStoreOk);
    StoreIteration* it = nullptr;
    StoreRecord* r = nullptr;
    for (StoreStatus s = Store_FindFirst(file, &it, &r, 1, nullptr, 0); s == kStoreOk;
         s = Store_FindNext(file, it, &r)) {
      uint32_t id;
      std::memcpy(&id, r->key_value(1), 4);
      EXPECT_TRUE(DataMatches(id, *r)) << id;
      EXPECT_EQ(FindByName(file, "CRASH" + std::to_string(id) + ".MP3"),
                std::string(reinterpret_cast<const char*>(r->data()), r->data_length()));
      Store_FreeRecord(file, r);
    }
    Store_EndFind(file, it);
    ASSERT_EQ(Store_Close(file), kStoreOk);
  }
  RecordProperty("clean_rounds", clean);
}

}  // namespace
}  // namespace tavo::testing
