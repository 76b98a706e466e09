#include "manager/search/index_walk.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_set>

#include "storage/library/store_records.h"

namespace tavo {
namespace {

using Kind = IndexTest::Kind;

// Gathers the identifiers of passing entries in walk order.
class Matches {
 public:
  Matches(const std::vector<IndexTest>& tests, std::vector<uint32_t>* ids) : tests_(tests), ids_(ids) {}

  // Keeps the entry's identifier when the entry passes every test.
  void Offer(const IndexEntry& entry) {
    if (!PassesAll(tests_, entry) || entry.values[kIndexKeyId].size() != 4) return;
    uint32_t id;
    std::memcpy(&id, entry.values[kIndexKeyId].data(), 4);
    ids_->push_back(id);
  }

 private:
  const std::vector<IndexTest>& tests_;
  std::vector<uint32_t>* ids_;
};

// Drops every identifier met before, keeping the order. An entry is met
// twice only when a write moved it during the walk, so the check runs on a
// sorted copy (4 bytes a match) and the set is built only when it finds one.
void KeepFirstOfEach(std::vector<uint32_t>* ids) {
  std::vector<uint32_t> sorted = *ids;
  std::sort(sorted.begin(), sorted.end());
  if (std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end()) return;
  std::unordered_set<uint32_t> seen;
  std::erase_if(*ids, [&](uint32_t id) { return !seen.insert(id).second; });
}

// Visits the records of `key` whose value equals `value`, or every record of
// the key when `value` is null, in tree order; `visit` returns false to stop.
template <typename Visit>
LibraryStatus WalkIndex(StoreFile* index, IndexKey key, const std::string* value, Visit&& visit) {
  StoreIteration* it = nullptr;
  StoreRecord* raw = nullptr;
  StoreStatus s = Store_FindFirst(index, &it, &raw, key, value != nullptr ? value->data() : nullptr,
                                  value != nullptr ? static_cast<uint32_t>(value->size()) : 0);
  while (s == kStoreOk) {
    const StoreRecordPtr record = AdoptRecord(index, raw);
    if (!visit(IndexEntry_FromRecord(*record))) break;
    s = Store_FindNext(index, it, &raw);
  }
  if (it != nullptr) Store_EndFind(index, it);
  return s == kStoreNotFound ? kLibraryOk : s;
}

// The value of a numeric test as its key stores it, when it has one.
bool StoredWord(const IndexTest& test, int64_t value, std::string* word) {
  const bool fits =
      test.kind == Kind::kSigned ? value >= INT32_MIN && value <= INT32_MAX : value >= 0 && value <= UINT32_MAX;
  if (fits) *word = IndexTest::Word(static_cast<uint32_t>(value));
  return fits;
}

// A walk of the key in ascending word order may stop past `hi` when every
// word after a value above `hi` is above it too: always for unsigned words;
// for signed ones only when the range holds no negative value.
bool OrderEndsRange(const IndexTest& test) { return test.kind == Kind::kUnsigned || test.lo >= 0; }

int64_t ValueOf(const IndexTest& test, const IndexEntry& entry) {
  uint32_t word = 0;
  const std::string& stored = entry.values[test.key];
  if (stored.size() == 4) std::memcpy(&word, stored.data(), 4);
  return test.kind == Kind::kSigned ? int64_t{static_cast<int32_t>(word)} : int64_t{word};
}

LibraryStatus WalkRange(StoreFile* index, const IndexTest& drive, Matches& matches) {
  if (drive.lo > drive.hi) return kLibraryOk;
  const auto offer = [&](const IndexEntry& entry) {
    matches.Offer(entry);
    return true;
  };
  if (drive.hi - drive.lo < kProbedRangeWidth) {
    for (int64_t v = drive.lo; v <= drive.hi; ++v) {
      std::string word;
      if (!StoredWord(drive, v, &word)) continue;
      if (LibraryStatus s = WalkIndex(index, drive.key, &word, offer); s != kLibraryOk) return s;
    }
    return kLibraryOk;
  }
  const bool can_stop = OrderEndsRange(drive);
  return WalkIndex(index, drive.key, nullptr, [&](const IndexEntry& entry) {
    if (can_stop && ValueOf(drive, entry) > drive.hi) return false;
    matches.Offer(entry);
    return true;
  });
}

}  // namespace

LibraryStatus IndexWalk_Find(LibraryDatabase* db, const std::vector<IndexTest>& tests, std::vector<uint32_t>* ids) try {
  StoreFile* index = db != nullptr ? LibraryDatabase_IndexFile(db) : nullptr;
  if (index == nullptr || ids == nullptr) return kLibraryInvalidArgument;
  ids->clear();
  Matches matches(tests, ids);
  const auto offer = [&](const IndexEntry& entry) {
    matches.Offer(entry);
    return true;
  };
  LibraryStatus s = kLibraryOk;
  if (tests.empty()) {
    s = WalkIndex(index, kIndexKeyId, nullptr, offer);
  } else if (const IndexTest& drive = tests.front(); drive.kind == Kind::kText) {
    s = WalkIndex(index, drive.key, &drive.text, offer);
  } else {
    s = WalkRange(index, drive, matches);
  }
  if (s == kLibraryOk) KeepFirstOfEach(ids);
  return s;
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

}  // namespace tavo
