// What the manager's tests do as a host: automation strings that free
// themselves, [out] strings taken and freed, files read whole, the sample
// presets put into a database folder.
#ifndef TAVO_TESTS_MANAGER_HOST_HELPERS_H_
#define TAVO_TESTS_MANAGER_HOST_HELPERS_H_

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/automation/utf.h"

namespace tavo::testing {

// An automation string that frees itself.
struct Bstr {
  BSTR s;
  explicit Bstr(std::string_view utf8) : s(BstrFromUtf8(utf8)) {}
  ~Bstr() { SysFreeString(s); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
};

// The text of a string [out] value, which is freed.
inline std::string Take(BSTR s) {
  std::string text = s != nullptr ? BstrToUtf8(s) : std::string();
  SysFreeString(s);
  return text;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The shipped sample presets, as the host tool puts them into a database
// folder.
inline void CopySamplePresets(const std::string& dir) {
  std::filesystem::copy_file(std::string(TAVO_SOURCE_DIR) + "/share/samplepresets.xml", dir + "/samplepresets.xml",
                             std::filesystem::copy_options::overwrite_existing);
}

}  // namespace tavo::testing

#endif  // TAVO_TESTS_MANAGER_HOST_HELPERS_H_
