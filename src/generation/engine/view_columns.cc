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
  std::array<uint8_t, kRecKeyLimit> text;
  std::array<uint8_t, kRecKeyLimit> number;
  KeySet metadata;
  KeySet developer;
};

const Tables& TablesOf() {
  static const Tables tables = [] {
    Tables t;
    t.text.fill(kNoColumn);
    t.number.fill(kNoColumn);
    for (const KeyColumn& c : kKeyColumns) {
      t.text[c.key] = c.text;
      t.number[c.key] = c.number;
      (IsDeveloperKey(c.key) ? t.developer : t.metadata).set(c.key);
    }
    return t;
  }();
  return tables;
}

}  // namespace

uint8_t TextColumnOfKey(uint32_t key) noexcept { return key < kRecKeyLimit ? TablesOf().text[key] : kNoColumn; }

uint8_t NumberColumnOfKey(uint32_t key) noexcept {
  return key < kRecKeyLimit ? TablesOf().number[key] : kNoColumn;
}

const KeySet& ViewMetadataKeys() { return TablesOf().metadata; }
const KeySet& ViewDeveloperKeys() { return TablesOf().developer; }

}  // namespace tavo
