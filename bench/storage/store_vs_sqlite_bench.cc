// The record store against SQLite on the library's workload, on equal terms:
//
// - the same work: a million records of about 800 bytes, four keys of which
//   two (a file name and an id) have values; each side inserts them, looks
//   records up by name, visits them all (the store by its id key, and by a
//   scan in file order; SQLite walks its table in rowid order for both),
//   rewrites and removes a fifth of them by name, committing every 100
//   changes;
// - the same indexes: SQLite indexes the four key columns with partial
//   indexes (WHERE k IS NOT NULL), as the store enters a record only under
//   keys that have a value;
// - the same cache: SQLite's page cache gets the store's 32 MiB node cache;
// - the same durability, in two tables: both syncing at every commit (the
//   store's default; SQLite in WAL mode with synchronous=FULL), and neither
//   syncing (kStoreNoSync; synchronous=OFF);
// - fair timing: every case runs in rounds; within a round the two sides
//   take turns going first, case by case; the table shows medians.
//
// File names are realistic (artist and album shared by an album's tracks,
// titles of varying length, ".mp3"); a second data set uses names whose key
// codes collide heavily. The protocol's own cost shows as inserts committed
// every 100 records against one commit at the end.
//
//   TAVO_BENCH_RECORDS  records (default 1000000)
//   TAVO_BENCH_ROUNDS   rounds (default 3)
//   TAVO_BENCH_DIR      folder of the files (default /tmp/tavo-bench-storage)
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <benchmark/benchmark.h>

#include "storage/store/key_code.h"
#include "storage/store/store.h"

namespace tavo {
namespace {

constexpr uint32_t kCommitEvery = 100;
constexpr uint32_t kDataBytes = 800;
constexpr uint32_t kCacheKiB = 32 * 1024;  // the store's node cache

uint32_t EnvNumber(const char* name, uint32_t fallback) {
  const char* text = std::getenv(name);
  return text != nullptr ? static_cast<uint32_t>(std::strtoul(text, nullptr, 10)) : fallback;
}

uint32_t Records() { return EnvNumber("TAVO_BENCH_RECORDS", 1'000'000); }
uint32_t Changes() { return std::min<uint32_t>(200'000, Records()); }

std::string Dir() {
  const char* d = std::getenv("TAVO_BENCH_DIR");
  std::string dir = d != nullptr ? d : "/tmp/tavo-bench-storage";
  std::filesystem::create_directories(dir);
  return dir;
}

uint64_t Mix(uint64_t x) {
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

constexpr const char* kWords[] = {
    "Love", "Night", "Blue", "Heart", "Road", "Fire", "Rain", "Dance", "Dream", "Light", "Song", "Time", "River",
    "Gold", "Summer", "Midnight", "Forever", "Shadow", "Electric", "Highway", "Paradise", "Silver", "Wild",
    "Home", "Ocean", "Stars", "Broken", "Sweet", "City", "Moon", "Running", "Angel", "Winter", "Lonely",
    "Morning", "Thunder", "Echoes", "Velvet", "Memories", "Tonight", "Freedom", "Yesterday", "Garden", "Mirror",
    "Waves", "Kingdom", "Crystal", "Horizon", "Symphony", "Whisper", "Storm", "Paper", "Glass", "Machine",
    "Desert", "Island", "Radio", "Satellite", "Feather", "Lantern", "Harbor", "Orchid", "Hollow", "Prelude"};
constexpr size_t kWordCount = sizeof kWords / sizeof kWords[0];

std::string Words(uint64_t seed, uint32_t count) {
  std::string text;
  for (uint32_t i = 0; i < count; ++i) {
    if (i > 0) text += ' ';
    text += kWords[Mix(seed * 31 + i) % kWordCount];
  }
  return text;
}

// "Artist - Album (Year) - NN Title.mp3": an album's twelve tracks share
// artist and album, artists have about twenty albums, titles have one to six
// words. A name that came out twice gets " (2)", as file managers do.
std::vector<std::string> RealisticNames(uint32_t n) {
  std::vector<std::string> names(n);
  std::unordered_set<std::string> seen;
  for (uint32_t id = 0; id < n; ++id) {
    const uint32_t album = id / 12, artist = album / 20;
    char number[8];
    std::snprintf(number, sizeof number, "%02u", id % 12 + 1);
    std::string name = Words(artist, 1 + artist % 2) + " - " + Words(uint64_t{album} << 20, 1 + album % 3) + " (" +
                       std::to_string(1960 + album % 60) + ") - " + number + " " +
                       Words(uint64_t{id} << 40, 1 + static_cast<uint32_t>(Mix(id) % 6)) + ".mp3";
    while (!seen.insert(name).second) name.insert(name.size() - 4, " (2)");
    names[id] = std::move(name);
  }
  return names;
}

// Names whose key codes collide heavily: the text hash keeps about the last
// seven characters whole, and these differ early on.
std::vector<std::string> CollidingNames(uint32_t n) {
  std::vector<std::string> names(n);
  for (uint32_t id = 0; id < n; ++id) {
    names[id] = "Artist " + std::to_string(id % 5000) + " - Title " + std::to_string(id) + ".mp3";
  }
  return names;
}

// How names share key codes: the largest group, and the records an average
// lookup had to read when it compared every record of its code (half of its
// group, rounded up) — what the digest now spares.
std::string CollisionSummary(const std::vector<std::string>& names) {
  std::unordered_map<uint32_t, uint32_t> groups;
  for (const std::string& name : names) {
    ++groups[KeyCode(kKeyMethodText, reinterpret_cast<const uint8_t*>(name.c_str()),
                     static_cast<uint32_t>(name.size() + 1))];
  }
  uint32_t largest = 0;
  double compared = 0;
  for (const auto& [code, size] : groups) {
    largest = std::max(largest, size);
    compared += double(size) * (size + 1) / 2.0;
  }
  char text[160];
  std::snprintf(text, sizeof text, "%zu codes, largest group %u, %.1f records compared per lookup without digests",
                groups.size(), largest, compared / double(names.size()));
  return text;
}

// About 800 bytes of letters, cheap to make (eight at a step), so that both
// sides pay little for it inside the timed loops.
std::string DataOf(uint32_t id, uint32_t generation) {
  std::string data(kDataBytes - 16 + (id * 7 + generation) % 32, '\0');
  uint64_t x = (uint64_t{id} << 32 | generation) * 0x9E3779B97F4A7C15ull + 1;
  for (size_t i = 0; i < data.size(); i += 8) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    for (size_t b = 0; b < 8 && i + b < data.size(); ++b) data[i + b] = static_cast<char>('a' + ((x >> (8 * b)) & 15));
  }
  return data;
}

std::vector<uint32_t> Shuffled(uint32_t n, uint32_t take, uint32_t seed) {
  std::vector<uint32_t> ids(n);
  for (uint32_t i = 0; i < n; ++i) ids[i] = i;
  std::shuffle(ids.begin(), ids.end(), std::mt19937(seed));
  ids.resize(std::min(n, take));
  return ids;
}

uint64_t FileBytes(const std::string& path) {
  std::error_code ec;
  const uint64_t size = std::filesystem::file_size(path, ec);
  return ec ? 0 : size;
}

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "benchmark failed: %s\n", what);
  std::abort();
}

enum class Durability { kSync, kNoSync };

// One side of the comparison over one data set.
class Side {
 public:
  virtual ~Side() = default;
  virtual const char* name() const = 0;
  // Creates the file and inserts every record, committing every `commit_every`.
  virtual void Insert(const std::vector<std::string>& names, uint32_t commit_every) = 0;
  virtual void Lookup(const std::vector<std::string>& names, const std::vector<uint32_t>& ids) = 0;
  virtual uint64_t Iterate() = 0;
  // Every record in the order the file holds them, the fastest full visit.
  virtual uint64_t Scan() = 0;
  virtual void Rewrite(const std::vector<std::string>& names, const std::vector<uint32_t>& ids) = 0;
  virtual void Remove(const std::vector<std::string>& names, const std::vector<uint32_t>& ids) = 0;
  // Bytes of the database with every commit written back into it.
  virtual uint64_t FileSize() = 0;
};

class StoreSide final : public Side {
 public:
  StoreSide(std::string path, Durability durability)
      : path_(std::move(path)), mode_(kStoreReadWrite | (durability == Durability::kNoSync ? kStoreNoSync : 0)) {}
  ~StoreSide() override { Close(); }
  const char* name() const override { return "store"; }

  void Insert(const std::vector<std::string>& names, uint32_t commit_every) override {
    Close();
    StoreFileDef def;
    def.kind = 1;
    def.keys = {{kKeyTypeText, kKeyMethodText}, {kKeyTypeInteger, kKeyMethodInteger},
                {kKeyTypeInteger, kKeyMethodInteger}, {kKeyTypeText, kKeyMethodText}};
    def.user_block_size = 256;
    if (Store_Create(&file_, path_, mode_, &def, &kLibraryOrder) != kStoreOk) Fail("store create");
    for (uint32_t id = 0; id < names.size(); ++id) {
      const std::string data = DataOf(id, 0);
      const std::string& name = names[id];
      StoreRecord* r = nullptr;
      const uint32_t name_length = static_cast<uint32_t>(name.size() + 1);
      StoreStatus s = Store_NewRecord(file_, &r, data.data(), static_cast<uint32_t>(data.size()), name_length + 4);
      if (s == kStoreOk) s = Store_SetKey(file_, r, 0, name.c_str(), name_length);
      if (s == kStoreOk) s = Store_SetKey(file_, r, 1, &id, 4);
      if (s == kStoreOk) s = Store_Insert(file_, r);
      Store_FreeRecord(file_, r);
      if (s != kStoreOk) Fail("store insert");
      if (id % commit_every == commit_every - 1 && Store_Flush(file_) != kStoreOk) Fail("store flush");
    }
    if (Store_Flush(file_) != kStoreOk) Fail("store flush");
  }

  void Lookup(const std::vector<std::string>& names, const std::vector<uint32_t>& ids) override {
    for (uint32_t id : ids) {
      StoreRecord* r = Find(names[id]);
      benchmark::DoNotOptimize(r->data()[0]);
      Store_FreeRecord(file_, r);
    }
  }

  uint64_t Iterate() override {
    uint64_t seen = 0;
    StoreIteration* it = nullptr;
    StoreRecord* r = nullptr;
    for (StoreStatus s = Store_FindFirst(file_, &it, &r, 1, nullptr, 0); s == kStoreOk;
         s = Store_FindNext(file_, it, &r)) {
      benchmark::DoNotOptimize(r->data()[0]);
      Store_FreeRecord(file_, r);
      ++seen;
    }
    Store_EndFind(file_, it);
    return seen;
  }

  uint64_t Scan() override {
    uint64_t seen = 0;
    StoreScanPosition position;
    for (StoreRecord* r = nullptr; Store_ScanNext(file_, &position, &r) == kStoreOk; Store_FreeRecord(file_, r)) {
      benchmark::DoNotOptimize(r->data()[0]);
      ++seen;
    }
    return seen;
  }

  void Rewrite(const std::vector<std::string>& names, const std::vector<uint32_t>& ids) override {
    Changes(ids, [&](uint32_t id) {
      StoreRecord* r = Find(names[id]);
      std::string data = DataOf(id, 0);
      data[0] = 'Z';
      if (Store_Rewrite(file_, r, data.data(), static_cast<uint32_t>(data.size())) != kStoreOk) Fail("rewrite");
      Store_FreeRecord(file_, r);
    });
  }

  void Remove(const std::vector<std::string>& names, const std::vector<uint32_t>& ids) override {
    Changes(ids, [&](uint32_t id) {
      StoreRecord* r = Find(names[id]);
      if (Store_Remove(file_, r) != kStoreOk) Fail("remove");
      Store_FreeRecord(file_, r);
    });
  }

  uint64_t FileSize() override {
    Close();  // writes every commit back into the file
    if (Store_Open(&file_, path_, mode_, &kLibraryOrder) != kStoreOk) Fail("store open");
    return FileBytes(path_);
  }

 private:
  static constexpr StoreFileType kLibraryOrder{kStoreBigEndian, nullptr, nullptr, nullptr};

  StoreRecord* Find(const std::string& name) {
    StoreRecord* r = nullptr;
    if (Store_Find(file_, &r, 0, name.c_str(), static_cast<uint32_t>(name.size() + 1)) != kStoreOk) Fail("find");
    return r;
  }

  template <class Change>
  void Changes(const std::vector<uint32_t>& ids, Change change) {
    uint32_t done = 0;
    for (uint32_t id : ids) {
      change(id);
      if (++done % kCommitEvery == 0 && Store_Flush(file_) != kStoreOk) Fail("store flush");
    }
    if (Store_Flush(file_) != kStoreOk) Fail("store flush");
  }

  void Close() {
    if (file_ != nullptr && Store_Close(file_) != kStoreOk) Fail("store close");
    file_ = nullptr;
  }

  std::string path_;
  uint32_t mode_;
  StoreFile* file_ = nullptr;
};

class SqliteSide final : public Side {
 public:
  SqliteSide(std::string path, Durability durability)
      : path_(std::move(path)), synchronous_(durability == Durability::kSync ? "FULL" : "OFF") {}
  ~SqliteSide() override { Close(); }
  const char* name() const override { return "SQLite"; }

  void Insert(const std::vector<std::string>& names, uint32_t commit_every) override {
    Close();
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path_ + suffix);
    if (sqlite3_open(path_.c_str(), &db_) != SQLITE_OK) Fail("sqlite open");
    Exec(("PRAGMA journal_mode=WAL; PRAGMA synchronous=" + synchronous_ +
          "; PRAGMA cache_size=-" + std::to_string(kCacheKiB) + ";")
             .c_str());
    Exec("CREATE TABLE tracks(name TEXT COLLATE NOCASE, id INTEGER, k2 INTEGER, k3 TEXT COLLATE NOCASE, data BLOB);"
         "CREATE INDEX tracks_name ON tracks(name) WHERE name IS NOT NULL;"
         "CREATE INDEX tracks_id ON tracks(id) WHERE id IS NOT NULL;"
         "CREATE INDEX tracks_k2 ON tracks(k2) WHERE k2 IS NOT NULL;"
         "CREATE INDEX tracks_k3 ON tracks(k3) WHERE k3 IS NOT NULL;");
    sqlite3_stmt* insert = Prepare("INSERT INTO tracks(name, id, data) VALUES (?, ?, ?)");
    Exec("BEGIN");
    for (uint32_t id = 0; id < names.size(); ++id) {
      const std::string data = DataOf(id, 0);
      sqlite3_bind_text(insert, 1, names[id].c_str(), static_cast<int>(names[id].size()), SQLITE_STATIC);
      sqlite3_bind_int64(insert, 2, id);
      sqlite3_bind_blob(insert, 3, data.data(), static_cast<int>(data.size()), SQLITE_STATIC);
      if (sqlite3_step(insert) != SQLITE_DONE) Fail("sqlite insert");
      sqlite3_reset(insert);
      if (id % commit_every == commit_every - 1) Exec("COMMIT; BEGIN");
    }
    Exec("COMMIT");
    sqlite3_finalize(insert);
  }

  void Lookup(const std::vector<std::string>& names, const std::vector<uint32_t>& ids) override {
    sqlite3_stmt* find = Prepare("SELECT data FROM tracks WHERE name = ?");
    for (uint32_t id : ids) {
      sqlite3_bind_text(find, 1, names[id].c_str(), static_cast<int>(names[id].size()), SQLITE_STATIC);
      if (sqlite3_step(find) != SQLITE_ROW) Fail("sqlite lookup");
      benchmark::DoNotOptimize(static_cast<const char*>(sqlite3_column_blob(find, 0))[0]);
      sqlite3_reset(find);
    }
    sqlite3_finalize(find);
  }

  uint64_t Iterate() override {
    sqlite3_stmt* all = Prepare("SELECT id, data FROM tracks");
    uint64_t seen = 0;
    while (sqlite3_step(all) == SQLITE_ROW) {
      benchmark::DoNotOptimize(static_cast<const char*>(sqlite3_column_blob(all, 1))[0]);
      ++seen;
    }
    sqlite3_finalize(all);
    return seen;
  }

  // The table in rowid order is already SQLite's file-order visit.
  uint64_t Scan() override { return Iterate(); }

  void Rewrite(const std::vector<std::string>& names, const std::vector<uint32_t>& ids) override {
    Changes("UPDATE tracks SET data = ? WHERE name = ?", ids, [&](sqlite3_stmt* st, uint32_t id) {
      data_ = DataOf(id, 0);
      data_[0] = 'Z';
      sqlite3_bind_blob(st, 1, data_.data(), static_cast<int>(data_.size()), SQLITE_STATIC);
      sqlite3_bind_text(st, 2, names[id].c_str(), static_cast<int>(names[id].size()), SQLITE_STATIC);
    });
  }

  void Remove(const std::vector<std::string>& names, const std::vector<uint32_t>& ids) override {
    Changes("DELETE FROM tracks WHERE name = ?", ids, [&](sqlite3_stmt* st, uint32_t id) {
      sqlite3_bind_text(st, 1, names[id].c_str(), static_cast<int>(names[id].size()), SQLITE_STATIC);
    });
  }

  uint64_t FileSize() override {
    if (db_ != nullptr) Exec("PRAGMA wal_checkpoint(TRUNCATE)");
    return FileBytes(path_) + FileBytes(path_ + "-wal");
  }

 private:
  void Exec(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) Fail(error);
  }

  sqlite3_stmt* Prepare(const char* sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) != SQLITE_OK) Fail(sql);
    return st;
  }

  template <class Bind>
  void Changes(const char* sql, const std::vector<uint32_t>& ids, Bind bind) {
    sqlite3_stmt* statement = Prepare(sql);
    uint32_t done = 0;
    Exec("BEGIN");
    for (uint32_t id : ids) {
      bind(statement, id);
      if (sqlite3_step(statement) != SQLITE_DONE || sqlite3_changes(db_) != 1) Fail(sql);
      sqlite3_reset(statement);
      if (++done % kCommitEvery == 0) Exec("COMMIT; BEGIN");
    }
    Exec("COMMIT");
    sqlite3_finalize(statement);
  }

  void Close() {
    if (db_ != nullptr) sqlite3_close(db_);
    db_ = nullptr;
  }

  std::string path_;
  std::string synchronous_;
  sqlite3* db_ = nullptr;
  std::string data_;  // bound until the statement runs
};

// ---- The cases, and the table of medians ----------------------------------

struct DataSet {
  const char* label;
  std::vector<std::string> names;
  std::vector<uint32_t> lookups, rewrites, removes;
};

const DataSet& Realistic() {
  static const DataSet set{"realistic", RealisticNames(Records()), Shuffled(Records(), Changes(), 1),
                           Shuffled(Records(), Changes(), 2), Shuffled(Records(), Changes(), 3)};
  return set;
}

const DataSet& Colliding() {
  static const DataSet set{"colliding", CollidingNames(Records()), Shuffled(Records(), Changes(), 4), {}, {}};
  return set;
}

// Sides by (durability, data set, side name), kept across the cases of a round.
Side& SideFor(Durability durability, const DataSet& set, bool store) {
  static std::map<std::string, std::unique_ptr<Side>> sides;
  const std::string key = std::string(durability == Durability::kSync ? "sync-" : "nosync-") + set.label +
                          (store ? "-store" : "-sqlite");
  std::unique_ptr<Side>& side = sides[key];
  if (side == nullptr) {
    const std::string path = Dir() + "/" + key + (store ? ".pdb" : ".sqlite");
    if (store) {
      side = std::make_unique<StoreSide>(path, durability);
    } else {
      side = std::make_unique<SqliteSide>(path, durability);
    }
  }
  return *side;
}

struct Case {
  const char* label;
  const DataSet& (*set)();
  bool sync_table;  // runs in the syncing table too
  bool store_only;
  bool size_after;  // the file's size is measured after it (untimed)
  // Runs the case; returns the rows it did.
  uint64_t (*run)(Side& side, const DataSet& set);
};

uint64_t InsertCommittingEvery100(Side& side, const DataSet& set) {
  side.Insert(set.names, kCommitEvery);
  return set.names.size();
}

uint64_t InsertCommittingOnce(Side& side, const DataSet& set) {
  side.Insert(set.names, UINT32_MAX);
  return set.names.size();
}

uint64_t LookUp(Side& side, const DataSet& set) {
  side.Lookup(set.names, set.lookups);
  return set.lookups.size();
}

uint64_t VisitAll(Side& side, const DataSet& set) {
  const uint64_t seen = side.Iterate();
  if (seen != set.names.size()) Fail("iteration missed records");
  return seen;
}

uint64_t ScanAll(Side& side, const DataSet& set) {
  const uint64_t seen = side.Scan();
  if (seen != set.names.size()) Fail("scan missed records");
  return seen;
}

uint64_t RewriteSome(Side& side, const DataSet& set) {
  side.Rewrite(set.names, set.rewrites);
  return set.rewrites.size();
}

uint64_t RemoveSome(Side& side, const DataSet& set) {
  side.Remove(set.names, set.removes);
  return set.removes.size();
}

// In the order they run: each case works on what the one before left.
constexpr Case kCases[] = {
    {"insert", Realistic, true, false, true, InsertCommittingEvery100},
    {"lookup", Realistic, true, false, false, LookUp},
    {"iterate", Realistic, true, false, false, VisitAll},
    {"scan, file order", Realistic, true, false, false, ScanAll},
    {"rewrite", Realistic, true, false, false, RewriteSome},
    {"remove", Realistic, true, false, true, RemoveSome},
    {"insert, one commit", Realistic, false, true, false, InsertCommittingOnce},
    {"insert, colliding names", Colliding, false, false, false, InsertCommittingEvery100},
    {"lookup, colliding names", Colliding, false, false, false, LookUp},
};

// Collects every run and prints, at the end, the median of each case.
class MedianReporter final : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      // Registered as "table/case/side/round n".
      const std::string& name = run.run_name.function_name;
      const std::string key = name.substr(0, name.rfind('/'));
      auto& sample = samples_[key];
      sample.seconds.push_back(run.real_accumulated_time);
      sample.rows = run.counters.at("rows").value;
      if (auto it = run.counters.find("file_MB"); it != run.counters.end()) sample.megabytes.push_back(it->second);
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%u records, %u changes per case, commit every %u, medians of %u rounds\n", Records(), Changes(),
                kCommitEvery, EnvNumber("TAVO_BENCH_ROUNDS", 3));
    std::printf("realistic names: %s\n", CollisionSummary(Realistic().names).c_str());
    std::printf("colliding names: %s\n", CollisionSummary(Colliding().names).c_str());
    for (const char* table : {"sync", "nosync"}) {
      std::printf("\n%s\n", std::string(table) == "sync" ? "Both syncing at every commit (store default; SQLite WAL, synchronous=FULL)"
                                                          : "Neither syncing (kStoreNoSync; SQLite WAL, synchronous=OFF)");
      std::printf("%-26s %14s %14s %9s\n", "case", "store rows/s", "SQLite rows/s", "ratio");
      for (const Case& c : kCases) {
        if (std::string(table) == "sync" && !c.sync_table) continue;
        const double store = Rate(std::string(table) + "/" + c.label + "/store");
        const double sqlite = Rate(std::string(table) + "/" + c.label + "/SQLite");
        if (sqlite > 0) {
          std::printf("%-26s %14.0f %14.0f %8.2fx\n", c.label, store, sqlite, store / sqlite);
        } else {
          std::printf("%-26s %14.0f %14s %9s\n", c.label, store, "-", "-");
        }
      }
      for (const char* label : {"insert", "remove"}) {
        std::printf("file MB after %-8s store %8.1f   SQLite %8.1f\n", label,
                    Megabytes(std::string(table) + "/" + label + "/store"),
                    Megabytes(std::string(table) + "/" + label + "/SQLite"));
      }
    }
  }

 private:
  struct Sample {
    std::vector<double> seconds;
    std::vector<double> megabytes;
    double rows = 0;
  };

  static double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 == 1 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
  }

  double Rate(const std::string& key) const {
    auto it = samples_.find(key);
    return it == samples_.end() ? 0 : it->second.rows / Median(it->second.seconds);
  }

  double Megabytes(const std::string& key) const {
    auto it = samples_.find(key);
    return it == samples_.end() ? 0 : Median(it->second.megabytes);
  }

  std::map<std::string, Sample> samples_;
};

void RegisterRounds() {
  const uint32_t rounds = EnvNumber("TAVO_BENCH_ROUNDS", 3);
  for (uint32_t round = 0; round < rounds; ++round) {
    for (Durability durability : {Durability::kSync, Durability::kNoSync}) {
      const std::string table = durability == Durability::kSync ? "sync" : "nosync";
      for (size_t i = 0; i < std::size(kCases); ++i) {
        const Case& c = kCases[i];
        if (durability == Durability::kSync && !c.sync_table) continue;
        // The sides take turns going first.
        const bool store_first = (round + i) % 2 == 0;
        for (bool store : {store_first, !store_first}) {
          if (!store && c.store_only) continue;
          const std::string name = table + "/" + c.label + "/" + (store ? "store" : "SQLite") + "/round " +
                                   std::to_string(round + 1);
          benchmark::RegisterBenchmark(name.c_str(), [&c, durability, store](benchmark::State& state) {
            const DataSet& set = c.set();
            Side& side = SideFor(durability, set, store);
            uint64_t rows = 0;
            for (auto _ : state) rows = c.run(side, set);
            state.counters["rows"] = static_cast<double>(rows);
            if (c.size_after) state.counters["file_MB"] = static_cast<double>(side.FileSize()) / 1e6;
            state.SetItemsProcessed(static_cast<int64_t>(rows));
          })->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
        }
      }
    }
  }
}

}  // namespace
}  // namespace tavo

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  tavo::RegisterRounds();
  tavo::MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
