// libFuzzer target: preset documents read and written.
#include "data_fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tavo::FuzzPresetDocument(data, size);
  return 0;
}
