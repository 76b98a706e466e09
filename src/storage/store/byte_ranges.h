// Bytes at offsets of a file, held in memory: the writes of the pager that
// have not yet been written into the file. Ranges never overlap; a write
// overwrites what is held of its span and adds the rest, continuing the
// range that ends where it starts, so that a write costs its own length
// however much is held.
#ifndef TAVO_STORAGE_STORE_BYTE_RANGES_H_
#define TAVO_STORAGE_STORE_BYTE_RANGES_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <map>
#include <vector>

namespace tavo {

// Spans of offsets (no bytes), merged where they touch: where a transaction
// wrote.
class ByteSpans {
 public:
  using Map = std::map<uint64_t, uint64_t>;  // start to end
  void Add(uint64_t from, uint64_t to);
  const Map& spans() const noexcept { return spans_; }
  bool empty() const noexcept { return spans_.empty(); }
  uint64_t bytes() const noexcept { return bytes_; }
  void clear() noexcept {
    spans_.clear();
    bytes_ = 0;
  }

 private:
  Map spans_;
  uint64_t bytes_ = 0;
};

class ByteRanges {
 public:
  using Map = std::map<uint64_t, std::vector<uint8_t>>;

  void Write(uint64_t offset, const uint8_t* bytes, size_t n);
  // Copies what is held of [offset, offset + n) into buf. Bytes from
  // *covered up to held ones are zeroed (a hole); *covered grows to the end
  // of what was copied.
  void Overlay(uint64_t offset, uint8_t* buf, size_t n, size_t* covered) const;

  // Calls visit(offset, bytes, length) for each held piece of [from, to).
  template <class Visit>
  void ForEachPiece(uint64_t from, uint64_t to, Visit visit) const {
    auto it = ranges_.upper_bound(from);
    if (it != ranges_.begin() && std::prev(it)->first + std::prev(it)->second.size() > from) --it;
    for (; it != ranges_.end() && it->first < to; ++it) {
      const uint64_t start = std::max(from, it->first);
      const uint64_t end = std::min<uint64_t>(to, it->first + it->second.size());
      visit(start, it->second.data() + (start - it->first), static_cast<size_t>(end - start));
    }
  }

  const Map& ranges() const noexcept { return ranges_; }
  bool empty() const noexcept { return ranges_.empty(); }
  size_t bytes() const noexcept { return bytes_; }
  // The end of the last range, 0 when empty.
  uint64_t end() const noexcept;
  void clear() noexcept;

 private:
  Map ranges_;
  size_t bytes_ = 0;
};

}  // namespace tavo

#endif  // TAVO_STORAGE_STORE_BYTE_RANGES_H_
