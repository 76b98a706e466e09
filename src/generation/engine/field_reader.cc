#include "generation/engine/field_reader.h"

#include "generation/engine/day_number.h"
#include "generation/engine/text_fold.h"
#include "storage/library/track_fields.h"

namespace tavo {
namespace {

using S = FieldSource;

uint8_t DateColumn(FieldSource source) {
  switch (source) {
    case S::kCreated: return kNumberCreated;
    case S::kUpdated: return kNumberUpdated;
    default: return kNumberLastPlayed;
  }
}

}  // namespace

FieldAccess FieldAccessOf(int32_t field) noexcept {
  const TrackFieldEntry& entry = TrackField_Entry(field);
  switch (entry.source) {
    case S::kAbsent: return {};
    case S::kFileName: return {ViewSource::kText, kTextFileName, kNoColumn};
    case S::kKeyText: return {ViewSource::kText, TextColumnOfKey(entry.key), kNoColumn};
    case S::kKeyNumber: return {ViewSource::kNumber, kNoColumn, NumberColumnOfKey(entry.key)};
    case S::kKilobytes: return {ViewSource::kKilobytes, kNoColumn, kNoColumn};
    case S::kReleaseYear: return {ViewSource::kReleaseYear, kNoColumn, kNumberOriginalYear};
    case S::kGenre: return {ViewSource::kNumber, kNoColumn, kNumberGenre};
    case S::kCreated:
    case S::kUpdated:
    case S::kLastPlayed: return {ViewSource::kDate, kNoColumn, DateColumn(entry.source)};
    case S::kAlbumPopularity: return {ViewSource::kNumber, kNoColumn, kNumberAlbumPopularity};
    case S::kGlobalPopularity: return {ViewSource::kNumber, kNoColumn, kNumberGlobalPopularity};
    case S::kPlays: return {ViewSource::kNumber, kNoColumn, kNumberPlays};
    case S::kRating: return {ViewSource::kNumber, kNoColumn, kNumberRating};
    case S::kDeveloper:
      return {ViewSource::kDeveloper, TextColumnOfKey(entry.key), NumberColumnOfKey(entry.key)};
  }
  return {};
}

FieldReader::FieldReader(const ViewSnapshot& view, int32_t field, bool day_numbers)
    : view_(&view), access_(FieldAccessOf(field)), day_numbers_(day_numbers) {}

std::string_view FieldReader::FoldedText(uint32_t text_id, std::string* scratch) const {
  const TextPoolReader& texts = view_->texts();
  const std::string_view text = texts.Text(text_id);
  const size_t kept = FieldTextLength(text);
  if (texts.HasFolded(text_id)) return texts.Folded(text_id).substr(0, kept);
  FoldText(text.substr(0, kept), scratch);
  return *scratch;
}

std::optional<int64_t> FieldReader::DerivedNumber(uint32_t slot) const {
  switch (access_.source) {
    case ViewSource::kAbsent:
    case ViewSource::kText: return std::nullopt;
    case ViewSource::kNumber:
    case ViewSource::kDeveloper: return view_->Number(slot, access_.number);
    case ViewSource::kKilobytes: {
      const std::optional<int64_t> bytes = view_->Size(slot);
      if (!bytes) return std::nullopt;
      return *bytes / 1024;
    }
    case ViewSource::kReleaseYear: {
      if (std::optional<int32_t> year = view_->Number(slot, kNumberOriginalYear)) return *year;
      return view_->Number(slot, kNumberYear);
    }
    case ViewSource::kDate: {
      const std::optional<int32_t> packed = view_->Number(slot, access_.number);
      if (!packed) return std::nullopt;
      if (day_numbers_) return DayNumberOfRecordDate(static_cast<uint32_t>(*packed));
      return *packed;
    }
  }
  return std::nullopt;
}

}  // namespace tavo
