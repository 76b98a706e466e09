// The two preset files of a database folder: "samplepresets.xml", the
// sample generators the component only reads, and "userplaylists.xml", the
// user's own, which it reads and writes. The manager keeps one PresetFolder
// per initialized database.
//
// A user file that exists but cannot be read (damaged, not a preset
// document, not readable) loads as an empty list; the first save after that
// moves it aside ("userplaylists.bml" to "userplaylists.bml.unreadable", or
// ".unreadable.2" and so on when that name is taken) before writing, so a
// save never replaces the user's generators with an empty list. When it
// cannot be moved, the save fails and the file stays.
//
// Thread safety: all members may be called from several threads at once.
#ifndef TAVO_DATA_PRESETS_PRESET_FOLDER_H_
#define TAVO_DATA_PRESETS_PRESET_FOLDER_H_

#include <mutex>
#include <string>
#include <string_view>

#include "data/descriptors/descriptor_list.h"
#include "data/descriptors/id_mapping.h"
#include "generation/records/generator_chain.h"
#include "platform/fs/env.h"

namespace tavo {

inline constexpr std::string_view kSamplePresetsFile = "samplepresets.xml";
inline constexpr std::string_view kUserPresetsFile = "userplaylists.xml";

struct LoadedPresets {
  int sample_status = 0;  // 0 when the sample file loaded; then `sample` holds it
  GeneratorChain sample;
  GeneratorChain user;    // the user's generators; empty when the file is missing or unreadable
  bool user_unreadable = false;
};

class PresetFolder {
 public:
  // `folder` as the host gave it, with or without a trailing "/". Throws
  // std::bad_alloc. `env` null means Env::Default().
  explicit PresetFolder(std::string_view folder, Env* env = nullptr);

  const std::string& sample_path() const { return sample_path_; }
  const std::string& user_path() const { return user_path_; }

  // Loads both files with the genre display list and its child-id mapping
  // (either may be null). Remembers whether the user file was unreadable.
  LoadedPresets Load(const DescriptorList* genres, const IdMapping* genre_mapping) noexcept;

  // Writes `chain` as the user file, after moving an unreadable one aside.
  // PresetFile_Save's statuses, or kPresetCannotSetAside.
  int SaveUser(const GeneratorChain& chain, const DescriptorList* genres) noexcept;

 private:
  int SetUnreadableUserFilesAside();

  Env* env_;
  std::string sample_path_;
  std::string user_path_;
  std::mutex mutex_;
  bool user_file_unreadable_ = false;  // guarded by mutex_
};

}  // namespace tavo

#endif  // TAVO_DATA_PRESETS_PRESET_FOLDER_H_
