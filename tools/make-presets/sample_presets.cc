#include "sample_presets.h"

#include <memory>
#include <string>
#include <vector>

#include "tavo/enums.h"
#include "vocabulary/field_catalog.h"

namespace tavo {
namespace {

// Catalog ids (share/catalog): top-level genres, a style, origin regions,
// artist types.
constexpr int32_t kRock = 300, kBlues = 420, kCountry = 440, kFolk = 460;
constexpr int32_t kBluesRock = 1000;
constexpr int32_t kWesternEurope = 3, kNorthernEurope = 4, kSouthernEurope = 5, kEasternEurope = 6;
constexpr int32_t kMaleSoloArtist = 11, kFemaleSoloArtist = 12;
// The correlate scale's top (correlates files: SCALE 1 10). A similarity
// target at the top keeps the seed genre itself in the window.
constexpr int32_t kSimilarityTop = 10;

constexpr int32_t kAsc = txpl_rank_order_ascending;  // highest values first
constexpr int32_t kAll = txpl_matchmode_match_all;
constexpr int32_t kAny = txpl_matchmode_match_any;
constexpr uint32_t kDiscKilobytes = 700 * 1024;

CriterionPtr Criterion(int32_t field, int32_t op) {
  auto c = std::make_shared<CriterionRecord>();
  c->set_field(field);
  c->field_type = FieldCatalog_Type(field);
  c->op = op;
  return c;
}

CriterionPtr Number(int32_t field, int32_t op, int32_t p1, int32_t p2 = 0, int32_t p3 = 0) {
  CriterionPtr c = Criterion(field, op);
  c->set_int_param(0, p1);
  c->set_int_param(1, p2);
  c->set_int_param(2, p3);
  return c;
}

CriterionPtr Selected(int32_t field, int32_t op) {
  CriterionPtr c = Criterion(field, op);
  c->selection_based = 1;
  return c;
}

struct Sample {
  std::string name;
  std::string description;
  int32_t match_mode;
  std::vector<CriterionPtr> criteria;
  std::vector<RankEntry> ranks = {};
  uint32_t max_songs = 0;
  uint32_t max_minutes = 0;
  uint32_t max_kilobytes = 0;
  std::vector<FieldLimit> per_field = {};
  int32_t sort_field = 0;
};

GeneratorPtr Make(const Sample& s) {
  auto g = std::make_shared<GeneratorRecord>();
  g->name = s.name;
  g->description = s.description;
  g->match_mode = s.match_mode;
  for (const CriterionPtr& c : s.criteria) g->AddCriterion(-1, c);
  for (const RankEntry& r : s.ranks) g->SetRank(r);
  g->song_limit = s.max_songs;
  g->time_limit_minutes = s.max_minutes;
  g->size_limit_kb = s.max_kilobytes;
  for (const FieldLimit& l : s.per_field) g->AddFieldLimit(l);
  g->sort_field = s.sort_field;
  return g;
}

RankEntry Rank(int32_t field, uint16_t position = 0) { return {field, kAsc, position}; }

// The 50 most popular songs of one decade, played in release order.
Sample Decade(const char* name, int32_t first_year) {
  return {name,
          "Songs released from " + std::to_string(first_year) + " to " + std::to_string(first_year + 9) +
              ": the 50 most popular, in release order",
          kAll,
          {Number(txpl_crit_field_track_releaseyear, txpl_crit_op_num_rang, first_year, first_year + 9)},
          {Rank(txpl_crit_field_track_global_pop)}, 50, 0, 0, {}, txpl_crit_field_track_releaseyear};
}

}  // namespace

GeneratorChain SamplePresets() {
  const Sample samples[] = {
      Decade("Nineties", 1990), Decade("Eighties", 1980), Decade("Two Thousands", 2000),
      {"Guitar Music", "Rock, blues, country and folk with all their styles", kAny,
       {Number(txpl_crit_field_track_genrev2, txpl_crit_op_enum_eq, kRock),
        Number(txpl_crit_field_track_genrev2, txpl_crit_op_enum_eq, kBlues),
        Number(txpl_crit_field_track_genrev2, txpl_crit_op_enum_eq, kCountry),
        Number(txpl_crit_field_track_genrev2, txpl_crit_op_enum_eq, kFolk)},
       {}, 100},
      {"Similar to Blues Rock", "The 40 songs closest to blues rock, in random order", kAll,
       {Number(txpl_crit_field_track_genrev2, txpl_crit_op_enum_sim, kBluesRock, kSimilarityTop, 40)},
       {Rank(txpl_crit_field_track_genrev2)}, 40},
      {"Recently Added", "Songs added in the last 30 days, the newest first", kAll,
       {Number(txpl_crit_field_file_created_date, txpl_crit_op_date_inlast, 30)},
       {Rank(txpl_crit_field_file_created_date)}, 100},
      {"Never Played", "Songs you have not played yet", kAll,
       {Number(txpl_crit_field_track_playcount, txpl_crit_op_num_eq, 0)}, {}, 50},
      {"Top Rated", "Your highest rated songs first", kAll,
       {Number(txpl_crit_field_track_myrating, txpl_crit_op_num_gt, 0)},
       {Rank(txpl_crit_field_track_myrating), Rank(txpl_crit_field_track_playcount, 1)}, 50},
      {"Long Tracks", "Songs longer than six minutes, the longest first", kAll,
       {Number(txpl_crit_field_file_length, txpl_crit_op_num_gt, 6)}, {Rank(txpl_crit_field_file_length)}, 30},
      {"One Track per Artist", "One song by each artist, sorted by artist", kAll,
       {Number(txpl_crit_field_file_length, txpl_crit_op_num_gt, 0)}, {}, 50, 0, 0,
       {{txpl_crit_field_track_artist_name, 1}}, txpl_crit_field_track_artist_name},
      {"Popular Hour", "An hour of the most popular songs under ten minutes", kAll,
       {Number(txpl_crit_field_file_length, txpl_crit_op_num_lt, 10)}, {Rank(txpl_crit_field_track_global_pop)},
       0, 60},
      {"Favourites on a 700 MB Disc", "Your rated and played songs, best first, to fill a 700 MB disc", kAny,
       {Number(txpl_crit_field_track_playcount, txpl_crit_op_num_gt, 0),
        Number(txpl_crit_field_track_myrating, txpl_crit_op_num_gt, 0)},
       {Rank(txpl_crit_field_track_myrating), Rank(txpl_crit_field_track_playcount, 1)}, 0, 0, kDiscKilobytes},
      {"Forgotten Favourites", "Rated songs you have not played for three months", kAll,
       {Number(txpl_crit_field_track_myrating, txpl_crit_op_num_gt, 0),
        Number(txpl_crit_field_file_lastplayed_date, txpl_crit_op_date_notinlast, 90)},
       {Rank(txpl_crit_field_track_myrating)}, 30},
      {"More by These Artists", "Songs by the artists of the selected songs", kAll,
       {Selected(txpl_crit_field_track_artist_name, txpl_crit_op_str_eq)}, {}, 30, 0, 0,
       {{txpl_crit_field_album_name, 3}}},
      {"European Artists", "Artists from every region of Europe", kAny,
       {Number(txpl_crit_field_artist_region, txpl_crit_op_enum_eq, kWesternEurope),
        Number(txpl_crit_field_artist_region, txpl_crit_op_enum_eq, kNorthernEurope),
        Number(txpl_crit_field_artist_region, txpl_crit_op_enum_eq, kSouthernEurope),
        Number(txpl_crit_field_artist_region, txpl_crit_op_enum_eq, kEasternEurope)},
       {}, 50},
      {"Solo Artists", "Songs by solo singers and players", kAny,
       {Number(txpl_crit_field_artist_type, txpl_crit_op_enum_eq, kMaleSoloArtist),
        Number(txpl_crit_field_artist_type, txpl_crit_op_enum_eq, kFemaleSoloArtist)},
       {}, 50},
  };
  GeneratorChain chain;
  for (const Sample& s : samples) chain.Append(Make(s));
  return chain;
}

}  // namespace tavo
