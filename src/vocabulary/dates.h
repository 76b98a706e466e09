// The two packed forms of a date.
//
// Record date (stored in track records and the record store's own time
// stamps; also the timestamp object's packed form):
//
//   BITS    FIELD
//   31..21  year - 2000 (not masked: 1999 packs as -1 in these bits)
//   20..17  month   (4 bits)
//   16..12  day     (5 bits)
//   11..6   hour    (6 bits)
//    5..0   minute  (6 bits)
//
// Packed values compare and subtract as dates; shifting right by 12 leaves
// a day key (year, month, day).
//
// Generator date (date parameters and date values of playlist criteria):
// year * 2^20 + month * 2^16 + day * 2^11 + hour * 2^6 + minute with the full
// year; unpacked as year = bits 20 and up, month = bits 16-19, day = bits
// 11-15, hour = bits 6-10, minute = bits 0-5.
//
// The two are distinct and never mixed.
#ifndef TAVO_VOCABULARY_DATES_H_
#define TAVO_VOCABULARY_DATES_H_

#include <cstdint>

namespace tavo {

// A calendar time of minute precision; fields are not checked or normalised.
struct DateTime {
  int32_t year = 0;
  int32_t month = 0;
  int32_t day = 0;
  int32_t hour = 0;
  int32_t minute = 0;

  bool operator==(const DateTime&) const = default;
};

// The stored date record: six 32-bit fields in this order.
struct RecordDate {
  int32_t minute = 0;
  int32_t hour = 0;
  int32_t day = 0;
  int32_t month = 0;
  int32_t year_since_2000 = 0;
  int32_t packed = 0;

  bool operator==(const RecordDate&) const = default;
};

constexpr uint32_t PackRecordDate(const DateTime& t) noexcept {
  return (static_cast<uint32_t>(t.year - 2000) << 21) | ((static_cast<uint32_t>(t.month) & 0xF) << 17) |
         ((static_cast<uint32_t>(t.day) & 0x1F) << 12) | ((static_cast<uint32_t>(t.hour) & 0x3F) << 6) |
         (static_cast<uint32_t>(t.minute) & 0x3F);
}

constexpr DateTime UnpackRecordDate(uint32_t packed) noexcept {
  // The shift is arithmetic, so years before 2000 come back.
  return DateTime{2000 + (static_cast<int32_t>(packed) >> 21), static_cast<int32_t>((packed >> 17) & 0xF), static_cast<int32_t>((packed >> 12) & 0x1F),
                  static_cast<int32_t>((packed >> 6) & 0x3F), static_cast<int32_t>(packed & 0x3F)};
}

constexpr RecordDate ToRecordDate(const DateTime& t) noexcept {
  return RecordDate{t.minute, t.hour, t.day, t.month, t.year - 2000, static_cast<int32_t>(PackRecordDate(t))};
}

// The packed field is not read: the five plain fields are the date.
constexpr DateTime FromRecordDate(const RecordDate& r) noexcept {
  return DateTime{r.year_since_2000 + 2000, r.month, r.day, r.hour, r.minute};
}

constexpr uint32_t PackGeneratorDate(const DateTime& t) noexcept {
  return static_cast<uint32_t>(t.year) * (1u << 20) + static_cast<uint32_t>(t.month) * (1u << 16) +
         static_cast<uint32_t>(t.day) * (1u << 11) + static_cast<uint32_t>(t.hour) * (1u << 6) +
         static_cast<uint32_t>(t.minute);
}

constexpr DateTime UnpackGeneratorDate(uint32_t packed) noexcept {
  return DateTime{static_cast<int32_t>(packed >> 20), static_cast<int32_t>((packed >> 16) & 0xF),
                  static_cast<int32_t>((packed >> 11) & 0x1F), static_cast<int32_t>((packed >> 6) & 0x1F),
                  static_cast<int32_t>(packed & 0x3F)};
}

}  // namespace tavo

#endif  // TAVO_VOCABULARY_DATES_H_
