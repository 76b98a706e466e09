// Property sets: the small keyed XML document in which the library
// keeps the text attributes of one track (and four further kinds of set).
//
// Keys are named by their index in the fixed key table (vocabulary/
// property_keys.h), optionally with an instance number; the set checks that
// the key belongs to its kind. Values are non-empty NUL-terminated UTF-8 byte
// strings; a key without a value is absent from the tree.
//
// Statuses (uint32_t): 0 success; 0x2001 invalid argument; 0x2002 out of
// memory; 0x2003 key absent (GetValue); 0x2004 the writer produced no text
// (Serialize); 1 the path walk of SetValue failed; PropertySet_Parse passes on
// the parser's statuses 1 to 5 (data/xml/xml.h).
//
// Threads: SetValue copies each path step into a step buffer of 288 bytes;
// each thread has a buffer of its own,
// so SetValue on distinct sets may run on distinct threads. One set must not
// be changed while another thread reads it.
#ifndef TAVO_VOCABULARY_PROPERTY_SET_H_
#define TAVO_VOCABULARY_PROPERTY_SET_H_

#include <cstddef>
#include <cstdint>
#include <memory>

#include "data/xml/xml.h"
#include "vocabulary/property_keys.h"

namespace tavo {

enum PropertySetStatus : uint32_t {
  kPropertySetOk = 0,
  kPropertySetPathFailed = 1,
  kPropertySetInvalidArgument = 0x2001,
  kPropertySetOutOfMemory = 0x2002,
  kPropertySetKeyAbsent = 0x2003,
  kPropertySetNoText = 0x2004,
};

// Limits of the paths built from a key and its instance number.
inline constexpr size_t kPropertySetSetPathBuffer = 100;  // SetValue keeps at most 99 bytes
inline constexpr size_t kPropertySetGetPathBuffer = 32;   // GetValue keeps at most 31 bytes
inline constexpr size_t kPropertySetStepBuffer = 288;     // a step name keeps at most 287 bytes

struct PropertySet;  // opaque: a root XmlNode and a kind

// A new set of `kind` (1 to 5) with an empty root element named after the kind.
uint32_t PropertySet_Create(PropertySet** set, uint16_t kind) noexcept;
// Frees the tree and the set; a missing set is ignored. Always 0.
uint32_t PropertySet_Free(PropertySet* set) noexcept;
// Parses XML text into a new set recording `kind` (below 6; the root's name is
// not compared with it).
uint32_t PropertySet_Parse(PropertySet** set, uint16_t kind, const char* bytes, size_t length) noexcept;
// The one-line text (declaration on, no indent, no line breaks), newly
// allocated and NUL-terminated; *length (optional) is its length without the NUL.
uint32_t PropertySet_Serialize(const PropertySet* set, char** text, size_t* length) noexcept;
// Frees a text from PropertySet_Serialize; a missing text is ignored.
void PropertySet_FreeText(char* text) noexcept;
// Stores `value` (non-empty) under the key; see the statuses above.
uint32_t PropertySet_SetValue(PropertySet* set, uint32_t key_index, int instance, const char* value) noexcept;
// Copies the key's value into buffer (at most buffer_size - 1 bytes, then a
// zero byte in the last byte of the buffer). buffer_size must be at least 1.
uint32_t PropertySet_GetValue(const PropertySet* set, uint32_t key_index, int instance,
                              char* buffer, size_t buffer_size) noexcept;
// The key's value without copying it, or none (absent key, key not allowed for
// the kind, missing set). Valid until the set is changed or freed. For hot
// readers (criteria evaluation) that need no copy.
const char* PropertySet_PeekValue(const PropertySet* set, uint32_t key_index, int instance) noexcept;
// True when the set exists, its kind is 1 to 5 and the index lies strictly
// between the kind's bounds.
bool PropertySet_KeyAllowed(const PropertySet* set, uint32_t key_index) noexcept;

// The set's root element and kind.
XmlNode* PropertySet_Root(const PropertySet* set) noexcept;
uint16_t PropertySet_Kind(const PropertySet* set) noexcept;

struct PropertySetDeleter {
  void operator()(PropertySet* set) const noexcept { PropertySet_Free(set); }
};
using PropertySetPtr = std::unique_ptr<PropertySet, PropertySetDeleter>;

}  // namespace tavo

#endif  // TAVO_VOCABULARY_PROPERTY_SET_H_
