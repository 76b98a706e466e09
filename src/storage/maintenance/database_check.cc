#include "storage/maintenance/database_check.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "platform/fs/env.h"
#include "storage/library/index_entry.h"
#include "storage/library/library_files.h"
#include "storage/library/store_records.h"
#include "storage/library/track_image.h"
#include "storage/library/track_keys.h"
#include "tavo/enums.h"

namespace tavo {
namespace {

// (identifier, digest of the whole entry) of every index entry, sorted: two
// indexes agree when these agree.
using EntryDigests = std::vector<std::pair<uint32_t, uint64_t>>;

uint64_t Digest(const IndexEntry& entry) noexcept {
  uint64_t h = 1469598103934665603ull;  // FNV-1a over each value and its length
  for (const std::string& value : entry.values) {
    for (unsigned char c : value) h = (h ^ c) * 1099511628211ull;
    h = (h ^ value.size()) * 1099511628211ull;
  }
  return h;
}

// Every track record decoded: the entries the index must hold, and how many
// records do not decode.
struct DecodedRecords {
  LibraryStatus status = kLibraryOk;  // of walking the record file
  EntryDigests expected;
  uint32_t undecodable = 0;
};

DecodedRecords DecodeRecords(const std::string& path, Env* env) {
  DecodedRecords out;
  StoreFilePtr records;
  out.status = LibraryFile_Open(LibraryFile::kRecords, path, kStoreRead, env, &records);
  if (out.status != kLibraryOk) return out;
  out.status = WalkKey(records.get(), kTrackKeyId, [&](const StoreRecord& record) {
    TrackImage image;
    TrackRecord track;
    const uint32_t id = StoredTrackId(record);
    if (TrackImage_Parse(record.data(), record.data_length(), &image) != kLibraryOk ||
        TrackImage_Decode(image, StoredFileName(record), TrackLoad::kWithSets, &track) != kLibraryOk) {
      ++out.undecodable;
      return true;
    }
    out.expected.emplace_back(id, Digest(IndexEntry_Build(track, id)));
    return true;
  });
  std::sort(out.expected.begin(), out.expected.end());
  return out;
}

LibraryStatus ReadIndex(const std::string& path, Env* env, EntryDigests* actual) {
  StoreFilePtr index;
  if (LibraryStatus s = LibraryFile_Open(LibraryFile::kIndex, path, kStoreRead, env, &index); s != kLibraryOk) {
    return s;
  }
  LibraryStatus s = WalkKey(index.get(), kIndexKeyId, [&](const StoreRecord& record) {
    const IndexEntry entry = IndexEntry_FromRecord(record);
    uint32_t id = 0;
    if (entry.values[kIndexKeyId].size() == 4) std::memcpy(&id, entry.values[kIndexKeyId].data(), 4);
    actual->emplace_back(id, Digest(entry));
    return true;
  });
  std::sort(actual->begin(), actual->end());
  return s;
}

struct Paths {
  std::string records;
  std::string index;
  bool records_exist = false;
  bool index_exists = false;
};

// The decoded records, walked once for both deep checks.
class DeepFacts {
 public:
  DeepFacts(const Paths& paths, Env* env) : paths_(paths), env_(env) {}
  const DecodedRecords& records() {
    if (!decoded_) {
      decoded_ = true;
      if (paths_.records_exist) records_ = DecodeRecords(paths_.records, env_);
    }
    return records_;
  }

 private:
  const Paths& paths_;
  Env* env_;
  bool decoded_ = false;
  DecodedRecords records_;
};

LibraryStatus Locate(const std::string& directory, Env* env, Paths* paths) {
  paths->records = LibraryFile_Path(directory, kLibraryBaseName, LibraryFile::kRecords);
  paths->index = LibraryFile_Path(directory, kLibraryBaseName, LibraryFile::kIndex);
  FileInfo info;
  if (int err = env->Stat(paths->records, &info); err != 0) return StoreStatusFromErrno(err);
  paths->records_exist = info.exists;
  if (int err = env->Stat(paths->index, &info); err != 0) return StoreStatusFromErrno(err);
  paths->index_exists = info.exists;
  return kLibraryOk;
}

// The first fault of the record file, 0 when it is sound or missing.
StoreVerifyDepth DepthOf(bool deep) { return deep ? StoreVerifyDepth::kDeep : StoreVerifyDepth::kQuick; }

LibraryStatus CheckBase(const Paths& paths, bool deep, Env* env, DeepFacts* facts, CheckReport* report) {
  if (!paths.records_exist) return kLibraryOk;
  const LibraryFileSpec& spec = LibraryFile_Spec(LibraryFile::kRecords);
  if (StoreStatus s = Store_Verify(paths.records, kStoreRead, &spec.type, DepthOf(deep), env); s != kStoreOk) {
    return s;
  }
  if (!deep) return kLibraryOk;
  const DecodedRecords& decoded = facts->records();
  report->undecodable_records = decoded.undecodable;
  if (decoded.status != kLibraryOk) return decoded.status;
  return decoded.undecodable > 0 ? kLibraryRecordDamaged : kLibraryOk;
}

LibraryStatus CheckIndex(const Paths& paths, bool deep, Env* env, DeepFacts* facts) {
  if (!paths.index_exists) return paths.records_exist ? kStoreNotFound : kLibraryOk;
  const LibraryFileSpec& spec = LibraryFile_Spec(LibraryFile::kIndex);
  if (StoreStatus s = Store_Verify(paths.index, kStoreRead, &spec.type, DepthOf(deep), env); s != kStoreOk) return s;
  if (!deep) return kLibraryOk;
  const DecodedRecords& decoded = facts->records();
  // Records that cannot be walked say nothing about the index: the record
  // file's own check reports them.
  if (decoded.status != kLibraryOk) return kLibraryOk;
  EntryDigests actual;
  if (LibraryStatus s = ReadIndex(paths.index, env, &actual); s != kLibraryOk) return s;
  return decoded.expected == actual ? kLibraryOk : kStoreIndexMismatch;
}

}  // namespace

LibraryStatus Maintenance_Check(uint32_t flags, const std::string& directory, Env* env,
                                CheckReport* report_out) try {
  if (directory.empty()) return kDatabaseInvalidArgument;
  if (env == nullptr) env = Env::Default();
  if (flags == 0) flags = PL_MLDB_CHECK_BASE | PL_MLDB_CHECK_INDEX;
  const bool deep = (flags & PL_MLDB_CHECK_DEEP) != 0;
  Paths paths;
  if (LibraryStatus s = Locate(directory, env, &paths); s != kLibraryOk) return s;
  CheckReport report;
  DeepFacts facts(paths, env);
  LibraryStatus result = kLibraryOk;
  if (flags & PL_MLDB_CHECK_BASE) {
    report.base_fault = CheckBase(paths, deep, env, &facts, &report);
    if (report.base_fault != kLibraryOk) result = kCheckBaseCorrupt;
  }
  if ((flags & PL_MLDB_CHECK_INDEX) != 0) {
    report.index_fault = CheckIndex(paths, deep, env, &facts);
    if (report.index_fault != kLibraryOk) result = result == kCheckBaseCorrupt ? kCheckBothCorrupt : kCheckIndexCorrupt;
  }
  if (report_out != nullptr) *report_out = report;
  return result;
} catch (const std::bad_alloc&) {
  return kLibraryNoMemory;
}

}  // namespace tavo
