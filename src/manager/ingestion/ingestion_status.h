// Status codes of ingestion (ingestion.h), beside the media library's
// (manager/library/manager_status.h) and the library database's, which its
// operations pass on unchanged. The automation layer maps them with the
// manager's in manager/com/manager_hresult.h; the answer it gives is noted
// here.
#ifndef TAVO_MANAGER_INGESTION_INGESTION_STATUS_H_
#define TAVO_MANAGER_INGESTION_INGESTION_STATUS_H_

#include "manager/library/manager_status.h"

namespace tavo {

// A record of this file name, or of the file's tag identifier, is already in
// the library (automation: the plain value 80).
inline constexpr LibraryStatus kIngestionAlreadyInLibrary = 0x3A01;
// The folder of a scan cannot be listed (automation: the plain value 2).
inline constexpr LibraryStatus kIngestionNotAFolder = 0x3A02;
// A null or empty name (automation: 0x80070057).
inline constexpr LibraryStatus kIngestionBadName = 0x3A03;
// The file's extension names no audio format we read (automation: E_FAIL).
inline constexpr LibraryStatus kIngestionUnknownFormat = 0x3A04;
// The file cannot be opened or sized: missing, unreadable, a directory
// (automation: E_FAIL).
inline constexpr LibraryStatus kIngestionCannotRead = 0x3A05;
// A service refresh of a record without a tag identifier (automation: E_FAIL).
inline constexpr LibraryStatus kIngestionNoTagId = 0x3A06;

}  // namespace tavo

#endif  // TAVO_MANAGER_INGESTION_INGESTION_STATUS_H_
