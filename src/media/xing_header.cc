#include "media/xing_header.h"

#include <array>
#include <cstring>

#include "media/big_endian.h"

namespace tavo {
namespace {

// Offset of "Xing" from the frame start, by [mpeg1][mono].
constexpr std::array<std::array<size_t, 2>, 2> kXingOffset = {{
    {21, 13},  // MPEG-2 and MPEG-2.5: stereo, mono
    {36, 21},  // MPEG-1: stereo, mono
}};

constexpr size_t kTableOfContentsSize = 100;

// Walks the fields of the header, refusing to step past the bytes at hand.
class FieldCursor {
 public:
  FieldCursor(const uint8_t* p, size_t n, size_t at) noexcept : p_(p), n_(n), at_(at) {}
  bool Take32(uint32_t* v) noexcept {
    if (n_ < 4 || at_ > n_ - 4) return false;
    *v = LoadBigEndian32(p_ + at_);
    at_ += 4;
    return true;
  }
  bool Skip(size_t k) noexcept {
    if (at_ > n_ || k > n_ - at_) return false;
    at_ += k;
    return true;
  }

 private:
  const uint8_t* p_;
  size_t n_;
  size_t at_;
};

}  // namespace

bool ParseXingHeader(const Mp3FrameHeader& header, const uint8_t* frame, size_t n,
                     XingHeader* out) noexcept {
  const size_t at = kXingOffset[header.is_mpeg1()][header.is_mono()];
  if (at > n || n - at < 4 || std::memcmp(frame + at, "Xing", 4) != 0) return false;

  XingHeader xing;
  xing.mpeg1 = header.is_mpeg1();
  xing.sample_rate = header.SampleRate();
  FieldCursor cursor(frame, n, at + 4);
  if (!cursor.Take32(&xing.flags)) return false;
  if ((xing.flags & XingHeader::kFrames) && !cursor.Take32(&xing.frame_count)) return false;
  if ((xing.flags & XingHeader::kBytes) && !cursor.Take32(&xing.byte_count)) return false;
  if ((xing.flags & XingHeader::kTableOfContents) && !cursor.Skip(kTableOfContentsSize)) {
    return false;
  }
  uint32_t quality = 0;
  if (xing.flags & XingHeader::kQuality) {
    if (!cursor.Take32(&quality)) return false;
    xing.quality = static_cast<int32_t>(quality);
  }
  *out = xing;
  return true;
}

}  // namespace tavo
