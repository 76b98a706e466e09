// The filter of a library search: what the host sets on a find-data object,
// and the tests it makes of a track's index entry (index_entry.h).
//
//   CRITERION    INDEX KEY  TEST                                   NO TEST WHEN
//   artist       1          equal to "ART", letter case ignored   empty
//   album        10         equal to "ALB", letter case ignored   empty
//   keyword      5          equal to the keyword text             empty
//   genre        3          equal                                 0
//   year         4          start <= year <= end (signed)         not set, or both bounds 0
//   plays        6          start <= plays <= end (unsigned)      not set, or both bounds 0
//   last played  7          start <= packed date <= end (unsigned) not set
//   rating       9          start <= rating <= end (signed)       not set
//
// The tests come out in this order, which is also the order of preference
// for the one that drives the walk: a criterion that tests nothing never
// drives it, and with no test at all every track matches. An entry without
// a value for a tested key fails that test.
#ifndef TAVO_MANAGER_SEARCH_FIND_FILTER_H_
#define TAVO_MANAGER_SEARCH_FIND_FILTER_H_

#include <cstdint>
#include <string>
#include <vector>

#include "storage/library/index_entry.h"

namespace tavo {

// A numeric range as the host set it.
struct FindRange {
  bool set = false;
  int64_t start = 0;
  int64_t end = 0;

  bool operator==(const FindRange&) const = default;
};

struct FindFilter {
  std::string artist;  // UTF-8; empty: no criterion
  std::string album;
  std::string keyword;
  int32_t genre = 0;  // 0: no criterion
  FindRange year;
  FindRange plays;
  FindRange last_played;  // packed record dates
  FindRange rating;

  bool operator==(const FindFilter&) const = default;
};

// One test of an index entry's key.
struct IndexTest {
  enum class Kind : uint8_t {
    kText,      // the key's text equals `text` as the index compares texts
    kUnsigned,  // lo <= the key's word <= hi
    kSigned,    // lo <= the key's word read as signed <= hi
  };
  IndexKey key;
  Kind kind;
  std::string text;  // kText: the index form (lowered, with its zero)
  int64_t lo = 0;
  int64_t hi = 0;

  bool Passes(const IndexEntry& entry) const;
  // For numeric tests: the stored form of `value` (a native word).
  static std::string Word(uint32_t value);
};

// The tests `filter` makes, in the order of preference for driving a walk.
std::vector<IndexTest> FindFilter_Tests(const FindFilter& filter);

bool PassesAll(const std::vector<IndexTest>& tests, const IndexEntry& entry);

}  // namespace tavo

#endif  // TAVO_MANAGER_SEARCH_FIND_FILTER_H_
