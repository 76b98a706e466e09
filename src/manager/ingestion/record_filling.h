// Filling a track record from a file's reading (file_reading.h) and the
// service, in this order, so that later steps win:
//
//   1. "SIZE" (the file size); "BPM" from the tag's frame "TBPM"; "TLEN"
//      from the frame "TLEN" (milliseconds / 1000), else from the stream;
//      "BITR" from the stream. Values of 0 are not stored.
//   2. The tag identifier: the record's own when it has one, else the
//      tag's. When there is one, the service's descriptor and extended
//      steps (service_refresh.h).
//   3. From the tag: "ART", "ALB", "TIT", "NUM", "YEAR", "OYEAR" (frame
//      "TORY"), "LABEL", "GEN/DESC". An absent or empty value leaves the key.
//   4. The service's popularity step.
//
// Runs on the thread that stores (it asks the service).
#ifndef TAVO_MANAGER_INGESTION_RECORD_FILLING_H_
#define TAVO_MANAGER_INGESTION_RECORD_FILLING_H_

#include "manager/ingestion/file_reading.h"
#include "storage/library/track_record.h"

namespace tavo {

class MediaLibrary;

void FillFromReading(const FileReading& reading, RecordingService& service, MediaLibrary& library,
                     TrackRecord* track);

// Moves what a reading of the file gives a record (the metadata set, tag
// identifier, version-1 genre, popularity and the updated date) from
// `fresh` into `stored`; plays, rating, flags, the developer set and the
// other dates stay `stored`'s.
void TakeFileData(TrackRecord&& fresh, TrackRecord* stored);

}  // namespace tavo

#endif  // TAVO_MANAGER_INGESTION_RECORD_FILLING_H_
