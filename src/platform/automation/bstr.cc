// Automation strings.
//
//   OFFSET  SIZE  DESCRIPTION
//   -4      4     byte length of the text, without the terminator
//    0      n     the UTF-16 text (the BSTR points here)
//    n      2     NUL
//
// The byte length need not be even (SysAllocStringByteLen); SysStringLen
// rounds down. A null BSTR is the empty string everywhere.
#include <cstdlib>
#include <cstring>

#include "tavo/automation.h"

namespace {

constexpr size_t kMaxBytes = 0x7FFFFFF0;

BSTR Allocate(const void* data, size_t bytes) {
  if (bytes > kMaxBytes) return nullptr;
  auto* block = static_cast<char*>(std::malloc(sizeof(uint32_t) + bytes + sizeof(OLECHAR) + 1));
  if (block == nullptr) return nullptr;
  const auto len = static_cast<uint32_t>(bytes);
  std::memcpy(block, &len, sizeof len);
  char* text = block + sizeof(uint32_t);
  if (data != nullptr) {
    std::memcpy(text, data, bytes);
  } else {
    std::memset(text, 0, bytes);
  }
  std::memset(text + bytes, 0, sizeof(OLECHAR) + 1);
  return reinterpret_cast<BSTR>(text);
}

char* BlockOf(BSTR s) { return reinterpret_cast<char*>(s) - sizeof(uint32_t); }

size_t Length(const OLECHAR* s) {
  size_t n = 0;
  while (s[n] != 0) ++n;
  return n;
}

}  // namespace

TAVO_AUTO_API BSTR SysAllocString(const OLECHAR* s) {
  if (s == nullptr) return nullptr;
  return Allocate(s, Length(s) * sizeof(OLECHAR));
}

TAVO_AUTO_API BSTR SysAllocStringLen(const OLECHAR* s, UINT len) {
  return Allocate(s, static_cast<size_t>(len) * sizeof(OLECHAR));
}

TAVO_AUTO_API BSTR SysAllocStringByteLen(const char* s, UINT bytes) { return Allocate(s, bytes); }

TAVO_AUTO_API int SysReAllocString(BSTR* target, const OLECHAR* s) {
  if (target == nullptr) return 0;
  BSTR fresh = SysAllocString(s);
  if (s != nullptr && fresh == nullptr) return 0;
  SysFreeString(*target);
  *target = fresh;
  return 1;
}

TAVO_AUTO_API void SysFreeString(BSTR s) {
  if (s != nullptr) std::free(BlockOf(s));
}

TAVO_AUTO_API UINT SysStringByteLen(BSTR s) {
  if (s == nullptr) return 0;
  uint32_t len;
  std::memcpy(&len, BlockOf(s), sizeof len);
  return len;
}

TAVO_AUTO_API UINT SysStringLen(BSTR s) { return SysStringByteLen(s) / sizeof(OLECHAR); }
