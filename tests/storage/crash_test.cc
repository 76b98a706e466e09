// A writer killed with SIGKILL at a random moment leaves a file that verifies
// and holds exactly what its last completed flush committed (or, when it died
// inside a flush, what that flush committed). The writer reports every flush
// it completes through a pipe; the test replays the same operations on a map.
//
// TAVO_KILL_ROUNDS=n runs n rounds instead of the default.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <random>
#include <thread>

#include "store_test_util.h"

namespace tavo::testing {
namespace {

constexpr uint32_t kFlushEvery = 50;

using Tracks = std::map<uint32_t, std::string>;

std::string DataFor(uint32_t id, uint32_t generation) {
  return std::string(100 + (id * 13 + generation) % 400, static_cast<char>('A' + (id + generation) % 26)) +
         std::to_string(id);
}

std::string NameFor(uint32_t id) { return "crash" + std::to_string(id) + ".mp3"; }

// The writer's operation number `op`: remove the track if present, and on two
// operations out of three insert it again with new data.
void Apply(uint32_t op, Tracks* tracks) {
  const uint32_t id = op * 7919 % 3000;
  tracks->erase(id);
  if (op % 3 != 0) (*tracks)[id] = DataFor(id, op % 64);
}

[[noreturn]] void Writer(const std::string& path, uint32_t mode, int report) {
  StoreFile* file = nullptr;
  if (Store_Open(&file, path, mode, BigEndianType()) != kStoreOk) _exit(2);
  for (uint32_t op = 0;; ++op) {
    const uint32_t id = op * 7919 % 3000;
    StoreRecord* old = nullptr;
    if (Store_Find(file, &old, 1, &id, 4) == kStoreOk) {
      if (Store_Remove(file, old) != kStoreOk) _exit(3);
      Store_FreeRecord(file, old);
    }
    if (op % 3 != 0 && InsertTrack(file, NameFor(id), id, DataFor(id, op % 64)) != kStoreOk) _exit(4);
    if (op % kFlushEvery == kFlushEvery - 1) {
      if (Store_Flush(file) != kStoreOk) _exit(5);
      const uint32_t done = op + 1;
      if (write(report, &done, sizeof done) != sizeof done) _exit(6);
    }
  }
}

Tracks ReadBack(StoreFile* file) {
  Tracks tracks;
  EXPECT_EQ(ForEachRecord(file, 1,
                          [&](const StoreRecord& r) {
                            uint32_t id;
                            std::memcpy(&id, r.key_value(1), 4);
                            const std::string data(reinterpret_cast<const char*>(r.data()), r.data_length());
                            EXPECT_EQ(FindByName(file, NameFor(id)), data) << id;
                            tracks[id] = data;
                          }),
            kStoreNotFound);
  return tracks;
}

TEST(StoreCrash, KilledWriterLeavesTheLastCommit) {
  const char* rounds_text = std::getenv("TAVO_KILL_ROUNDS");
  const int rounds = rounds_text != nullptr ? std::atoi(rounds_text) : 8;
  const std::string path = ScratchPath("crash.pdb");
  StoreFile* file = nullptr;
  const StoreFileDef def = TrackLikeDef();
  ASSERT_EQ(Store_Create(&file, path, kStoreReadWrite, &def, BigEndianType()), kStoreOk);
  ASSERT_EQ(Store_Close(file), kStoreOk);
  Tracks tracks;
  std::mt19937 rng(11);
  int inside_flush = 0;
  for (int round = 0; round < rounds; ++round) {
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    // Half the writers make every commit durable, half only atomic: a
    // process that dies loses nothing the page cache holds either way.
    const uint32_t mode = kStoreReadWrite | (round % 2 == 0 ? 0 : kStoreNoSync);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(report[0]);
      Writer(path, mode, report[1]);
    }
    close(report[1]);
    std::this_thread::sleep_for(std::chrono::milliseconds(20 + rng() % 300));
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "writer stopped early: " << status;
    uint32_t done = 0, reported = 0;
    while (read(report[0], &reported, sizeof reported) == sizeof reported) done = reported;
    close(report[0]);

    ASSERT_EQ(Store_Verify(path, kStoreRead, BigEndianType()), kStoreOk) << "round " << round;
    ASSERT_EQ(Store_Open(&file, path, kStoreReadWrite, BigEndianType()), kStoreOk);
    const Tracks found = ReadBack(file);
    ASSERT_EQ(Store_Close(file), kStoreOk);
    Tracks last = tracks;
    for (uint32_t op = 0; op < done; ++op) Apply(op, &last);
    Tracks next = last;
    for (uint32_t op = done; op < done + kFlushEvery; ++op) Apply(op, &next);
    ASSERT_TRUE(found == last || found == next)
        << "round " << round << ": " << found.size() << " tracks after " << done << " operations, expected "
        << last.size() << " or " << next.size();
    inside_flush += found != last;
    tracks = found;
  }
  RecordProperty("rounds", rounds);
  RecordProperty("killed_inside_a_flush", inside_flush);
}

}  // namespace
}  // namespace tavo::testing
