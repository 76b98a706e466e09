// The committed catalog: that it is still its generator's output, that it
// agrees with the compiled-in genre table and with itself, and how the
// catalog reader answers for good and bad catalogs.
#include "control/catalog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "catalog_writer.h"
#include "data/genre_map/genre_map.h"
#include "data/xml/xml.h"
#include "scratch_dir.h"

namespace tavo::control {
namespace {

const std::string kCatalogDir = TAVO_SOURCE_DIR "/share/catalog";

// The track identifier a tag identifier encodes, or -1 when it does not
// parse. Written from the rule, independently of the generator.
int64_t TrackIdentifier(const std::string& text) {
  const std::string t = text.substr(0, 63);
  auto at = [&](size_t i) -> int { return i < t.size() ? static_cast<unsigned char>(t[i]) : -1; };
  size_t p;
  if (t.rfind("3CD3", 0) == 0) {
    p = 4;
  } else if (t.rfind("31Z1", 0) == 0 && at(4) >= 0) {
    p = 5 + (89 - at(4));
  } else {
    return -1;
  }
  const int k = 80 - at(p);
  const int length = 90 - at(p + k + 1);
  if (at(p) < 0 || k < 0 || length <= 0 || p + k + 2 + length > t.size()) return -1;
  int64_t n = 0;
  for (size_t i = p + k + 2; i < p + k + 2 + length; ++i) {
    if (t[i] < '0' || t[i] > '9') return -1;
    n = n * 10 + (t[i] - '0');
  }
  return n;
}

// A committed list document, parsed by the XML layer; none when it does not parse.
XmlNodePtr ParseListFile(const std::string& list) {
  const std::string text = ReadWholeFile(kCatalogDir + "/" + list + ".xml");
  XmlNode* root = nullptr;
  EXPECT_EQ(kXmlOk, XmlDocument_Parse(text.data(), text.size(), &root)) << list;
  return XmlNodePtr(root);
}

bool Named(const XmlNode* node, std::string_view name) { return name == XmlNode_GetName(node); }

// Item ids of a committed list document.
std::set<int32_t> ItemIds(const std::string& list) {
  const XmlNodePtr root = ParseListFile(list);
  std::set<int32_t> ids;
  for (const XmlNode* item = XmlNode_FirstChild(root.get()); item != nullptr; item = XmlNode_NextSibling(item)) {
    if (Named(item, "ITEM")) ids.insert(std::stoi(XmlNode_GetAttribute(item, "ID")));
  }
  return ids;
}

TEST(CatalogDataTest, CommittedCatalogIsTheGeneratorsOutput) {
  const auto files = CatalogFiles();
  for (const auto& [name, text] : files) {
    EXPECT_EQ(text, ReadWholeFile(kCatalogDir + "/" + name)) << name << ": rerun tavo-make-catalog share/catalog";
  }
  for (const auto& entry : std::filesystem::directory_iterator(kCatalogDir)) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "README.md" || files.count(name)) << "stray catalog file " << name;
  }
}

TEST(CatalogDataTest, GenreTablesHoldTheFixedPoints) {
  EXPECT_EQ(2768, GenreV1ToV2(2));
  for (int32_t unmapped : {0, 1, 272, -1, 100000}) EXPECT_EQ(-1, GenreV1ToV2(unmapped)) << unmapped;
  std::map<int32_t, int32_t> parent;
  std::set<int> levels;
  for (const GenreV2& g : GenreV2Table()) {
    EXPECT_TRUE(g.id >= 300 && g.id <= 9999) << g.id;
    EXPECT_TRUE(g.parent == 0 || parent.count(g.parent)) << g.id << " before its parent";
    parent[g.id] = g.parent;
    int level = 1;
    for (int32_t p = g.parent; p != 0; p = parent[p]) ++level;
    levels.insert(level);
  }
  EXPECT_GE(parent.size(), 150u);
  EXPECT_EQ((std::set<int>{1, 2, 3}), levels);
  for (const GenreV1& g : GenreV1Table()) {
    EXPECT_TRUE(g.v2 == -1 || parent.count(g.v2)) << "version-1 genre " << g.id << " maps to no genre";
  }
}

// The "genres-v1-to-v2" document read the way the manager reads it: the
// ITEM's first attribute is the id, GENRE_ID the version-2 genre.
TEST(CatalogDataTest, GenreMappingDocumentAgreesWithCompiledTable) {
  const XmlNodePtr root = ParseListFile("genres-v1-to-v2");
  ASSERT_NE(nullptr, root);
  std::map<int32_t, int32_t> mapped;
  std::map<int32_t, int32_t> back;  // CHILD_ID -> item
  int items = 0;
  for (const XmlNode* item = XmlNode_FirstChild(root.get()); item != nullptr; item = XmlNode_NextSibling(item)) {
    if (!Named(item, "ITEM")) continue;
    ++items;
    ASSERT_GT(XmlNode_AttributeCount(item), 0u);
    EXPECT_STREQ("ID", XmlNode_AttributeNameAt(item, 0));
    const int32_t id = std::stoi(XmlNode_AttributeValueAt(item, 0));
    for (const XmlNode* c = XmlNode_FirstChild(item); c != nullptr; c = XmlNode_NextSibling(c)) {
      const char* text = XmlNode_GetText(c);
      ASSERT_NE(nullptr, text);
      if (Named(c, "GENRE_ID")) mapped[id] = std::stoi(text);
      if (Named(c, "CHILD_ID")) {
        EXPECT_TRUE(back.emplace(std::stoi(text), id).second) << text << " twice";
      }
    }
  }
  EXPECT_EQ(kGenreV1Count, items);
  for (const GenreV1& g : GenreV1Table()) {
    EXPECT_EQ(g.v2, mapped.count(g.id) ? mapped[g.id] : -1) << g.id;
  }
  // Every genre translates back to exactly one version-1 genre.
  EXPECT_EQ(GenreV2Table().size(), back.size());
}

TEST(CatalogDataTest, RecordingsAreConsistentWithTheLists) {
  Catalog catalog(kCatalogDir);
  std::shared_ptr<const std::vector<CatalogRecording>> recordings;
  ASSERT_EQ(S_OK, catalog.Recordings(&recordings));
  ASSERT_GE(recordings->size(), 200u);
  const std::set<int32_t> eras = ItemIds("eras"), origins = ItemIds("origins"), types = ItemIds("artist-types"),
                          genres = ItemIds("genres");
  std::set<int64_t> numbers;
  std::set<int32_t> used_genres, used_origins, years;
  for (const CatalogRecording& r : *recordings) {
    const int64_t n = TrackIdentifier(r.tag_id);
    EXPECT_GT(n, 0) << r.tag_id << " does not parse";
    EXPECT_TRUE(numbers.insert(n).second) << r.tag_id << " repeats a track identifier";
    EXPECT_TRUE(eras.count(r.era) && origins.count(r.origin) && types.count(r.artist_type) && genres.count(r.genre_v2))
        << r.tag_id;
    const int32_t recorded = r.original_year ? r.original_year : r.year;
    EXPECT_TRUE(recorded >= 1920 + (r.era - 101) * 10 && recorded <= 1929 + (r.era - 101) * 10) << r.tag_id;
    EXPECT_EQ(GenreV2ToV1(r.genre_v2), r.genre_v1);
    EXPECT_TRUE(r.album_popularity >= 0 && r.album_popularity <= 100 && r.global_popularity >= 0 &&
                r.global_popularity <= 100);
    used_genres.insert(r.genre_v2);
    used_origins.insert(r.origin);
    years.insert(r.year);
  }
  // Spread wide enough for interesting playlists.
  EXPECT_GE(used_genres.size(), 30u);
  EXPECT_GE(used_origins.size(), 20u);
  EXPECT_GE(years.size(), 30u);
}

TEST(CatalogDataTest, CorrelatesNameKnownGenresOnTheirScale) {
  Catalog catalog(kCatalogDir);
  std::set<int32_t> v1;
  for (const GenreV1& g : GenreV1Table()) v1.insert(g.id);
  std::set<int32_t> by_level[2];
  for (const GenreV2& g : GenreV2Table()) {
    const bool style = g.parent != 0 && std::any_of(GenreV2Table().begin(), GenreV2Table().end(),
                                                    [&](const GenreV2& p) { return p.id == g.parent && p.parent != 0; });
    by_level[style ? 1 : 0].insert(g.id);
  }
  const std::set<int32_t>* known[] = {&v1, &by_level[0], &by_level[1]};
  for (int level = 0; level < 3; ++level) {
    std::shared_ptr<const CorrelateTable> table;
    ASSERT_EQ(S_OK, catalog.Correlates(level, &table));
    EXPECT_EQ(1, table->scale_min);
    EXPECT_EQ(10, table->scale_max);
    EXPECT_FALSE(table->entries.empty());
    for (const CorrelateEntry& e : table->entries) {
      EXPECT_TRUE(known[level]->count(e.genre_id)) << level << ": " << e.genre_id;
      for (const CorrelateRelated& r : e.related) {
        EXPECT_TRUE(known[level]->count(r.id)) << level << ": " << r.id;
        EXPECT_TRUE(r.weight >= 1 && r.weight <= 10);
      }
    }
  }
}

TEST(CatalogTest, ListDocumentHonoursTheCallersRevision) {
  Catalog catalog(kCatalogDir);
  std::string doc;
  EXPECT_EQ(S_FALSE, catalog.ListDocument("eras", "3", "offline-2024.06", &doc));
  EXPECT_TRUE(doc.empty());
  for (const auto& [level, tag] : std::vector<std::pair<std::string, std::string>>{
           {"", ""}, {"2", "offline-2024.06"}, {"3", "older"}, {"3", ""}}) {
    EXPECT_EQ(S_OK, catalog.ListDocument("eras", level, tag, &doc)) << level << "/" << tag;
    EXPECT_NE(std::string::npos, doc.find("<LIST NAME=\"eras\">"));
  }
  for (const char* name : {"../eras", "", "eras.xml", "no-such-list"}) {
    EXPECT_TRUE(FAILED(catalog.ListDocument(name, "", "", &doc))) << name;
  }
}

TEST(CatalogTest, ListDocumentsAreReadAsTheManagerReadsThem) {
  // Entities and character references decode; a document the XML layer does
  // not read is refused, whatever a more lenient reader would make of it.
  ScratchDir dir;
  dir.Write("genres.xml",
            "<?xml version=\"1.0\"?>\n<LIST NAME=\"genres\">\n"
            "  <ITEM ID=\"7\"><DISPLAY>R&amp;B &#x263A;&#65;</DISPLAY></ITEM>\n"
            "  <ITEM ID=\"8\"><DISPLAY></DISPLAY></ITEM>\n</LIST>\n");
  Catalog good(dir.path());
  std::string name;
  ASSERT_EQ(S_OK, good.GenreName(kGenreList, 7, &name));
  EXPECT_EQ("R&B \xE2\x98\xBA" "A", name);
  ASSERT_EQ(S_OK, good.GenreName(kGenreList, 8, &name));
  EXPECT_EQ("", name);
  std::string nested;
  for (size_t i = 0; i <= kXmlMaxDepth; ++i) nested += "<a>";
  for (size_t i = 0; i <= kXmlMaxDepth; ++i) nested += "</a>";
  for (const std::string& text : {
           std::string(""), std::string("<a>"), std::string("<a></b>"), std::string("<!-- list --><a/>"),
           std::string("<a x='1'/>"), std::string("<a>one<b/>two</a>"), std::string("text<a/>"),
           std::string("<a><!-- open</a>"), std::string("<a:b/>"), nested}) {
    dir.Write("eras.xml", text);
    std::string doc;
    EXPECT_EQ(TAVOCTL_E_CATALOG, Catalog(dir.path()).ListDocument(kEraList, "", "", &doc)) << text.substr(0, 40);
  }
}

TEST(CatalogTest, BadCatalogsFailTheCallThatMeetsThem) {
  ScratchDir dir;
  Catalog missing(dir.File("no-such-dir"));
  std::string doc;
  std::shared_ptr<const CorrelateTable> table;
  std::shared_ptr<const std::vector<CatalogRecording>> recordings;
  EXPECT_EQ(TAVOCTL_E_CATALOG, missing.ListDocument("genres", "", "", &doc));
  EXPECT_EQ(TAVOCTL_E_CATALOG, missing.Correlates(1, &table));
  EXPECT_EQ(TAVOCTL_E_CATALOG, missing.Recordings(&recordings));
  EXPECT_EQ(TAVOCTL_E_CATALOG, missing.Check());

  dir.Write("eras.xml", "<LIST NAME=\"eras\"><ITEM ID=\"1\"></LIST>");
  dir.Write("origins.xml", std::string("<LIST>\0</LIST>", 14));
  dir.Write("correlates-0.txt", "REVISION 3 x\n12 5:x\n");
  dir.Write("correlates-1.txt", "SCALE 1 10\n12 5:3\n");  // no revision
  dir.Write("recordings.txt", "3CD3PZ\ttoo few fields\n");
  Catalog bad(dir.path());
  EXPECT_EQ(TAVOCTL_E_CATALOG, bad.ListDocument("eras", "", "", &doc));
  EXPECT_EQ(TAVOCTL_E_CATALOG, bad.ListDocument("origins", "", "", &doc));
  EXPECT_EQ(TAVOCTL_E_CATALOG, bad.Correlates(0, &table));
  EXPECT_EQ(TAVOCTL_E_CATALOG, bad.Correlates(1, &table));
  EXPECT_EQ(E_INVALIDARG, bad.Correlates(3, &table));
  EXPECT_EQ(TAVOCTL_E_CATALOG, bad.Recordings(&recordings));
  CatalogRecording r;
  EXPECT_EQ(TAVOCTL_E_CATALOG, bad.FindRecording("3CD3PZ", &r));
  EXPECT_EQ(TAVOCTL_E_UNKNOWN_TAGID, Catalog(kCatalogDir).FindRecording("3CD3PU12345", &r));
}

}  // namespace
}  // namespace tavo::control
