// The list classes through their vtables and through Invoke by name: item
// order and 1-based indexes, derived parents, walks (also over a damaged
// hierarchy), era choice, genre display lookup, texts and bounds.
#include <gtest/gtest.h>

#include <vector>

#include "descriptor_objects_test_util.h"
#include "support/dispatch_call.h"

namespace tavo {
namespace {

using host_calls::CallByName;
using host_calls::LongArg;

ComPtr<ITavoPLDataListItem> ItemAt(ITavoPLDataList* list, LONG index) {
  ComPtr<ITavoPLDataListItem> item;
  list->GetItem(index, item.ReleaseAndGetAddressOf());
  return item;
}

// Calls `member` by name and reads the number `property` of the object it
// returns, both through Invoke; -1 when a call fails.
LONG NumberOfReturned(IDispatch* object, const char16_t* member, WORD flags, std::vector<VARIANT> args,
                      const char16_t* property) {
  VARIANT returned, number;
  VariantInit(&returned);
  VariantInit(&number);
  LONG value = -1;
  if (CallByName(object, member, flags, std::move(args), &returned) == S_OK && returned.vt == VT_DISPATCH &&
      CallByName(returned.pdispVal, property, DISPATCH_PROPERTYGET, {}, &number) == S_OK && number.vt == VT_I4) {
    value = number.lVal;
  }
  VariantClear(&returned);
  VariantClear(&number);
  return value;
}

ComPtr<ITavoPLDataListItem> ItemWithId(ITavoPLDataList* list, LONG id) {
  ComPtr<ITavoPLDataListItem> item;
  list->GetItemById(id, item.ReleaseAndGetAddressOf());
  return item;
}

TEST(ListObjects, ItemsComeInOrdinalOrderAndIndexesStartAtOne) {
  // ORDINAL 3, 1, 2 in document order; the items without one keep document
  // order at the end.
  ComPtr<ITavoPLDataList> list = ListObject(
      "<ITEM ID=\"30\" ORDINAL=\"3\"/><ITEM ID=\"10\" ORDINAL=\"1\"/><ITEM ID=\"20\" ORDINAL=\"2\"/>"
      "<ITEM ID=\"8\"/><ITEM ID=\"9\"/>");
  LONG count = 0;
  ASSERT_EQ(S_OK, list->get_Count(&count));
  ASSERT_EQ(5, count);
  Ids order;
  for (LONG i = 1; i <= count; ++i) order.push_back(IdOf(ItemAt(list.Get(), i).Get()));
  EXPECT_EQ((Ids{10, 20, 30, 8, 9}), order);

  ComPtr<ITavoPLDataListItem> item;
  for (LONG bad : {0, -1, 6}) EXPECT_EQ(E_INVALIDARG, list->GetItem(bad, item.ReleaseAndGetAddressOf())) << bad;
  EXPECT_EQ(nullptr, item.Get());
  EXPECT_EQ(20, IdOf(ItemWithId(list.Get(), 20).Get()));
  EXPECT_EQ(E_FAIL, list->GetItemById(11, item.ReleaseAndGetAddressOf()));

  // The same through dispatch, by name.
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(S_OK, CallByName(list.Get(), u"Count", DISPATCH_PROPERTYGET, {}, &result));
  EXPECT_EQ(VT_I4, result.vt);
  EXPECT_EQ(5, result.lVal);
  EXPECT_EQ(10, NumberOfReturned(list.Get(), u"getitem", DISPATCH_METHOD, {LongArg(1)}, u"Id"));
  EXPECT_EQ(20, NumberOfReturned(list.Get(), u"GetItemById", DISPATCH_METHOD, {LongArg(20)}, u"Id"));
  EXPECT_EQ(E_INVALIDARG, CallByName(list.Get(), u"GetItem", DISPATCH_METHOD, {LongArg(0)}, &result));
  EXPECT_EQ(E_FAIL, CallByName(list.Get(), u"GetItemById", DISPATCH_METHOD, {LongArg(11)}, &result));
}

TEST(ListObjects, ParentsAreDerivedFromChildIds) {
  // Only CHILD_ID is declared: 3 is a child of 1 and of 2.
  ComPtr<ITavoPLDataList> list = ListObject(Item(1, {3}) + Item(2, {3, 77}) + Item(3));
  ComPtr<ITavoPLDataListItem> three = ItemWithId(list.Get(), 3);
  EXPECT_EQ((Ids{1, 2}), LinkIds(three.Get(), &ITavoPLDataListItem::get_Parents));
  EXPECT_EQ((Ids{}), LinkIds(three.Get(), &ITavoPLDataListItem::get_Children));
  ComPtr<ITavoPLDataListItem> two = ItemWithId(list.Get(), 2);
  EXPECT_EQ((Ids{3, 77}), LinkIds(two.Get(), &ITavoPLDataListItem::get_Children));
  EXPECT_EQ((Ids{}), LinkIds(two.Get(), &ITavoPLDataListItem::get_Parents));

  ComPtr<ITavoPLIDList> children;
  ASSERT_EQ(S_OK, two->get_Children(children.ReleaseAndGetAddressOf()));
  LONG id = 0;
  for (LONG bad : {0, 3}) EXPECT_EQ(E_INVALIDARG, children->GetID(bad, &id)) << bad;
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(S_OK, CallByName(children.Get(), u"GetID", DISPATCH_METHOD, {LongArg(2)}, &result));
  EXPECT_EQ(77, result.lVal);
}

TEST(ListObjects, DescendantWalksEndAlsoOnCycles) {
  // 1 -> 2 -> 4, 1 -> 3 (all of 3's children are leaves).
  ComPtr<ITavoPLDataList> tree = ListObject(Item(1, {2, 3}) + Item(2, {4}) + Item(3, {5, 6}) + Item(4) +
                                            Item(5) + Item(6));
  const auto all = &ITavoPLDataList::get_DescendantsById;
  const auto leaves = &ITavoPLDataList::get_LeafDescendantsById;
  EXPECT_EQ((Ids{2, 4, 3, 5, 6}), WalkIds(tree.Get(), all, 1));
  EXPECT_EQ((Ids{4, 5, 6}), WalkIds(tree.Get(), leaves, 1));
  EXPECT_EQ((Ids{5, 6}), WalkIds(tree.Get(), leaves, 3));
  // A leaf and an unknown id have no descendants.
  EXPECT_EQ((Ids{-1}), WalkIds(tree.Get(), leaves, 4));
  EXPECT_EQ((Ids{-1}), WalkIds(tree.Get(), all, 4));
  EXPECT_EQ((Ids{-1}), WalkIds(tree.Get(), all, 99));

  // 1 -> 2 -> 3 -> 1: each walk skips the child already on its path.
  ComPtr<ITavoPLDataList> ring = ListObject(Item(1, {2}) + Item(2, {3}) + Item(3, {1, 4}) + Item(4));
  EXPECT_EQ((Ids{2, 3, 4}), WalkIds(ring.Get(), all, 1));
  EXPECT_EQ((Ids{4}), WalkIds(ring.Get(), leaves, 2));

  EXPECT_EQ(5, NumberOfReturned(tree.Get(), u"DescendantsById", DISPATCH_PROPERTYGET, {LongArg(1)}, u"Count"));
  EXPECT_EQ(3, NumberOfReturned(tree.Get(), u"LeafDescendantsById", DISPATCH_PROPERTYGET, {LongArg(1)}, u"Count"));
}

std::string Era(int id, int start, int end) {
  return "<ITEM ID=\"" + std::to_string(id) + "\"><RANGE_START_DATE>" + std::to_string(start) +
         "</RANGE_START_DATE><RANGE_END_DATE>" + std::to_string(end) + "</RANGE_END_DATE></ITEM>";
}

TEST(ListObjects, EraByYearChoosesTheNarrowestThenTheMostCentral) {
  const std::string century_and_decade = Era(1, 1900, 1999) + Era(2, 1980, 1989);
  const struct {
    std::string eras;
    LONG year, min_spread;
    LONG chosen;  // the era's id; 0: E_INVALIDARG
  } cases[] = {
      {century_and_decade, 1985, 1, 2},
      {century_and_decade, 1985, 20, 1},
      {century_and_decade, 1850, 1, 0},
      {century_and_decade, 1985 + 65536, 1, 2},  // the year is taken as 16 bits
      {Era(1, 1980, 1989) + Era(2, 1981, 1990), 1985, 1, 1},  // distance 4 against 4: the first
      {Era(1, 1980, 1989) + Era(2, 1981, 1990), 1986, 1, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.eras + " year " + std::to_string(c.year) + " spread " + std::to_string(c.min_spread));
    ComPtr<ITavoEraDisplayList> eras = ListObject<ITavoEraDisplayList>(c.eras, DescriptorKind::kEras);
    ComPtr<ITavoEra> era;
    const HRESULT hr = eras->GetEraByYear(c.year, c.min_spread, era.ReleaseAndGetAddressOf());
    if (c.chosen == 0) {
      EXPECT_EQ(E_INVALIDARG, hr);
      continue;
    }
    ASSERT_EQ(S_OK, hr);
    EXPECT_EQ(c.chosen, IdOf(era.Get()));
  }

  // An era's years; GetItem of an era list gives eras too. By name as well.
  ComPtr<ITavoEraDisplayList> eras = ListObject<ITavoEraDisplayList>(century_and_decade, DescriptorKind::kEras);
  ComPtr<ITavoEra> decade;
  ASSERT_EQ(S_OK, ItemAt(eras.Get(), 2).As(&decade));
  LONG start = 0, end = 0;
  EXPECT_EQ(S_OK, decade->get_StartYear(&start));
  EXPECT_EQ(S_OK, decade->get_EndYear(&end));
  EXPECT_EQ(1980, start);
  EXPECT_EQ(1989, end);
  EXPECT_EQ(1900, NumberOfReturned(eras.Get(), u"GetEraByYear", DISPATCH_METHOD, {LongArg(1985), LongArg(20)},
                                   u"StartYear"));
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(E_INVALIDARG,
            CallByName(eras.Get(), u"GetEraByYear", DISPATCH_METHOD, {LongArg(1850), LongArg(1)}, &result));
}

TEST(ListObjects, GenreDisplayItemStandsForChildIdsOfTheMiddleRange) {
  // 500 is only a CHILD_ID, of 1000 and then of 2000 (the last one wins);
  // 600 is only a CHILD_ID of 1000.
  ComPtr<ITavoGenreDisplayList> genres = ListObject<ITavoGenreDisplayList>(
      Item(250) + Item(1000, {500, 600}) + Item(2000, {500}) + Item(12000, {11000}) + Item(200, {150}));
  const struct {
    LONG id;
    LONG shown;  // -1: E_FAIL
  } cases[] = {
      {250, 250}, {500, 2000}, {600, 1000}, {1000, 1000},
      {700, -1},    // in the range, named by nobody, not an item
      {11000, -1},  // from 10000 up ids are used as they are
      {150, -1},    // below 300 as well
  };
  for (const auto& c : cases) {
    ComPtr<ITavoPLDataListItem> item;
    const HRESULT hr = genres->GetDisplayItemByID(c.id, item.ReleaseAndGetAddressOf());
    EXPECT_EQ(c.shown < 0 ? E_FAIL : S_OK, hr) << c.id;
    EXPECT_EQ(c.shown, IdOf(item.Get())) << c.id;
  }
  EXPECT_EQ(1000, NumberOfReturned(genres.Get(), u"GetDisplayItemByID", DISPATCH_METHOD, {LongArg(600)}, u"Id"));
}

TEST(ListObjects, TextsAreUtf16AndCutAt2048Characters) {
  const std::string long_name(3000, 'a');
  // 2047 characters, then a character outside the BMP (two UTF-16 units)
  // that the cut must not split.
  const std::string astral = std::string(2047, 'b') + "\xF0\x9F\x8E\xB5";
  ComPtr<ITavoPLDataList> list = ListObject(
      "<ITEM ID=\"1\"><DISPLAY>Caf\xC3\xA9 \xE2\x99\xAA</DISPLAY><DESCRIPTION>" + long_name +
      "</DESCRIPTION></ITEM><ITEM ID=\"2\"><DISPLAY>" + astral + "</DISPLAY></ITEM>");
  ComPtr<ITavoPLDataListItem> first = ItemWithId(list.Get(), 1);
  EXPECT_EQ(u"Caf\u00E9 \u266A", NameOf(first.Get()));
  BSTR description = nullptr;
  ASSERT_EQ(S_OK, first->get_Description(&description));
  EXPECT_EQ(2048u, SysStringLen(description));
  SysFreeString(description);
  EXPECT_EQ(std::u16string(2047, u'b'), NameOf(ItemWithId(list.Get(), 2).Get()));
}

TEST(ListObjects, PopularityRangesCarryTheirBounds) {
  ComPtr<ITavoPopularityRangeList> ranges = ListObject<ITavoPopularityRangeList>(
      "<ITEM ID=\"1\"><RANGE_START>0</RANGE_START><RANGE_END>70000</RANGE_END></ITEM>",
      DescriptorKind::kPopularityRanges);
  ComPtr<ITavoPopularityRange> range;
  ASSERT_EQ(S_OK, ItemAt(ranges.Get(), 1).As(&range));
  LONG start = -1, end = -1;
  EXPECT_EQ(S_OK, range->get_StartRange(&start));
  EXPECT_EQ(S_OK, range->get_EndRange(&end));
  EXPECT_EQ(0, start);
  EXPECT_EQ(70000, end);  // a list read from its document keeps 32-bit bounds
}

}  // namespace
}  // namespace tavo
