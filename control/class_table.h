// The control library's creatable classes and their registration.
#ifndef TAVO_CONTROL_CLASS_TABLE_H_
#define TAVO_CONTROL_CLASS_TABLE_H_

#include <span>
#include <string>
#include <string_view>

#include "platform/com/class_factory.h"
#include "tavo/control.h"

namespace tavo::control {

struct ControlClass {
  std::string_view name;  // ProgID "TAVOControl.<name>"
  const CLSID* clsid;
  CreateFunction create;
};

std::span<const ControlClass> ControlClasses();

// Registers every class (ProgIDs, CLSID key with InprocServer32 =
// module_path) and the type library with its interfaces; the first failure.
HRESULT RegisterControl(const std::string& module_path);
// Removes what RegisterControl wrote; always S_OK.
HRESULT UnregisterControl(const std::string& module_path);

}  // namespace tavo::control

#endif  // TAVO_CONTROL_CLASS_TABLE_H_
