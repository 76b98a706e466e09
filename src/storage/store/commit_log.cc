#include "storage/store/commit_log.h"

#include <cstring>

#include "storage/store/checksum.h"

namespace tavo {
namespace {

constexpr char kLogMagic[8] = {'T', 'X', 'D', 'B', 'L', 'O', 'G', '1'};
constexpr char kTransactionMagic[4] = {'T', 'X', 'T', 'R'};
constexpr size_t kBaseOffset = 16;
constexpr size_t kTransactionHead = 20;
constexpr size_t kRangeHead = 8;
constexpr size_t kChecksumBytes = 8;

void PutLe(uint8_t* p, uint64_t v, size_t n) {
  for (size_t i = 0; i < n; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint64_t GetLe(const uint8_t* p, size_t n) {
  uint64_t v = 0;
  for (size_t i = 0; i < n; ++i) v |= uint64_t{p[i]} << (8 * i);
  return v;
}

// One transaction at `at`, or false when the bytes there are not a whole one.
bool ParseTransaction(const std::vector<uint8_t>& log, size_t at, uint32_t salt, uint32_t sequence,
                      std::vector<LogRange>* ranges, size_t* next) {
  const uint8_t* p = log.data() + at;
  const size_t left = log.size() - at;
  if (left < kTransactionHead + kChecksumBytes || std::memcmp(p, kTransactionMagic, 4) != 0 ||
      GetLe(p + 4, 4) != salt || GetLe(p + 8, 4) != sequence) {
    return false;
  }
  const uint64_t count = GetLe(p + 12, 4);
  const uint64_t payload = GetLe(p + 16, 4);
  if (payload > left - kTransactionHead - kChecksumBytes) return false;
  const size_t end = kTransactionHead + static_cast<size_t>(payload);
  if (GetLe(p + end, 8) != Checksum64(p, end)) return false;
  ranges->clear();
  size_t pos = kTransactionHead;
  for (uint64_t i = 0; i < count; ++i) {
    if (end - pos < kRangeHead) return false;
    const uint64_t offset = GetLe(p + pos, 4);
    const uint64_t length = GetLe(p + pos + 4, 4);
    pos += kRangeHead;
    if (length > end - pos || offset + length > 0xFFFFFFFFull) return false;
    ranges->push_back({static_cast<uint32_t>(offset), p + pos, static_cast<uint32_t>(length)});
    pos += static_cast<size_t>(length);
  }
  if (pos != end) return false;
  *next = at + end + kChecksumBytes;
  return true;
}

}  // namespace

std::string CommitLogPath(const std::string& store_path) { return store_path + "-log"; }

std::vector<uint8_t> EncodeLogHeader(uint32_t salt, const uint8_t base[kHeaderReserved]) {
  std::vector<uint8_t> out(kLogHeaderBytes, 0);
  std::memcpy(out.data(), kLogMagic, 8);
  PutLe(out.data() + 8, salt, 4);
  std::memcpy(out.data() + kBaseOffset, base, kHeaderReserved);
  PutLe(out.data() + kBaseOffset + kHeaderReserved, Checksum64(out.data(), kBaseOffset + kHeaderReserved), 8);
  return out;
}

void EncodeLogTransaction(uint32_t salt, uint32_t sequence, const std::vector<LogRange>& ranges,
                          std::vector<uint8_t>* out) {
  size_t payload = 0;
  for (const LogRange& range : ranges) payload += kRangeHead + range.length;
  const size_t start = out->size();
  out->resize(start + kTransactionHead + payload + kChecksumBytes);
  uint8_t* p = out->data() + start;
  std::memcpy(p, kTransactionMagic, 4);
  PutLe(p + 4, salt, 4);
  PutLe(p + 8, sequence, 4);
  PutLe(p + 12, ranges.size(), 4);
  PutLe(p + 16, payload, 4);
  size_t pos = kTransactionHead;
  for (const LogRange& range : ranges) {
    PutLe(p + pos, range.offset, 4);
    PutLe(p + pos + 4, range.length, 4);
    std::memcpy(p + pos + kRangeHead, range.bytes, range.length);
    pos += kRangeHead + range.length;
  }
  PutLe(p + pos, Checksum64(p, pos), 8);
}

LogContents ParseLog(std::vector<uint8_t> bytes) {
  LogContents log;
  log.bytes = std::move(bytes);
  const std::vector<uint8_t>& b = log.bytes;
  if (b.size() < kLogHeaderBytes || std::memcmp(b.data(), kLogMagic, 8) != 0 ||
      GetLe(b.data() + kBaseOffset + kHeaderReserved, 8) != Checksum64(b.data(), kBaseOffset + kHeaderReserved)) {
    return log;
  }
  log.valid = true;
  log.salt = static_cast<uint32_t>(GetLe(b.data() + 8, 4));
  std::vector<LogRange> ranges;
  for (size_t at = kLogHeaderBytes, next = 0;
       ParseTransaction(b, at, log.salt, static_cast<uint32_t>(log.transactions.size() + 1), &ranges, &next);
       at = next) {
    log.transactions.push_back(ranges);
  }
  return log;
}

bool LogContents::Describes(const uint8_t* header) const {
  if (!valid) return false;
  if (std::memcmp(bytes.data() + kBaseOffset, header, kHeaderReserved) == 0) return true;
  for (const std::vector<LogRange>& ranges : transactions) {
    if (!ranges.empty() && ranges.front().offset == 0 && ranges.front().length >= kHeaderReserved &&
        std::memcmp(ranges.front().bytes, header, kHeaderReserved) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace tavo
