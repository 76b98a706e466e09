// Helpers shared by the record store tests: scratch paths and a four-key file
// shaped like the library's track file (text, integer, integer, text keys).
#ifndef TAVO_TESTS_STORAGE_STORE_TEST_UTIL_H_
#define TAVO_TESTS_STORAGE_STORE_TEST_UTIL_H_

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "storage/store/store.h"

namespace tavo::testing {

// Sanitized builds run several times slower; long tests do less there.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitizedBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kSanitizedBuild = true;
#else
inline constexpr bool kSanitizedBuild = false;
#endif
#else
inline constexpr bool kSanitizedBuild = false;
#endif

inline std::string ScratchPath(const std::string& name) {
  const char* base = std::getenv("TAVO_TEST_TMPDIR");
  std::filesystem::path dir = base != nullptr ? base : std::filesystem::temp_directory_path();
  dir /= "storage";
  std::filesystem::create_directories(dir);
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string prefix = info != nullptr ? std::string(info->test_suite_name()) + "." + info->name() + "." : "";
  return (dir / (prefix + name)).string();
}

inline StoreFileDef TrackLikeDef(uint32_t user_block = 256) {
  StoreFileDef def;
  def.kind = 1;
  def.keys = {{kKeyTypeText, kKeyMethodText},
              {kKeyTypeInteger, kKeyMethodInteger},
              {kKeyTypeInteger, kKeyMethodInteger},
              {kKeyTypeText, kKeyMethodText}};
  def.user_block_size = user_block;
  return def;
}

// Library files are written most significant byte first on every machine.
inline const StoreFileType* BigEndianType() {
  static const StoreFileType type{kStoreBigEndian, nullptr, nullptr, nullptr};
  return &type;
}

// Builds and inserts a record with a text key 0 and an integer key 1.
inline StoreStatus InsertTrack(StoreFile* file, const std::string& name, uint32_t id, const std::string& data,
                               StoreRecord** out = nullptr) {
  StoreRecord* record = nullptr;
  const uint32_t name_length = static_cast<uint32_t>(name.size() + 1);
  StoreStatus s = Store_NewRecord(file, &record, data.data(), static_cast<uint32_t>(data.size()), name_length + 4);
  if (s == kStoreOk) s = Store_SetKey(file, record, 0, name.c_str(), name_length);
  if (s == kStoreOk) s = Store_SetKey(file, record, 1, &id, 4);
  if (s == kStoreOk) s = Store_Insert(file, record);
  if (out != nullptr && s == kStoreOk) {
    *out = record;
  } else {
    Store_FreeRecord(file, record);
  }
  return s;
}

inline std::string FindData(StoreFile* file, uint32_t key, const void* value, uint32_t length,
                            StoreStatus* status = nullptr) {
  StoreRecord* record = nullptr;
  StoreStatus s = Store_Find(file, &record, key, value, length);
  if (status != nullptr) *status = s;
  if (s != kStoreOk) return "<" + std::to_string(s) + ">";
  std::string data(reinterpret_cast<const char*>(record->data()), record->data_length());
  Store_FreeRecord(file, record);
  return data;
}

inline std::string FindByName(StoreFile* file, const std::string& name, StoreStatus* status = nullptr) {
  return FindData(file, 0, name.c_str(), static_cast<uint32_t>(name.size() + 1), status);
}

inline uint64_t FileSize(const std::string& path) { return std::filesystem::file_size(path); }

// A file's bytes, for tests that damage files by hand.
using Bytes = std::vector<uint8_t>;

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const Bytes& b) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// Calls visit(record) for every record entered under `key`, in walk order,
// and frees each; returns the status that ended the walk (kStoreNotFound at
// its end).
template <class Visit>
StoreStatus ForEachRecord(StoreFile* file, uint32_t key, Visit visit, const void* value = nullptr,
                          uint32_t length = 0) {
  StoreIteration* it = nullptr;
  StoreRecord* r = nullptr;
  StoreStatus s = Store_FindFirst(file, &it, &r, key, value, length);
  for (; s == kStoreOk; s = Store_FindNext(file, it, &r)) {
    visit(*r);
    Store_FreeRecord(file, r);
  }
  if (it != nullptr) Store_EndFind(file, it);
  return s;
}

}  // namespace tavo::testing

#endif  // TAVO_TESTS_STORAGE_STORE_TEST_UTIL_H_
