// The offline catalog's content as data: descriptor vocabularies and the
// recordings of the demo library. Everything is a fixed table or follows
// from one by a fixed rule, so the catalog documents (catalog_writer.h) and
// the demo files (demo_writer.h) always agree.
#ifndef TAVO_TOOLS_MAKE_DEMO_DEMO_CATALOG_H_
#define TAVO_TOOLS_MAKE_DEMO_DEMO_CATALOG_H_

#include <cstdint>
#include <string>
#include <vector>

namespace tavo {

// One item of a descriptor list. Ranges are years for eras and percentages
// for popularity ranges; other lists leave them 0.
struct CatalogItem {
  int32_t id;
  std::string name;
  std::string description;
  std::vector<int32_t> children;
  int32_t range_start = 0;
  int32_t range_end = 0;
  int32_t genre_id = 0;  // genre families: the family's representative genre
};

std::vector<CatalogItem> EraItems();
std::vector<CatalogItem> OriginItems();
std::vector<CatalogItem> ArtistTypeItems();
std::vector<CatalogItem> PopularityRangeItems();
std::vector<CatalogItem> GenreFamilyItems();

// The era (a decade) that holds a year.
int32_t DecadeEraOf(int32_t year);

struct Recording {
  std::string tag_id;
  std::string title;
  std::string title_sort;
  std::vector<std::string> artists;
  std::vector<std::string> artist_sorts;
  std::string album;
  std::string label;
  int32_t track = 0;
  int32_t total_tracks = 0;
  int32_t year = 0;
  int32_t original_year = 0;  // 0 unless the recording is a reissue
  int32_t genre_v1 = 0;
  int32_t genre_v2 = 0;
  int32_t era = 0;
  int32_t origin = 0;
  int32_t artist_type = 0;
  int32_t album_popularity = 0;
  int32_t global_popularity = 0;
  bool vbr = false;         // demo file: variable bit rate with a Xing frame
  int32_t seconds = 0;      // demo file: length of the silence
};

// The demo library, album by album in track order.
const std::vector<Recording>& DemoRecordings();

// Revision of every catalog document.
inline constexpr const char* kCatalogRevisionLevel = "3";
inline constexpr const char* kCatalogRevisionTag = "offline-2024.06";

}  // namespace tavo

#endif  // TAVO_TOOLS_MAKE_DEMO_DEMO_CATALOG_H_
