// Internals of the XML layer shared by its translation units. Not for callers.
#ifndef TAVO_DATA_XML_XML_INTERNAL_H_
#define TAVO_DATA_XML_XML_INTERNAL_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "data/xml/xml.h"

namespace tavo {

struct XmlArena;

// XmlNode::flags
inline constexpr uint8_t kNodeNameHeap = 1;  // name is a malloc block of its own
inline constexpr uint8_t kNodeTextHeap = 2;  // text is a malloc block of its own

struct XmlAttribute {
  char* name;
  char* value;
  XmlAttribute* next;
  uint32_t name_length;
  // 1: this attribute, with its name and value stored right after it, is one
  // malloc block. 0: it lives in an arena.
  uint8_t heap;
};

struct XmlNode {
  char* name;  // null until named
  char* text;  // null when the element has no text; never empty
  XmlAttribute* attributes;
  XmlNode* first_child;
  XmlNode* last_child;
  XmlNode* next;     // next sibling
  XmlArena* arena;   // the arena holding this node's memory; null for a malloc'd node
  uint32_t name_length;
  uint8_t flags;
};

// A bump allocator holding a parsed tree. It lives at the start of its first
// block; further chunks are chained. The root node of the parse owns it.
struct XmlArenaChunk {
  XmlArenaChunk* next;
};

struct XmlArena {
  XmlNode* owner;
  char* cursor;
  char* end;
  XmlArenaChunk* chunks;  // extra chunks, freed with the arena
  size_t last_chunk_size;
  XmlArena* next_dead;    // used while freeing
  // Set once anything outside the arena (a malloc'd string, attribute or
  // child, or a node of another arena) is attached to one of its nodes. A
  // clean arena is freed without walking its tree.
  bool dirty;
};

namespace xml_internal {

void* Malloc(size_t n);
void* Realloc(void* p, size_t n);
inline void Free(void* p) { std::free(p); }

// Creates an arena whose first block has `first_block` usable bytes.
XmlArena* ArenaCreate(size_t first_block);
void* ArenaAllocSlow(XmlArena* arena, size_t n);
inline void* ArenaAlloc(XmlArena* arena, size_t n) {
  n = (n + 7) & ~static_cast<size_t>(7);
  if (static_cast<size_t>(arena->end - arena->cursor) >= n) {
    void* p = arena->cursor;
    arena->cursor += n;
    return p;
  }
  return ArenaAllocSlow(arena, n);
}
void ArenaDestroy(XmlArena* arena);

inline void MarkChanged(XmlNode* node) {
  if (node->arena != nullptr) node->arena->dirty = true;
}

// Name characters: ASCII letters, digits and "_".
extern const std::array<bool, 256> kNameChar;
// Whitespace: space, tab, line feed, vertical tab, form feed, carriage return.
extern const std::array<bool, 256> kSpaceChar;

inline bool IsNameChar(unsigned char c) { return kNameChar[c]; }
inline bool IsSpaceChar(unsigned char c) { return kSpaceChar[c]; }

// Decodes entities of [src, src + n) into dst (which may be the same memory as
// src, or any block of n bytes; the result is never longer than the input).
// Returns the decoded length. Writes no terminator.
size_t DecodeInto(const char* src, size_t n, char* dst);

}  // namespace xml_internal
}  // namespace tavo

#endif  // TAVO_DATA_XML_XML_INTERNAL_H_
