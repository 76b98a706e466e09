// The exit codes of tavopl, one table that --help prints and the README
// repeats. Scripts rely on them: keep the numbers stable.
#ifndef TAVO_TOOLS_TAVOPL_EXIT_CODES_H_
#define TAVO_TOOLS_TAVOPL_EXIT_CODES_H_

#include <string>

namespace tavo::tool {

enum ExitCode : int {
  kExitOk = 0,
  kExitFailed = 1,           // the component reported a failure
  kExitUsage = 2,            // bad command line
  kExitNoDatabase = 3,       // no database in the folder
  kExitDamagedDatabase = 4,  // the database files are damaged
  kExitNotFound = 5,         // a named preset, file, folder or list does not exist
  kExitCannotWrite = 6,      // an output file or folder cannot be written
  kExitNotAvailable = 7,     // the component does not implement the operation
};

struct ExitCodeInfo {
  ExitCode code;
  const char* meaning;
};

inline constexpr ExitCodeInfo kExitCodes[] = {
    {kExitOk, "success"},
    {kExitFailed, "the component reported a failure"},
    {kExitUsage, "bad command line"},
    {kExitNoDatabase, "no database in the folder (create one with 'tavopl scan')"},
    {kExitDamagedDatabase, "the database files are damaged (see 'tavopl check', 'tavopl restore')"},
    {kExitNotFound, "a named preset, file, folder or list does not exist"},
    {kExitCannotWrite, "an output file or folder cannot be written"},
    {kExitNotAvailable, "the component does not implement this operation (yet)"},
};

// "Exit codes:" and one line per code, for --help.
std::string ExitCodeHelp();

// The one failure a command ends with: main prints "tavopl: <message>" on
// stderr and exits with `code`. Thrown only inside the tool, never across
// a call into the component.
struct ToolError {
  ExitCode code;
  std::string message;
};

[[noreturn]] inline void Stop(ExitCode code, std::string message) { throw ToolError{code, std::move(message)}; }

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_EXIT_CODES_H_
