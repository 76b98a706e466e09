// The component's own XML layer: element tree, tokenizer, parser,
// writer, growable text buffer and entity decoding.
//
// It understands a narrow subset of XML: one optional leading `xml`
// declaration, elements, double-quoted attributes, one run of character text
// per element, the five predefined entities and numeric character references.
// Everything is bytes of UTF-8 text; nothing here converts to UTF-16.
//
// Statuses (int): 0 success, 1 invalid argument, 2 out of memory, 3 malformed
// document, 4 input ended inside a token or element, 5 illegal character.
// Nothing throws. Strings handed out by the layer (Serialize, Decode) are
// allocated with malloc and freed with XmlText_Free.
//
// Memory: a parsed tree lives in one arena (nodes, attributes and strings are
// carved from one block, strings are decoded in place in a private copy of the
// input), so parsing a small document costs one allocation and freeing it one
// free. Trees built or edited through the XmlNode_* calls mix freely with
// parsed ones; ownership stays simple (a node owns its strings,
// attributes and child chain; an appended child becomes owned by its parent).
//
// Thread safety: distinct trees may be used on distinct threads at once; one
// tree must not be changed while another thread reads it.
#ifndef TAVO_DATA_XML_XML_H_
#define TAVO_DATA_XML_XML_H_

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tavo {

// Statuses of the tree and parser operations.
enum XmlStatus : int {
  kXmlOk = 0,
  kXmlInvalidArgument = 1,
  kXmlOutOfMemory = 2,
  kXmlMalformed = 3,
  kXmlTruncated = 4,
  kXmlIllegalCharacter = 5,
};

// Parsing refuses (status 3) an element nested deeper than this, counting the
// root as level 1. No real document comes near it; it keeps a hostile
// million-level document from costing more than a bounded amount of work.
inline constexpr size_t kXmlMaxDepth = 1024;

struct XmlNode;       // one element; opaque, use the calls below
struct XmlAttribute;  // one attribute of an element; opaque

// ---------------------------------------------------------------------------
// Tree operations.

// An empty node (no name yet). None when out of memory.
XmlNode* XmlNode_New() noexcept;
// A node named `name` holding `text` when text is non-empty. None when name is
// missing or empty, or when out of memory.
XmlNode* XmlNode_NewElement(const char* name, const char* text) noexcept;
// Frees the node, its attributes and, recursively, all its children (not its
// own following siblings). A missing node is ignored. Never recurses on the
// machine stack, so arbitrarily deep trees are fine.
void XmlNode_Free(XmlNode* node) noexcept;

// The element name; none for a missing node or one made by XmlNode_New and
// not named yet.
const char* XmlNode_GetName(const XmlNode* node) noexcept;
// Status 1 for a missing node or an empty/missing name, 2 when out of memory.
int XmlNode_SetName(XmlNode* node, const char* name) noexcept;
int XmlNode_SetName(XmlNode* node, const char* name, size_t length) noexcept;

// The text, or none when the element has no text.
const char* XmlNode_GetText(const XmlNode* node) noexcept;
// Replaces the text; an empty or missing text leaves the node without text.
// Status 1 for a missing node, 2 when out of memory.
int XmlNode_SetText(XmlNode* node, const char* text) noexcept;
int XmlNode_SetText(XmlNode* node, const char* text, size_t length) noexcept;

// Attributes by 0-based position in insertion order; none past the end.
size_t XmlNode_AttributeCount(const XmlNode* node) noexcept;
const char* XmlNode_AttributeNameAt(const XmlNode* node, size_t index) noexcept;
const char* XmlNode_AttributeValueAt(const XmlNode* node, size_t index) noexcept;
// The value of the first attribute whose name equals `name` exactly
// (case-sensitive); none when absent or when name is empty.
const char* XmlNode_GetAttribute(const XmlNode* node, const char* name) noexcept;
// Non-empty value: removes any attribute of that name and appends a new one at
// the end. Empty or missing value: removes the attribute, status 0.
// Status 1 for a missing node or empty name, 2 when out of memory.
int XmlNode_SetAttribute(XmlNode* node, const char* name, const char* value) noexcept;

// Children, 0-based in document order.
size_t XmlNode_ChildCount(const XmlNode* node) noexcept;
XmlNode* XmlNode_ChildAt(const XmlNode* node, size_t index) noexcept;
// The first child whose name equals `name` exactly; none otherwise.
XmlNode* XmlNode_FindChild(const XmlNode* node, const char* name) noexcept;
// Appends `child` at the end of the child chain; the parent owns it from then
// on. Status 1 for a missing parent or child.
int XmlNode_AppendChild(XmlNode* parent, XmlNode* child) noexcept;

// Iteration without the O(n) cost of the ...At calls (the
// preset and descriptor-list readers walk children and attributes this way).
XmlNode* XmlNode_FirstChild(const XmlNode* node) noexcept;
XmlNode* XmlNode_NextSibling(const XmlNode* node) noexcept;
const XmlAttribute* XmlNode_FirstAttribute(const XmlNode* node) noexcept;
const XmlAttribute* XmlAttribute_Next(const XmlAttribute* attribute) noexcept;
const char* XmlAttribute_Name(const XmlAttribute* attribute) noexcept;
const char* XmlAttribute_Value(const XmlAttribute* attribute) noexcept;

// `path` is element names separated by "/"; each step takes the first child
// of that name; the result is the text of the last one, or none when a step is
// missing. An empty (or missing) path gives the node's own text.
const char* XmlNode_GetTextByPath(const XmlNode* node, const char* path) noexcept;
// Same with the path given as bytes (need not be NUL-terminated).
const char* XmlNode_GetTextByPath(const XmlNode* node, const char* path, size_t path_length) noexcept;

// Step kinds a mapper answers.
inline constexpr int kXmlStepElement = 1;
inline constexpr int kXmlStepAttribute = 2;
// Maps one path step (not NUL-terminated) to the XML name to use (a
// NUL-terminated string that must stay valid until the next mapper call) and
// sets *kind to kXmlStepElement or kXmlStepAttribute. Returning none fails the
// walk.
using XmlPathMapper = const char* (*)(XmlNode* current, const char* step, size_t step_length,
                                      void* context, int* kind);
// Walks `path` from `node` (steps of name characters with an
// optional leading "/" and an optional "+" meaning always-create) and sets the
// last element's text, or the attribute of the last step, to `value`.
// Returns non-zero on success, 0 on failure; steps created before a failure
// stay in the tree.
int XmlNode_SetByPath(XmlNode* node, const char* path, const char* value, void* context,
                      XmlPathMapper mapper) noexcept;

// ---------------------------------------------------------------------------
// Documents.

// Parses `length` bytes into a new tree. On success (0) *root is the caller's;
// on failure *root is set to none and nothing leaks.
int XmlDocument_Parse(const char* bytes, size_t length, XmlNode** root) noexcept;
// Writes the tree. Returns a new NUL-terminated text (free with XmlText_Free),
// or none for a missing root or when out of memory. *length, when given,
// receives the text's length without the NUL.
char* XmlDocument_Serialize(const XmlNode* root, bool with_declaration, bool indent,
                            bool line_breaks, size_t* length = nullptr) noexcept;
char* XmlDocument_SerializePretty(const XmlNode* root, bool with_declaration,
                                  size_t* length = nullptr) noexcept;
// The exact declaration the writer emits.
inline constexpr char kXmlDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>";

// Entity decoding into a new NUL-terminated string. Length 0 gives status 0
// with *text none and *out_length 0. Status 1 for missing bytes (with a
// non-zero length) or a missing output, 2 when out of memory. The result may
// hold NUL bytes (from "&#0;"); *out_length counts them.
int XmlText_Decode(const char* bytes, size_t length, char** text, size_t* out_length) noexcept;
// Frees a text from XmlDocument_Serialize, XmlText_Decode, XmlTextBuffer_Detach
// or XmlFile_Read. A missing text is ignored.
void XmlText_Free(void* text) noexcept;

// Writes `code_point` as RFC 2279 UTF-8 (1 to 6 bytes) into `out` (which must
// have room for 6) and returns the count; with out == nullptr only returns the
// count. 0 for code points of 0x80000000 and above.
int Utf8_Encode(uint32_t code_point, char* out) noexcept;

// ---------------------------------------------------------------------------
// Tokenizer (exposed for tests and tools; the parser uses the same code).

enum XmlTokenKind : int {
  kXmlTokenOpen = 2,        // "<" opening a start tag
  kXmlTokenClose = 3,       // ">" closing a tag
  kXmlTokenEndOpen = 4,     // "</"
  kXmlTokenEquals = 5,      // "="
  kXmlTokenString = 6,      // name, quoted string contents or text run
  kXmlTokenSlash = 7,       // "/" not followed by ">"
  kXmlTokenEmptyClose = 8,  // "/>"
};

struct XmlToken {
  int kind = 0;
  const char* start = nullptr;
  size_t length = 0;
};

struct XmlReader {
  const char* data = nullptr;
  size_t length = 0;
  size_t position = 0;
  int state = 0;  // 0 to 9: see the state table in xml_tokenizer.h
};

void XmlReader_Init(XmlReader* reader, const char* data, size_t length) noexcept;
// The next token: 0 with *token filled, 4 when the input ends before a token
// is complete, 5 at an illegal character.
int XmlReader_Next(XmlReader* reader, XmlToken* token) noexcept;

// ---------------------------------------------------------------------------
// Growable byte buffer. Appending n bytes when fewer than n are free grows the
// capacity by the larger of the growth step and the shortfall; the added area
// is zero-filled.

struct XmlTextBuffer {
  char* data = nullptr;
  size_t used = 0;
  size_t capacity = 0;
  size_t growth = 0;
};

// None when out of memory.
XmlTextBuffer* XmlTextBuffer_New(size_t initial_capacity, size_t growth) noexcept;
// Status 1 for a missing buffer (or missing data with n > 0), 2 when out of memory.
int XmlTextBuffer_Append(XmlTextBuffer* buffer, const void* data, size_t n) noexcept;
// Hands the data block to the caller (free with XmlText_Free) and frees the
// buffer record.
char* XmlTextBuffer_Detach(XmlTextBuffer* buffer) noexcept;
void XmlTextBuffer_Free(XmlTextBuffer* buffer) noexcept;

// ---------------------------------------------------------------------------
// RAII helpers for C++ callers.

struct XmlNodeDeleter {
  void operator()(XmlNode* node) const noexcept { XmlNode_Free(node); }
};
using XmlNodePtr = std::unique_ptr<XmlNode, XmlNodeDeleter>;

struct XmlTextDeleter {
  void operator()(char* text) const noexcept { XmlText_Free(text); }
};
using XmlTextPtr = std::unique_ptr<char, XmlTextDeleter>;

// Test hook: the n-th allocation made by this layer from now on (1 = the next
// one) fails; 0 turns it off. Process-wide; for tests of out-of-memory paths.
void XmlTesting_FailAllocationAfter(long n) noexcept;

}  // namespace tavo

#endif  // TAVO_DATA_XML_XML_H_
