// The bodies of the XML fuzz targets, shared by the libFuzzer programs and by
// the test that replays the fixtures of past findings.
#ifndef TAVO_FUZZ_XML_XML_FUZZ_TARGETS_H_
#define TAVO_FUZZ_XML_XML_FUZZ_TARGETS_H_

#include <cstddef>
#include <cstdint>

namespace tavo {

// XmlDocument_Parse + tree queries and edits + XmlDocument_Serialize +
// XmlText_Decode + the tokenizer + PropertySet_Parse/GetValue/SetValue/Serialize.
void FuzzXmlParse(const uint8_t* data, size_t size);

// XmlFile_Read of `data` as a ".bml" companion, raw or rebuilt around a valid
// zlib stream, with or without a plain file beside it (the last byte chooses),
// then a write/read round trip of the text it gave.
void FuzzXmlFile(const uint8_t* data, size_t size);

}  // namespace tavo

#endif  // TAVO_FUZZ_XML_XML_FUZZ_TARGETS_H_
