// Ingestion: records built from a host's disc object.
#include "manager/ingestion/ingestion.h"
#include "storage/library/decimal_text.h"
#include "storage/store/status.h"

namespace tavo {

namespace {

// Stream keys the disc lacks, from the file.
void FillStreamGaps(const FileReading& reading, TrackRecord* track) {
  if (reading.status != kLibraryOk) return;
  const struct {
    uint32_t key;
    uint64_t value;
  } gaps[] = {{kKeyTLen, reading.stream_seconds}, {kKeyBitR, reading.bit_rate}, {kKeySize, reading.size}};
  for (const auto& gap : gaps) {
    if (TrackRecord_Value(*track, gap.key) == nullptr && gap.value != 0) {
      TrackRecord_SetValue(track, gap.key, DecimalText(static_cast<int64_t>(gap.value)).c_str());
    }
  }
}

}  // namespace

LibraryStatus Ingestion::BuildFromDisc(const std::string& path, const DiscReading& disc, DiscMode mode,
                                       bool read_file) {
  if (path.empty()) return kIngestionBadName;
  if (!library_.is_open()) return kManagerNotOpen;
  TrackRecord track;
  const LibraryStatus found = library_.FindTrack(path, &track);
  if (found == kLibraryOk && mode == DiscMode::kAdd) return kIngestionAlreadyInLibrary;
  if (found != kLibraryOk && found != kStoreNotFound) return found;
  const bool existing = found == kLibraryOk;
  ApplyDiscReading(disc, library_, &track);
  if (read_file && !DiscHasStream(track)) {
    const FileTag no_tag;  // the disc's values stand; only the stream is read
    FillStreamGaps(ReadAudioFile(path, sources_.tags, sources_.env, &no_tag), &track);
  }
  track.updated = Now();
  if (!existing) return StoreNew(path, &track);
  // Update mode keeps the created date of the stored record.
  return library_.Write([&](MediaLibrary::Writer& writer) { return writer.UpdateTrack(track); });
}

LibraryStatus Ingestion::AddFileWithDisc(const std::string& path, const DiscReading& disc) {
  return BuildFromDisc(path, disc, DiscMode::kAdd, true);
}

LibraryStatus Ingestion::UpdateFileWithDisc(const std::string& path, const DiscReading& disc) {
  return BuildFromDisc(path, disc, DiscMode::kUpdate, true);
}

LibraryStatus Ingestion::AddEntryWithDisc(const std::string& path, const DiscReading& disc) {
  return BuildFromDisc(path, disc, DiscMode::kAdd, false);
}

}  // namespace tavo
