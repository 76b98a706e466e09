#include "xml_fuzz_targets.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "data/xml/xml.h"
#include "data/xml/xml_file.h"
#include "support/env/mem_env.h"
#include "vocabulary/property_set.h"

namespace tavo {
namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    __builtin_printf("fuzz invariant failed: %s\n", what);
    std::abort();
  }
}

// Maps even-length steps to elements and odd-length ones to attributes.
const char* MixedMapper(XmlNode*, const char* step, size_t length, void* context, int* kind) {
  auto* buffer = static_cast<std::string*>(context);
  buffer->assign(step, length);
  *kind = length % 2 == 0 ? kXmlStepElement : kXmlStepAttribute;
  return buffer->c_str();
}

// Lookups by name cost a walk of the list each; the harness makes at most
// this many per list, so that its own work stays linear in the input.
constexpr size_t kLookups = 64;

void CheckNode(const XmlNode* node) {
  const char* name = XmlNode_GetName(node);
  Check(name != nullptr && name[0] != '\0', "element without a name");
  size_t index = 0;
  for (const XmlAttribute* a = XmlNode_FirstAttribute(node); a != nullptr; a = XmlAttribute_Next(a), ++index) {
    const char* v = XmlAttribute_Value(a);
    Check(v != nullptr && v[0] != '\0', "empty attribute value");
    if (index < kLookups) {
      Check(XmlNode_AttributeValueAt(node, index) == v, "attribute by position");
      Check(XmlNode_GetAttribute(node, XmlAttribute_Name(a)) == v, "attribute names are unique");
    }
  }
  Check(index == XmlNode_AttributeCount(node), "attribute count");
  const char* text = XmlNode_GetText(node);
  Check(text == nullptr || text[0] != '\0', "empty text stored");
}

void ExerciseTree(XmlNode* root, const char* data, size_t size) {
  // Queries over the root and its children, without recursion.
  CheckNode(root);
  size_t visited = 0;
  for (XmlNode* c = XmlNode_FirstChild(root); c != nullptr; c = XmlNode_NextSibling(c), ++visited) {
    CheckNode(c);
    if (visited < kLookups) Check(XmlNode_FindChild(root, XmlNode_GetName(c)) != nullptr, "FindChild misses a child");
  }
  // Paths taken from the input.
  const size_t path_length = size < 40 ? size : 40;
  (void)XmlNode_GetTextByPath(root, data, path_length);

  for (int pass = 0; pass < 2; ++pass) {
    size_t n = 0;
    char* text = XmlDocument_Serialize(root, pass == 0, pass == 1, pass == 1, &n);
    Check(text != nullptr, "serialize gave no text");
    Check(std::strlen(text) == n, "serialize length");
    XmlNode* again = nullptr;
    if (XmlDocument_Parse(text, n, &again) == kXmlOk) {
      char* text2 = XmlDocument_Serialize(again, pass == 0, pass == 1, pass == 1);
      Check(text2 != nullptr, "serialize of reparse");
      XmlText_Free(text2);
      XmlNode_Free(again);
    }
    XmlText_Free(text);
  }

  // Edits that mix heap memory into the parsed tree, then a path walk.
  std::string path(data, path_length);
  std::string scratch;
  XmlNode_SetByPath(root, path.c_str(), "v", &scratch, MixedMapper);
  XmlNode_SetText(root, "replaced");
  XmlNode_SetAttribute(root, "a", "1");
  XmlNode_SetAttribute(root, "a", "");
  XmlNode* child = XmlNode_FirstChild(root);
  if (child != nullptr) {
    XmlNode_SetText(child, "x&y");
    XmlNode_SetName(child, "RENAMED");
  }
  XmlNode_AppendChild(root, XmlNode_NewElement("NEW", "t"));
  XmlNode* sub = nullptr;
  if (XmlDocument_Parse("<S a=\"1\"><T>u</T></S>", 20, &sub) == kXmlOk) XmlNode_AppendChild(root, sub);
  char* text = XmlDocument_Serialize(root, true, false, false);
  Check(text != nullptr, "serialize after edits");
  XmlText_Free(text);
}

}  // namespace

void FuzzXmlParse(const uint8_t* bytes, size_t size) {
  const char* data = reinterpret_cast<const char*>(bytes);

  XmlNode* root = nullptr;
  const int rc = XmlDocument_Parse(data, size, &root);
  Check(rc >= 0 && rc <= 5, "parse status out of range");
  Check((rc == kXmlOk) == (root != nullptr), "parse status and root disagree");
  if (root != nullptr) {
    ExerciseTree(root, data, size);
    XmlNode_Free(root);
  }

  char* decoded = nullptr;
  size_t decoded_length = 0;
  Check(XmlText_Decode(data, size, &decoded, &decoded_length) == kXmlOk, "decode status");
  Check(decoded_length <= size, "decode grew");
  Check(size == 0 || decoded[decoded_length] == '\0', "decode terminator");
  XmlText_Free(decoded);

  XmlReader reader;
  XmlReader_Init(&reader, data, size);
  XmlToken token;
  for (size_t i = 0; i <= size + 1; ++i) {
    const size_t before = reader.position;
    const int trc = XmlReader_Next(&reader, &token);
    if (trc != kXmlOk) {
      Check(trc == kXmlTruncated || trc == kXmlIllegalCharacter, "token status");
      break;
    }
    Check(reader.position > before, "token consumed nothing");
    Check(token.start >= data && token.start + token.length <= data + size, "token bounds");
  }

  if (size >= 1) {
    const uint16_t kind = static_cast<uint16_t>(bytes[0] % 7);
    PropertySet* set = nullptr;
    const uint32_t prc = PropertySet_Parse(&set, kind, data + 1, size - 1);
    Check((prc == kPropertySetOk) == (set != nullptr), "property set status and set disagree");
    if (set != nullptr) {
      char value[64];
      for (uint32_t key = 0; key < kPropertyKeyCount + 2; ++key) {
        for (int instance = -1; instance <= 2; ++instance) {
          const uint32_t g = PropertySet_GetValue(set, key, instance, value, sizeof(value));
          Check(g == kPropertySetOk || g == kPropertySetInvalidArgument || g == kPropertySetKeyAbsent,
                "get status");
          if (g == kPropertySetOk) Check(std::strlen(value) < sizeof(value), "get terminator");
        }
      }
      PropertySet_SetValue(set, kKeyTit, 0, "title");
      PropertySet_SetValue(set, kKeyGenDesc, 2, "Rock");
      PropertySet_SetValue(set, kKeyPsetCritPopVal, 1, "5");
      char* text = nullptr;
      size_t n = 0;
      Check(PropertySet_Serialize(set, &text, &n) == kPropertySetOk, "set serialize");
      PropertySet* again = nullptr;
      if (PropertySet_Parse(&again, kind, text, n) == kPropertySetOk) PropertySet_Free(again);
      PropertySet_FreeText(text);
      PropertySet_Free(set);
    }
  }
}

void FuzzXmlFile(const uint8_t* bytes, size_t size) {
  // The last byte steers: bit 0 puts the input (less that byte) beside the
  // companion as the plain file too; bit 1 builds the companion from the
  // input's first 8 bytes as its header and a valid zlib stream of the rest,
  // so that lying headers meet sound streams. Otherwise the input is the
  // companion file as it is.
  MemEnv env;
  const uint8_t flags = size > 0 ? bytes[size - 1] : 0;
  const std::string body(reinterpret_cast<const char*>(bytes), size > 0 ? size - 1 : 0);
  std::string companion = body;
  if (flags & 2) {
    std::string header = body.substr(0, 8);
    header.resize(8, '0');
    const std::string rest = body.size() > 8 ? body.substr(8) : std::string();
    uLongf cap = compressBound(rest.size());
    std::string stream(cap, '\0');
    if (compress2(reinterpret_cast<Bytef*>(&stream[0]), &cap,
                  reinterpret_cast<const Bytef*>(rest.data()), rest.size(), 1) == Z_OK) {
      stream.resize(cap);
      companion = header + stream;
    }
  }
  env.files["doc.bml"] = companion;
  if (flags & 1) env.files["doc.xml"] = body;

  char* text = nullptr;
  const int rc = XmlFile_Read("doc.xml", &text, &env);
  Check(rc == 0 || rc == kXmlFileCannotOpen, "read status");
  Check((rc == 0) == (text != nullptr), "read status and text disagree");
  if (text == nullptr) return;
  const size_t n = std::strlen(text);
  XmlNode* root = nullptr;
  if (n > 0 && XmlDocument_Parse(text, n, &root) == kXmlOk) XmlNode_Free(root);

  // Whatever was read survives a write and a read through the companion.
  MemEnv out;
  Check(XmlFile_Write("out.xml", text, &out) == 0, "write");
  Check(out.files.count("out.bml") == 1 && out.files.count("out.xml") == 0, "companion written");
  char* back = nullptr;
  Check(XmlFile_Read("out.xml", &back, &out) == 0, "read back");
  Check(std::strcmp(back, text) == 0, "round trip");
  XmlText_Free(back);
  XmlText_Free(text);
}

}  // namespace tavo
