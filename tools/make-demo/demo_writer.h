// Writes the demo library: one silent MP3 file per recording of
// DemoRecordings(), tagged through TagLib with the recording's data and its
// tag identifier, in DIR/<artist>/<album>/<artist> - <nn> <title>.mp3 (file
// names are unique across the library, as the manager keys records by them).
#ifndef TAVO_TOOLS_MAKE_DEMO_DEMO_WRITER_H_
#define TAVO_TOOLS_MAKE_DEMO_DEMO_WRITER_H_

#include <string>

#include "demo_catalog.h"

namespace tavo {

// The path of a recording's file below the library directory.
std::string DemoRelativePath(const Recording& r);

// Writes one file; false with a message in *error on failure.
bool WriteDemoFile(const std::string& path, const Recording& r, std::string* error);

// Writes all files below `dir`, creating folders. Returns the number written,
// or -1 with *error set.
int WriteDemoLibrary(const std::string& dir, std::string* error);

}  // namespace tavo

#endif  // TAVO_TOOLS_MAKE_DEMO_DEMO_WRITER_H_
