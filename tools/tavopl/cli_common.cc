#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "atomic_file.h"
#include "cli.h"

namespace tavo::tool {

void Emit(const std::string& path, const std::string& text) {
  if (path.empty()) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    return;
  }
  std::string error;
  if (!WriteFileAtomically(path, text, &error)) Stop(kExitCannotWrite, error);
}

void RequireWritable(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::is_directory(path, ec)) Stop(kExitCannotWrite, "cannot write " + path + ": it is a directory");
  const fs::path folder = fs::absolute(path, ec).parent_path();
  if (!fs::is_directory(folder, ec)) Stop(kExitCannotWrite, "cannot write " + path + ": folder " + folder.string() + " does not exist");
  if (::access(folder.c_str(), W_OK | X_OK) != 0)
    Stop(kExitCannotWrite, "cannot write " + path + ": " + std::strerror(errno));
}

Range ParseRange(const std::string& text, const char* what) {
  Range r;
  char* end = nullptr;
  errno = 0;
  r.from = std::strtol(text.c_str(), &end, 10);
  bool ok = end != text.c_str() && errno == 0;
  if (ok && *end == '-') {
    const char* second = end + 1;
    r.to = std::strtol(second, &end, 10);
    ok = end != second && errno == 0;
  } else {
    r.to = r.from;
  }
  if (!ok || *end != '\0' || r.from > r.to || r.from < 0)
    Stop(kExitUsage, std::string("bad ") + what + " range '" + text + "': give N or N-M with 0 <= N <= M");
  return r;
}

}  // namespace tavo::tool
