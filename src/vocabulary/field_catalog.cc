#include "vocabulary/field_catalog.h"

#include <array>

namespace tavo {
namespace {

constexpr int32_t kStr = txpl_crit_field_type_string;
constexpr int32_t kNum = txpl_crit_field_type_num;
constexpr int32_t kEnum = txpl_crit_field_type_enum;
constexpr int32_t kDate = txpl_crit_field_type_date;
constexpr int32_t kUnkn = txpl_crit_field_type_unknown;

struct FieldEntry {
  int32_t type;
  std::string_view name;
  std::string_view units;
};

// Indexed by txpl_crit_field_t, 0..53. Stored names are the words of preset
// files: field 13 is "track_artist_sort_name" and 49..52 drop their "id".
constexpr std::array<FieldEntry, 54> kFields = {{
    {kUnkn, "", ""},
    {kStr, "file_name", ""},
    {kNum, "file_size", "MB"},
    {kNum, "file_length", "minutes"},
    {kDate, "file_created_date", ""},
    {kDate, "file_modified_date", ""},
    {kDate, "file_lastplayed_date", ""},
    {kNum, "file_bitrate", "kbps"},
    {kEnum, "file_codec_format", ""},
    {kEnum, "file_drm", ""},
    {kStr, "track_name", ""},
    {kStr, "track_sort_name", ""},
    {kStr, "track_artist_name", ""},
    {kStr, "track_artist_sort_name", ""},
    {kNum, "track_releaseyear", ""},
    {kEnum, "track_langid", ""},
    {kNum, "track_bpm", "bpm"},
    {kNum, "track_num", ""},
    {kEnum, "track_genre", ""},
    {kEnum, "track_genrev2", ""},
    {kEnum, "track_mood", ""},
    {kEnum, "track_tempoid", ""},
    {kEnum, "track_album_pop", ""},
    {kEnum, "track_global_pop", ""},
    {kStr, "album_name", ""},
    {kStr, "album_sortname", ""},
    {kStr, "album_primaryartist", ""},
    {kNum, "album_releaseyear", ""},
    {kStr, "album_label", ""},
    {kEnum, "album_compilation", ""},
    {kEnum, "album_region", ""},
    {kEnum, "album_genre", ""},
    {kEnum, "album_genrev2", ""},
    {kEnum, "album_pop", ""},
    {kEnum, "artist_region", ""},
    {kEnum, "artist_era", ""},
    {kEnum, "artist_type", ""},
    {kEnum, "track_local_pop", ""},
    {kEnum, "artist_local_pop", ""},
    {kNum, "track_playcount", ""},
    {kNum, "track_myrating", ""},
    {kNum, "album_myrating", ""},
    {kNum, "artist_myrating", ""},
    {kNum, "genre_myrating", ""},
    {kNum, "playlist_myrating", ""},
    {kUnkn, "xdev1", ""},
    {kUnkn, "xdev2", ""},
    {kUnkn, "xdev3", ""},
    {kUnkn, "xdev%d", ""},
    {kEnum, "track_rhythm", ""},
    {kEnum, "track_instruments", ""},
    {kEnum, "track_vocals", ""},
    {kEnum, "track_timbre", ""},
    {kUnkn, "", ""},
}};

struct OperatorEntry {
  int32_t type;  // 0 for the range markers
  std::string_view name;
};

// Indexed by txpl_crit_op_t, 0..30. The same word stands for several
// operators; a stored word is always resolved within one field type.
constexpr std::array<OperatorEntry, 31> kOperators = {{
    {kUnkn, ""},      {kStr, "eq"},     {kStr, "neq"},       {kStr, "cont"},   {kStr, "ncont"},
    {kStr, "sta"},    {kStr, "end"},    {kUnkn, ""},         {kUnkn, ""},      {kNum, "eq"},
    {kNum, "neq"},    {kNum, "lt"},     {kNum, "gt"},        {kNum, "rang"},   {kUnkn, ""},
    {kUnkn, ""},      {kEnum, "eq"},    {kEnum, "neq"},      {kEnum, "sim"},   {kUnkn, ""},
    {kUnkn, ""},      {kDate, "eq"},    {kDate, "neq"},      {kDate, "lt"},    {kDate, "gt"},
    {kDate, "rang"},  {kDate, "inlast"}, {kDate, "notinlast"}, {kUnkn, ""},    {kEnum, "enumrang"},
    {kUnkn, ""},
}};

constexpr std::array<std::string_view, 5> kTypeNames = {"UNKN", "STR", "NUM", "ENUM", "DATE"};

bool EqualsNoCase(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

int32_t FieldCatalog_Type(int32_t field) noexcept {
  return field >= 0 && field < static_cast<int32_t>(kFields.size()) ? kFields[field].type : kUnkn;
}

std::string_view FieldCatalog_Name(int32_t field) noexcept {
  return field >= 0 && field < static_cast<int32_t>(kFields.size()) ? kFields[field].name : std::string_view();
}

std::string_view FieldCatalog_Units(int32_t field) noexcept {
  return field >= 0 && field < static_cast<int32_t>(kFields.size()) ? kFields[field].units : std::string_view();
}

int32_t FieldCatalog_FromName(std::string_view name) noexcept {
  for (int32_t f = txpl_crit_field_file_name; f < txpl_crit_field_last; ++f)
    if (EqualsNoCase(kFields[f].name, name)) return f;
  return txpl_crit_field_last;
}

std::string_view FieldType_Name(int32_t type) noexcept {
  return type >= 0 && type < static_cast<int32_t>(kTypeNames.size()) ? kTypeNames[type] : std::string_view();
}

int32_t FieldType_FromName(std::string_view name) noexcept {
  for (int32_t t = 0; t < static_cast<int32_t>(kTypeNames.size()); ++t)
    if (EqualsNoCase(kTypeNames[t], name)) return t;
  return kUnkn;
}

std::string_view Operator_Name(int32_t op) noexcept {
  return op >= 0 && op < static_cast<int32_t>(kOperators.size()) ? kOperators[op].name : std::string_view();
}

int32_t Operator_Type(int32_t op) noexcept {
  return op >= 0 && op < static_cast<int32_t>(kOperators.size()) ? kOperators[op].type : kUnkn;
}

int32_t Operator_FromName(std::string_view name, int32_t field_type) noexcept {
  if (field_type < kStr || field_type > kDate) {
    return EqualsNoCase(name, kOperators[txpl_crit_op_enum_rang].name) ? txpl_crit_op_enum_rang : 0;
  }
  for (int32_t op = 0; op < txpl_crit_op_enum_rang; ++op)
    if (kOperators[op].type == field_type && EqualsNoCase(kOperators[op].name, name)) return op;
  return 0;
}

int32_t Criterion_EffectiveType(int32_t field, int32_t op) noexcept {
  if (const int32_t type = FieldCatalog_Type(field); type != kUnkn) return type;
  if (op >= txpl_crit_op_str_eq && op <= txpl_crit_op_str_end) return kStr;
  if ((op >= txpl_crit_op_num_eq && op <= txpl_crit_op_num_rang) ||
      (op >= txpl_crit_op_enum_eq && op <= txpl_crit_op_enum_sim) ||
      (op >= txpl_crit_op_date_eq && op <= txpl_crit_op_enum_rang))
    return kNum;
  return kUnkn;
}

std::string_view RankOrder_Name(int32_t order) noexcept {
  if (order == txpl_rank_order_ascending) return "asc";
  if (order == txpl_rank_order_descending) return "dsc";
  return {};
}

int32_t RankOrder_FromName(std::string_view name) noexcept {
  if (EqualsNoCase(name, "asc")) return txpl_rank_order_ascending;
  if (EqualsNoCase(name, "dsc")) return txpl_rank_order_descending;
  return 0;
}

std::string_view MatchMode_Name(int32_t mode) noexcept {
  if (mode == txpl_matchmode_match_any) return "any";
  if (mode == txpl_matchmode_match_all) return "all";
  return {};
}

int32_t MatchMode_FromName(std::string_view name) noexcept {
  if (EqualsNoCase(name, "any")) return txpl_matchmode_match_any;
  if (EqualsNoCase(name, "all")) return txpl_matchmode_match_all;
  return -1;
}

}  // namespace tavo
