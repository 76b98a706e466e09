// The disc object of a track record: a disc of the control's library filled
// with the record's values (storage/library/disc_fields.h lists them in
// setting order), as GetFileData and the search hand it to the host.
#ifndef TAVO_MANAGER_COM_DISC_OBJECT_H_
#define TAVO_MANAGER_COM_DISC_OBJECT_H_

#include "data/descriptors/descriptor_list.h"
#include "manager/library/media_library.h"
#include "storage/library/track_record.h"
#include "tavo/automation.h"

namespace tavo {

// The lists that name a record's descriptor ids; a list that is missing
// leaves its names out.
struct DiscNames {
  DescriptorListPtr eras;
  DescriptorListPtr artist_types;
  DescriptorListPtr origins;
  DescriptorListPtr genres;
};

// The lists of `library`, loaded when they are not yet.
DiscNames DiscNamesOf(MediaLibrary& library);

// A new disc object holding `track`, with one reference for the caller.
// Absent values are not set. The status of the first creation, query or
// setter that fails (*disc null then).
HRESULT BuildDiscObject(const TrackRecord& track, const DiscNames& names, IDispatch** disc);

}  // namespace tavo

#endif  // TAVO_MANAGER_COM_DISC_OBJECT_H_
