// Which class stands for which list, what objects made by the class factory
// answer, how items outlive their lists, and the null-pointer test of every
// member of objects that hold a list.
#include <gtest/gtest.h>

#include <map>

#include "descriptor_objects_test_util.h"
#include "support/null_out_calls.h"

namespace tavo {
namespace {

template <class I>
bool Answers(IUnknown* object) {
  ComPtr<I> asked;
  return SUCCEEDED(object->QueryInterface(IID_OF(I), asked.ReleaseAndGetVoidAddressOf()));
}

TEST(ObjectKinds, EachKindGetsItsClassAndOnlyOurListsGiveTheirList) {
  const struct {
    DescriptorKind kind;
    bool (*answers_list)(IUnknown*);
    bool (*answers_item)(IUnknown*);
  } cases[] = {
      {DescriptorKind::kEras, &Answers<ITavoEraDisplayList>, &Answers<ITavoEra>},
      {DescriptorKind::kOrigins, &Answers<ITavoOriginsList>, &Answers<ITavoPLDataListItem>},
      {DescriptorKind::kArtistTypes, &Answers<ITavoArtistTypeList>, &Answers<ITavoPLDataListItem>},
      {DescriptorKind::kGenres, &Answers<ITavoGenreDisplayList>, &Answers<ITavoPLDataListItem>},
      {DescriptorKind::kPopularityRanges, &Answers<ITavoPopularityRangeList>, &Answers<ITavoPopularityRange>},
      {DescriptorKind::kGenreFamilies, &Answers<ITavoPLDataList>, &Answers<ITavoPLDataListItem>},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    const DescriptorListPtr list = ListOf(Item(1), c.kind);
    ComPtr<ITavoPLDataList> object = MakeDescriptorListObject(list);
    ASSERT_TRUE(object);
    EXPECT_TRUE(c.answers_list(object.Get()));
    EXPECT_EQ(list, DescriptorListOf(object.Get()));
    ComPtr<ITavoPLDataListItem> item;
    ASSERT_EQ(S_OK, object->GetItem(1, item.ReleaseAndGetAddressOf()));
    EXPECT_TRUE(c.answers_item(item.Get()));
    // Only the era and popularity lists have items of their own classes.
    EXPECT_EQ(c.kind == DescriptorKind::kEras, Answers<ITavoEra>(item.Get()));
    EXPECT_EQ(c.kind == DescriptorKind::kPopularityRanges, Answers<ITavoPopularityRange>(item.Get()));
    EXPECT_EQ(nullptr, DescriptorListOf(item.Get()));  // an item is no list
  }
  EXPECT_EQ(nullptr, MakeDescriptorListObject(nullptr).Get());
  EXPECT_EQ(nullptr, DescriptorListOf(nullptr));
}

// Objects made by the class factory hold no list: each member that reads
// one fails with E_FAIL, and an ID list is empty.
TEST(ObjectKinds, FactoryMadeObjectsHoldNoList) {
  const auto create = [](HRESULT (*factory)(IUnknown*, REFIID, void**)) {
    ComPtr<IUnknown> object;
    EXPECT_EQ(S_OK, factory(nullptr, IID_IUnknown, object.ReleaseAndGetVoidAddressOf()));
    return object;
  };
  ComPtr<ITavoPLDataListItem> item;
  ComPtr<ITavoPLIDList> ids;
  LONG value = 0;
  BSTR text = nullptr;
  for (auto factory : {&TavoPLDataList::Create, &TavoArtistTypeList::Create, &TavoOriginsList::Create,
                       &TavoGenreDisplayList::Create, &TavoEraDisplayList::Create,
                       &TavoPopularityRangeList::Create}) {
    ComPtr<ITavoPLDataList> list;
    ASSERT_EQ(S_OK, create(factory).As(&list));
    EXPECT_EQ(nullptr, DescriptorListOf(list.Get()));
    EXPECT_EQ(E_FAIL, list->get_Count(&value));
    EXPECT_EQ(E_FAIL, list->GetItem(1, item.ReleaseAndGetAddressOf()));
    EXPECT_EQ(E_FAIL, list->GetItemById(1, item.ReleaseAndGetAddressOf()));
    EXPECT_EQ(E_FAIL, list->get_DescendantsById(1, ids.ReleaseAndGetAddressOf()));
    EXPECT_EQ(E_FAIL, list->get_LeafDescendantsById(1, ids.ReleaseAndGetAddressOf()));
  }
  ComPtr<ITavoGenreDisplayList> genres;
  ASSERT_EQ(S_OK, create(&TavoGenreDisplayList::Create).As(&genres));
  EXPECT_EQ(E_FAIL, genres->GetDisplayItemByID(1, item.ReleaseAndGetAddressOf()));
  ComPtr<ITavoEraDisplayList> eras;
  ASSERT_EQ(S_OK, create(&TavoEraDisplayList::Create).As(&eras));
  ComPtr<ITavoEra> era;
  EXPECT_EQ(E_FAIL, eras->GetEraByYear(1985, 1, era.ReleaseAndGetAddressOf()));

  for (auto factory : {&TavoPLDataListItem::Create, &TavoEra::Create, &TavoPopularityRange::Create}) {
    ASSERT_EQ(S_OK, create(factory).As(&item));
    EXPECT_EQ(E_FAIL, item->get_Id(&value));
    EXPECT_EQ(E_FAIL, item->get_Name(&text));
    EXPECT_EQ(E_FAIL, item->get_Description(&text));
    EXPECT_EQ(nullptr, text);
    EXPECT_EQ(E_FAIL, item->get_Children(ids.ReleaseAndGetAddressOf()));
    EXPECT_EQ(E_FAIL, item->get_Parents(ids.ReleaseAndGetAddressOf()));
  }
  ASSERT_EQ(S_OK, create(&TavoEra::Create).As(&era));
  EXPECT_EQ(E_FAIL, era->get_StartYear(&value));
  ComPtr<ITavoPopularityRange> range;
  ASSERT_EQ(S_OK, create(&TavoPopularityRange::Create).As(&range));
  EXPECT_EQ(E_FAIL, range->get_EndRange(&value));

  ASSERT_EQ(S_OK, create(&TavoPLIDList::Create).As(&ids));
  EXPECT_EQ(S_OK, ids->get_Count(&value));
  EXPECT_EQ(0, value);
  EXPECT_EQ(E_INVALIDARG, ids->GetID(1, &value));
}

// Items and ID lists keep what they show alive: the list object released,
// the list replaced by a refresh (a new list object over a new list) and
// every other reference to the old list dropped, they still answer. Under
// the sanitizers this catches any item that points into a freed list.
TEST(ObjectKinds, ItemsOutliveTheirListObjectAndItsReplacement) {
  DescriptorListPtr old_list = ListOf(
      "<ITEM ID=\"1\"><DISPLAY>Old</DISPLAY><CHILD_ID>2</CHILD_ID>"
      "<RANGE_START_DATE>1980</RANGE_START_DATE><RANGE_END_DATE>1989</RANGE_END_DATE></ITEM>" +
          Item(2),
      DescriptorKind::kEras);
  ComPtr<ITavoEraDisplayList> eras;
  ASSERT_EQ(S_OK, MakeDescriptorListObject(old_list).As(&eras));
  ComPtr<ITavoEra> era;
  ASSERT_EQ(S_OK, eras->GetEraByYear(1985, 1, era.ReleaseAndGetAddressOf()));
  ComPtr<ITavoPLIDList> children;
  ASSERT_EQ(S_OK, era->get_Children(children.ReleaseAndGetAddressOf()));

  // The refresh: the holder's list and object are replaced.
  eras = nullptr;
  old_list = ListOf("<ITEM ID=\"7\"><DISPLAY>New</DISPLAY></ITEM>", DescriptorKind::kEras);
  ASSERT_EQ(S_OK, MakeDescriptorListObject(old_list).As(&eras));

  EXPECT_EQ(1, IdOf(era.Get()));
  EXPECT_EQ(u"Old", NameOf(era.Get()));
  EXPECT_EQ((Ids{2}), LinkIds(era.Get(), &ITavoPLDataListItem::get_Children));
  EXPECT_EQ((Ids{}), LinkIds(era.Get(), &ITavoPLDataListItem::get_Parents));
  LONG year = 0;
  EXPECT_EQ(S_OK, era->get_EndYear(&year));
  EXPECT_EQ(1989, year);
  EXPECT_EQ((Ids{2}), IdsOf(children.Get()));
  EXPECT_EQ(7, IdOf([&] {
              ComPtr<ITavoPLDataListItem> item;
              eras->GetItem(1, item.ReleaseAndGetAddressOf());
              return item;
            }().Get()));
}

#define TAVO_DESCRIBED(I) TAVO_NULL_OUT_ENTRY(I)
const std::vector<null_out::DescribedInterface> kInterfaces = {
#include "platform/com/description_table_begin.h"
#include "tavo/interfaces.def"
#include "platform/com/description_table_end.h"
};
#undef TAVO_DESCRIBED

// Objects made by the class factory are covered by the module's null-pointer
// test; these hold a list, an item of each class, and an ID list.
TEST(ObjectKinds, NullOutPointersGiveEPointerOnObjectsThatHoldAList) {
  for (DescriptorKind kind : {DescriptorKind::kEras, DescriptorKind::kOrigins, DescriptorKind::kArtistTypes,
                              DescriptorKind::kGenres, DescriptorKind::kPopularityRanges,
                              DescriptorKind::kGenreFamilies}) {
    ComPtr<ITavoPLDataList> list = MakeDescriptorListObject(
        ListOf(Item(1, {2}) + "<ITEM ID=\"2\"><RANGE_START_DATE>1900</RANGE_START_DATE>"
                              "<RANGE_END_DATE>1999</RANGE_END_DATE></ITEM>",
               kind));
    ComPtr<ITavoPLDataListItem> item;
    ASSERT_EQ(S_OK, list->GetItem(1, item.ReleaseAndGetAddressOf()));
    ComPtr<ITavoPLIDList> children;
    ASSERT_EQ(S_OK, item->get_Children(children.ReleaseAndGetAddressOf()));
    for (IUnknown* object : {static_cast<IUnknown*>(list.Get()), static_cast<IUnknown*>(item.Get()),
                             static_cast<IUnknown*>(children.Get())}) {
      EXPECT_EQ("", null_out::UnexpectedNullOutStatuses(object, kInterfaces, {})) << static_cast<int>(kind);
    }
  }
}

}  // namespace
}  // namespace tavo
