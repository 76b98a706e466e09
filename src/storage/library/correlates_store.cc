#include "storage/library/correlates_store.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "storage/library/big_endian_words.h"
#include "storage/library/correlates_cipher.h"

namespace tavo {
namespace {

enum ValueKind : uint32_t { kLevelTexts = 1, kWeightRange = 2, kIdRange = 3 };
enum LsfKey : uint32_t { kClassKey = 0, kKindKey = 1, kIdKey = 2, kGroupKey = 3, kUniqueKey = 4 };
constexpr uint32_t kLsfKeyCount = 6;

uint32_t GroupOf(uint32_t class_id, uint32_t kind) noexcept { return class_id << 16 | kind; }

std::array<uint8_t, 12> UniqueKeyOf(const BlobKey& key) noexcept {
  std::array<uint8_t, 12> bytes{};
  WriteBigEndian32(bytes.data(), key.class_id);
  WriteBigEndian32(bytes.data() + 4, key.kind);
  WriteBigEndian32(bytes.data() + 8, key.id);
  return bytes;
}

}  // namespace

void CorrelatesStore::Bind(const std::string& directory, const std::string& base_name, Env* env) {
  Close();
  directory_ = directory;
  base_name_ = base_name;
  env_ = env;
}

LibraryStatus CorrelatesStore::Open(LibraryFile file, bool for_writing, StoreFilePtr* out) {
  const std::string path = LibraryFile_Path(directory_, base_name_, file);
  LibraryStatus s = LibraryFile_Open(file, path, for_writing ? kStoreReadWrite : kStoreRead, env_, out);
  if (s == kStoreNotFound && !for_writing) return kLibraryOk;  // absent: reads find nothing
  if (s != kStoreNotFound && !LibraryFile_IsForeignOrDamaged(s)) return s;
  if (s = LibraryFile_Create(file, path, env_, out); s != kLibraryOk || for_writing) return s;
  if (s = LibraryFile_Close(out); s != kLibraryOk) return s;
  return LibraryFile_Open(file, path, kStoreRead, env_, out);
}

LibraryStatus CorrelatesStore::OpenForReading() try {
  if (LibraryStatus s = Close(); s != kLibraryOk) return s;
  LibraryStatus s = Open(LibraryFile::kCorrelates, false, &tables_);
  if (s == kLibraryOk) s = Open(LibraryFile::kCompanion, false, &values_);
  if (s != kLibraryOk) Close();
  return s;
} catch (const std::bad_alloc&) {
  Close();
  return kLibraryNoMemory;
}

LibraryStatus CorrelatesStore::OpenForWriting() try {
  if (LibraryStatus s = Close(); s != kLibraryOk) return s;
  LibraryStatus s = Open(LibraryFile::kCorrelates, true, &tables_);
  if (s == kLibraryOk) s = Open(LibraryFile::kCompanion, true, &values_);
  if (s != kLibraryOk) {
    Close();
    return s;
  }
  writable_ = true;
  return kLibraryOk;
} catch (const std::bad_alloc&) {
  Close();
  return kLibraryNoMemory;
}

LibraryStatus CorrelatesStore::Close() {
  writable_ = false;
  const LibraryStatus tables = LibraryFile_Close(&tables_);
  const LibraryStatus values = LibraryFile_Close(&values_);
  return tables != kLibraryOk ? tables : values;
}

LibraryStatus CorrelatesStore::Flush() {
  if (!writable_) return kLibraryOk;
  if (StoreStatus s = Store_Flush(tables_.get()); s != kStoreOk) return s;
  return Store_Flush(values_.get());
}

LibraryStatus CorrelatesStore::Replace(StoreFile* file, uint32_t unique_key, const std::vector<uint8_t>& data,
                                       const KeyValue* keys, uint32_t key_count) {
  if (!writable_ || file == nullptr) return kStoreAccessDenied;
  StoreRecordPtr old;
  const KeyValue& unique = keys[unique_key];
  if (LibraryStatus s = FindRecord(file, unique_key, unique.data, unique.length, &old);
      s != kLibraryOk && s != kStoreNotFound) {
    return s;
  }
  StoreRecordPtr fresh;
  if (LibraryStatus s = BuildRecord(file, data.data(), static_cast<uint32_t>(data.size()), keys, key_count, &fresh);
      s != kLibraryOk) {
    return s;
  }
  return ReplaceRecord(file, old.get(), fresh.get());
}

LibraryStatus CorrelatesStore::PutBlob(const BlobKey& key, std::span<const uint8_t> data) try {
  if (key.class_id > 0xFFFF || key.kind > 0xFFFF) return kLibraryInvalidArgument;
  const uint32_t group = GroupOf(key.class_id, key.kind);
  const auto unique = UniqueKeyOf(key);
  const KeyValue keys[kLsfKeyCount] = {{&key.class_id, 4}, {&key.kind, 4}, {&key.id, 4},
                                       {&group, 4},        {unique.data(), 12}, {}};
  return Replace(values_.get(), kUniqueKey, std::vector<uint8_t>(data.begin(), data.end()), keys, kLsfKeyCount);
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus CorrelatesStore::GetBlob(const BlobKey& key, std::vector<uint8_t>* data) try {
  data->clear();
  if (!values_) return kStoreNotFound;
  const auto unique = UniqueKeyOf(key);
  StoreRecordPtr record;
  if (LibraryStatus s = FindRecord(values_.get(), kUniqueKey, unique.data(), 12, &record); s != kLibraryOk) return s;
  data->assign(record->data(), record->data() + record->data_length());
  return kLibraryOk;
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus CorrelatesStore::DeleteBlob(const BlobKey& key) {
  if (!writable_) return kStoreAccessDenied;
  const auto unique = UniqueKeyOf(key);
  StoreRecordPtr record;
  const LibraryStatus s = FindRecord(values_.get(), kUniqueKey, unique.data(), 12, &record);
  if (s == kStoreNotFound) return kLibraryOk;
  return s == kLibraryOk ? Store_Remove(values_.get(), record.get()) : s;
}

LibraryStatus CorrelatesStore::ListBlobs(uint32_t class_id, uint32_t kind, std::vector<Blob>* blobs) try {
  blobs->clear();
  if (!values_) return kLibraryOk;
  const uint32_t group = GroupOf(class_id, kind);
  std::vector<StoreRecordPtr> records;
  if (LibraryStatus s = FindAllRecords(values_.get(), kGroupKey, &group, 4, &records); s != kLibraryOk) return s;
  for (const StoreRecordPtr& r : records) {
    if (r->key_length(kIdKey) != 4) return kLibraryRecordDamaged;
    Blob blob;
    std::memcpy(&blob.id, r->key_value(kIdKey), 4);
    blob.data.assign(r->data(), r->data() + r->data_length());
    blobs->push_back(std::move(blob));
  }
  std::sort(blobs->begin(), blobs->end(), [](const Blob& a, const Blob& b) { return a.id < b.id; });
  return kLibraryOk;
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus CorrelatesStore::DeleteBlobs(uint32_t class_id, uint32_t kind) {
  if (!writable_) return kStoreAccessDenied;
  const uint32_t group = GroupOf(class_id, kind);
  std::vector<StoreRecordPtr> records;
  if (LibraryStatus s = FindAllRecords(values_.get(), kGroupKey, &group, 4, &records); s != kLibraryOk) return s;
  for (const StoreRecordPtr& r : records) {
    if (StoreStatus s = Store_Remove(values_.get(), r.get()); s != kStoreOk) return s;
  }
  return kLibraryOk;
}

LibraryStatus CorrelatesStore::ReadLevelTexts(int level, std::string* first, std::string* second) try {
  first->clear();
  second->clear();
  std::vector<uint8_t> data;
  const BlobKey key{kBlobClassCorrelates, kLevelTexts, static_cast<uint32_t>(level)};
  if (LibraryStatus s = GetBlob(key, &data); s != kLibraryOk) return s;
  const auto end = data.end();
  const auto zero1 = std::find(data.begin(), end, uint8_t{0});
  const auto zero2 = zero1 == end ? end : std::find(zero1 + 1, end, uint8_t{0});
  if (zero2 == end) return kLibraryRecordDamaged;
  first->assign(data.begin(), zero1);
  second->assign(zero1 + 1, zero2);
  return kLibraryOk;
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus CorrelatesStore::WriteLevelTexts(int level, std::string_view first, std::string_view second) try {
  if (level < 0 || level > 2 || first.size() > kCorrelatesLevelTextMax || second.size() > kCorrelatesLevelTextMax ||
      first.find('\0') != std::string_view::npos || second.find('\0') != std::string_view::npos) {
    return kLibraryInvalidArgument;
  }
  std::vector<uint8_t> data(first.begin(), first.end());
  data.push_back(0);
  data.insert(data.end(), second.begin(), second.end());
  data.push_back(0);
  return PutBlob({kBlobClassCorrelates, kLevelTexts, static_cast<uint32_t>(level)}, data);
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus CorrelatesStore::ReadPairValue(uint32_t kind, int32_t* a, int32_t* b) try {
  std::vector<uint8_t> data;
  if (LibraryStatus s = GetBlob({kBlobClassCorrelates, kind, 0}, &data); s != kLibraryOk) return s;
  if (data.size() != 8) return kLibraryRecordDamaged;
  *a = static_cast<int32_t>(ReadBigEndian32(data.data()));
  *b = static_cast<int32_t>(ReadBigEndian32(data.data() + 4));
  return kLibraryOk;
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus CorrelatesStore::WritePairValue(uint32_t kind, int32_t a, int32_t b) try {
  std::vector<uint8_t> data;
  AppendBigEndian32(&data, static_cast<uint32_t>(a));
  AppendBigEndian32(&data, static_cast<uint32_t>(b));
  return PutBlob({kBlobClassCorrelates, kind, 0}, data);
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus CorrelatesStore::ReadWeightRange(int32_t* minimum, int32_t* maximum) {
  return ReadPairValue(kWeightRange, minimum, maximum);
}
LibraryStatus CorrelatesStore::WriteWeightRange(int32_t minimum, int32_t maximum) {
  return WritePairValue(kWeightRange, minimum, maximum);
}
LibraryStatus CorrelatesStore::ReadIdRange(int32_t* smallest, int32_t* largest) {
  return ReadPairValue(kIdRange, smallest, largest);
}
LibraryStatus CorrelatesStore::WriteIdRange(int32_t smallest, int32_t largest) {
  return WritePairValue(kIdRange, smallest, largest);
}

LibraryStatus CorrelatesStore::ReadTable(int32_t genre, std::vector<CorrelateEntry>* table) try {
  table->clear();
  if (!tables_) return kStoreNotFound;
  StoreRecordPtr record;
  if (LibraryStatus s = FindRecord(tables_.get(), 0, &genre, 4, &record); s != kLibraryOk) return s;
  if (record->data_length() % 8 != 0) return kLibraryRecordDamaged;
  std::vector<uint8_t> data(record->data(), record->data() + record->data_length());
  CorrelatesCipher_Decrypt(data.data(), data.size());
  table->resize(data.size() / 8);
  for (size_t i = 0; i < table->size(); ++i) {
    (*table)[i] = {static_cast<int32_t>(ReadBigEndian32(&data[8 * i])),
                   static_cast<int32_t>(ReadBigEndian32(&data[8 * i + 4]))};
  }
  return kLibraryOk;
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus CorrelatesStore::WriteTable(int32_t genre, std::span<const CorrelateEntry> table) try {
  std::vector<uint8_t> data;
  data.reserve(8 * table.size());
  for (const CorrelateEntry& e : table) {
    AppendBigEndian32(&data, static_cast<uint32_t>(e.related_id));
    AppendBigEndian32(&data, static_cast<uint32_t>(e.weight));
  }
  CorrelatesCipher_Encrypt(data.data(), data.size());
  const KeyValue keys[] = {{&genre, 4}, {}, {}, {}};
  return Replace(tables_.get(), 0, data, keys, 4);
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

}  // namespace tavo
