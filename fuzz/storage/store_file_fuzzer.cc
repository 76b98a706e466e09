// Any bytes as a store file: open, verify, find, iterate, and change it must
// end in a status, never a crash or an endless loop.
#include <unistd.h>

#include <fstream>
#include <string>

#include "store_exercise.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/store_fuzz_" + std::to_string(getpid()) + ".pdb";
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
  tavo::ExerciseStoreFile(path);
  return 0;
}
