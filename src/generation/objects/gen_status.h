// How the generator classes answer the status codes of record operations:
// every failure (a missing record or argument, an item not in its chain,
// memory running out inside a record) is E_FAIL to the host.
#ifndef TAVO_GENERATION_OBJECTS_GEN_STATUS_H_
#define TAVO_GENERATION_OBJECTS_GEN_STATUS_H_

#include "generation/records/generation_status.h"
#include "platform/com/status_map.h"

namespace tavo {

inline constexpr StatusMapping kGenStatusMapping[] = {{kGenOk, S_OK}};

constexpr HRESULT GenHresult(GenStatus status) { return MapStatus(kGenStatusMapping, status); }

}  // namespace tavo

#endif  // TAVO_GENERATION_OBJECTS_GEN_STATUS_H_
