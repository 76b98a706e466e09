// The correlates store: the optional files ".lsf" and ".gcf" of a library
// database. ".gcf" keeps one correlate table per genre; ".lsf" keeps keyed
// blobs: the correlates values (level texts, weight range, id range) and the
// manager's own copies (descriptor lists, genre id mappings).
//
// ".gcf" record, one per genre:
//   KEY 0   u32    genre id (keys 1-3 stay empty)
//   DATA    n * 8  the table enciphered (correlates_cipher.h); deciphered,
//                  n pairs of (related genre id, weight), each a
//                  most-significant-first 32-bit word
//
// ".lsf" record, one per blob (class, kind, id):
//   KEY 0   u32    class
//   KEY 1   u32    kind
//   KEY 2   u32    id
//   KEY 3   u32    group: class << 16 | kind (both below 65536), to list a
//                  class and kind at once
//   KEY 4   12 B   class, kind, id as most-significant-first words: the
//                  blob's unique key
//   KEY 5   -      empty
//   DATA           the blob's bytes
//
// Blobs of class 1 are the correlates values, numbers most significant byte
// first:
//   KIND  ID     DATA
//   1     level  the two texts of level 0, 1 or 2, each followed by a zero
//                byte (each at most 100 bytes)
//   2     0      weight range: minimum, maximum (signed words)
//   3     0      genre id range: smallest, largest (signed words)
// Classes 2 and up are left to the store's users (see README.md).
//
// The store is opened read only when its files exist (a missing file reads
// as empty) and reopened for writing, which creates missing files, by the
// correlates download. A file of another kind or with a damaged header is
// created anew: everything in it can be fetched again. Writes replace a
// value failure-atomically: the new record is stored before the old one goes.
// Not thread safe: the manager serializes its calls.
#ifndef TAVO_STORAGE_LIBRARY_CORRELATES_STORE_H_
#define TAVO_STORAGE_LIBRARY_CORRELATES_STORE_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "storage/library/library_files.h"
#include "storage/library/library_status.h"
#include "storage/library/store_records.h"

namespace tavo {

class Env;

inline constexpr size_t kCorrelatesLevelTextMax = 100;
inline constexpr uint32_t kBlobClassCorrelates = 1;

struct CorrelateEntry {
  int32_t related_id = 0;
  int32_t weight = 0;
  bool operator==(const CorrelateEntry&) const = default;
};

struct BlobKey {
  uint32_t class_id = 0;  // below 65536
  uint32_t kind = 0;      // below 65536
  uint32_t id = 0;
};

struct Blob {
  uint32_t id = 0;
  std::vector<uint8_t> data;
};

class CorrelatesStore {
 public:
  CorrelatesStore() = default;
  CorrelatesStore(const CorrelatesStore&) = delete;
  CorrelatesStore& operator=(const CorrelatesStore&) = delete;

  // Where the files are; closes what is open.
  void Bind(const std::string& directory, const std::string& base_name, Env* env);

  // Opens the files that exist, read only.
  LibraryStatus OpenForReading();
  // Opens both files for reading and writing, creating missing ones.
  LibraryStatus OpenForWriting();
  // Flushes and closes; the first failure is returned.
  LibraryStatus Close();
  LibraryStatus Flush();
  bool writable() const noexcept { return writable_; }

  // Missing values read as 0x90020002 (not found).
  LibraryStatus ReadLevelTexts(int level, std::string* first, std::string* second);
  // Texts longer than 100 bytes are refused (0x1001).
  LibraryStatus WriteLevelTexts(int level, std::string_view first, std::string_view second);
  LibraryStatus ReadWeightRange(int32_t* minimum, int32_t* maximum);
  LibraryStatus WriteWeightRange(int32_t minimum, int32_t maximum);
  LibraryStatus ReadIdRange(int32_t* smallest, int32_t* largest);
  LibraryStatus WriteIdRange(int32_t smallest, int32_t largest);

  // The table of one genre; 0x1005 when the stored value is not whole pairs.
  LibraryStatus ReadTable(int32_t genre, std::vector<CorrelateEntry>* table);
  LibraryStatus WriteTable(int32_t genre, std::span<const CorrelateEntry> table);

  LibraryStatus PutBlob(const BlobKey& key, std::span<const uint8_t> data);
  LibraryStatus GetBlob(const BlobKey& key, std::vector<uint8_t>* data);
  // Removing a missing blob succeeds.
  LibraryStatus DeleteBlob(const BlobKey& key);
  // All blobs of a class and kind, in ascending id.
  LibraryStatus ListBlobs(uint32_t class_id, uint32_t kind, std::vector<Blob>* blobs);
  LibraryStatus DeleteBlobs(uint32_t class_id, uint32_t kind);

 private:
  LibraryStatus Open(LibraryFile file, bool for_writing, StoreFilePtr* out);
  // Class-1 values of two signed words (weight range, id range).
  LibraryStatus ReadPairValue(uint32_t kind, int32_t* a, int32_t* b);
  LibraryStatus WritePairValue(uint32_t kind, int32_t a, int32_t b);
  // Stores data under the keys in place of the record whose key
  // `unique_key` has the same value.
  LibraryStatus Replace(StoreFile* file, uint32_t unique_key, const std::vector<uint8_t>& data,
                        const KeyValue* keys, uint32_t key_count);

  std::string directory_;
  std::string base_name_;
  Env* env_ = nullptr;
  StoreFilePtr tables_;  // ".gcf"
  StoreFilePtr values_;  // ".lsf"
  bool writable_ = false;
};

}  // namespace tavo

#endif  // TAVO_STORAGE_LIBRARY_CORRELATES_STORE_H_
