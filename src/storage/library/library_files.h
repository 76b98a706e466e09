// The files of a library database and their record-store definitions.
//
// Every file is named <directory><DirDelim><base name><extension>; the
// delimiter is left out when the directory already ends with it.
//
//   FILE  KIND  KEYS (type/method)                         A    B    CONTENT
//   .pdb  1     text/12, u32/5, u32/5, text/12             128  128  track records
//   .idx  2     u32/5, text/12, u32/5 x3, text/12... (15)  128  128  search index
//   .lsf  5     u32/5 x4, bytes/0 x2                       128  128  correlates values, keyed blobs
//   .gcf  6     u32/5 x4                                   128  32   per-genre correlate tables
//
// All four are written most significant byte first, with node size 256 and a
// 256-byte user block. Only the record file's data and user block have words
// to convert (track_image.h, track_id.h); the others hold bytes.
#ifndef TAVO_STORAGE_LIBRARY_LIBRARY_FILES_H_
#define TAVO_STORAGE_LIBRARY_LIBRARY_FILES_H_

#include <cstdint>
#include <memory>
#include <string>

#include "storage/library/library_status.h"
#include "storage/store/store.h"

namespace tavo {

class Env;

inline constexpr const char* kLibraryBaseName = "tavoplm";

enum class LibraryFile { kRecords, kIndex, kCompanion, kCorrelates };

struct LibraryFileSpec {
  const char* extension;  // ".pdb", ".idx", ".lsf", ".gcf"
  StoreFileDef def;
  StoreFileType type;
};

const LibraryFileSpec& LibraryFile_Spec(LibraryFile file);

// <directory><DirDelim unless it ends with it><base><extension>.
std::string LibraryFile_Path(const std::string& directory, const std::string& base, LibraryFile file);
std::string LibraryFile_Path(const std::string& directory, const std::string& base, const char* extension);

struct StoreFileCloser {
  void operator()(StoreFile* file) const noexcept { Store_Close(file); }
};
using StoreFilePtr = std::unique_ptr<StoreFile, StoreFileCloser>;

// Opens an existing file and checks its kind: 0x1002 (and nothing left open)
// when it is another kind of file.
LibraryStatus LibraryFile_Open(LibraryFile file, const std::string& path, uint32_t mode, Env* env,
                               StoreFilePtr* out);
// True for the open failures that say the file is not a library file of the
// wanted kind or its header is damaged: files whose content can be made again
// (index, correlates) are then created anew.
bool LibraryFile_IsForeignOrDamaged(LibraryStatus status) noexcept;
// Creates the file anew (an existing one is emptied), open for writing.
LibraryStatus LibraryFile_Create(LibraryFile file, const std::string& path, Env* env, StoreFilePtr* out);
// Closes and reports the flush's status.
LibraryStatus LibraryFile_Close(StoreFilePtr* file);

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_LIBRARY_FILES_H_
