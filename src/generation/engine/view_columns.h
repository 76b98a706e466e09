// The columns of the library view: which values of a track it keeps, and
// from which REC key or fixed part of the record each one comes.
//
// Text columns hold text ids (text_pool.h; 0 = no value). Number columns
// hold 32-bit values with a presence bit each; the file size is a 64-bit
// column of its own. Numbers kept as text are read with the library's
// decimal conversion (decimal_text.h), "SIZE" with its 64-bit form.
#ifndef TAVO_GENERATION_ENGINE_VIEW_COLUMNS_H_
#define TAVO_GENERATION_ENGINE_VIEW_COLUMNS_H_

#include <cstdint>

#include "generation/engine/key_texts.h"

namespace tavo {

enum TextColumn : uint8_t {
  kTextFolder,    // the record's path name (interned: the tracks of a folder share it)
  kTextFileName,  // added, not interned: file names are unique
  kTextTitle,
  kTextTitleSort,
  kTextArtist,
  kTextArtistSort,
  kTextAlbum,
  kTextAlbumSort,
  kTextLabel,
  kTextDev1,
  kTextDev2,
  kTextDev3,
  kTextColumnCount,
};

enum NumberColumn : uint8_t {
  // From REC keys.
  kNumberLength,
  kNumberBitrate,
  kNumberYear,
  kNumberOriginalYear,
  kNumberBpm,
  kNumberTrackNumber,
  kNumberMood,
  kNumberTempo,
  kNumberType,
  kNumberOrigin,
  kNumberEra,
  kNumberRhythm,
  kNumberInstruments,
  kNumberVocals,
  kNumberTimbre,
  kNumberDev1,
  kNumberDev2,
  kNumberDev3,
  // "GEN_V2", else the version-1 genre converted.
  kNumberGenre,
  // The record's fixed part: packed record dates (0 = none), plays, rating,
  // popularities (-1 = none).
  kNumberCreated,
  kNumberUpdated,
  kNumberLastPlayed,
  kNumberPlays,
  kNumberRating,
  kNumberAlbumPopularity,
  kNumberGlobalPopularity,
  kNumberColumnCount,
};

// Presence bits: one per number column, then the size.
inline constexpr uint32_t kSizePresentBit = 1u << kNumberColumnCount;
static_assert(kNumberColumnCount < 32);

inline constexpr uint8_t kNoColumn = 0xFF;

// The column a REC key fills, or kNoColumn.
uint8_t TextColumnOfKey(uint32_t key) noexcept;
uint8_t NumberColumnOfKey(uint32_t key) noexcept;

// The keys the view reads from the metadata set and from the developer set.
const KeySet& ViewMetadataKeys();
const KeySet& ViewDeveloperKeys();

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_VIEW_COLUMNS_H_
