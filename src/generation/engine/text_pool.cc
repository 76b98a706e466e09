#include "generation/engine/text_pool.h"

#include <algorithm>
#include <cstring>

#include "generation/engine/text_fold.h"

namespace tavo {

std::string_view TextPoolReader::Folded(uint32_t id) const {
  const TextEntry& e = Entry(id);
  return e.folded() ? std::string_view(e.bytes + e.length(), e.length()) : View(e);
}

TextPool::TextPool() : index_(1024, 0) {
  blocks_.push_back(std::make_unique<TextEntry[]>(kBlockEntries));  // holds id 0
}

std::shared_ptr<TextPool> TextPool::Make() { return std::shared_ptr<TextPool>(new TextPool()); }

char* TextPool::Allocate(size_t n) {
  if (n > left_) {
    const size_t size = std::max(n, kByteChunk);
    chunks_.push_back(std::make_unique<char[]>(size));
    cursor_ = chunks_.back().get();
    left_ = size;
    byte_total_ += size;
  }
  char* p = cursor_;
  cursor_ += n;
  left_ -= n;
  return p;
}

uint32_t TextPool::Append(std::string_view text, uint32_t hash, bool folded) {
  if ((count_ >> kBlockBits) == blocks_.size()) blocks_.push_back(std::make_unique<TextEntry[]>(kBlockEntries));
  char* bytes = Allocate(folded ? 2 * text.size() : text.size());
  std::memcpy(bytes, text.data(), text.size());
  if (folded) std::transform(text.begin(), text.end(), bytes + text.size(), FoldByte);
  const uint32_t id = count_++;
  blocks_[id >> kBlockBits][id & (kBlockEntries - 1)] =
      TextEntry{bytes, static_cast<uint32_t>(text.size()) | (folded ? TextEntry::kFoldedBit : 0), hash};
  return id;
}

void TextPool::GrowIndex() {
  std::vector<uint32_t> grown(index_.size() * 2, 0);
  const size_t mask = grown.size() - 1;
  for (uint32_t id : index_) {
    if (id == 0) continue;
    size_t at = Entry(id).hash & mask;
    while (grown[at] != 0) at = (at + 1) & mask;
    grown[at] = id;
  }
  index_.swap(grown);
}

uint32_t TextPool::Intern(std::string_view text) {
  const uint32_t hash = HashText(text);
  const size_t mask = index_.size() - 1;
  size_t at = hash & mask;
  for (; index_[at] != 0; at = (at + 1) & mask) {
    const TextEntry& e = Entry(index_[at]);
    if (e.hash == hash && std::string_view(e.bytes, e.length()) == text) return index_[at];
  }
  const uint32_t id = Append(text, hash, /*folded=*/true);
  index_[at] = id;
  if (++interned_ * 2 > index_.size()) GrowIndex();
  return id;
}

uint32_t TextPool::Add(std::string_view text) { return Append(text, 0, /*folded=*/false); }

TextPoolReader TextPool::Reader() const {
  TextPoolReader reader;
  reader.owner_ = shared_from_this();
  reader.blocks_.reserve(blocks_.size());
  for (const auto& block : blocks_) reader.blocks_.push_back(block.get());
  reader.count_ = count_;
  return reader;
}

size_t TextPool::MemoryBytes() const {
  return blocks_.size() * kBlockEntries * sizeof(TextEntry) + byte_total_ + index_.size() * sizeof(uint32_t);
}

}  // namespace tavo
