// From a subsystem's own status codes to the statuses a host sees.
//
// Each subsystem keeps one table, next to the automation classes that adapt
// it (for example generation/objects/gen_status.h), so that every member
// answers a code the same way. A code the table does not name is a failure
// the host cannot act on: E_FAIL, unless the caller names another answer.
#ifndef TAVO_PLATFORM_COM_STATUS_MAP_H_
#define TAVO_PLATFORM_COM_STATUS_MAP_H_

#include <cstdint>
#include <span>

#include "tavo/automation.h"

namespace tavo {

struct StatusMapping {
  uint32_t status;
  HRESULT hr;
};

constexpr HRESULT MapStatus(std::span<const StatusMapping> table, uint32_t status, HRESULT otherwise = E_FAIL) {
  for (const StatusMapping& m : table) {
    if (m.status == status) return m.hr;
  }
  return otherwise;
}

}  // namespace tavo

#endif  // TAVO_PLATFORM_COM_STATUS_MAP_H_
