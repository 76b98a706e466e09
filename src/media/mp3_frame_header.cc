#include "media/mp3_frame_header.h"

#include <array>
#include <cassert>

namespace tavo {
namespace {

// Kilobits per second (ISO/IEC 11172-3 and 13818-3), by bit 19, then layer
// bits, then bit-rate index. Index 0 (free format) and 15 (reserved) never
// reach the table, nor do layer bits 00.
using BitRateRow = std::array<int, 16>;
constexpr std::array<std::array<BitRateRow, 4>, 2> kBitRates = {{
    // Bit 19 clear: MPEG-2 and MPEG-2.5.
    {{
        {},                                                                       // reserved
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},       // III
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},       // II
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},  // I
    }},
    // Bit 19 set: MPEG-1.
    {{
        {},                                                                        // reserved
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},    // III
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},   // II
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},  // I
    }},
}};

// Hertz by version bits, then sample-rate index. MPEG-2 halves the MPEG-1
// rates and MPEG-2.5 quarters them; version 01 is reserved and index 3 never
// reaches the table.
constexpr std::array<std::array<int, 4>, 4> kSampleRates = {{
    {11025, 12000, 8000, 0},   // 00 MPEG-2.5
    {0, 0, 0, 0},              // 01 reserved
    {22050, 24000, 16000, 0},  // 10 MPEG-2
    {44100, 48000, 32000, 0},  // 11 MPEG-1
}};

constexpr uint32_t kSyncMask = 0xFFE00000;  // bits 31..21

}  // namespace

bool Mp3FrameHeader::IsValid() const noexcept {
  return (word_ & kSyncMask) == kSyncMask && version_bits() != 1 && layer_bits() != 0 &&
         bit_rate_index() != 0 && bit_rate_index() != 15 && sample_rate_index() != 3 &&
         emphasis() != 2;
}

int Mp3FrameHeader::BitRate() const noexcept {
  assert(IsValid());
  return kBitRates[is_mpeg1()][layer_bits()][bit_rate_index()];
}

int Mp3FrameHeader::SampleRate() const noexcept {
  assert(IsValid());
  return kSampleRates[version_bits()][sample_rate_index()];
}

int Mp3FrameHeader::SamplesPerFrame() const noexcept {
  if (layer() == 1) return 384;
  // Layer III below MPEG-1 packs one granule per frame, not two.
  if (layer() == 3 && !is_mpeg1()) return 576;
  return 1152;
}

double Mp3FrameHeader::FrameSizeFactor() const noexcept {
  if (layer() == 1) return 12.0;
  return SamplesPerFrame() / 8.0;
}

}  // namespace tavo
