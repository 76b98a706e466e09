// Element tree, setting by path, writer and text buffer of the XML layer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "data/xml/xml.h"

namespace tavo {
namespace {

std::string Serialize(const XmlNode* root, bool declaration, bool indent, bool breaks) {
  size_t n = 0;
  char* text = XmlDocument_Serialize(root, declaration, indent, breaks, &n);
  EXPECT_NE(text, nullptr);
  if (text == nullptr) return "<none>";
  std::string s(text, n);
  EXPECT_EQ(std::strlen(text), n);
  XmlText_Free(text);
  return s;
}

XmlNodePtr ParseOk(const std::string& doc) {
  XmlNode* root = nullptr;
  EXPECT_EQ(XmlDocument_Parse(doc.data(), doc.size(), &root), kXmlOk) << doc;
  return XmlNodePtr(root);
}

// --- Building and querying --------------------------------------------------

TEST(XmlTree, NewNodes) {
  XmlNodePtr empty(XmlNode_New());
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(XmlNode_GetName(empty.get()), nullptr);
  EXPECT_EQ(XmlNode_GetText(empty.get()), nullptr);
  EXPECT_EQ(XmlNode_NewElement(nullptr, "x"), nullptr);
  EXPECT_EQ(XmlNode_NewElement("", "x"), nullptr);
  XmlNodePtr a(XmlNode_NewElement("A", ""));
  EXPECT_STREQ(XmlNode_GetName(a.get()), "A");
  EXPECT_EQ(XmlNode_GetText(a.get()), nullptr);  // empty text is stored as none
  XmlNodePtr b(XmlNode_NewElement("B", "text"));
  EXPECT_STREQ(XmlNode_GetText(b.get()), "text");
  XmlNode_Free(nullptr);
}

TEST(XmlTree, NameAndText) {
  XmlNodePtr n(XmlNode_New());
  EXPECT_EQ(XmlNode_SetName(n.get(), ""), kXmlInvalidArgument);
  EXPECT_EQ(XmlNode_SetName(n.get(), nullptr), kXmlInvalidArgument);
  EXPECT_EQ(XmlNode_SetName(nullptr, "A"), kXmlInvalidArgument);
  EXPECT_EQ(XmlNode_SetName(n.get(), "ABCDEF", 3), kXmlOk);
  EXPECT_STREQ(XmlNode_GetName(n.get()), "ABC");
  EXPECT_EQ(XmlNode_SetName(n.get(), "Z"), kXmlOk);
  EXPECT_STREQ(XmlNode_GetName(n.get()), "Z");
  EXPECT_EQ(XmlNode_SetText(n.get(), "hello world", 5), kXmlOk);
  EXPECT_STREQ(XmlNode_GetText(n.get()), "hello");
  EXPECT_EQ(XmlNode_SetText(n.get(), ""), kXmlOk);
  EXPECT_EQ(XmlNode_GetText(n.get()), nullptr);
  EXPECT_EQ(XmlNode_SetText(n.get(), "again"), kXmlOk);
  EXPECT_EQ(XmlNode_SetText(n.get(), nullptr), kXmlOk);
  EXPECT_EQ(XmlNode_GetText(n.get()), nullptr);
  EXPECT_EQ(XmlNode_SetText(nullptr, "x"), kXmlInvalidArgument);
}

TEST(XmlTree, Attributes) {
  XmlNodePtr n(XmlNode_NewElement("A", nullptr));
  XmlNode* a = n.get();
  EXPECT_EQ(XmlNode_SetAttribute(a, "k", "1"), kXmlOk);
  EXPECT_EQ(XmlNode_SetAttribute(a, "l", "2"), kXmlOk);
  EXPECT_EQ(XmlNode_SetAttribute(a, "m", "3"), kXmlOk);
  EXPECT_EQ(XmlNode_AttributeCount(a), 3u);
  // Re-setting moves the attribute last.
  EXPECT_EQ(XmlNode_SetAttribute(a, "k", "4"), kXmlOk);
  EXPECT_STREQ(XmlNode_AttributeNameAt(a, 0), "l");
  EXPECT_STREQ(XmlNode_AttributeNameAt(a, 2), "k");
  EXPECT_STREQ(XmlNode_AttributeValueAt(a, 2), "4");
  EXPECT_EQ(XmlNode_AttributeNameAt(a, 3), nullptr);
  EXPECT_EQ(XmlNode_AttributeValueAt(a, 99), nullptr);
  // An empty or missing value removes it, and succeeds.
  EXPECT_EQ(XmlNode_SetAttribute(a, "l", ""), kXmlOk);
  EXPECT_EQ(XmlNode_SetAttribute(a, "m", nullptr), kXmlOk);
  EXPECT_EQ(XmlNode_SetAttribute(a, "absent", nullptr), kXmlOk);
  EXPECT_EQ(XmlNode_AttributeCount(a), 1u);
  // Lookups are exact and case-sensitive.
  EXPECT_STREQ(XmlNode_GetAttribute(a, "k"), "4");
  EXPECT_EQ(XmlNode_GetAttribute(a, "K"), nullptr);
  EXPECT_EQ(XmlNode_GetAttribute(a, "kk"), nullptr);
  EXPECT_EQ(XmlNode_GetAttribute(a, ""), nullptr);
  EXPECT_EQ(XmlNode_SetAttribute(a, "", "v"), kXmlInvalidArgument);
  EXPECT_EQ(XmlNode_SetAttribute(nullptr, "k", "v"), kXmlInvalidArgument);
  // Iteration.
  const XmlAttribute* at = XmlNode_FirstAttribute(a);
  ASSERT_NE(at, nullptr);
  EXPECT_STREQ(XmlAttribute_Name(at), "k");
  EXPECT_STREQ(XmlAttribute_Value(at), "4");
  EXPECT_EQ(XmlAttribute_Next(at), nullptr);
}

TEST(XmlTree, Children) {
  XmlNodePtr root(XmlNode_NewElement("R", nullptr));
  EXPECT_EQ(XmlNode_AppendChild(root.get(), XmlNode_NewElement("A", "1")), kXmlOk);
  EXPECT_EQ(XmlNode_AppendChild(root.get(), XmlNode_NewElement("B", "2")), kXmlOk);
  EXPECT_EQ(XmlNode_AppendChild(root.get(), XmlNode_NewElement("A", "3")), kXmlOk);
  EXPECT_EQ(XmlNode_AppendChild(root.get(), nullptr), kXmlInvalidArgument);
  EXPECT_EQ(XmlNode_AppendChild(nullptr, root.get()), kXmlInvalidArgument);
  EXPECT_EQ(XmlNode_ChildCount(root.get()), 3u);
  EXPECT_STREQ(XmlNode_GetText(XmlNode_ChildAt(root.get(), 2)), "3");
  EXPECT_EQ(XmlNode_ChildAt(root.get(), 3), nullptr);
  EXPECT_STREQ(XmlNode_GetText(XmlNode_FindChild(root.get(), "A")), "1");
  EXPECT_EQ(XmlNode_FindChild(root.get(), "a"), nullptr);
  EXPECT_EQ(XmlNode_FindChild(root.get(), ""), nullptr);
  int n = 0;
  for (XmlNode* c = XmlNode_FirstChild(root.get()); c != nullptr; c = XmlNode_NextSibling(c)) ++n;
  EXPECT_EQ(n, 3);
}

TEST(XmlTree, GetTextByPath) {
  XmlNodePtr root = ParseOk("<R>own<G><D>x</D><D>y</D><E/></G><G><F>z</F></G></R>");
  EXPECT_STREQ(XmlNode_GetTextByPath(root.get(), ""), "own");
  EXPECT_STREQ(XmlNode_GetTextByPath(root.get(), nullptr), "own");
  EXPECT_STREQ(XmlNode_GetTextByPath(root.get(), "G/D"), "x");  // first of each name
  EXPECT_EQ(XmlNode_GetTextByPath(root.get(), "G/F"), nullptr);  // only the first G is taken
  EXPECT_EQ(XmlNode_GetTextByPath(root.get(), "G/E"), nullptr);  // no text
  EXPECT_EQ(XmlNode_GetTextByPath(root.get(), "G"), nullptr);
  EXPECT_EQ(XmlNode_GetTextByPath(root.get(), "G/"), nullptr);
  EXPECT_EQ(XmlNode_GetTextByPath(root.get(), "/G/D"), nullptr);
  EXPECT_EQ(XmlNode_GetTextByPath(root.get(), "G//D"), nullptr);
  EXPECT_EQ(XmlNode_GetTextByPath(root.get(), "g/d"), nullptr);
  EXPECT_EQ(XmlNode_GetTextByPath(nullptr, "G"), nullptr);
  EXPECT_STREQ(XmlNode_GetTextByPath(root.get(), "G/Dxyz", 3), "x");
}

// --- Setting by path --------------------------------------------------------

const char* SameName(XmlNode*, const char* step, size_t length, void* context, int* kind) {
  auto* buffer = static_cast<std::string*>(context);
  buffer->assign(step, length);
  *kind = kXmlStepElement;
  return buffer->c_str();
}

// Steps starting with "at_" are attributes named after the rest.
const char* AttrMapper(XmlNode*, const char* step, size_t length, void* context, int* kind) {
  auto* buffer = static_cast<std::string*>(context);
  buffer->assign(step, length);
  if (buffer->rfind("at_", 0) == 0) {
    buffer->erase(0, 3);
    *kind = kXmlStepAttribute;
  } else if (*buffer == "BAD") {
    *kind = 3;
  } else {
    *kind = kXmlStepElement;
  }
  return buffer->c_str();
}

TEST(XmlSetByPath, CreatesAndReuses) {
  XmlNodePtr root(XmlNode_NewElement("R", nullptr));
  std::string buf;
  EXPECT_NE(XmlNode_SetByPath(root.get(), "G/D", "1", &buf, SameName), 0);
  EXPECT_NE(XmlNode_SetByPath(root.get(), "/G/E", "2", &buf, SameName), 0);
  EXPECT_NE(XmlNode_SetByPath(root.get(), "G/D", "3", &buf, SameName), 0);
  EXPECT_EQ(Serialize(root.get(), false, false, false), "<R><G><D>3</D><E>2</E></G></R>");
  // "+" always creates.
  EXPECT_NE(XmlNode_SetByPath(root.get(), "G/D+", "4", &buf, SameName), 0);
  EXPECT_NE(XmlNode_SetByPath(root.get(), "G+/D", "5", &buf, SameName), 0);
  EXPECT_EQ(Serialize(root.get(), false, false, false),
            "<R><G><D>3</D><E>2</E><D>4</D></G><G><D>5</D></G></R>");
}

TEST(XmlSetByPath, Attributes) {
  XmlNodePtr root(XmlNode_NewElement("R", nullptr));
  std::string buf;
  EXPECT_NE(XmlNode_SetByPath(root.get(), "P/at_k", "v", &buf, AttrMapper), 0);
  EXPECT_EQ(Serialize(root.get(), false, false, false), "<R><P k=\"v\"></P></R>");
  // An attribute step that is not last fails; the steps before it stay.
  EXPECT_EQ(XmlNode_SetByPath(root.get(), "Q/at_k/X", "v", &buf, AttrMapper), 0);
  EXPECT_NE(XmlNode_FindChild(root.get(), "Q"), nullptr);
  // A kind other than 1 or 2 fails.
  EXPECT_EQ(XmlNode_SetByPath(root.get(), "BAD", "v", &buf, AttrMapper), 0);
  // An empty value removes the attribute.
  EXPECT_NE(XmlNode_SetByPath(root.get(), "P/at_k", "", &buf, AttrMapper), 0);
  EXPECT_EQ(XmlNode_AttributeCount(XmlNode_FindChild(root.get(), "P")), 0u);
}

TEST(XmlSetByPath, Failures) {
  XmlNodePtr root(XmlNode_NewElement("R", nullptr));
  std::string buf;
  EXPECT_EQ(XmlNode_SetByPath(nullptr, "A", "v", &buf, SameName), 0);
  EXPECT_EQ(XmlNode_SetByPath(root.get(), "", "v", &buf, SameName), 0);
  EXPECT_EQ(XmlNode_SetByPath(root.get(), nullptr, "v", &buf, SameName), 0);
  EXPECT_EQ(XmlNode_SetByPath(root.get(), "A", "v", &buf, nullptr), 0);
  EXPECT_EQ(XmlNode_SetByPath(root.get(), "DEVFIELD%d", "v", &buf, SameName), 0);
  EXPECT_EQ(XmlNode_SetByPath(root.get(), "A-B", "v", &buf, SameName), 0);
  EXPECT_EQ(XmlNode_SetByPath(root.get(), "A+B", "v", &buf, SameName), 0);
  EXPECT_EQ(XmlNode_SetByPath(root.get(), "/", "v", &buf, SameName), 0);
  EXPECT_EQ(XmlNode_ChildCount(root.get()), 0u);
  // Malformed later steps leave the earlier ones created.
  EXPECT_EQ(XmlNode_SetByPath(root.get(), "A//B", "v", &buf, SameName), 0);
  EXPECT_EQ(XmlNode_SetByPath(root.get(), "C/", "v", &buf, SameName), 0);
  EXPECT_EQ(Serialize(root.get(), false, false, false), "<R><A></A><C></C></R>");
}

// --- Writer -----------------------------------------------------------------

TEST(XmlWrite, IndentedWithTextAndChild) {
  XmlNodePtr a(XmlNode_NewElement("A", "x&y"));
  XmlNode_SetAttribute(a.get(), "k", "a<b");
  XmlNode_AppendChild(a.get(), XmlNode_NewElement("B", nullptr));
  EXPECT_EQ(Serialize(a.get(), false, true, true), "<A k=\"a&lt;b\">\n  x&amp;y\n  <B></B>\n</A>\n");
  char* pretty = XmlDocument_SerializePretty(a.get(), false);
  EXPECT_STREQ(pretty, "<A k=\"a&lt;b\">\n  x&amp;y\n  <B></B>\n</A>\n");
  XmlText_Free(pretty);
}

const std::string kPrettyDocument =
    "<LIST NAME=\"PRESETS\">\n  <PSET>\n    <CRITERIA MATCH=\"all\">\n"
    "      <CRIT ORDER=\"0\">\n        <FIELD TYPE=\"STR\">track_genre</FIELD>\n"
    "      </CRIT>\n    </CRITERIA>\n    <NAME>A &amp; B &lt;3</NAME>\n"
    "    <DESC></DESC>\n  </PSET>\n</LIST>\n";

// A parsed document written with each combination of flags.
struct WriteCase {
  std::string doc;
  bool declaration, indent, breaks;
  std::string text;
};
const WriteCase kWriteCases[] = {
    {"<R><A>t</A><B><C/></B></R>", false, false, false, "<R><A>t</A><B><C></C></B></R>"},
    {"<R><A>t</A><B><C/></B></R>", true, false, false,
     "<?xml version=\"1.0\" encoding=\"UTF-8\" ?><R><A>t</A><B><C></C></B></R>"},
    {"<R><A>t</A><B><C/></B></R>", true, false, true,
     "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<R>\n<A>t</A>\n<B>\n<C></C>\n</B>\n</R>\n"},
    {"<R><A>t</A><B><C/></B></R>", false, true, false, "<R>  <A>t</A>  <B>    <C></C>  </B></R>"},
    {"<R><A>t</A><B><C/></B></R>", false, true, true, "<R>\n  <A>t</A>\n  <B>\n    <C></C>\n  </B>\n</R>\n"},
    // The text of an element with children comes first.
    {"<R><A></A>late</R>", false, false, false, "<R>late<A></A></R>"},
    // A pretty document reads and writes back unchanged.
    {kPrettyDocument, false, true, true, kPrettyDocument},
};

TEST(XmlWrite, EachDocumentAndFlags) {
  for (const WriteCase& c : kWriteCases) {
    XmlNodePtr r = ParseOk(c.doc);
    EXPECT_EQ(Serialize(r.get(), c.declaration, c.indent, c.breaks), c.text) << c.doc;
  }
}

TEST(XmlWrite, Escaping) {
  XmlNodePtr a(XmlNode_NewElement("A", "<>&'\" \xC3\xA9\x01\t"));
  XmlNode_SetAttribute(a.get(), "v", "\"'&<>");
  EXPECT_EQ(Serialize(a.get(), false, false, false),
            "<A v=\"&quot;&apos;&amp;&lt;&gt;\">&lt;&gt;&amp;&apos;&quot; \xC3\xA9\x01\t</A>");
}

TEST(XmlWrite, OnlyTheRootNotItsSiblings) {
  XmlNodePtr r = ParseOk("<R><A/><B/></R>");
  EXPECT_EQ(Serialize(XmlNode_FirstChild(r.get()), false, false, false), "<A></A>");
  EXPECT_EQ(XmlDocument_Serialize(nullptr, true, false, false), nullptr);
}

TEST(XmlWrite, DeepBuiltTree) {
  // A tree built by hand has no depth limit; writing and freeing it must not
  // recurse.
  XmlNodePtr root(XmlNode_NewElement("A", nullptr));
  XmlNode* cur = root.get();
  for (int i = 0; i < 200000; ++i) {
    XmlNode* c = XmlNode_NewElement("A", nullptr);
    XmlNode_AppendChild(cur, c);
    cur = c;
  }
  XmlNode_SetText(cur, "deep");
  size_t n = 0;
  char* text = XmlDocument_Serialize(root.get(), false, false, false, &n);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(n, 200001u * 7 + 4);
  XmlText_Free(text);
}

// --- Mixed ownership --------------------------------------------------------

TEST(XmlTree, EditingAParsedTree) {
  XmlNodePtr r = ParseOk("<R a=\"1\" b=\"2\"><A>x</A><B>y</B></R>");
  XmlNode* a = XmlNode_FindChild(r.get(), "A");
  EXPECT_EQ(XmlNode_SetText(a, "changed"), kXmlOk);
  EXPECT_EQ(XmlNode_SetName(a, "AA"), kXmlOk);
  EXPECT_EQ(XmlNode_SetAttribute(r.get(), "a", "3"), kXmlOk);
  EXPECT_EQ(XmlNode_SetAttribute(r.get(), "b", nullptr), kXmlOk);
  EXPECT_EQ(XmlNode_AppendChild(r.get(), XmlNode_NewElement("C", "z")), kXmlOk);
  XmlNode* other = nullptr;
  ASSERT_EQ(XmlDocument_Parse("<D><E>e</E></D>", 15, &other), kXmlOk);
  EXPECT_EQ(XmlNode_AppendChild(XmlNode_FindChild(r.get(), "B"), other), kXmlOk);
  EXPECT_EQ(Serialize(r.get(), false, false, false),
            "<R a=\"3\"><AA>changed</AA><B>y<D><E>e</E></D></B><C>z</C></R>");
  // Freeing r frees the appended heap node and the other parsed tree (ASan
  // builds check that nothing leaks or is freed twice).
}

TEST(XmlTree, ParsedTreeInsideBuiltTree) {
  XmlNodePtr root(XmlNode_NewElement("ROOT", nullptr));
  for (int i = 0; i < 3; ++i) {
    XmlNode* sub = nullptr;
    ASSERT_EQ(XmlDocument_Parse("<S><T>t</T></S>", 15, &sub), kXmlOk);
    if (i == 1) XmlNode_SetText(XmlNode_FirstChild(sub), "edited");
    XmlNode_AppendChild(root.get(), sub);
  }
  EXPECT_EQ(Serialize(root.get(), false, false, false),
            "<ROOT><S><T>t</T></S><S><T>edited</T></S><S><T>t</T></S></ROOT>");
}

// --- Out of memory ----------------------------------------------------------

TEST(XmlOutOfMemory, EveryAllocationOfParseAndWrite) {
  std::string doc_light = "<?xml version=\"1.0\"?><R a=\"1\">";
  for (int i = 0; i < 400; ++i) {
    doc_light += "<K" + std::to_string(i) + ">value &amp; more</K" + std::to_string(i) + ">";
  }
  doc_light += "</R>";
  // Four bytes per element: more nodes than the first arena block holds.
  std::string dense = "<R>";
  for (int i = 0; i < 5000; ++i) dense += "<A/>";
  dense += "</R>";
  bool saw_failure = false;
  for (long n = 1; n < 80; ++n) {
    const std::string& doc = n % 2 == 0 ? dense : doc_light;
    XmlTesting_FailAllocationAfter(n / 2 + 1);
    XmlNode* root = nullptr;
    const int rc = XmlDocument_Parse(doc.data(), doc.size(), &root);
    XmlTesting_FailAllocationAfter(0);
    if (rc == kXmlOutOfMemory) {
      saw_failure = true;
      EXPECT_EQ(root, nullptr);
      continue;
    }
    ASSERT_EQ(rc, kXmlOk);
    XmlTesting_FailAllocationAfter(1);
    char* text = XmlDocument_Serialize(root, true, true, true);
    XmlTesting_FailAllocationAfter(0);
    EXPECT_EQ(text, nullptr);
    XmlNode_Free(root);
  }
  EXPECT_TRUE(saw_failure);
}

TEST(XmlOutOfMemory, TreeOperations) {
  XmlNodePtr n(XmlNode_NewElement("A", "t"));
  XmlNode_SetAttribute(n.get(), "k", "v");
  XmlTesting_FailAllocationAfter(1);
  EXPECT_EQ(XmlNode_NewElement("B", nullptr), nullptr);
  XmlTesting_FailAllocationAfter(1);
  EXPECT_EQ(XmlNode_SetAttribute(n.get(), "k", "w"), kXmlOutOfMemory);
  EXPECT_STREQ(XmlNode_GetAttribute(n.get(), "k"), "v");  // unchanged
  XmlTesting_FailAllocationAfter(1);
  EXPECT_EQ(XmlNode_SetName(n.get(), "Z"), kXmlOutOfMemory);
  EXPECT_STREQ(XmlNode_GetName(n.get()), "A");
  XmlTesting_FailAllocationAfter(1);
  EXPECT_EQ(XmlNode_SetText(n.get(), "u"), kXmlOutOfMemory);
  XmlTesting_FailAllocationAfter(1);
  char* out = nullptr;
  size_t len = 0;
  EXPECT_EQ(XmlText_Decode("abc", 3, &out, &len), kXmlOutOfMemory);
  XmlTesting_FailAllocationAfter(1);
  std::string buf;
  EXPECT_EQ(XmlNode_SetByPath(n.get(), "X/Y", "v", &buf, SameName), 0);
  XmlTesting_FailAllocationAfter(0);
}

// --- Text buffer ------------------------------------------------------------

TEST(XmlTextBuffer, GrowthRule) {
  XmlTextBuffer* b = XmlTextBuffer_New(4, 2);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->capacity, 4u);
  EXPECT_EQ(XmlTextBuffer_Append(b, "abc", 3), kXmlOk);
  EXPECT_EQ(b->capacity, 4u);
  EXPECT_EQ(XmlTextBuffer_Append(b, "def", 3), kXmlOk);  // 1 free, short by 2: grows by 2
  EXPECT_EQ(b->capacity, 6u);
  EXPECT_EQ(XmlTextBuffer_Append(b, "0123456789", 10), kXmlOk);  // short by 10 > growth
  EXPECT_EQ(b->capacity, 16u);
  EXPECT_EQ(b->used, 16u);
  EXPECT_EQ(XmlTextBuffer_Append(b, "x", 1), kXmlOk);  // short by 1 < growth
  EXPECT_EQ(b->capacity, 18u);
  EXPECT_EQ(b->data[17], '\0');  // the added area is zero-filled
  EXPECT_EQ(XmlTextBuffer_Append(b, nullptr, 0), kXmlOk);
  EXPECT_EQ(XmlTextBuffer_Append(b, nullptr, 1), kXmlInvalidArgument);
  EXPECT_EQ(XmlTextBuffer_Append(nullptr, "x", 1), kXmlInvalidArgument);
  char* data = XmlTextBuffer_Detach(b);
  EXPECT_EQ(std::string(data, 17), "abcdef0123456789x");
  XmlText_Free(data);
  XmlTextBuffer_Free(XmlTextBuffer_New(512, 512));
  XmlTextBuffer_Free(nullptr);
}

}  // namespace
}  // namespace tavo
