// The parser of the XML layer.
//
// The parser follows the element rule exactly, but keeps the nesting in an
// explicit stack (status 3 past kXmlMaxDepth) instead of the machine stack,
// and builds the tree in one arena: the input is copied once into the arena,
// and names, texts and attribute values are NUL-terminated (and
// entity-decoded) in place in that copy. The tokenizer reads the caller's
// bytes, never the copy, so writing terminators into the copy cannot disturb
// it; every stored token is followed by at least one byte of input, so its
// terminator stays inside the copy, and decoding never lengthens a text.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "data/xml/xml.h"
#include "data/xml/xml_internal.h"
#include "data/xml/xml_tokenizer.h"

namespace tavo {

using xml_internal::IsSpaceChar;
using xml_internal::Lexer;

namespace {

// Attributes of one start tag are collected in order, every occurrence as it
// stands (an empty value as none), and resolved once the tag is complete: the
// last occurrence of each name wins, at its own position, and one whose value
// is empty sets nothing. That is what setting them one by one with
// XmlNode_SetAttribute gives, but in time near linear in their number (a
// hostile tag may hold a hundred thousand): a few are compared pairwise, many
// are sorted by name.
constexpr size_t kFewAttributes = 16;

bool SameName(const XmlAttribute* a, const XmlAttribute* b) {
  return a->name_length == b->name_length && std::memcmp(a->name, b->name, a->name_length) == 0;
}

// Clears the value of every occurrence that a later one of its name overrides.
void DropOverriddenPairwise(XmlAttribute* first) {
  for (XmlAttribute* a = first; a != nullptr; a = a->next) {
    for (const XmlAttribute* b = a->next; b != nullptr; b = b->next) {
      if (SameName(a, b)) {
        a->value = nullptr;
        break;
      }
    }
  }
}

int DropOverriddenSorted(XmlAttribute* first, size_t count) {
  struct Occurrence {
    XmlAttribute* attribute;
    size_t position;
  };
  auto* all = static_cast<Occurrence*>(xml_internal::Malloc(count * sizeof(Occurrence)));
  if (all == nullptr) return kXmlOutOfMemory;
  size_t n = 0;
  for (XmlAttribute* a = first; a != nullptr; a = a->next) {
    all[n] = {a, n};
    ++n;
  }
  std::sort(all, all + n, [](const Occurrence& x, const Occurrence& y) {
    const XmlAttribute* a = x.attribute;
    const XmlAttribute* b = y.attribute;
    if (a->name_length != b->name_length) return a->name_length < b->name_length;
    const int order = std::memcmp(a->name, b->name, a->name_length);
    return order != 0 ? order < 0 : x.position < y.position;
  });
  for (size_t i = 0; i + 1 < n; ++i) {
    if (SameName(all[i].attribute, all[i + 1].attribute)) all[i].attribute->value = nullptr;
  }
  xml_internal::Free(all);
  return kXmlOk;
}

int ResolveAttributes(XmlNode* node, size_t count) {
  if (count <= kFewAttributes) {
    DropOverriddenPairwise(node->attributes);
  } else if (int rc = DropOverriddenSorted(node->attributes, count); rc != kXmlOk) {
    return rc;
  }
  for (XmlAttribute** link = &node->attributes; *link != nullptr;) {
    if ((*link)->value == nullptr) {
      *link = (*link)->next;
    } else {
      link = &(*link)->next;
    }
  }
  return kXmlOk;
}

XmlNode* NewArenaNode(XmlArena* arena) {
  auto* node = static_cast<XmlNode*>(xml_internal::ArenaAlloc(arena, sizeof(XmlNode)));
  if (node == nullptr) return nullptr;
  std::memset(node, 0, sizeof(XmlNode));
  node->arena = arena;
  return node;
}

class Parser {
 public:
  Parser(const char* bytes, size_t length, char* copy, XmlArena* arena)
      : bytes_(bytes), copy_(copy), arena_(arena), lx_{bytes, length, 0, 0} {}

  int Run(XmlNode* root) {
    const size_t n = lx_.length;
    const char* const b = bytes_;
    // The declaration.
    size_t pos = 0;
    while (pos < n && IsSpaceChar(static_cast<unsigned char>(b[pos]))) ++pos;
    if (pos >= n || b[pos] != '<') return kXmlMalformed;
    if (pos + 1 < n && b[pos + 1] == '?') {
      if (n - pos < 5 || std::memcmp(b + pos + 2, "xml", 3) != 0) return kXmlMalformed;
      const char* q = static_cast<const char*>(std::memchr(b + pos + 5, '?', n - (pos + 5)));
      if (q == nullptr) return kXmlMalformed;
      const size_t qi = static_cast<size_t>(q - b);
      if (qi + 1 >= n || b[qi + 1] != '>') return kXmlMalformed;
      pos = qi + 2;
    }
    lx_.pos = pos;
    lx_.state = 0;
    XmlToken t;
    if (lx_.Next(&t) != kXmlOk || t.kind != kXmlTokenOpen) return kXmlMalformed;
    return Elements(root);
  }

 private:
  // Where a token's bytes live in the private copy.
  char* InCopy(const XmlToken& t) const { return copy_ + (t.start - bytes_); }

  // Decodes a text run or attribute value into the copy and terminates it.
  // Returns the value, or none when it decodes to an empty string.
  char* DecodeToken(const XmlToken& t) {
    char* dst = InCopy(t);
    size_t len = t.length;
    const void* amp = std::memchr(t.start, '&', len);
    if (amp != nullptr) {
      const size_t plain = static_cast<size_t>(static_cast<const char*>(amp) - t.start);
      len = plain + xml_internal::DecodeInto(t.start + plain, len - plain, dst + plain);
    }
    dst[len] = '\0';
    return dst[0] != '\0' ? dst : nullptr;
  }

  // Names are NUL-terminated strings: a NUL byte inside a quoted name ends
  // it, and a name that is empty that way is malformed.
  int SetName(XmlNode* node, const XmlToken& t) {
    if (t.length > UINT32_MAX) return kXmlOutOfMemory;
    char* name = InCopy(t);
    name[t.length] = '\0';
    const size_t length = strnlen(name, t.length);
    if (length == 0) return kXmlMalformed;
    node->name = name;
    node->name_length = static_cast<uint32_t>(length);
    return kXmlOk;
  }

  // A start tag after its "<": the name, then attributes until ">" (content
  // follows: *has_content) or "/>".
  int StartTag(XmlNode* node, bool* has_content) {
    XmlToken t;
    int rc;
    if ((rc = lx_.Next(&t)) != kXmlOk) return rc;
    if (t.kind != kXmlTokenString || t.length == 0) return kXmlMalformed;
    if ((rc = SetName(node, t)) != kXmlOk) return rc;
    XmlAttribute** tail = &node->attributes;
    size_t count = 0;
    for (;;) {
      if ((rc = lx_.Next(&t)) != kXmlOk) return rc;
      if (t.kind == kXmlTokenEmptyClose || t.kind == kXmlTokenClose) {
        *has_content = t.kind == kXmlTokenClose;
        return ResolveAttributes(node, count);
      }
      // name "=" value
      if (t.kind != kXmlTokenString || t.length == 0) return kXmlMalformed;
      if (t.length > UINT32_MAX) return kXmlOutOfMemory;
      const XmlToken name = t;
      if ((rc = lx_.Next(&t)) != kXmlOk) return rc;
      if (t.kind != kXmlTokenEquals) return kXmlMalformed;
      if ((rc = lx_.Next(&t)) != kXmlOk) return rc;
      if (t.kind != kXmlTokenString) return kXmlMalformed;
      char* value = DecodeToken(t);
      char* name_in_copy = InCopy(name);
      name_in_copy[name.length] = '\0';
      const size_t name_length = strnlen(name_in_copy, name.length);
      if (name_length == 0) return kXmlMalformed;
      auto* a = static_cast<XmlAttribute*>(xml_internal::ArenaAlloc(arena_, sizeof(XmlAttribute)));
      if (a == nullptr) return kXmlOutOfMemory;
      *a = {name_in_copy, value, nullptr, static_cast<uint32_t>(name_length), 0};
      *tail = a;
      tail = &a->next;
      ++count;
    }
  }

  // An end tag after its "</": the element's own name exactly, then ">".
  int EndTag(const XmlNode* node) {
    XmlToken t;
    int rc;
    if ((rc = lx_.Next(&t)) != kXmlOk) return rc;
    if (t.kind != kXmlTokenString || t.length != node->name_length ||
        std::memcmp(t.start, node->name, t.length) != 0) {
      return kXmlMalformed;
    }
    if ((rc = lx_.Next(&t)) != kXmlOk) return rc;
    return t.kind == kXmlTokenClose ? kXmlOk : kXmlMalformed;
  }

  XmlNode* AppendChild(XmlNode* parent) {
    XmlNode* child = NewArenaNode(arena_);
    if (child == nullptr) return nullptr;
    if (parent->first_child == nullptr) {
      parent->first_child = child;
    } else {
      parent->last_child->next = child;
    }
    parent->last_child = child;
    return child;
  }

  // The element rule: a start tag, then (unless it was "/>") content until the
  // element's end tag, where a run of text becomes the element's text (a
  // second run is malformed) and "<" starts a child. The open ancestors of
  // `cur` are kept in stack_ rather than on the machine stack.
  int Elements(XmlNode* root) {
    XmlNode* cur = root;
    size_t depth = 0;  // open ancestors of cur
    bool has_content = false;
    int rc = StartTag(cur, &has_content);
    for (;;) {
      if (rc != kXmlOk) return rc;
      if (has_content) {
        XmlToken t;
        if ((rc = lx_.Next(&t)) != kXmlOk) return rc;
        if (t.kind == kXmlTokenString) {
          if (cur->text != nullptr) return kXmlMalformed;
          cur->text = DecodeToken(t);
          continue;
        }
        if (t.kind == kXmlTokenOpen) {
          if (depth + 1 >= kXmlMaxDepth) return kXmlMalformed;
          XmlNode* child = AppendChild(cur);
          if (child == nullptr) return kXmlOutOfMemory;
          stack_[depth++] = cur;
          cur = child;
          rc = StartTag(cur, &has_content);
          continue;
        }
        if (t.kind != kXmlTokenEndOpen) return kXmlMalformed;
        if ((rc = EndTag(cur)) != kXmlOk) return rc;
      }
      // cur is complete; the root ends the document (anything after it is
      // ignored), otherwise the parent's content goes on.
      if (depth == 0) return kXmlOk;
      cur = stack_[--depth];
      has_content = true;
    }
  }

  const char* bytes_;
  char* copy_;
  XmlArena* arena_;
  Lexer lx_;
  XmlNode* stack_[kXmlMaxDepth];
};

}  // namespace

constexpr size_t kMaxNodeRoom = size_t{1} << 20;

int XmlDocument_Parse(const char* bytes, size_t length, XmlNode** root) noexcept {
  if (root != nullptr) *root = nullptr;
  if (bytes == nullptr || length == 0 || root == nullptr) return kXmlInvalidArgument;
  if (length > SIZE_MAX / 4) return kXmlOutOfMemory;
  // One block for the copy of the input and, for a typical document, all of
  // its nodes: about one element per 16 bytes of input (at most 1 MiB ahead;
  // denser or larger documents take further chunks).
  const size_t copy_size = (length + 1 + 15) & ~static_cast<size_t>(15);
  size_t node_room = (length / 16 + 4) * sizeof(XmlNode);
  if (node_room > kMaxNodeRoom) node_room = kMaxNodeRoom;
  XmlArena* arena = xml_internal::ArenaCreate(copy_size + node_room);
  if (arena == nullptr) return kXmlOutOfMemory;
  char* copy = static_cast<char*>(xml_internal::ArenaAlloc(arena, length + 1));
  std::memcpy(copy, bytes, length);
  copy[length] = '\0';
  XmlNode* node = NewArenaNode(arena);
  arena->owner = node;
  Parser parser(bytes, length, copy, arena);
  const int rc = parser.Run(node);
  if (rc != kXmlOk) {
    XmlNode_Free(node);
    return rc;
  }
  *root = node;
  return kXmlOk;
}

}  // namespace tavo
