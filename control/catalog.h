// The offline catalog: a directory of list documents, correlate tables and
// the recordings table (share/catalog/README.md describes every file). A
// Catalog reads its files on demand and keeps what it parsed; every failure
// to read or parse is TAVOCTL_E_CATALOG, never a crash.
#ifndef TAVO_CONTROL_CATALOG_H_
#define TAVO_CONTROL_CATALOG_H_

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "tavo/control.h"

namespace tavo::control {

struct CatalogRecording {
  std::string tag_id, title, title_sort, artist, album, label;
  std::vector<std::string> artists, artist_sorts;
  int32_t track = 0, total_tracks = 0, year = 0, original_year = 0;
  int32_t genre_v1 = 0, genre_v2 = 0, era = 0, origin = 0, artist_type = 0;
  int32_t album_popularity = -1, global_popularity = -1;
};

struct CorrelateRelated {
  int32_t id = 0;
  int32_t weight = 0;
};

struct CorrelateEntry {
  int32_t genre_id = 0;
  std::vector<CorrelateRelated> related;
};

struct CorrelateTable {
  int level = 0;
  std::string revision_level, revision_tag;
  int32_t scale_min = 1, scale_max = 10;
  std::vector<CorrelateEntry> entries;
};

// The list documents a service hands out, by their file names.
inline constexpr std::string_view kEraList = "eras";
inline constexpr std::string_view kOriginList = "origins";
inline constexpr std::string_view kArtistTypeList = "artist-types";
inline constexpr std::string_view kGenreList = "genres";
inline constexpr std::string_view kGenreFamilyList = "genre-families";
inline constexpr std::string_view kPopularityRangeList = "popularity-ranges";
inline constexpr std::string_view kGenreV1List = "genres-v1-to-v2";

class Catalog {
 public:
  explicit Catalog(std::string dir) : dir_(std::move(dir)) {}

  const std::string& dir() const { return dir_; }

  // The list document `name` (letters, digits and '-' only). *document is
  // the whole text when the caller's level or tag differ from the
  // document's, empty when both match (S_FALSE then).
  HRESULT ListDocument(std::string_view name, std::string_view level, std::string_view tag,
                       std::string* document);

  // Correlates of level 0, 1 or 2 (E_INVALIDARG for another level).
  HRESULT Correlates(int level, std::shared_ptr<const CorrelateTable>* out);

  HRESULT Recordings(std::shared_ptr<const std::vector<CatalogRecording>>* out);
  // TAVOCTL_E_UNKNOWN_TAGID when no recording has the identifier.
  HRESULT FindRecording(std::string_view tag_id, CatalogRecording* out);

  // Display names of a genre list: "genres" for versions 2, "genres-v1-to-v2"
  // for version 1. An unknown id is an empty name.
  HRESULT GenreName(std::string_view list, int32_t id, std::string* name);

  // The revision tag of the genre list, as the catalog's revision.
  HRESULT Revision(std::string* tag);

  // Reads and parses every file; the first failure.
  HRESULT Check();

 private:
  HRESULT ReadFile(const std::string& name, std::string* text) const;
  HRESULT Names(std::string_view list, std::shared_ptr<const std::map<int32_t, std::string>>* out);

  const std::string dir_;
  std::mutex mu_;  // guards the caches below
  std::shared_ptr<const CorrelateTable> correlates_[3];
  std::shared_ptr<const std::vector<CatalogRecording>> recordings_;
  std::map<std::string, std::shared_ptr<const std::map<int32_t, std::string>>, std::less<>> names_;
};

// Parsers, exposed for tests. False on malformed text.
bool ParseCorrelates(std::string_view text, CorrelateTable* out);
bool ParseRecordings(std::string_view text, std::vector<CatalogRecording>* out);

}  // namespace tavo::control

#endif  // TAVO_CONTROL_CATALOG_H_
