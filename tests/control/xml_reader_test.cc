#include "control/xml_reader.h"

#include <gtest/gtest.h>

namespace tavo::control {
namespace {

TEST(XmlReaderTest, ReadsElementsAttributesTextAndEntities) {
  auto root = ParseXml(
      "<?xml version=\"1.0\"?>\n<!-- list -->\n<LIST NAME='a&amp;b'>\n"
      "  <ITEM ID=\"7\"><DISPLAY>R&amp;B &#x263A;&#65;</DISPLAY><EMPTY/></ITEM>\n</LIST>\n");
  ASSERT_NE(nullptr, root);
  EXPECT_EQ("LIST", root->name);
  EXPECT_EQ("a&b", root->Attribute("NAME"));
  const XmlElement* item = root->Child("ITEM");
  ASSERT_NE(nullptr, item);
  EXPECT_EQ("7", item->Attribute("ID"));
  EXPECT_EQ("R&B \xE2\x98\xBA" "A", item->Child("DISPLAY")->text);
  EXPECT_NE(nullptr, item->Child("EMPTY"));
  EXPECT_EQ(nullptr, item->Child("NOPE"));
}

TEST(XmlReaderTest, RejectsMalformedText) {
  std::string nested;
  for (int i = 0; i < 100; ++i) nested += "<a>";
  for (int i = 0; i < 100; ++i) nested += "</a>";
  for (const std::string& text : {
           std::string(""), std::string("<a>"), std::string("<a></b>"), std::string("<a x=1/>"),
           std::string("<a x=\"1/>"), std::string("<a>&bogus;</a>"), std::string("<a>&#0;</a>"),
           std::string("<a>&#x110000;</a>"), std::string("<a/><b/>"), std::string("text<a/>"),
           std::string("<a><!-- open</a>"), std::string("<a y='1'z='2'/>"), nested}) {
    EXPECT_EQ(nullptr, ParseXml(text)) << text.substr(0, 40);
  }
}

}  // namespace
}  // namespace tavo::control
