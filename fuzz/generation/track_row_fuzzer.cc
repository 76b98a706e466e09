// Record data of ".pdb" as it may lie in a damaged file, read into a row of
// the library view twice: by the plain scan of its property-set texts, and
// through the property-set parser (decoded record). Both must skip the same
// records and give the same values.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "generation/engine/track_row.h"

using namespace tavo;

namespace {

bool SameRow(const TrackRow& a, const TrackRow& b) {
  for (uint8_t c = 0; c < kTextColumnCount; ++c) {
    if (a.text[c] != b.text[c]) return false;
  }
  if (a.present != b.present || a.id != b.id || ((a.present & kSizePresentBit) && a.size != b.size)) return false;
  for (uint8_t c = 0; c < kNumberColumnCount; ++c) {
    if ((a.present & (1u << c)) && a.number[c] != b.number[c]) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TrackImage image;
  if (TrackImage_Parse(data, static_cast<uint32_t>(size), &image) != kLibraryOk) return 0;
  KeyTexts scanned_keys, decoded_keys;
  PropertySetPtr parsed[2];
  TrackRow scanned, decoded;
  const bool scan_read = TrackRow_FromImage(7, "fuzz.mp3", image, &scanned_keys, parsed, &scanned);
  TrackRecord track;
  const bool decode_read = TrackImage_Decode(image, "fuzz.mp3", TrackLoad::kWithSets, &track) == kLibraryOk;
  if (scan_read != decode_read) std::abort();
  if (!decode_read) return 0;
  TrackRow_FromRecord(7, track, &decoded_keys, &decoded);
  if (!SameRow(scanned, decoded)) std::abort();
  return 0;
}
