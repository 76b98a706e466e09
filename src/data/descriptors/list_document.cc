#include "data/descriptors/list_document.h"

#include <new>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "data/descriptors/document_values.h"
#include "data/descriptors/ordinal_order.h"

namespace tavo {
namespace {

void ReadRevision(const XmlNode* revision, DescriptorListHeader* header) {
  for (const XmlNode* c = XmlNode_FirstChild(revision); c != nullptr; c = XmlNode_NextSibling(c)) {
    if (IsNamed(c, "LEVEL")) {
      header->revision_level = std::to_string(SignedFromText(XmlNode_GetText(c)));
    } else if (IsNamed(c, "TAG")) {
      header->revision_tag = TextOrEmpty(c);
    }
  }
}

// Offers an element to the kind's extension; false when it is none of its.
bool ReadExtension(const KindExtension& extension, const XmlNode* element, DescriptorItem* item) {
  for (int slot = 0; slot < 2; ++slot) {
    const ExtensionValue& value = extension.values[slot];
    if (value.element.empty()) continue;
    if (!IsNamed(element, value.element) && !(!value.alias.empty() && IsNamed(element, value.alias))) continue;
    const int32_t number = SignedFromText(XmlNode_GetText(element));
    item->extension[slot] = value.unsigned16 ? static_cast<uint16_t>(number) : number;
    return true;
  }
  return false;
}

DescriptorItem ReadItem(const KindExtension& extension, const XmlNode* element) {
  DescriptorItem item;
  item.id = SignedFromText(AttributeNamed(element, "ID"));
  item.ordinal = SignedFromText(AttributeNamed(element, "ORDINAL"));
  for (const XmlNode* c = XmlNode_FirstChild(element); c != nullptr; c = XmlNode_NextSibling(c)) {
    if (IsNamed(c, "DISPLAY")) {
      item.display_name = TextOrEmpty(c);
    } else if (IsNamed(c, "DESCRIPTION")) {
      item.description = TextOrEmpty(c);
    } else if (IsNamed(c, "CHILD_ID")) {
      item.children.push_back(SignedFromText(XmlNode_GetText(c)));
    } else if (IsNamed(c, "PARENT_ID")) {
      item.parents.push_back(SignedFromText(XmlNode_GetText(c)));
    } else {
      ReadExtension(extension, c, &item);
    }
  }
  return item;
}

// Parents derived from children: declared parents stay first. Done for every
// list, hierarchical or not (a list without children gains nothing).
void DeriveParents(std::vector<DescriptorItem>& items) {
  std::unordered_map<int32_t, size_t> first_with_id;
  for (size_t i = 0; i < items.size(); ++i) first_with_id.emplace(items[i].id, i);
  for (const DescriptorItem& x : items) {
    for (auto c = x.children.rbegin(); c != x.children.rend(); ++c) {
      auto it = first_with_id.find(*c);
      if (it != first_with_id.end()) items[it->second].parents.push_back(x.id);
    }
  }
}

}  // namespace

DescStatus ReadListDocument(DescriptorKind kind, const XmlNode* root, DescriptorListPtr* out) noexcept {
  if (root == nullptr || out == nullptr) return kDescMissingList;
  try {
    DescriptorListHeader header;
    header.kind = kind;
    if (const char* name = AttributeNamed(root, "NAME")) header.name = name;
    const KindExtension& extension = ExtensionOf(kind);
    std::vector<DescriptorItem> read;
    for (const XmlNode* c = XmlNode_FirstChild(root); c != nullptr; c = XmlNode_NextSibling(c)) {
      if (IsNamed(c, "ITEM")) {
        if (read.size() == kDescMaxCount) return kDescTooLarge;
        read.push_back(ReadItem(extension, c));
      } else if (IsNamed(c, "REVISION")) {
        ReadRevision(c, &header);
      } else if (IsNamed(c, "FORMAT_VERSION")) {
        header.format_version = SignedFromText(XmlNode_GetText(c));
      } else if (IsNamed(c, "LANGUAGE_ID")) {
        header.language_id = SignedFromText(XmlNode_GetText(c));
      }
    }
    std::vector<int32_t> ordinals;
    ordinals.reserve(read.size());
    for (const DescriptorItem& item : read) ordinals.push_back(item.ordinal);
    std::vector<DescriptorItem> items;
    items.reserve(read.size());
    for (uint32_t i : OrderByOrdinal(ordinals)) items.push_back(std::move(read[i]));
    DeriveParents(items);
    return DescriptorList::Make(std::move(header), std::move(items), out);
  } catch (const std::bad_alloc&) {
    return kDescNoMemory;
  }
}

DescStatus ReadListDocument(DescriptorKind kind, const char* text, size_t length, DescriptorListPtr* out) noexcept {
  if (out == nullptr) return kDescMissingList;
  XmlNodePtr owned;
  if (const int status = ParseDocumentText(text, length, &owned); status != kXmlOk) {
    return static_cast<DescStatus>(status);
  }
  return ReadListDocument(kind, owned.get(), out);
}

}  // namespace tavo
