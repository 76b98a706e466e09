// The record store side by side with SQLite on the library's workload: a
// million records of about 800 bytes with a text key and an integer key (four
// keys in all, two left empty), committed every 100 changes.
//
// SQLite runs in WAL mode with synchronous=NORMAL, one transaction per 100
// rows, and an index on each of the four key columns; the store flushes every
// 100 changes. Benchmarks run in order and share the files the insert built.
//
//   TAVO_BENCH_RECORDS  number of records (default 1000000)
//   TAVO_BENCH_DIR      where the files go (default /tmp/tavo-bench-storage)
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "storage/store/store.h"

namespace tavo {
namespace {

constexpr uint32_t kCommitEvery = 100;
constexpr uint32_t kDataBytes = 800;

uint32_t RecordCount() {
  const char* n = std::getenv("TAVO_BENCH_RECORDS");
  return n != nullptr ? static_cast<uint32_t>(std::strtoul(n, nullptr, 10)) : 1'000'000;
}

std::string Dir() {
  const char* d = std::getenv("TAVO_BENCH_DIR");
  std::string dir = d != nullptr ? d : "/tmp/tavo-bench-storage";
  std::filesystem::create_directories(dir);
  return dir;
}

std::string NameOf(uint32_t id) {
  return "Artist " + std::to_string(id % 5000) + " - Title " + std::to_string(id) + ".mp3";
}

// About 800 bytes of letters, cheap to make so that both sides pay little
// for it inside the timed loops.
std::string DataOf(uint32_t id, uint32_t generation) {
  std::string data(kDataBytes - 16 + (id * 7 + generation) % 32, '\0');
  uint64_t x = (uint64_t{id} << 32 | generation) * 0x9E3779B97F4A7C15ull + 1;
  for (char& c : data) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    c = static_cast<char>('a' + (x >> 59));
  }
  return data;
}

// Ids visited in random order by lookups, rewrites and removals.
std::vector<uint32_t> Shuffled(uint32_t n, uint32_t take, uint32_t seed) {
  std::vector<uint32_t> ids(n);
  for (uint32_t i = 0; i < n; ++i) ids[i] = i;
  std::shuffle(ids.begin(), ids.end(), std::mt19937(seed));
  ids.resize(std::min(n, take));
  return ids;
}

const StoreFileType kLibraryOrder{kStoreBigEndian, nullptr, nullptr, nullptr};

struct StoreSide {
  std::string path = Dir() + "/tracks.pdb";
  StoreFile* file = nullptr;
};

StoreSide& Store() {
  static StoreSide side;
  return side;
}

struct SqliteSide {
  std::string path = Dir() + "/tracks.sqlite";
  sqlite3* db = nullptr;
  void Exec(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
      std::fprintf(stderr, "sqlite: %s\n", error);
      std::abort();
    }
  }
  sqlite3_stmt* Prepare(const char* sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) std::abort();
    return st;
  }
};

SqliteSide& Sqlite() {
  static SqliteSide side;
  return side;
}

uint64_t FileBytes(const std::string& path) {
  std::error_code ec;
  const uint64_t size = std::filesystem::file_size(path, ec);
  return ec ? 0 : size;
}

StoreStatus InsertRecord(StoreFile* file, uint32_t id, const std::string& data) {
  const std::string name = NameOf(id);
  StoreRecord* r = nullptr;
  const uint32_t name_length = static_cast<uint32_t>(name.size() + 1);
  StoreStatus s = Store_NewRecord(file, &r, data.data(), static_cast<uint32_t>(data.size()), name_length + 4);
  if (s == kStoreOk) s = Store_SetKey(file, r, 0, name.c_str(), name_length);
  if (s == kStoreOk) s = Store_SetKey(file, r, 1, &id, 4);
  if (s == kStoreOk) s = Store_Insert(file, r);
  Store_FreeRecord(file, r);
  return s;
}

void BM_Insert_Store(benchmark::State& state) {
  StoreSide& side = Store();
  StoreFileDef def;
  def.kind = 1;
  def.keys = {{kKeyTypeText, kKeyMethodText}, {kKeyTypeInteger, kKeyMethodInteger},
              {kKeyTypeInteger, kKeyMethodInteger}, {kKeyTypeText, kKeyMethodText}};
  def.user_block_size = 256;
  const uint32_t n = RecordCount();
  for (auto _ : state) {
    if (Store_Create(&side.file, side.path, kStoreReadWrite, &def, &kLibraryOrder) != kStoreOk) std::abort();
    for (uint32_t id = 0; id < n; ++id) {
      const std::string data = DataOf(id, 0);
      if (InsertRecord(side.file, id, data) != kStoreOk) std::abort();
      if (id % kCommitEvery == kCommitEvery - 1 && Store_Flush(side.file) != kStoreOk) std::abort();
    }
    if (Store_Flush(side.file) != kStoreOk) std::abort();
  }
  state.SetItemsProcessed(n);
  state.counters["file_MB"] = FileBytes(side.path) / 1e6;
}

void BM_Insert_Sqlite(benchmark::State& state) {
  SqliteSide& side = Sqlite();
  const uint32_t n = RecordCount();
  for (auto _ : state) {
    std::filesystem::remove(side.path);
    std::filesystem::remove(side.path + "-wal");
    std::filesystem::remove(side.path + "-shm");
    if (sqlite3_open(side.path.c_str(), &side.db) != SQLITE_OK) std::abort();
    side.Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
    side.Exec("CREATE TABLE tracks(name TEXT COLLATE NOCASE, id INTEGER, k2 INTEGER, k3 TEXT COLLATE NOCASE, data BLOB);"
              "CREATE INDEX tracks_name ON tracks(name); CREATE INDEX tracks_id ON tracks(id);"
              "CREATE INDEX tracks_k2 ON tracks(k2); CREATE INDEX tracks_k3 ON tracks(k3);");
    sqlite3_stmt* insert = side.Prepare("INSERT INTO tracks(name, id, data) VALUES (?, ?, ?)");
    side.Exec("BEGIN");
    for (uint32_t id = 0; id < n; ++id) {
      const std::string data = DataOf(id, 0);
      const std::string name = NameOf(id);
      sqlite3_bind_text(insert, 1, name.c_str(), static_cast<int>(name.size()), SQLITE_STATIC);
      sqlite3_bind_int64(insert, 2, id);
      sqlite3_bind_blob(insert, 3, data.data(), static_cast<int>(data.size()), SQLITE_STATIC);
      if (sqlite3_step(insert) != SQLITE_DONE) std::abort();
      sqlite3_reset(insert);
      if (id % kCommitEvery == kCommitEvery - 1) side.Exec("COMMIT; BEGIN");
    }
    side.Exec("COMMIT");
    sqlite3_finalize(insert);
  }
  state.SetItemsProcessed(n);
  side.Exec("PRAGMA wal_checkpoint(TRUNCATE)");
  state.counters["file_MB"] = FileBytes(side.path) / 1e6;
}

constexpr uint32_t kLookups = 200'000;

void BM_Lookup_Store(benchmark::State& state) {
  StoreSide& side = Store();
  const auto ids = Shuffled(RecordCount(), kLookups, 1);
  std::vector<std::string> names;
  for (uint32_t id : ids) names.push_back(NameOf(id));
  for (auto _ : state) {
    for (const std::string& name : names) {
      StoreRecord* r = nullptr;
      if (Store_Find(side.file, &r, 0, name.c_str(), static_cast<uint32_t>(name.size() + 1)) != kStoreOk) std::abort();
      benchmark::DoNotOptimize(r->data()[0]);
      Store_FreeRecord(side.file, r);
    }
  }
  state.SetItemsProcessed(int64_t{kLookups} * state.iterations());
}

void BM_Lookup_Sqlite(benchmark::State& state) {
  SqliteSide& side = Sqlite();
  const auto ids = Shuffled(RecordCount(), kLookups, 1);
  std::vector<std::string> names;
  for (uint32_t id : ids) names.push_back(NameOf(id));
  sqlite3_stmt* find = side.Prepare("SELECT data FROM tracks WHERE name = ?");
  for (auto _ : state) {
    for (const std::string& name : names) {
      sqlite3_bind_text(find, 1, name.c_str(), static_cast<int>(name.size()), SQLITE_STATIC);
      if (sqlite3_step(find) != SQLITE_ROW) std::abort();
      benchmark::DoNotOptimize(static_cast<const char*>(sqlite3_column_blob(find, 0))[0]);
      sqlite3_reset(find);
    }
  }
  sqlite3_finalize(find);
  state.SetItemsProcessed(int64_t{kLookups} * state.iterations());
}

void BM_Iterate_Store(benchmark::State& state) {
  StoreSide& side = Store();
  uint64_t seen = 0;
  for (auto _ : state) {
    StoreIteration* it = nullptr;
    StoreRecord* r = nullptr;
    for (StoreStatus s = Store_FindFirst(side.file, &it, &r, 1, nullptr, 0); s == kStoreOk;
         s = Store_FindNext(side.file, it, &r)) {
      benchmark::DoNotOptimize(r->data()[0]);
      Store_FreeRecord(side.file, r);
      ++seen;
    }
    Store_EndFind(side.file, it);
  }
  if (seen != uint64_t{RecordCount()} * state.iterations()) std::abort();
  state.SetItemsProcessed(static_cast<int64_t>(seen));
}

void BM_Iterate_Sqlite(benchmark::State& state) {
  SqliteSide& side = Sqlite();
  sqlite3_stmt* all = side.Prepare("SELECT id, data FROM tracks");
  uint64_t seen = 0;
  for (auto _ : state) {
    while (sqlite3_step(all) == SQLITE_ROW) {
      benchmark::DoNotOptimize(static_cast<const char*>(sqlite3_column_blob(all, 1))[0]);
      ++seen;
    }
    sqlite3_reset(all);
  }
  sqlite3_finalize(all);
  if (seen != uint64_t{RecordCount()} * state.iterations()) std::abort();
  state.SetItemsProcessed(static_cast<int64_t>(seen));
}

constexpr uint32_t kChanges = 200'000;

StoreRecord* FindTrack(StoreFile* file, uint32_t id) {
  const std::string name = NameOf(id);
  StoreRecord* r = nullptr;
  if (Store_Find(file, &r, 0, name.c_str(), static_cast<uint32_t>(name.size() + 1)) != kStoreOk) std::abort();
  return r;
}

// Applies change(file, id) to each id, flushing every kCommitEvery changes.
template <class Change>
void StoreChanges(benchmark::State& state, uint32_t seed, Change change) {
  StoreFile* file = Store().file;
  const auto ids = Shuffled(RecordCount(), kChanges, seed);
  uint32_t done = 0;
  for (auto _ : state) {
    for (uint32_t id : ids) {
      change(file, id, done);
      if (++done % kCommitEvery == 0 && Store_Flush(file) != kStoreOk) std::abort();
    }
    if (Store_Flush(file) != kStoreOk) std::abort();
  }
  state.SetItemsProcessed(done);
}

// Runs `sql` once per id with bind(statement, id), one transaction per
// kCommitEvery rows.
template <class Bind>
void SqliteChanges(benchmark::State& state, uint32_t seed, const char* sql, Bind bind) {
  SqliteSide& side = Sqlite();
  const auto ids = Shuffled(RecordCount(), kChanges, seed);
  sqlite3_stmt* statement = side.Prepare(sql);
  uint32_t done = 0;
  for (auto _ : state) {
    side.Exec("BEGIN");
    for (uint32_t id : ids) {
      bind(statement, id, done);
      if (sqlite3_step(statement) != SQLITE_DONE) std::abort();
      sqlite3_reset(statement);
      if (++done % kCommitEvery == 0) side.Exec("COMMIT; BEGIN");
    }
    side.Exec("COMMIT");
  }
  sqlite3_finalize(statement);
  state.SetItemsProcessed(done);
}

// Bindings live until the statement runs: kept here between bind and step.
thread_local std::string bound_name, bound_data;

void BindNameAndData(sqlite3_stmt* st, uint32_t id, const std::string& data) {
  bound_name = NameOf(id);
  bound_data = data;
  sqlite3_bind_blob(st, 1, bound_data.data(), static_cast<int>(bound_data.size()), SQLITE_STATIC);
  sqlite3_bind_text(st, 2, bound_name.c_str(), static_cast<int>(bound_name.size()), SQLITE_STATIC);
}

std::string Rewritten(uint32_t id) {
  std::string data = DataOf(id, 0);
  data[0] = 'Z';
  return data;
}

void BM_Rewrite_Store(benchmark::State& state) {
  StoreChanges(state, 2, [](StoreFile* file, uint32_t id, uint32_t) {
    StoreRecord* r = FindTrack(file, id);
    const std::string data = Rewritten(id);
    if (Store_Rewrite(file, r, data.data(), static_cast<uint32_t>(data.size())) != kStoreOk) std::abort();
    Store_FreeRecord(file, r);
  });
}

void BM_Rewrite_Sqlite(benchmark::State& state) {
  SqliteChanges(state, 2, "UPDATE tracks SET data = ? WHERE name = ?",
                [](sqlite3_stmt* st, uint32_t id, uint32_t) { BindNameAndData(st, id, Rewritten(id)); });
}

// Records replaced by data of another length, as the library does when a
// track's tags change: removed and inserted again. The file size afterwards
// shows how freed blocks are reused.
void BM_Churn_Store(benchmark::State& state) {
  const uint64_t before = FileBytes(Store().path);
  StoreChanges(state, 3, [](StoreFile* file, uint32_t id, uint32_t done) {
    StoreRecord* r = FindTrack(file, id);
    if (Store_Remove(file, r) != kStoreOk) std::abort();
    Store_FreeRecord(file, r);
    if (InsertRecord(file, id, DataOf(id, 1 + done % 7)) != kStoreOk) std::abort();
  });
  const uint64_t after = FileBytes(Store().path);
  state.counters["file_MB"] = after / 1e6;
  state.counters["growth_pct"] = 100.0 * (double(after) - double(before)) / double(before);
}

void BM_Churn_Sqlite(benchmark::State& state) {
  const uint64_t before = FileBytes(Sqlite().path);
  SqliteChanges(state, 3, "UPDATE tracks SET data = ? WHERE name = ?",
                [](sqlite3_stmt* st, uint32_t id, uint32_t done) { BindNameAndData(st, id, DataOf(id, 1 + done % 7)); });
  Sqlite().Exec("PRAGMA wal_checkpoint(TRUNCATE)");
  const uint64_t after = FileBytes(Sqlite().path);
  state.counters["file_MB"] = after / 1e6;
  state.counters["growth_pct"] = 100.0 * (double(after) - double(before)) / double(before);
}

void BM_Remove_Store(benchmark::State& state) {
  StoreChanges(state, 4, [](StoreFile* file, uint32_t id, uint32_t) {
    StoreRecord* r = FindTrack(file, id);
    if (Store_Remove(file, r) != kStoreOk) std::abort();
    Store_FreeRecord(file, r);
  });
  StoreSide& side = Store();
  if (Store_Close(side.file) != kStoreOk) std::abort();
  side.file = nullptr;
  const auto start = std::chrono::steady_clock::now();
  state.counters["verify_status"] = Store_Verify(side.path, kStoreRead, &kLibraryOrder);
  state.counters["verify_s"] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_Remove_Sqlite(benchmark::State& state) {
  SqliteChanges(state, 4, "DELETE FROM tracks WHERE name = ?", [](sqlite3_stmt* st, uint32_t id, uint32_t) {
    bound_name = NameOf(id);
    sqlite3_bind_text(st, 1, bound_name.c_str(), static_cast<int>(bound_name.size()), SQLITE_STATIC);
  });
  sqlite3_close(Sqlite().db);
  Sqlite().db = nullptr;
}

#define TAVO_ONCE(bm) BENCHMARK(bm)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime()
TAVO_ONCE(BM_Insert_Store);
TAVO_ONCE(BM_Insert_Sqlite);
TAVO_ONCE(BM_Lookup_Store);
TAVO_ONCE(BM_Lookup_Sqlite);
TAVO_ONCE(BM_Iterate_Store);
TAVO_ONCE(BM_Iterate_Sqlite);
TAVO_ONCE(BM_Rewrite_Store);
TAVO_ONCE(BM_Rewrite_Sqlite);
TAVO_ONCE(BM_Churn_Store);
TAVO_ONCE(BM_Churn_Sqlite);
TAVO_ONCE(BM_Remove_Store);
TAVO_ONCE(BM_Remove_Sqlite);

}  // namespace
}  // namespace tavo

BENCHMARK_MAIN();
