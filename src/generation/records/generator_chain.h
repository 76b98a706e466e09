// GeneratorChain: the ordered generator records of one generator list (the
// preset list, the user list, a list read from a file).
//
// Records are shared (std::shared_ptr) with the automation views handed out
// for them; a record is in at most one chain at a time, and a record that
// leaves the chain lives on for as long as a view holds it.
#ifndef TAVO_GENERATION_RECORDS_GENERATOR_CHAIN_H_
#define TAVO_GENERATION_RECORDS_GENERATOR_CHAIN_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "generation/records/generator_record.h"

namespace tavo {

using GeneratorPtr = std::shared_ptr<GeneratorRecord>;

class GeneratorChain {
 public:
  GeneratorChain() = default;
  ~GeneratorChain();
  GeneratorChain(GeneratorChain&& other) noexcept = default;
  GeneratorChain& operator=(GeneratorChain&& other) noexcept;
  GeneratorChain(const GeneratorChain&) = delete;
  GeneratorChain& operator=(const GeneratorChain&) = delete;

  const std::vector<GeneratorPtr>& records() const { return records_; }
  size_t size() const { return records_.size(); }
  GeneratorPtr At(size_t index) const { return index < records_.size() ? records_[index] : nullptr; }

  // Links `record` (no copy) in front of the record at the 0-based
  // `position`; a position below 1, or one past the end, appends. `*used`
  // (optional) receives the position the record took. kGenBadArgument for a
  // null or already linked record or a full chain.
  GenStatus Insert(GeneratorPtr record, int32_t position, int32_t* used);
  GenStatus Append(GeneratorPtr record) { return Insert(std::move(record), -1, nullptr); }
  // kGenNotFound when the chain does not hold `record`.
  GenStatus Remove(const GeneratorRecord* record);

 private:
  void UnlinkAll();

  std::vector<GeneratorPtr> records_;
};

}  // namespace tavo

#endif  // TAVO_GENERATION_RECORDS_GENERATOR_CHAIN_H_
