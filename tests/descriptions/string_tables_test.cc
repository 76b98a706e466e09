// The string table format and the tables the module ships.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "data/descriptions/embedded_string_files.h"
#include "data/descriptions/localized_text.h"
#include "data/descriptions/string_resources.h"

namespace tavo {
namespace {

constexpr uint16_t kResourceLanguages[] = {1028, 1031, 1034, 1036, 1040, 1041, 1042,
                                           1043, 1046, 1049, 1053, 1054, 2052};
constexpr uint16_t kFirstDescriptionId = 101;
constexpr uint16_t kLastDescriptionId = 192;
constexpr uint16_t kDevFieldPatternId = 188;  // no English text; the tables hold the placeholder

TEST(StringTableFormatTest, ParsesEntriesAndCountsWhatIsNeither) {
  const std::string file =
      "\xEF\xBB\xBF"
      "# comment\r\n"
      "101\tDateiname\r\n"
      "\n"
      "102\t  spaces kept \n"
      "103\t\n"          // an empty text is still an entry
      "101\tsecond\n"    // duplicate: parsed, the first wins in the tables
      "abc\tno id\n"     // malformed
      "104 no tab\n"     // malformed
      "\tno id\n"        // malformed
      "70000\ttoo big\n"  // malformed: ids are 16 bits
      "105\tlast line without newline";
  std::vector<StringResource> out;
  EXPECT_EQ(4, ParseStringTable(1031, file, &out));
  ASSERT_EQ(5u, out.size());
  EXPECT_EQ(101, out[0].id);
  EXPECT_EQ("Dateiname", out[0].text);
  EXPECT_EQ("  spaces kept ", out[1].text);
  EXPECT_EQ("", out[2].text);
  EXPECT_EQ("last line without newline", out[4].text);
  for (const StringResource& r : out) EXPECT_EQ(1031, r.language);
}

TEST(ShippedStringTablesTest, EveryFileIsWellFormed) {
  std::set<uint16_t> languages;
  for (const EmbeddedStringFile* f = kEmbeddedStringFiles; f->bytes != nullptr; ++f) {
    std::vector<StringResource> entries;
    EXPECT_EQ(0, ParseStringTable(f->language, {reinterpret_cast<const char*>(f->bytes), f->size}, &entries))
        << f->language;
    std::set<uint16_t> ids;
    for (const StringResource& r : entries) EXPECT_TRUE(ids.insert(r.id).second) << f->language << " id " << r.id;
    languages.insert(f->language);
  }
  std::set<uint16_t> expected(std::begin(kResourceLanguages), std::end(kResourceLanguages));
  expected.insert(1033);
  EXPECT_EQ(expected, languages);
}

TEST(ShippedStringTablesTest, ResourceLanguagesTranslateEveryId) {
  const std::set<std::string_view> placeholders = {kFieldDescriptionPlaceholder, kUnitsPlaceholder,
                                                   kOperatorPlaceholder, kUserInfoPlaceholder};
  for (uint16_t language : kResourceLanguages) {
    for (uint16_t id = kFirstDescriptionId; id <= kLastDescriptionId; ++id) {
      std::optional<std::string_view> text = FindResourceString(language, id);
      ASSERT_TRUE(text.has_value()) << language << " id " << id;
      if (id == kDevFieldPatternId) {
        EXPECT_EQ(kFieldDescriptionPlaceholder, *text) << language;
      } else {
        EXPECT_FALSE(text->empty()) << language << " id " << id;
        EXPECT_FALSE(placeholders.contains(*text)) << language << " id " << id;
      }
    }
  }
}

TEST(ShippedStringTablesTest, BlocksDecideBetweenMissingTextAndMissingLanguage) {
  // US English has the block of id 100 only: within it a missing id is an
  // empty text, outside it the language has nothing.
  EXPECT_EQ("TavoPlaylist2Pelta", FindResourceString(1033, 100).value_or("?"));
  EXPECT_EQ("", FindResourceString(1033, 101).value_or("?"));
  EXPECT_FALSE(FindResourceString(1033, 112).has_value());
  EXPECT_FALSE(FindResourceString(1033, 0).has_value());
  EXPECT_FALSE(FindResourceString(0x0436, 101).has_value());  // Afrikaans: no tables at all
  EXPECT_FALSE(FindResourceString(1031, 208).has_value());    // past the last block
  EXPECT_EQ("Interpret", FindResourceString(1031, 112).value_or("?"));
}

}  // namespace
}  // namespace tavo
