#include "media/taglib_file_stream.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace tavo {
namespace {

long ClampToLong(uint64_t v) noexcept {
  constexpr auto kMax = static_cast<uint64_t>(std::numeric_limits<long>::max());
  return static_cast<long>(std::min(v, kMax));
}

}  // namespace

TagLibFileStream::TagLibFileStream(std::string path, File* file, uint64_t size) noexcept
    : path_(std::move(path)), file_(file), length_(ClampToLong(size)) {}

TagLib::ByteVector TagLibFileStream::readBlock(unsigned long length) {
  // Object sizes in a damaged file can claim gigabytes; never allocate past
  // what the file holds.
  const auto n = static_cast<size_t>(std::min<uint64_t>(
      {length, static_cast<uint64_t>(length_ - position_), std::numeric_limits<unsigned int>::max()}));
  TagLib::ByteVector block(static_cast<unsigned int>(n), '\0');
  size_t got = 0;
  if (n > 0 && file_->Read(static_cast<uint64_t>(position_), block.data(), n, &got) != 0) {
    got = 0;
  }
  block.resize(static_cast<unsigned int>(got));
  position_ += static_cast<long>(got);
  return block;
}

void TagLibFileStream::seek(long offset, Position p) {
  long base = 0;
  switch (p) {
    case Beginning: base = 0; break;
    case Current: base = position_; break;
    case End: base = length_; break;
  }
  // Saturating add, then clamp into the file.
  long target;
  if (__builtin_add_overflow(base, offset, &target)) {
    target = offset > 0 ? length_ : 0;
  }
  position_ = std::clamp(target, 0L, length_);
}

}  // namespace tavo
