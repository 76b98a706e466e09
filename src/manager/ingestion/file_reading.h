// Reading one audio file for its record: the part of tag reading that needs
// only the file (its size, tag and stream properties), so that a folder scan
// can do it on a second thread; and the part that fills the record from it
// (record_filling.h), done by the thread that stores.
#ifndef TAVO_MANAGER_INGESTION_FILE_READING_H_
#define TAVO_MANAGER_INGESTION_FILE_READING_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "manager/ingestion/tag_source.h"

namespace tavo {

class Env;

// The format named by the text from the last dot of the file name, compared
// without case: ".mp3" and ".aac" read as MP3, ".wma" as WMA; anything else,
// and a name without a dot, is kNone.
AudioFormat AudioFormatOf(std::string_view path);

struct FileReading {
  // 0, or kIngestionUnknownFormat / kIngestionCannotRead: nothing below
  // was read then.
  LibraryStatus status = kLibraryOk;
  AudioFormat format = AudioFormat::kNone;
  uint64_t size = 0;
  LibraryStatus tag_status = kLibraryOk;  // the tag source's; `tag` is empty unless 0
  FileTag tag;
  uint32_t stream_seconds = 0;  // play length from the stream, 0 when unknown
  uint32_t bit_rate = 0;        // kilobits per second from the stream, 0 when unknown
};

// Reads the file at `path`: size, then the tag (from `tags`, or `given` when
// the caller already holds the file's tag object), then the stream
// properties (our MP3 and WMA readers over `env`). Safe to call from any
// thread when `tags` is.
FileReading ReadAudioFile(const std::string& path, TagSource* tags, Env* env, const FileTag* given = nullptr);

}  // namespace tavo

#endif  // TAVO_MANAGER_INGESTION_FILE_READING_H_
