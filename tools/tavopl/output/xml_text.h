// Text for XML 1.0 element content and attribute values: "&", "<", ">",
// '"' and "'" become entities; control characters that XML 1.0 forbids are
// dropped, and bytes that are not UTF-8 become U+FFFD, so whatever a tag
// holds, the document stays well-formed.
#ifndef TAVO_TOOLS_TAVOPL_OUTPUT_XML_TEXT_H_
#define TAVO_TOOLS_TAVOPL_OUTPUT_XML_TEXT_H_

#include <string>
#include <string_view>

namespace tavo::tool {

std::string XmlEscape(std::string_view text);

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_OUTPUT_XML_TEXT_H_
