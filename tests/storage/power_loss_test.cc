// Power loss at any moment: thousands of random operation sequences run on a
// store in memory through a FaultEnv that stops the machine after a random
// number of steps and then drops every write not yet made durable (or lets
// a torn part of it land, or a random part of every one). Each time the file
// must open and verify, hold exactly what the last completed flush committed
// (or, when the power went out inside a flush, what that flush committed),
// and take changes again.
//
// TAVO_POWER_LOSS_SECONDS=3600 runs sequences for that long instead of the
// fixed count; TAVO_POWER_LOSS_SEED=n starts at sequence n (to replay one).
#include <array>
#include <chrono>
#include <cstdlib>
#include <map>
#include <optional>
#include <random>
#include <set>

#include "storage/store/key_code.h"
#include "storage/store/pager.h"
#include "store_test_util.h"
#include "support/env/fault_env.h"
#include "support/env/mem_env.h"

namespace tavo::testing {
namespace {

constexpr uint32_t kSequences = kSanitizedBuild ? 600 : 3000;

const std::string kPath = "/db/power.pdb";

struct Track {
  std::string name;
  std::string album;
  std::string data;
};

// What the file holds: tracks by id, and the user block.
struct State {
  std::map<uint32_t, Track> tracks;
  std::string user_block;
  bool operator==(const State&) const = default;
};

bool operator==(const Track& a, const Track& b) {
  return a.name == b.name && a.album == b.album && a.data == b.data;
}

// Distinct file names, many in groups that share a key code, so that records
// are held in digest trees; albums are few, so that equal values share one.
const std::vector<std::string>& Names() {
  static const std::vector<std::string> names = [] {
    std::map<uint32_t, std::vector<std::string>> by_code;
    for (uint32_t n = 100; n < 1000; ++n) {
      const std::string name = "Artist " + std::to_string(n) + " - Title " + std::to_string(n) + ".mp3";
      by_code[KeyCode(kKeyMethodText, reinterpret_cast<const uint8_t*>(name.c_str()),
                      static_cast<uint32_t>(name.size() + 1))]
          .push_back(name);
    }
    // These names fall into seven codes: ten of each.
    std::vector<std::string> pool;
    for (const auto& [code, group] : by_code) {
      pool.insert(pool.end(), group.begin(), group.begin() + std::min<size_t>(10, group.size()));
    }
    return pool;
  }();
  return names;
}

const char* const kAlbums[] = {"Album One", "ALBUM ONE", "Second"};

StoreStatus InsertFull(StoreFile* file, uint32_t id, const Track& track) {
  StoreRecord* r = nullptr;
  const uint32_t rating = id % 3;
  const uint32_t name_length = static_cast<uint32_t>(track.name.size() + 1);
  const uint32_t album_length = static_cast<uint32_t>(track.album.size() + 1);
  StoreStatus s = Store_NewRecord(file, &r, track.data.data(), static_cast<uint32_t>(track.data.size()),
                                  name_length + album_length + 8);
  if (s == kStoreOk) s = Store_SetKey(file, r, 0, track.name.c_str(), name_length);
  if (s == kStoreOk) s = Store_SetKey(file, r, 1, &id, 4);
  if (s == kStoreOk) s = Store_SetKey(file, r, 2, &rating, 4);
  if (s == kStoreOk) s = Store_SetKey(file, r, 3, track.album.c_str(), album_length);
  if (s == kStoreOk) s = Store_Insert(file, r);
  Store_FreeRecord(file, r);
  return s;
}

// Reads the whole file back, checking every record against its keys.
std::optional<State> ReadState(StoreFile* file) {
  State state;
  bool found_by_name = true;
  const StoreStatus s = ForEachRecord(file, 1, [&](const StoreRecord& r) {
    uint32_t id;
    std::memcpy(&id, r.key_value(1), 4);
    Track track{reinterpret_cast<const char*>(r.key_value(0)), reinterpret_cast<const char*>(r.key_value(3)),
                std::string(reinterpret_cast<const char*>(r.data()), r.data_length())};
    found_by_name &= FindByName(file, track.name) == track.data;
    state.tracks.emplace(id, std::move(track));
  });
  if (s != kStoreNotFound || !found_by_name) return std::nullopt;
  uint8_t* block = nullptr;
  uint32_t length = 0;
  if (Store_ReadUserBlock(file, &block, &length) == kStoreOk) {
    state.user_block.assign(reinterpret_cast<const char*>(block), length);
    Store_FreeUserBlock(file, block);
  }
  return state;
}

std::string Describe(const State& s) {
  std::string text = std::to_string(s.tracks.size()) + " tracks:";
  for (const auto& [id, t] : s.tracks) text += " " + std::to_string(id) + "=" + std::to_string(t.data.size());
  return text + " block " + s.user_block;
}

struct Outcome {
  bool created = false;            // Store_Create returned
  State committed;                 // as of the last flush that returned
  std::optional<State> in_flight;  // the flush the power cut, whichever way it went
};

// One sequence: random changes and flushes until the machine stops or the
// sequence ends (then it stops before anything more is flushed). Half the
// sequences start on a file that an earlier session created and closed, so
// that the session's first flush starts a new log.
Outcome RunUntilPowerLoss(FaultEnv* env, std::mt19937_64& rng) {
  Outcome out;
  StoreFileDef def = TrackLikeDef(16);
  def.node_size = std::array<uint32_t, 3>{40, 64, 256}[rng() % 3];
  StoreFile* file = nullptr;
  State current;
  if (rng() % 2 == 0) {
    if (Store_Create(&file, kPath, kStoreReadWrite, &def, BigEndianType(), env) != kStoreOk) return out;
    for (uint32_t id = 0; id < 60; id += 1 + rng() % 4) {
      Track track{Names()[id % Names().size()], kAlbums[rng() % 3], std::string(8 + rng() % 300, 'e')};
      if (InsertFull(file, id, track) != kStoreOk) return out;
      current.tracks.emplace(id, std::move(track));
    }
    if (Store_Close(file) != kStoreOk) return out;
    out.created = true;
    out.committed = current;
    env->StopAfter(rng() % 400);
    if (Store_Open(&file, kPath, kStoreReadWrite, BigEndianType(), env) != kStoreOk) return out;
  } else {
    env->StopAfter(rng() % 400);
    if (Store_Create(&file, kPath, kStoreReadWrite, &def, BigEndianType(), env) != kStoreOk) return out;
    out.created = true;
  }
  const uint32_t operations = 10 + rng() % 150;
  const uint32_t flush_every = 1 + rng() % 20;
  for (uint32_t op = 0; op < operations && !env->stopped(); ++op) {
    const uint32_t id = static_cast<uint32_t>(rng() % 60);
    const auto it = current.tracks.find(id);
    const uint32_t dice = rng() % 10;
    StoreRecord* record = nullptr;
    if (it != current.tracks.end() && Store_Find(file, &record, 1, &id, 4) != kStoreOk) break;
    if (it == current.tracks.end()) {
      Track track{Names()[id % Names().size()], kAlbums[rng() % 3], std::string(8 + rng() % 300, 'a' + id % 26)};
      if (InsertFull(file, id, track) != kStoreOk) break;
      current.tracks.emplace(id, std::move(track));
    } else if (dice < 3) {
      std::string data = it->second.data;
      data[rng() % data.size()] = static_cast<char>('A' + rng() % 26);
      if (Store_Rewrite(file, record, data.data(), static_cast<uint32_t>(data.size())) != kStoreOk) break;
      it->second.data = data;
    } else if (dice < 5) {
      Track track = it->second;
      track.data.assign(8 + rng() % 300, 'a' + rng() % 26);
      if (Store_Remove(file, record) != kStoreOk || InsertFull(file, id, track) != kStoreOk) break;
      it->second = std::move(track);
    } else if (dice < 8) {
      if (Store_Remove(file, record) != kStoreOk) break;
      current.tracks.erase(it);
    } else {
      const std::string block(16, static_cast<char>('0' + rng() % 10));
      if (Store_WriteUserBlock(file, block.data(), 16) != kStoreOk) break;
      current.user_block = block;
    }
    Store_FreeRecord(file, record);
    if (op % flush_every == flush_every - 1) {
      if (Store_Flush(file) != kStoreOk) {
        out.in_flight = current;
        break;
      }
      out.committed = current;
    }
  }
  env->StopAfter(0);  // nothing more reaches the disk
  Store_Close(file);
  return out;
}


// Checks the file after the loss; returns an empty string or what is wrong.
std::string CheckAfterLoss(FaultEnv* env, MemEnv* disk, const Outcome& outcome, std::mt19937_64& rng) {
  StoreFile* file = nullptr;
  const StoreStatus opened = Store_Open(&file, kPath, kStoreReadWrite, BigEndianType(), env);
  if (!outcome.created) {
    // Cut while being created: absent, too short to be a store, or empty.
    if (opened != kStoreOk) {
      return opened == kStoreNotFound || opened == kStoreHeaderUnreadable ? "" : "open " + std::to_string(opened);
    }
  } else if (opened != kStoreOk) {
    return "open failed: " + std::to_string(opened);
  }
  std::optional<State> found = ReadState(file);
  if (!found) return "records disagree with their keys";
  const State expected = outcome.created ? outcome.committed : State{};
  if (*found != expected && !(outcome.in_flight && *found == *outcome.in_flight)) {
    return "holds " + Describe(*found) + "; expected " + Describe(expected) +
           (outcome.in_flight ? " or " + Describe(*outcome.in_flight) : "");
  }
  // The recovered file takes changes and verifies after them.
  for (uint32_t i = 0; i < 20; ++i) {
    const uint32_t id = 100 + i;
    if (InsertFull(file, id, {Names()[rng() % Names().size()], kAlbums[i % 3], "again"}) != kStoreOk) {
      return "insert after recovery failed";
    }
  }
  if (Store_Close(file) != kStoreOk) return "close after recovery failed";
  if (disk->files.count(kPath + "-log") != 0) return "log left after a clean close";
  if (StoreStatus s = Store_Verify(kPath, kStoreRead, BigEndianType(), StoreVerifyDepth::kDeep, env); s != kStoreOk) {
    return "verify after recovery: " + std::to_string(s);
  }
  return "";
}

TEST(StorePowerLoss, FileHoldsTheLastCommitAfterEveryLoss) {
  const char* seconds_text = std::getenv("TAVO_POWER_LOSS_SECONDS");
  const double seconds = seconds_text != nullptr ? std::atof(seconds_text) : 0;
  const auto start = std::chrono::steady_clock::now();
  const FaultEnv::PowerLoss modes[] = {FaultEnv::PowerLoss::kDropUnsynced, FaultEnv::PowerLoss::kTearLast,
                                       FaultEnv::PowerLoss::kKeepSome};
  uint64_t sequences = 0, cut_in_flush = 0;
  const char* first_seed = std::getenv("TAVO_POWER_LOSS_SEED");
  for (uint64_t seed = first_seed != nullptr ? std::strtoull(first_seed, nullptr, 10) : 1;; ++seed) {
    if (seconds > 0 ? std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >= seconds
                    : seed > kSequences) {
      break;
    }
    MemEnv disk;
    FaultEnv env(&disk);
    // Every other sequence starts its log over at almost every commit.
    Pager::SetCheckpointBytesForTesting(seed % 2 == 0 ? 1024 : Pager::kDefaultCheckpointBytes);
    std::mt19937_64 rng(seed);
    const Outcome outcome = RunUntilPowerLoss(&env, rng);
    env.LosePower(modes[seed % 3], seed);
    const std::string fault = CheckAfterLoss(&env, &disk, outcome, rng);
    ASSERT_EQ(fault, "") << "seed " << seed << ", power loss mode " << seed % 3;
    ++sequences;
    cut_in_flush += outcome.in_flight.has_value();
  }
  Pager::SetCheckpointBytesForTesting(Pager::kDefaultCheckpointBytes);
  RecordProperty("sequences", static_cast<int>(sequences));
  RecordProperty("cut_inside_a_flush", static_cast<int>(cut_in_flush));
  std::printf("power loss: %llu sequences, %llu cut inside a flush\n", static_cast<unsigned long long>(sequences),
              static_cast<unsigned long long>(cut_in_flush));
  EXPECT_GT(cut_in_flush, sequences / 20);
}

}  // namespace
}  // namespace tavo::testing
