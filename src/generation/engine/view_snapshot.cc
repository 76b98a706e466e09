#include "generation/engine/view_snapshot.h"

#include <bit>

namespace tavo {

ViewSnapshot::ViewSnapshot(std::vector<std::shared_ptr<const ViewChunk>> chunks, TextPoolReader texts,
                           uint32_t slot_end, uint32_t live_count)
    : owners_(std::move(chunks)), texts_(std::move(texts)), slot_end_(slot_end), live_count_(live_count) {
  chunks_.reserve(owners_.size());
  for (const auto& chunk : owners_) chunks_.push_back(chunk.get());
}

std::vector<uint32_t> ViewSnapshot::LiveSlots() const {
  std::vector<uint32_t> slots;
  slots.reserve(live_count_);
  for (uint32_t c = 0; c < chunks_.size(); ++c) {
    const ViewChunk& chunk = *chunks_[c];
    for (uint32_t w = 0; w < chunk.live.size(); ++w) {
      for (uint64_t bits = chunk.live[w]; bits != 0; bits &= bits - 1) {
        slots.push_back((c << kChunkBits) | (w << 6) | static_cast<uint32_t>(std::countr_zero(bits)));
      }
    }
  }
  return slots;
}

}  // namespace tavo
