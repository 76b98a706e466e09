// A ListService for tests: documents and correlates from the test, a log of
// what was asked, and a clock the test sets.
#ifndef TAVO_TESTS_MANAGER_FAKE_LIST_SERVICE_H_
#define TAVO_TESTS_MANAGER_FAKE_LIST_SERVICE_H_

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "manager/library/list_service.h"
#include "manager/library/manager_status.h"
#include "vocabulary/dates.h"

namespace tavo::testing {

class FakeListService : public ListService {
 public:
  // Documents are keyed by list kind, and kVersions for "genres-v1-to-v2".
  static constexpr int kVersions = 6;

  struct Request {
    int which;
    std::string level;
    std::string tag;
  };

  // What the service answers for a document: the text, or a status.
  void Serve(DescriptorKind kind, std::string text) { Answer(static_cast<int>(kind), std::move(text), kLibraryOk); }
  void ServeVersions(std::string text) { Answer(kVersions, std::move(text), kLibraryOk); }
  void Refuse(DescriptorKind kind, LibraryStatus status) { Answer(static_cast<int>(kind), "", status); }
  void ServeCorrelates(int level, CorrelatesLevel data) {
    std::lock_guard<std::mutex> lock(mutex_);
    correlates_[level] = {std::move(data), kLibraryOk};
  }
  void RefuseCorrelates(int level, LibraryStatus status) {
    std::lock_guard<std::mutex> lock(mutex_);
    correlates_[level] = {{}, status};
  }

  std::vector<Request> requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }
  std::vector<int> correlate_requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return correlate_requests_;
  }
  size_t RequestsFor(int which) const {
    size_t n = 0;
    for (const Request& r : requests()) n += r.which == which;
    return n;
  }
  size_t RequestsFor(DescriptorKind kind) const { return RequestsFor(static_cast<int>(kind)); }
  void ClearLog() {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.clear();
    correlate_requests_.clear();
  }

  LibraryStatus FetchList(DescriptorKind kind, std::string_view level, std::string_view tag,
                          std::string* document) override {
    return Fetch(static_cast<int>(kind), level, tag, document);
  }
  LibraryStatus FetchGenreVersions(std::string_view level, std::string_view tag, std::string* document) override {
    return Fetch(kVersions, level, tag, document);
  }

  LibraryStatus FetchCorrelates(int level, std::string_view, std::string_view, CorrelatesLevel* out) override {
    std::lock_guard<std::mutex> lock(mutex_);
    correlate_requests_.push_back(level);
    const auto it = correlates_.find(level);
    if (it == correlates_.end()) return kManagerServiceFailed;
    if (it->second.status != kLibraryOk) return it->second.status;
    *out = it->second.data;
    return kLibraryOk;
  }

 private:
  struct Document {
    std::string text;
    LibraryStatus status;
  };

  void Answer(int which, std::string text, LibraryStatus status) {
    std::lock_guard<std::mutex> lock(mutex_);
    documents_[which] = {std::move(text), status};
  }

  LibraryStatus Fetch(int which, std::string_view level, std::string_view tag, std::string* document) {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back({which, std::string(level), std::string(tag)});
    const auto it = documents_.find(which);
    if (it == documents_.end()) return kManagerServiceFailed;
    if (it->second.status != kLibraryOk) return it->second.status;
    *document = it->second.text;
    return kLibraryOk;
  }

  struct CorrelatesAnswer {
    CorrelatesLevel data;
    LibraryStatus status;
  };
  mutable std::mutex mutex_;
  std::map<int, Document> documents_;
  std::map<int, CorrelatesAnswer> correlates_;
  std::vector<Request> requests_;
  std::vector<int> correlate_requests_;
};

// A process-wide clock for the library, set by the test.
inline DateTime g_test_now{2024, 6, 1, 12, 0};
inline DateTime TestNow() { return g_test_now; }

// A list document holding `items` (made with Item), with a revision when a
// level or tag is given.
inline std::string ListDocument(const std::string& name, const std::string& level, const std::string& tag,
                                const std::string& items) {
  std::string text = "<LIST NAME=\"" + name + "\">";
  if (!level.empty() || !tag.empty()) {
    text += "<REVISION><LEVEL>" + level + "</LEVEL><TAG>" + tag + "</TAG></REVISION>";
  }
  return text + items + "</LIST>";
}

inline std::string Item(int id, const std::string& display, const std::vector<int>& children = {},
                        const std::string& extra = "") {
  std::string text = "<ITEM ID=\"" + std::to_string(id) + "\"><DISPLAY>" + display + "</DISPLAY>";
  for (int child : children) text += "<CHILD_ID>" + std::to_string(child) + "</CHILD_ID>";
  return text + extra + "</ITEM>";
}

}  // namespace tavo::testing

#endif  // TAVO_TESTS_MANAGER_FAKE_LIST_SERVICE_H_
