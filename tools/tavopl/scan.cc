#include "scan.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "scan_events.h"
#include "status.h"

namespace tavo::tool {
namespace {

namespace fs = std::filesystem;

constexpr const char* kAudioExtensions[] = {".mp3", ".wma", ".aac"};

bool IsAudio(const fs::path& p) {
  std::string ext = p.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return std::any_of(std::begin(kAudioExtensions), std::end(kAudioExtensions),
                     [&](const char* e) { return ext == e; });
}

std::string Normal(const std::string& path) { return fs::path(path).lexically_normal().string(); }

// Why AddFile, asked again after the scan, did not store a file.
struct Outcome {
  bool added;
  bool skipped;
  std::string reason;
};

Outcome AskAgain(ITavoPlaylist2Mgr* manager, const std::string& path, bool offered) {
  Text name(path);
  const HRESULT hr = manager->AddFile(name.get());
  if (hr == S_OK) return {true, false, {}};
  if (hr == 80)
    return {false, true,
            offered ? "the same recording (tag identifier) is already in the library"
                    : "a file of this name is already in the library"};
  if (hr == 1) return {false, true, "skipped"};
  return {false, false, StatusText(hr)};
}

class Progress final : public ScanObserver {
 public:
  Progress(ProgressStyle style, std::FILE* out, size_t total) : style_(style), out_(out), total_(total) {}
  ~Progress() override { Finish(); }

  void Offered(const std::string& path) override {
    offered_.insert(Normal(path));
    Draw(path);
  }
  void Stored(const std::string& path) override {
    stored_.insert(Normal(path));
    if (style_ == ProgressStyle::kLines) std::fprintf(out_, "added %s\n", path.c_str());
    Draw(path);
  }
  void Finish() {
    if (style_ == ProgressStyle::kBar && drawn_) std::fprintf(out_, "\n");
    drawn_ = false;
  }
  bool offered(const std::string& path) const { return offered_.count(path) > 0; }
  bool stored(const std::string& path) const { return stored_.count(path) > 0; }

 private:
  void Draw(const std::string& path) {
    if (style_ != ProgressStyle::kBar) return;
    constexpr size_t kWidth = 30;
    const size_t done = std::min(offered_.size(), total_);
    const size_t filled = total_ ? done * kWidth / total_ : kWidth;
    std::string name = fs::path(path).filename().string();
    if (name.size() > 40) name = name.substr(0, 39) + "~";
    std::fprintf(out_, "\r[%s%s] %zu/%zu %-40s", std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, '.').c_str(), done, total_, name.c_str());
    std::fflush(out_);
    drawn_ = true;
  }

  ProgressStyle style_;
  std::FILE* out_;
  size_t total_;
  bool drawn_ = false;
  std::set<std::string> offered_, stored_;
};

int Count(const std::map<std::string, std::vector<std::string>>& by_reason) {
  int n = 0;
  for (const auto& [reason, files] : by_reason) n += static_cast<int>(files.size());
  return n;
}

void PrintReasons(const char* what, const std::map<std::string, std::vector<std::string>>& by_reason,
                  std::FILE* out, size_t max_files) {
  for (const auto& [reason, files] : by_reason) {
    std::fprintf(out, "%s (%zu): %s\n", what, files.size(), reason.c_str());
    for (size_t i = 0; i < files.size() && i < max_files; ++i) std::fprintf(out, "  %s\n", files[i].c_str());
    if (files.size() > max_files) std::fprintf(out, "  ... and %zu more\n", files.size() - max_files);
  }
}

}  // namespace

int ScanSummary::skipped_count() const { return Count(skipped); }
int ScanSummary::failed_count() const { return Count(failed); }

std::vector<std::string> AudioFilesBelow(const std::string& folder, bool recurse) {
  std::vector<std::string> files;
  std::error_code ec;
  const auto options = fs::directory_options::skip_permission_denied;
  auto take = [&](const fs::directory_entry& e) {
    std::error_code file_ec;
    if (e.is_regular_file(file_ec) && IsAudio(e.path())) files.push_back(Normal(e.path().string()));
  };
  if (recurse) {
    for (auto it = fs::recursive_directory_iterator(folder, options, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
      take(*it);
  } else {
    for (auto it = fs::directory_iterator(folder, options, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
      take(*it);
  }
  std::sort(files.begin(), files.end());
  return files;
}

ScanSummary ScanFolders(Session& session, const std::vector<std::string>& given, bool recurse,
                        ProgressStyle style, std::FILE* out) {
  // The library keeps the paths it is given: absolute ones stay valid for
  // playlists written anywhere.
  std::vector<std::string> folders;
  for (const std::string& f : given) {
    std::error_code ec;
    if (!fs::is_directory(f, ec)) Stop(kExitNotFound, "folder " + f + " does not exist");
    std::string absolute = fs::absolute(f, ec).lexically_normal().string();
    if (absolute.size() > 1 && absolute.back() == '/') absolute.pop_back();
    folders.push_back(absolute);
  }
  std::vector<std::string> files;
  for (const std::string& f : folders) {
    std::vector<std::string> below = AudioFilesBelow(f, recurse);
    files.insert(files.end(), below.begin(), below.end());
  }

  Progress progress(style, out, files.size());
  ScanEvents sink(&progress);
  // Disconnected before the sink goes, also when a failure unwinds.
  struct Connection {
    Session& session;
    ~Connection() { session.Disconnect(); }
  } connection{session};
  session.Open(DatabaseNeed::kCreate, &sink);
  for (const std::string& f : folders) {
    Text folder(f);
    const HRESULT hr = session.manager()->AddFolder(folder.get(), recurse ? 1 : 0);
    if (hr == 2) Stop(kExitNotFound, "the component cannot read the folder " + f);
    Check(hr, "scanning " + f);
  }
  progress.Finish();

  ScanSummary summary;
  for (const std::string& path : files) {
    if (progress.stored(path)) {
      ++summary.added;
      continue;
    }
    const Outcome o = AskAgain(session.manager(), path, progress.offered(path));
    if (o.added) ++summary.added;
    else (o.skipped ? summary.skipped : summary.failed)[o.reason].push_back(path);
  }
  return summary;
}

void PrintScanSummary(const ScanSummary& summary, std::FILE* out, size_t max_files_per_reason) {
  std::fprintf(out, "added %d, skipped %d, failed %d\n", summary.added, summary.skipped_count(),
               summary.failed_count());
  PrintReasons("skipped", summary.skipped, out, max_files_per_reason);
  PrintReasons("failed", summary.failed, out, max_files_per_reason);
}

}  // namespace tavo::tool
