// Tokenizer, parser and entity decoding of the XML layer.
//
// Tokens are (kind, start, length): 2 "<" of a start tag, 3 ">", 4 "</",
// 5 "=", 6 a name / quoted string's contents / run of text, 7 "/" not
// followed by ">", 8 "/>". The tokenizer is this state machine, one byte at a
// time; the end of the input before a token is complete is status 4:
//
//   state  byte              action
//   0      "<"               go to 1, advance
//   0      ">"               emit 3, go to 2, advance
//   0      "="               emit 5, advance
//   0      double quote      go to 5, advance
//   0      "/"               go to 9, advance
//   0      name character    go to 3
//   0      whitespace        advance
//   0      other             status 5
//   1      "/"               emit 4, go to 0, advance
//   1      other             emit 2, go to 0
//   2      whitespace        advance (leading whitespace of content is dropped)
//   2      "<"               go to 0
//   2      other             go to 7
//   3      name character    mark start, go to 4, advance
//   3      other             status 5
//   4      name character    advance
//   4      other             emit 6 (start to here), go to 0
//   5      double quote      emit 6 of length 0, go to 0, advance
//   5      other             mark start, go to 6, advance
//   6      double quote      emit 6 (start to here), go to 0, advance
//   6      other             advance
//   7      (not "<")         mark start, go to 8, advance
//   8      "<"               emit 6 (start to here), go to 0
//   8      other             advance
//   9      ">"               emit 8, go to 0, advance
//   9      other             emit 7, go to 0
//
// So only ">" enters content mode: after "/>" the tokenizer stays in state 0
// and text there is scanned as names; a text run ends only at "<", keeping
// its trailing whitespace; "<" and ">" may stand inside quoted values.
//
// The parser follows the element rule exactly, but keeps the nesting in an
// explicit stack (status 3 past kXmlMaxDepth) instead of the machine stack,
// and builds the tree in one arena: the input is copied once into the arena,
// and names, texts and attribute values are NUL-terminated (and
// entity-decoded) in place in that copy. The tokenizer reads the caller's
// bytes, never the copy, so writing terminators into the copy cannot disturb
// it; every stored token is followed by at least one byte of input, so its
// terminator stays inside the copy, and decoding never lengthens a text.
#include <cstdlib>
#include <cstring>

#include "data/xml/xml.h"
#include "data/xml/xml_internal.h"

namespace tavo {

using xml_internal::IsNameChar;
using xml_internal::IsSpaceChar;

int Utf8_Encode(uint32_t cp, char* out) noexcept {
  int n;
  unsigned lead;
  if (cp < 0x80u) {
    if (out != nullptr) out[0] = static_cast<char>(cp);
    return 1;
  } else if (cp < 0x800u) {
    n = 2;
    lead = 0xC0u | (cp >> 6);
  } else if (cp < 0x10000u) {
    n = 3;
    lead = 0xE0u | (cp >> 12);
  } else if (cp < 0x200000u) {
    n = 4;
    lead = 0xF0u | (cp >> 18);
  } else if (cp < 0x4000000u) {
    n = 5;
    lead = 0xF8u | (cp >> 24);
  } else if (cp < 0x80000000u) {
    n = 6;
    lead = 0xFCu | (cp >> 30);
  } else {
    return 0;
  }
  if (out == nullptr) return n;
  out[0] = static_cast<char>(lead);
  for (int i = n - 1; i >= 1; --i) {
    out[i] = static_cast<char>(0x80u | (cp & 0x3Fu));
    cp >>= 6;
  }
  return n;
}

namespace xml_internal {
namespace {

struct NamedEntity {
  const char* text;
  size_t length;
  char value;
};
constexpr NamedEntity kNamedEntities[] = {
    {"&lt;", 4, '<'}, {"&gt;", 4, '>'}, {"&amp;", 5, '&'}, {"&apos;", 6, '\''}, {"&quot;", 6, '"'},
};

}  // namespace

size_t DecodeInto(const char* src, size_t n, char* dst) {
  size_t i = 0;
  size_t o = 0;
  while (i < n) {
    const char* amp = static_cast<const char*>(std::memchr(src + i, '&', n - i));
    if (amp == nullptr) {
      if (dst + o != src + i) std::memmove(dst + o, src + i, n - i);
      o += n - i;
      break;
    }
    const size_t k = static_cast<size_t>(amp - src);
    if (k > i) {
      if (dst + o != src + i) std::memmove(dst + o, src + i, k - i);
      o += k - i;
    }
    i = k;
    const char* p = src + i;
    const size_t rem = n - i;
    // The five predefined entities, each only when it lies wholly inside the input.
    bool named = false;
    for (const NamedEntity& e : kNamedEntities) {
      if (rem >= e.length && std::memcmp(p, e.text, e.length) == 0) {
        dst[o++] = e.value;
        i += e.length;
        named = true;
        break;
      }
    }
    if (named) continue;
    // A numeric reference: "&#", an optional lower-case "x", digits, ";".
    if (rem >= 4 && p[1] == '#') {
      size_t j = 2;
      const bool hex = p[2] == 'x';
      if (hex) j = 3;
      uint32_t cp = 0;  // accumulated in 32 bits, wrapping
      bool complete = false;
      for (; j < rem; ++j) {
        const unsigned char c = static_cast<unsigned char>(p[j]);
        if (c == ';') {
          complete = true;
          break;
        }
        unsigned digit;
        if (c >= '0' && c <= '9') {
          digit = c - '0';
        } else if (hex && c >= 'a' && c <= 'f') {
          digit = c - 'a' + 10;
        } else if (hex && c >= 'A' && c <= 'F') {
          digit = c - 'A' + 10;
        } else {
          break;
        }
        cp = cp * (hex ? 16u : 10u) + digit;
      }
      if (complete) {
        // The encoding is never longer than the reference (j + 1 bytes).
        o += static_cast<size_t>(Utf8_Encode(cp, dst + o));
        i += j + 1;
        continue;
      }
    }
    dst[o++] = '&';
    ++i;
  }
  return o;
}

}  // namespace xml_internal

int XmlText_Decode(const char* bytes, size_t length, char** text, size_t* out_length) noexcept {
  if (text == nullptr || out_length == nullptr) return kXmlInvalidArgument;
  *text = nullptr;
  *out_length = 0;
  if (length == 0) return kXmlOk;
  if (bytes == nullptr) return kXmlInvalidArgument;
  if (length == SIZE_MAX) return kXmlOutOfMemory;
  char* block = static_cast<char*>(xml_internal::Malloc(length + 1));
  if (block == nullptr) return kXmlOutOfMemory;
  const size_t n = xml_internal::DecodeInto(bytes, length, block);
  block[n] = '\0';
  *text = block;
  *out_length = n;
  return kXmlOk;
}

void XmlText_Free(void* text) noexcept { std::free(text); }

// ---------------------------------------------------------------------------
// Tokenizer.

namespace {

// The tokenizer's state machine. The inner loops of states 4, 6 and 8 scan ahead
// instead of stepping once per byte; the tokens and errors are the same.
struct Lexer {
  const char* data;
  size_t length;
  size_t pos;
  int state;

  // 0 with *t filled, 4 at the end of the input, 5 at an illegal character.
  inline int Next(XmlToken* t) {
    const unsigned char* const p = reinterpret_cast<const unsigned char*>(data);
    const size_t n = length;
    size_t i = pos;
    size_t start = 0;
    int st = state;
    int rc;
    for (;;) {
      if (i >= n) {
        rc = kXmlTruncated;
        break;
      }
      const unsigned char c = p[i];
      switch (st) {
        case 0:
          if (c == '<') {
            st = 1;
            ++i;
            continue;
          }
          if (c == '>') {
            Emit(t, kXmlTokenClose, i, 1);
            pos = i + 1;
            state = 2;
            return kXmlOk;
          }
          if (c == '=') {
            Emit(t, kXmlTokenEquals, i, 1);
            pos = i + 1;
            state = 0;
            return kXmlOk;
          }
          if (c == '"') {
            st = 5;
            ++i;
            continue;
          }
          if (c == '/') {
            st = 9;
            ++i;
            continue;
          }
          if (IsNameChar(c)) {
            st = 3;
            continue;
          }
          if (IsSpaceChar(c)) {
            ++i;
            continue;
          }
          rc = kXmlIllegalCharacter;
          break;
        case 1:
          if (c == '/') {
            Emit(t, kXmlTokenEndOpen, i - 1, 2);
            pos = i + 1;
          } else {
            Emit(t, kXmlTokenOpen, i - 1, 1);
            pos = i;
          }
          state = 0;
          return kXmlOk;
        case 2:
          if (IsSpaceChar(c)) {
            ++i;
          } else if (c == '<') {
            st = 0;
          } else {
            st = 7;
          }
          continue;
        case 3:
          if (!IsNameChar(c)) {
            rc = kXmlIllegalCharacter;
            break;
          }
          start = i;
          ++i;
          while (i < n && IsNameChar(p[i])) ++i;
          st = 4;
          if (i >= n) continue;
          Emit(t, kXmlTokenString, start, i - start);
          pos = i;
          state = 0;
          return kXmlOk;
        case 4:  // only reached again at the end of the input
          while (i < n && IsNameChar(p[i])) ++i;
          if (i >= n) continue;
          Emit(t, kXmlTokenString, start, i - start);
          pos = i;
          state = 0;
          return kXmlOk;
        case 5:
          if (c == '"') {
            Emit(t, kXmlTokenString, i, 0);
            pos = i + 1;
            state = 0;
            return kXmlOk;
          }
          start = i;
          st = 6;
          ++i;
          [[fallthrough]];
        case 6: {
          const void* q = i < n ? std::memchr(p + i, '"', n - i) : nullptr;
          if (q == nullptr) {
            i = n;
            continue;
          }
          const size_t qi = static_cast<size_t>(static_cast<const unsigned char*>(q) - p);
          Emit(t, kXmlTokenString, start, qi - start);
          pos = qi + 1;
          state = 0;
          return kXmlOk;
        }
        case 7:  // entered from state 2 on a byte other than "<"
          start = i;
          st = 8;
          ++i;
          [[fallthrough]];
        case 8: {
          const void* q = i < n ? std::memchr(p + i, '<', n - i) : nullptr;
          if (q == nullptr) {
            i = n;
            continue;
          }
          const size_t qi = static_cast<size_t>(static_cast<const unsigned char*>(q) - p);
          Emit(t, kXmlTokenString, start, qi - start);
          pos = qi;
          state = 0;
          return kXmlOk;
        }
        case 9:
          if (c == '>') {
            Emit(t, kXmlTokenEmptyClose, i - 1, 2);
            pos = i + 1;
          } else {
            Emit(t, kXmlTokenSlash, i - 1, 1);
            pos = i;
          }
          state = 0;
          return kXmlOk;
        default:
          rc = kXmlIllegalCharacter;
          break;
      }
      break;
    }
    pos = i;
    state = st;
    return rc;
  }

  inline void Emit(XmlToken* t, int kind, size_t at, size_t len) const {
    t->kind = kind;
    t->start = data + at;
    t->length = len;
  }
};

}  // namespace

void XmlReader_Init(XmlReader* reader, const char* data, size_t length) noexcept {
  if (reader == nullptr) return;
  reader->data = data;
  reader->length = data != nullptr ? length : 0;
  reader->position = 0;
  reader->state = 0;
}

int XmlReader_Next(XmlReader* reader, XmlToken* token) noexcept {
  if (reader == nullptr || token == nullptr) return kXmlInvalidArgument;
  Lexer lx{reader->data, reader->length, reader->position, reader->state};
  const int rc = lx.Next(token);
  reader->position = lx.pos;
  reader->state = lx.state;
  return rc;
}

// ---------------------------------------------------------------------------
// Parser.

namespace {

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

  // XmlNode_SetAttribute on a node of this parse: drops any attribute of that
  // name, then appends the new one when the value is non-empty.
  int SetAttribute(XmlNode* node, const char* name, size_t name_length, char* value) {
    XmlAttribute** link = &node->attributes;
    while (*link != nullptr) {
      XmlAttribute* a = *link;
      if (a->name_length == name_length && std::memcmp(a->name, name, name_length) == 0) {
        *link = a->next;
      } else {
        link = &a->next;
      }
    }
    if (value == nullptr) return kXmlOk;
    auto* a = static_cast<XmlAttribute*>(xml_internal::ArenaAlloc(arena_, sizeof(XmlAttribute)));
    if (a == nullptr) return kXmlOutOfMemory;
    a->name = const_cast<char*>(name);
    a->value = value;
    a->next = nullptr;
    a->name_length = static_cast<uint32_t>(name_length);
    a->heap = 0;
    *link = a;
    return kXmlOk;
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
    for (;;) {
      if ((rc = lx_.Next(&t)) != kXmlOk) return rc;
      if (t.kind == kXmlTokenEmptyClose || t.kind == kXmlTokenClose) {
        *has_content = t.kind == kXmlTokenClose;
        return kXmlOk;
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
      if ((rc = SetAttribute(node, name_in_copy, name_length, value)) != kXmlOk) return rc;
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
