// Random inserts, in-place rewrites, replacements and removes checked against
// a std::map, ending with a deep Store_Verify of the file.
#include <algorithm>
#include <map>
#include <random>

#include "store_test_util.h"

namespace tavo::testing {
namespace {

constexpr uint32_t kOperations = kSanitizedBuild ? 100'000 : 1'000'000;

struct Track {
  std::string name;
  std::string data;
};

std::string MakeData(std::mt19937& rng, uint32_t id) {
  std::string data(40 + rng() % 200, static_cast<char>('a' + id % 26));
  std::memcpy(data.data(), &id, 4);
  return data;
}

// Where the ids of the operations come from.
enum class Ids {
  // from a range about twice the live count, so every kind of operation
  // keeps meeting both present and absent ids;
  kScattered,
  // just around the largest id so far: mostly appended at the right edge of
  // the id tree, whose last entries are removed and entered again.
  kGrowing,
};

void RunAgainstAMap(const std::string& name, Ids ids) {
  const std::string path = ScratchPath(name);
  StoreFile* file = nullptr;
  const StoreFileDef def = TrackLikeDef();
  // Durability is not the point here: commits skip fdatasync.
  ASSERT_EQ(Store_Create(&file, path, kStoreReadWrite | kStoreNoSync, &def, BigEndianType()), kStoreOk);
  std::mt19937 rng(20240611);
  std::map<uint32_t, Track> model;
  const uint32_t id_range = std::max<uint32_t>(1000, kOperations / 50);
  uint32_t top = 0;  // the largest id entered
  for (uint32_t op = 0; op < kOperations; ++op) {
    const uint32_t id = ids == Ids::kScattered ? rng() % id_range : top + 1 - std::min<uint32_t>(top, rng() % 8);
    top = std::max(top, id);
    const auto it = model.find(id);
    const uint32_t dice = rng() % 10;
    if (it == model.end()) {
      if (dice < 2) {  // an absent id is not found
        StoreStatus s;
        FindData(file, 1, &id, 4, &s);
        ASSERT_EQ(s, kStoreNotFound) << op;
        continue;
      }
      Track track{"Track " + std::to_string(id) + ".MP3", MakeData(rng, id)};
      ASSERT_EQ(InsertTrack(file, track.name, id, track.data), kStoreOk) << op;
      model.emplace(id, std::move(track));
    } else {
      StoreRecord* record = nullptr;
      // Found by text key with other letter case, or by integer key.
      if (dice % 2 == 0) {
        std::string lower = "track " + std::to_string(id) + ".mp3";
        ASSERT_EQ(Store_Find(file, &record, 0, lower.c_str(), static_cast<uint32_t>(lower.size() + 1)), kStoreOk);
      } else {
        ASSERT_EQ(Store_Find(file, &record, 1, &id, 4), kStoreOk) << op;
      }
      ASSERT_EQ(std::string(reinterpret_cast<const char*>(record->data()), record->data_length()), it->second.data)
          << op;
      if (dice < 3) {  // rewrite in place
        std::string data = it->second.data;
        data[4 + rng() % (data.size() - 4)] = static_cast<char>(rng());
        ASSERT_EQ(Store_Rewrite(file, record, data.data(), static_cast<uint32_t>(data.size())), kStoreOk);
        it->second.data = data;
      } else if (dice < 6) {  // replace with data of another length
        ASSERT_EQ(Store_Remove(file, record), kStoreOk) << op;
        it->second.data = MakeData(rng, id);
        ASSERT_EQ(InsertTrack(file, it->second.name, id, it->second.data), kStoreOk) << op;
      } else if (dice < 9) {
        ASSERT_EQ(Store_Remove(file, record), kStoreOk) << op;
        model.erase(it);
      }
      Store_FreeRecord(file, record);
    }
    if (op % 100 == 99) {
      ASSERT_EQ(Store_Flush(file), kStoreOk);
    }
  }
  // The whole key 1 in order is exactly the model.
  auto expected = model.begin();
  StoreIteration* iteration = nullptr;
  StoreRecord* record = nullptr;
  StoreStatus s = Store_FindFirst(file, &iteration, &record, 1, nullptr, 0);
  for (; s == kStoreOk; s = Store_FindNext(file, iteration, &record)) {
    ASSERT_NE(expected, model.end());
    uint32_t id;
    std::memcpy(&id, record->key_value(1), 4);
    ASSERT_EQ(id, expected->first);
    ASSERT_EQ(std::string(reinterpret_cast<const char*>(record->data()), record->data_length()),
              expected->second.data);
    Store_FreeRecord(file, record);
    ++expected;
  }
  EXPECT_EQ(s, kStoreNotFound);
  EXPECT_EQ(expected, model.end());
  Store_EndFind(file, iteration);
  ASSERT_EQ(Store_Close(file), kStoreOk);
  EXPECT_EQ(Store_Verify(path, kStoreRead, BigEndianType(), StoreVerifyDepth::kDeep), kStoreOk);
}

TEST(StoreModel, MillionRandomOperationsAgainstAMap) { RunAgainstAMap("model.pdb", Ids::kScattered); }

TEST(StoreModel, MillionOperationsAtTheRightEdgeAgainstAMap) { RunAgainstAMap("model-growing.pdb", Ids::kGrowing); }

}  // namespace
}  // namespace tavo::testing
