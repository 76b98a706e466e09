// What a track record gives a disc object of the control's library, in the
// order the values are set: each entry names the disc's own setter or an
// extended value "PLM_...", and the record source it comes from. The same
// names read a disc back into a record, so a disc taken from one library can
// be added to another.
//
// The automation layer walks this list: for each entry it asks
// DiscField_Value for the record's value, skips absent ones, and converts the
// rest: texts and numbers as decimal text, dates through the timestamp's text
// form, descriptor ids to their display names (entries of source
// kDescriptorName, skipped while no list names the id).
#ifndef TAVO_STORAGE_LIBRARY_DISC_FIELDS_H_
#define TAVO_STORAGE_LIBRARY_DISC_FIELDS_H_

#include <cstdint>
#include <span>
#include <string>

#include "storage/library/track_record.h"

namespace tavo {

enum class DiscSetter : uint8_t {
  kExtended,     // the extended value named by DiscField::extended_name
  kDiscArtist,
  kTrackTitle,
  kDiscTitle,
  kDiscYear,
  kTrackNumber,
};

enum class DiscSource : uint8_t {
  kKey,             // the REC key's text
  kDescriptorName,  // the display name of the REC key's id in a descriptor list
  kCreated,         // record dates
  kUpdated,
  kLastPlayed,
  kTagId,
  kPathName,
  kFileName,
  kPlays,
  kRating,
  kFlags,
};

// The descriptor list that names the id of a kDescriptorName entry.
enum class DescriptorNames : uint8_t { kNone, kEras, kArtistTypes, kOrigins, kGenres };

struct DiscField {
  DiscSetter setter;
  const char* extended_name;  // "PLM_..." for kExtended, else null
  DiscSource source;
  uint32_t key;  // REC key index for kKey and kDescriptorName
  DescriptorNames names;
};

std::span<const DiscField> DiscFields() noexcept;

struct DiscValue {
  enum class Kind { kAbsent, kText, kNumber, kDate } kind = Kind::kAbsent;
  std::string text;     // kText
  int64_t number = 0;   // kNumber; for kDescriptorName the id to name
  RecordDate date;      // kDate
};

// The record's value for one entry; kAbsent when the record has none (an
// absent key, an empty tag identifier, path or file name).
DiscValue DiscField_Value(const TrackRecord& track, const DiscField& field);

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_DISC_FIELDS_H_
