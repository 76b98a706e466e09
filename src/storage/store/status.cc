#include "storage/store/status.h"

#include <cerrno>

namespace tavo {

StoreStatus StoreStatusFromErrno(int err) noexcept {
  struct Mapping {
    int err;
    StoreStatus status;
  };
  static constexpr Mapping kMappings[] = {
      {0, kStoreOk},
      {ENOENT, kStoreNotFound},
      {EBADF, kStoreInvalidArgument},
      {EACCES, kStoreAccessDenied},
      {EPERM, kStoreAccessDenied},
      {EROFS, kStoreAccessDenied},
      {EEXIST, kStoreFileExists},
      {ENOSPC, kStoreNoSpace},
      {EDQUOT, kStoreNoSpace},
      {ENOMEM, kStoreNoMemory},
  };
  for (const Mapping& m : kMappings) {
    if (m.err == err) return m.status;
  }
  return kStoreFileSystem;
}

}  // namespace tavo
