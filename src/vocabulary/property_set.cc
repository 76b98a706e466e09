// Property sets over the XML layer.
#include "vocabulary/property_set.h"

#include <cstdlib>
#include <cstring>

#include "data/xml/xml_internal.h"

namespace tavo {

struct PropertySet {
  XmlNode* root;
  uint16_t kind;
  // A parsed set lives inside its root's arena and goes with it.
  bool in_arena;
};

namespace {

// The step buffer of SetValue (one per thread; see the header).
thread_local char t_step[kPropertySetStepBuffer];

// Every step is an element of the same name.
const char* StepMapper(XmlNode*, const char* step, size_t length, void*, int* kind) {
  const size_t n = length < kPropertySetStepBuffer - 1 ? length : kPropertySetStepBuffer - 1;
  std::memcpy(t_step, step, n);
  t_step[n] = '\0';
  *kind = kXmlStepElement;
  return t_step;
}

const char* Lookup(const PropertySet* set, uint32_t key_index, int instance) {
  char path[kPropertySetGetPathBuffer];
  const size_t n = PropertyKey_BuildPath(key_index, instance, path, sizeof(path));
  return XmlNode_GetTextByPath(set->root, path, n);
}

}  // namespace

bool PropertySet_KeyAllowed(const PropertySet* set, uint32_t key_index) noexcept {
  if (set == nullptr || set->kind < 1 || set->kind > 5) return false;
  uint32_t low = 0, high = 0;
  PropertySetKind_KeyBounds(set->kind, &low, &high);
  return key_index > low && key_index < high;
}

uint32_t PropertySet_Create(PropertySet** set, uint16_t kind) noexcept {
  if (set == nullptr) return kPropertySetInvalidArgument;
  *set = nullptr;
  if (kind < 1 || kind > 5) return kPropertySetInvalidArgument;
  XmlNode* root = XmlNode_NewElement(PropertyKey(PropertySetKind_RootKey(kind)), nullptr);
  if (root == nullptr) return kPropertySetOutOfMemory;
  auto* s = static_cast<PropertySet*>(xml_internal::Malloc(sizeof(PropertySet)));
  if (s == nullptr) {
    XmlNode_Free(root);
    return kPropertySetOutOfMemory;
  }
  s->root = root;
  s->kind = kind;
  s->in_arena = false;
  *set = s;
  return kPropertySetOk;
}

uint32_t PropertySet_Free(PropertySet* set) noexcept {
  if (set == nullptr) return kPropertySetOk;
  XmlNode* root = set->root;
  const bool in_arena = set->in_arena;
  XmlNode_Free(root);  // takes an arena-held set with it
  if (!in_arena) xml_internal::Free(set);
  return kPropertySetOk;
}

uint32_t PropertySet_Parse(PropertySet** set, uint16_t kind, const char* bytes, size_t length) noexcept {
  if (set == nullptr) return kPropertySetInvalidArgument;
  *set = nullptr;
  if (kind > 5 || bytes == nullptr || length == 0) return kPropertySetInvalidArgument;
  XmlNode* root = nullptr;
  const int rc = XmlDocument_Parse(bytes, length, &root);
  if (rc != kXmlOk) return static_cast<uint32_t>(rc);
  // The set record goes into the tree's arena: one allocation per parse.
  auto* s = static_cast<PropertySet*>(xml_internal::ArenaAlloc(root->arena, sizeof(PropertySet)));
  if (s == nullptr) {
    XmlNode_Free(root);
    return kPropertySetOutOfMemory;
  }
  s->root = root;
  s->kind = kind;
  s->in_arena = true;
  *set = s;
  return kPropertySetOk;
}

uint32_t PropertySet_Serialize(const PropertySet* set, char** text, size_t* length) noexcept {
  if (length != nullptr) *length = 0;
  if (text == nullptr) return kPropertySetInvalidArgument;
  *text = nullptr;
  if (set == nullptr) return kPropertySetInvalidArgument;
  size_t n = 0;
  char* out = XmlDocument_Serialize(set->root, /*with_declaration=*/true, /*indent=*/false,
                                    /*line_breaks=*/false, &n);
  if (out == nullptr) return kPropertySetNoText;
  *text = out;
  if (length != nullptr) *length = n;
  return kPropertySetOk;
}

void PropertySet_FreeText(char* text) noexcept { XmlText_Free(text); }

uint32_t PropertySet_SetValue(PropertySet* set, uint32_t key_index, int instance,
                              const char* value) noexcept {
  if (set == nullptr || value == nullptr || value[0] == '\0' ||
      !PropertySet_KeyAllowed(set, key_index)) {
    return kPropertySetInvalidArgument;
  }
  char path[kPropertySetSetPathBuffer];
  PropertyKey_BuildPath(key_index, instance, path, sizeof(path));
  return XmlNode_SetByPath(set->root, path, value, nullptr, StepMapper) != 0
             ? kPropertySetOk
             : kPropertySetPathFailed;
}

uint32_t PropertySet_GetValue(const PropertySet* set, uint32_t key_index, int instance,
                              char* buffer, size_t buffer_size) noexcept {
  if (set == nullptr || buffer == nullptr || buffer_size == 0 ||
      !PropertySet_KeyAllowed(set, key_index)) {
    return kPropertySetInvalidArgument;
  }
  const char* value = Lookup(set, key_index, instance);
  if (value == nullptr) return kPropertySetKeyAbsent;
  const size_t n = strnlen(value, buffer_size);
  std::memcpy(buffer, value, n < buffer_size ? n + 1 : buffer_size);
  buffer[buffer_size - 1] = '\0';
  return kPropertySetOk;
}

const char* PropertySet_PeekValue(const PropertySet* set, uint32_t key_index, int instance) noexcept {
  if (!PropertySet_KeyAllowed(set, key_index)) return nullptr;
  return Lookup(set, key_index, instance);
}

XmlNode* PropertySet_Root(const PropertySet* set) noexcept { return set != nullptr ? set->root : nullptr; }

uint16_t PropertySet_Kind(const PropertySet* set) noexcept { return set != nullptr ? set->kind : 0; }

}  // namespace tavo
