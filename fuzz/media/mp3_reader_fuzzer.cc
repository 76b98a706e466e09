// Feeds arbitrary bytes to the MP3 reader as the content of a file. Any crash,
// sanitizer report or out-of-range conversion is a fault; every input must end
// in a status with defined values.
#include <cstddef>
#include <cstdint>
#include <string>

#include "media/mp3_reader.h"
#include "support/env/mem_env.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tavo::MemEnv env;
  env.Put("/fuzz.mp3", std::string(reinterpret_cast<const char*>(data), size));
  tavo::Mp3Reader reader(&env);
  if (reader.Open("/fuzz.mp3") == tavo::Mp3Status::kOk) {
    // Touch every value; a successful open always has a frame behind it.
    volatile uint32_t sink = reader.BitRate() + reader.FrameCount() + reader.Duration();
    (void)sink;
    if (reader.audio_start() + reader.audio_size() != size && reader.audio_size() != 0) __builtin_trap();
  }
  return 0;
}
