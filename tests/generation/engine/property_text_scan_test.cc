// The plain scan of property-set texts gives exactly the values the
// property-set parser gives, and hands every other text to the parser.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "generation/engine/property_text_scan.h"
#include "generation/engine/view_columns.h"
#include "storage/library/track_record.h"

namespace tavo {
namespace {

const KeyNames& Names() {
  static const KeyNames names(ViewMetadataKeys());
  return names;
}

// The values of the view's keys as the parser gives them; "damaged" when it
// refuses the text.
std::string ByParser(const std::string& text) {
  if (text.empty()) return "";
  PropertySet* set = nullptr;
  if (PropertySet_Parse(&set, kPropertySetRec, text.data(), text.size()) != kPropertySetOk) return "damaged";
  PropertySetPtr owned(set);
  std::string values;
  for (uint32_t key = 0; key < kRecKeyLimit; ++key) {
    if (!ViewMetadataKeys().test(key)) continue;
    if (const char* v = PropertySet_PeekValue(set, key, 0)) values += std::to_string(key) + "=" + v + ";";
  }
  return values;
}

std::string ByScan(const std::string& text, PropertyTextRead* how = nullptr) {
  KeyTexts keys;
  PropertySetPtr parsed;
  const PropertyTextRead read = ReadPropertyText(text, Names(), &keys, &parsed);
  if (how != nullptr) *how = read;
  if (read == PropertyTextRead::kDamaged) return "damaged";
  std::string values;
  for (uint32_t key = 0; key < kRecKeyLimit; ++key) {
    if (const std::string_view* v = keys.Find(key)) values += std::to_string(key) + "=" + std::string(*v) + ";";
  }
  return values;
}

std::string Written(const std::vector<std::pair<uint32_t, std::string>>& values) {
  TrackRecord t;
  for (const auto& [key, value] : values) TrackRecord_SetValue(&t, key, value.c_str());
  char* text = nullptr;
  size_t length = 0;
  EXPECT_EQ(kPropertySetOk, PropertySet_Serialize(t.metadata.get(), &text, &length));
  std::string s(text, length);
  PropertySet_FreeText(text);
  return s;
}

TEST(PropertyTextScanTest, WrittenSetsAreScannedAndReadAsTheParserReadsThem) {
  const std::vector<std::vector<std::pair<uint32_t, std::string>>> sets = {
      {{kKeyTit, "Blue"}, {kKeyArt, "Some One"}, {kKeyTLen, "200"}, {kKeySize, "4000000"}},
      {{kKeyTit, "Fire & Ice <live> \"quoted\" 'single'"}, {kKeyAlb, "a&b"}},
      {{kKeyTit, "   leading blanks"}, {kKeyArt, "trailing   "}, {kKeyAlb, "\t"}},
      {{kKeyGenDesc, "nested description"}, {kKeyGenV2, "501"}, {kKeyTit, "after nesting"}},
      {{kKeyTit, "caf\xC3\xA9 \xE2\x99\xAB"}, {kKeyLabel, ">"}},
  };
  for (const auto& values : sets) {
    const std::string text = Written(values);
    KeyTexts keys;
    EXPECT_TRUE(ScanPlainPropertyText(text, Names(), &keys)) << text;
    EXPECT_EQ(ByParser(text), ByScan(text)) << text;
  }
}

TEST(PropertyTextScanTest, OtherTextsAreLeftToTheParser) {
  const std::string decl = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>";
  const std::string texts[] = {
      "<REC><TIT>no declaration</TIT></REC>",
      "<?xml version=\"1.0\"?><REC><TIT>another declaration</TIT></REC>",
      decl + "<REC>\n  <TIT>pretty</TIT>\n  <ART>printed</ART>\n</REC>\n",
      decl + "<REC><TIT a=\"1\">attribute</TIT></REC>",
      decl + "<REC><TIT/><ART>after an empty tag</ART></REC>",
      decl + "<REC><TIT >blank in tag</TIT ></REC>",
      decl + "<REC><TIT>first</TIT><TIT>second</TIT></REC>",
      decl + "<REC><TIT></TIT><TIT>second has text</TIT></REC>",
      decl + "<REC><GEN>a<DESC>b</DESC>c</GEN></REC>",  // two runs: malformed
      decl + "<REC><GEN><DESC>b</DESC>late</GEN><TIT>x</TIT></REC>",
      decl + "<REC>root text<TIT>x</TIT></REC>",
      decl + "<REC><TIT>zero&#0;cut</TIT><ART>&#0;</ART></REC>",
      decl + "<REC><TIT>unknown &bogus; entity</TIT></REC>",
      decl + "<REC><TIT>mismatched</ART></REC>",
      decl + "<REC><TIT>truncated",
      decl + "<REC><TIT>x</TIT></REC>trailing garbage <",
      decl + "<REC><TI-T>odd name</TI-T><TIT>x</TIT></REC>",
      decl + std::string(40, '<'),
      "",
  };
  for (const std::string& text : texts) EXPECT_EQ(ByParser(text), ByScan(text)) << text;
  std::string deep = decl + "<REC>";
  for (int i = 0; i < 40; ++i) deep += "<D>";
  for (int i = 0; i < 40; ++i) deep += "</D>";
  deep += "<TIT>deep</TIT></REC>";
  PropertyTextRead how;
  EXPECT_EQ(ByParser(deep), ByScan(deep, &how));
  EXPECT_EQ(PropertyTextRead::kParsed, how);
}

// Written sets with random bytes changed, inserted or removed: whatever the
// scan accepts reads as the parser reads it, and what it refuses the parser
// judges.
TEST(PropertyTextScanTest, DamagedTextsReadAsTheParserReadsThem) {
  std::mt19937 rng(7);
  const std::string base = Written({{kKeyTit, "Fire & Ice"}, {kKeyArt, "A"}, {kKeyGenDesc, "d"}, {kKeyTLen, "61"}});
  const char alphabet[] = "<>/&;# \tTITAR=\"x0";
  for (int round = 0; round < 20000; ++round) {
    std::string text = base;
    for (int edits = 1 + static_cast<int>(rng() % 3); edits > 0; --edits) {
      const size_t at = rng() % text.size();
      const char c = alphabet[rng() % (sizeof(alphabet) - 1)];
      switch (rng() % 3) {
        case 0: text[at] = c; break;
        case 1: text.insert(text.begin() + static_cast<long>(at), c); break;
        default: text.erase(at, 1); break;
      }
    }
    ASSERT_EQ(ByParser(text), ByScan(text)) << text;
  }
}

}  // namespace
}  // namespace tavo
