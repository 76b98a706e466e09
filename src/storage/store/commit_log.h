// The commit log: "<store file>-log", beside the store file while a writer
// has it open or after a crash. Each flush appends one transaction holding the
// new bytes of every range of the store file it changes; once the
// transaction is durable, the ranges are written into the store file. See
// README.md beside this file for the protocol and its invariants.
//
// All words are little-endian on every machine.
//
// Log header, at offset 0:
//
//   OFFSET      SIZE  DESCRIPTION
//   0           8     magic "TXDBLOG1"
//   8           4     salt: drawn anew whenever the log starts over
//   12          4     0
//   16          512   base: the store file's header when the log started over
//   528         8     checksum of bytes 0-527
//
// Transactions follow back to back, from offset 536:
//
//   OFFSET      SIZE  DESCRIPTION
//   0           4     magic "TXTR"
//   4           4     salt of the log header
//   8           4     sequence: 1 for the first transaction after the header
//   12          4     number of ranges
//   16          4     payload bytes: the ranges that follow
//   20          ...   ranges: store-file offset (4), length (4), the bytes
//   20+payload  8     checksum of the transaction from its offset 0
//
// A reader takes the transactions in order while each is whole (magic, salt,
// sequence, lengths and checksum check out) and stops at the first that is
// not: a torn tail, or one left from before the log started over.
#ifndef TAVO_STORAGE_STORE_COMMIT_LOG_H_
#define TAVO_STORAGE_STORE_COMMIT_LOG_H_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "storage/store/byte_ranges.h"
#include "storage/store/format.h"

namespace tavo {

inline constexpr uint32_t kLogHeaderBytes = 536;

// The log's path for a store file's path.
std::string CommitLogPath(const std::string& store_path);

std::vector<uint8_t> EncodeLogHeader(uint32_t salt, const uint8_t base[kHeaderReserved]);
// A range of the store file and its new bytes.
struct LogRange {
  uint32_t offset;
  const uint8_t* bytes;
  uint32_t length;
};

// Appends one transaction of these ranges to *out.
void EncodeLogTransaction(uint32_t salt, uint32_t sequence, const std::vector<LogRange>& ranges,
                          std::vector<uint8_t>* out);

struct LogContents {
  std::vector<uint8_t> bytes;  // the whole log
  bool valid = false;          // the log header checks out
  uint32_t salt = 0;
  // The whole transactions in order; each one's ranges (pointing into
  // `bytes`), in offset order.
  std::vector<std::vector<LogRange>> transactions;

  // True when `header` (kHeaderReserved bytes of the store file) is the base
  // or the header that one of the transactions wrote: the log belongs to
  // this file, whichever of its transactions have reached it.
  bool Describes(const uint8_t* header) const;
};

LogContents ParseLog(std::vector<uint8_t> bytes);

}  // namespace tavo

#endif  // TAVO_STORAGE_STORE_COMMIT_LOG_H_
