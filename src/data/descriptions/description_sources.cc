#include "data/descriptions/description_sources.h"

#include <array>
#include <span>

#include "tavo/enums.h"
#include "vocabulary/field_catalog.h"

namespace tavo {
namespace {

struct Keyed {
  int32_t key;
  DescriptionSource source;
};

// Indexed by field, 0..52. Field 48 (xdev, the pattern of the developer
// fields' stored names) has a resource id but no English text.
constexpr std::array<DescriptionSource, 53> kFields = {{
    {0, ""},
    {101, "Filename"},
    {102, "File size"},
    {103, "File length"},
    {104, "Creation date"},
    {105, "Modification date"},
    {106, "Last Played date"},
    {107, "Bitrate"},
    {108, "Codec Format"},
    {109, "Digital Copyright Management"},
    {110, "Track name"},
    {111, "Sort name"},
    {112, "Artist"},
    {187, "Artist sort name"},
    {113, "Release Year"},
    {114, "Language"},
    {115, "BPM"},
    {116, "Track number"},
    {117, "Genre"},
    {118, "Genre"},
    {119, "Mood"},
    {161, "Tempo"},
    {120, "Album Popularity"},
    {121, "Popularity"},
    {122, "Album Name"},
    {123, "Album Name"},
    {124, "Album Primary Artist"},
    {125, "Album Release Year"},
    {126, "Album Label"},
    {127, "Compilation Flag"},
    {128, "Region"},
    {129, "Album Genre"},
    {130, "Album Genre"},
    {131, "Album Popularity"},
    {132, "Artist Region"},
    {133, "Artist Era"},
    {134, "Artist Type"},
    {135, "Track Popularity"},
    {136, "Artist Local Popularity"},
    {137, "Play Count"},
    {138, "My Rating"},
    {139, "My Album Rating"},
    {140, "My Artist Rating"},
    {141, "My Genre Rating"},
    {142, "My Playlist Rating"},
    {143, "Dev Field 1"},
    {144, "Dev Field 2"},
    {145, "Dev Field 3"},
    {188, ""},
    {189, "Rhythm"},
    {190, "Instrumentation"},
    {191, "Vocals"},
    {192, "Timbre"},
}};

// Indexed by operator, 0..27. The range markers have an empty text and no
// resource; operators of different field types share one text.
constexpr std::array<DescriptionSource, 28> kOperators = {{
    {0, ""},
    {146, "is equal to"},
    {147, "is not equal to"},
    {148, "contains"},
    {149, "does not contain"},
    {150, "starts with"},
    {151, "ends with"},
    {0, ""},
    {0, ""},
    {146, "is equal to"},
    {147, "is not equal to"},
    {152, "is less than"},
    {153, "is greater than"},
    {154, "is between"},
    {0, ""},
    {0, ""},
    {146, "is equal to"},
    {147, "is not equal to"},
    {155, "is similar to"},
    {0, ""},
    {0, ""},
    {146, "is equal to"},
    {147, "is not equal to"},
    {171, "is before"},
    {172, "is after"},
    {154, "is between"},
    {156, "is in the last"},
    {185, "is not in the last"},
}};

// Indexed by txpl_user_info_t, 0..9.
constexpr std::array<DescriptionSource, 10> kUserInfo = {{
    {0, ""},
    {162, "Highest"},
    {163, "Favorite"},
    {164, "Lowest"},
    {165, "Good"},
    {166, "Never Played"},
    {167, "Recently Played"},
    {168, "Played Within 30 Days"},
    {169, "Played Within Last Week"},
    {170, "Played Within Last Day"},
}};

// The English unit words are the field catalogue's.
constexpr std::array<Keyed, 4> kFieldUnitIds = {{
    {txpl_crit_field_file_size, {157, {}}},
    {txpl_crit_field_file_length, {158, {}}},
    {txpl_crit_field_file_bitrate, {186, {}}},
    {txpl_crit_field_track_bpm, {159, {}}},
}};

constexpr std::array<Keyed, 2> kOperatorUnits = {{
    {txpl_crit_op_date_inlast, {160, "days"}},
    {txpl_crit_op_date_notinlast, {160, "days"}},
}};

constexpr int32_t kAscending = txpl_rank_order_ascending;
constexpr int32_t kDescending = txpl_rank_order_descending;

// The genre cutoffs (alphabetical and reverse alphabetical) are translated
// only; English shows none.
constexpr std::array<Keyed, 12> kCutoffs = {{
    {kAscending | txpl_crit_field_file_lastplayed_date, {173, "Date Played, Most Recent"}},
    {kDescending | txpl_crit_field_file_lastplayed_date, {174, "Date Played, Not Recently"}},
    {kAscending | txpl_crit_field_file_bitrate, {175, "Bitrate, Highest Quality"}},
    {kDescending | txpl_crit_field_file_bitrate, {176, "Bitrate, Lower Quality"}},
    {kAscending | txpl_crit_field_track_global_pop, {177, "Most Popular, Worldwide"}},
    {kDescending | txpl_crit_field_track_global_pop, {178, "Least Popular, Worldwide"}},
    {kAscending | txpl_crit_field_track_playcount, {179, "User's Most Played"}},
    {kDescending | txpl_crit_field_track_playcount, {180, "User's Least Played"}},
    {kAscending | txpl_crit_field_track_myrating, {181, "User's Ratings, Highest"}},
    {kDescending | txpl_crit_field_track_myrating, {182, "User's Ratings, Lowest"}},
    {kAscending | txpl_crit_field_track_genrev2, {183, ""}},
    {kDescending | txpl_crit_field_track_genrev2, {184, ""}},
}};

template <size_t N>
DescriptionSource ByIndex(const std::array<DescriptionSource, N>& table, int32_t value) {
  return value >= 0 && static_cast<size_t>(value) < N ? table[value] : DescriptionSource{};
}

DescriptionSource ByKey(std::span<const Keyed> table, int32_t key) {
  for (const Keyed& entry : table)
    if (entry.key == key) return entry.source;
  return {};
}

}  // namespace

DescriptionSource FieldDescriptionSource(int32_t field) { return ByIndex(kFields, field); }

DescriptionSource FieldUnitsSource(int32_t field) {
  DescriptionSource source = ByKey(kFieldUnitIds, field);
  source.english = FieldCatalog_Units(field);
  return source;
}

DescriptionSource OperatorDescriptionSource(int32_t op) { return ByIndex(kOperators, op); }
DescriptionSource OperatorUnitsSource(int32_t op) { return ByKey(kOperatorUnits, op); }
DescriptionSource UserInfoDescriptionSource(int32_t info) { return ByIndex(kUserInfo, info); }
DescriptionSource CutoffDescriptionSource(int32_t key) { return ByKey(kCutoffs, key); }

}  // namespace tavo
