#include "data/descriptors/hierarchy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/descriptors/era_choice.h"
#include "data/descriptors/genre_display.h"
#include "data/descriptors/list_test_util.h"
#include "data/test_catalog.h"

namespace tavo {
namespace {

using Ids = std::vector<int32_t>;

Ids DescendantsOf(const DescriptorList& list, int32_t id, DescStatus expect = kDescOk) {
  Ids out;
  EXPECT_EQ(expect, Descendants(list, id, &out)) << id;
  return out;
}

Ids LeavesOf(const DescriptorList& list, int32_t id, DescStatus expect = kDescOk) {
  Ids out;
  EXPECT_EQ(expect, LeafDescendants(list, id, &out)) << id;
  return out;
}

// 1 -> 2 -> 4, 1 -> 3 -> 4, 3 -> 99 (99 is no item): 4 is reached twice.
DescriptorListPtr Diamond() { return ListOf(Item(1, {2, 3}) + Item(2, {4}) + Item(3, {4, 99}) + Item(4)); }

TEST(Hierarchy, DescendantsArePreOrderWithRepeatsAndForeignIds) {
  auto list = Diamond();
  EXPECT_EQ((Ids{2, 4, 3, 4, 99}), DescendantsOf(*list, 1));
  EXPECT_EQ((Ids{4, 4}), LeavesOf(*list, 1));  // 99 is no item, so no leaf
  EXPECT_EQ((Ids{4}), LeavesOf(*list, 2));
  // Unknown ids and items without children have no descendants.
  DescendantsOf(*list, 4, kDescUnknownId);
  DescendantsOf(*list, 1234, kDescUnknownId);
  LeavesOf(*list, 4, kDescUnknownId);
}

TEST(Hierarchy, IsUnderFollowsChildLinks) {
  auto list = Diamond();
  EXPECT_TRUE(IsUnder(*list, 4, 1));
  EXPECT_TRUE(IsUnder(*list, 99, 1));  // a foreign id under an item
  EXPECT_TRUE(IsUnder(*list, 99, 3));
  EXPECT_FALSE(IsUnder(*list, 99, 2));
  EXPECT_FALSE(IsUnder(*list, 1, 4));
  EXPECT_FALSE(IsUnder(*list, 1, 1));
  EXPECT_FALSE(IsUnder(*list, 5, 1));
}

// Damaged hierarchies: items naming themselves or each other as children.
// Every walk ends; a child on the current path is skipped.
TEST(Hierarchy, CyclesNeverLoop) {
  auto self = ListOf(Item(1, {1, 2}) + Item(2));
  EXPECT_TRUE(self->cyclic());
  EXPECT_EQ((Ids{2}), DescendantsOf(*self, 1));
  EXPECT_EQ((Ids{1}), self->FindById(1)->parents);  // derived parents name it too

  auto ring = ListOf(Item(1, {2}) + Item(2, {3}) + Item(3, {1, 4}) + Item(4));
  EXPECT_TRUE(ring->cyclic());
  EXPECT_EQ((Ids{2, 3, 4}), DescendantsOf(*ring, 1));
  EXPECT_EQ((Ids{3, 1, 4}), DescendantsOf(*ring, 2));
  EXPECT_EQ((Ids{4}), LeavesOf(*ring, 2));
  EXPECT_TRUE(IsUnder(*ring, 1, 1));  // the ring leads back
  EXPECT_TRUE(IsUnder(*ring, 4, 2));
  EXPECT_FALSE(IsUnder(*ring, 5, 1));
  EXPECT_FALSE(Diamond()->cyclic());
}

// Twenty layers of two items, each naming both items of the next layer:
// 2^20 paths. The walk stops at 65,535 ids instead of wrapping its count.
TEST(Hierarchy, WalksFailPastTheCountLimit) {
  std::string items = Item(1, {100, 101});
  for (int layer = 0; layer < 20; ++layer) {
    const int next = 100 * (layer + 2);
    for (int i = 0; i < 2; ++i) items += Item(100 * (layer + 1) + i, {next, next + 1});
  }
  auto list = ListOf(items);
  EXPECT_TRUE(DescendantsOf(*list, 1, kDescTooMany).empty());
  EXPECT_TRUE(LeavesOf(*list, 1, kDescTooMany).empty());
  EXPECT_EQ(30u, DescendantsOf(*list, 1700).size());  // four layers of two below it
}

TEST(Hierarchy, CatalogGenres) {
  auto genres = CatalogGenres();
  EXPECT_EQ((Ids{1000, 1006, 2768, 1018}), LeavesOf(*genres, 600));  // 9000 is no item
  Ids rock = DescendantsOf(*genres, 300);
  EXPECT_EQ(600, rock.front());
  EXPECT_NE(rock.end(), std::find(rock.begin(), rock.end(), 9000));
  EXPECT_TRUE(IsUnder(*genres, 2768, 300));
  EXPECT_TRUE(IsUnder(*genres, 9000, 300));
  EXPECT_FALSE(IsUnder(*genres, 2768, 320));
  EXPECT_EQ((Ids{600}), genres->FindById(1000)->parents);
}

TEST(GenreDisplay, LooksUpIdsThroughTheHierarchy) {
  auto genres = ListOf(Item(1000, {500, 250}) + Item(1001, {500}) + Item(700, {600}) + Item(600));
  EXPECT_EQ(250, GenreDisplayId(*genres, 250));      // below 300: as it is
  EXPECT_EQ(12000, GenreDisplayId(*genres, 12000));  // 10000 and up: as it is
  EXPECT_EQ(600, GenreDisplayId(*genres, 600));      // an item: itself
  EXPECT_EQ(1001, GenreDisplayId(*genres, 500));     // the last item naming it
  EXPECT_EQ(555, GenreDisplayId(*genres, 555));      // unknown: as it is

  IdMapping mapping;
  ASSERT_EQ(kDescOk, BuildChildIdMapping(*genres, &mapping));
  EXPECT_EQ((std::vector<IdPair>{{500, 1000}, {250, 1000}, {500, 1001}}),
            std::vector<IdPair>(mapping.pairs().begin(), mapping.pairs().end()));
  EXPECT_EQ(1001, mapping.Find(500));
  EXPECT_EQ(std::nullopt, mapping.Find(600));  // an item, not mapped

  IdMapping catalog;
  ASSERT_EQ(kDescOk, BuildChildIdMapping(*CatalogGenres(), &catalog));
  EXPECT_EQ(600, catalog.Find(9000));
}

TEST(VersionMapping, PairsFromChildAndGenreIds) {
  const std::string text =
      "<LIST><ITEM ORDINAL=\"9\" ID=\"3\"><CHILD_ID>300</CHILD_ID><CHILD_ID>301</CHILD_ID><GENRE_ID>300</GENRE_ID></ITEM>"
      "<ITEM ID=\"4\"><GENRE_ID>0</GENRE_ID></ITEM><OTHER ID=\"7\"><CHILD_ID>1</CHILD_ID></OTHER></LIST>";
  IdMapping mapping;
  ASSERT_EQ(kDescOk, ReadVersionMapping(text.data(), text.size(), &mapping));
  // The id comes from the first attribute, whatever its name.
  EXPECT_EQ((std::vector<IdPair>{{300, 9}, {301, 9}, {9, 300}}),
            std::vector<IdPair>(mapping.pairs().begin(), mapping.pairs().end()));
  EXPECT_EQ(0, mapping.Translate(4));

  const IdMapping catalog = CatalogVersionMapping();
  EXPECT_EQ(2768, catalog.Translate(2));  // version 1 to version 2
  EXPECT_EQ(2, catalog.Translate(2768));  // and back
}

TEST(EraChoice, NarrowestThenFarthestFromTheBoundaryThenFirst) {
  auto era = [](int id, int start, int end) {
    return Item(id, {}, "<RANGE_START_DATE>" + std::to_string(start) + "</RANGE_START_DATE><RANGE_END_DATE>" +
                            std::to_string(end) + "</RANGE_END_DATE>");
  };
  auto eras = ListOf(era(1, 1900, 1999) + era(2, 1980, 1989) + era(3, 1981, 1990) + era(4, 3000, 12998) +
                         era(5, 2000, 2009) + era(6, 2002, 2007),
                     DescriptorKind::kEras);
  struct Case {
    uint16_t year;
    int32_t min_spread;
    int32_t chosen;  // 0: none
  } cases[] = {
      {1985, 1, 2},    // the decade inside the century; 1980-1989 and 1981-1990 tie at distance 4: the first
      {1985, 20, 1},   // the decades are too narrow
      {1850, 1, 0},    // outside every era but the one of span 9999 ...
      {4999, 1, 4},    // ... which is taken away from its boundary
      {3000, 1, 0},    // ... and not on it
      {2001, 1, 5},    // 2002-2007 does not hold 2001
      {2004, 1, 6},    // the narrower one
      {1985, -5, 2},
  };
  for (const Case& c : cases) {
    const DescriptorItem* chosen = ChooseEra(*eras, c.year, c.min_spread);
    EXPECT_EQ(c.chosen, chosen ? chosen->id : 0) << c.year << " " << c.min_spread;
  }
  auto catalog = CatalogList(DescriptorKind::kEras, "eras.xml");
  EXPECT_EQ(107, ChooseEra(*catalog, 1985, 1)->id);
  EXPECT_EQ(203, ChooseEra(*catalog, 1985, 11)->id);
}

}  // namespace
}  // namespace tavo
