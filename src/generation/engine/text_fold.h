// Letter case for comparisons: texts are compared with A-Z folded to a-z,
// byte by byte; other bytes (UTF-8 sequences included) compare as they are.
// The hashes are the view's own (not stored anywhere).
#ifndef TAVO_GENERATION_ENGINE_TEXT_FOLD_H_
#define TAVO_GENERATION_ENGINE_TEXT_FOLD_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace tavo {

constexpr char FoldByte(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// `text` folded into *out (replacing its content).
void FoldText(std::string_view text, std::string* out);

// Byte-wise comparison of the folded texts: < 0, 0, > 0; a text that is a
// prefix of the other comes first.
int CompareFolded(std::string_view a, std::string_view b) noexcept;
bool EqualFolded(std::string_view a, std::string_view b) noexcept;

uint32_t HashText(std::string_view text) noexcept;
// HashText of the folded text, without folding a copy.
uint32_t HashFoldedText(std::string_view text) noexcept;

}  // namespace tavo

#endif  // TAVO_GENERATION_ENGINE_TEXT_FOLD_H_
