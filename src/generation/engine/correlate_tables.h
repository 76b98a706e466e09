// CorrelateTables: the correlate tables one run reads, each read from the
// database's correlates store once and kept for the run. A genre without a
// stored table (or a run without a database) has an empty table.
//
// The correlates store is not thread safe: a run reads it only while it
// prepares its criteria (before the scan: criterion_test.h), and the
// manager keeps a correlates download from overlapping a run.
#ifndef TAVO_GENERATION_ENGINE_CORRELATE_TABLES_H_
#define TAVO_GENERATION_ENGINE_CORRELATE_TABLES_H_

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "storage/library/correlates_store.h"

namespace tavo {

class CorrelateTables {
 public:
  explicit CorrelateTables(CorrelatesStore* store) : store_(store) {}

  // The weight of `related` in the table of `genre` (its first entry there); 0
  // when the table has none. Throws std::bad_alloc.
  int64_t Weight(int32_t genre, int32_t related);

 private:
  const std::vector<CorrelateEntry>& Table(int32_t genre);

  CorrelatesStore* store_;
  std::unordered_map<int32_t, std::vector<CorrelateEntry>> tables_;
};

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_CORRELATE_TABLES_H_
