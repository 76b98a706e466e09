#include "generation/engine/enum_equality.h"

#include <limits>

#include "data/descriptors/hierarchy.h"
#include "tavo/enums.h"

namespace tavo {
namespace {

enum class ListOf { kNone, kPopularity, kPercentPopularity, kEras, kOrigins, kGenres };

ListOf ListOfField(int32_t field) {
  switch (field) {
    case txpl_crit_field_track_local_pop: return ListOf::kPopularity;
    case txpl_crit_field_track_album_pop:
    case txpl_crit_field_album_pop: return ListOf::kPercentPopularity;
    case txpl_crit_field_artist_era: return ListOf::kEras;
    case txpl_crit_field_album_region:
    case txpl_crit_field_artist_region: return ListOf::kOrigins;
    case txpl_crit_field_track_genre:
    case txpl_crit_field_track_genrev2:
    case txpl_crit_field_album_genre:
    case txpl_crit_field_album_genrev2: return ListOf::kGenres;
    default: return ListOf::kNone;
  }
}

bool FitsId(int64_t v) { return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max(); }

}  // namespace

int64_t ScalePercent(int64_t percent) noexcept {
  constexpr double kTop = 1'000'000'000.0;
  constexpr double kBottom = 0.0;
  return static_cast<int64_t>(static_cast<double>(percent) * 0.01 * (kTop - kBottom) + kBottom);
}

EnumEquality::EnumEquality(int32_t field, int64_t p1, const RunLists& lists) : p1_(p1) {
  const ListOf which = ListOfField(field);
  const DescriptorList* list = nullptr;
  switch (which) {
    case ListOf::kNone: return;
    case ListOf::kPopularity:
    case ListOf::kPercentPopularity: list = lists.popularity_ranges.get(); break;
    case ListOf::kEras: list = lists.eras.get(); break;
    case ListOf::kOrigins: list = lists.origins.get(); break;
    case ListOf::kGenres: list = lists.genres.get(); break;
  }
  if (list == nullptr) return;  // without the list: v = p1 only
  if (which == ListOf::kEras || which == ListOf::kOrigins || which == ListOf::kGenres) {
    rule_ = FitsId(p1) ? Rule::kUnder : Rule::kEqual;
    list_ = list;
    return;
  }
  const DescriptorItem* range = FitsId(p1) ? list->FindById(static_cast<int32_t>(p1)) : nullptr;
  if (range == nullptr) {
    rule_ = Rule::kNever;
    return;
  }
  rule_ = Rule::kRange;
  low_ = range->range_start();
  high_ = range->range_end();
  if (which == ListOf::kPercentPopularity) {
    low_ = ScalePercent(low_);
    high_ = ScalePercent(high_);
  }
}

bool EnumEquality::Holds(int64_t v) {
  switch (rule_) {
    case Rule::kEqual: return v == p1_;
    case Rule::kNever: return false;
    case Rule::kRange: return low_ <= v && v <= high_;
    case Rule::kUnder: {
      if (v == p1_) return true;
      if (!FitsId(v)) return false;
      auto [it, added] = under_.try_emplace(v, false);
      if (added) it->second = IsUnder(*list_, static_cast<int32_t>(v), static_cast<int32_t>(p1_));
      return it->second;
    }
  }
  return false;
}

}  // namespace tavo
