// The manager's two generator lists (the shipped presets and the user's
// own) and playlist generation from one of their generators.
#ifndef TAVO_TOOLS_TAVOPL_PLAYLISTS_H_
#define TAVO_TOOLS_TAVOPL_PLAYLISTS_H_

#include <optional>
#include <string>
#include <vector>

#include "read_objects.h"
#include "session.h"
#include "track.h"

namespace tavo::tool {

// Both lists, presets first. A list the manager has not loaded is empty.
std::vector<GeneratorSummary> AllGenerators(Session& session);

// The generator named `name`: an exact match first, then one that differs
// only in case; presets before user generators. Stops with kExitNotFound.
Ref<ITavoPLGenerator> FindGenerator(Session& session, const std::string& name);

// Runs `generator` (with `seed` in place of its own when given) and reads
// the result. `selection` names the files a selection-based generator
// starts from ("more by these artists"); such a generator without one stops
// with kExitUsage.
Playlist Generate(Session& session, ITavoPLGenerator* generator, std::optional<long> seed,
                  const std::vector<std::string>& selection = {});

// A database folder seen with another preset file: a temporary folder whose
// "tavoplm" files link to the real ones and whose "samplepresets.xml" is a
// copy of `preset_file`. Removed again by the destructor.
class PresetFolder {
 public:
  PresetFolder(const std::string& db_dir, const std::string& preset_file);
  ~PresetFolder();
  PresetFolder(const PresetFolder&) = delete;
  PresetFolder& operator=(const PresetFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_PLAYLISTS_H_
