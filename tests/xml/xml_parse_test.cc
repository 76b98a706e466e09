// Parser, tokenizer, entity decoding and UTF-8 encoding of the XML layer.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "data/xml/xml.h"

namespace tavo {
namespace {

struct Parsed {
  int status = -1;
  XmlNodePtr root;
};

Parsed Parse(const std::string& text) {
  Parsed p;
  XmlNode* root = reinterpret_cast<XmlNode*>(0x1);  // must be reset to none on failure
  p.status = XmlDocument_Parse(text.data(), text.size(), &root);
  if (p.status != kXmlOk) {
    EXPECT_EQ(root, nullptr);
  } else {
    p.root.reset(root);
  }
  return p;
}

int Status(const std::string& text) { return Parse(text).status; }

// --- Documents that parse, documents that do not ---------------------------

// The status of every document that does not parse, and of some that do.
struct StatusCase {
  std::string doc;
  int status;
};
const StatusCase kStatusCases[] = {
    // The declaration: exactly "xml", case-sensitive, up to the first "?>".
    {"<?XML version=\"1.0\"?><A/>", kXmlMalformed},
    {"<?xml version=\"1.0\"?>", kXmlMalformed},
    {"<?xml version=\"1.0\"?>  ", kXmlMalformed},
    {"<?xml version=\"1.0\"?>x", kXmlMalformed},
    {"<?xml version=\"1.0\"><A/>", kXmlMalformed},  // no closing "?"
    {"<?xm", kXmlMalformed},
    {"<?xml", kXmlMalformed},
    {"<?xml?", kXmlMalformed},
    {"<?xml ?x<A/>", kXmlMalformed},
    {"<?xml?><A/>", kXmlOk},
    {"<?xml anything \"<>\" goes?>\n<A/>", kXmlOk},  // version and encoding are not looked at
    {"<?xml?><?xml?><A/>", kXmlIllegalCharacter},     // only one declaration
    // A root is required.
    {"   ", kXmlMalformed},
    {"A", kXmlMalformed},
    {"<", kXmlMalformed},  // no complete first token
    // Text: one run per element; after "/>" words are name tokens.
    {"<A>one<B></B>two</A>", kXmlMalformed},
    {"<A><B/>two words</A>", kXmlMalformed},
    {"<A><B/>a=b</A>", kXmlMalformed},
    {"<A><B/>a-b</A>", kXmlIllegalCharacter},
    // End tags compare case-sensitively and whole.
    {"<A></a>", kXmlMalformed},
    {"<AB></A>", kXmlMalformed},
    {"<A></AB>", kXmlMalformed},
    // Anything after the root is ignored, once the root is complete.
    {"<A></A><<<", kXmlOk},
    {"<A><B></B>>", kXmlTruncated},
    // Input that ends inside a token or element.
    {"<A", kXmlTruncated},
    {"<A ", kXmlTruncated},
    {"<A>", kXmlTruncated},
    {"<A>text", kXmlTruncated},
    {"<A x", kXmlTruncated},
    {"<A x=", kXmlTruncated},
    {"<A x=\"1", kXmlTruncated},
    {"<A></A", kXmlTruncated},
    {"<A></", kXmlTruncated},
    {"<A><B>", kXmlTruncated},
    {"<A/", kXmlTruncated},
    {"<A><B/>", kXmlTruncated},
    {"<A>  ", kXmlTruncated},
    // Illegal characters: comments, processing instructions, DOCTYPE, CDATA,
    // single quotes, names beyond ASCII letters, digits and "_".
    {"<!-- note --><A/>", kXmlIllegalCharacter},
    {"<!DOCTYPE A><A/>", kXmlIllegalCharacter},
    {"<A x='1'/>", kXmlIllegalCharacter},
    {"<A x=1.5/>", kXmlIllegalCharacter},
    {"<A-B/>", kXmlIllegalCharacter},
    {"<A:B/>", kXmlIllegalCharacter},
    {"<A\x01/>", kXmlIllegalCharacter},
    {"<A>x</A:B>", kXmlIllegalCharacter},
    {"<A><!-- c --></A>", kXmlIllegalCharacter},
    {"<A><?pi?></A>", kXmlIllegalCharacter},
    {"<A><![CDATA[x]]></A>", kXmlIllegalCharacter},
    {"<A x=\"1\" 'y'/>", kXmlIllegalCharacter},
    {"<\xC3\xA9/>", kXmlIllegalCharacter},
    // Wrong token sequences.
    {"<>", kXmlMalformed},
    {"<=A/>", kXmlMalformed},
    {"<A x/>", kXmlMalformed},
    {"<A x=/>", kXmlMalformed},
    {"<A x==\"1\"/>", kXmlMalformed},
    {"<A =\"1\"/>", kXmlMalformed},
    {"<A></A x>", kXmlMalformed},
    {"<A></>", kXmlMalformed},
    {"</A>", kXmlMalformed},
    {"<A//>", kXmlMalformed},
    {"<A / >", kXmlMalformed},
    {"<A x=\"1\"/ >", kXmlMalformed},
    {"<\"\"></\"\">", kXmlMalformed},
    {"<A \"\"=\"1\"/>", kXmlMalformed},
    {std::string("<\"\0a\"/>", 7), kXmlMalformed},  // a name that a NUL byte ends at once
};

TEST(XmlParse, StatusOfEachDocument) {
  for (const StatusCase& c : kStatusCases) EXPECT_EQ(Status(c.doc), c.status) << c.doc;
}

TEST(XmlParse, InvalidArguments) {
  XmlNode* root = nullptr;
  EXPECT_EQ(XmlDocument_Parse(nullptr, 3, &root), kXmlInvalidArgument);
  EXPECT_EQ(XmlDocument_Parse("<A/>", 0, &root), kXmlInvalidArgument);
  EXPECT_EQ(XmlDocument_Parse("<A/>", 4, nullptr), kXmlInvalidArgument);
}

// --- Elements as parsed -----------------------------------------------------

using Attributes = std::vector<std::pair<std::string, std::string>>;

// One document that parses, and its root as expected.
struct TreeCase {
  std::string doc;
  std::string name;
  const char* text;  // none: the root has no text
  Attributes attributes;
  std::vector<std::string> children;  // names, in order
  const char* absent_attribute = nullptr;
};
const TreeCase kTreeCases[] = {
    {"<?xml version=\"1.0\"?><A/>", "A", nullptr, {}, {}},
    {"  <A/>", "A", nullptr, {}, {}},
    {"<A x=\"\"/>", "A", nullptr, {}, {}, "x"},  // an empty value sets nothing
    {"<A x=\"1\" y=\"2\" x=\"\"/>", "A", nullptr, {{"y", "2"}}, {}, "x"},  // ... and removes
    // Re-setting an attribute moves it last; values are decoded.
    {"<A x=\"1\" y=\"2\" x=\"3\" z=\"&lt;&amp;\"/>", "A", nullptr, {{"y", "2"}, {"x", "3"}, {"z", "<&"}}, {}},
    // "<" and ">" may stand inside quoted values.
    {"<A x=\"a<b>c\" y=\"/>\"></A>", "A", nullptr, {{"x", "a<b>c"}, {"y", "/>"}}, {}},
    // Leading whitespace of content is dropped, trailing kept.
    {"<A>  hello \n</A>", "A", "hello \n", {}, {}},
    // Text after a child's end tag is the element's text.
    {"<A><B></B>two</A>", "A", "two", {}, {"B"}},
    // After "/>" one word is accepted as text, and so is a quoted string.
    {"<A><B/>word</A>", "A", "word", {}, {"B"}},
    {"<A><B/>\"two words\"</A>", "A", "two words", {}, {"B"}},
    // A reference of 2^31 or more writes nothing: no text, so a later run is the first.
    {"<A>&#x80000000;<B></B>two</A>", "A", "two", {}, {"B"}},
    {"<A>&lt;&#65;&#x42;&amp;amp;&foo;</A>", "A", "<AB&amp;&foo;", {}, {}},
    // In content, "=" and ">" are text; after the root anything goes.
    {"<A>=></A>", "A", "=>", {}, {}},
    {"<A/>trailing <garbage & \x01", "A", nullptr, {}, {}},
    // Multi-byte UTF-8 passes through.
    {"<A t=\"Caf\xC3\xA9\">\xE2\x82\xAC \xF0\x9F\x8E\xB5</A>", "A", "\xE2\x82\xAC \xF0\x9F\x8E\xB5",
     {{"t", "Caf\xC3\xA9"}}, {}},
    // Quirks of the token sequence: whitespace between "<" and the name and
    // inside end tags; an unquoted value of name characters; a quoted string
    // where a name is expected; names that start with a digit; names end at a
    // NUL byte.
    {"< A x = \"1\" >t</ A >", "A", "t", {{"x", "1"}}, {}},
    {"<A x=y9_/>", "A", nullptr, {{"x", "y9_"}}, {}},
    {"<\"a b\" \"c\"=\"d\"></\"a b\">", "a b", nullptr, {{"c", "d"}}, {}},
    {"<3>x</3>", "3", "x", {}, {}},
    {std::string("<\"a\0b\"/>", 8), "a", nullptr, {}, {}},
};

TEST(XmlParse, RootOfEachDocument) {
  for (const TreeCase& c : kTreeCases) {
    SCOPED_TRACE(c.doc);
    Parsed p = Parse(c.doc);
    ASSERT_EQ(p.status, kXmlOk);
    const XmlNode* root = p.root.get();
    EXPECT_EQ(XmlNode_GetName(root), c.name);
    if (c.text == nullptr) {
      EXPECT_EQ(XmlNode_GetText(root), nullptr);
    } else {
      EXPECT_STREQ(XmlNode_GetText(root), c.text);
    }
    ASSERT_EQ(XmlNode_AttributeCount(root), c.attributes.size());
    for (size_t i = 0; i < c.attributes.size(); ++i) {
      EXPECT_EQ(XmlNode_AttributeNameAt(root, i), c.attributes[i].first);
      EXPECT_EQ(XmlNode_AttributeValueAt(root, i), c.attributes[i].second);
      EXPECT_EQ(XmlNode_GetAttribute(root, c.attributes[i].first.c_str()), c.attributes[i].second);
    }
    EXPECT_EQ(XmlNode_AttributeNameAt(root, c.attributes.size()), nullptr);
    if (c.absent_attribute != nullptr) {
      EXPECT_EQ(XmlNode_GetAttribute(root, c.absent_attribute), nullptr);
    }
    ASSERT_EQ(XmlNode_ChildCount(root), c.children.size());
    for (size_t i = 0; i < c.children.size(); ++i) EXPECT_EQ(XmlNode_GetName(XmlNode_ChildAt(root, i)), c.children[i]);
  }
}

// The attributes of a node as (name, value) pairs in list order.
Attributes AttributesOf(const XmlNode* node) {
  Attributes out;
  for (const XmlAttribute* a = XmlNode_FirstAttribute(node); a != nullptr; a = XmlAttribute_Next(a)) {
    out.emplace_back(XmlAttribute_Name(a), XmlAttribute_Value(a));
  }
  return out;
}

TEST(XmlParse, ManyAttributesResolveAsIfSetOneByOne) {
  // Tags of few and of many attributes, names drawn from a small pool so that
  // they repeat, some values empty: the parsed list equals what
  // XmlNode_SetAttribute gives for the same sequence.
  std::mt19937 random(7);
  for (size_t count : {1u, 5u, 16u, 17u, 40u, 3000u}) {
    std::string doc = "<E";
    XmlNodePtr expected(XmlNode_NewElement("E", nullptr));
    for (size_t i = 0; i < count; ++i) {
      const std::string name = "n" + std::to_string(random() % (count / 3 + 2));
      const std::string value = random() % 5 == 0 ? "" : std::to_string(i);
      doc += " " + name + "=\"" + value + "\"";
      XmlNode_SetAttribute(expected.get(), name.c_str(), value.c_str());
    }
    Parsed p = Parse(doc + "/>");
    ASSERT_EQ(p.status, kXmlOk) << count;
    EXPECT_EQ(AttributesOf(p.root.get()), AttributesOf(expected.get())) << count;
  }
  // A hundred thousand distinct attributes, the first one set again at the
  // end and another removed.
  std::string doc = "<E";
  for (int i = 0; i < 100000; ++i) doc += " a" + std::to_string(i) + "=\"v\"";
  Parsed p = Parse(doc + " a0=\"last\" a5=\"\"/>");
  ASSERT_EQ(p.status, kXmlOk);
  const Attributes attributes = AttributesOf(p.root.get());
  ASSERT_EQ(attributes.size(), 99999u);
  EXPECT_EQ(attributes.front().first, "a1");
  EXPECT_EQ(attributes.back(), (std::pair<std::string, std::string>("a0", "last")));
  EXPECT_EQ(XmlNode_GetAttribute(p.root.get(), "a5"), nullptr);
}

TEST(XmlParse, NestedTree) {
  Parsed p = Parse(
      "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
      "<LIST NAME=\"PRESETS\">\n"
      "  <PSET>\n"
      "    <CRITERIA MATCH=\"all\">\n"
      "      <CRIT ORDER=\"0\"><FIELD TYPE=\"STR\">track_genre</FIELD></CRIT>\n"
      "    </CRITERIA>\n"
      "    <NAME>Rock &amp; Roll</NAME>\n"
      "    <DESC></DESC>\n"
      "  </PSET>\n"
      "</LIST>\n");
  ASSERT_EQ(p.status, kXmlOk);
  XmlNode* list = p.root.get();
  EXPECT_STREQ(XmlNode_GetAttribute(list, "NAME"), "PRESETS");
  EXPECT_EQ(XmlNode_GetText(list), nullptr);
  XmlNode* pset = XmlNode_FindChild(list, "PSET");
  ASSERT_NE(pset, nullptr);
  EXPECT_EQ(XmlNode_ChildCount(pset), 3u);
  EXPECT_STREQ(XmlNode_GetTextByPath(pset, "NAME"), "Rock & Roll");
  EXPECT_STREQ(XmlNode_GetTextByPath(list, "PSET/CRITERIA/CRIT/FIELD"), "track_genre");
  EXPECT_EQ(XmlNode_GetTextByPath(pset, "DESC"), nullptr);
  EXPECT_STREQ(XmlNode_GetAttribute(XmlNode_FindChild(pset, "CRITERIA"), "MATCH"), "all");
}

// --- Depth ------------------------------------------------------------------

std::string Nested(size_t depth) {
  std::string doc;
  for (size_t i = 0; i < depth; ++i) doc += "<A>";
  for (size_t i = 0; i < depth; ++i) doc += "</A>";
  return doc;
}

TEST(XmlParse, DepthLimit) {
  Parsed p = Parse(Nested(kXmlMaxDepth));
  ASSERT_EQ(p.status, kXmlOk);
  size_t depth = 1;
  for (XmlNode* n = p.root.get(); XmlNode_FirstChild(n) != nullptr; n = XmlNode_FirstChild(n)) {
    ++depth;
  }
  EXPECT_EQ(depth, kXmlMaxDepth);
  EXPECT_EQ(Status(Nested(kXmlMaxDepth + 1)), kXmlMalformed);
}

TEST(XmlParse, MillionLevelsReturnAStatus) {
  std::string open;
  for (int i = 0; i < 1000000; ++i) open += "<A>";
  EXPECT_EQ(Status(open), kXmlMalformed);
  EXPECT_EQ(Status(Nested(1000000)), kXmlMalformed);
  std::string empties;
  for (int i = 0; i < 1000000; ++i) empties += "<A><B/>";
  EXPECT_EQ(Status(empties), kXmlMalformed);
}

TEST(XmlParse, ManySiblings) {
  std::string doc = "<R>";
  for (int i = 0; i < 100000; ++i) doc += "<C a=\"" + std::to_string(i) + "\">t</C>";
  doc += "</R>";
  Parsed p = Parse(doc);
  ASSERT_EQ(p.status, kXmlOk);
  EXPECT_EQ(XmlNode_ChildCount(p.root.get()), 100000u);
}

// --- Tokenizer --------------------------------------------------------------

struct Tok {
  int kind;
  std::string bytes;
  bool operator==(const Tok& o) const { return kind == o.kind && bytes == o.bytes; }
};

std::vector<Tok> Tokens(const std::string& text, int* final_status) {
  XmlReader reader;
  XmlReader_Init(&reader, text.data(), text.size());
  std::vector<Tok> out;
  XmlToken t;
  int rc;
  while ((rc = XmlReader_Next(&reader, &t)) == kXmlOk) {
    out.push_back({t.kind, std::string(t.start, t.length)});
  }
  *final_status = rc;
  return out;
}

// Every token of an input, and the status that ends it.
struct TokenCase {
  std::string text;
  std::vector<Tok> tokens;
  int final_status;
};
const TokenCase kTokenCases[] = {
    // A typical document: the input ends after the last ">".
    {"<A x=\"1>\" y=\"\">  text \n<B/></A>",
     {{2, "<"}, {6, "A"}, {6, "x"}, {5, "="}, {6, "1>"}, {6, "y"}, {5, "="}, {6, ""},
      {3, ">"}, {6, "text \n"}, {2, "<"}, {6, "B"}, {8, "/>"}, {4, "</"}, {6, "A"}, {3, ">"}},
     kXmlTruncated},
    {"/ /x/>", {{7, "/"}, {7, "/"}, {6, "x"}, {8, "/>"}}, kXmlTruncated},
    // After ">" leading whitespace is dropped and the run ends only at "<";
    // "<" at the end is an incomplete token.
    {">  a b=\"c\" <", {{3, ">"}, {6, "a b=\"c\" "}}, kXmlTruncated},
    // Content made of whitespace only, then a tag: no text token.
    {"> \t\r\n\v\f<A", {{3, ">"}, {2, "<"}}, kXmlTruncated},
    {"'", {}, kXmlIllegalCharacter},
    {"<!", {{2, "<"}}, kXmlIllegalCharacter},  // "<" emits kind 2, then "!" is illegal
    {"\"unterminated", {}, kXmlTruncated},
    {"name", {}, kXmlTruncated},
    {"", {}, kXmlTruncated},
};

TEST(XmlTokenizer, TokensOfEachInput) {
  for (const TokenCase& c : kTokenCases) {
    int rc;
    EXPECT_EQ(Tokens(c.text, &rc), c.tokens) << c.text;
    EXPECT_EQ(rc, c.final_status) << c.text;
  }
  XmlReader reader;
  XmlReader_Init(&reader, "x", 1);
  EXPECT_EQ(XmlReader_Next(&reader, nullptr), kXmlInvalidArgument);
}

TEST(XmlTokenizer, NameAndSpaceCharacters) {
  // "<A", one byte, "/>": name and space characters keep the element whole;
  // these bytes give their own statuses; every other byte is illegal.
  const std::map<char, int> kOwnStatus = {
      {'/', kXmlMalformed},   // "/" then "/": kind 7 in a start tag
      {'>', kXmlTruncated},   // "<A>/>": a text run that never ends
      {'<', kXmlMalformed},
      {'=', kXmlMalformed},
      {'"', kXmlTruncated},
  };
  for (int c = 0; c < 256; ++c) {
    const bool name = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '_';
    const bool space = c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    const auto own = kOwnStatus.find(static_cast<char>(c));
    const int expected = name || space ? kXmlOk : own != kOwnStatus.end() ? own->second : kXmlIllegalCharacter;
    EXPECT_EQ(Status(std::string("<A") + static_cast<char>(c) + "/>"), expected) << c;
  }
}

// --- Entity decoding and UTF-8 ----------------------------------------------

std::string Decode(const std::string& in) {
  char* out = nullptr;
  size_t n = 0;
  EXPECT_EQ(XmlText_Decode(in.data(), in.size(), &out, &n), kXmlOk);
  std::string s = out != nullptr ? std::string(out, n) : std::string();
  if (out != nullptr) {
    EXPECT_EQ(out[n], '\0');
  }
  XmlText_Free(out);
  return s;
}

struct DecodeCase {
  std::string in;
  std::string out;
};
const DecodeCase kDecodeCases[] = {
    {"&lt;&#65;&#x42;&amp;amp;&foo;", "<AB&amp;&foo;"},
    {"&#x20AC;", "\xE2\x82\xAC"},
    {"&#X41;", "&#X41;"},  // only a lower-case "x" makes a hexadecimal reference
    // The five predefined entities, each only whole, inside the input and
    // spelled exactly.
    {"&lt;&gt;&amp;&apos;&quot;", "<>&'\""},
    {"a&lt", "a&lt"},
    {"&quot", "&quot"},
    {"&LT;", "&LT;"},
    {"&&amp;", "&&"},
    {"&", "&"},
    // Numeric references.
    {"&#9;", "\t"},
    {"&#x41;&#x61;&#xfF;", "Aa\xC3\xBF"},
    {"&#65", "&#65"},                        // no ";"
    {"&#6a;", "&#6a;"},                      // a non-digit before ";"
    {"&#xG;", "&#xG;"},
    {"&#;", "&#;"},                          // fewer than 4 bytes from the "&"
    {"&#;x", std::string("\0x", 2)},         // no digits: code point 0
    {"&#x;", std::string("\0", 1)},
    {"&#4294967361;", "A"},                  // accumulated in 32 bits, wrapping: 2^32 + 65
    {"&#x80000000;x", "x"},                  // 2^31 and above write nothing
    {"&#x7FFFFFFF;", "\xFD\xBF\xBF\xBF\xBF\xBF"},
    {"&#100000000000000000000;", "\xFD\xA3\x84\x80\x80\x80"},  // 10^20 mod 2^32 = 0x63100000
};

TEST(XmlDecode, EachText) {
  for (const DecodeCase& c : kDecodeCases) EXPECT_EQ(Decode(c.in), c.out) << c.in;
}

TEST(XmlDecode, LengthZeroAndArguments) {
  char* out = reinterpret_cast<char*>(0x1);
  size_t n = 7;
  EXPECT_EQ(XmlText_Decode("x", 0, &out, &n), kXmlOk);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(XmlText_Decode(nullptr, 3, &out, &n), kXmlInvalidArgument);
  EXPECT_EQ(XmlText_Decode("x", 1, nullptr, &n), kXmlInvalidArgument);
}

TEST(XmlDecode, NeverLongerThanInput) {
  for (uint32_t cp : {0u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xFFFFu, 0x10000u, 0x1FFFFFu, 0x200000u,
                      0x3FFFFFFu, 0x4000000u, 0x7FFFFFFFu}) {
    char hex[32];
    std::snprintf(hex, sizeof(hex), "&#x%x;", cp);
    EXPECT_LE(Decode(hex).size(), std::strlen(hex)) << hex;
  }
}

TEST(Utf8Encode, RangesOfRfc2279) {
  struct Case {
    uint32_t cp;
    std::string bytes;
  };
  const Case cases[] = {
      {0x0, std::string("\0", 1)},
      {0x41, "A"},
      {0x7F, "\x7F"},
      {0x80, "\xC2\x80"},
      {0x7FF, "\xDF\xBF"},
      {0x800, "\xE0\xA0\x80"},
      {0x20AC, "\xE2\x82\xAC"},
      {0xFFFF, "\xEF\xBF\xBF"},
      {0x10000, "\xF0\x90\x80\x80"},
      {0x1F3B5, "\xF0\x9F\x8E\xB5"},
      {0x1FFFFF, "\xF7\xBF\xBF\xBF"},
      {0x200000, "\xF8\x88\x80\x80\x80"},
      {0x3FFFFFF, "\xFB\xBF\xBF\xBF\xBF"},
      {0x4000000, "\xFC\x84\x80\x80\x80\x80"},
      {0x7FFFFFFF, "\xFD\xBF\xBF\xBF\xBF\xBF"},
  };
  for (const Case& c : cases) {
    char out[8] = {};
    const int n = Utf8_Encode(c.cp, out);
    EXPECT_EQ(std::string(out, n), c.bytes) << std::hex << c.cp;
    EXPECT_EQ(Utf8_Encode(c.cp, nullptr), n);
  }
  char out[8] = {};
  EXPECT_EQ(Utf8_Encode(0x80000000u, out), 0);
  EXPECT_EQ(Utf8_Encode(0xFFFFFFFFu, nullptr), 0);
}

}  // namespace
}  // namespace tavo
