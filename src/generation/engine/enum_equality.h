// EnumEquality: "is equal to" on an enumerated field (operator 16, and its
// negations 10 and 17) for one parameter p1, with the rules of the fields
// that name list items:
//
//   FIELDS          TEST                                     LIST
//   37              start <= v <= end of range p1            popularity ranges
//   22, 33          the range's percent bounds scaled onto   popularity ranges
//                   0..1,000,000,000 (25 gives 250,000,000)
//   35              v = p1, or v lies under p1               eras
//   30, 34          v = p1, or v lies under p1               origins
//   18, 19, 31, 32  v = p1, or v lies under p1               genres
//   others          v = p1
//
// Without the list only v = p1 holds; a range id the list does not hold
// never matches.
#ifndef TAVO_GENERATION_ENGINE_ENUM_EQUALITY_H_
#define TAVO_GENERATION_ENGINE_ENUM_EQUALITY_H_

#include <cstdint>
#include <unordered_map>

#include "generation/engine/run_lists.h"

namespace tavo {

// A percentage of the popularity scale 0..1,000,000,000, computed in double
// precision and truncated toward zero.
int64_t ScalePercent(int64_t percent) noexcept;

class EnumEquality {
 public:
  EnumEquality(int32_t field, int64_t p1, const RunLists& lists);
  // Throws std::bad_alloc (hierarchy answers are remembered).
  bool Holds(int64_t v);

 private:
  enum class Rule { kEqual, kRange, kNever, kUnder };
  Rule rule_ = Rule::kEqual;
  int64_t p1_;
  int64_t low_ = 0;
  int64_t high_ = 0;
  const DescriptorList* list_ = nullptr;
  std::unordered_map<int64_t, bool> under_;
};

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_ENUM_EQUALITY_H_
