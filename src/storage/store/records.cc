// Building, storing, finding and removing records.
#include <algorithm>
#include <array>
#include <span>

#include <new>
#include <cstring>

#include "storage/store/byte_order.h"
#include "storage/store/store_file.h"

namespace tavo {
namespace {

constexpr uint32_t kImageFixedBytes = 12;

constexpr uint32_t KeyTableEnd(uint32_t key_count) noexcept { return kImageFixedBytes + 8 * key_count; }

uint32_t ImageWord(const std::vector<uint8_t>& image, size_t i) noexcept {
  return LoadWord(image.data() + 4 * i, false);
}

void SetImageWord(std::vector<uint8_t>& image, size_t i, uint32_t v) noexcept {
  StoreWord(image.data() + 4 * i, v, false);
}

enum class KeyConversion { kNone, kWords, kConverter };

// How key values of each type cross byte orders.
KeyConversion ConversionOf(uint32_t type) noexcept {
  switch (type) {
    case kKeyTypeInteger: return KeyConversion::kWords;
    case 0: case 4: case 5: return KeyConversion::kConverter;
    default: return KeyConversion::kNone;
  }
}

StoreStatus CheckKeyIndex(const StoreFile* file, uint32_t key) {
  return key < file->header.key_count() ? kStoreOk : kStoreInvalidArgument;
}

}  // namespace

StoreStatus ValidateRecordImage(const uint8_t* image, size_t available, uint32_t block_capacity,
                                uint32_t key_count, bool swap, uint32_t* image_size) {
  const uint64_t table_end = KeyTableEnd(key_count);
  if (available < table_end) return kStoreRecordDamaged;
  const uint32_t data_offset = LoadWord(image + 4, swap);
  const uint32_t data_length = LoadWord(image + 8, swap);
  const uint64_t size = uint64_t{data_offset} + ((uint64_t{data_length} + 3) & ~uint64_t{3});
  if (data_offset < table_end || data_offset % 4 != 0 || size > block_capacity) return kStoreRecordDamaged;
  for (uint32_t i = 0; i < key_count; ++i) {
    const uint32_t offset = LoadWord(image + 12 + 8 * i, swap);
    const uint32_t length = LoadWord(image + 16 + 8 * i, swap);
    if (length == 0) continue;
    if (offset < table_end || uint64_t{offset} + length > data_offset) return kStoreRecordDamaged;
  }
  *image_size = static_cast<uint32_t>(size);
  return kStoreOk;
}

void StoreFile::ConvertImage(uint8_t* image, StoreConvert direction) const {
  const uint32_t key_count = header.key_count();
  const size_t table_words = KeyTableEnd(key_count) / 4;
  // The table is read in native order: after swapping when coming from the
  // file, before swapping when going to it.
  std::array<uint32_t, KeyTableEnd(kMaxHeaderKeys) / 4> table;
  for (size_t i = 0; i < table_words; ++i) {
    table[i] = LoadWord(image + 4 * i, direction == StoreConvert::kToNative);
  }
  SwapWords(image, 4 * table_words);
  for (uint32_t i = 0; i < key_count; ++i) {
    const uint32_t offset = table[3 + 2 * i], length = table[4 + 2 * i];
    if (length == 0) continue;
    switch (ConversionOf(header.keys[i].type)) {
      case KeyConversion::kWords: SwapWords(image + offset, length); break;
      case KeyConversion::kConverter:
        if (type.convert_key != nullptr) type.convert_key(i, image + offset, length, direction);
        break;
      case KeyConversion::kNone: break;
    }
  }
  if (type.convert_data != nullptr && table[2] > 0) type.convert_data(image + table[1], table[2], direction);
}

const uint8_t* StoreFile::WindowAt(uint64_t offset, size_t n, bool read_ahead, StoreStatus* status) {
  constexpr size_t kWindowBytes = 256 * 1024;
  *status = kStoreOk;
  if (window_writes != file->write_count()) window.clear();
  const auto covers = [&] { return offset >= window_start && offset + n <= window_start + window.size(); };
  if (!covers() && read_ahead && n <= kWindowBytes) {
    window.resize(kWindowBytes);
    size_t have = 0;
    if (int err = file->Read(offset, window.data(), window.size(), &have); err != 0) {
      window.clear();
      *status = StoreStatusFromErrno(err);
      return nullptr;
    }
    window.resize(have);
    window_start = offset;
    window_writes = file->write_count();
  }
  return covers() ? window.data() + (offset - window_start) : nullptr;
}

StoreStatus StoreFile::ReadRecord(uint32_t position, std::unique_ptr<StoreRecord>* out, bool read_ahead) {
  if (position % 4 != 0 || position < kFirstContent || position >= allocator.end()) return kStoreBlockDamaged;
  // The block usually comes whole from the read-ahead window or one read of
  // the usual record size; a larger one takes a second read.
  StoreStatus status = kStoreOk;
  const uint8_t* tagged = WindowAt(position - 4, 4 + size_t{read_hint}, read_ahead, &status);
  if (status != kStoreOk) return status;
  std::vector<uint8_t>& raw = read_buffer;
  size_t available = 4 + size_t{read_hint};
  if (tagged == nullptr) {
    raw.resize(available);
    size_t got = 0;
    if (int err = file->Read(position - 4, raw.data(), raw.size(), &got); err != 0) return StoreStatusFromErrno(err);
    raw.resize(got);
    available = got;
    tagged = raw.data();
  }
  if (available < 4) return kStoreBlockDamaged;
  const uint32_t tag = LoadWord(tagged, swap);
  const uint32_t capacity = TagCapacity(tag);
  if (TagKind(tag) != BlockKind::kRecord || position + uint64_t{capacity} > allocator.end()) {
    return kStoreBlockDamaged;
  }
  uint32_t size = 0;
  const size_t have = std::min<size_t>(available - 4, capacity);
  if (StoreStatus s = ValidateRecordImage(tagged + 4, have, capacity, header.key_count(), swap, &size);
      s != kStoreOk) {
    return s;
  }
  auto record = std::make_unique<StoreRecord>();
  std::vector<uint8_t>& image = RecordAccess::image(record.get());
  if (size <= have) {
    image.assign(tagged + 4, tagged + 4 + size);
  } else {
    image.resize(size);
    if (StoreStatus s = ReadExact(position, image.data(), size); s != kStoreOk) {
      return s == kStoreShortIo ? kStoreRecordDamaged : s;
    }
    read_hint = std::min<uint32_t>(std::max(read_hint, size), 1u << 16);
  }
  RecordAccess::offset(record.get()) = position;
  RecordAccess::block_capacity(record.get()) = capacity;
  RecordAccess::key_count(record.get()) = header.key_count();
  if (swap) ConvertImage(image.data(), StoreConvert::kToNative);
  *out = std::move(record);
  return kStoreOk;
}

StoreStatus StoreFile::WriteRecordImage(const StoreRecord& record, uint32_t block_capacity) {
  DropWindow();
  const std::vector<uint8_t>& image = record.image();
  // The whole block is written, so that the file always reaches its end.
  std::vector<uint8_t>& raw = write_buffer;
  raw.assign(4 + size_t{block_capacity}, 0);
  StoreWord(raw.data(), BlockTag(BlockKind::kRecord, block_capacity), swap);
  std::memcpy(raw.data() + 4, image.data(), image.size());
  if (swap) ConvertImage(raw.data() + 4, StoreConvert::kToFile);
  if (int err = file->Write(record.offset() - 4, raw.data(), raw.size()); err != 0) {
    return StoreStatusFromErrno(err);
  }
  return kStoreOk;
}

StoreStatus Store_NewRecord(StoreFile* file, StoreRecord** out, const void* data, uint32_t data_length,
                            uint32_t key_length) try {
  if (file == nullptr || out == nullptr || (data == nullptr && data_length > 0)) return kStoreInvalidArgument;
  *out = nullptr;
  OperationScope scope(file);
  const uint32_t key_count = file->header.key_count();
  const uint64_t key_area = ((uint64_t{key_length} + 3) & ~uint64_t{3}) + (key_count >= 2 ? 4 * (key_count - 1) : 0);
  const uint64_t data_offset = KeyTableEnd(key_count) + key_area;
  const uint64_t size = data_offset + ((uint64_t{data_length} + 3) & ~uint64_t{3});
  if (size > kBlockCapacityMask - 8) return kStoreTooLarge;
  auto record = std::make_unique<StoreRecord>();
  RecordAccess::key_count(record.get()) = key_count;
  std::vector<uint8_t>& image = RecordAccess::image(record.get());
  image.assign(size, 0);
  SetImageWord(image, 1, static_cast<uint32_t>(data_offset));
  SetImageWord(image, 2, data_length);
  if (data_length > 0) std::memcpy(image.data() + data_offset, data, data_length);
  *out = record.release();
  return kStoreOk;
} catch (const std::bad_alloc&) {
  if (out != nullptr) *out = nullptr;
  return StoreOutOfMemory(file);
}

StoreStatus Store_SetKey(StoreFile* file, StoreRecord* record, uint32_t key_index, const void* value,
                         uint32_t length) try {
  if (file == nullptr || record == nullptr || (value == nullptr && length > 0)) return kStoreInvalidArgument;
  OperationScope scope(file);
  if (StoreStatus s = CheckKeyIndex(file, key_index); s != kStoreOk) return s;
  if (record->key_count() != file->header.key_count()) return kStoreInvalidArgument;
  // Keys of a stored record are in the trees; changing one would orphan it.
  if (record->offset() != 0) return kStoreAlreadyStored;
  std::vector<uint8_t>& image = RecordAccess::image(record);
  const uint32_t key_count = record->key_count();
  // The value goes after the padded values of every key set so far.
  uint32_t fill = KeyTableEnd(key_count);
  for (uint32_t i = 0; i < key_count; ++i) {
    if (ImageWord(image, 4 + 2 * i) == 0) continue;
    fill = std::max(fill, ImageWord(image, 3 + 2 * i) + RoundUp4(ImageWord(image, 4 + 2 * i)));
  }
  const uint32_t data_offset = ImageWord(image, 1);
  if (uint64_t{fill} + RoundUp4(length) > data_offset || length > data_offset) return kStoreNoSpace;
  if (length > 0) std::memcpy(image.data() + fill, value, length);
  SetImageWord(image, 3 + 2 * key_index, length > 0 ? fill : 0);
  SetImageWord(image, 4 + 2 * key_index, length);
  return kStoreOk;
} catch (const std::bad_alloc&) {
  return StoreOutOfMemory(file);
}

StoreStatus Store_Insert(StoreFile* file, StoreRecord* record) try {
  if (file == nullptr || record == nullptr) return kStoreInvalidArgument;
  OperationScope scope(file);
  if (StoreStatus s = CheckWritable(file); s != kStoreOk) return s;
  if (record->offset() != 0) return kStoreAlreadyStored;
  const uint32_t key_count = file->header.key_count();
  if (record->key_count() != key_count) return kStoreInvalidArgument;
  Block block;
  if (StoreStatus s = file->allocator.Allocate(static_cast<uint32_t>(record->image().size()), &block);
      s != kStoreOk) {
    return s;
  }
  RecordAccess::offset(record) = block.offset;
  std::array<uint32_t, kMaxHeaderKeys> entered;
  size_t entered_count = 0;
  auto undo = [&](StoreStatus failure) {
    for (uint32_t key : std::span(entered.data(), entered_count)) {
      if (LeaveKey(file, key, *record, block.offset) != kStoreOk) file->unusable = true;
    }
    if (file->allocator.Unallocate(block) != kStoreOk) file->unusable = true;
    RecordAccess::offset(record) = 0;
    return failure;
  };
  for (uint32_t key = key_count; key-- > 0;) {
    if (record->key_length(key) == 0) continue;
    if (StoreStatus s = EnterKey(file, key, *record, block.offset); s != kStoreOk) return undo(s);
    entered[entered_count++] = key;
  }
  if (StoreStatus s = file->WriteRecordImage(*record, block.capacity); s != kStoreOk) return undo(s);
  RecordAccess::block_capacity(record) = block.capacity;
  return file->FinishChange(true);
} catch (const std::bad_alloc&) {
  return StoreOutOfMemory(file);
}

StoreStatus Store_Remove(StoreFile* file, StoreRecord* record) try {
  if (file == nullptr || record == nullptr) return kStoreInvalidArgument;
  OperationScope scope(file);
  if (StoreStatus s = CheckWritable(file); s != kStoreOk) return s;
  if (record->offset() == 0) return kStoreNotFound;
  const uint32_t key_count = file->header.key_count();
  if (record->key_count() != key_count) return kStoreInvalidArgument;
  // Check every key first, so that a record that is not what the trees hold
  // leaves them untouched.
  for (uint32_t key = 0; key < key_count; ++key) {
    if (record->key_length(key) == 0) continue;
    bool present = false;
    if (StoreStatus s = HasKeyEntry(file, key, *record, record->offset(), &present); s != kStoreOk) return s;
    if (!present) return kStoreIndexMismatch;
  }
  for (uint32_t key = key_count; key-- > 0;) {
    if (record->key_length(key) == 0) continue;
    if (StoreStatus s = LeaveKey(file, key, *record, record->offset()); s != kStoreOk) {
      file->unusable = true;
      return s;
    }
  }
  if (StoreStatus s = file->allocator.Free({record->offset(), RecordAccess::block_capacity(record)}); s != kStoreOk) {
    file->unusable = true;
    return s;
  }
  RecordAccess::offset(record) = 0;
  return file->FinishChange(false);
} catch (const std::bad_alloc&) {
  return StoreOutOfMemory(file);
}

StoreStatus Store_Rewrite(StoreFile* file, StoreRecord* record, const void* data, uint32_t data_length) try {
  if (file == nullptr || record == nullptr || (data == nullptr && data_length > 0)) return kStoreInvalidArgument;
  OperationScope scope(file);
  if (StoreStatus s = CheckWritable(file); s != kStoreOk) return s;
  if (record->offset() == 0) return kStoreNotFound;
  if (data_length != record->data_length()) return kStoreInvalidArgument;
  file->DropWindow();
  std::vector<uint8_t>& image = RecordAccess::image(record);
  const uint32_t data_offset = ImageWord(image, 1);
  if (data_length > 0) std::memcpy(image.data() + data_offset, data, data_length);
  std::vector<uint8_t> raw(image.begin() + data_offset, image.begin() + data_offset + data_length);
  if (file->swap && file->type.convert_data != nullptr && data_length > 0) {
    file->type.convert_data(raw.data(), data_length, StoreConvert::kToFile);
  }
  if (int err = file->file->Write(uint64_t{record->offset()} + data_offset, raw.data(), raw.size()); err != 0) {
    return StoreStatusFromErrno(err);
  }
  return file->FinishChange(false);
} catch (const std::bad_alloc&) {
  return StoreOutOfMemory(file);
}

StoreStatus Store_FreeRecord(StoreFile* file, StoreRecord* record) try {
  if (file == nullptr) return kStoreInvalidArgument;
  delete record;
  return kStoreOk;
} catch (const std::bad_alloc&) {
  return StoreOutOfMemory(file);
}

StoreStatus Store_Find(StoreFile* file, StoreRecord** out, uint32_t key_index, const void* value,
                       uint32_t length) try {
  if (file == nullptr || out == nullptr || (value == nullptr && length > 0)) return kStoreInvalidArgument;
  *out = nullptr;
  OperationScope scope(file);
  // A handle whose trees were left half changed answers no questions about them.
  if (file->unusable) return kStoreUnusable;
  if (StoreStatus s = CheckKeyIndex(file, key_index); s != kStoreOk) return s;
  const KeyDescriptor& key = file->header.keys[key_index];
  const auto* wanted = static_cast<const uint8_t*>(value);
  const KeyValue keys(key.method, wanted, length);
  // Candidates come in rising positions, so the walk ends even in a damaged tree.
  for (uint32_t after = 0;;) {
    uint32_t position = 0;
    bool found = false;
    if (StoreStatus s = NextCandidate(file, key_index, keys, after, &position, &found); s != kStoreOk) {
      return s;
    }
    if (!found) break;
    std::unique_ptr<StoreRecord> record;
    if (StoreStatus s = file->ReadRecord(position, &record); s != kStoreOk) return s;
    if (KeyValuesEqual(key.method, record->key_value(key_index), record->key_length(key_index), wanted, length)) {
      *out = record.release();
      return kStoreOk;
    }
    after = position;
  }
  return kStoreNotFound;
} catch (const std::bad_alloc&) {
  if (out != nullptr) *out = nullptr;
  return StoreOutOfMemory(file);
}

}  // namespace tavo
