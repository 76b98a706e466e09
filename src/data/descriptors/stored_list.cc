#include "data/descriptors/stored_list.h"

#include <new>
#include <utility>

#include "data/descriptors/stored_bytes.h"

namespace tavo {
namespace {

constexpr uint32_t kLayoutVersion = 1;

bool GetIds(ByteReader& reader, uint32_t count, std::vector<int32_t>* ids) {
  if (count > reader.remaining() / 4) return false;
  ids->resize(count);
  for (int32_t& id : *ids) {
    uint32_t v = 0;
    reader.Get32(&v);
    id = static_cast<int32_t>(v);
  }
  return true;
}

bool GetExtension(ByteReader& reader, const ExtensionValue& value, int32_t* out) {
  if (value.element.empty()) return true;
  if (value.stored_bytes == 2) {
    uint16_t v = 0;
    if (!reader.Get16(&v)) return false;
    *out = v;
    return true;
  }
  uint32_t v = 0;
  if (!reader.Get32(&v)) return false;
  *out = static_cast<int32_t>(v);
  return true;
}

}  // namespace

std::string EncodeListHeader(const DescriptorListHeader& header, uint32_t stored_time, uint32_t item_count) {
  ByteWriter writer;
  writer.Put32(kLayoutVersion);
  writer.Put32(static_cast<uint32_t>(header.kind));
  writer.Put32(stored_time);
  writer.Put32(static_cast<uint32_t>(header.format_version));
  writer.Put32(static_cast<uint32_t>(header.language_id));
  writer.Put32(item_count);
  writer.PutText(header.name);
  writer.PutText(header.revision_level);
  writer.PutText(header.revision_tag);
  return writer.Take();
}

std::string EncodeItem(DescriptorKind kind, const DescriptorItem& item) {
  ByteWriter writer;
  writer.Put32(static_cast<uint32_t>(item.id));
  writer.Put32(static_cast<uint32_t>(item.ordinal));
  const KindExtension& extension = ExtensionOf(kind);
  for (int slot = 0; slot < 2; ++slot) {
    const ExtensionValue& value = extension.values[slot];
    if (value.element.empty()) continue;
    if (value.stored_bytes == 2) {
      writer.Put16(static_cast<uint16_t>(item.extension[slot]));
    } else {
      writer.Put32(static_cast<uint32_t>(item.extension[slot]));
    }
  }
  writer.Put32(static_cast<uint32_t>(item.children.size()));
  writer.Put32(static_cast<uint32_t>(item.parents.size()));
  for (int32_t id : item.children) writer.Put32(static_cast<uint32_t>(id));
  for (int32_t id : item.parents) writer.Put32(static_cast<uint32_t>(id));
  writer.PutText(item.display_name);
  writer.PutText(item.description);
  return writer.Take();
}

StoredList EncodeList(const DescriptorList& list, uint32_t stored_time) {
  StoredList stored;
  stored.header = EncodeListHeader(list.header(), stored_time, static_cast<uint32_t>(list.size()));
  stored.items.reserve(list.size());
  for (const DescriptorItem& item : list.items()) stored.items.push_back(EncodeItem(list.kind(), item));
  return stored;
}

DescStatus DecodeListHeader(std::string_view bytes, DescriptorListHeader* header, uint32_t* stored_time,
                            uint32_t* item_count) noexcept {
  if (header == nullptr || stored_time == nullptr || item_count == nullptr) return kDescMissingList;
  try {
    ByteReader reader(bytes);
    uint32_t layout = 0, kind = 0, time = 0, format_version = 0, language_id = 0, count = 0;
    DescriptorListHeader decoded;
    if (!reader.Get32(&layout) || layout != kLayoutVersion || !reader.Get32(&kind) ||
        !IsDescriptorKind(static_cast<int32_t>(kind)) || !reader.Get32(&time) ||
        !reader.Get32(&format_version) || !reader.Get32(&language_id) || !reader.Get32(&count) ||
        !reader.GetText(&decoded.name) || !reader.GetText(&decoded.revision_level) ||
        !reader.GetText(&decoded.revision_tag) || reader.remaining() != 0) {
      return kDescDamaged;
    }
    decoded.kind = static_cast<DescriptorKind>(kind);
    decoded.format_version = static_cast<int32_t>(format_version);
    decoded.language_id = static_cast<int32_t>(language_id);
    *header = std::move(decoded);
    *stored_time = time;
    *item_count = count;
    return kDescOk;
  } catch (const std::bad_alloc&) {
    return kDescNoMemory;
  }
}

DescStatus DecodeItem(DescriptorKind kind, std::string_view bytes, DescriptorItem* item) noexcept {
  if (item == nullptr) return kDescMissingList;
  try {
    ByteReader reader(bytes);
    DescriptorItem decoded;
    uint32_t id = 0, ordinal = 0, child_count = 0, parent_count = 0;
    if (!reader.Get32(&id) || !reader.Get32(&ordinal)) return kDescDamaged;
    decoded.id = static_cast<int32_t>(id);
    decoded.ordinal = static_cast<int32_t>(ordinal);
    const KindExtension& extension = ExtensionOf(kind);
    for (int slot = 0; slot < 2; ++slot) {
      if (!GetExtension(reader, extension.values[slot], &decoded.extension[slot])) return kDescDamaged;
    }
    if (!reader.Get32(&child_count) || !reader.Get32(&parent_count) ||
        !GetIds(reader, child_count, &decoded.children) || !GetIds(reader, parent_count, &decoded.parents) ||
        !reader.GetText(&decoded.display_name) || !reader.GetText(&decoded.description) ||
        reader.remaining() != 0) {
      return kDescDamaged;
    }
    *item = std::move(decoded);
    return kDescOk;
  } catch (const std::bad_alloc&) {
    return kDescNoMemory;
  }
}

DescStatus DecodeList(const StoredList& stored, DescriptorListPtr* list, uint32_t* stored_time) noexcept {
  if (list == nullptr || stored_time == nullptr) return kDescMissingList;
  DescriptorListHeader header;
  uint32_t count = 0;
  if (DescStatus s = DecodeListHeader(stored.header, &header, stored_time, &count); s != kDescOk) return s;
  if (count != stored.items.size()) return kDescDamaged;
  try {
    std::vector<DescriptorItem> items(stored.items.size());
    for (size_t i = 0; i < items.size(); ++i) {
      if (DescStatus s = DecodeItem(header.kind, stored.items[i], &items[i]); s != kDescOk) return s;
    }
    return DescriptorList::Make(std::move(header), std::move(items), list);
  } catch (const std::bad_alloc&) {
    return kDescNoMemory;
  }
}

}  // namespace tavo
