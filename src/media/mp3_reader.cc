#include "media/mp3_reader.h"

#include <array>
#include <cmath>
#include <limits>
#include <memory>

#include "media/frame_search.h"
#include "media/id3v2_header.h"

namespace tavo {
namespace {

// Bytes of the file start looked at for an ID3v2 tag header.
constexpr size_t kHeadSize = 32;
// Bytes of the first frame looked at for a Xing header; its furthest field ends
// at byte 156.
constexpr size_t kXingWindow = 256;
// The frame after a Xing frame is searched for from this far past its header.
constexpr uint64_t kXingFrameSkip = 100;

// Values are computed in floating point and truncated; damaged headers (a
// frame count of 1 in a large file, say) must give a defined value, not an
// out-of-range conversion.
uint32_t TruncateToU32(double v) noexcept {
  constexpr double kMax = std::numeric_limits<uint32_t>::max();
  if (!(v > 0)) return 0;  // also NaN
  if (v >= kMax) return std::numeric_limits<uint32_t>::max();
  return static_cast<uint32_t>(v);
}

uint32_t ClampToU32(uint64_t v) noexcept {
  return v > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                  : static_cast<uint32_t>(v);
}

// size * 8 / 10, rounded to nearest, without overflowing for any size.
uint64_t TenthsOfBits(uint64_t size) noexcept {
  return size / 10 * 8 + (size % 10 * 8 + 5) / 10;
}

}  // namespace

Mp3Status Mp3Reader::Open(const std::string& path) {
  *this = Mp3Reader(env_);
  std::unique_ptr<File> file;
  if (env_->Open(path, OpenMode::kRead, &file) != 0) return Mp3Status::kCannotOpen;
  const Mp3Status status = Measure(file.get());
  if (status != Mp3Status::kOk) {
    *this = Mp3Reader(env_);
    return status;
  }
  ComputeValues();
  return Mp3Status::kOk;
}

Mp3Status Mp3Reader::Measure(File* file) {
  if (file->Size(&file_size_) != 0) return Mp3Status::kCannotOpen;

  std::array<uint8_t, kHeadSize> head;
  size_t got = 0;
  if (file->Read(0, head.data(), head.size(), &got) != 0) return Mp3Status::kCannotOpen;
  if (got < 4) return Mp3Status::kNoFrame;

  uint64_t at = 0;
  Mp3FrameHeader header(0);
  switch (FindFrameHeader(file, Id3v2AudioSearchStart(head.data(), got), &at, &header)) {
    case FrameSearchResult::kFound: break;
    case FrameSearchResult::kNotFound: return Mp3Status::kNoFrame;
    case FrameSearchResult::kReadError: return Mp3Status::kCannotOpen;
  }
  first_header_ = header.word();

  std::array<uint8_t, kXingWindow> frame;
  if (file->Read(at, frame.data(), frame.size(), &got) != 0) return Mp3Status::kCannotOpen;
  // A first frame cut short by the end of the file cannot carry the header.
  is_vbr_ = got == frame.size() && ParseXingHeader(header, frame.data(), got, &xing_);

  if (is_vbr_) {
    // The Xing frame holds no audio: audio starts at the next frame.
    Mp3FrameHeader next(0);
    switch (FindFrameHeader(file, at + kXingFrameSkip, &at, &next)) {
      case FrameSearchResult::kFound: break;
      case FrameSearchResult::kNotFound: return Mp3Status::kNoFrame;
      case FrameSearchResult::kReadError: return Mp3Status::kCannotOpen;
    }
  }
  audio_start_ = at;
  // The file may have shrunk since it was sized.
  audio_size_ = file_size_ > at ? file_size_ - at : 0;
  return Mp3Status::kOk;
}

void Mp3Reader::ComputeValues() noexcept {
  const Mp3FrameHeader header(first_header_);
  const uint32_t table_bit_rate = static_cast<uint32_t>(header.BitRate());
  const double factor = header.FrameSizeFactor();
  const double audio_size = static_cast<double>(audio_size_);

  if (is_vbr_) {
    frame_count_ = xing_.frame_count;
    // Without a frame count nothing can be derived from the Xing header; the
    // first frame's bit rate is the best there is, and the length is unknown.
    if (frame_count_ == 0 || xing_.sample_rate <= 0) {
      bit_rate_ = table_bit_rate;
      duration_ = 0;
      return;
    }
    const double sample_rate = xing_.sample_rate;
    bit_rate_ = TruncateToU32(sample_rate * (audio_size / frame_count_) / (factor * 1000.0));
    duration_ = TruncateToU32(static_cast<double>(frame_count_) * header.SamplesPerFrame() *
                              100.0 / sample_rate);
    return;
  }

  bit_rate_ = table_bit_rate;
  const uint32_t frame_size =
      TruncateToU32(table_bit_rate * 1000.0 / header.SampleRate() * factor);
  frame_count_ = frame_size == 0 ? 0 : ClampToU32(audio_size_ / frame_size);
  duration_ = bit_rate_ == 0 ? 0 : ClampToU32(TenthsOfBits(audio_size_) / bit_rate_);
}

}  // namespace tavo
