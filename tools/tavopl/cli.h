// The commands of tavopl, each group in its own file, registered on one
// CLI11 application. A command's callback does the work; a failure ends it
// with a ToolError (one line, one exit code), see exit_codes.h.
#ifndef TAVO_TOOLS_TAVOPL_CLI_H_
#define TAVO_TOOLS_TAVOPL_CLI_H_

#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

#include "exit_codes.h"
#include "session.h"

namespace tavo::tool {

// Output formats of playlists and listings.
enum class Format { kTable, kM3u, kXspf, kJson };

struct Cli {
  CLI::App& app;
  GlobalOptions& options;
};

void AddLibraryCommands(Cli cli);      // scan, ls, played, rate
void AddPlaylistCommands(Cli cli);     // presets, generate, correlates
void AddListCommands(Cli cli);         // lists
void AddMaintenanceCommands(Cli cli);  // check, reindex, backup, restore
void AddDemoCommand(Cli cli);          // demo
void AddRegistrationCommands(Cli cli); // register, unregister

// Writes `text` to `path` whole or not at all, or to stdout when `path` is
// empty. Stops with kExitCannotWrite.
void Emit(const std::string& path, const std::string& text);

// Stops with kExitCannotWrite unless a file can be created at `path`
// (its folder exists and is writable): checked before any work is done.
void RequireWritable(const std::string& path);

// Stops with kExitUsage unless `text` is "N" or "N-M" with N <= M.
struct Range {
  long from = 0, to = 0;
};
Range ParseRange(const std::string& text, const char* what);

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_CLI_H_
