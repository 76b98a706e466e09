// A writer adding tracks is killed at random moments. Afterwards the
// database never answers wrongly: the deep check flags damage, a rebuild
// mends an index that lags behind its records, and every track committed
// before the last completed commit is there with its values.
//
// CI runs a few seconds of rounds; TAVO_LIBRARY_CRASH_SECONDS=3600 runs an
// hour by hand (nice -n 10 is kind to the machine).
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "storage/maintenance/database_check.h"
#include "storage/maintenance/index_maintenance.h"
#include "library_test_util.h"
#include "tavo/enums.h"

namespace tavo::testing {
namespace {

// Track n's values are a function of n, so any track read back can be
// checked on its own.
TrackRecord TrackFor(uint32_t n) {
  TrackRecord t = MakeTrack("Title " + std::to_string(n), "Artist " + std::to_string(n % 13),
                            "Album " + std::to_string(n % 7));
  // Every third track has a tag that names 1000000 + n ('S': 7 digits).
  if (n % 3 == 0) t.tag_id = "3CD3PS" + std::to_string(1000000 + n);
  t.plays = n % 5;
  t.rating = static_cast<int32_t>(n % 3);
  return t;
}

std::string NameFor(uint32_t n) { return "t" + std::to_string(n) + ".mp3"; }

bool NumberOf(std::string_view name, uint32_t* n) {
  if (name.size() < 6 || name[0] != 't' || !name.ends_with(".mp3")) return false;
  *n = static_cast<uint32_t>(std::stoul(std::string(name.substr(1, name.size() - 5))));
  return true;
}

::testing::AssertionResult HoldsValuesOf(const TrackRecord& t, uint32_t n) {
  const TrackRecord want = TrackFor(n);
  if (Value(t, kKeyTit) != Value(want, kKeyTit) || Value(t, kKeyArt) != Value(want, kKeyArt) ||
      Value(t, kKeyAlb) != Value(want, kKeyAlb) || t.plays != want.plays || t.rating != want.rating ||
      t.tag_id != want.tag_id) {
    return ::testing::AssertionFailure() << "track " << n << " holds other values";
  }
  return ::testing::AssertionSuccess();
}

// Adds tracks from `next` on, re-adds an earlier one now and then, commits
// every 50 writes and reports on `report` how many tracks are committed.
[[noreturn]] void Writer(const std::string& dir, uint32_t next, int report) {
  LibraryDatabasePtr db;
  if (LibraryDatabase_Open(dir, kLibraryBaseName, &db) != kLibraryOk) _exit(2);
  std::mt19937 random(next);
  for (uint32_t writes = 1;; ++writes) {
    if (writes % 10 == 0 && next > 0) {
      const uint32_t again = random() % next;
      LibraryDatabase_AddTrack(db.get(), "/again/" + NameFor(again), TrackFor(again));
    } else {
      if (LibraryDatabase_AddTrack(db.get(), "/music/" + NameFor(next), TrackFor(next)) != kLibraryOk) _exit(3);
      ++next;
    }
    if (writes % 50 == 0 && LibraryDatabase_Commit(db.get()) == kLibraryOk) {
      if (write(report, &next, sizeof(next)) != sizeof(next)) _exit(4);
    }
  }
}

struct RoundResult {
  bool damaged_base = false;
  bool mended_index = false;
  uint32_t next = 0;  // the first track number not in the database
};

RoundResult Verify(const std::string& dir, uint32_t committed) {
  RoundResult result;
  CheckReport report;
  LibraryStatus outcome = Maintenance_Check(PL_MLDB_CHECK_DEFAULT, dir, nullptr, &report);
  if (outcome == kCheckIndexCorrupt) {
    result.mended_index = true;
    EXPECT_EQ(Maintenance_RebuildIndex(0, dir), kLibraryOk);
    outcome = Maintenance_Check(PL_MLDB_CHECK_DEFAULT, dir);
  }
  if (outcome == kCheckBaseCorrupt || outcome == kCheckBothCorrupt) {
    EXPECT_NE(report.base_fault, kLibraryOk);
    result.damaged_base = true;
    return result;
  }
  EXPECT_EQ(outcome, kLibraryOk);
  LibraryDatabasePtr db = OpenDb(dir);
  if (!db) return result;
  uint32_t found = 0;
  EXPECT_EQ(LibraryDatabase_WalkTracks(db.get(), [&](uint32_t id, const TrackRecord& t) {
              uint32_t n = 0;
              EXPECT_TRUE(NumberOf(t.file_name, &n)) << t.file_name;
              EXPECT_TRUE(HoldsValuesOf(t, n));
              if (n % 3 == 0) {
                EXPECT_EQ(id, 1000000 + n);
              }
              result.next = std::max(result.next, n + 1);
              ++found;
              return true;
            }),
            kLibraryOk);
  for (uint32_t n = 0; n < committed; ++n) {
    TrackRecord t;
    const LibraryStatus s = LibraryDatabase_FindByFile(db.get(), NameFor(n), &t);
    EXPECT_EQ(s, kLibraryOk) << "committed track " << n << " lost";
    if (s != kLibraryOk) break;
    EXPECT_TRUE(HoldsValuesOf(t, n));
  }
  EXPECT_GE(found, committed);
  EXPECT_TRUE(IndexMatchesTracks(db.get()));
  return result;
}

TEST(LibraryCrash, KilledWriterNeverLeavesWrongAnswers) {
  const char* long_run = std::getenv("TAVO_LIBRARY_CRASH_SECONDS");
  const auto budget = std::chrono::seconds(long_run != nullptr ? std::atoi(long_run) : 4);
  const auto start = std::chrono::steady_clock::now();
  std::string dir = ScratchDir();
  std::mt19937 random(12345);
  uint32_t next = 0;
  int rounds = 0, damaged = 0, mended = 0;
  while (std::chrono::steady_clock::now() - start < budget) {
    int pipe_fds[2];
    ASSERT_EQ(pipe(pipe_fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(pipe_fds[0]);
      Writer(dir, next, pipe_fds[1]);
    }
    close(pipe_fds[1]);
    std::this_thread::sleep_for(std::chrono::milliseconds(20 + random() % 300));
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "writer stopped early: " << WEXITSTATUS(status);
    uint32_t committed = next, value = 0;
    while (read(pipe_fds[0], &value, sizeof(value)) == sizeof(value)) committed = value;
    close(pipe_fds[0]);

    const RoundResult result = Verify(dir, committed);
    if (HasFailure()) return;
    ++rounds;
    mended += result.mended_index ? 1 : 0;
    if (result.damaged_base) {
      // Damage is reported, never answered from; start a new library.
      ++damaged;
      dir = ScratchDir("-" + std::to_string(rounds));
      next = 0;
    } else {
      next = std::max(next, result.next);
    }
  }
  RecordProperty("rounds", rounds);
  RecordProperty("damaged_record_files", damaged);
  RecordProperty("mended_indexes", mended);
  std::printf("crash rounds %d, damaged record files %d, indexes mended %d, tracks %u\n", rounds, damaged, mended,
              next);
  EXPECT_GT(rounds, 0);
}

}  // namespace
}  // namespace tavo::testing
