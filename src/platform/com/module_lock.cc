#include "platform/com/module_lock.h"

namespace tavo {

std::atomic<LONG>& ModuleLockCount() noexcept {
  static std::atomic<LONG> count{0};
  return count;
}

}  // namespace tavo
