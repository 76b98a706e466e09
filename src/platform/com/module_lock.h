// The lock count of the module this code is linked into: live objects plus
// server locks. Each shared module (component, control) links its own copy
// of this library and so has its own count, which its DllCanUnloadNow reads.
#ifndef TAVO_PLATFORM_COM_MODULE_LOCK_H_
#define TAVO_PLATFORM_COM_MODULE_LOCK_H_

#include <atomic>

#include "tavo/automation.h"

namespace tavo {

std::atomic<LONG>& ModuleLockCount() noexcept;

}  // namespace tavo

#endif  // TAVO_PLATFORM_COM_MODULE_LOCK_H_
