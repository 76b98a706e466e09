// Status codes of the record operations of the generation subsystem. The
// automation classes turn every failure into E_FAIL.
#ifndef TAVO_GENERATION_RECORDS_GENERATION_STATUS_H_
#define TAVO_GENERATION_RECORDS_GENERATION_STATUS_H_

#include <cstdint>

namespace tavo {

enum GenStatus : uint32_t {
  kGenOk = 0,
  kGenNotFound = 2,     // the item is not in the chain
  kGenBadArgument = 4,  // missing record or argument, field out of range, record already linked, chain full
  kGenNoMemory = 0x2002,
};

}  // namespace tavo

#endif  // TAVO_GENERATION_RECORDS_GENERATION_STATUS_H_
