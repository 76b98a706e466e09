#include "generation/engine/view_build.h"

#include <new>

namespace tavo {

LibraryStatus BuildViewState(LibraryDatabase* db, ViewState* state) noexcept try {
  KeyTexts keys;
  PropertySetPtr parsed[2];
  TrackRow row;
  return LibraryDatabase_WalkRaw(db, [&](uint32_t id, std::string_view file_name, const TrackImage& image) {
    if (TrackRow_FromImage(id, file_name, image, &keys, parsed, &row)) state->Store(row);
    parsed[0].reset();
    parsed[1].reset();
    return true;
  });
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

}  // namespace tavo
