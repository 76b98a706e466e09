#include "data/descriptions/string_resources.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "data/descriptions/embedded_string_files.h"
#include "data/descriptions/user_language.h"

namespace tavo {
namespace {

constexpr uint16_t kUsEnglish = 0x0409;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

uint32_t BlockOf(uint32_t id) { return id / 16 + 1; }

bool ParseLine(std::string_view line, uint16_t* id, std::string_view* text) {
  const size_t tab = line.find('\t');
  if (tab == std::string_view::npos || tab == 0) return false;
  const char* first = line.data();
  const char* last = line.data() + tab;
  auto [end, error] = std::from_chars(first, last, *id);
  if (error != std::errc() || end != last) return false;
  *text = line.substr(tab + 1);
  return true;
}

std::vector<StringResource> ParseEmbeddedFiles() {
  std::vector<StringResource> all;
  for (const EmbeddedStringFile* file = kEmbeddedStringFiles; file->bytes != nullptr; ++file) {
    ParseStringTable(file->language,
                     std::string_view(reinterpret_cast<const char*>(file->bytes), file->size), &all);
  }
  // Stable, so that of two lines with the same id the first stays in front.
  std::stable_sort(all.begin(), all.end(), [](const StringResource& a, const StringResource& b) {
    return a.language != b.language ? a.language < b.language : a.id < b.id;
  });
  all.erase(std::unique(all.begin(), all.end(),
                        [](const StringResource& a, const StringResource& b) {
                          return a.language == b.language && a.id == b.id;
                        }),
            all.end());
  return all;
}

// The variant whose table a regional variant falls back to. Chinese is the
// exception to "same primary language, default sublanguage": Singapore writes
// Simplified characters, Hong Kong and Macao Traditional ones.
uint16_t MainVariantOf(uint16_t language) {
  struct Fallback {
    uint16_t language, main;
  };
  static constexpr std::array<Fallback, 3> kChinese = {{{0x0C04, 0x0404}, {0x1004, 0x0804}, {0x1404, 0x0404}}};
  for (const Fallback& f : kChinese)
    if (f.language == language) return f.main;
  return static_cast<uint16_t>((language & 0x3FF) | 0x0400);
}

}  // namespace

int ParseStringTable(uint16_t language, std::string_view file, std::vector<StringResource>* out) {
  if (file.starts_with(kUtf8Bom)) file.remove_prefix(kUtf8Bom.size());
  int malformed = 0;
  while (!file.empty()) {
    const size_t newline = file.find('\n');
    std::string_view line = file.substr(0, newline);
    file.remove_prefix(newline == std::string_view::npos ? file.size() : newline + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    StringResource entry{language, 0, {}};
    if (ParseLine(line, &entry.id, &entry.text)) {
      out->push_back(entry);
    } else {
      ++malformed;
    }
  }
  return malformed;
}

const std::vector<StringResource>& StringResources() {
  static const std::vector<StringResource> resources = ParseEmbeddedFiles();
  return resources;
}

std::optional<std::string_view> FindResourceString(uint16_t language, uint32_t id) {
  const std::vector<StringResource>& all = StringResources();
  // The block's first entry in this language, if any.
  const uint32_t block = BlockOf(id);
  auto it = std::lower_bound(all.begin(), all.end(), std::pair<uint16_t, uint32_t>(language, (block - 1) * 16),
                             [](const StringResource& r, const std::pair<uint16_t, uint32_t>& key) {
                               return r.language != key.first ? r.language < key.first : r.id < key.second;
                             });
  if (it == all.end() || it->language != language || BlockOf(it->id) != block) return std::nullopt;
  for (; it != all.end() && it->language == language && BlockOf(it->id) == block; ++it)
    if (it->id == id) return it->text;
  return std::string_view();
}

std::optional<std::string_view> LoadSystemString(uint32_t id) {
  const uint16_t user = UserDefaultLanguageId();
  for (uint16_t language : {user, MainVariantOf(user), kUsEnglish}) {
    if (std::optional<std::string_view> text = FindResourceString(language, id)) return text;
  }
  return std::nullopt;
}

}  // namespace tavo
