// A small XML reader for the catalog's list documents: elements, attributes,
// text, comments, processing instructions and the five predefined entities
// plus numeric character references. No DTDs, no namespaces. Anything else
// (mismatched tags, stray text outside the root, nesting deeper than 64) is
// malformed.
#ifndef TAVO_CONTROL_XML_READER_H_
#define TAVO_CONTROL_XML_READER_H_

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavo::control {

struct XmlElement {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;
  std::string text;  // character data directly inside, concatenated
  std::vector<std::unique_ptr<XmlElement>> children;

  // The first child of that name (exact match), or nullptr.
  const XmlElement* Child(std::string_view child_name) const;
  // The attribute's value, or empty.
  std::string_view Attribute(std::string_view attribute_name) const;
};

// The root element, or nullptr when the text is malformed.
std::unique_ptr<XmlElement> ParseXml(std::string_view text);

}  // namespace tavo::control

#endif  // TAVO_CONTROL_XML_READER_H_
