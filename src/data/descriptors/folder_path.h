// Paths of files in the database folder. The folder is used as the host gave
// it, with or without a trailing "/"; a file name is always joined with
// exactly the separator it needs, so "samplepresets.xml" lands inside the
// folder, never beside it.
#ifndef TAVO_DATA_DESCRIPTORS_FOLDER_PATH_H_
#define TAVO_DATA_DESCRIPTORS_FOLDER_PATH_H_

#include <string>
#include <string_view>

namespace tavo {

// "db" + "a.xml" and "db/" + "a.xml" both give "db/a.xml"; an empty folder
// gives the name alone. Throws std::bad_alloc.
std::string JoinFolderPath(std::string_view folder, std::string_view name);

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_FOLDER_PATH_H_
