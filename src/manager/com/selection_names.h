// The file names a host hands CreateDynPlaylist for a selection-based
// generator: a one-dimensional array of automation strings, given as
//   VT_ARRAY | VT_BSTR                     the array itself (may be null: no names),
//   VT_BYREF | VT_ARRAY | VT_BSTR          a reference to such an array,
//   VT_BYREF | VT_VARIANT                  a variant holding one of the two
//                                          (what script hosts pass).
// Anything else, an array of more dimensions or one whose elements are not
// strings, is refused. A null string is an empty name. Names become UTF-8,
// whole: nothing is cut.
#ifndef TAVO_MANAGER_COM_SELECTION_NAMES_H_
#define TAVO_MANAGER_COM_SELECTION_NAMES_H_

#include <string>
#include <vector>

#include "tavo/automation.h"

namespace tavo {

// S_OK with the names in array order, E_INVALIDARG for a variant of another
// kind, E_OUTOFMEMORY.
HRESULT SelectionNames(const VARIANT& files, std::vector<std::string>* names) noexcept;

}  // namespace tavo

#endif  // TAVO_MANAGER_COM_SELECTION_NAMES_H_
