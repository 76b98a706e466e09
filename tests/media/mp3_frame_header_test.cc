#include "media/mp3_frame_header.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tavo {
namespace {

struct HeaderCase {
  uint32_t word;
  bool valid;
  int bit_rate;     // kbps
  int sample_rate;  // Hz
  int samples_per_frame;
  double size_factor;
};

// Words written out in hex so the bit positions are checked independently of
// any helper: FF Fx hold sync, version, layer; the third byte is bit-rate index
// (1111xxxx) and sample-rate index (xxxx11xx); the fourth mode and emphasis.
constexpr HeaderCase kCases[] = {
    {0xFFFB9000, true, 128, 44100, 1152, 144},   // MPEG-1 layer III
    {0xFFFBE4C0, true, 320, 48000, 1152, 144},   // MPEG-1 layer III, top rate, mono
    {0xFFFD9000, true, 160, 44100, 1152, 144},   // MPEG-1 layer II
    {0xFFFF9800, true, 288, 32000, 384, 12},     // MPEG-1 layer I
    {0xFFF39000, true, 80, 22050, 576, 72},      // MPEG-2 layer III
    {0xFFF31400, true, 8, 24000, 576, 72},       // MPEG-2 layer III, lowest rate
    {0xFFF59000, true, 80, 22050, 1152, 144},    // MPEG-2 layer II keeps 1152
    {0xFFF7E000, true, 256, 22050, 384, 12},     // MPEG-2 layer I
    {0xFFE39000, true, 80, 11025, 576, 72},      // MPEG-2.5 layer III
    {0xFFE39400, true, 80, 12000, 576, 72},
    {0xFFE39800, true, 80, 8000, 576, 72},
    {0xFFFB0000, false, 0, 0, 0, 0},  // free format: bit-rate index 0
    {0xFFFBF000, false, 0, 0, 0, 0},  // bit-rate index 15
    {0xFFFB9C00, false, 0, 0, 0, 0},  // sample-rate index 3
    {0xFFFB9002, false, 0, 0, 0, 0},  // emphasis 2
    {0xFFEB9000, false, 0, 0, 0, 0},  // version 01
    {0xFFF99000, false, 0, 0, 0, 0},  // layer bits 00
    {0xFFDB9000, false, 0, 0, 0, 0},  // bit 21 of the sync clear
    {0x7FFB9000, false, 0, 0, 0, 0},  // bit 31 of the sync clear
};

TEST(Mp3FrameHeaderTest, DecodesFieldsAndRejectsReservedValues) {
  for (const HeaderCase& c : kCases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.word);
    const Mp3FrameHeader header(c.word);
    ASSERT_EQ(header.IsValid(), c.valid);
    if (!c.valid) continue;
    EXPECT_EQ(header.BitRate(), c.bit_rate);
    EXPECT_EQ(header.SampleRate(), c.sample_rate);
    EXPECT_EQ(header.SamplesPerFrame(), c.samples_per_frame);
    EXPECT_EQ(header.FrameSizeFactor(), c.size_factor);
  }
}

TEST(Mp3FrameHeaderTest, ReadsBytesBigEndian) {
  const uint8_t bytes[] = {0xFF, 0xFB, 0x90, 0x64};
  EXPECT_EQ(Mp3FrameHeader::FromBytes(bytes).word(), 0xFFFB9064u);
}

}  // namespace
}  // namespace tavo
