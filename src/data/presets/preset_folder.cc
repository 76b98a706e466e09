#include "data/presets/preset_folder.h"

#include <new>
#include <vector>

#include "data/descriptors/folder_path.h"
#include "data/presets/preset_file.h"
#include "data/xml/xml_file.h"

namespace tavo {
namespace {

constexpr int kMaxSetAsideNames = 1000;

bool Exists(Env* env, const std::string& path) {
  FileInfo info;
  return env->Stat(path, &info) == 0 && info.exists;
}

// The plain file and its companion: the places a document may live.
std::vector<std::string> DocumentFiles(const std::string& path) {
  std::vector<std::string> files{path};
  std::string companion;
  if (XmlFile_CompanionPath(path, &companion)) files.push_back(companion);
  return files;
}

}  // namespace

PresetFolder::PresetFolder(std::string_view folder, Env* env)
    : env_(env != nullptr ? env : Env::Default()),
      sample_path_(JoinFolderPath(folder, kSamplePresetsFile)),
      user_path_(JoinFolderPath(folder, kUserPresetsFile)) {}

LoadedPresets PresetFolder::Load(const DescriptorList* genres, const IdMapping* genre_mapping) noexcept {
  LoadedPresets loaded;
  loaded.sample_status = PresetFile_Load(sample_path_.c_str(), genres, genre_mapping, &loaded.sample, nullptr, env_);
  const int user_status = PresetFile_Load(user_path_.c_str(), genres, genre_mapping, &loaded.user, nullptr, env_);
  if (user_status != 0) {
    try {
      for (const std::string& file : DocumentFiles(user_path_)) loaded.user_unreadable |= Exists(env_, file);
    } catch (const std::bad_alloc&) {
      loaded.user_unreadable = true;  // when in doubt, keep the file
    }
  }
  std::lock_guard<std::mutex> lock(mutex_);
  user_file_unreadable_ = loaded.user_unreadable;
  return loaded;
}

int PresetFolder::SaveUser(const GeneratorChain& chain, const DescriptorList* genres) noexcept {
  std::lock_guard<std::mutex> lock(mutex_);
  if (user_file_unreadable_) {
    if (SetUnreadableUserFilesAside() != 0) return kPresetCannotSetAside;
    user_file_unreadable_ = false;
  }
  return PresetFile_Save(&chain, user_path_.c_str(), genres, env_);
}

int PresetFolder::SetUnreadableUserFilesAside() {
  try {
    for (const std::string& file : DocumentFiles(user_path_)) {
      if (!Exists(env_, file)) continue;
      std::string aside = file + ".unreadable";
      for (int n = 2; Exists(env_, aside); ++n) {
        if (n > kMaxSetAsideNames) return kPresetCannotSetAside;
        aside = file + ".unreadable." + std::to_string(n);
      }
      if (env_->Rename(file, aside) != 0) return kPresetCannotSetAside;
    }
    return 0;
  } catch (const std::bad_alloc&) {
    return kPresetCannotSetAside;
  }
}

}  // namespace tavo
