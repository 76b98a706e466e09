// The registry: a file-backed tree of keys, each with an optional default
// value and named string values. Key and value names compare without regard
// to ASCII case and keep the case they were created with.
//
// The file is chosen by TAVO_REGISTRY, else $XDG_CONFIG_HOME/tavo/registry.reg,
// else $HOME/.config/tavo/registry.reg. It is a text file in the familiar
// .reg shape:
//
//   TavoRegistry 1
//   [HKEY_CLASSES_ROOT\CLSID\{...}]
//   @="Default value"
//   "Named"="value"
//
// with \\, \" and line feeds (\n) escaped inside values. A missing file is an
// empty registry. A key without values that has subkeys is implied by their
// lines and gets none of its own, so the file is never larger than a few
// times what was read or registered.
//
// Bounds: a key lies at most kRegistryMaxDepth levels deep (the root key,
// HKEY_CLASSES_ROOT and the like, is level 1) and a key name is 1 to
// kRegistryMaxKeyNameLength bytes without control characters (a line feed
// would split its line) or backslashes (which separate names in a path).
// Real registrations stay within six levels and short names; the bounds keep
// a hostile file or script from costing more than a bounded amount per line.
// Every change is one transaction: the file is locked (flock on a ".lock"
// file beside it), read, changed in memory and written back through a
// temporary file and a rename, so a crash never leaves half a registry.
#ifndef TAVO_PLATFORM_AUTOMATION_REGISTRY_H_
#define TAVO_PLATFORM_AUTOMATION_REGISTRY_H_

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/automation/runtime_api.h"
#include "tavo/automation.h"

namespace tavo {

inline constexpr size_t kRegistryMaxDepth = 64;
inline constexpr size_t kRegistryMaxKeyNameLength = 255;

// A name a key may carry (see Bounds above).
TAVO_RUNTIME_API bool IsValidRegistryKeyName(std::string_view name) noexcept;

struct TAVO_RUNTIME_API CaseInsensitiveLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept;
};

struct TAVO_RUNTIME_API RegistryKey {
  std::string name;  // as first created
  std::optional<std::string> default_value;
  std::map<std::string, std::string, CaseInsensitiveLess> values;
  std::map<std::string, std::unique_ptr<RegistryKey>, CaseInsensitiveLess> children;
  size_t depth = 0;  // levels below the tree's top (a root key is 1)

  RegistryKey* Find(std::string_view path);  // backslash-separated; nullptr if absent
  // The key at `path` below this one, created with any missing keys on the
  // way (empty names between backslashes are skipped). nullptr, with nothing
  // created, when a name is not valid or the key would lie deeper than
  // kRegistryMaxDepth.
  RegistryKey* Create(std::string_view path);
  bool Remove(std::string_view path);        // the whole subtree
};

class TAVO_RUNTIME_API Registry {
 public:
  // Long form of a root key name ("HKCR" -> "HKEY_CLASSES_ROOT"); empty when
  // the name is no root key.
  static std::string RootName(std::string_view name);
  static std::string DefaultPath();

  // Parses file text. False (and an empty tree) when the text is malformed or
  // breaks a bound.
  bool Parse(std::string_view text);
  std::string Serialize() const;

  // Top-level keys are the long root names.
  RegistryKey& root() { return root_; }
  const RegistryKey& root() const { return root_; }

 private:
  RegistryKey root_;
};

// A locked read-modify-write of the registry file. Commit() writes the tree
// back; destroying an uncommitted transaction changes nothing.
class TAVO_RUNTIME_API RegistryTransaction {
 public:
  explicit RegistryTransaction(std::string path = Registry::DefaultPath());
  ~RegistryTransaction();
  RegistryTransaction(const RegistryTransaction&) = delete;
  RegistryTransaction& operator=(const RegistryTransaction&) = delete;

  // S_OK, or REGDB_E_READREGDB when the file cannot be read or is malformed.
  HRESULT status() const { return status_; }
  Registry& registry() { return registry_; }
  HRESULT Commit();  // REGDB_E_WRITEREGDB on failure

 private:
  std::string path_;
  int lock_fd_ = -1;
  HRESULT status_ = S_OK;
  Registry registry_;
};

// Reads one value; nullopt when the key or value is absent. `value_name`
// empty means the default value.
TAVO_RUNTIME_API std::optional<std::string> RegistryQuery(std::string_view key_path,
                                                          std::string_view value_name = {});

// Runs a registration script against the registry in one transaction.
// `replacements` maps variable names (without the %) to their text, which
// is inserted as it stands. Nothing is written when the script is malformed
// or names a key the registry cannot hold (DISP_E_EXCEPTION), or when the
// registry cannot be read or written.
TAVO_RUNTIME_API HRESULT RunRegistrationScript(std::string_view script,
                                               const std::map<std::string, std::string>& replacements,
                                               bool do_register,
                                               const std::string& registry_path = Registry::DefaultPath());

}  // namespace tavo

#endif  // TAVO_PLATFORM_AUTOMATION_REGISTRY_H_
