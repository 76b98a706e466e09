#include "manager/search/find_filter.h"

#include <cstring>

#include "storage/store/key_code.h"

namespace tavo {
namespace {

using Kind = IndexTest::Kind;

struct TextCriterion {
  std::string FindFilter::*value;
  IndexKey key;
};

// Year and plays ranges of 0 to 0 test nothing; a rating or last-played
// range of 0 to 0 finds the unrated and the never played tracks.
struct RangeCriterion {
  FindRange FindFilter::*range;
  IndexKey key;
  Kind kind;
  bool zero_bounds_test;
};

// Both tables are in the order of preference for driving a walk; the genre
// comes between them.
constexpr TextCriterion kTextCriteria[] = {
    {&FindFilter::artist, kIndexKeyArtist},
    {&FindFilter::album, kIndexKeyAlbum},
    {&FindFilter::keyword, kIndexKeyUnused},  // the keyword key: never filled by the library
};

constexpr RangeCriterion kRangeCriteria[] = {
    {&FindFilter::year, kIndexKeyYear, Kind::kSigned, false},
    {&FindFilter::plays, kIndexKeyPlays, Kind::kUnsigned, false},
    {&FindFilter::last_played, kIndexKeyLastPlayed, Kind::kUnsigned, true},
    {&FindFilter::rating, kIndexKeyRating, Kind::kSigned, true},
};

bool TestsSomething(const FindRange& range, bool zero_bounds_test) {
  return range.set && (zero_bounds_test || range.start != 0 || range.end != 0);
}

}  // namespace

std::string IndexTest::Word(uint32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

bool IndexTest::Passes(const IndexEntry& entry) const {
  const std::string& stored = entry.values[key];
  if (kind == Kind::kText) {
    return KeyValuesEqual(kKeyMethodText, reinterpret_cast<const uint8_t*>(stored.data()),
                          static_cast<uint32_t>(stored.size()), reinterpret_cast<const uint8_t*>(text.data()),
                          static_cast<uint32_t>(text.size()));
  }
  if (stored.size() != 4) return false;  // no value for the key
  uint32_t word;
  std::memcpy(&word, stored.data(), 4);
  const int64_t value = kind == Kind::kSigned ? int64_t{static_cast<int32_t>(word)} : int64_t{word};
  return lo <= value && value <= hi;
}

std::vector<IndexTest> FindFilter_Tests(const FindFilter& filter) {
  std::vector<IndexTest> tests;
  for (const TextCriterion& c : kTextCriteria) {
    const std::string& value = filter.*c.value;
    if (!value.empty()) tests.push_back({c.key, Kind::kText, IndexText(value.c_str())});
  }
  if (filter.genre != 0) tests.push_back({kIndexKeyGenreV2, Kind::kSigned, {}, filter.genre, filter.genre});
  for (const RangeCriterion& c : kRangeCriteria) {
    const FindRange& range = filter.*c.range;
    if (TestsSomething(range, c.zero_bounds_test)) tests.push_back({c.key, c.kind, {}, range.start, range.end});
  }
  return tests;
}

bool PassesAll(const std::vector<IndexTest>& tests, const IndexEntry& entry) {
  for (const IndexTest& test : tests) {
    if (!test.Passes(entry)) return false;
  }
  return true;
}

}  // namespace tavo
