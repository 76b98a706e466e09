// The service refresh of a track record: what the recognition service knows
// about the record's tag identifier, in up to three steps chosen by the
// update flags (TavoPlaylistUpdateFlags):
//
//   flag bits      lookup  extended step  descriptor step  popularity step
//   1 STANDARD       x                          x                x
//   2 POP                                                        x
//   4 EXTENDED       x                          x
//   8 ALL            x           x              x                x
//   16 UNPOPULATED  the whole value only: replaced per record by EXTENDED
//                   when it has no "GEN_V2", plus POP when a popularity is
//                   unknown (-1) or the album popularity is 0
//
//   extended step:   "TIT_SORT", "ART_SORT" (artists joined with ", "),
//                    "LABEL", "TOT", "OYEAR", "YEAR"
//   descriptor step: the version-1 genre; "TYPE", "ORIGIN", "ERA" and
//                    "GEN_V2", each kept only when its descriptor list knows
//                    the identifier
//   popularity step: album and global popularity for the tag identifier
//                    and the track number ("NUM", or the lookup's)
#ifndef TAVO_MANAGER_INGESTION_SERVICE_REFRESH_H_
#define TAVO_MANAGER_INGESTION_SERVICE_REFRESH_H_

#include <cstdint>

#include "manager/ingestion/tag_source.h"
#include "storage/library/track_record.h"

namespace tavo {

class MediaLibrary;

// The flags a refresh of `track` runs with (UNPOPULATED resolved).
int32_t ResolveUpdateFlags(const TrackRecord& track, int32_t flags);

// The steps of a refresh, for the callers that run them one by one (tag
// reading runs the descriptor and extended steps after a lookup and the
// popularity step last).
void RunExtendedStep(const RecordingData& data, TrackRecord* track);
void RunDescriptorStep(const RecordingData& data, MediaLibrary& library, TrackRecord* track);
LibraryStatus RunPopularityStep(RecordingService& service, TrackRecord* track);

// Refreshes `track` with `flags` (the updated date is the caller's). The
// status of the last step run; 0 with *changed false when the flags select
// nothing. kIngestionNoTagId for a record without a tag identifier.
LibraryStatus RefreshFromService(RecordingService& service, MediaLibrary& library, int32_t flags,
                                 TrackRecord* track, bool* changed);

}  // namespace tavo

#endif  // TAVO_MANAGER_INGESTION_SERVICE_REFRESH_H_
