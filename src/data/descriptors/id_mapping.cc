#include "data/descriptors/id_mapping.h"

#include <new>
#include <utility>

#include "data/descriptors/document_values.h"
#include "data/descriptors/stored_bytes.h"

namespace tavo {

void IdMapping::Add(int32_t key, int32_t value) {
  pairs_.push_back({key, value});
  last_value_[key] = value;
}

std::optional<int32_t> IdMapping::Find(int32_t key) const noexcept {
  auto it = last_value_.find(key);
  if (it == last_value_.end()) return std::nullopt;
  return it->second;
}

std::string IdMapping::ToBytes() const {
  ByteWriter writer;
  writer.Put32(static_cast<uint32_t>(pairs_.size()));
  for (const IdPair& pair : pairs_) {
    writer.Put32(static_cast<uint32_t>(pair.key));
    writer.Put32(static_cast<uint32_t>(pair.value));
  }
  return writer.Take();
}

DescStatus IdMapping::FromBytes(std::string_view bytes, IdMapping* out) noexcept {
  if (out == nullptr) return kDescMissingList;
  ByteReader reader(bytes);
  uint32_t count = 0;
  if (!reader.Get32(&count) || count != reader.remaining() / 8 || reader.remaining() % 8 != 0) return kDescDamaged;
  try {
    IdMapping mapping;
    mapping.pairs_.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
      uint32_t key = 0, value = 0;
      reader.Get32(&key);
      reader.Get32(&value);
      mapping.Add(static_cast<int32_t>(key), static_cast<int32_t>(value));
    }
    *out = std::move(mapping);
    return kDescOk;
  } catch (const std::bad_alloc&) {
    return kDescNoMemory;
  }
}

DescStatus ReadVersionMapping(const XmlNode* root, IdMapping* out) noexcept {
  if (root == nullptr || out == nullptr) return kDescMissingList;
  try {
    IdMapping mapping;
    for (const XmlNode* item = XmlNode_FirstChild(root); item != nullptr; item = XmlNode_NextSibling(item)) {
      if (!IsNamed(item, "ITEM")) continue;
      const int32_t id = SignedFromText(XmlAttribute_Value(XmlNode_FirstAttribute(item)));
      for (const XmlNode* c = XmlNode_FirstChild(item); c != nullptr; c = XmlNode_NextSibling(c)) {
        if (IsNamed(c, "CHILD_ID")) {
          mapping.Add(SignedFromText(XmlNode_GetText(c)), id);
        } else if (IsNamed(c, "GENRE_ID")) {
          if (const int32_t genre = SignedFromText(XmlNode_GetText(c)); genre != 0) mapping.Add(id, genre);
        }
      }
    }
    *out = std::move(mapping);
    return kDescOk;
  } catch (const std::bad_alloc&) {
    return kDescNoMemory;
  }
}

DescStatus ReadVersionMapping(const char* text, size_t length, IdMapping* out) noexcept {
  if (out == nullptr) return kDescMissingList;
  XmlNodePtr owned;
  if (const int status = ParseDocumentText(text, length, &owned); status != kXmlOk) {
    return static_cast<DescStatus>(status);
  }
  return ReadVersionMapping(owned.get(), out);
}

}  // namespace tavo
