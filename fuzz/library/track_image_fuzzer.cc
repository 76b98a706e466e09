// Record data of ".pdb" as it may lie in a damaged file: parsed, decoded,
// read through every field and written back. Decoding must give a status or
// a record that encodes to data that decodes to the same record.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "storage/library/disc_fields.h"
#include "storage/library/index_entry.h"
#include "storage/library/track_fields.h"
#include "storage/library/track_id.h"
#include "storage/library/track_image.h"

using namespace tavo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint32_t id = 0;
  TrackId_ParseTag(std::string_view(reinterpret_cast<const char*>(data), size < 80 ? size : 80), &id);
  TrackImage image;
  TrackRecord track;
  if (TrackImage_Parse(data, static_cast<uint32_t>(size), &image) != kLibraryOk) return 0;
  if (TrackImage_Decode(image, "fuzz.mp3", TrackLoad::kWithSets, &track) != kLibraryOk) return 0;
  for (int32_t field = -1; field <= 54; ++field) {
    TrackFieldValue value;
    TrackField_Read(track, field, &value);
  }
  for (const DiscField& field : DiscFields()) DiscField_Value(track, field);
  const IndexEntry entry = IndexEntry_Build(track, id);
  std::vector<uint8_t> encoded;
  if (TrackImage_Encode(track, track.path_name, &encoded) != kLibraryOk) return 0;
  TrackImage again;
  TrackRecord back;
  if (TrackImage_Parse(encoded.data(), static_cast<uint32_t>(encoded.size()), &again) != kLibraryOk ||
      TrackImage_Decode(again, "fuzz.mp3", TrackLoad::kWithSets, &back) != kLibraryOk ||
      !(IndexEntry_Build(back, id) == entry)) {
    std::abort();
  }
  return 0;
}
