// Parser, tokenizer, entity decoding and UTF-8 encoding of the XML layer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
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

TEST(XmlParse, DeclarationAndLeadingWhitespace) {
  for (const char* doc : {"<?xml version=\"1.0\"?><A/>", "  <A/>"}) {
    Parsed p = Parse(doc);
    ASSERT_EQ(p.status, kXmlOk) << doc;
    EXPECT_STREQ(XmlNode_GetName(p.root.get()), "A");
    EXPECT_EQ(XmlNode_ChildCount(p.root.get()), 0u);
    EXPECT_EQ(XmlNode_AttributeCount(p.root.get()), 0u);
    EXPECT_EQ(XmlNode_GetText(p.root.get()), nullptr);
  }
}

TEST(XmlParse, UpperCaseDeclarationIsMalformed) {
  EXPECT_EQ(Status("<?XML version=\"1.0\"?><A/>"), kXmlMalformed);
}

TEST(XmlParse, LeadingCommentIsIllegalCharacter) {
  EXPECT_EQ(Status("<!-- note --><A/>"), kXmlIllegalCharacter);
}

TEST(XmlParse, EmptyAttributeValueSetsNothing) {
  Parsed p = Parse("<A x=\"\"/>");
  ASSERT_EQ(p.status, kXmlOk);
  EXPECT_EQ(XmlNode_AttributeCount(p.root.get()), 0u);
}

TEST(XmlParse, SingleQuotedAttributeIsIllegal) {
  EXPECT_EQ(Status("<A x='1'/>"), kXmlIllegalCharacter);
}

TEST(XmlParse, LeadingWhitespaceDroppedTrailingKept) {
  Parsed p = Parse("<A>  hello \n</A>");
  ASSERT_EQ(p.status, kXmlOk);
  EXPECT_STREQ(XmlNode_GetText(p.root.get()), "hello \n");
}

TEST(XmlParse, SecondTextRunIsMalformed) {
  EXPECT_EQ(Status("<A>one<B></B>two</A>"), kXmlMalformed);
}

TEST(XmlParse, TextAfterChildEndTag) {
  Parsed p = Parse("<A><B></B>two</A>");
  ASSERT_EQ(p.status, kXmlOk);
  EXPECT_STREQ(XmlNode_GetText(p.root.get()), "two");
  ASSERT_EQ(XmlNode_ChildCount(p.root.get()), 1u);
  EXPECT_STREQ(XmlNode_GetName(XmlNode_ChildAt(p.root.get(), 0)), "B");
}

TEST(XmlParse, WordsAfterEmptyElementTag) {
  // After "/>" the tokenizer stays outside content mode: two words are two
  // name tokens, hence two runs of text; one word is accepted as text.
  EXPECT_EQ(Status("<A><B/>two words</A>"), kXmlMalformed);
  Parsed p = Parse("<A><B/>word</A>");
  ASSERT_EQ(p.status, kXmlOk);
  EXPECT_STREQ(XmlNode_GetText(p.root.get()), "word");
  EXPECT_EQ(Status("<A><B/>a=b</A>"), kXmlMalformed);
  EXPECT_EQ(Status("<A><B/>a-b</A>"), kXmlIllegalCharacter);
}

TEST(XmlParse, EndTagComparesCaseSensitively) {
  EXPECT_EQ(Status("<A></a>"), kXmlMalformed);
  EXPECT_EQ(Status("<AB></A>"), kXmlMalformed);
  EXPECT_EQ(Status("<A></AB>"), kXmlMalformed);
}

// --- Statuses ---------------------------------------------------------------

TEST(XmlParse, InvalidArguments) {
  XmlNode* root = nullptr;
  EXPECT_EQ(XmlDocument_Parse(nullptr, 3, &root), kXmlInvalidArgument);
  EXPECT_EQ(XmlDocument_Parse("<A/>", 0, &root), kXmlInvalidArgument);
  EXPECT_EQ(XmlDocument_Parse("<A/>", 4, nullptr), kXmlInvalidArgument);
}

TEST(XmlParse, MissingRootAndDeclarationErrors) {
  EXPECT_EQ(Status("   "), kXmlMalformed);
  EXPECT_EQ(Status("A"), kXmlMalformed);
  EXPECT_EQ(Status("<?xml version=\"1.0\"?>"), kXmlMalformed);
  EXPECT_EQ(Status("<?xml version=\"1.0\"?>  "), kXmlMalformed);
  EXPECT_EQ(Status("<?xml version=\"1.0\"?>x"), kXmlMalformed);
  EXPECT_EQ(Status("<?xml version=\"1.0\"><A/>"), kXmlMalformed);  // no closing "?"
  EXPECT_EQ(Status("<"), kXmlMalformed);  // no complete first token
  EXPECT_EQ(Status("<?xm"), kXmlMalformed);
  EXPECT_EQ(Status("<?xml"), kXmlMalformed);
  EXPECT_EQ(Status("<?xml?"), kXmlMalformed);
  EXPECT_EQ(Status("<?xml ?x<A/>"), kXmlMalformed);
  EXPECT_EQ(Status("<?xml?><A/>"), kXmlOk);
  // Version and encoding are not looked at.
  EXPECT_EQ(Status("<?xml anything \"<>\" goes?>\n<A/>"), kXmlOk);
  // Only one declaration.
  EXPECT_EQ(Status("<?xml?><?xml?><A/>"), kXmlIllegalCharacter);
}

TEST(XmlParse, TruncatedInput) {
  for (const char* doc : {"<A", "<A ", "<A>", "<A>text", "<A x", "<A x=", "<A x=\"1",
                          "<A></A", "<A></", "<A><B>", "<A/", "<A><B/>", "<A>  "}) {
    EXPECT_EQ(Status(doc), kXmlTruncated) << doc;
  }
}

TEST(XmlParse, IllegalCharacters) {
  for (const char* doc : {"<A x=1.5/>", "<A-B/>", "<A:B/>", "<A\x01/>", "<A>x</A:B>",
                          "<A><!-- c --></A>", "<A><?pi?></A>", "<A><![CDATA[x]]></A>",
                          "<A x=\"1\" 'y'/>", "<\xC3\xA9/>"}) {
    EXPECT_EQ(Status(doc), kXmlIllegalCharacter) << doc;
  }
  EXPECT_EQ(Status("<!DOCTYPE A><A/>"), kXmlIllegalCharacter);
}

TEST(XmlParse, WrongTokenSequences) {
  for (const char* doc : {"<>", "<=A/>", "<A x/>", "<A x=/>", "<A x==\"1\"/>", "<A =\"1\"/>",
                          "<A></A x>", "<A></>", "</A>", "<A//>",
                          "<A / >", "<A x=\"1\"/ >", "<\"\"></\"\">", "<A \"\"=\"1\"/>"}) {
    EXPECT_EQ(Status(doc), kXmlMalformed) << doc;
  }
}

TEST(XmlParse, AnythingAfterRootIsIgnored) {
  Parsed p = Parse("<A/>trailing <garbage & \x01");
  ASSERT_EQ(p.status, kXmlOk);
  EXPECT_STREQ(XmlNode_GetName(p.root.get()), "A");
  EXPECT_EQ(Status("<A></A><<<"), kXmlOk);
  // In content, "=" and ">" are text.
  Parsed q = Parse("<A>=></A>");
  ASSERT_EQ(q.status, kXmlOk);
  EXPECT_STREQ(XmlNode_GetText(q.root.get()), "=>");
  EXPECT_EQ(Status("<A><B></B>>"), kXmlTruncated);
}

// --- Attributes and names ---------------------------------------------------

TEST(XmlParse, AttributesInOrderAndResetMovesLast) {
  Parsed p = Parse("<A x=\"1\" y=\"2\" x=\"3\" z=\"&lt;&amp;\"/>");
  ASSERT_EQ(p.status, kXmlOk);
  XmlNode* a = p.root.get();
  ASSERT_EQ(XmlNode_AttributeCount(a), 3u);
  EXPECT_STREQ(XmlNode_AttributeNameAt(a, 0), "y");
  EXPECT_STREQ(XmlNode_AttributeNameAt(a, 1), "x");
  EXPECT_STREQ(XmlNode_AttributeValueAt(a, 1), "3");
  EXPECT_STREQ(XmlNode_AttributeNameAt(a, 2), "z");
  EXPECT_STREQ(XmlNode_GetAttribute(a, "z"), "<&");
  EXPECT_EQ(XmlNode_AttributeNameAt(a, 3), nullptr);
}

TEST(XmlParse, EmptyValueRemovesEarlierAttribute) {
  Parsed p = Parse("<A x=\"1\" y=\"2\" x=\"\"/>");
  ASSERT_EQ(p.status, kXmlOk);
  EXPECT_EQ(XmlNode_AttributeCount(p.root.get()), 1u);
  EXPECT_EQ(XmlNode_GetAttribute(p.root.get(), "x"), nullptr);
}

TEST(XmlParse, AngleBracketsInsideQuotedValue) {
  Parsed p = Parse("<A x=\"a<b>c\" y=\"/>\"></A>");
  ASSERT_EQ(p.status, kXmlOk);
  EXPECT_STREQ(XmlNode_GetAttribute(p.root.get(), "x"), "a<b>c");
  EXPECT_STREQ(XmlNode_GetAttribute(p.root.get(), "y"), "/>");
}

TEST(XmlParse, QuirksOfTheTokenSequence) {
  // Whitespace may stand between "<" and the name, and inside end tags.
  Parsed p = Parse("< A x = \"1\" >t</ A >");
  ASSERT_EQ(p.status, kXmlOk);
  EXPECT_STREQ(XmlNode_GetName(p.root.get()), "A");
  EXPECT_STREQ(XmlNode_GetAttribute(p.root.get(), "x"), "1");
  // An unquoted value made of name characters is a kind 6 token too.
  p = Parse("<A x=y9_/>");
  ASSERT_EQ(p.status, kXmlOk);
  EXPECT_STREQ(XmlNode_GetAttribute(p.root.get(), "x"), "y9_");
  // A quoted string stands where a name is expected.
  p = Parse("<\"a b\" \"c\"=\"d\"></\"a b\">");
  ASSERT_EQ(p.status, kXmlOk);
  EXPECT_STREQ(XmlNode_GetName(p.root.get()), "a b");
  EXPECT_STREQ(XmlNode_GetAttribute(p.root.get(), "c"), "d");
  // Names may start with a digit.
  p = Parse("<3>x</3>");
  ASSERT_EQ(p.status, kXmlOk);
  EXPECT_STREQ(XmlNode_GetName(p.root.get()), "3");
}

TEST(XmlParse, NamesAreNulTerminatedStrings) {
  const std::string nul_first("<\"\0a\"/>", 7);
  EXPECT_EQ(Status(nul_first), kXmlMalformed);
  const std::string nul_inside("<\"a\0b\"/>", 8);
  Parsed p = Parse(nul_inside);
  ASSERT_EQ(p.status, kXmlOk);
  EXPECT_STREQ(XmlNode_GetName(p.root.get()), "a");
}

// --- Text -------------------------------------------------------------------

TEST(XmlParse, TextIsDecoded) {
  Parsed p = Parse("<A>&lt;&#65;&#x42;&amp;amp;&foo;</A>");
  ASSERT_EQ(p.status, kXmlOk);
  EXPECT_STREQ(XmlNode_GetText(p.root.get()), "<AB&amp;&foo;");
}

TEST(XmlParse, TextAfterEmptyElementIsQuotedString) {
  Parsed p = Parse("<A><B/>\"two words\"</A>");
  ASSERT_EQ(p.status, kXmlOk);
  EXPECT_STREQ(XmlNode_GetText(p.root.get()), "two words");
}

TEST(XmlParse, TextThatDecodesToNothingIsNoText) {
  // A reference of 2^31 or more writes nothing: the element has no text, so a
  // later run is its first.
  Parsed p = Parse("<A>&#x80000000;<B></B>two</A>");
  ASSERT_EQ(p.status, kXmlOk);
  EXPECT_STREQ(XmlNode_GetText(p.root.get()), "two");
}

TEST(XmlParse, MultiByteUtf8PassesThrough) {
  Parsed p = Parse("<A t=\"Caf\xC3\xA9\">\xE2\x82\xAC \xF0\x9F\x8E\xB5</A>");
  ASSERT_EQ(p.status, kXmlOk);
  EXPECT_STREQ(XmlNode_GetText(p.root.get()), "\xE2\x82\xAC \xF0\x9F\x8E\xB5");
  EXPECT_STREQ(XmlNode_GetAttribute(p.root.get(), "t"), "Caf\xC3\xA9");
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

TEST(XmlTokenizer, TokenKindsOfATypicalDocument) {
  int rc;
  auto toks = Tokens("<A x=\"1>\" y=\"\">  text \n<B/></A>", &rc);
  const std::vector<Tok> expected = {
      {2, "<"}, {6, "A"}, {6, "x"}, {5, "="}, {6, "1>"}, {6, "y"}, {5, "="}, {6, ""},
      {3, ">"}, {6, "text \n"}, {2, "<"}, {6, "B"}, {8, "/>"}, {4, "</"}, {6, "A"}, {3, ">"}};
  EXPECT_EQ(toks, expected);
  EXPECT_EQ(rc, kXmlTruncated);  // the input ends after the last ">"
}

TEST(XmlTokenizer, SlashNotFollowedByGreater) {
  int rc;
  auto toks = Tokens("/ /x/>", &rc);
  const std::vector<Tok> expected = {{7, "/"}, {7, "/"}, {6, "x"}, {8, "/>"}};
  EXPECT_EQ(toks, expected);
  EXPECT_EQ(rc, kXmlTruncated);
}

TEST(XmlTokenizer, ContentModeOnlyAfterGreater) {
  int rc;
  // After ">" leading whitespace is dropped and the run ends only at "<".
  auto toks = Tokens(">  a b=\"c\" <", &rc);
  ASSERT_GE(toks.size(), 2u);
  EXPECT_EQ(toks[0], (Tok{3, ">"}));
  EXPECT_EQ(toks[1], (Tok{6, "a b=\"c\" "}));
  EXPECT_EQ(rc, kXmlTruncated);  // "<" at the end is an incomplete token
  // Content made of whitespace only, then a tag: no text token.
  toks = Tokens("> \t\r\n\v\f<A", &rc);
  ASSERT_EQ(toks.size(), 2u);
  EXPECT_EQ(toks[1], (Tok{2, "<"}));
}

TEST(XmlTokenizer, Errors) {
  int rc;
  Tokens("'", &rc);
  EXPECT_EQ(rc, kXmlIllegalCharacter);
  Tokens("<!", &rc);  // "<" emits kind 2, then "!" is illegal
  EXPECT_EQ(rc, kXmlIllegalCharacter);
  auto toks = Tokens("\"unterminated", &rc);
  EXPECT_TRUE(toks.empty());
  EXPECT_EQ(rc, kXmlTruncated);
  toks = Tokens("name", &rc);
  EXPECT_TRUE(toks.empty());
  EXPECT_EQ(rc, kXmlTruncated);
  toks = Tokens("", &rc);
  EXPECT_EQ(rc, kXmlTruncated);
  XmlReader reader;
  XmlReader_Init(&reader, "x", 1);
  EXPECT_EQ(XmlReader_Next(&reader, nullptr), kXmlInvalidArgument);
}

TEST(XmlTokenizer, NameAndSpaceCharacters) {
  for (int c = 0; c < 256; ++c) {
    const bool name = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '_';
    const bool space = c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    const std::string doc = std::string("<A") + static_cast<char>(c) + "/>";
    int rc = Status(doc);
    if (name) {
      EXPECT_EQ(rc, kXmlOk) << c;
    } else if (space) {
      EXPECT_EQ(rc, kXmlOk) << c;
    } else if (c == '/') {
      EXPECT_EQ(rc, kXmlMalformed) << c;  // "/" then "/": kind 7 in a start tag
    } else if (c == '>') {
      EXPECT_EQ(rc, kXmlTruncated) << c;  // "<A>/>": a text run that never ends
    } else if (c == '<') {
      EXPECT_EQ(rc, kXmlMalformed) << c;
    } else if (c == '=') {
      EXPECT_EQ(rc, kXmlMalformed) << c;
    } else if (c == '"') {
      EXPECT_EQ(rc, kXmlTruncated) << c;
    } else {
      EXPECT_EQ(rc, kXmlIllegalCharacter) << c;
    }
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

TEST(XmlDecode, Examples) {
  EXPECT_EQ(Decode("&lt;&#65;&#x42;&amp;amp;&foo;"), "<AB&amp;&foo;");
  EXPECT_EQ(Decode("&#x20AC;"), "\xE2\x82\xAC");
  EXPECT_EQ(Decode("&#X41;"), "&#X41;");
}

TEST(XmlDecode, PredefinedEntities) {
  EXPECT_EQ(Decode("&lt;&gt;&amp;&apos;&quot;"), "<>&'\"");
  EXPECT_EQ(Decode("a&lt"), "a&lt");      // not wholly inside the input
  EXPECT_EQ(Decode("&quot"), "&quot");
  EXPECT_EQ(Decode("&LT;"), "&LT;");      // case-sensitive
  EXPECT_EQ(Decode("&&amp;"), "&&");
  EXPECT_EQ(Decode("&"), "&");
}

TEST(XmlDecode, NumericReferences) {
  EXPECT_EQ(Decode("&#9;"), "\t");
  EXPECT_EQ(Decode("&#x41;&#x61;&#xfF;"), "Aa\xC3\xBF");
  EXPECT_EQ(Decode("&#65"), "&#65");        // no ";"
  EXPECT_EQ(Decode("&#6a;"), "&#6a;");      // a non-digit before ";"
  EXPECT_EQ(Decode("&#xG;"), "&#xG;");
  EXPECT_EQ(Decode("&#;"), "&#;");          // fewer than 4 bytes from the "&"
  EXPECT_EQ(Decode("&#;x"), std::string("\0x", 2));  // no digits: code point 0
  EXPECT_EQ(Decode("&#x;"), std::string("\0", 1));
  // Accumulated in 32 bits, wrapping: 2^32 + 65.
  EXPECT_EQ(Decode("&#4294967361;"), "A");
  // 2^31 and above write nothing.
  EXPECT_EQ(Decode("&#x80000000;x"), "x");
  EXPECT_EQ(Decode("&#x7FFFFFFF;"), "\xFD\xBF\xBF\xBF\xBF\xBF");
  // 10^20 mod 2^32 = 1661992960 = 0x63100000: six bytes.
  EXPECT_EQ(Decode("&#100000000000000000000;").size(), 6u);
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
