#include "storage/library/dir_delim.h"

#include <atomic>

namespace tavo {
namespace {

std::atomic<char> g_dir_delim{'/'};

}  // namespace

char DirDelim() noexcept { return g_dir_delim.load(std::memory_order_relaxed); }

void SetDirDelim(char delimiter) noexcept { g_dir_delim.store(delimiter, std::memory_order_relaxed); }

void SplitTrackPath(std::string_view path, std::string_view* directory, std::string_view* file_name) noexcept {
  size_t at = path.rfind('/');
  const size_t delim = path.rfind(DirDelim());
  if (delim != std::string_view::npos && (at == std::string_view::npos || delim > at)) at = delim;
  if (at == std::string_view::npos) {
    *directory = {};
    *file_name = path;
    return;
  }
  // A file in the root keeps "/" as its directory.
  *directory = path.substr(0, at == 0 ? 1 : at);
  *file_name = path.substr(at + 1);
}

}  // namespace tavo
