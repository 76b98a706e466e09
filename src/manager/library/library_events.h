// LibraryEvents: what the media library tells its host while it works. The
// automation layer implements it by firing DPlaylist2Events to every
// connected sink; tests implement it directly.
//
// The library calls these with none of its locks held (never the write
// lock, never a lifecycle transition), so an implementation may call back
// into the library or the manager, even shut it down: such calls answer with
// their usual statuses (a shutdown from inside an operation of the same
// thread is kManagerBusy).
#ifndef TAVO_MANAGER_LIBRARY_LIBRARY_EVENTS_H_
#define TAVO_MANAGER_LIBRARY_LIBRARY_EVENTS_H_

#include <cstdint>
#include <string_view>

namespace tavo {

class LibraryEvents {
 public:
  virtual ~LibraryEvents() = default;

  // Before a file is added (inside a folder scan) or refreshed (a database
  // update). Both flags start at 1; the host sets *add_ok to 0 to skip the
  // file and *go_on to 0 to stop after it.
  virtual void PreAddFile(std::string_view file_name, int32_t* add_ok, int32_t* go_on) = 0;
  virtual void PostAddFile(std::string_view file_name) = 0;
  virtual void PreUpdateFile(std::string_view file_name, int32_t* add_ok, int32_t* go_on) = 0;
  virtual void PostUpdateFile(std::string_view file_name) = 0;
  // Every 100 records of an index rebuild; *abort starts at 0, the host sets
  // it to stop the rebuild.
  virtual void RebuildIndexProgress(int32_t count, int32_t total, int32_t* abort) = 0;
};

// The host's answer to a pre-event.
struct HostDecision {
  bool add = true;    // false: skip this file
  bool go_on = true;  // false: stop after this file
};

}  // namespace tavo

#endif  // TAVO_MANAGER_LIBRARY_LIBRARY_EVENTS_H_
