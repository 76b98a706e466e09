// The audio files below a folder, in the order a scan adds them: the
// folder's entries in the order the file system lists them, a subfolder's
// files at the subfolder's place when recursing. Files are those whose
// extension names an audio format (file_reading.h: ".mp3", ".aac", ".wma"
// without regard to case).
//
// A directory already visited on this walk (same device and inode, as a
// symlink back to a parent makes) is not entered again, so loops end.
// Entries that vanish or cannot be examined while listing are left out;
// subfolders that cannot be listed are skipped.
#ifndef TAVO_MANAGER_INGESTION_FOLDER_WALK_H_
#define TAVO_MANAGER_INGESTION_FOLDER_WALK_H_

#include <string>
#include <vector>

#include "storage/library/library_status.h"

namespace tavo {

// The path of `name` in `folder` ("/" between them unless `folder` ends in
// one).
std::string JoinPath(const std::string& folder, const std::string& name);

// Lists the files below `folder` into *files. kIngestionNotAFolder when
// `folder` itself cannot be listed.
LibraryStatus ListAudioFiles(const std::string& folder, bool recurse, std::vector<std::string>* files);

}  // namespace tavo

#endif  // TAVO_MANAGER_INGESTION_FOLDER_WALK_H_
