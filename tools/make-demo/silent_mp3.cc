#include "silent_mp3.h"

#include <vector>

namespace tavo {
namespace {

constexpr int kCbrRate = 44100, kCbrSamples = 1152, kCbrBitrate = 32000;
constexpr int kVbrRate = 22050, kVbrSamples = 576;
// MPEG-2 Layer III bit rate indexes 1..4 are 8, 16, 24, 32 kbit/s; 8 is 64.
constexpr int kVbrIndexKbps[] = {0, 8, 16, 24, 32, 40, 48, 56, 64};
constexpr int kXingIndex = 8;
constexpr int kSideInfoMpeg2Mono = 9;

int FrameCount(bool vbr, int32_t milliseconds) {
  const int64_t rate = vbr ? kVbrRate : kCbrRate, samples = vbr ? kVbrSamples : kCbrSamples;
  return static_cast<int>((int64_t{milliseconds} * rate / 1000 + samples - 1) / samples);
}

void Put32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (24 - 8 * i));
}

std::string Frame(uint8_t b1, uint8_t b2, uint8_t b3, size_t length) {
  std::string f(length, '\0');
  f[0] = static_cast<char>(0xFF);
  f[1] = static_cast<char>(b1);
  f[2] = static_cast<char>(b2);
  f[3] = static_cast<char>(b3);
  return f;
}

// MPEG-1 Layer III without CRC (0xFB), 32 kbit/s (bit rate index 1), 44.1 kHz,
// mono (0xC0).
std::string Cbr(int frames) {
  const size_t length = 144 * kCbrBitrate / kCbrRate;  // 104, no padding
  std::string out;
  for (int i = 0; i < frames; ++i) out += Frame(0xFB, 0x10, 0xC0, length);
  return out;
}

size_t VbrLength(int index) { return static_cast<size_t>(72 * kVbrIndexKbps[index] * 1000 / kVbrRate); }

// MPEG-2 Layer III without CRC (0xF3), 22.05 kHz (sample rate index 0), mono.
std::string Vbr(int frames, uint32_t seed) {
  std::vector<std::string> audio;
  size_t audio_bytes = 0;
  for (int i = 0; i < frames; ++i) {
    seed = seed * 1103515245U + 12345U;
    const int index = 1 + static_cast<int>((seed >> 16) % 4);
    audio.push_back(Frame(0xF3, static_cast<uint8_t>(index << 4), 0xC0, VbrLength(index)));
    audio_bytes += audio.back().size();
  }
  std::string xing = Frame(0xF3, kXingIndex << 4, 0xC0, VbrLength(kXingIndex));
  const size_t at = 4 + kSideInfoMpeg2Mono;
  const size_t total = xing.size() + audio_bytes;
  xing.replace(at, 4, "Xing");
  Put32(xing, at + 4, 0x0F);  // frames, bytes, TOC and quality present
  Put32(xing, at + 8, static_cast<uint32_t>(frames));
  Put32(xing, at + 12, static_cast<uint32_t>(total));
  // TOC: for each percent of the duration, the position in the stream as a
  // fraction of 256.
  std::vector<size_t> starts;
  size_t pos = xing.size();
  for (const std::string& f : audio) {
    starts.push_back(pos);
    pos += f.size();
  }
  for (int p = 0; p < 100; ++p) {
    const size_t frame = frames > 0 ? static_cast<size_t>(p) * frames / 100 : 0;
    const size_t offset = frames > 0 ? starts[frame] : 0;
    xing[at + 16 + p] = static_cast<char>(offset * 256 / total);
  }
  Put32(xing, at + 116, 50);
  std::string out = xing;
  for (const std::string& f : audio) out += f;
  return out;
}

}  // namespace

std::string SilentMp3(bool vbr, int32_t milliseconds, uint32_t seed) {
  const int frames = FrameCount(vbr, milliseconds);
  return vbr ? Vbr(frames, seed) : Cbr(frames);
}

int32_t SilentMp3Duration(bool vbr, int32_t milliseconds) {
  const int64_t rate = vbr ? kVbrRate : kCbrRate, samples = vbr ? kVbrSamples : kCbrSamples;
  return static_cast<int32_t>(FrameCount(vbr, milliseconds) * samples * 1000 / rate);
}

}  // namespace tavo
