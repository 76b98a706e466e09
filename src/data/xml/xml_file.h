// XML document files with their compressed ".bml" companions.
//
// A document whose path contains ".xml" is kept preferably as a companion
// file whose path has the "x" of the first ".xml" (case-sensitive) replaced by
// "b" ("list.xml" -> "list.bml"). The companion holds the uncompressed length
// (text plus its NUL) as eight lower-case hex digits, then one zlib stream
// (level 1, deflate, window bits 15, memory level 8, default strategy).
//
// All file access goes through tavo::Env (Env::Default() when env is null),
// so tests can inject failures. Files are written through a temporary file
// and a rename, so a full disk or a crash never leaves a truncated companion
// that a later read would prefer over a good plain file.
#ifndef TAVO_DATA_XML_XML_FILE_H_
#define TAVO_DATA_XML_XML_FILE_H_

#include <cstdint>
#include <string>

#include "platform/fs/env.h"

namespace tavo {

// Statuses of the document-file operations (besides 0).
enum XmlFileStatus : int {
  kXmlFileMissingArgument = 4,  // missing path or text / output
  kXmlFileCannotOpen = 72,      // the plain file cannot be opened (or written)
};

// A companion is inflated only when its header claims at most this many bytes
// (64 MiB, far above any real document; the largest, a genre list, is well
// under 1 MiB). Together with the ratio rule below this bounds what a small or
// hostile companion can make a read allocate.
inline constexpr uint32_t kXmlFileMaxInflatedLength = uint32_t{64} << 20;

// Reads the document at `path`: the companion when it exists and is sound
// (at least 8 bytes, a "%08x" header, uncompressed length / file size <= 100,
// uncompressed length <= kXmlFileMaxInflatedLength, a zlib stream that
// inflates into that length), otherwise the plain file,
// read as text the way line-by-line reading in pieces of at most 1023 bytes
// does (a NUL byte drops the rest of its piece). *text is a new NUL-terminated
// string (free with XmlText_Free from data/xml/xml.h). Statuses: 0, 4, 72.
int XmlFile_Read(const char* path, char** text, Env* env = nullptr) noexcept;

// Writes `text` (NUL-terminated) to `path`: as the companion when the path
// contains ".xml" and the companion can be written (the plain file is then
// left alone), otherwise as the plain file (and then a stale companion is
// removed, so it cannot shadow the new text). Statuses: 0, 4, 72.
int XmlFile_Write(const char* path, const char* text, Env* env = nullptr) noexcept;

// The companion path of `path`; false when the path contains no ".xml".
bool XmlFile_CompanionPath(const std::string& path, std::string* companion);

}  // namespace tavo

#endif  // TAVO_DATA_XML_XML_FILE_H_
