// A fresh directory below $TAVO_TEST_TMPDIR (or /tmp), removed with its
// contents when the object goes away.
#ifndef TAVO_TESTS_CONTROL_SCRATCH_DIR_H_
#define TAVO_TESTS_CONTROL_SCRATCH_DIR_H_

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace tavo {

class ScratchDir {
 public:
  ScratchDir() {
    const char* base = std::getenv("TAVO_TEST_TMPDIR");
    std::filesystem::path root = base && *base ? base : "/tmp";
    std::filesystem::create_directories(root);
    std::string pattern = (root / "control-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~ScratchDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(File(name), std::ios::binary) << bytes;
    return File(name);
  }

 private:
  std::string path_;
};

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace tavo

#endif  // TAVO_TESTS_CONTROL_SCRATCH_DIR_H_
