#include "storage/library/temporary_path.h"

#include <unistd.h>

#include <atomic>

namespace tavo {

std::string TemporaryPathBeside(const std::string& target, const char* purpose) {
  static std::atomic<uint64_t> sequence{0};
  return target + "." + purpose + "." + std::to_string(::getpid()) + "." + std::to_string(++sequence);
}

}  // namespace tavo
