// Bytes of MP3 streams that decode to silence: every frame has a valid
// header and all-zero side information, so a decoder plays nothing.
//
//   kind  stream                          frame sizes
//   CBR   MPEG-1 Layer III, 44.1 kHz,     104 bytes (32 kbit/s), 1152 samples
//         mono
//   VBR   MPEG-2 Layer III, 22.05 kHz,    a first frame of 64 kbit/s holding a
//         mono                            Xing header (frames, bytes, TOC,
//                                         quality), then frames of 8 to 32
//                                         kbit/s, 576 samples each
#ifndef TAVO_TOOLS_MAKE_DEMO_SILENT_MP3_H_
#define TAVO_TOOLS_MAKE_DEMO_SILENT_MP3_H_

#include <cstdint>
#include <string>

namespace tavo {

// At least `milliseconds` of silence. `seed` varies the VBR frame sizes.
std::string SilentMp3(bool vbr, int32_t milliseconds, uint32_t seed);

// The duration SilentMp3 really produces, in milliseconds (whole frames).
int32_t SilentMp3Duration(bool vbr, int32_t milliseconds);

}  // namespace tavo

#endif  // TAVO_TOOLS_MAKE_DEMO_SILENT_MP3_H_
