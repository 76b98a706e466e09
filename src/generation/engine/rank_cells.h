// Rank values: what an accepted track carries into ranking, one cell per
// rank entry of the generator (in rank order).
//
//   number     the track's number for the field (a day number for dates;
//              0 without a value)
//   text       the track's folded text (string fields; empty without one)
//   score      999999 unless a matching criterion on the field gave a
//              non-zero score
//   use_score  a matching criterion on the field was "is similar to",
//              "is in the last" or "is not in the last"
//
// Comparing two tracks, cell by cell: the score difference when either cell
// uses its score, else the folded texts (equal when either is missing),
// else the numbers; the ascending order (0x100000) reverses the difference,
// so it lists the highest first. The first difference decides; when none
// does, the track with more matches comes first.
#ifndef TAVO_GENERATION_ENGINE_RANK_CELLS_H_
#define TAVO_GENERATION_ENGINE_RANK_CELLS_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "generation/engine/field_reader.h"
#include "generation/records/generator_record.h"

namespace tavo {

inline constexpr int64_t kNoScore = 999999;

struct RankCell {
  int64_t number = 0;
  int64_t score = kNoScore;
  std::string_view text;
  bool has_text = false;
  bool use_score = false;
};

struct RankColumn {
  int32_t field = 0;
  bool descending_first = false;  // rank order 0x100000: highest first
  bool text = false;              // a string field
};

class RankTable {
 public:
  RankTable(const ViewSnapshot& view, const std::vector<RankEntry>& entries);

  size_t width() const { return columns_.size(); }
  const std::vector<RankColumn>& columns() const { return columns_; }
  // The cells of a track's values (scores unset). Throws std::bad_alloc.
  void Fill(uint32_t slot, RankCell* cells);
  // < 0 when a ranks before b, 0 when they rank equal.
  int Compare(const RankCell* a, uint32_t a_matches, const RankCell* b, uint32_t b_matches) const;

 private:
  std::vector<RankColumn> columns_;
  std::vector<FieldReader> readers_;
  std::vector<std::unique_ptr<std::string>> folded_;  // texts folded on the fly (file names)
  std::string scratch_;
};

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_RANK_CELLS_H_
