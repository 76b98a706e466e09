// Writing a whole file or nothing: the content goes to a temporary file in
// the target's folder, is flushed to disk and renamed over the target, so a
// reader (or a crash) sees the old file or the new one, never a part.
#ifndef TAVO_TOOLS_TAVOPL_OUTPUT_ATOMIC_FILE_H_
#define TAVO_TOOLS_TAVOPL_OUTPUT_ATOMIC_FILE_H_

#include <string>
#include <string_view>

namespace tavo::tool {

// False with a one-line reason in *error; then the target is unchanged and
// no temporary file is left behind.
bool WriteFileAtomically(const std::string& path, std::string_view content, std::string* error);

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_OUTPUT_ATOMIC_FILE_H_
