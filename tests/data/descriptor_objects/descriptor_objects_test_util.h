// Descriptor list objects over small inline documents, and what their
// members answer, read back as plain values.
#ifndef TAVO_TESTS_DATA_DESCRIPTOR_OBJECTS_DESCRIPTOR_OBJECTS_TEST_UTIL_H_
#define TAVO_TESTS_DATA_DESCRIPTOR_OBJECTS_DESCRIPTOR_OBJECTS_TEST_UTIL_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/descriptors/list_test_util.h"
#include "data/descriptors/objects/descriptor_classes.h"
#include "data/descriptors/objects/descriptor_objects.h"
#include "platform/automation/utf.h"

namespace tavo {

using Ids = std::vector<LONG>;

// The list object of `kind` over a document of `items`, asked for I.
template <class I = ITavoPLDataList>
ComPtr<I> ListObject(const std::string& items, DescriptorKind kind = DescriptorKind::kGenres) {
  ComPtr<I> object;
  EXPECT_EQ(S_OK, MakeDescriptorListObject(ListOf(items, kind)).As(&object));
  return object;
}

inline Ids IdsOf(ITavoPLIDList* list) {
  Ids ids;
  LONG count = 0;
  if (list == nullptr || list->get_Count(&count) != S_OK) return {-1};
  for (LONG i = 1; i <= count; ++i) {
    LONG id = -1;
    EXPECT_EQ(S_OK, list->GetID(i, &id));
    ids.push_back(id);
  }
  return ids;
}

// The ids a list's walk from `id` hands out; {-1} when it fails.
inline Ids WalkIds(ITavoPLDataList* list, HRESULT (STDMETHODCALLTYPE ITavoPLDataList::*walk)(LONG, ITavoPLIDList**),
                   LONG id) {
  ComPtr<ITavoPLIDList> ids;
  if ((list->*walk)(id, ids.ReleaseAndGetAddressOf()) != S_OK) return {-1};
  return IdsOf(ids.Get());
}

// An item's children or parents; {-1} when the member fails.
inline Ids LinkIds(ITavoPLDataListItem* item, HRESULT (STDMETHODCALLTYPE ITavoPLDataListItem::*links)(ITavoPLIDList**)) {
  ComPtr<ITavoPLIDList> ids;
  if ((item->*links)(ids.ReleaseAndGetAddressOf()) != S_OK) return {-1};
  return IdsOf(ids.Get());
}

inline LONG IdOf(ITavoPLDataListItem* item) {
  LONG id = -1;
  if (item == nullptr || item->get_Id(&id) != S_OK) return -1;
  return id;
}

inline std::u16string NameOf(ITavoPLDataListItem* item) {
  BSTR name = nullptr;
  if (item->get_Name(&name) != S_OK) return u"<fail>";
  std::u16string text(BstrView(name));
  SysFreeString(name);
  return text;
}

}  // namespace tavo

#endif  // TAVO_TESTS_DATA_DESCRIPTOR_OBJECTS_DESCRIPTOR_OBJECTS_TEST_UTIL_H_
