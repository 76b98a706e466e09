// libFuzzer target: XmlDocument_Parse, XmlText_Decode, the tokenizer and
// PropertySet_Parse over arbitrary bytes.
#include "xml_fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tavo::FuzzXmlParse(data, size);
  return 0;
}
