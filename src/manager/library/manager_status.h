// Status codes of the media library object (media_library.h), beside the
// library database's own (storage/library/library_status.h), which its
// operations pass on unchanged. The automation layer maps all of them in one
// table (manager/com/manager_hresult.h); the status it gives is noted here.
#ifndef TAVO_MANAGER_LIBRARY_MANAGER_STATUS_H_
#define TAVO_MANAGER_LIBRARY_MANAGER_STATUS_H_

#include "storage/library/library_status.h"

namespace tavo {

// No database is open (automation: 0x8000FFFF).
inline constexpr LibraryStatus kManagerNotOpen = 0x3001;
// Open while open or opening (automation: ERR_PL_Initialized).
inline constexpr LibraryStatus kManagerAlreadyOpen = 0x3002;
// The write lock was not had within 10 ms, or the call came from inside one
// of the library's own operations on the same thread (a sink that shuts the
// manager down from an event) and would have to wait for itself
// (automation: 0x80070005).
inline constexpr LibraryStatus kManagerBusy = 0x3003;
// A descriptor list or mapping is available neither from the database copy
// nor from the service (automation: E_FAIL).
inline constexpr LibraryStatus kManagerNoList = 0x3004;
// The service failed a request or answered with something unusable
// (automation: E_FAIL).
inline constexpr LibraryStatus kManagerServiceFailed = 0x3005;
// The service has no newer document than the revision the caller holds.
inline constexpr LibraryStatus kManagerNoDocument = 0x3006;
// A list document whose hierarchy leads from an item back to itself is
// refused (automation: E_FAIL).
inline constexpr LibraryStatus kManagerCyclicList = 0x3007;
// The host asked to stop in an event (automation: 0x80004004).
inline constexpr LibraryStatus kManagerStopped = 0x3008;
// The host asked to skip the file in an event (automation: the plain value 1).
inline constexpr LibraryStatus kManagerSkipped = 0x3009;

}  // namespace tavo

#endif  // TAVO_MANAGER_LIBRARY_MANAGER_STATUS_H_
