// Paths of the library. The process-wide directory delimiter: one byte, "/" until a manager
// changes it. Database paths are composed with it, and track paths are split
// at it (and at "/") into directory and file name. Shared by every manager of
// the process; reading and writing it is safe from any thread.
#ifndef TAVO_STORAGE_LIBRARY_DIR_DELIM_H_
#define TAVO_STORAGE_LIBRARY_DIR_DELIM_H_

#include <string_view>

namespace tavo {

char DirDelim() noexcept;
void SetDirDelim(char delimiter) noexcept;

// Splits a track's path after its last "/" or delimiter into the directory
// (without the separator) and the file name. A path without either is a
// file name alone.
void SplitTrackPath(std::string_view path, std::string_view* directory, std::string_view* file_name) noexcept;

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_DIR_DELIM_H_
