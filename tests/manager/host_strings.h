// Strings as a host handles them: automation strings that free themselves,
// [out] strings taken and freed, files read whole.
#ifndef TAVO_TESTS_MANAGER_HOST_STRINGS_H_
#define TAVO_TESTS_MANAGER_HOST_STRINGS_H_

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

}  // namespace tavo::testing

#endif  // TAVO_TESTS_MANAGER_HOST_STRINGS_H_
