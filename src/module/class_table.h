// The module's class table: the 25 classes in their fixed order, each with
// its class identifier, the number of its registration script (0 when the
// class is not registered) and its creation function. Classes whose
// creation function is null answer E_NOTIMPL from CreateInstance.
#ifndef TAVO_MODULE_CLASS_TABLE_H_
#define TAVO_MODULE_CLASS_TABLE_H_

#include <span>
#include <string_view>

#include "platform/com/class_factory.h"
#include "tavo/tavo.h"

namespace tavo {

struct ClassEntry {
  std::string_view name;          // "TavoPeltaPlaylist2Mgr"
  const CLSID* clsid;
  int script;                     // registration script resource number, 0 for none
  std::string_view progid_prefix;  // "TavoPlaylist2Pelta" or, for the timestamp, "TavoPlaylist"
  std::string_view clsid_text;    // as the script writes it
  CreateFunction create;
};

std::span<const ClassEntry> ClassTable();
const ClassEntry* FindClass(REFCLSID clsid);

}  // namespace tavo

#endif  // TAVO_MODULE_CLASS_TABLE_H_
