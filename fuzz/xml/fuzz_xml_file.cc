// libFuzzer target: XmlFile_Read of arbitrary bytes as a ".bml" companion.
#include "xml_fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tavo::FuzzXmlFile(data, size);
  return 0;
}
