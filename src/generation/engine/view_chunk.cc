#include "generation/engine/view_chunk.h"

#include <algorithm>

namespace tavo {
namespace {

template <class T>
std::unique_ptr<T[]> CopyOf(const std::unique_ptr<T[]>& column) {
  if (!column) return nullptr;
  auto copy = std::make_unique_for_overwrite<T[]>(kChunkSlots);
  std::copy(column.get(), column.get() + kChunkSlots, copy.get());
  return copy;
}

// The column, made (all zero) when a value first needs it.
template <class T>
T* Column(std::unique_ptr<T[]>& column) {
  if (!column) column = std::make_unique<T[]>(kChunkSlots);
  return column.get();
}

}  // namespace

std::unique_ptr<ViewChunk> ViewChunk::Clone(uint64_t new_epoch) const {
  auto copy = std::make_unique<ViewChunk>();
  copy->epoch = new_epoch;
  copy->id = id;
  copy->present = present;
  copy->live = live;
  for (size_t c = 0; c < text.size(); ++c) copy->text[c] = CopyOf(text[c]);
  for (size_t c = 0; c < number.size(); ++c) copy->number[c] = CopyOf(number[c]);
  copy->size = CopyOf(size);
  return copy;
}

void ViewChunk::Put(uint32_t offset, uint32_t track_id, const std::array<uint32_t, kTextColumnCount>& text_ids,
                    const std::array<int32_t, kNumberColumnCount>& numbers, uint32_t present_bits,
                    int64_t size_bytes) {
  for (size_t c = 0; c < text.size(); ++c) {
    if (text_ids[c] != 0) {
      Column(text[c])[offset] = text_ids[c];
    } else if (text[c]) {
      text[c][offset] = 0;
    }
  }
  for (size_t c = 0; c < number.size(); ++c) {
    if (present_bits & (1u << c)) {
      Column(number[c])[offset] = numbers[c];
    } else if (number[c]) {
      number[c][offset] = 0;
    }
  }
  if (present_bits & kSizePresentBit) {
    Column(size)[offset] = size_bytes;
  } else if (size) {
    size[offset] = 0;
  }
  id[offset] = track_id;
  present[offset] = present_bits;
  live[offset >> 6] |= uint64_t{1} << (offset & 63);
}

void ViewChunk::Clear(uint32_t offset) {
  for (auto& column : text) {
    if (column) column[offset] = 0;
  }
  present[offset] = 0;
  id[offset] = 0;
  live[offset >> 6] &= ~(uint64_t{1} << (offset & 63));
}

size_t ViewChunk::MemoryBytes() const {
  size_t bytes = sizeof(ViewChunk);
  for (const auto& column : text) bytes += column ? kChunkSlots * sizeof(uint32_t) : 0;
  for (const auto& column : number) bytes += column ? kChunkSlots * sizeof(int32_t) : 0;
  bytes += size ? kChunkSlots * sizeof(int64_t) : 0;
  return bytes;
}

}  // namespace tavo
