#include "storage/store/byte_ranges.h"

#include <algorithm>
#include <cstring>

namespace tavo {
namespace {

uint64_t EndOf(const ByteRanges::Map::value_type& range) { return range.first + range.second.size(); }

}  // namespace

void ByteRanges::Write(uint64_t offset, const uint8_t* in, size_t n) {
  const uint64_t end = offset + n;
  auto it = ranges_.upper_bound(offset);
  if (it != ranges_.begin() && EndOf(*std::prev(it)) > offset) --it;
  auto add = [&](uint64_t from, uint64_t to) {
    const uint8_t* bytes = in + (from - offset);
    if (it != ranges_.begin() && EndOf(*std::prev(it)) == from) {
      std::vector<uint8_t>& before = std::prev(it)->second;
      before.insert(before.end(), bytes, bytes + (to - from));
    } else {
      ranges_.emplace_hint(it, from, std::vector<uint8_t>(bytes, bytes + (to - from)));
    }
    bytes_ += to - from;
  };
  for (uint64_t at = offset; at < end;) {
    if (it == ranges_.end() || it->first >= end) {
      add(at, end);
      break;
    }
    if (it->first > at) {
      add(at, it->first);
      at = it->first;
    }
    const uint64_t to = std::min(end, EndOf(*it));
    std::memcpy(it->second.data() + (at - it->first), in + (at - offset), to - at);
    at = to;
    ++it;
  }
}

// Exception-safe: the only allocation happens before anything changes, and a
// merge reuses the first span's node.
void ByteSpans::Add(uint64_t from, uint64_t to) {
  if (from >= to) return;
  auto first = spans_.upper_bound(from);
  if (first != spans_.begin() && std::prev(first)->second >= from) --first;
  auto last = first;
  uint64_t merged = 0;
  for (; last != spans_.end() && last->first <= to; ++last) {
    from = std::min(from, last->first);
    to = std::max(to, last->second);
    merged += last->second - last->first;
  }
  if (first == last) {
    spans_.emplace_hint(last, from, to);
  } else {
    const auto rest = std::next(first);
    auto node = spans_.extract(first);
    spans_.erase(rest, last);
    node.key() = from;
    node.mapped() = to;
    spans_.insert(last, std::move(node));
  }
  bytes_ += (to - from) - merged;
}

void ByteRanges::Overlay(uint64_t offset, uint8_t* buf, size_t n, size_t* covered) const {
  const uint64_t end = offset + n;
  auto it = ranges_.upper_bound(offset);
  if (it != ranges_.begin() && EndOf(*std::prev(it)) > offset) --it;
  for (; it != ranges_.end() && it->first < end; ++it) {
    const uint64_t from = std::max(offset, it->first);
    const uint64_t to = std::min(end, EndOf(*it));
    if (from - offset > *covered) std::memset(buf + *covered, 0, from - offset - *covered);
    std::memcpy(buf + (from - offset), it->second.data() + (from - it->first), to - from);
    *covered = std::max<size_t>(*covered, to - offset);
  }
}

uint64_t ByteRanges::end() const noexcept { return ranges_.empty() ? 0 : EndOf(*ranges_.rbegin()); }

void ByteRanges::clear() noexcept {
  ranges_.clear();
  bytes_ = 0;
}

}  // namespace tavo
