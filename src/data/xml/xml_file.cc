// Document files and their compressed companions.
//
// Companion file ("list.bml" beside "list.xml"):
//
//   OFFSET  SIZE  DESCRIPTION
//   0       8     uncompressed length as "%08x" (lower-case hex), counting the
//                 text's terminating NUL
//   8       rest  one zlib stream (level 1, deflate, window bits 15, memory
//                 level 8, default strategy) of the text and its NUL
//
// A companion is trusted only when it is at least 8 bytes, its header parses,
// the claimed length is at most 100 times the file size and at most
// kXmlFileMaxInflatedLength (so no file makes us allocate gigabytes) and the
// stream inflates into the claimed length; anything else falls back to the
// plain file.
#include "data/xml/xml_file.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "data/xml/xml.h"
#include "data/xml/xml_internal.h"

namespace tavo {
namespace {

constexpr size_t kHeaderSize = 8;
constexpr unsigned long kMaxRatio = 100;
constexpr size_t kLinePiece = 1023;  // what fgets with a 1024-byte buffer takes at most

int ReadWhole(Env* env, const std::string& path, std::string* data) {
  try {
    return env->ReadAll(path, data);
  } catch (const std::bad_alloc&) {
    data->clear();
    return ENOMEM;
  }
}

// The text of a sound companion file, or none.
char* InflateCompanion(const std::string& data) {
  if (data.size() < kHeaderSize) return nullptr;
  char header[kHeaderSize + 1];
  std::memcpy(header, data.data(), kHeaderSize);
  header[kHeaderSize] = '\0';
  unsigned int length = 0;
  if (std::sscanf(header, "%08x", &length) != 1) return nullptr;
  if (length / data.size() > kMaxRatio || length > kXmlFileMaxInflatedLength) return nullptr;
  char* block = static_cast<char*>(xml_internal::Malloc(static_cast<size_t>(length) + 1));
  if (block == nullptr) return nullptr;
  uLongf got = length;
  const int zr = uncompress(reinterpret_cast<Bytef*>(block), &got,
                            reinterpret_cast<const Bytef*>(data.data() + kHeaderSize),
                            static_cast<uLong>(data.size() - kHeaderSize));
  if (zr != Z_OK) {
    xml_internal::Free(block);
    return nullptr;
  }
  // The stored text carries its own NUL; this one guards a companion whose
  // stream is shorter than its header says.
  block[got] = '\0';
  return block;
}

// The plain file's text as line-by-line reading in pieces of at most 1023
// bytes would collect it: each piece contributes its bytes up to its first NUL.
char* PlainText(const std::string& data) {
  const size_t size = data.size();
  // Sized up front: growing by 512 bytes at a time would only cost copies.
  XmlTextBuffer* buffer = XmlTextBuffer_New(size + 1 > 512 ? size + 1 : 512, 512);
  if (buffer == nullptr) return nullptr;
  const char* const p = data.data();
  size_t i = 0;
  while (i < size) {
    size_t end = size - i > kLinePiece ? i + kLinePiece : size;
    const void* nl = std::memchr(p + i, '\n', end - i);
    if (nl != nullptr) end = static_cast<size_t>(static_cast<const char*>(nl) - p) + 1;
    const size_t n = strnlen(p + i, end - i);
    if (XmlTextBuffer_Append(buffer, p + i, n) != kXmlOk) {
      XmlTextBuffer_Free(buffer);
      return nullptr;
    }
    i = end;
  }
  if (XmlTextBuffer_Append(buffer, "", 1) != kXmlOk) {
    XmlTextBuffer_Free(buffer);
    return nullptr;
  }
  return XmlTextBuffer_Detach(buffer);
}

// Writes the companion; 0 on success.
int WriteCompanion(Env* env, const std::string& companion, const char* text, size_t n) {
  const size_t total = n + 1;  // the text and its NUL
  if (total > 0xFFFFFFFFu) return EFBIG;
  const size_t block_size = total + total / 1000 + 21;
  char* block = static_cast<char*>(xml_internal::Malloc(block_size));
  if (block == nullptr) return ENOMEM;
  char header[kHeaderSize + 1];
  std::snprintf(header, sizeof(header), "%08x", static_cast<unsigned int>(total));
  std::memcpy(block, header, kHeaderSize);

  z_stream zs;
  std::memset(&zs, 0, sizeof(zs));
  int rc = EIO;
  if (deflateInit2(&zs, 1, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) == Z_OK) {
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text));
    zs.avail_in = static_cast<uInt>(total);
    zs.next_out = reinterpret_cast<Bytef*>(block + kHeaderSize);
    zs.avail_out = static_cast<uInt>(block_size - kHeaderSize);
    const int zr = deflate(&zs, Z_FINISH);
    const size_t stream_size = zs.total_out;
    deflateEnd(&zs);
    if (zr == Z_STREAM_END) {
      rc = env->WriteAtomically(companion, block, kHeaderSize + stream_size);
    }
  }
  xml_internal::Free(block);
  return rc;
}

}  // namespace

bool XmlFile_CompanionPath(const std::string& path, std::string* companion) {
  const size_t at = path.find(".xml");
  if (at == std::string::npos) return false;
  if (companion != nullptr) {
    *companion = path;
    (*companion)[at + 1] = 'b';
  }
  return true;
}

int XmlFile_Read(const char* path, char** text, Env* env) noexcept {
  if (text != nullptr) *text = nullptr;
  if (path == nullptr || text == nullptr) return kXmlFileMissingArgument;
  if (env == nullptr) env = Env::Default();
  try {
    const std::string file = path;
    std::string companion;
    std::string data;
    if (XmlFile_CompanionPath(file, &companion) && ReadWhole(env, companion, &data) == 0) {
      if (char* inflated = InflateCompanion(data)) {
        *text = inflated;
        return 0;
      }
    }
    data.clear();
    data.shrink_to_fit();
    if (ReadWhole(env, file, &data) != 0) return kXmlFileCannotOpen;
    char* plain = PlainText(data);
    if (plain == nullptr) return kXmlFileCannotOpen;
    *text = plain;
    return 0;
  } catch (const std::bad_alloc&) {
    return kXmlFileCannotOpen;
  }
}

int XmlFile_Write(const char* path, const char* text, Env* env) noexcept {
  if (path == nullptr || text == nullptr) return kXmlFileMissingArgument;
  if (env == nullptr) env = Env::Default();
  const size_t n = std::strlen(text);
  try {
    const std::string file = path;
    std::string companion;
    const bool has_companion = XmlFile_CompanionPath(file, &companion);
    if (has_companion && WriteCompanion(env, companion, text, n) == 0) return 0;
    if (env->WriteAtomically(file, text, n) != 0) return kXmlFileCannotOpen;
    // The companion could not be written: an older one must not shadow the
    // text just written. Removed only now, so a failed write loses nothing.
    if (has_companion) env->Remove(companion);
    return 0;
  } catch (const std::bad_alloc&) {
    return kXmlFileCannotOpen;
  }
}

}  // namespace tavo
