// What an open MediaLibrary holds. Private to src/manager/library.
#ifndef TAVO_MANAGER_LIBRARY_MEDIA_LIBRARY_SESSION_H_
#define TAVO_MANAGER_LIBRARY_MEDIA_LIBRARY_SESSION_H_

#include <memory>
#include <string>

#include "generation/engine/library_view.h"
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
  // The engine's view of the tracks: empty until the first run builds it,
  // then fed by TrackStored and TrackRemoved; dropped with the session.
  std::unique_ptr<LibraryView> view;
};

}  // namespace tavo

#endif  // TAVO_MANAGER_LIBRARY_MEDIA_LIBRARY_SESSION_H_
