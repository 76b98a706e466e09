// A read-only TagLib stream over a tavo::File, so that TagLib reads through
// the same Env as the rest of the system (and tests can hand it a file that
// fails).
#ifndef TAVO_MEDIA_TAGLIB_FILE_STREAM_H_
#define TAVO_MEDIA_TAGLIB_FILE_STREAM_H_

#include <taglib/tiostream.h>

#include <cstdint>
#include <string>

#include "platform/fs/env.h"

namespace tavo {

class TagLibFileStream final : public TagLib::IOStream {
 public:
  // `file` must outlive the stream; `size` is the file's size when opened.
  TagLibFileStream(std::string path, File* file, uint64_t size) noexcept;

  TagLib::FileName name() const override { return path_.c_str(); }
  // Fewer bytes than asked at the end of the file, none after a read error:
  // TagLib takes both as the end of its data and stops parsing.
  TagLib::ByteVector readBlock(unsigned long length) override;
  bool readOnly() const override { return true; }
  bool isOpen() const override { return true; }
  void seek(long offset, Position p = Beginning) override;
  long tell() const override { return position_; }
  long length() override { return length_; }

  // Read only: writes are dropped.
  void writeBlock(const TagLib::ByteVector&) override {}
  void insert(const TagLib::ByteVector&, unsigned long = 0, unsigned long = 0) override {}
  void removeBlock(unsigned long = 0, unsigned long = 0) override {}
  void truncate(long) override {}

 private:
  const std::string path_;
  File* const file_;
  const long length_;
  long position_ = 0;  // always within [0, length_]
};

}  // namespace tavo

#endif  // TAVO_MEDIA_TAGLIB_FILE_STREAM_H_
