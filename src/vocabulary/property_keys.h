// The fixed key table of property sets: 88 entries indexed from 0,
// an empty entry being the empty string, and the five kinds of set with their
// root names and accepted key ranges.
#ifndef TAVO_VOCABULARY_PROPERTY_KEYS_H_
#define TAVO_VOCABULARY_PROPERTY_KEYS_H_

#include <cstddef>
#include <cstdint>

namespace tavo {

inline constexpr uint32_t kPropertyKeyCount = 88;

// The key text of `index` ("" for an empty entry or an index past the table).
const char* PropertyKey(uint32_t index) noexcept;

// Kinds of property set.
enum PropertySetKind : uint16_t {
  kPropertySetRec = 1,       // "REC": a track's metadata (the library's only kind)
  kPropertySetPsetMgr = 2,   // "PSETMGR": a preset manager
  kPropertySetPset = 3,      // "PSET": a saved criteria set
  kPropertySetCorrList = 4,  // "CORRLIST": a correlate list
  kPropertySetCorr = 5,      // "CORR": a correlate
};

// Root key index of a kind (1, 54, 58, 81, 73), or 0 for a kind outside 1-5.
uint32_t PropertySetKind_RootKey(uint16_t kind) noexcept;
// Accepted key indices of a kind lie strictly between these two bounds.
// Both 0 for a kind outside 1-5.
void PropertySetKind_KeyBounds(uint16_t kind, uint32_t* low, uint32_t* high) noexcept;

// Key indices by name. Kind REC (1 < index < 53):
enum PropertyKeyIndex : uint32_t {
  kKeyRec = 1,
  kKeyRev = 2,
  kKeyLng = 3,
  kKeyTit = 4,
  kKeyArt = 5,
  kKeyAlb = 6,
  kKeyYear = 7,
  kKeyOYear = 8,
  kKeyLabel = 9,
  kKeyTitSort = 10,
  kKeyArtSort = 11,
  kKeyAlbSort = 12,
  kKeyGenDesc = 13,  // "GEN/DESC"
  kKeyNum = 14,
  kKeyTot = 15,
  kKeyTid = 16,
  kKeyTLen = 17,
  kKeyBitR = 18,
  kKeyBpm = 19,
  kKeySize = 20,
  kKeyType = 21,
  kKeyOrigin = 22,
  kKeyEra = 23,
  kKeyGenV2 = 24,
  kKeyMood = 25,
  kKeyTempo = 26,
  kKeyRhythm = 27,
  kKeyInstruments = 28,
  kKeyVocals = 29,
  kKeyTimbre = 30,
  kKeyMelody = 31,
  kKeyChordProg = 32,
  kKeyDrm = 33,
  kKeyCodec = 34,
  kKeyLangId = 35,
  kKeyAlbComp = 36,
  kKeyDevField1 = 49,
  kKeyDevField2 = 50,
  kKeyDevField3 = 51,
  kKeyDevFieldPattern = 52,  // "DEVFIELD%d": not a usable path (setting it returns 1)
  // Kind PSETMGR (54 < index < 57):
  kKeyPsetMgr = 54,
  kKeyPsetMgrCount = 55,
  kKeyPsetMgrP = 56,
  // Kind PSET (58 < index < 72):
  kKeyPset = 58,
  kKeyPsetDesc = 59,
  kKeyPsetCritGen = 60,
  kKeyPsetCritSeed = 61,
  kKeyPsetCritSort = 62,
  kKeyPsetCritPopVal = 63,
  kKeyPsetCritPopWin = 64,
  kKeyPsetCritSimVal = 65,
  kKeyPsetCritSimWin = 66,
  kKeyPsetCritArt = 67,
  kKeyPsetCritAlb = 68,
  kKeyPsetMaxResult = 69,
  kKeyPsetMaxPerArt = 70,
  kKeyPsetMaxPerAlb = 71,
  // Kind CORR (73 < index < 80):
  kKeyCorr = 73,
  kKeyCorrId = 74,
  kKeyCorrMeta = 75,
  kKeyCorrDesc = 76,
  kKeyCorrRelsNum = 77,
  kKeyCorrRelsId = 78,
  kKeyCorrRelsW = 79,
  // Kind CORRLIST (81 < index < 84):
  kKeyCorrList = 81,
  kKeyCorrListRev = 82,
  kKeyCorrListTag = 83,
};

// The path of a key as property sets build it: the key text followed by the
// instance number in decimal when instance >= 1 ("%s%i"), else the key text
// alone; at most buffer_size - 1 bytes kept, always NUL-terminated (when
// buffer_size >= 1). Returns the length kept.
size_t PropertyKey_BuildPath(uint32_t index, int instance, char* buffer, size_t buffer_size) noexcept;

}  // namespace tavo

#endif  // TAVO_VOCABULARY_PROPERTY_KEYS_H_
