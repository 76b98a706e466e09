// The registration-script language.
//
//   script  := root*
//   root    := ROOTKEY '{' item* '}'            HKCR, HKEY_CLASSES_ROOT, ...
//   item    := flag* name [ '=' 's' text ] [ '{' item* '}' ]
//            | 'val' name '=' 's' text
//   flag    := 'NoRemove' | 'ForceRemove' | 'Delete'
//   name    := word | text                      text is '...' with '' for '
//
// %NAME% anywhere in the script is replaced before parsing; a replacement
// that may hold a quote must already have it doubled.
//
// Registering creates keys and sets values; ForceRemove first deletes the
// key's old subtree; Delete deletes the key and creates nothing. Unregistering
// walks the same tree: ForceRemove keys go whole; other keys lose the values
// the script names, then go if no subkeys are left, unless marked NoRemove.
// The whole script is parsed, and applied in memory, before anything is
// written; a key the registry cannot hold (registry.h, Bounds) fails it whole.
#include <cctype>
#include <vector>

#include "platform/automation/registry.h"

namespace tavo {
namespace {

struct Item {
  bool is_value = false;  // a `val` line
  bool no_remove = false, force_remove = false, delete_key = false;
  std::string name;
  std::optional<std::string> text;
  std::vector<Item> children;
};

struct Root {
  std::string name;  // long form
  std::vector<Item> items;
};

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  bool ParseScript(std::vector<Root>* roots) {
    for (;;) {
      std::string token;
      bool quoted;
      if (!Next(&token, &quoted)) return at_end_;
      Root root;
      root.name = Registry::RootName(token);
      if (quoted || root.name.empty() || !Expect("{") || !ParseItems(&root.items, 0)) return false;
      roots->push_back(std::move(root));
    }
  }

 private:
  // Reads items up to and including the closing brace. Nesting stops at the
  // registry's own depth bound, which also bounds this recursion.
  bool ParseItems(std::vector<Item>* items, size_t depth) {
    if (depth >= kRegistryMaxDepth) return false;
    for (;;) {
      std::string token;
      bool quoted;
      if (!Next(&token, &quoted)) return false;
      if (!quoted && token == "}") return true;
      Item item;
      if (!quoted && Is(token, "val")) {
        item.is_value = true;
        if (!Next(&item.name, &quoted) || !Expect("=") || !ParseTyped(&item.text)) return false;
        items->push_back(std::move(item));
        continue;
      }
      while (!quoted) {
        if (Is(token, "NoRemove")) item.no_remove = true;
        else if (Is(token, "ForceRemove")) item.force_remove = true;
        else if (Is(token, "Delete")) item.delete_key = true;
        else break;
        if (!Next(&token, &quoted)) return false;
      }
      if (!quoted && (token == "{" || token == "}" || token == "=")) return false;
      item.name = std::move(token);
      if (Peek("=")) {
        Next(&token, &quoted);
        std::optional<std::string> text;
        if (!ParseTyped(&text)) return false;
        item.text = std::move(text);
      }
      if (Peek("{")) {
        Next(&token, &quoted);
        if (!ParseItems(&item.children, depth + 1)) return false;
      }
      items->push_back(std::move(item));
    }
  }

  // "s 'text'": the only value type the scripts use.
  bool ParseTyped(std::optional<std::string>* text) {
    std::string type, value;
    bool quoted;
    if (!Next(&type, &quoted) || quoted || !Is(type, "s")) return false;
    if (!Next(&value, &quoted)) return false;
    *text = std::move(value);
    return true;
  }

  static bool Is(const std::string& token, std::string_view word) {
    if (token.size() != word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(token[i])) != std::tolower(static_cast<unsigned char>(word[i])))
        return false;
    return true;
  }

  void SkipSpace() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }

  bool Peek(std::string_view punct) {
    SkipSpace();
    return text_.substr(pos_, punct.size()) == punct;
  }

  bool Expect(std::string_view punct) {
    std::string token;
    bool quoted;
    return Next(&token, &quoted) && !quoted && token == punct;
  }

  bool Next(std::string* token, bool* quoted) {
    SkipSpace();
    token->clear();
    *quoted = false;
    if (pos_ >= text_.size()) {
      at_end_ = true;
      return false;
    }
    const char c = text_[pos_];
    // A key named by a class identifier, "{...}", is one word.
    if (c == '{' && pos_ + 1 < text_.size() && !std::isspace(static_cast<unsigned char>(text_[pos_ + 1]))) {
      const size_t close = text_.find('}', pos_);
      if (close == std::string_view::npos) return false;
      token->assign(text_.substr(pos_, close - pos_ + 1));
      pos_ = close + 1;
      return true;
    }
    if (c == '{' || c == '}' || c == '=') {
      token->push_back(c);
      ++pos_;
      return true;
    }
    if (c == '\'') {
      *quoted = true;
      for (++pos_; pos_ < text_.size(); ++pos_) {
        if (text_[pos_] == '\'') {
          if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
            token->push_back('\'');
            ++pos_;
            continue;
          }
          ++pos_;
          return true;
        }
        token->push_back(text_[pos_]);
      }
      return false;  // unterminated
    }
    while (pos_ < text_.size()) {
      const char d = text_[pos_];
      if (std::isspace(static_cast<unsigned char>(d)) || d == '{' || d == '}' || d == '=' || d == '\'') break;
      token->push_back(d);
      ++pos_;
    }
    return true;
  }

  std::string_view text_;
  size_t pos_ = 0;
  bool at_end_ = false;
};

// False when a key cannot be held (its name or depth, see registry.h); the
// caller then drops the whole transaction.
bool Register(RegistryKey& parent, const std::vector<Item>& items) {
  for (const Item& item : items) {
    if (item.is_value) {
      parent.values[item.name] = item.text.value_or("");
      continue;
    }
    if (item.delete_key) {
      parent.Remove(item.name);
      continue;
    }
    if (item.force_remove) parent.Remove(item.name);
    RegistryKey* key = parent.Create(item.name);
    if (key == nullptr) return false;
    if (item.text) key->default_value = item.text;
    if (!Register(*key, item.children)) return false;
  }
  return true;
}

void Unregister(RegistryKey& parent, const std::vector<Item>& items) {
  for (const Item& item : items) {
    if (item.is_value) {
      parent.values.erase(item.name);
      continue;
    }
    if (item.delete_key) continue;
    RegistryKey* key = parent.Find(item.name);
    if (key == nullptr) continue;
    if (item.force_remove) {
      parent.Remove(item.name);
      continue;
    }
    Unregister(*key, item.children);
    if (!item.no_remove && key->children.empty()) parent.Remove(item.name);
  }
}

std::string Substitute(std::string_view script, const std::map<std::string, std::string>& replacements,
                       bool* ok) {
  std::string out;
  *ok = true;
  for (size_t i = 0; i < script.size(); ++i) {
    if (script[i] != '%') {
      out.push_back(script[i]);
      continue;
    }
    const size_t end = script.find('%', i + 1);
    if (end == std::string_view::npos) return *ok = false, out;
    const std::string name(script.substr(i + 1, end - i - 1));
    if (name.empty()) {
      out.push_back('%');  // %% is a literal percent sign
    } else {
      auto it = replacements.find(name);
      if (it == replacements.end()) return *ok = false, out;
      out += it->second;
    }
    i = end;
  }
  return out;
}

}  // namespace

HRESULT RunRegistrationScript(std::string_view script, const std::map<std::string, std::string>& replacements,
                              bool do_register, const std::string& registry_path) {
  bool ok;
  const std::string text = Substitute(script, replacements, &ok);
  std::vector<Root> roots;
  if (!ok || !Parser(text).ParseScript(&roots)) return DISP_E_EXCEPTION;
  RegistryTransaction txn(registry_path);
  if (txn.status() != S_OK) return txn.status();
  for (const Root& root : roots) {
    RegistryKey* key = txn.registry().root().Create(root.name);
    if (do_register) {
      if (!Register(*key, root.items)) return DISP_E_EXCEPTION;  // nothing is committed
    } else {
      Unregister(*key, root.items);
    }
  }
  return txn.Commit();
}

}  // namespace tavo
