#include "platform/automation/registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/fs/env.h"

namespace tavo {
namespace {

constexpr std::string_view kHeader = "TavoRegistry 1";

struct RootAlias {
  std::string_view short_name, long_name;
};
constexpr RootAlias kRoots[] = {
    {"HKCR", "HKEY_CLASSES_ROOT"},   {"HKCU", "HKEY_CURRENT_USER"},
    {"HKLM", "HKEY_LOCAL_MACHINE"},  {"HKU", "HKEY_USERS"},
    {"HKPD", "HKEY_PERFORMANCE_DATA"}, {"HKDD", "HKEY_DYN_DATA"},
    {"HKCC", "HKEY_CURRENT_CONFIG"},
};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '\\' || c == '"') out.push_back('\\');
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

// Reads a quoted string at line[i]; false when it is not well formed.
bool Unquote(std::string_view line, size_t& i, std::string* out) {
  if (i >= line.size() || line[i] != '"') return false;
  out->clear();
  for (++i; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      ++i;
      return true;
    }
    if (c == '\\') {
      if (++i >= line.size()) return false;
      c = line[i] == 'n' ? '\n' : line[i];
    }
    out->push_back(c);
  }
  return false;
}

// Next name of a backslash-separated path, skipping empty ones; false at the end.
bool NextName(std::string_view& path, std::string_view* name) {
  while (!path.empty()) {
    const size_t cut = path.find('\\');
    *name = path.substr(0, cut);
    path = cut == std::string_view::npos ? std::string_view() : path.substr(cut + 1);
    if (!name->empty()) return true;
  }
  return false;
}

// The lines of `key`: none when it has no values but has subkeys, whose own
// lines create it on reading.
void SerializeLines(const RegistryKey& key, const std::string& path, std::string& out) {
  if (!key.default_value && key.values.empty() && !key.children.empty()) return;
  out += "[" + path + "]\n";
  if (key.default_value) out += "@=" + Quote(*key.default_value) + "\n";
  for (const auto& [name, value] : key.values) out += Quote(name) + "=" + Quote(value) + "\n";
}

}  // namespace

bool CaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const noexcept {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const char x = Lower(a[i]), y = Lower(b[i]);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

bool IsValidRegistryKeyName(std::string_view name) noexcept {
  if (name.empty() || name.size() > kRegistryMaxKeyNameLength) return false;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '\\') return false;
  }
  return true;
}

RegistryKey* RegistryKey::Find(std::string_view path) {
  RegistryKey* key = this;
  std::string_view name;
  while (key != nullptr && NextName(path, &name)) {
    auto it = key->children.find(name);
    key = it == key->children.end() ? nullptr : it->second.get();
  }
  return key;
}

RegistryKey* RegistryKey::Create(std::string_view path) {
  // Checked whole before anything is created.
  size_t levels = 0;
  std::string_view name;
  for (std::string_view rest = path; NextName(rest, &name);) {
    if (!IsValidRegistryKeyName(name) || depth + ++levels > kRegistryMaxDepth) return nullptr;
  }
  RegistryKey* key = this;
  while (NextName(path, &name)) {
    auto it = key->children.find(name);
    if (it == key->children.end()) {
      auto child = std::make_unique<RegistryKey>();
      child->name = std::string(name);
      child->depth = key->depth + 1;
      it = key->children.emplace(child->name, std::move(child)).first;
    }
    key = it->second.get();
  }
  return key;
}

bool RegistryKey::Remove(std::string_view path) {
  const size_t cut = path.rfind('\\');
  RegistryKey* parent = cut == std::string_view::npos ? this : Find(path.substr(0, cut));
  if (parent == nullptr) return false;
  const std::string_view leaf = cut == std::string_view::npos ? path : path.substr(cut + 1);
  auto it = parent->children.find(leaf);
  if (it == parent->children.end()) return false;
  parent->children.erase(it);
  return true;
}

std::string Registry::RootName(std::string_view name) {
  for (const RootAlias& r : kRoots)
    if (EqualsNoCase(name, r.short_name) || EqualsNoCase(name, r.long_name)) return std::string(r.long_name);
  return {};
}

std::string Registry::DefaultPath() {
  if (const char* p = std::getenv("TAVO_REGISTRY"); p && *p) return p;
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) return std::string(x) + "/tavo/registry.reg";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.config/tavo/registry.reg";
}

bool Registry::Parse(std::string_view text) {
  root_ = RegistryKey{};
  RegistryKey* current = nullptr;
  bool first = true;
  while (!text.empty()) {
    const size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (first) {
      first = false;
      if (line != kHeader) return root_ = RegistryKey{}, false;
      continue;
    }
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      if (line.back() != ']' || line.size() < 3) return root_ = RegistryKey{}, false;
      std::string_view path = line.substr(1, line.size() - 2);
      if (RootName(path.substr(0, path.find('\\'))).empty()) return root_ = RegistryKey{}, false;
      current = root_.Create(path);
      if (current == nullptr) return root_ = RegistryKey{}, false;
      continue;
    }
    if (current == nullptr) return root_ = RegistryKey{}, false;
    size_t i = 0;
    std::string name, value;
    const bool is_default = line[0] == '@';
    if (is_default) {
      i = 1;
    } else if (!Unquote(line, i, &name)) {
      return root_ = RegistryKey{}, false;
    }
    if (i >= line.size() || line[i] != '=') return root_ = RegistryKey{}, false;
    ++i;
    if (!Unquote(line, i, &value) || i != line.size()) return root_ = RegistryKey{}, false;
    if (is_default) {
      current->default_value = std::move(value);
    } else {
      current->values[name] = std::move(value);
    }
  }
  return true;
}

std::string Registry::Serialize() const {
  std::string out(kHeader);
  out += "\n";
  // Depth first in name order, without recursion: `open` holds each open
  // key's next child to visit, `path` the open keys' names.
  using Child = std::map<std::string, std::unique_ptr<RegistryKey>, CaseInsensitiveLess>::const_iterator;
  struct Open {
    const RegistryKey* key;
    Child next;
    size_t path_length;  // of the parent's path
  };
  std::vector<Open> open{{&root_, root_.children.begin(), 0}};
  std::string path;
  while (!open.empty()) {
    Open& top = open.back();
    if (top.next == top.key->children.end()) {
      path.resize(top.path_length);
      open.pop_back();
      continue;
    }
    const RegistryKey& child = *(top.next++)->second;
    const size_t parent_length = path.size();
    if (!path.empty()) path += '\\';
    path += child.name;
    SerializeLines(child, path, out);
    open.push_back({&child, child.children.begin(), parent_length});
  }
  return out;
}

RegistryTransaction::RegistryTransaction(std::string path) : path_(std::move(path)) {
  // Create the folder the first time; a registry lives in a per-user place.
  for (size_t slash = path_.find('/', 1); slash != std::string::npos; slash = path_.find('/', slash + 1))
    ::mkdir(path_.substr(0, slash).c_str(), 0755);
  lock_fd_ = ::open((path_ + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (lock_fd_ >= 0) {
    while (::flock(lock_fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  std::string text;
  const int rc = Env::Default()->ReadAll(path_, &text);
  if (rc == ENOENT) return;  // an empty registry
  if (rc != 0 || !registry_.Parse(text)) status_ = REGDB_E_READREGDB;
}

RegistryTransaction::~RegistryTransaction() {
  if (lock_fd_ >= 0) ::close(lock_fd_);  // closing releases the flock
}

HRESULT RegistryTransaction::Commit() {
  if (status_ != S_OK) return status_;
  const std::string text = registry_.Serialize();
  return Env::Default()->WriteAtomically(path_, text.data(), text.size()) == 0 ? S_OK : REGDB_E_WRITEREGDB;
}

namespace {

// Object creation asks the registry once per object it makes (a tag reader
// per ingested file), so queries keep the parsed file and read it again only
// when it was replaced: every change renames a new file into place, which
// gives it a new inode.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  int64_t modified_ns = 0;
  off_t size = -1;
  bool operator==(const FileIdentity&) const = default;
};

bool Identify(const std::string& path, FileIdentity* out) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  *out = {st.st_dev, st.st_ino, int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec, st.st_size};
  return true;
}

struct QueryCache {
  std::mutex mutex;
  std::string path;
  FileIdentity identity;
  std::unique_ptr<Registry> registry;  // null: nothing cached
};

QueryCache& Cache() {
  static auto* cache = new QueryCache;  // never destroyed: usable during exit
  return *cache;
}

std::optional<std::string> Lookup(Registry& registry, std::string_view key_path, std::string_view value_name) {
  const size_t cut = key_path.find('\\');
  const std::string root = Registry::RootName(key_path.substr(0, cut));
  if (root.empty()) return std::nullopt;
  RegistryKey* key = registry.root().Find(root);
  if (key && cut != std::string_view::npos) key = key->Find(key_path.substr(cut + 1));
  if (key == nullptr) return std::nullopt;
  if (value_name.empty()) return key->default_value;
  auto it = key->values.find(value_name);
  if (it == key->values.end()) return std::nullopt;
  return it->second;
}

}  // namespace

std::optional<std::string> RegistryQuery(std::string_view key_path, std::string_view value_name) {
  const std::string path = Registry::DefaultPath();
  QueryCache& cache = Cache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  FileIdentity now;
  if (cache.registry && cache.path == path && Identify(path, &now) && now == cache.identity)
    return Lookup(*cache.registry, key_path, value_name);

  cache.registry.reset();
  RegistryTransaction txn(path);
  if (txn.status() != S_OK) return std::nullopt;
  // Under the transaction's lock the file cannot be replaced, so what is
  // identified now is what was read.
  if (Identify(path, &now)) {
    cache.path = path;
    cache.identity = now;
    cache.registry = std::make_unique<Registry>(std::move(txn.registry()));
    return Lookup(*cache.registry, key_path, value_name);
  }
  return Lookup(txn.registry(), key_path, value_name);
}

}  // namespace tavo
