// Global memory blocks: documents that cross module boundaries are allocated
// here and freed here, whichever module made them.
#include <cstdlib>
#include <cstring>

#include "tavo/automation.h"

namespace {
// Each block keeps its size in front of the bytes it hands out.
constexpr size_t kHeader = 16;
}  // namespace

TAVO_AUTO_API HGLOBAL GlobalAlloc(UINT flags, size_t bytes) {
  if (bytes > SIZE_MAX - kHeader) return nullptr;
  char* block = static_cast<char*>((flags & GMEM_ZEROINIT) ? std::calloc(1, kHeader + bytes)
                                                            : std::malloc(kHeader + bytes));
  if (block == nullptr) return nullptr;
  std::memcpy(block, &bytes, sizeof bytes);
  return block + kHeader;
}

TAVO_AUTO_API HGLOBAL GlobalFree(HGLOBAL block) {
  if (block != nullptr) std::free(static_cast<char*>(block) - kHeader);
  return nullptr;
}

TAVO_AUTO_API size_t GlobalSize(HGLOBAL block) {
  if (block == nullptr) return 0;
  size_t bytes;
  std::memcpy(&bytes, static_cast<char*>(block) - kHeader, sizeof bytes);
  return bytes;
}
