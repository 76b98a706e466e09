// Sources and events for ingestion's tests: tags and recordings by the
// test's tables, events logged and answered by the test, audio files of
// real silence on disk.
#ifndef TAVO_TESTS_MANAGER_INGESTION_FAKES_H_
#define TAVO_TESTS_MANAGER_INGESTION_FAKES_H_

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "manager/ingestion/tag_source.h"
#include "manager/library/library_events.h"
#include "manager/library/manager_status.h"
#include "silent_mp3.h"

namespace tavo::testing {

// Tags by file name (the text after the last "/"); a file without an entry
// has an empty tag. Every read is remembered.
class FakeTags : public TagSource {
 public:
  void Set(const std::string& file_name, FileTag tag) {
    std::lock_guard<std::mutex> lock(mutex_);
    tags_[file_name] = std::move(tag);
  }
  LibraryStatus Read(const std::string& path, AudioFormat, FileTag* tag) override {
    std::lock_guard<std::mutex> lock(mutex_);
    read_.insert(path);
    const auto it = tags_.find(path.substr(path.rfind('/') + 1));
    *tag = it != tags_.end() ? it->second : FileTag{};
    return kLibraryOk;
  }
  std::set<std::string> read() {
    std::lock_guard<std::mutex> lock(mutex_);
    return read_;
  }

 private:
  std::mutex mutex_;
  std::map<std::string, FileTag> tags_;
  std::set<std::string> read_;
};

// Recordings by tag identifier; counts its requests.
class FakeRecordings : public RecordingService {
 public:
  std::map<std::string, RecordingData> recordings;
  int lookups = 0;
  int popularity_requests = 0;

  LibraryStatus Lookup(const std::string& tag_id, RecordingData* data) override {
    ++lookups;
    const auto it = recordings.find(tag_id);
    if (it == recordings.end()) return kManagerServiceFailed;
    *data = it->second;
    return kLibraryOk;
  }
  LibraryStatus Popularity(const std::string& tag_id, int32_t, int32_t* album, int32_t* global) override {
    ++popularity_requests;
    if (recordings.count(tag_id) == 0) return kManagerServiceFailed;
    *album = 40;
    *global = 60;
    return kLibraryOk;
  }
};

// Logs "pre:<name>;", "post:<name>;", "preupdate:<name>;" and
// "postupdate:<name>;" (the file name only) and answers pre-events with
// `answer`.
class LoggingEvents : public LibraryEvents {
 public:
  std::function<HostDecision(const std::string& file_name)> answer;
  std::string log;

  void PreAddFile(std::string_view path, int32_t* add_ok, int32_t* go_on) override {
    Pre("pre", path, add_ok, go_on);
  }
  void PostAddFile(std::string_view path) override { log += "post:" + Name(path) + ";"; }
  void PreUpdateFile(std::string_view path, int32_t* add_ok, int32_t* go_on) override {
    Pre("preupdate", path, add_ok, go_on);
  }
  void PostUpdateFile(std::string_view path) override { log += "postupdate:" + Name(path) + ";"; }
  void RebuildIndexProgress(int32_t, int32_t, int32_t*) override {}

 private:
  static std::string Name(std::string_view path) { return std::string(path.substr(path.rfind('/') + 1)); }
  void Pre(const char* what, std::string_view path, int32_t* add_ok, int32_t* go_on) {
    log += std::string(what) + ":" + Name(path) + ";";
    if (!answer) return;
    const HostDecision decision = answer(Name(path));
    *add_ok = decision.add ? 1 : 0;
    *go_on = decision.go_on ? 1 : 0;
  }
};

// Writes `bytes` to `path`, making its folders.
inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// Two seconds of silent MP3 (constant bit rate, 32 kbit/s).
inline void WriteMp3(const std::filesystem::path& path) { WriteFile(path, SilentMp3(false, 2000, 1)); }

}  // namespace tavo::testing

#endif  // TAVO_TESTS_MANAGER_INGESTION_FAKES_H_
