#include "data/descriptors/objects/kind_classes.h"

#include <iterator>

#include "data/descriptors/objects/descriptor_objects.h"
#include "data/descriptors/objects/item_classes.h"
#include "data/descriptors/objects/list_classes.h"

namespace tavo {
namespace {

// A new Class made from `args`, as its interface I; null when out of memory.
template <class I, class Class, class... Args>
ComPtr<I> MakeAs(Args... args) {
  ComPtr<Class> object = Class::Make(std::move(args)...);
  return ComPtr<I>(object.Get());
}

struct KindClasses {
  DescriptorKind kind;
  ComPtr<ITavoPLDataList> (*make_list)(DescriptorListPtr list);
  ComPtr<ITavoPLDataListItem> (*make_item)(DescriptorListPtr list, size_t position);
};

template <class List, class Item>
constexpr KindClasses Classes(DescriptorKind kind) {
  return {kind, &MakeAs<ITavoPLDataList, List, DescriptorListPtr>,
          &MakeAs<ITavoPLDataListItem, Item, DescriptorListPtr, size_t>};
}

// The last entry serves every kind the table does not name.
constexpr KindClasses kKindClasses[] = {
    Classes<TavoEraDisplayList, TavoEra>(DescriptorKind::kEras),
    Classes<TavoOriginsList, TavoPLDataListItem>(DescriptorKind::kOrigins),
    Classes<TavoArtistTypeList, TavoPLDataListItem>(DescriptorKind::kArtistTypes),
    Classes<TavoGenreDisplayList, TavoPLDataListItem>(DescriptorKind::kGenres),
    Classes<TavoPopularityRangeList, TavoPopularityRange>(DescriptorKind::kPopularityRanges),
    Classes<TavoPLDataList, TavoPLDataListItem>(DescriptorKind::kGenreFamilies),
};

const KindClasses& ClassesOf(DescriptorKind kind) {
  for (const KindClasses& entry : kKindClasses) {
    if (entry.kind == kind) return entry;
  }
  return kKindClasses[std::size(kKindClasses) - 1];
}

}  // namespace

ComPtr<ITavoPLDataList> MakeDescriptorListObject(DescriptorListPtr list) {
  if (list == nullptr) return nullptr;
  const DescriptorKind kind = list->kind();
  return ClassesOf(kind).make_list(std::move(list));
}

ComPtr<ITavoPLDataListItem> MakeItemObject(const DescriptorListPtr& list, size_t position) {
  return ClassesOf(list->kind()).make_item(list, position);
}

}  // namespace tavo
