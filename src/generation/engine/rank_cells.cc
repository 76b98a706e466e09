#include "generation/engine/rank_cells.h"

#include "tavo/enums.h"
#include "vocabulary/field_catalog.h"

namespace tavo {
namespace {

int Sign(int64_t d) { return d < 0 ? -1 : (d > 0 ? 1 : 0); }

}  // namespace

RankTable::RankTable(const ViewSnapshot& view, const std::vector<RankEntry>& entries) {
  for (const RankEntry& e : entries) {
    columns_.push_back(RankColumn{e.field, e.order == txpl_rank_order_ascending,
                                  FieldCatalog_Type(e.field) == txpl_crit_field_type_string});
    readers_.emplace_back(view, e.field, /*day_numbers=*/true);
  }
}

void RankTable::Fill(uint32_t slot, RankCell* cells) {
  for (size_t k = 0; k < columns_.size(); ++k) {
    RankCell& cell = cells[k];
    cell = RankCell{};
    const FieldReader& reader = readers_[k];
    if (columns_[k].text) {
      if (const uint32_t id = reader.TextId(slot)) {
        std::string_view folded = reader.FoldedText(id, &scratch_);
        if (folded.data() == scratch_.data()) {
          folded_.push_back(std::make_unique<std::string>(scratch_));
          folded = *folded_.back();
        }
        cell.text = folded;
        cell.has_text = true;
      }
    } else {
      cell.number = reader.Number(slot).value_or(0);
    }
  }
}

int RankTable::Compare(const RankCell* a, uint32_t a_matches, const RankCell* b, uint32_t b_matches) const {
  for (size_t k = 0; k < columns_.size(); ++k) {
    int d;
    if (a[k].use_score || b[k].use_score) {
      d = Sign(a[k].score - b[k].score);
    } else if (columns_[k].text) {
      d = a[k].has_text && b[k].has_text ? a[k].text.compare(b[k].text) : 0;
      d = d < 0 ? -1 : (d > 0 ? 1 : 0);
    } else {
      d = Sign(a[k].number - b[k].number);
    }
    if (columns_[k].descending_first) d = -d;
    if (d != 0) return d;
  }
  return a_matches > b_matches ? -1 : (a_matches < b_matches ? 1 : 0);
}

}  // namespace tavo
