// Play length and bit rate of a Windows Media Audio (ASF) file, read with
// TagLib's ASF support from the file's header objects.
//
//   WmaReader reader(env);
//   if (reader.Read(path) == WmaStatus::kOk) {
//     uint32_t ms = reader.DurationMs();
//     uint32_t kbps = reader.BitRate();
//   }
//
// Whether WMA support is present is settled once per process, on the first
// Read; when it is absent every Read fails with kUnavailable, and callers go
// on without the two values.
#ifndef TAVO_MEDIA_WMA_READER_H_
#define TAVO_MEDIA_WMA_READER_H_

#include <cstdint>
#include <string>

#include "platform/fs/env.h"

namespace tavo {

enum class WmaStatus : uint32_t {
  kOk = 0,
  kUnreadable = 0x80004005,   // cannot be opened, or not a readable ASF file
  kUnavailable = 0xC000007E,  // WMA support is not present in this process
};

enum class WmaSupport { kUnchecked, kAvailable, kUnavailable };

class WmaReader {
 public:
  explicit WmaReader(Env* env = Env::Default()) noexcept : env_(env) {}

  // Reads the file's stream properties. On any failure both values are 0.
  WmaStatus Read(const std::string& path);

  // Milliseconds of play, preroll excluded; 0 when the file does not say.
  uint32_t DurationMs() const noexcept { return duration_ms_; }
  // Kilobits per second; 0 when the file does not say.
  uint32_t BitRate() const noexcept { return bit_rate_; }

  // The process-wide availability, as settled by the first Read.
  static WmaSupport Support() noexcept;
  // Lets a test act out a process without WMA support (or reset to unchecked).
  static void SetSupportForTesting(WmaSupport support) noexcept;

 private:
  Env* env_;
  uint32_t duration_ms_ = 0;
  uint32_t bit_rate_ = 0;
};

}  // namespace tavo

#endif  // TAVO_MEDIA_WMA_READER_H_
