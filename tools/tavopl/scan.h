// Scanning folders into the library through the manager's AddFolder, with
// its PreAddFile and PostAddFile events as the progress. The tool walks the
// folders first (same rule as the manager: ".mp3", ".wma", ".aac" in any
// case) to know the total, and asks again, with AddFile, about each file
// the scan did not store, to learn why.
#ifndef TAVO_TOOLS_TAVOPL_SCAN_H_
#define TAVO_TOOLS_TAVOPL_SCAN_H_

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "session.h"

namespace tavo::tool {

struct ScanSummary {
  int added = 0;
  // Files left out on purpose, by reason ("already in the library").
  std::map<std::string, std::vector<std::string>> skipped;
  // Files that could not be added, by reason.
  std::map<std::string, std::vector<std::string>> failed;
  int skipped_count() const;
  int failed_count() const;
};

enum class ProgressStyle {
  kBar,    // one redrawn line (a terminal)
  kLines,  // one line per added file (a pipe or a file)
  kNone,
};

// Stops with kExitNotFound, before anything changes, when a folder does not
// exist. The session must be open with `events` as its sink.
ScanSummary ScanFolders(Session& session, const std::vector<std::string>& folders, bool recurse,
                        ProgressStyle style, std::FILE* out);

// The summary: counts, then each reason with its files (at most
// `max_files_per_reason` each, then "... and N more").
void PrintScanSummary(const ScanSummary& summary, std::FILE* out, size_t max_files_per_reason = 10);

// The audio files below `folder`, sorted.
std::vector<std::string> AudioFilesBelow(const std::string& folder, bool recurse);

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_SCAN_H_
