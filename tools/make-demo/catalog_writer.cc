#include "catalog_writer.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

#include "data/genre_map/genre_map.h"
#include "demo_catalog.h"

namespace tavo {
namespace {

std::string Escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Element(const char* name, std::string_view text) {
  return std::string("    <") + name + ">" + Escape(text) + "</" + name + ">\n";
}

std::string Element(const char* name, int32_t value) { return Element(name, std::to_string(value)); }

// The list document frame: root LIST with its NAME, the revision, format and
// language, then the items.
std::string ListDocument(const char* name, const std::string& items) {
  std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  doc += std::string("<LIST NAME=\"") + name + "\">\n";
  doc += std::string("  <REVISION>\n    <LEVEL>") + kCatalogRevisionLevel + "</LEVEL>\n    <TAG>" +
         kCatalogRevisionTag + "</TAG>\n  </REVISION>\n";
  doc += "  <FORMAT_VERSION>1</FORMAT_VERSION>\n  <LANGUAGE_ID>1033</LANGUAGE_ID>\n";
  return doc + items + "</LIST>\n";
}

// What a kind adds inside ITEM after the children.
enum class Extension { kNone, kYears, kPercent, kGenreId };

std::string DescriptorDocument(const char* name, const std::vector<CatalogItem>& items, Extension ext) {
  std::string body;
  int ordinal = 0;
  for (const CatalogItem& item : items) {
    body += "  <ITEM ID=\"" + std::to_string(item.id) + "\" ORDINAL=\"" + std::to_string(++ordinal) + "\">\n";
    body += Element("DISPLAY", item.name) + Element("DESCRIPTION", item.description);
    for (int32_t child : item.children) body += Element("CHILD_ID", child);
    switch (ext) {
      case Extension::kYears:
        body += Element("RANGE_START_DATE", item.range_start) + Element("RANGE_END_DATE", item.range_end);
        break;
      case Extension::kPercent:
        body += Element("RANGE_START", item.range_start) + Element("RANGE_END", item.range_end);
        break;
      case Extension::kGenreId:
        body += Element("GENRE_ID", item.genre_id);
        break;
      case Extension::kNone:
        break;
    }
    body += "  </ITEM>\n";
  }
  return ListDocument(name, body);
}

const GenreV2* FindGenre(int32_t id) {
  for (const GenreV2& g : GenreV2Table()) {
    if (g.id == id) return &g;
  }
  return nullptr;
}

std::vector<int32_t> ChildrenOf(int32_t id) {
  std::vector<int32_t> out;
  for (const GenreV2& g : GenreV2Table()) {
    if (g.parent == id) out.push_back(g.id);
  }
  return out;
}

int32_t TopOf(int32_t id) {
  const GenreV2* g = FindGenre(id);
  while (g != nullptr && g->parent != 0) g = FindGenre(g->parent);
  return g ? g->id : 0;
}

int LevelOf(int32_t id) {
  int level = 0;
  for (const GenreV2* g = FindGenre(id); g != nullptr; g = FindGenre(g->parent)) ++level;
  return level;
}

// Ids below the genre list's own that the service used to issue for
// sub-genres it has since merged; they stay reachable as CHILD_IDs.
int32_t RetiredChildOf(int32_t sub_id) { return 9000 + (sub_id - 600); }

std::string GenreDocument() {
  std::string body;
  int ordinal = 0;
  for (const GenreV2& g : GenreV2Table()) {
    const int level = LevelOf(g.id);
    const GenreV2* parent = FindGenre(g.parent);
    std::string description = level == 1   ? std::string(g.name) + " and its styles"
                              : level == 2 ? std::string(g.name) + ", a branch of " + std::string(parent->name)
                                           : std::string(g.name) + ", a style of " + std::string(parent->name);
    body += "  <ITEM ID=\"" + std::to_string(g.id) + "\" ORDINAL=\"" + std::to_string(++ordinal) + "\">\n";
    body += Element("DISPLAY", g.name) + Element("DESCRIPTION", description);
    for (int32_t child : ChildrenOf(g.id)) body += Element("CHILD_ID", child);
    if (level == 2 && g.id % 10 == 0) body += Element("CHILD_ID", RetiredChildOf(g.id));
    body += Element("MASTER_ID", TopOf(g.id)) + Element("SYSTEM_LEVEL", level);
    body += "  </ITEM>\n";
  }
  return ListDocument("genres", body);
}

// ITEM ID is the version-1 id (the first attribute); GENRE_ID its version-2
// genre, left out when it has none; CHILD_ID the version-2 genres that
// translate back to it.
std::string GenreV1Document() {
  std::string body;
  for (const GenreV1& g : GenreV1Table()) {
    body += "  <ITEM ID=\"" + std::to_string(g.id) + "\" ORDINAL=\"" + std::to_string(g.id + 1) + "\">\n";
    body += Element("DISPLAY", g.name);
    for (const GenreV2& v2 : GenreV2Table()) {
      if (GenreV2ToV1(v2.id) == g.id) body += Element("CHILD_ID", v2.id);
    }
    if (g.v2 > 0) body += Element("GENRE_ID", g.v2);
    body += "  </ITEM>\n";
  }
  return ListDocument("genres-v1-to-v2", body);
}

// ---- correlates --------------------------------------------------------

// Top-level genres that listeners of one often like in the other.
const std::vector<std::pair<std::string_view, std::string_view>>& RelatedTops() {
  static const std::vector<std::pair<std::string_view, std::string_view>> pairs = {
      {"Rock", "Blues"},     {"Rock", "Country"},       {"Pop", "Electronic"},   {"Pop", "R&B and Soul"},
      {"Hip-Hop", "R&B and Soul"}, {"Jazz", "Blues"},   {"Jazz", "Classical"},   {"Folk", "Country"},
      {"Latin", "World"},    {"Reggae", "World"},       {"Reggae", "Hip-Hop"},   {"Electronic", "Hip-Hop"},
      {"Folk", "World"},     {"Rock", "Folk"},          {"Jazz", "R&B and Soul"}};
  return pairs;
}

bool TopsRelated(int32_t a, int32_t b) {
  const GenreV2* ga = FindGenre(a);
  const GenreV2* gb = FindGenre(b);
  for (const auto& [x, y] : RelatedTops()) {
    if ((ga->name == x && gb->name == y) || (ga->name == y && gb->name == x)) return true;
  }
  return false;
}

// A weight from `base` that varies by one with the (unordered) pair, so the
// tables are symmetric.
int32_t Weight(int32_t base, int32_t a, int32_t b) {
  const uint32_t lo = static_cast<uint32_t>(std::min(a, b)), hi = static_cast<uint32_t>(std::max(a, b));
  return base + static_cast<int32_t>((lo * 2654435761U ^ hi * 40503U) >> 7) % 2;
}

struct Related {
  int32_t id;
  int32_t weight;
};
using Table = std::vector<std::pair<int32_t, std::vector<Related>>>;

std::string CorrelateFile(int level, const char* what, const Table& table) {
  std::string out = "# Genre correlates of level " + std::to_string(level) + ": " + what + "\n";
  out += std::string("REVISION ") + kCatalogRevisionLevel + " " + kCatalogRevisionTag + "\n";
  out += "SCALE 1 10\n";
  for (const auto& [id, related] : table) {
    out += std::to_string(id);
    for (const Related& r : related) out += " " + std::to_string(r.id) + ":" + std::to_string(r.weight);
    out += "\n";
  }
  return out;
}

// Level 2: styles. Siblings 8-9, styles of the same top-level genre 5-6,
// and the first styles of related top-level genres 3.
Table StyleCorrelates() {
  std::vector<int32_t> styles;
  for (const GenreV2& g : GenreV2Table()) {
    if (LevelOf(g.id) == 3) styles.push_back(g.id);
  }
  Table table;
  for (int32_t s : styles) {
    std::vector<Related> related;
    const int32_t parent = FindGenre(s)->parent;
    int cousins = 0, others = 0;
    for (int32_t o : styles) {
      if (o == s) continue;
      const int32_t o_parent = FindGenre(o)->parent;
      if (o_parent == parent) {
        related.push_back({o, Weight(8, s, o)});
      } else if (TopOf(o) == TopOf(s) && cousins < 4) {
        ++cousins;
        related.push_back({o, Weight(5, s, o)});
      } else if (TopsRelated(TopOf(o), TopOf(s)) && others < 3 && ChildrenOf(o_parent).front() == o) {
        ++others;
        related.push_back({o, 3});
      }
    }
    table.push_back({s, related});
  }
  return table;
}

// Level 1: top-level genres and their branches. A top-level genre relates to
// its branches (9) and related top-level genres (4-5); a branch to its
// top-level genre (9) and its sibling branches (6-7).
Table BranchCorrelates() {
  Table table;
  for (const GenreV2& g : GenreV2Table()) {
    const int level = LevelOf(g.id);
    if (level == 3) continue;
    std::vector<Related> related;
    if (level == 1) {
      for (int32_t sub : ChildrenOf(g.id)) related.push_back({sub, 9});
      for (const GenreV2& o : GenreV2Table()) {
        if (o.parent == 0 && o.id != g.id && TopsRelated(o.id, g.id)) related.push_back({o.id, Weight(4, g.id, o.id)});
      }
    } else {
      related.push_back({g.parent, 9});
      for (int32_t sub : ChildrenOf(g.parent)) {
        if (sub != g.id) related.push_back({sub, Weight(6, g.id, sub)});
      }
    }
    table.push_back({g.id, related});
  }
  return table;
}

// Level 0: version-1 genres. The vocal and instrumental variants of one
// genre relate with 10, genres of one branch with 7-8; at most 12 each.
Table V1Correlates() {
  Table table;
  for (const GenreV1& g : GenreV1Table()) {
    if (g.v2 <= 0) continue;
    const int32_t parent = FindGenre(g.v2)->parent;
    std::vector<Related> related;
    for (const GenreV1& o : GenreV1Table()) {
      if (o.id == g.id || o.v2 <= 0 || related.size() >= 12) continue;
      if (o.v2 == g.v2) {
        related.push_back({o.id, 10});
      } else if (parent != 0 && FindGenre(o.v2)->parent == parent) {
        related.push_back({o.id, Weight(7, g.id, o.id)});
      }
    }
    table.push_back({g.id, related});
  }
  return table;
}

std::string Join(const std::vector<std::string>& parts) {
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : "|") + p;
  return out;
}

std::string RecordingsFile() {
  std::string out =
      "# tag_id\ttitle\ttitle_sort\tartists\tartist_sorts\talbum\tlabel\ttrack\ttotal_tracks\tyear\t"
      "original_year\tgenre_v1\tgenre_v2\tera\torigin\tartist_type\talbum_popularity\tglobal_popularity\n";
  for (const Recording& r : DemoRecordings()) {
    const std::vector<std::string> fields = {
        r.tag_id, r.title, r.title_sort, Join(r.artists), Join(r.artist_sorts), r.album, r.label,
        std::to_string(r.track), std::to_string(r.total_tracks), std::to_string(r.year),
        std::to_string(r.original_year), std::to_string(r.genre_v1), std::to_string(r.genre_v2),
        std::to_string(r.era), std::to_string(r.origin), std::to_string(r.artist_type),
        std::to_string(r.album_popularity), std::to_string(r.global_popularity)};
    for (size_t i = 0; i < fields.size(); ++i) out += (i ? "\t" : "") + fields[i];
    out += "\n";
  }
  return out;
}

}  // namespace

std::map<std::string, std::string> CatalogFiles() {
  return {
      {"eras.xml", DescriptorDocument("eras", EraItems(), Extension::kYears)},
      {"origins.xml", DescriptorDocument("origins", OriginItems(), Extension::kNone)},
      {"artist-types.xml", DescriptorDocument("artist-types", ArtistTypeItems(), Extension::kNone)},
      {"popularity-ranges.xml",
       DescriptorDocument("popularity-ranges", PopularityRangeItems(), Extension::kPercent)},
      {"genre-families.xml", DescriptorDocument("genre-families", GenreFamilyItems(), Extension::kGenreId)},
      {"genres.xml", GenreDocument()},
      {"genres-v1-to-v2.xml", GenreV1Document()},
      {"correlates-0.txt", CorrelateFile(0, "version-1 genres", V1Correlates())},
      {"correlates-1.txt", CorrelateFile(1, "top-level genres and branches", BranchCorrelates())},
      {"correlates-2.txt", CorrelateFile(2, "styles", StyleCorrelates())},
      {"recordings.txt", RecordingsFile()},
  };
}

bool WriteCatalog(const std::string& dir) {
  for (const auto& [name, text] : CatalogFiles()) {
    const std::string path = dir + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !ok) return false;
  }
  return true;
}

}  // namespace tavo
