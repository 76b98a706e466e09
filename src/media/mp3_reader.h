// Stream properties of an MP3 file: play length and bit rate, taken from the
// first frame header, an optional "Xing" header and the file size. The reader
// touches a few kilobytes at the start of the file and never decodes audio.
//
//   Mp3Reader reader(env);
//   if (reader.Open(path) == Mp3Status::kOk) {
//     uint32_t kbps = reader.BitRate();
//     uint32_t hundredths = reader.Duration();
//   }
//
// The file is closed again before Open returns; the values stay with the
// reader. Damaged input is never an error beyond the two statuses below: every
// value is defined (possibly 0) after a successful Open.
#ifndef TAVO_MEDIA_MP3_READER_H_
#define TAVO_MEDIA_MP3_READER_H_

#include <cstdint>
#include <string>

#include "media/mp3_frame_header.h"
#include "media/xing_header.h"
#include "platform/fs/env.h"

namespace tavo {

enum class Mp3Status : int {
  kOk = 0,
  kCannotOpen = 2,  // the file cannot be opened, sized or read
  kNoFrame = 4,     // shorter than 4 bytes, or no valid frame header in it
};

class Mp3Reader {
 public:
  explicit Mp3Reader(Env* env = Env::Default()) noexcept : env_(env) {}

  // Measures the file at `path`. Every call starts afresh; after a failure the
  // values read 0.
  Mp3Status Open(const std::string& path);

  // Kilobits per second.
  uint32_t BitRate() const noexcept { return bit_rate_; }
  uint32_t FrameCount() const noexcept { return frame_count_; }
  // Hundredths of a second.
  uint32_t Duration() const noexcept { return duration_; }

  bool is_vbr() const noexcept { return is_vbr_; }
  // Offset of the first audio frame, past any ID3v2 tag and Xing frame.
  uint64_t audio_start() const noexcept { return audio_start_; }
  // Bytes from the first audio frame to the end of the file.
  uint64_t audio_size() const noexcept { return audio_size_; }
  // The header of the first frame (the Xing frame, when there is one).
  uint32_t first_header() const noexcept { return first_header_; }
  const XingHeader& xing() const noexcept { return xing_; }

 private:
  Mp3Status Measure(File* file);
  void ComputeValues() noexcept;

  Env* env_;
  uint64_t file_size_ = 0;
  uint64_t audio_start_ = 0;
  uint64_t audio_size_ = 0;
  uint32_t first_header_ = 0;
  bool is_vbr_ = false;
  XingHeader xing_;
  uint32_t bit_rate_ = 0;
  uint32_t frame_count_ = 0;
  uint32_t duration_ = 0;
};

}  // namespace tavo

#endif  // TAVO_MEDIA_MP3_READER_H_
