#include "generation/engine/view_columns.h"

#include <array>

#include "storage/library/track_record.h"

namespace tavo {
namespace {

struct KeyColumn {
  uint32_t key;
  uint8_t text;
  uint8_t number;
};

// Every REC key a catalogue field reads (storage/library/track_fields.cc)
// has a column here; "SIZE" and "GEN_V2" are read into columns of their own.
constexpr KeyColumn kKeyColumns[] = {
    {kKeyTit, kTextTitle, kNoColumn},
    {kKeyTitSort, kTextTitleSort, kNoColumn},
    {kKeyArt, kTextArtist, kNoColumn},
    {kKeyArtSort, kTextArtistSort, kNoColumn},
    {kKeyAlb, kTextAlbum, kNoColumn},
    {kKeyAlbSort, kTextAlbumSort, kNoColumn},
    {kKeyLabel, kTextLabel, kNoColumn},
    {kKeyTLen, kNoColumn, kNumberLength},
    {kKeyBitR, kNoColumn, kNumberBitrate},
    {kKeyYear, kNoColumn, kNumberYear},
    {kKeyOYear, kNoColumn, kNumberOriginalYear},
    {kKeyBpm, kNoColumn, kNumberBpm},
    {kKeyNum, kNoColumn, kNumberTrackNumber},
    {kKeyMood, kNoColumn, kNumberMood},
    {kKeyTempo, kNoColumn, kNumberTempo},
    {kKeyType, kNoColumn, kNumberType},
    {kKeyOrigin, kNoColumn, kNumberOrigin},
    {kKeyEra, kNoColumn, kNumberEra},
    {kKeyRhythm, kNoColumn, kNumberRhythm},
    {kKeyInstruments, kNoColumn, kNumberInstruments},
    {kKeyVocals, kNoColumn, kNumberVocals},
    {kKeyTimbre, kNoColumn, kNumberTimbre},
    {kKeyDevField1, kTextDev1, kNumberDev1},
    {kKeyDevField2, kTextDev2, kNumberDev2},
    {kKeyDevField3, kTextDev3, kNumberDev3},
    {kKeySize, kNoColumn, kNoColumn},
    {kKeyGenV2, kNoColumn, kNoColumn},
};

struct Tables {
  std::array<uint8_t, kRecKeyLimit> text{};
  std::array<uint8_t, kRecKeyLimit> number{};
};

constexpr Tables MakeTables() {
  Tables t;
  t.text.fill(kNoColumn);
  t.number.fill(kNoColumn);
  for (const KeyColumn& c : kKeyColumns) {
    t.text[c.key] = c.text;
    t.number[c.key] = c.number;
  }
  return t;
}

constexpr Tables kTables = MakeTables();

KeySet KeysOf(bool developer) {
  KeySet keys;
  for (const KeyColumn& c : kKeyColumns) {
    if (IsDeveloperKey(c.key) == developer) keys.set(c.key);
  }
  return keys;
}

}  // namespace

uint8_t TextColumnOfKey(uint32_t key) noexcept { return key < kRecKeyLimit ? kTables.text[key] : kNoColumn; }

uint8_t NumberColumnOfKey(uint32_t key) noexcept { return key < kRecKeyLimit ? kTables.number[key] : kNoColumn; }

const KeySet& ViewMetadataKeys() {
  static const KeySet keys = KeysOf(false);
  return keys;
}

const KeySet& ViewDeveloperKeys() {
  static const KeySet keys = KeysOf(true);
  return keys;
}

}  // namespace tavo
