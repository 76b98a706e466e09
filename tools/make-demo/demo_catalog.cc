#include "demo_catalog.h"

#include <algorithm>
#include <cstdio>

#include "data/genre_map/genre_map.h"

namespace tavo {
namespace {

// A fixed 32-bit mix, so the data never depends on a library's random engine.
uint32_t Mix(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

struct Region {
  int32_t id;
  const char* name;
  std::vector<const char*> countries;
};

// Regions 1..10 contain countries numbered region * 100 + 1, + 2, ...
const std::vector<Region>& Regions() {
  static const std::vector<Region> regions = {
      {1, "North America", {"United States", "Canada", "Mexico"}},
      {2, "Latin America", {"Brazil", "Argentina", "Colombia", "Cuba", "Jamaica", "Chile"}},
      {3, "Western Europe", {"United Kingdom", "Ireland", "France", "Germany", "Netherlands", "Belgium"}},
      {4, "Northern Europe", {"Sweden", "Norway", "Denmark", "Finland", "Iceland"}},
      {5, "Southern Europe", {"Italy", "Spain", "Portugal", "Greece"}},
      {6, "Eastern Europe", {"Poland", "Czechia", "Hungary", "Ukraine"}},
      {7, "Africa", {"Nigeria", "Ghana", "Senegal", "South Africa", "Mali", "Algeria"}},
      {8, "Asia", {"Japan", "South Korea", "India", "Indonesia", "China"}},
      {9, "Oceania", {"Australia", "New Zealand"}},
      {10, "Middle East", {"Turkey", "Lebanon", "Egypt", "Israel"}},
  };
  return regions;
}

// Leaf artist types; their parents are 1 (solo), 2 (group), 3 (ensemble).
constexpr int32_t kArtistTypeLeaves[] = {11, 12, 21, 22, 23, 24, 31, 32, 33};

constexpr const char* kLabels[] = {"Larkspur Records", "Tin Harbour", "Oxbow Sound", "Meridian Disc",
                                   "Red Kettle",       "Saltmarsh",   "Pale Lantern", "Goldfinch Audio"};

constexpr const char* kNameFirst[] = {"Velvet", "Copper", "Northern", "Hollow", "Paper", "Silver", "Midnight",
                                      "Amber",  "Little", "Gray",     "Wild",   "Quiet", "Electric", "Crimson"};
constexpr const char* kNameSecond[] = {"Harbour", "Lanterns", "Orchard", "Foxes",   "Circuit", "Meadow",
                                       "Engines", "Pilots",   "Tides",   "Sparrows", "Frontier"};
constexpr const char* kGiven[] = {"Mara", "Teodor", "Ines", "Kofi", "Lena", "Ravi", "Odile", "Bram", "Yuki", "Sol"};
constexpr const char* kFamily[] = {"Calloway", "Brandt", "Okafor", "Lindqvist", "Moreau", "Sato", "Varga", "Quill"};
constexpr const char* kTitleA[] = {"Blue",   "Long", "Falling", "Open",  "Broken", "Golden", "Slow",  "Lost",
                                   "Bright", "Cold", "Secret",  "Final", "Distant", "Sudden", "Gentle", "Empty"};
constexpr const char* kTitleB[] = {"Road",   "Window", "River",  "Morning", "Signal", "Garden", "Letter",
                                   "Station", "Summer", "Mirror", "Island",  "Highway", "Promise", "Weather"};
constexpr const char* kAlbumWord[] = {"Chronicles", "Postcards", "Sessions", "Stories", "Maps", "Echoes"};

constexpr int kArtists = 40;
constexpr int kTracksPerAlbum = 6;

template <class T, size_t N>
const T& Pick(const T (&table)[N], uint32_t n) {
  return table[n % N];
}

// "The Paper Lanterns" sorts as "Paper Lanterns, The"; "Mara Calloway" as "Calloway, Mara".
struct ArtistName {
  std::string name;
  std::string sort;
};

ArtistName MakeArtist(int i, int32_t type) {
  const bool person = type == 11 || type == 12;
  if (person) {
    std::string given = Pick(kGiven, i * 3 + 1), family = Pick(kFamily, i * 5 + 2);
    return {given + " " + family, family + ", " + given};
  }
  std::string words = std::string(Pick(kNameFirst, i * 7)) + " " + Pick(kNameSecond, i * 3 + i / 11);
  if (i % 3 == 0) return {"The " + words, words + ", The"};
  return {words, words};
}

// Version-2 genres that have no children: the styles recordings are filed under.
std::vector<int32_t> StyleGenres() {
  std::vector<int32_t> styles;
  for (const GenreV2& g : GenreV2Table()) {
    const bool parent = std::any_of(GenreV2Table().begin(), GenreV2Table().end(),
                                    [&](const GenreV2& c) { return c.parent == g.id; });
    if (!parent) styles.push_back(g.id);
  }
  return styles;
}

// Tag identifiers in the two forms the service issues. The identifier's
// number is written in decimal after a length letter ('Z' - length):
//   "3CD3" 'P' <length> <digits> <filler>
//   "31Z1" <'Y' - a> <a filler> <'P' - k> <k filler> <length> <digits> <filler>
// Filler is upper-case hexadecimal; every identifier is 32 characters long.
std::string MakeTagId(uint32_t n, uint32_t number) {
  const std::string digits = std::to_string(number);
  std::string id;
  auto filler = [&](int count) {
    for (int i = 0; i < count; ++i) id += "0123456789ABCDEF"[Mix(n * 131 + id.size()) % 16];
  };
  if (n % 2 == 0) {
    id = "3CD3P";
  } else {
    const int a = 1 + n % 3, k = 1 + n % 2;
    id = "31Z1";
    id += static_cast<char>('Y' - a);
    filler(a);
    id += static_cast<char>('P' - k);
    filler(k);
  }
  id += static_cast<char>('Z' - digits.size());
  id += digits;
  filler(static_cast<int>(32 - id.size()));
  return id;
}

std::vector<Recording> BuildRecordings() {
  const std::vector<int32_t> styles = StyleGenres();
  std::vector<int32_t> countries;
  for (const Region& r : Regions()) {
    for (size_t c = 0; c < r.countries.size(); ++c) countries.push_back(r.id * 100 + static_cast<int32_t>(c) + 1);
  }
  std::vector<Recording> out;
  uint32_t serial = 0;
  for (int a = 0; a < kArtists; ++a) {
    const int32_t type = Pick(kArtistTypeLeaves, a * 5 + a / 9);
    const ArtistName artist = MakeArtist(a, type);
    // Album years spread 1952..2023; every seventh album is a reissue.
    const int32_t year = 1952 + static_cast<int32_t>((a * 71) % 72);
    const bool reissue = a % 7 == 3;
    const int32_t genre = styles[(a * 37) % styles.size()];
    const int32_t origin = countries[(a * 11) % countries.size()];
    const std::string album = std::string(Pick(kTitleA, a * 3 + 5)) + " " + Pick(kAlbumWord, a);
    const int32_t album_pop = static_cast<int32_t>(Mix(a + 1000) % 101);
    for (int t = 1; t <= kTracksPerAlbum; ++t) {
      ++serial;
      Recording r;
      r.tag_id = MakeTagId(serial, 1000000 + serial * 137);
      r.title = std::string(Pick(kTitleA, serial * 5 + t)) + " " + Pick(kTitleB, serial * 3 + a);
      r.title_sort = r.title;
      r.artists = {artist.name};
      r.artist_sorts = {artist.sort};
      if (t == 4 && a % 4 == 1) {  // a guest on some albums
        const ArtistName guest = MakeArtist((a + 13) % kArtists, 12);
        r.artists.push_back(guest.name);
        r.artist_sorts.push_back(guest.sort);
      }
      r.album = album;
      r.label = Pick(kLabels, a);
      r.track = t;
      r.total_tracks = kTracksPerAlbum;
      r.year = reissue ? std::min(year + 25, 2023) : year;
      r.original_year = reissue ? year : 0;
      r.genre_v2 = genre;
      r.genre_v1 = GenreV2ToV1(genre);
      r.era = DecadeEraOf(year);
      r.origin = origin;
      r.artist_type = type;
      r.album_popularity = album_pop;
      r.global_popularity = static_cast<int32_t>(Mix(serial) % 101);
      r.vbr = serial % 3 == 0;
      r.seconds = 1 + static_cast<int32_t>(Mix(serial + 77) % 3);
      out.push_back(std::move(r));
    }
  }
  return out;
}

}  // namespace

int32_t DecadeEraOf(int32_t year) { return year < 1920 || year > 2029 ? 0 : 100 + (year - 1920) / 10 + 1; }

std::vector<CatalogItem> EraItems() {
  std::vector<CatalogItem> items;
  // Decades 1920s..2020s are eras 101..111.
  for (int32_t start = 1920; start <= 2020; start += 10) {
    items.push_back({DecadeEraOf(start), std::to_string(start) + "s", "Music of the " + std::to_string(start) + "s",
                     {}, start, start + 9});
  }
  struct Span {
    int32_t id, start, end;
    const char* name;
  };
  constexpr Span kSpans[] = {{201, 1900, 1944, "Pre-War Years"},
                             {202, 1945, 1969, "Post-War Years"},
                             {203, 1970, 1999, "Late Century"},
                             {204, 2000, 2029, "New Millennium"}};
  for (const Span& s : kSpans) {
    CatalogItem item{s.id, s.name, std::string(s.name) + ", " + std::to_string(s.start) + " to " +
                                          std::to_string(s.end), {}, s.start, s.end};
    for (const CatalogItem& d : items) {
      if (d.id < 200 && d.range_start >= s.start && d.range_end <= s.end) item.children.push_back(d.id);
    }
    items.push_back(std::move(item));
  }
  return items;
}

std::vector<CatalogItem> OriginItems() {
  std::vector<CatalogItem> items;
  for (const Region& r : Regions()) {
    CatalogItem region{r.id, r.name, "Artists from " + std::string(r.name), {}};
    for (size_t c = 0; c < r.countries.size(); ++c) region.children.push_back(r.id * 100 + static_cast<int32_t>(c) + 1);
    items.push_back(std::move(region));
  }
  for (const Region& r : Regions()) {
    for (size_t c = 0; c < r.countries.size(); ++c) {
      items.push_back({r.id * 100 + static_cast<int32_t>(c) + 1, r.countries[c],
                       std::string("Artists from ") + r.countries[c], {}});
    }
  }
  return items;
}

std::vector<CatalogItem> ArtistTypeItems() {
  return {
      {1, "Solo Artist", "A single performer", {11, 12}},
      {2, "Group", "A band or vocal group", {21, 22, 23, 24}},
      {3, "Ensemble", "A large ensemble", {31, 32, 33}},
      {11, "Male Solo Artist", "A male solo performer", {}},
      {12, "Female Solo Artist", "A female solo performer", {}},
      {21, "Male Group", "A group of male performers", {}},
      {22, "Female Group", "A group of female performers", {}},
      {23, "Mixed Group", "A group of male and female performers", {}},
      {24, "Duo", "Two performers", {}},
      {31, "Orchestra", "A symphony or chamber orchestra", {}},
      {32, "Choir", "A choir or vocal ensemble", {}},
      {33, "Big Band", "A jazz big band", {}},
  };
}

std::vector<CatalogItem> PopularityRangeItems() {
  return {
      {1, "Obscure", "Known to few listeners", {}, 0, 19},
      {2, "Niche", "A devoted following", {}, 20, 39},
      {3, "Known", "Heard by many", {}, 40, 59},
      {4, "Popular", "Widely played", {}, 60, 79},
      {5, "Hit", "Among the most played", {}, 80, 100},
  };
}

std::vector<CatalogItem> GenreFamilyItems() {
  // Top-level genres by name, so that the families follow the hierarchy.
  auto top = [](std::string_view name) {
    for (const GenreV2& g : GenreV2Table()) {
      if (g.parent == 0 && g.name == name) return g.id;
    }
    std::fprintf(stderr, "no top-level genre %.*s\n", static_cast<int>(name.size()), name.data());
    return 0;
  };
  auto family = [&](int32_t id, const char* name, const char* text, std::vector<std::string_view> members) {
    CatalogItem item{id, name, text, {}};
    for (std::string_view m : members) item.children.push_back(top(m));
    item.genre_id = item.children.front();
    return item;
  };
  return {
      family(1, "Guitar Music", "Bands and songwriters with guitars", {"Rock", "Blues", "Country", "Folk"}),
      family(2, "Dance Floor", "Music for dancing", {"Electronic", "Hip-Hop", "Latin", "Reggae"}),
      family(3, "Smooth Sounds", "Melodic and soulful", {"Pop", "R&B and Soul"}),
      family(4, "Art Music", "Composed and improvised art music", {"Jazz", "Classical"}),
      family(5, "Global Sounds", "Traditions from around the world", {"World"}),
  };
}

const std::vector<Recording>& DemoRecordings() {
  static const std::vector<Recording> recordings = BuildRecordings();
  return recordings;
}

}  // namespace tavo
