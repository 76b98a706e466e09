// The module's localized string resources: per language, texts by resource id,
// grouped into blocks of sixteen ids (block id / 16 + 1) the way resource
// string tables are. A language either has a block or not; within a block an
// id without a text reads as the empty string.
//
// The tables are parsed once, on first use, from the embedded files
// (share/strings/<language id>.txt); afterwards they are read-only, so
// lookups need no locking.
#ifndef TAVO_DATA_DESCRIPTIONS_STRING_RESOURCES_H_
#define TAVO_DATA_DESCRIPTIONS_STRING_RESOURCES_H_

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tavo {

struct StringResource {
  uint16_t language;
  uint16_t id;
  std::string_view text;  // UTF-8, points into the embedded file
};

// Appends the entries of one string table file ("<id>\t<text>" lines; blank
// lines and lines starting with '#' are skipped) and returns the number of
// lines that are neither entries nor skippable, so tests can hold the shipped
// files to the format.
int ParseStringTable(uint16_t language, std::string_view file, std::vector<StringResource>* out);

// All entries of all embedded files, sorted by (language, id); for an id
// listed twice in one file the first line counts.
const std::vector<StringResource>& StringResources();

// The text of `id` in exactly `language`: nullopt when that language has no
// block holding the id's block, otherwise the text (empty when the block
// lacks the id).
std::optional<std::string_view> FindResourceString(uint16_t language, uint32_t id);

// The string loading the platform offers a module when no language is asked
// for: the user's default language, then that language's main variant
// (German for Austrian German), then US English; the first of these with the
// id's block answers.
std::optional<std::string_view> LoadSystemString(uint32_t id);

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTIONS_STRING_RESOURCES_H_
