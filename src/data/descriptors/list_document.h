// Reading a descriptor list from its XML document (UTF-8):
//
//   <LIST NAME="eras">                        root: any element name
//     <REVISION><LEVEL>3</LEVEL><TAG>t</TAG></REVISION>
//     <FORMAT_VERSION>1</FORMAT_VERSION>
//     <LANGUAGE_ID>1033</LANGUAGE_ID>
//     <ITEM ID="101" ORDINAL="1">             one per item
//       <DISPLAY>1920s</DISPLAY>
//       <DESCRIPTION>Music of the 1920s</DESCRIPTION>
//       <CHILD_ID>..</CHILD_ID> <PARENT_ID>..</PARENT_ID>   any number
//       ...the kind's extension elements (descriptor_kind.h)
//     </ITEM>
//   </LIST>
//
// Element and attribute names compare ignoring ASCII case; unknown elements
// are ignored; numbers are signed decimal, an empty or non-numeric text 0.
// Items are put in ordinal order (ordinal_order.h), then every item X, in
// list order, adds its id to the parents of each of its children that is an
// item, taking the children from last to first; duplicates are kept.
#ifndef TAVO_DATA_DESCRIPTORS_LIST_DOCUMENT_H_
#define TAVO_DATA_DESCRIPTORS_LIST_DOCUMENT_H_

#include <cstddef>

#include "data/descriptors/descriptor_list.h"
#include "data/xml/xml.h"

namespace tavo {

// Reads `length` bytes of document text as a list of `kind`. Statuses:
// kDescNoText for missing or empty text, the XML layer's parse statuses
// (1 to 5), kDescTooLarge, kDescNoMemory; *out is set only on success.
DescStatus ReadListDocument(DescriptorKind kind, const char* text, size_t length,
                            DescriptorListPtr* out) noexcept;
// The same over a parsed document.
DescStatus ReadListDocument(DescriptorKind kind, const XmlNode* root, DescriptorListPtr* out) noexcept;

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_LIST_DOCUMENT_H_
