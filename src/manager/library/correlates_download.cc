#include "manager/library/correlates_download.h"

#include <algorithm>
#include <limits>
#include <new>
#include <string>

namespace tavo {
namespace {

// A revision text as the store keeps it: up to its first zero byte and at
// most 100 bytes, never cutting a UTF-8 sequence.
std::string_view StoredText(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  if (text.size() <= kCorrelatesLevelTextMax) return text;
  size_t end = kCorrelatesLevelTextMax;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

}  // namespace

LibraryStatus DownloadCorrelatesLevel(CorrelatesStore& store, ListService& service, int level, bool force) try {
  if (level < 0 || level > 2) return kLibraryInvalidArgument;
  std::string first, second;
  const LibraryStatus read = store.ReadLevelTexts(level, &first, &second);
  if (read != kLibraryOk && read != kStoreNotFound && read != kLibraryRecordDamaged) return read;
  if (!force && !first.empty() && !second.empty()) return kLibraryOk;

  CorrelatesLevel data;
  if (LibraryStatus s = service.FetchCorrelates(level, first, second, &data); s != kLibraryOk) return s;

  int32_t smallest = std::numeric_limits<int32_t>::max();
  int32_t largest = std::numeric_limits<int32_t>::min();
  for (const CorrelatesLevel::Table& table : data.tables) {
    if (LibraryStatus s = store.WriteTable(table.genre, table.related); s != kLibraryOk) return s;
    smallest = std::min(smallest, table.genre);
    largest = std::max(largest, table.genre);
  }
  if (level > 0 && !data.tables.empty()) {
    if (LibraryStatus s = store.WriteIdRange(smallest, largest); s != kLibraryOk) return s;
  }
  if (LibraryStatus s = store.WriteWeightRange(data.scale_min, data.scale_max); s != kLibraryOk) return s;
  // Last: the texts mark the level as current.
  return store.WriteLevelTexts(level, StoredText(data.first_text), StoredText(data.second_text));
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

LibraryStatus DownloadAllCorrelates(CorrelatesStore& store, ListService& service, bool force) {
  for (int level : {2, 1, 0}) {
    if (LibraryStatus s = DownloadCorrelatesLevel(store, service, level, force); s != kLibraryOk) return s;
  }
  return kLibraryOk;
}

}  // namespace tavo
