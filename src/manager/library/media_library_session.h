// What an open MediaLibrary holds. Private to src/manager/library.
#ifndef TAVO_MANAGER_LIBRARY_MEDIA_LIBRARY_SESSION_H_
#define TAVO_MANAGER_LIBRARY_MEDIA_LIBRARY_SESSION_H_

#include <memory>
#include <string>

#include "manager/library/media_library.h"

namespace tavo {

// Made by FinishOpen and destroyed by Close; between the two only threads
// inside the lifecycle gate read it, and nothing in it is replaced.
struct MediaLibrary::Session {
  std::string directory;
  LibraryDatabasePtr database;
  std::shared_ptr<ListService> service;  // may be null
  std::unique_ptr<CorrelatesGate> correlates;
  std::unique_ptr<LibraryLists> lists;
  std::unique_ptr<PresetFolder> presets;
};

}  // namespace tavo

#endif  // TAVO_MANAGER_LIBRARY_MEDIA_LIBRARY_SESSION_H_
