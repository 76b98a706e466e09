// The four exports of libTAVOControl.so are the ones every module has
// (platform/com/module_exports.cc), over the control's class table.
#include "control/class_table.h"
#include "platform/com/module_exports.h"

namespace tavo {

const ServedModule& ThisServedModule() {
  static const ServedModule kModule{control::ControlClasses(), control::ControlTypeLibrary()};
  return kModule;
}

}  // namespace tavo
