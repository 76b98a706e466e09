// The module's class table: the 25 classes in their fixed order (that of
// tavo/classes.def), each with its identifier and name from that
// description, the number of its registration script (0 when the class is
// not registered) and its creation function. Classes whose creation function
// is null answer E_NOTIMPL from CreateInstance.
#ifndef TAVO_MODULE_CLASS_TABLE_H_
#define TAVO_MODULE_CLASS_TABLE_H_

#include <span>

#include "platform/com/server.h"
#include "tavo/tavo.h"

namespace tavo {

using ClassEntry = ServedClass;

std::span<const ClassEntry> ClassTable();
const ClassEntry* FindClass(REFCLSID clsid);
// The type library TAVOPLAYLIST2LibPelta and its interfaces.
const TypeLibrary& ComponentTypeLibrary();

}  // namespace tavo

#endif  // TAVO_MODULE_CLASS_TABLE_H_
