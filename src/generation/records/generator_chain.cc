#include "generation/records/generator_chain.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace tavo {
namespace {

// The list object reports its count as a signed 16-bit number.
constexpr size_t kMaxGenerators = std::numeric_limits<int16_t>::max();

}  // namespace

GeneratorChain::~GeneratorChain() { UnlinkAll(); }

GeneratorChain& GeneratorChain::operator=(GeneratorChain&& other) noexcept {
  if (this != &other) {
    UnlinkAll();
    records_ = std::move(other.records_);
    other.records_.clear();
  }
  return *this;
}

void GeneratorChain::UnlinkAll() {
  for (GeneratorPtr& r : records_) r->linked_ = false;
  records_.clear();
}

GenStatus GeneratorChain::Insert(GeneratorPtr record, int32_t position, int32_t* used) {
  if (record == nullptr || record->linked_ || records_.size() >= kMaxGenerators) return kGenBadArgument;
  // Position 0 appends as well: the list's insertion point counts from 1.
  const size_t at = position < 1 || static_cast<size_t>(position) >= records_.size() ? records_.size()
                                                                                     : static_cast<size_t>(position);
  record->linked_ = true;
  records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(at), std::move(record));
  if (used) *used = static_cast<int32_t>(at);
  return kGenOk;
}

GenStatus GeneratorChain::Remove(const GeneratorRecord* record) {
  auto it =
      std::find_if(records_.begin(), records_.end(), [record](const GeneratorPtr& r) { return r.get() == record; });
  if (record == nullptr || it == records_.end()) return kGenNotFound;
  (*it)->linked_ = false;
  records_.erase(it);
  return kGenOk;
}

}  // namespace tavo
