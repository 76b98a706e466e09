// libFuzzer target: descriptor list documents, their walks and stored forms.
#include "data_fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tavo::FuzzDescriptorList(data, size);
  return 0;
}
