#include "data/descriptors/folder_path.h"

namespace tavo {

std::string JoinFolderPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '/') path.push_back('/');
  path.append(name);
  return path;
}

}  // namespace tavo
