// Iteration over one key's tree in walk order (key code, digest, position;
// key_index.cc), or over the records of one value by position. The
// iteration keeps only the place of the last record it handed out and seeks
// past it each time, so it survives inserts and removes in between.
#include <algorithm>

#include <new>

#include "storage/store/store_file.h"

namespace tavo {
namespace {

// Over one value: the candidates under its code and digest, by position.
StoreStatus AdvanceByValue(StoreFile* file, StoreIteration* it, StoreRecord** out) {
  const KeyDescriptor& key = file->header.keys[it->key];
  const KeyValue wanted(key.method, it->value.data(), static_cast<uint32_t>(it->value.size()));
  for (;;) {
    uint32_t position = 0;
    bool found = false;
    if (StoreStatus s = NextCandidate(file, it->key, wanted, it->started ? it->last.position : 0, &position, &found);
        s != kStoreOk) {
      return s;
    }
    if (!found) return kStoreNotFound;
    it->started = true;
    it->last = {wanted.code(), 0, position};
    std::unique_ptr<StoreRecord> record;
    if (StoreStatus s = file->ReadRecord(position, &record, true); s != kStoreOk) return s;
    if (KeyValuesEqual(key.method, record->key_value(it->key), record->key_length(it->key), it->value.data(),
                       static_cast<uint32_t>(it->value.size()))) {
      *out = record.release();
      return kStoreOk;
    }
  }
}

// Over the whole key, in walk order (code, digest, position).
StoreStatus AdvanceWholeKey(StoreFile* file, StoreIteration* it, StoreRecord** out) {
  const KeyDescriptor& key = file->header.keys[it->key];
  KeyPlace place;
  bool digest_known = false, found = false;
  if (StoreStatus s = NextKeyEntry(file, it->key, it->started ? &it->last : nullptr, 0, &place, &digest_known,
                                   &found, &it->cursor);
      s != kStoreOk) {
    return s;
  }
  if (!found) return kStoreNotFound;
  std::unique_ptr<StoreRecord> record;
  if (StoreStatus s = file->ReadRecord(place.position, &record, true); s != kStoreOk) return s;
  const uint8_t* value = record->key_value(it->key);
  const uint32_t length = record->key_length(it->key);
  // A record entered under a code its value does not produce means the tree
  // and the record disagree: the file is damaged.
  if (length == 0 || KeyCode(key.method, value, length) != place.code) return kStoreTreeShape;
  if (!digest_known) place.digest = key.method == kKeyMethodInteger ? 0 : KeyDigest(key.method, value, length);
  it->started = true;
  it->last = place;
  *out = record.release();
  return kStoreOk;
}

StoreStatus Advance(StoreFile* file, StoreIteration* it, StoreRecord** out) {
  return it->whole_key ? AdvanceWholeKey(file, it, out) : AdvanceByValue(file, it, out);
}

}  // namespace

StoreStatus Store_FindFirst(StoreFile* file, StoreIteration** iteration, StoreRecord** out, uint32_t key_index,
                            const void* value, uint32_t length) try {
  if (file == nullptr || iteration == nullptr || out == nullptr) return kStoreInvalidArgument;
  *iteration = nullptr;
  *out = nullptr;
  OperationScope scope(file);
  if (file->unusable) return kStoreUnusable;
  if (key_index >= file->header.key_count()) return kStoreInvalidArgument;
  auto it = std::make_unique<StoreIteration>();
  it->key = key_index;
  it->whole_key = value == nullptr;
  if (value != nullptr) {
    const auto* bytes = static_cast<const uint8_t*>(value);
    it->value.assign(bytes, bytes + length);
  }
  StoreRecord* first = nullptr;
  if (StoreStatus s = Advance(file, it.get(), &first); s != kStoreOk) return s;
  std::unique_ptr<StoreRecord> held(first);  // freed if keeping the iteration runs out of memory
  file->iterations.push_back(std::move(it));
  *iteration = file->iterations.back().get();
  *out = held.release();
  return kStoreOk;
} catch (const std::bad_alloc&) {
  if (out != nullptr) *out = nullptr;
  return StoreOutOfMemory(file);
}

StoreStatus Store_FindNext(StoreFile* file, StoreIteration* iteration, StoreRecord** out) try {
  if (file == nullptr || iteration == nullptr || out == nullptr) return kStoreInvalidArgument;
  *out = nullptr;
  OperationScope scope(file);
  if (file->unusable) return kStoreUnusable;
  const auto known = std::find_if(file->iterations.begin(), file->iterations.end(),
                                  [&](const auto& p) { return p.get() == iteration; });
  if (known == file->iterations.end()) return kStoreNoIteration;
  return Advance(file, iteration, out);
} catch (const std::bad_alloc&) {
  if (out != nullptr) *out = nullptr;
  return StoreOutOfMemory(file);
}

StoreStatus Store_EndFind(StoreFile* file, StoreIteration* iteration) try {
  if (file == nullptr) return kStoreInvalidArgument;
  OperationScope scope(file);
  const auto known = std::find_if(file->iterations.begin(), file->iterations.end(),
                                  [&](const auto& p) { return p.get() == iteration; });
  if (known == file->iterations.end()) return kStoreNoIteration;
  file->iterations.erase(known);
  return kStoreOk;
} catch (const std::bad_alloc&) {
  return StoreOutOfMemory(file);
}

}  // namespace tavo
