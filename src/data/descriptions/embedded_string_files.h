// The string table files of share/strings/, embedded at build time by
// embed_string_files.cmake (the definition is generated into the build tree).
#ifndef TAVO_DATA_DESCRIPTIONS_EMBEDDED_STRING_FILES_H_
#define TAVO_DATA_DESCRIPTIONS_EMBEDDED_STRING_FILES_H_

#include <cstddef>
#include <cstdint>

namespace tavo {

struct EmbeddedStringFile {
  uint16_t language;  // Windows language id, from the file name
  const unsigned char* bytes;
  size_t size;
};

// One entry per file, in no particular order; ends with an entry whose bytes
// are null.
extern const EmbeddedStringFile kEmbeddedStringFiles[];

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTIONS_EMBEDDED_STRING_FILES_H_
