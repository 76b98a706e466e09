// Names for files written beside a target and renamed over it when
// complete. Each name is used once: two writers (threads, or processes
// working on the same folder) never write into each other's temporary
// file, and a temporary left by a crash is never taken for a new one.
#ifndef TAVO_STORAGE_LIBRARY_TEMPORARY_PATH_H_
#define TAVO_STORAGE_LIBRARY_TEMPORARY_PATH_H_

#include <string>

namespace tavo {

// "<target>.<purpose>.<process id>.<sequence in the process>".
std::string TemporaryPathBeside(const std::string& target, const char* purpose);

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_TEMPORARY_PATH_H_
