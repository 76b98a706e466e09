#include "manager/ingestion/folder_walk.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>
#include <set>
#include <utility>

#include "manager/ingestion/file_reading.h"
#include "manager/ingestion/ingestion_status.h"

namespace tavo {
namespace {

using DirectoryId = std::pair<dev_t, ino_t>;

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

class Walk {
 public:
  Walk(bool recurse, std::vector<std::string>* files) : recurse_(recurse), files_(files) {}

  // False when `folder` cannot be listed.
  bool Visit(const std::string& folder) {
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    if (!visited_.insert({st.st_dev, st.st_ino}).second) return true;
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (dir == nullptr) return false;
    while (const dirent* entry = readdir(dir.get())) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      const std::string path = JoinPath(folder, name);
      if (IsDirectory(entry, path)) {
        if (recurse_) Visit(path);
      } else if (AudioFormatOf(name) != AudioFormat::kNone) {
        files_->push_back(path);
      }
    }
    return true;
  }

 private:
  // The entry's type from the listing where the file system gives it; a
  // symlink or an unknown type is followed with stat.
  static bool IsDirectory(const dirent* entry, const std::string& path) {
    if (entry->d_type == DT_DIR) return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) return false;
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }

  const bool recurse_;
  std::vector<std::string>* const files_;
  std::set<DirectoryId> visited_;
};

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

LibraryStatus ListAudioFiles(const std::string& folder, bool recurse, std::vector<std::string>* files) {
  files->clear();
  Walk walk(recurse, files);
  return walk.Visit(folder) ? kLibraryOk : kIngestionNotAFolder;
}

}  // namespace tavo
