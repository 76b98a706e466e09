#include "data/descriptors/list_document.h"

#include <gtest/gtest.h>

#include <string>

#include "control/scratch_dir.h"
#include "data/descriptors/folder_path.h"
#include "data/descriptors/named_list_file.h"
#include "data/test_catalog.h"
#include "data/descriptors/list_test_util.h"

namespace tavo {
namespace {

std::vector<int32_t> Ids(const DescriptorList& list) {
  std::vector<int32_t> ids;
  for (const DescriptorItem& item : list.items()) ids.push_back(item.id);
  return ids;
}

TEST(ListDocument, ReadsHeaderItemsAndExtensionIgnoringCase) {
  const std::string text =
      "<?xml version=\"1.0\"?><list name=\"genres\">"
      "<Revision><level>12</level><tag>r-7</tag></Revision>"
      "<FORMAT_VERSION>2</FORMAT_VERSION><language_id>1031</language_id><UNKNOWN>x</UNKNOWN>"
      "<ITEM id=\"300\" ORDINAL=\"2\"><DISPLAY>Rock</DISPLAY><description>All rock</description>"
      "<CHILD_ID>600</CHILD_ID><MASTER_ID>300</MASTER_ID><item_SYSTEM_LEVEL>1</item_SYSTEM_LEVEL>"
      "<GENRE_ID>5</GENRE_ID><EXTRA>ignored</EXTRA></ITEM>"
      "<ITEM ID=\"600\" ordinal=\"1\"><display>Classic</display><PARENT_ID>77</PARENT_ID>"
      "<MASTER_ID>300</MASTER_ID><SYSTEM_LEVEL>2</SYSTEM_LEVEL></ITEM>"
      "</list>";
  DescriptorListPtr list;
  ASSERT_EQ(kDescOk, ReadListDocument(DescriptorKind::kGenres, text.data(), text.size(), &list));
  const DescriptorListHeader& h = list->header();
  EXPECT_EQ("genres", h.name);
  EXPECT_EQ("12", h.revision_level);
  EXPECT_EQ("r-7", h.revision_tag);
  EXPECT_EQ(2, h.format_version);
  EXPECT_EQ(1031, h.language_id);
  ASSERT_EQ((std::vector<int32_t>{600, 300}), Ids(*list));  // ordinal order

  const DescriptorItem& rock = list->items()[1];
  EXPECT_EQ("Rock", rock.display_name);
  EXPECT_EQ("All rock", rock.description);
  EXPECT_EQ((std::vector<int32_t>{600}), rock.children);
  EXPECT_EQ(300, rock.master_id());
  EXPECT_EQ(1, rock.system_level());  // through the item_ alias

  const DescriptorItem& classic = list->items()[0];
  EXPECT_EQ(2, classic.system_level());
  EXPECT_EQ("", classic.description);
  // Declared parents first, derived ones after them.
  EXPECT_EQ((std::vector<int32_t>{77, 300}), classic.parents);
}

TEST(ListDocument, ExtensionsFollowTheKind) {
  const std::string items = Item(1, {}, "<RANGE_START_DATE>70000</RANGE_START_DATE><RANGE_END_DATE>1989</RANGE_END_DATE>"
                                        "<RANGE_START>100000</RANGE_START><RANGE_END>-3</RANGE_END><MASTER_ID>9</MASTER_ID>");
  const DescriptorItem era = ListOf(items, DescriptorKind::kEras)->items()[0];
  EXPECT_EQ(70000 & 0xFFFF, era.start_year());  // years are unsigned 16-bit
  EXPECT_EQ(1989, era.end_year());
  const DescriptorItem range = ListOf(items, DescriptorKind::kPopularityRanges)->items()[0];
  EXPECT_EQ(100000, range.range_start());  // 32-bit in memory
  EXPECT_EQ(-3, range.range_end());
  const DescriptorItem origin = ListOf(items, DescriptorKind::kOrigins)->items()[0];
  EXPECT_EQ(0, origin.extension[0]);
  EXPECT_EQ(0, origin.extension[1]);
}

// Parents come from children for every list, whatever order the items end
// up in: an item listed as child of A and of B reports A and B.
TEST(ListDocument, DerivesParentsFromChildren) {
  auto list = ListOf("<ITEM ID=\"5\" ORDINAL=\"3\"></ITEM>" + Item(1, {5, 9}) + Item(2, {5}));
  const DescriptorItem* shared = list->FindById(5);
  ASSERT_NE(nullptr, shared);
  EXPECT_EQ((std::vector<int32_t>{1, 2}), shared->parents);
  EXPECT_TRUE(list->FindById(1)->parents.empty());
  // Children from last to first: an item naming a child twice adds itself twice.
  auto twice = ListOf(Item(1, {2, 3, 2}) + Item(2) + Item(3));
  EXPECT_EQ((std::vector<int32_t>{1, 1}), twice->FindById(2)->parents);
}

TEST(ListDocument, Statuses) {
  DescriptorListPtr list;
  EXPECT_EQ(kDescNoText, ReadListDocument(DescriptorKind::kEras, nullptr, 0, &list));
  EXPECT_EQ(kDescNoText, ReadListDocument(DescriptorKind::kEras, "", 0, &list));
  const std::string malformed = "<LIST><ITEM></LIST>";
  EXPECT_EQ(kXmlMalformed, ReadListDocument(DescriptorKind::kEras, malformed.data(), malformed.size(), &list));
  EXPECT_EQ(nullptr, list);

  std::string huge = "<LIST>";
  for (int i = 0; i <= 65535; ++i) huge += "<ITEM ID=\"1\"/>";
  huge += "</LIST>";
  EXPECT_EQ(kDescTooLarge, ReadListDocument(DescriptorKind::kEras, huge.data(), huge.size(), &list));
  EXPECT_EQ(nullptr, list);
}

// Every list of the shipped catalog reads with its kind.
TEST(ListDocument, ReadsTheCatalog) {
  struct Case {
    DescriptorKind kind;
    const char* file;
    size_t items;
  } cases[] = {
      {DescriptorKind::kEras, "eras.xml", 15},
      {DescriptorKind::kOrigins, "origins.xml", 55},
      {DescriptorKind::kArtistTypes, "artist-types.xml", 12},
      {DescriptorKind::kGenres, "genres.xml", 201},
      {DescriptorKind::kPopularityRanges, "popularity-ranges.xml", 5},
      {DescriptorKind::kGenreFamilies, "genre-families.xml", 5},
  };
  for (const Case& c : cases) {
    DescriptorListPtr list = CatalogList(c.kind, c.file);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(c.items, list->size()) << c.file;
    EXPECT_EQ("3", list->header().revision_level);
    EXPECT_EQ("offline-2024.06", list->header().revision_tag);
    EXPECT_FALSE(list->cyclic()) << c.file;
  }
  DescriptorListPtr eras = CatalogList(DescriptorKind::kEras, "eras.xml");
  EXPECT_EQ(1980, eras->FindById(107)->start_year());
  EXPECT_EQ((std::vector<int32_t>{203}), eras->FindById(107)->parents);
  DescriptorListPtr genres = CatalogGenres();
  EXPECT_EQ("Arena Rock", genres->FindById(2768)->display_name);
  EXPECT_EQ(3, genres->FindById(2768)->system_level());
  EXPECT_EQ(300, genres->FindById(2768)->master_id());
}

TEST(NamedListFile, MissingOrDamagedFilesGiveEmptyLists) {
  ScratchDir dir;
  dir.Write("moods.xml", "<LIST NAME=\"moods\">" + Item(4) + Item(2) + "</LIST>");
  dir.Write("broken.xml", "<LIST><ITEM");
  for (const std::string& folder : {dir.path(), dir.path() + "/"}) {
    DescriptorListPtr list;
    ASSERT_EQ(kDescOk, ReadNamedListFile(folder, "moods", nullptr, &list));
    EXPECT_EQ(DescriptorKind::kArtistTypes, list->kind());
    EXPECT_EQ((std::vector<int32_t>{4, 2}), Ids(*list));
  }
  for (const char* name : {"absent", "broken"}) {
    DescriptorListPtr list;
    ASSERT_EQ(kDescOk, ReadNamedListFile(dir.path(), name, nullptr, &list));
    EXPECT_EQ(0u, list->size()) << name;
  }
}

TEST(FolderPath, AddsTheSeparatorOnlyWhenMissing) {
  EXPECT_EQ("/db/a.xml", JoinFolderPath("/db", "a.xml"));
  EXPECT_EQ("/db/a.xml", JoinFolderPath("/db/", "a.xml"));
  EXPECT_EQ("a.xml", JoinFolderPath("", "a.xml"));
  EXPECT_EQ("/a.xml", JoinFolderPath("/", "a.xml"));
}

}  // namespace
}  // namespace tavo
