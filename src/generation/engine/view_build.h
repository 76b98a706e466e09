// Building the library view from the database: one walk over the raw record
// images, property-set texts read by the plain scan (property_text_scan.h).
// Records a decoded walk would skip (damaged images, texts that do not
// parse) are skipped here too. The walk runs beside writers and may meet a
// track twice (a record rewritten elsewhere in the file while the walk goes
// on), so each track is stored by file name and identifier, as a write is:
// the view never holds one track in two slots.
#ifndef TAVO_GENERATION_ENGINE_VIEW_BUILD_H_
#define TAVO_GENERATION_ENGINE_VIEW_BUILD_H_

#include "generation/engine/view_state.h"
#include "storage/library/library_database.h"

namespace tavo {

// Adds every track of `db` to `state`. The walk's status on failure
// (0x2001 without an open database, 0x1003 when memory runs out).
LibraryStatus BuildViewState(LibraryDatabase* db, ViewState* state) noexcept;

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_VIEW_BUILD_H_
