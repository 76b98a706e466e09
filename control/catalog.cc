#include "control/catalog.h"

#include <charconv>
#include <memory>

#include "data/xml/xml.h"
#include "platform/fs/env.h"

namespace tavo::control {
namespace {

// Catalog files are small; anything larger is not ours.
constexpr uint64_t kMaxFileBytes = 16u << 20;

bool ParseInt(std::string_view text, int32_t* out) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *out);
  return ec == std::errc() && end == text.data() + text.size();
}

std::vector<std::string_view> Split(std::string_view text, char sep) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    const size_t at = text.find(sep, start);
    parts.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (std::string_view line : Split(text, '\n')) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty() && line.front() != '#') lines.push_back(line);
  }
  return lines;
}

bool ValidListName(std::string_view name) {
  if (name.empty() || name.size() > 64) return false;
  for (char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
    if (!ok) return false;
  }
  return true;
}

// A list document's root element, or none when the text does not parse.
// The documents are read with the XML layer that the manager reads them with,
// so the control hands out only what the manager can read.
XmlNodePtr ParseList(std::string_view text) {
  XmlNode* root = nullptr;
  if (XmlDocument_Parse(text.data(), text.size(), &root) != kXmlOk) return nullptr;
  return XmlNodePtr(root);
}

std::string_view TextOrEmpty(const char* text) { return text != nullptr ? text : std::string_view(); }

// The text of root/REVISION/LEVEL and root/REVISION/TAG, or empty.
std::string_view RevisionLevel(const XmlNode* root) {
  return TextOrEmpty(XmlNode_GetTextByPath(root, "REVISION/LEVEL"));
}
std::string_view RevisionTag(const XmlNode* root) { return TextOrEmpty(XmlNode_GetTextByPath(root, "REVISION/TAG")); }

}  // namespace

// Correlates file: "REVISION <level> <tag>", "SCALE <min> <max>", then one
// line per genre: "<id> <related>:<weight> ...".
bool ParseCorrelates(std::string_view text, CorrelateTable* out) {
  bool have_revision = false;
  for (std::string_view line : Lines(text)) {
    std::vector<std::string_view> words;
    for (std::string_view w : Split(line, ' ')) {
      if (!w.empty()) words.push_back(w);
    }
    if (words.empty()) continue;
    if (words[0] == "REVISION") {
      if (words.size() != 3) return false;
      out->revision_level = std::string(words[1]);
      out->revision_tag = std::string(words[2]);
      have_revision = true;
    } else if (words[0] == "SCALE") {
      if (words.size() != 3 || !ParseInt(words[1], &out->scale_min) || !ParseInt(words[2], &out->scale_max) ||
          out->scale_min > out->scale_max)
        return false;
    } else {
      CorrelateEntry entry;
      if (!ParseInt(words[0], &entry.genre_id)) return false;
      for (size_t i = 1; i < words.size(); ++i) {
        const size_t colon = words[i].find(':');
        CorrelateRelated r;
        if (colon == std::string_view::npos || !ParseInt(words[i].substr(0, colon), &r.id) ||
            !ParseInt(words[i].substr(colon + 1), &r.weight))
          return false;
        entry.related.push_back(r);
      }
      out->entries.push_back(std::move(entry));
    }
  }
  return have_revision;
}

// Recordings file: one recording per line, 18 fields separated by tabs (see
// the README for the columns); lists inside a field are separated by '|'.
bool ParseRecordings(std::string_view text, std::vector<CatalogRecording>* out) {
  for (std::string_view line : Lines(text)) {
    const std::vector<std::string_view> f = Split(line, '\t');
    if (f.size() != 18 || f[0].empty()) return false;
    CatalogRecording r;
    r.tag_id = std::string(f[0]);
    r.title = std::string(f[1]);
    r.title_sort = std::string(f[2]);
    for (std::string_view a : Split(f[3], '|')) r.artists.emplace_back(a);
    for (std::string_view a : Split(f[4], '|')) r.artist_sorts.emplace_back(a);
    r.artist = r.artists.front();
    for (size_t i = 1; i < r.artists.size(); ++i) r.artist += ", " + r.artists[i];
    r.album = std::string(f[5]);
    r.label = std::string(f[6]);
    int32_t* const numbers[] = {&r.track,    &r.total_tracks, &r.year,        &r.original_year,
                                &r.genre_v1, &r.genre_v2,     &r.era,         &r.origin,
                                &r.artist_type, &r.album_popularity, &r.global_popularity};
    for (size_t i = 0; i < std::size(numbers); ++i) {
      if (!ParseInt(f[7 + i], numbers[i])) return false;
    }
    out->push_back(std::move(r));
  }
  return true;
}

HRESULT Catalog::ReadFile(const std::string& name, std::string* text) const {
  std::unique_ptr<File> file;
  uint64_t size = 0;
  if (dir_.empty() || Env::Default()->Open(dir_ + "/" + name, OpenMode::kRead, &file) != 0 ||
      file->Size(&size) != 0 || size > kMaxFileBytes)
    return TAVOCTL_E_CATALOG;
  text->resize(size);
  size_t got = 0;
  if (size > 0 && (file->Read(0, text->data(), size, &got) != 0 || got != size)) return TAVOCTL_E_CATALOG;
  return S_OK;
}

HRESULT Catalog::ListDocument(std::string_view name, std::string_view level, std::string_view tag,
                              std::string* document) {
  document->clear();
  if (!ValidListName(name)) return E_INVALIDARG;
  std::string text;
  if (HRESULT hr = ReadFile(std::string(name) + ".xml", &text); FAILED(hr)) return hr;
  const XmlNodePtr root = ParseList(text);
  if (root == nullptr || text.find('\0') != std::string::npos) return TAVOCTL_E_CATALOG;
  if (!level.empty() && level == RevisionLevel(root.get()) && tag == RevisionTag(root.get())) return S_FALSE;
  *document = std::move(text);
  return S_OK;
}

HRESULT Catalog::Correlates(int level, std::shared_ptr<const CorrelateTable>* out) {
  if (level < 0 || level > 2) return E_INVALIDARG;
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (correlates_[level]) return *out = correlates_[level], S_OK;
  }
  std::string text;
  if (HRESULT hr = ReadFile("correlates-" + std::to_string(level) + ".txt", &text); FAILED(hr)) return hr;
  auto table = std::make_shared<CorrelateTable>();
  table->level = level;
  if (!ParseCorrelates(text, table.get())) return TAVOCTL_E_CATALOG;
  std::lock_guard<std::mutex> lock(mu_);
  correlates_[level] = table;
  *out = table;
  return S_OK;
}

HRESULT Catalog::Recordings(std::shared_ptr<const std::vector<CatalogRecording>>* out) {
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (recordings_) return *out = recordings_, S_OK;
  }
  std::string text;
  if (HRESULT hr = ReadFile("recordings.txt", &text); FAILED(hr)) return hr;
  auto recordings = std::make_shared<std::vector<CatalogRecording>>();
  if (!ParseRecordings(text, recordings.get())) return TAVOCTL_E_CATALOG;
  std::lock_guard<std::mutex> lock(mu_);
  recordings_ = recordings;
  *out = recordings;
  return S_OK;
}

HRESULT Catalog::FindRecording(std::string_view tag_id, CatalogRecording* out) {
  std::shared_ptr<const std::vector<CatalogRecording>> all;
  if (HRESULT hr = Recordings(&all); FAILED(hr)) return hr;
  for (const CatalogRecording& r : *all) {
    if (r.tag_id == tag_id) return *out = r, S_OK;
  }
  return TAVOCTL_E_UNKNOWN_TAGID;
}

HRESULT Catalog::Names(std::string_view list, std::shared_ptr<const std::map<int32_t, std::string>>* out) {
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (auto it = names_.find(list); it != names_.end()) return *out = it->second, S_OK;
  }
  std::string text;
  if (HRESULT hr = ListDocument(list, {}, {}, &text); FAILED(hr)) return hr;
  const XmlNodePtr root = ParseList(text);
  if (root == nullptr) return TAVOCTL_E_CATALOG;
  auto names = std::make_shared<std::map<int32_t, std::string>>();
  for (const XmlNode* item = XmlNode_FirstChild(root.get()); item != nullptr; item = XmlNode_NextSibling(item)) {
    int32_t id = 0;
    const XmlNode* display = XmlNode_FindChild(item, "DISPLAY");
    if (std::string_view(XmlNode_GetName(item)) == "ITEM" && display != nullptr &&
        ParseInt(TextOrEmpty(XmlNode_GetAttribute(item, "ID")), &id))
      (*names)[id] = std::string(TextOrEmpty(XmlNode_GetText(display)));
  }
  std::lock_guard<std::mutex> lock(mu_);
  names_[std::string(list)] = names;
  *out = names;
  return S_OK;
}

HRESULT Catalog::GenreName(std::string_view list, int32_t id, std::string* name) {
  std::shared_ptr<const std::map<int32_t, std::string>> names;
  if (HRESULT hr = Names(list, &names); FAILED(hr)) return hr;
  const auto it = names->find(id);
  *name = it == names->end() ? std::string() : it->second;
  return S_OK;
}

HRESULT Catalog::Revision(std::string* tag) {
  std::string text;
  if (HRESULT hr = ListDocument(kGenreList, {}, {}, &text); FAILED(hr)) return hr;
  const XmlNodePtr root = ParseList(text);
  if (root == nullptr) return TAVOCTL_E_CATALOG;
  *tag = std::string(RevisionTag(root.get()));
  return S_OK;
}

HRESULT Catalog::Check() {
  for (std::string_view list : {kEraList, kOriginList, kArtistTypeList, kGenreList, kGenreFamilyList,
                                kPopularityRangeList, kGenreV1List}) {
    std::string text;
    if (HRESULT hr = ListDocument(list, {}, {}, &text); FAILED(hr)) return hr;
  }
  for (int level = 0; level < 3; ++level) {
    std::shared_ptr<const CorrelateTable> table;
    if (HRESULT hr = Correlates(level, &table); FAILED(hr)) return hr;
  }
  std::shared_ptr<const std::vector<CatalogRecording>> recordings;
  return Recordings(&recordings);
}

}  // namespace tavo::control
