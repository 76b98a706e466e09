// Folding letter case: only A-Z change, byte by byte, also inside the
// word-at-a-time hash.
#include <gtest/gtest.h>

#include <string>

#include "generation/engine/text_fold.h"

namespace tavo {
namespace {

TEST(TextFoldTest, TheFoldedHashIsTheHashOfTheFoldedTextForEveryByte) {
  for (int c = 0; c < 256; ++c) {
    for (size_t at = 0; at < 17; ++at) {
      std::string text(17, 'Q');
      text[at] = static_cast<char>(c);
      std::string folded;
      FoldText(text, &folded);
      ASSERT_EQ(HashText(folded), HashFoldedText(text)) << c << " at " << at;
      ASSERT_EQ(folded[at], (c >= 'A' && c <= 'Z') ? c + 32 : static_cast<char>(c));
    }
  }
}

TEST(TextFoldTest, ComparesFoldedBytesAndShorterFirst) {
  EXPECT_EQ(0, CompareFolded("ABC", "abc"));
  EXPECT_LT(CompareFolded("ab", "ABC"), 0);
  EXPECT_LT(CompareFolded("Z", "\xC3\x89"), 0);  // bytes above 0x7F compare as they are
  EXPECT_FALSE(EqualFolded("\xC3\x89", "\xC3\xA9"));
  EXPECT_TRUE(EqualFolded("Mixed Case", "mIXED cASE"));
}

}  // namespace
}  // namespace tavo
