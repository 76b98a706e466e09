#include "paths.h"

#include <cstdlib>
#include <filesystem>

namespace tavo::tool {
namespace {

namespace fs = std::filesystem;

fs::path ExecutableDir() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : self.parent_path();
}

// The installed path `relative` (to the executable's folder), or "".
std::string Installed(const char* relative) {
  const fs::path dir = ExecutableDir();
  if (dir.empty()) return {};
  std::error_code ec;
  const fs::path candidate = (dir / relative).lexically_normal();
  return fs::exists(candidate, ec) ? candidate.string() : std::string();
}

}  // namespace

std::string DefaultDatabaseDir() {
  if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) return std::string(x) + "/tavopl";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.local/share/tavopl";
}

std::string SamplePresetsFile() {
  const std::string installed = Installed(TAVO_BIN_TO_DATA "/samplepresets.xml");
  return installed.empty() ? std::string(TAVO_SOURCE_SHARE "/samplepresets.xml") : installed;
}

std::string InstalledCatalogDir() { return Installed(TAVO_BIN_TO_DATA "/catalog"); }

std::string ModuleFile(const std::string& file_name, const std::string& built) {
  const std::string installed = Installed((std::string(TAVO_BIN_TO_LIB) + "/" + file_name).c_str());
  return installed.empty() ? built : installed;
}

}  // namespace tavo::tool
