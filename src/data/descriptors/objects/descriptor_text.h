// Texts of descriptor items at the interface: the display name and the
// description are UTF-8 in the list and cross as automation strings of at
// most kMaxDescriptorText UTF-16 characters.
#ifndef TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_TEXT_H_
#define TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_TEXT_H_

#include <cstddef>
#include <string_view>

#include "tavo/automation.h"

namespace tavo {

inline constexpr size_t kMaxDescriptorText = 2048;

// StoreText (platform/com/out_values.h) of `utf8` converted to UTF-16 and cut
// to the limit; a cut never separates the two halves of a surrogate pair.
HRESULT StoreDescriptorText(BSTR* out, std::string_view utf8);

}  // namespace tavo

#endif  // TAVO_DATA_DESCRIPTORS_OBJECTS_DESCRIPTOR_TEXT_H_
