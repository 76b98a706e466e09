// Element tree of the XML layer: building, querying, freeing,
// reading and setting by path, and the arena that parsed trees live in.
#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "data/xml/xml.h"
#include "data/xml/xml_internal.h"

namespace tavo {
namespace xml_internal {
namespace {

std::atomic<long> g_fail_after{0};

bool ShouldFail() {
  if (g_fail_after.load(std::memory_order_relaxed) <= 0) return false;
  return g_fail_after.fetch_sub(1, std::memory_order_relaxed) == 1;
}

constexpr bool MakeNameChar(int c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}
constexpr bool MakeSpaceChar(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr size_t kArenaHeader = (sizeof(XmlArena) + 15) & ~static_cast<size_t>(15);

}  // namespace

template <bool (*kIs)(int)>
constexpr std::array<bool, 256> MakeTable() {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c) table[static_cast<size_t>(c)] = kIs(c);
  return table;
}

constexpr std::array<bool, 256> kNameChar = MakeTable<MakeNameChar>();
constexpr std::array<bool, 256> kSpaceChar = MakeTable<MakeSpaceChar>();

void* Malloc(size_t n) {
  if (ShouldFail()) return nullptr;
  return std::malloc(n != 0 ? n : 1);
}

void* Realloc(void* p, size_t n) {
  if (ShouldFail()) return nullptr;
  return std::realloc(p, n != 0 ? n : 1);
}

XmlArena* ArenaCreate(size_t first_block) {
  first_block = (first_block + 15) & ~static_cast<size_t>(15);
  if (first_block > SIZE_MAX - kArenaHeader) return nullptr;
  char* block = static_cast<char*>(Malloc(kArenaHeader + first_block));
  if (block == nullptr) return nullptr;
  auto* arena = reinterpret_cast<XmlArena*>(block);
  arena->owner = nullptr;
  arena->cursor = block + kArenaHeader;
  arena->end = arena->cursor + first_block;
  arena->chunks = nullptr;
  arena->last_chunk_size = first_block;
  arena->next_dead = nullptr;
  arena->dirty = false;
  return arena;
}

void* ArenaAllocSlow(XmlArena* arena, size_t n) {
  constexpr size_t kChunkHeader = (sizeof(XmlArenaChunk) + 15) & ~static_cast<size_t>(15);
  // Chunks double from 4 KiB up to 1 MiB (or the request, when larger).
  constexpr size_t kMinChunk = 4096;
  constexpr size_t kMaxChunk = size_t{1} << 20;
  size_t size = arena->last_chunk_size < kMaxChunk / 2 ? arena->last_chunk_size * 2 : kMaxChunk;
  if (size < kMinChunk) size = kMinChunk;
  if (size < n) size = n;
  if (size > SIZE_MAX - kChunkHeader) return nullptr;
  char* block = static_cast<char*>(Malloc(kChunkHeader + size));
  if (block == nullptr) return nullptr;
  auto* chunk = reinterpret_cast<XmlArenaChunk*>(block);
  chunk->next = arena->chunks;
  arena->chunks = chunk;
  arena->last_chunk_size = size;
  arena->cursor = block + kChunkHeader + n;
  arena->end = block + kChunkHeader + size;
  return block + kChunkHeader;
}

void ArenaDestroy(XmlArena* arena) {
  XmlArenaChunk* chunk = arena->chunks;
  while (chunk != nullptr) {
    XmlArenaChunk* next = chunk->next;
    Free(chunk);
    chunk = next;
  }
  Free(arena);
}

}  // namespace xml_internal

using xml_internal::Free;
using xml_internal::Malloc;
using xml_internal::MarkChanged;

void XmlTesting_FailAllocationAfter(long n) noexcept {
  xml_internal::g_fail_after.store(n > 0 ? n : 0, std::memory_order_relaxed);
}

namespace {

bool NameEquals(const XmlNode* node, const char* name, size_t length) {
  return node->name != nullptr && node->name_length == length &&
         std::memcmp(node->name, name, length) == 0;
}

XmlNode* FindChildN(const XmlNode* node, const char* name, size_t length) {
  for (XmlNode* c = node->first_child; c != nullptr; c = c->next) {
    if (NameEquals(c, name, length)) return c;
  }
  return nullptr;
}

// A malloc'd NUL-terminated copy of n bytes.
char* CopyString(const char* s, size_t n) {
  char* copy = static_cast<char*>(Malloc(n + 1));
  if (copy == nullptr) return nullptr;
  std::memcpy(copy, s, n);
  copy[n] = '\0';
  return copy;
}

void ReleaseAttribute(XmlAttribute* attribute) {
  if (attribute->heap) Free(attribute);
}

}  // namespace

XmlNode* XmlNode_New() noexcept {
  auto* node = static_cast<XmlNode*>(Malloc(sizeof(XmlNode)));
  if (node == nullptr) return nullptr;
  std::memset(node, 0, sizeof(XmlNode));
  return node;
}

XmlNode* XmlNode_NewElement(const char* name, const char* text) noexcept {
  if (name == nullptr || name[0] == '\0') return nullptr;
  const size_t name_length = std::strlen(name);
  const size_t text_length = text != nullptr ? std::strlen(text) : 0;
  if (name_length > UINT32_MAX) return nullptr;
  // One block: the node, then its name, then its text.
  const size_t size = sizeof(XmlNode) + name_length + 1 + (text_length != 0 ? text_length + 1 : 0);
  auto* node = static_cast<XmlNode*>(Malloc(size));
  if (node == nullptr) return nullptr;
  std::memset(node, 0, sizeof(XmlNode));
  char* strings = reinterpret_cast<char*>(node + 1);
  std::memcpy(strings, name, name_length + 1);
  node->name = strings;
  node->name_length = static_cast<uint32_t>(name_length);
  if (text_length != 0) {
    node->text = strings + name_length + 1;
    std::memcpy(node->text, text, text_length + 1);
  }
  return node;
}

void XmlNode_Free(XmlNode* root) noexcept {
  if (root == nullptr) return;
  XmlArena* dead = nullptr;     // arenas to release once the walk is over
  XmlNode* pending = nullptr;   // nodes still to visit, chained through next
  XmlNode* node = root;
  while (node != nullptr) {
    XmlArena* arena = node->arena;
    XmlNode* next_pending = pending;
    if (arena != nullptr && !arena->dirty) {
      // Nothing in that arena points outside it: its memory goes with it.
      if (arena->owner == node) {
        arena->next_dead = dead;
        dead = arena;
      }
    } else {
      if (node->first_child != nullptr) {
        // Splice the children in front of the pending list. The root's own
        // next sibling is never followed: it belongs to the root's parent.
        node->last_child->next = pending;
        next_pending = node->first_child;
      }
      for (XmlAttribute* a = node->attributes; a != nullptr;) {
        XmlAttribute* next = a->next;
        ReleaseAttribute(a);
        a = next;
      }
      if (node->flags & kNodeNameHeap) Free(node->name);
      if (node->flags & kNodeTextHeap) Free(node->text);
      if (arena == nullptr) {
        Free(node);
      } else {
        // The memory stays with the arena; leave an empty node behind so that
        // a later walk of the arena's owner finds nothing to release twice.
        node->name = nullptr;
        node->text = nullptr;
        node->attributes = nullptr;
        node->first_child = nullptr;
        node->last_child = nullptr;
        node->name_length = 0;
        node->flags = 0;
        if (arena->owner == node) {
          arena->next_dead = dead;
          dead = arena;
        }
      }
    }
    pending = next_pending;
    node = pending;
    if (node != nullptr) pending = node->next;
  }
  while (dead != nullptr) {
    XmlArena* next = dead->next_dead;
    xml_internal::ArenaDestroy(dead);
    dead = next;
  }
}

const char* XmlNode_GetName(const XmlNode* node) noexcept {
  return node != nullptr ? node->name : nullptr;
}

int XmlNode_SetName(XmlNode* node, const char* name) noexcept {
  if (name == nullptr) return kXmlInvalidArgument;
  return XmlNode_SetName(node, name, std::strlen(name));
}

int XmlNode_SetName(XmlNode* node, const char* name, size_t length) noexcept {
  if (node == nullptr || name == nullptr) return kXmlInvalidArgument;
  length = strnlen(name, length);
  if (length == 0) return kXmlInvalidArgument;
  if (length > UINT32_MAX) return kXmlOutOfMemory;
  char* copy = CopyString(name, length);
  if (copy == nullptr) return kXmlOutOfMemory;
  if (node->flags & kNodeNameHeap) Free(node->name);
  node->name = copy;
  node->name_length = static_cast<uint32_t>(length);
  node->flags |= kNodeNameHeap;
  MarkChanged(node);
  return kXmlOk;
}

const char* XmlNode_GetText(const XmlNode* node) noexcept {
  return node != nullptr ? node->text : nullptr;
}

int XmlNode_SetText(XmlNode* node, const char* text) noexcept {
  return XmlNode_SetText(node, text, text != nullptr ? std::strlen(text) : 0);
}

int XmlNode_SetText(XmlNode* node, const char* text, size_t length) noexcept {
  if (node == nullptr) return kXmlInvalidArgument;
  // The old text is freed first.
  if (node->flags & kNodeTextHeap) Free(node->text);
  node->text = nullptr;
  node->flags &= static_cast<uint8_t>(~kNodeTextHeap);
  if (text == nullptr) return kXmlOk;
  length = strnlen(text, length);
  if (length == 0) return kXmlOk;
  char* copy = CopyString(text, length);
  if (copy == nullptr) return kXmlOutOfMemory;
  node->text = copy;
  node->flags |= kNodeTextHeap;
  MarkChanged(node);
  return kXmlOk;
}

size_t XmlNode_AttributeCount(const XmlNode* node) noexcept {
  if (node == nullptr) return 0;
  size_t n = 0;
  for (const XmlAttribute* a = node->attributes; a != nullptr; a = a->next) ++n;
  return n;
}

static const XmlAttribute* AttributeAt(const XmlNode* node, size_t index) {
  if (node == nullptr) return nullptr;
  const XmlAttribute* a = node->attributes;
  while (a != nullptr && index > 0) {
    a = a->next;
    --index;
  }
  return a;
}

const char* XmlNode_AttributeNameAt(const XmlNode* node, size_t index) noexcept {
  const XmlAttribute* a = AttributeAt(node, index);
  return a != nullptr ? a->name : nullptr;
}

const char* XmlNode_AttributeValueAt(const XmlNode* node, size_t index) noexcept {
  const XmlAttribute* a = AttributeAt(node, index);
  return a != nullptr ? a->value : nullptr;
}

const char* XmlNode_GetAttribute(const XmlNode* node, const char* name) noexcept {
  if (node == nullptr || name == nullptr || name[0] == '\0') return nullptr;
  const size_t length = std::strlen(name);
  for (const XmlAttribute* a = node->attributes; a != nullptr; a = a->next) {
    if (a->name_length == length && std::memcmp(a->name, name, length) == 0) return a->value;
  }
  return nullptr;
}

int XmlNode_SetAttribute(XmlNode* node, const char* name, const char* value) noexcept {
  if (node == nullptr || name == nullptr || name[0] == '\0') return kXmlInvalidArgument;
  const size_t name_length = std::strlen(name);
  const size_t value_length = value != nullptr ? std::strlen(value) : 0;
  if (name_length > UINT32_MAX) return kXmlOutOfMemory;
  XmlAttribute* added = nullptr;
  if (value_length != 0) {
    // Made before anything is removed, so a failure changes nothing.
    added = static_cast<XmlAttribute*>(
        Malloc(sizeof(XmlAttribute) + name_length + 1 + value_length + 1));
    if (added == nullptr) return kXmlOutOfMemory;
    char* strings = reinterpret_cast<char*>(added + 1);
    std::memcpy(strings, name, name_length + 1);
    std::memcpy(strings + name_length + 1, value, value_length + 1);
    added->name = strings;
    added->value = strings + name_length + 1;
    added->next = nullptr;
    added->name_length = static_cast<uint32_t>(name_length);
    added->heap = 1;
  }
  XmlAttribute** link = &node->attributes;
  while (*link != nullptr) {
    XmlAttribute* a = *link;
    if (a->name_length == name_length && std::memcmp(a->name, name, name_length) == 0) {
      *link = a->next;
      ReleaseAttribute(a);
    } else {
      link = &a->next;
    }
  }
  if (added != nullptr) *link = added;
  MarkChanged(node);
  return kXmlOk;
}

size_t XmlNode_ChildCount(const XmlNode* node) noexcept {
  if (node == nullptr) return 0;
  size_t n = 0;
  for (const XmlNode* c = node->first_child; c != nullptr; c = c->next) ++n;
  return n;
}

XmlNode* XmlNode_ChildAt(const XmlNode* node, size_t index) noexcept {
  if (node == nullptr) return nullptr;
  XmlNode* c = node->first_child;
  while (c != nullptr && index > 0) {
    c = c->next;
    --index;
  }
  return c;
}

XmlNode* XmlNode_FindChild(const XmlNode* node, const char* name) noexcept {
  if (node == nullptr || name == nullptr || name[0] == '\0') return nullptr;
  return FindChildN(node, name, std::strlen(name));
}

int XmlNode_AppendChild(XmlNode* parent, XmlNode* child) noexcept {
  if (parent == nullptr || child == nullptr) return kXmlInvalidArgument;
  if (parent->first_child == nullptr) {
    parent->first_child = child;
  } else {
    parent->last_child->next = child;
  }
  // A child that still carries following siblings brings them along.
  XmlNode* last = child;
  while (last->next != nullptr) last = last->next;
  parent->last_child = last;
  MarkChanged(parent);
  return kXmlOk;
}

XmlNode* XmlNode_FirstChild(const XmlNode* node) noexcept {
  return node != nullptr ? node->first_child : nullptr;
}

XmlNode* XmlNode_NextSibling(const XmlNode* node) noexcept {
  return node != nullptr ? node->next : nullptr;
}

const XmlAttribute* XmlNode_FirstAttribute(const XmlNode* node) noexcept {
  return node != nullptr ? node->attributes : nullptr;
}

const XmlAttribute* XmlAttribute_Next(const XmlAttribute* attribute) noexcept {
  return attribute != nullptr ? attribute->next : nullptr;
}

const char* XmlAttribute_Name(const XmlAttribute* attribute) noexcept {
  return attribute != nullptr ? attribute->name : nullptr;
}

const char* XmlAttribute_Value(const XmlAttribute* attribute) noexcept {
  return attribute != nullptr ? attribute->value : nullptr;
}

const char* XmlNode_GetTextByPath(const XmlNode* node, const char* path) noexcept {
  return XmlNode_GetTextByPath(node, path, path != nullptr ? std::strlen(path) : 0);
}

const char* XmlNode_GetTextByPath(const XmlNode* node, const char* path, size_t path_length) noexcept {
  if (node == nullptr) return nullptr;
  if (path == nullptr || path_length == 0) return node->text;
  const char* p = path;
  const char* const end = path + path_length;
  for (;;) {
    const char* slash = static_cast<const char*>(std::memchr(p, '/', static_cast<size_t>(end - p)));
    const char* step_end = slash != nullptr ? slash : end;
    const size_t step_length = static_cast<size_t>(step_end - p);
    if (step_length == 0) return nullptr;
    node = FindChildN(node, p, step_length);
    if (node == nullptr) return nullptr;
    if (slash == nullptr) return node->text;
    p = slash + 1;
  }
}

int XmlNode_SetByPath(XmlNode* node, const char* path, const char* value, void* context,
                      XmlPathMapper mapper) noexcept {
  if (node == nullptr || path == nullptr || path[0] == '\0' || mapper == nullptr) return 0;
  const char* p = path;
  XmlNode* current = node;
  for (;;) {
    // One step: optional "/", name characters, then the end, "/", or "+"
    // followed by "/" or the end.
    if (*p == '/') ++p;
    const char* step = p;
    while (xml_internal::IsNameChar(static_cast<unsigned char>(*p))) ++p;
    const size_t step_length = static_cast<size_t>(p - step);
    if (step_length == 0) return 0;
    bool always_create = false;
    if (*p == '+') {
      always_create = true;
      ++p;
    }
    if (*p != '/' && *p != '\0') return 0;
    const bool last = *p == '\0';

    int kind = 0;
    const char* name = mapper(current, step, step_length, context, &kind);
    if (name == nullptr || name[0] == '\0') return 0;
    if (kind == kXmlStepAttribute) {
      if (!last) return 0;
      return XmlNode_SetAttribute(current, name, value) == kXmlOk ? 1 : 0;
    }
    if (kind != kXmlStepElement) return 0;
    XmlNode* child = always_create ? nullptr : XmlNode_FindChild(current, name);
    if (child == nullptr) {
      child = XmlNode_NewElement(name, nullptr);
      if (child == nullptr) return 0;
      XmlNode_AppendChild(current, child);
    }
    current = child;
    if (last) return XmlNode_SetText(current, value) == kXmlOk ? 1 : 0;
  }
}

}  // namespace tavo
