// The control library's creatable classes and its type library.
#ifndef TAVO_CONTROL_CLASS_TABLE_H_
#define TAVO_CONTROL_CLASS_TABLE_H_

#include <span>

#include "platform/com/server.h"
#include "tavo/control.h"

namespace tavo::control {

// Every class is registered, with ProgIDs "TAVOControl.<name>" and ".1".
std::span<const ServedClass> ControlClasses();
const TypeLibrary& ControlTypeLibrary();

}  // namespace tavo::control

#endif  // TAVO_CONTROL_CLASS_TABLE_H_
