// Writer and growable text buffer of the XML layer.
//
// The writer walks the tree twice with the same code: once to measure the
// exact size of the text, once to write it into a single block of that size.
// The walk keeps open ancestors in an explicit stack, so trees of any depth
// are written without recursion.
#include <cstdlib>
#include <cstring>

#include "data/xml/xml.h"
#include "data/xml/xml_internal.h"

namespace tavo {

// ---------------------------------------------------------------------------
// Text buffer.

XmlTextBuffer* XmlTextBuffer_New(size_t initial_capacity, size_t growth) noexcept {
  auto* buffer = static_cast<XmlTextBuffer*>(xml_internal::Malloc(sizeof(XmlTextBuffer)));
  if (buffer == nullptr) return nullptr;
  buffer->data = static_cast<char*>(xml_internal::Malloc(initial_capacity));
  if (buffer->data == nullptr) {
    xml_internal::Free(buffer);
    return nullptr;
  }
  std::memset(buffer->data, 0, initial_capacity);
  buffer->used = 0;
  buffer->capacity = initial_capacity;
  buffer->growth = growth;
  return buffer;
}

int XmlTextBuffer_Append(XmlTextBuffer* buffer, const void* data, size_t n) noexcept {
  if (buffer == nullptr || (data == nullptr && n != 0)) return kXmlInvalidArgument;
  if (n == 0) return kXmlOk;
  const size_t free_bytes = buffer->capacity - buffer->used;
  if (free_bytes < n) {
    const size_t shortfall = n - free_bytes;
    const size_t grow = buffer->growth > shortfall ? buffer->growth : shortfall;
    if (grow > SIZE_MAX - buffer->capacity) return kXmlOutOfMemory;
    const size_t capacity = buffer->capacity + grow;
    char* data_block = static_cast<char*>(xml_internal::Realloc(buffer->data, capacity));
    if (data_block == nullptr) return kXmlOutOfMemory;
    std::memset(data_block + buffer->capacity, 0, grow);
    buffer->data = data_block;
    buffer->capacity = capacity;
  }
  std::memcpy(buffer->data + buffer->used, data, n);
  buffer->used += n;
  return kXmlOk;
}

char* XmlTextBuffer_Detach(XmlTextBuffer* buffer) noexcept {
  if (buffer == nullptr) return nullptr;
  char* data = buffer->data;
  xml_internal::Free(buffer);
  return data;
}

void XmlTextBuffer_Free(XmlTextBuffer* buffer) noexcept {
  if (buffer == nullptr) return;
  xml_internal::Free(buffer->data);
  xml_internal::Free(buffer);
}

// ---------------------------------------------------------------------------
// Writer.

namespace {

// Extra bytes that escaping adds per byte: "<" and ">" become 4 bytes, "&" 5,
// "'" and the double quote 6.
struct EscapeTable {
  unsigned char extra[256];
  constexpr EscapeTable() : extra() {
    extra[static_cast<unsigned char>('<')] = 3;
    extra[static_cast<unsigned char>('>')] = 3;
    extra[static_cast<unsigned char>('&')] = 4;
    extra[static_cast<unsigned char>('\'')] = 5;
    extra[static_cast<unsigned char>('"')] = 5;
  }
};
constexpr EscapeTable kEscape;

class Counter {
 public:
  void Put(const char*, size_t n) { size_ += n; }
  void PutChar(char) { ++size_; }
  void PutSpaces(size_t n) { size_ += n; }
  void PutEscaped(const char* s) {
    size_t n = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p != 0; ++p) {
      n += 1 + kEscape.extra[*p];
    }
    size_ += n;
  }
  size_t size() const { return size_; }

 private:
  size_t size_ = 0;
};

class Writer {
 public:
  explicit Writer(char* out) : out_(out) {}
  void Put(const char* s, size_t n) {
    std::memcpy(out_, s, n);
    out_ += n;
  }
  void PutChar(char c) { *out_++ = c; }
  void PutSpaces(size_t n) {
    std::memset(out_, ' ', n);
    out_ += n;
  }
  void PutEscaped(const char* s) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(s);
    for (;;) {
      // Copy the run of bytes that need no escaping in one go.
      const unsigned char* run = p;
      while (*p != 0 && kEscape.extra[*p] == 0) ++p;
      if (p != run) Put(reinterpret_cast<const char*>(run), static_cast<size_t>(p - run));
      switch (*p) {
        case 0:
          return;
        case '<':
          Put("&lt;", 4);
          break;
        case '>':
          Put("&gt;", 4);
          break;
        case '&':
          Put("&amp;", 5);
          break;
        case '\'':
          Put("&apos;", 6);
          break;
        default:
          Put("&quot;", 6);
          break;
      }
      ++p;
    }
  }
  char* end() const { return out_; }

 private:
  char* out_;
};

// A stack of open ancestors that grows on the heap past its inline part.
class NodeStack {
 public:
  NodeStack() = default;
  NodeStack(const NodeStack&) = delete;
  NodeStack& operator=(const NodeStack&) = delete;
  ~NodeStack() {
    if (heap_ != nullptr) xml_internal::Free(heap_);
  }
  bool Push(const XmlNode* node) {
    if (size_ == capacity_) {
      const size_t capacity = capacity_ * 2;
      auto* grown = static_cast<const XmlNode**>(
          xml_internal::Realloc(heap_, capacity * sizeof(const XmlNode*)));
      if (grown == nullptr) return false;
      if (heap_ == nullptr) std::memcpy(grown, inline_, sizeof(inline_));
      heap_ = grown;
      capacity_ = capacity;
    }
    data()[size_++] = node;
    return true;
  }
  const XmlNode* Pop() { return data()[--size_]; }
  size_t size() const { return size_; }

 private:
  const XmlNode** data() { return heap_ != nullptr ? heap_ : inline_; }
  const XmlNode* inline_[64];
  const XmlNode** heap_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 64;
};

struct Style {
  bool declaration;
  bool indent;
  bool breaks;
};

template <typename Sink>
void PutStartTag(Sink& out, const XmlNode* node) {
  out.PutChar('<');
  if (node->name != nullptr) out.Put(node->name, node->name_length);
  for (const XmlAttribute* a = node->attributes; a != nullptr; a = a->next) {
    out.PutChar(' ');
    out.Put(a->name, a->name_length);
    out.Put("=\"", 2);
    out.PutEscaped(a->value);
    out.PutChar('"');
  }
  out.PutChar('>');
}

template <typename Sink>
void PutEndTag(Sink& out, const XmlNode* node, const Style& style) {
  out.Put("</", 2);
  if (node->name != nullptr) out.Put(node->name, node->name_length);
  out.PutChar('>');
  if (style.breaks) out.PutChar('\n');
}

// Returns false only when the ancestor stack cannot grow.
template <typename Sink>
bool WriteDocument(Sink& out, const XmlNode* root, const Style& style) {
  if (style.declaration) {
    out.Put(kXmlDeclaration, sizeof(kXmlDeclaration) - 1);
    if (style.breaks) out.PutChar('\n');
  }
  NodeStack stack;
  const XmlNode* node = root;
  for (;;) {
    const size_t level = stack.size();
    if (style.indent) out.PutSpaces(level * 2);
    PutStartTag(out, node);
    if (node->first_child != nullptr) {
      if (style.breaks) out.PutChar('\n');
      if (node->text != nullptr) {
        if (style.indent) out.PutSpaces((level + 1) * 2);
        out.PutEscaped(node->text);
        if (style.breaks) out.PutChar('\n');
      }
      if (!stack.Push(node)) return false;
      node = node->first_child;
      continue;
    }
    if (node->text != nullptr) out.PutEscaped(node->text);
    PutEndTag(out, node, style);
    // Leave finished elements until one has a following sibling.
    for (;;) {
      if (stack.size() == 0) return true;  // the root; its siblings are not written
      if (node->next != nullptr) {
        node = node->next;
        break;
      }
      node = stack.Pop();
      if (style.indent) out.PutSpaces(stack.size() * 2);
      PutEndTag(out, node, style);
    }
  }
}

}  // namespace

char* XmlDocument_Serialize(const XmlNode* root, bool with_declaration, bool indent,
                            bool line_breaks, size_t* length) noexcept {
  if (length != nullptr) *length = 0;
  if (root == nullptr) return nullptr;
  const Style style{with_declaration, indent, line_breaks};
  Counter counter;
  if (!WriteDocument(counter, root, style)) return nullptr;
  const size_t size = counter.size();
  if (size == SIZE_MAX) return nullptr;
  char* text = static_cast<char*>(xml_internal::Malloc(size + 1));
  if (text == nullptr) return nullptr;
  Writer writer(text);
  if (!WriteDocument(writer, root, style)) {
    xml_internal::Free(text);
    return nullptr;
  }
  text[size] = '\0';
  if (length != nullptr) *length = size;
  return text;
}

char* XmlDocument_SerializePretty(const XmlNode* root, bool with_declaration, size_t* length) noexcept {
  return XmlDocument_Serialize(root, with_declaration, true, true, length);
}

}  // namespace tavo
