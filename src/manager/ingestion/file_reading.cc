#include "manager/ingestion/file_reading.h"

#include <array>
#include <cctype>

#include "manager/ingestion/ingestion_status.h"
#include "media/mp3_reader.h"
#include "media/wma_reader.h"
#include "platform/fs/env.h"

namespace tavo {
namespace {

struct ExtensionFormat {
  std::string_view extension;
  AudioFormat format;
};
constexpr std::array<ExtensionFormat, 3> kExtensions = {{
    {".mp3", AudioFormat::kMp3},
    {".aac", AudioFormat::kMp3},
    {".wma", AudioFormat::kWma},
}};

bool EqualsWithoutCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

void ReadStream(const std::string& path, Env* env, FileReading* reading) {
  if (reading->format == AudioFormat::kWma) {
    WmaReader wma(env);
    if (wma.Read(path) != WmaStatus::kOk) return;
    reading->stream_seconds = wma.DurationMs() / 1000;
    reading->bit_rate = wma.BitRate();
    return;
  }
  Mp3Reader mp3(env);
  if (mp3.Open(path) != Mp3Status::kOk) return;
  reading->stream_seconds = mp3.Duration() / 100;
  reading->bit_rate = mp3.BitRate();
}

}  // namespace

AudioFormat AudioFormatOf(std::string_view path) {
  const size_t slash = path.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return AudioFormat::kNone;
  for (const ExtensionFormat& e : kExtensions) {
    if (EqualsWithoutCase(name.substr(dot), e.extension)) return e.format;
  }
  return AudioFormat::kNone;
}

FileReading ReadAudioFile(const std::string& path, TagSource* tags, Env* env, const FileTag* given) {
  if (env == nullptr) env = Env::Default();
  FileReading reading;
  reading.format = AudioFormatOf(path);
  if (reading.format == AudioFormat::kNone && given == nullptr) {
    reading.status = kIngestionUnknownFormat;
    return reading;
  }
  FileInfo info;
  if (env->Stat(path, &info) != 0 || !info.exists || info.is_directory) {
    reading.status = kIngestionCannotRead;
    return reading;
  }
  reading.size = info.size;
  if (given != nullptr) {
    reading.tag = *given;
  } else {
    reading.tag_status = tags->Read(path, reading.format, &reading.tag);
    if (reading.tag_status != kLibraryOk) reading.tag = FileTag{};
  }
  if (reading.format != AudioFormat::kNone) ReadStream(path, env, &reading);
  return reading;
}

}  // namespace tavo
