// Running out of memory at any allocation of a store's life: every operation
// answers with a status (never an exception), a handle that failed mid-change
// takes no more writes, and the file on disk still verifies.
//
// This program replaces the global operator new, so it is a test binary of
// its own.
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "store_test_util.h"

namespace {

// Allocations left before the armed failure; negative: disarmed.
std::atomic<long> allocations_left{-1};
std::atomic<long> allocations_seen{0};

void* Allocate(std::size_t n) {
  allocations_seen.fetch_add(1, std::memory_order_relaxed);
  if (allocations_left.load(std::memory_order_relaxed) >= 0 && allocations_left.fetch_sub(1) == 0)
    throw std::bad_alloc();
  if (void* p = std::malloc(n != 0 ? n : 1)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace tavo::testing {
namespace {

struct Step {
  const char* call;
  StoreStatus status;
};

// One life of a store: create, insert, flush, find, iterate, remove, close.
// Strings are made before the caller arms the failure; `steps` has room.
void Life(const std::string& path, const StoreFileDef& def, const std::vector<std::string>& names,
          const std::string& data, std::vector<Step>* steps) {
  auto note = [&](const char* call, StoreStatus s) {
    steps->push_back({call, s});
    return s;
  };
  StoreFile* file = nullptr;
  // Durability is not the point here: commits skip fdatasync.
  if (note("create", Store_Create(&file, path, kStoreReadWrite | kStoreNoSync, &def, BigEndianType())) != kStoreOk) return;
  for (uint32_t i = 0; i < names.size(); ++i) note("insert", InsertTrack(file, names[i], i, data));
  note("flush", Store_Flush(file));
  StoreRecord* record = nullptr;
  if (note("find", Store_Find(file, &record, 0, names[3].c_str(), static_cast<uint32_t>(names[3].size() + 1))) ==
      kStoreOk) {
    note("remove", Store_Remove(file, record));
    Store_FreeRecord(file, record);
  }
  StoreIteration* it = nullptr;
  StoreRecord* r = nullptr;
  StoreStatus s = note("first", Store_FindFirst(file, &it, &r, 1, nullptr, 0));
  while (s == kStoreOk) {
    Store_FreeRecord(file, r);
    s = Store_FindNext(file, it, &r);
  }
  if (it != nullptr) Store_EndFind(file, it);
  note("close", Store_Close(file));
}

TEST(StoreOutOfMemoryTest, EveryAllocationMayFail) {
  const std::string path = ScratchPath("oom.pdb");
  std::vector<std::string> names;
  for (int i = 0; i < 40; ++i) names.push_back("a fairly long track file name number " + std::to_string(i) + ".mp3");
  const std::string data(300, 'd');
  const StoreFileDef def = TrackLikeDef();
  std::vector<Step> steps;
  steps.reserve(256);

  // A dry run counts the allocations of one life.
  allocations_seen = 0;
  Life(path, def, names, data, &steps);
  const long total = allocations_seen.load();
  ASSERT_GT(total, 0);
  for (const Step& s : steps) ASSERT_EQ(kStoreOk, s.status) << s.call;

  const long stride = total / 2000 + 1;
  int verified_runs = 0;
  for (long n = 0; n < total; n += stride) {
    std::filesystem::remove(path);
    steps.clear();
    allocations_left = n;
    Life(path, def, names, data, &steps);
    allocations_left = -1;

    bool failed = false, created = false;
    for (const Step& s : steps) {
      EXPECT_TRUE(s.status == kStoreOk || s.status == kStoreNoMemory || s.status == kStoreUnusable ||
                  s.status == kStoreNotFound)
          << "allocation " << n << ", " << s.call << ": " << std::hex << s.status;
      failed |= s.status == kStoreNoMemory;
      created |= std::string(s.call) == "create" && s.status == kStoreOk;
    }
    if (!failed || !created) continue;
    // Commits are atomic: wherever the memory ran out, even inside a flush,
    // the file holds its last commit and verifies.
    EXPECT_EQ(kStoreOk, Store_Verify(path, kStoreRead, BigEndianType(), StoreVerifyDepth::kDeep)) << "allocation " << n;
    ++verified_runs;
  }
  RecordProperty("verified_runs", verified_runs);
  EXPECT_GT(verified_runs, 0);
}

}  // namespace
}  // namespace tavo::testing
