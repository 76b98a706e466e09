#include "control/xml_reader.h"

#include <cstdint>

namespace tavo::control {
namespace {

constexpr int kMaxDepth = 64;

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
         c == '.' || c == ':' || static_cast<unsigned char>(c) >= 0x80;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

class Parser {
 public:
  explicit Parser(std::string_view text) : s_(text) {}

  std::unique_ptr<XmlElement> Document() {
    if (!SkipMisc()) return nullptr;
    auto root = Element(0);
    if (root == nullptr || !SkipMisc() || pos_ != s_.size()) return nullptr;
    return root;
  }

 private:
  bool StartsWith(std::string_view p) const { return s_.substr(pos_, p.size()) == p; }

  // Whitespace, comments and processing instructions between elements.
  bool SkipMisc() {
    for (;;) {
      while (pos_ < s_.size() && IsSpace(s_[pos_])) ++pos_;
      if (StartsWith("<?")) {
        if (!SkipPast("?>")) return false;
      } else if (StartsWith("<!--")) {
        if (!SkipPast("-->")) return false;
      } else {
        return true;
      }
    }
  }

  bool SkipPast(std::string_view end) {
    const size_t at = s_.find(end, pos_);
    if (at == std::string_view::npos) return false;
    pos_ = at + end.size();
    return true;
  }

  bool Name(std::string* out) {
    const size_t start = pos_;
    while (pos_ < s_.size() && IsNameChar(s_[pos_])) ++pos_;
    *out = std::string(s_.substr(start, pos_ - start));
    return !out->empty();
  }

  // Decodes text up to `stop` (exclusive) into out.
  bool Decode(std::string_view raw, std::string* out) {
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] != '&') {
        *out += raw[i];
        continue;
      }
      const size_t semi = raw.find(';', i);
      if (semi == std::string_view::npos) return false;
      const std::string_view entity = raw.substr(i + 1, semi - i - 1);
      static constexpr std::pair<std::string_view, char> kEntities[] = {
          {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
      bool known = false;
      for (const auto& [name, c] : kEntities) {
        if (entity == name) *out += c, known = true;
      }
      if (!known) {
        if (entity.size() < 2 || entity[0] != '#') return false;
        const bool hex = entity[1] == 'x';
        uint32_t cp = 0;
        const std::string_view digits = entity.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 8) return false;
        for (char c : digits) {
          int d = c >= '0' && c <= '9' ? c - '0' : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
          if (d < 0) return false;
          cp = cp * (hex ? 16 : 10) + static_cast<uint32_t>(d);
        }
        if (cp == 0 || cp > 0x10FFFF) return false;
        AppendUtf8(*out, cp);
      }
      i = semi;
    }
    return true;
  }

  std::unique_ptr<XmlElement> Element(int depth) {
    if (depth >= kMaxDepth || !StartsWith("<")) return nullptr;
    ++pos_;
    auto e = std::make_unique<XmlElement>();
    if (!Name(&e->name)) return nullptr;
    for (;;) {
      const size_t before = pos_;
      while (pos_ < s_.size() && IsSpace(s_[pos_])) ++pos_;
      if (StartsWith("/>")) {
        pos_ += 2;
        return e;
      }
      if (StartsWith(">")) {
        ++pos_;
        break;
      }
      std::string name, value;
      if (pos_ == before || !Name(&name) || !StartsWith("=")) return nullptr;
      ++pos_;
      if (pos_ >= s_.size() || (s_[pos_] != '"' && s_[pos_] != '\'')) return nullptr;
      const char quote = s_[pos_++];
      const size_t end = s_.find(quote, pos_);
      if (end == std::string_view::npos || !Decode(s_.substr(pos_, end - pos_), &value)) return nullptr;
      pos_ = end + 1;
      e->attributes.emplace_back(std::move(name), std::move(value));
    }
    // Content: text, children, comments, up to the matching end tag.
    for (;;) {
      const size_t lt = s_.find('<', pos_);
      if (lt == std::string_view::npos || !Decode(s_.substr(pos_, lt - pos_), &e->text)) return nullptr;
      pos_ = lt;
      if (StartsWith("</")) {
        pos_ += 2;
        std::string name;
        if (!Name(&name) || name != e->name) return nullptr;
        while (pos_ < s_.size() && IsSpace(s_[pos_])) ++pos_;
        if (!StartsWith(">")) return nullptr;
        ++pos_;
        return e;
      }
      if (StartsWith("<!--") || StartsWith("<?")) {
        if (!SkipPast(StartsWith("<?") ? "?>" : "-->")) return nullptr;
        continue;
      }
      auto child = Element(depth + 1);
      if (child == nullptr) return nullptr;
      e->children.push_back(std::move(child));
    }
  }

  std::string_view s_;
  size_t pos_ = 0;
};

}  // namespace

const XmlElement* XmlElement::Child(std::string_view child_name) const {
  for (const auto& c : children) {
    if (c->name == child_name) return c.get();
  }
  return nullptr;
}

std::string_view XmlElement::Attribute(std::string_view attribute_name) const {
  for (const auto& [name, value] : attributes) {
    if (name == attribute_name) return value;
  }
  return {};
}

std::unique_ptr<XmlElement> ParseXml(std::string_view text) { return Parser(text).Document(); }

}  // namespace tavo::control
