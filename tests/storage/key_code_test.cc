// Key codes of the two methods the library uses, and the comparison that
// tells apart values of equal code.
#include <string>

#include <gtest/gtest.h>

#include "storage/store/key_code.h"

namespace tavo {
namespace {

uint32_t TextCode(const std::string& s) {
  return KeyCode(kKeyMethodText, reinterpret_cast<const uint8_t*>(s.data()), static_cast<uint32_t>(s.size()));
}

bool TextEqual(const std::string& a, const std::string& b) {
  return KeyValuesEqual(kKeyMethodText, reinterpret_cast<const uint8_t*>(a.data()), static_cast<uint32_t>(a.size()),
                        reinterpret_cast<const uint8_t*>(b.data()), static_cast<uint32_t>(b.size()));
}

TEST(KeyCode, TextHash) {
  struct Case {
    std::string text;
    uint32_t code;
  };
  const Case cases[] = {
      {"", 0},
      {"abc", 0x4563},
      {"ABC", 0x4563},
      {std::string("abc\0", 4), 0x4563},        // the terminating zero ends the text
      {"ab\xFF" "cd", 0x452},                   // so does an invalid sequence
      {"ab\xC3", 0x452},                        // and a cut-off one
      {"\xC3\xA9", 0xC9},                       // e-acute folds to E-acute
      {"\xD0\xB0", 0x410},                      // Cyrillic a folds to A
      {"\xE2\x82\xAC", 0x20AC},                 // three-byte character
      {"\xF0\x9F\x8E\xB5", 0},                  // four-byte sequences are not read
      {"AAAAAAAAAAAA", 0x1000001},              // top bits folded back in
      {"hello world, long title", 0xea51535},
  };
  for (const Case& c : cases) EXPECT_EQ(TextCode(c.text), c.code) << c.text;
}

TEST(KeyCode, IntegerIsTheValue) {
  const uint32_t v = 0x01020304;
  EXPECT_EQ(KeyCode(kKeyMethodInteger, reinterpret_cast<const uint8_t*>(&v), 4), v);
  const uint8_t one = 7;
  EXPECT_EQ(KeyCode(kKeyMethodInteger, &one, 1), KeyCode(kKeyMethodInteger, &one, 1));
}

TEST(KeyCode, TextComparisonFoldsCaseLikeTheHash) {
  EXPECT_TRUE(TextEqual("Abba - Waterloo.mp3", "ABBA - waterloo.MP3"));
  EXPECT_TRUE(TextEqual(std::string("x\0", 2), "x"));
  EXPECT_TRUE(TextEqual("\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89"));
  EXPECT_FALSE(TextEqual("abc", "abd"));
  EXPECT_FALSE(TextEqual("abc", "abcd"));
  // Values that share a code only up to an invalid byte still differ.
  EXPECT_EQ(TextCode("ab\xFF" "x"), TextCode("ab\xFF" "y"));
  EXPECT_FALSE(TextEqual("ab\xFF" "x", "ab\xFF" "y"));
}

}  // namespace
}  // namespace tavo
