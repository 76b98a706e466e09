// Running the tavopl program as a user does, in a scratch folder of its own
// with its own registry file, and collecting exit code, stdout and stderr.
#ifndef TAVO_TESTS_TOOLS_RUN_TOOL_H_
#define TAVO_TESTS_TOOLS_RUN_TOOL_H_

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tavo::testing {

struct ToolRun {
  int exit_code = -1;
  std::string out, err;
};

class ToolSandbox {
 public:
  explicit ToolSandbox(const std::string& name) {
    const char* base = std::getenv("TAVO_TEST_TMPDIR");
    dir_ = std::filesystem::path(base ? base : "/tmp") / (name + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~ToolSandbox() { std::filesystem::remove_all(dir_); }

  std::string Path(const std::string& relative) const { return (dir_ / relative).string(); }

  // Runs tavopl with `args` (each quoted for the shell) in the sandbox.
  ToolRun Run(const std::vector<std::string>& args) const {
    std::string command = "cd " + Quote(dir_.string()) + " && TAVO_REGISTRY=" + Quote(Path("registry.reg")) +
                          " XDG_DATA_HOME=" + Quote(Path("xdg")) + " " + Quote(TAVOPL_FILE);
    for (const std::string& a : args) command += " " + Quote(a);
    command += " >" + Quote(Path("out.txt")) + " 2>" + Quote(Path("err.txt"));
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = Read(Path("out.txt"));
    run.err = Read(Path("err.txt"));
    return run;
  }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

 private:
  static std::string Quote(const std::string& text) {
    std::string q = "'";
    for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  }

  std::filesystem::path dir_;
};

}  // namespace tavo::testing

#endif  // TAVO_TESTS_TOOLS_RUN_TOOL_H_
