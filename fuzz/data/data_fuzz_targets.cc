#include "data_fuzz_targets.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "data/descriptors/era_choice.h"
#include "data/descriptors/genre_display.h"
#include "data/descriptors/hierarchy.h"
#include "data/descriptors/id_mapping.h"
#include "data/descriptors/list_document.h"
#include "data/descriptors/stored_list.h"
#include "data/presets/preset_file.h"
#include "data/presets/preset_reader.h"

namespace tavo {
namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz invariant failed: %s\n", what);
    std::abort();
  }
}

// Walks from at most this many items keep one input fast.
constexpr size_t kMaxWalkedItems = 64;

void ExerciseList(const DescriptorList& list, uint16_t year) {
  std::vector<int32_t> ids;
  for (size_t i = 0; i < list.size() && i < kMaxWalkedItems; ++i) {
    const DescriptorItem& item = list.items()[i];
    Check(list.FindById(item.id) != nullptr, "FindById misses an item");
    const DescStatus all = Descendants(list, item.id, &ids);
    Check(all == kDescOk || all == kDescUnknownId || all == kDescTooMany, "descendant status");
    Check(all == kDescOk || ids.empty(), "a failed walk hands out ids");
    Check(ids.size() <= kDescMaxCount, "more descendants than a count holds");
    for (size_t d = 0; d < ids.size() && d < kMaxWalkedItems; ++d) {
      Check(IsUnder(list, ids[d], item.id), "a descendant is not under its ancestor");
    }
    LeafDescendants(list, item.id, &ids);
    (void)GenreDisplayId(list, item.id);
    for (int32_t child : item.children) (void)GenreDisplayId(list, child);
  }
  (void)ChooseEra(list, year, year % 50);
  IdMapping mapping;
  Check(BuildChildIdMapping(list, &mapping) == kDescOk, "child-id mapping");

  // The stored copy gives the list back (popularity bounds keep 16 bits).
  DescriptorListPtr back;
  uint32_t stored_at = 0;
  Check(DecodeList(EncodeList(list, 7), &back, &stored_at) == kDescOk && stored_at == 7, "stored copy decodes");
  Check(back->header() == list.header() && back->size() == list.size(), "stored copy header");
  for (size_t i = 0; i < list.size(); ++i) {
    DescriptorItem expected = list.items()[i];
    if (list.kind() == DescriptorKind::kPopularityRanges) {
      for (int32_t& bound : expected.extension) bound = static_cast<uint16_t>(bound);
    }
    Check(back->items()[i] == expected, "stored copy item");
  }
}

constexpr char kGenres[] =
    "<LIST><ITEM ID=\"300\"><CHILD_ID>600</CHILD_ID><CHILD_ID>9000</CHILD_ID><MASTER_ID>300</MASTER_ID>"
    "<SYSTEM_LEVEL>1</SYSTEM_LEVEL></ITEM><ITEM ID=\"600\"><CHILD_ID>300</CHILD_ID><MASTER_ID>300</MASTER_ID>"
    "<SYSTEM_LEVEL>2</SYSTEM_LEVEL><PARENT_ID>600</PARENT_ID></ITEM><ITEM ID=\"1000\"><PARENT_ID>600</PARENT_ID>"
    "<SYSTEM_LEVEL>3</SYSTEM_LEVEL></ITEM></LIST>";

std::string WriteRead(const std::string& text, const DescriptorList* genres, const IdMapping* mapping) {
  XmlNode* root = nullptr;
  if (XmlDocument_Parse(text.data(), text.size(), &root) != kXmlOk) return {};
  XmlNodePtr owned(root);
  GeneratorChain chain;
  ReadPresetDocument(root, genres, mapping, &chain);
  std::string written;
  Check(PresetFile_Text(chain, genres, &written), "preset text");
  return written;
}

}  // namespace

void FuzzDescriptorList(const uint8_t* data, size_t size) {
  if (size == 0) return;
  const DescriptorKind kind = static_cast<DescriptorKind>(data[0] % 6);
  const char* text = reinterpret_cast<const char*>(data + 1);
  DescriptorListPtr list;
  if (ReadListDocument(kind, text, size - 1, &list) == kDescOk) {
    ExerciseList(*list, static_cast<uint16_t>(size * 37));
  }
  IdMapping mapping;
  if (ReadVersionMapping(text, size - 1, &mapping) == kDescOk) {
    IdMapping back;
    Check(IdMapping::FromBytes(mapping.ToBytes(), &back) == kDescOk && back == mapping, "mapping bytes");
  }
  const std::string_view raw(text, size - 1);
  DescriptorItem item;
  if (DecodeItem(kind, raw, &item) == kDescOk) Check(EncodeItem(kind, item) == raw, "item bytes round trip");
  DescriptorListHeader header;
  uint32_t stored_at = 0, count = 0;
  (void)DecodeListHeader(raw, &header, &stored_at, &count);
  (void)IdMapping::FromBytes(raw, &mapping);
}

void FuzzPresetDocument(const uint8_t* data, size_t size) {
  static const DescriptorListPtr genres = [] {
    DescriptorListPtr list;
    ReadListDocument(DescriptorKind::kGenres, kGenres, sizeof(kGenres) - 1, &list);
    return list;
  }();
  static const IdMapping mapping = [] {
    IdMapping m;
    BuildChildIdMapping(*genres, &m);
    return m;
  }();
  const std::string first = WriteRead(std::string(reinterpret_cast<const char*>(data), size), genres.get(), &mapping);
  if (first.empty()) return;
  // A name the catalogue does not know loses its field on the first pass,
  // and the type that decided the parameters' form with it; after that the
  // text is stable.
  const std::string second = WriteRead(first, genres.get(), &mapping);
  Check(!second.empty(), "written text parses");
  Check(WriteRead(second, genres.get(), &mapping) == second, "written text is stable");
}

}  // namespace tavo
