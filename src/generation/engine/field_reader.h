// FieldReader: a catalogue field's value for a view slot, as a field read of
// the track record gives it (storage/library/track_fields.h): the view's
// column for each field is derived from the library's one field table.
//
//   text     string fields and the developer fields: a text id; compared
//            cut to 399 bytes and folded (FoldedText)
//   number   every other field: the decimal value of the key's text, size in
//            kilobytes (from the 64-bit byte count), the release year
//            ("OYEAR", else "YEAR"), the genre, popularities, plays, rating;
//            dates as their packed record date or, for comparisons, as day
//            numbers (none for a date that was never set)
#ifndef TAVO_GENERATION_ENGINE_FIELD_READER_H_
#define TAVO_GENERATION_ENGINE_FIELD_READER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "generation/engine/view_snapshot.h"

namespace tavo {

enum class ViewSource : uint8_t {
  kAbsent,       // never a value
  kText,         // text column only
  kNumber,       // number column only
  kKilobytes,    // size / 1024
  kReleaseYear,  // original year, else year
  kDate,         // number column holding a packed record date
  kDeveloper,    // text column and its number column
};

struct FieldAccess {
  ViewSource source = ViewSource::kAbsent;
  uint8_t text = kNoColumn;
  uint8_t number = kNoColumn;
};

// The access of a catalogue field; fields outside 0..53 are absent.
FieldAccess FieldAccessOf(int32_t field) noexcept;

class FieldReader {
 public:
  // `day_numbers`: dates read as day numbers (criteria of the date type).
  FieldReader(const ViewSnapshot& view, int32_t field, bool day_numbers = false);

  const ViewSnapshot& view() const { return *view_; }
  bool has_text() const { return access_.text != kNoColumn; }
  bool is_date() const { return access_.source == ViewSource::kDate; }

  // 0 when the track has no text for the field.
  uint32_t TextId(uint32_t slot) const { return has_text() ? view_->TextId(slot, access_.text) : 0; }
  // A text as compared: cut as a field read cuts it, A-Z folded. Texts kept
  // without a folded copy (file names) are folded into *scratch.
  std::string_view FoldedText(uint32_t text_id, std::string* scratch) const;
  std::optional<int64_t> Number(uint32_t slot) const {
    if (access_.source == ViewSource::kNumber || access_.source == ViewSource::kDeveloper) {
      const std::optional<int32_t> v = view_->Number(slot, access_.number);
      if (!v) return std::nullopt;
      return *v;
    }
    return DerivedNumber(slot);
  }

 private:
  std::optional<int64_t> DerivedNumber(uint32_t slot) const;

  const ViewSnapshot* view_;
  FieldAccess access_;
  bool day_numbers_;
};

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_FIELD_READER_H_
