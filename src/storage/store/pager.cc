#include "storage/store/pager.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "storage/store/checksum.h"
#include "storage/store/commit_log.h"

namespace tavo {
namespace {

// The log starts over (a checkpoint) once it holds this much: the file is made
// durable and the log's space is used again from its start.
std::atomic<uint64_t> checkpoint_bytes{Pager::kDefaultCheckpointBytes};

// Writes in pieces of at most 16 KiB. The page cache holds a large write in
// large pages, and every later small write into one of them (a node, a free
// block's link) then costs the whole large page; pieces keep the pages small.
int WriteInPieces(File* file, uint64_t offset, const uint8_t* bytes, size_t n) {
  constexpr size_t kPiece = 16 * 1024;
  for (size_t done = 0; done < n;) {
    const size_t piece = std::min(kPiece, n - done);
    if (int err = file->Write(offset + done, bytes + done, piece); err != 0) return err;
    done += piece;
  }
  return 0;
}

}  // namespace

uint32_t NewSalt() {
  static std::atomic<uint64_t> counter{0};
  uint64_t seed[3] = {static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()),
                      counter.fetch_add(1), reinterpret_cast<uintptr_t>(&counter)};
  const uint64_t h = Checksum64(reinterpret_cast<const uint8_t*>(seed), sizeof seed);
  return static_cast<uint32_t>(h ^ (h >> 32));
}

Pager::Pager(Env* env, std::string path, std::unique_ptr<File> file, bool sync)
    : env_(env), log_path_(CommitLogPath(path)), file_(std::move(file)), sync_(sync) {}

Pager::~Pager() = default;

int Pager::Read(uint64_t offset, void* buf, size_t n, size_t* got) {
  *got = 0;
  size_t covered = 0;
  if (int err = file_->Read(offset, buf, n, &covered); err != 0) return err;
  held_.Overlay(offset, static_cast<uint8_t*>(buf), n, &covered);
  *got = covered;
  return 0;
}

int Pager::Write(uint64_t offset, const void* buf, size_t n) {
  ++write_count_;
  // The span first: a byte held and not yet committed always lies in a span,
  // even when running out of memory stops the write halfway, so that
  // Finish never writes it into the file.
  unsaved_.Add(offset, offset + n);
  held_.Write(offset, static_cast<const uint8_t*>(buf), n);
  return 0;
}

int Pager::Size(uint64_t* size) {
  if (int err = file_->Size(size); err != 0) return err;
  *size = std::max(*size, held_.end());
  return 0;
}

int Pager::Truncate(uint64_t) { return EINVAL; }  // the store never shrinks its file

int Pager::Sync() { return 0; }  // durability comes from Commit

StoreStatus Pager::ReadFileHeader(uint8_t* header) {
  std::memset(header, 0, kHeaderReserved);
  size_t got = 0;
  if (int err = file_->Read(0, header, kHeaderReserved, &got); err != 0) return StoreStatusFromErrno(err);
  return kStoreOk;
}

StoreStatus Pager::Recover(bool writable) {
  std::string raw;
  if (int err = env_->ReadAll(log_path_, &raw); err == ENOENT) {
    return kStoreOk;
  } else if (err != 0) {
    return StoreStatusFromErrno(err);
  }
  const LogContents log = ParseLog(std::vector<uint8_t>(raw.begin(), raw.end()));
  uint8_t header[kHeaderReserved];
  if (StoreStatus s = ReadFileHeader(header); s != kStoreOk) return s;
  if (!log.Describes(header)) {
    // Left from another file, or torn before anything of it reached this one.
    if (writable) env_->Remove(log_path_);
    return kStoreOk;
  }
  for (const std::vector<LogRange>& transaction : log.transactions) {
    for (const LogRange& range : transaction) {
      if (!writable) {
        held_.Write(range.offset, range.bytes, range.length);
      } else if (int err = file_->Write(range.offset, range.bytes, range.length); err != 0) {
        return StoreStatusFromErrno(err);
      }
    }
  }
  if (!writable) return kStoreOk;
  if (sync_) {
    if (int err = file_->Sync(); err != 0) return StoreStatusFromErrno(err);
  }
  if (int err = env_->Remove(log_path_); err != 0) return StoreStatusFromErrno(err);
  return kStoreOk;
}

StoreStatus Pager::StartLog(std::vector<uint8_t>* buffer) {
  if (int err = env_->Open(log_path_, OpenMode::kCreate, &log_); err != 0) {
    log_.reset();
    return StoreStatusFromErrno(err);
  }
  uint8_t base[kHeaderReserved];
  if (StoreStatus s = ReadFileHeader(base); s != kStoreOk) return s;
  salt_ = NewSalt();
  sequence_ = 0;
  log_end_ = 0;
  *buffer = EncodeLogHeader(salt_, base);
  return kStoreOk;
}

StoreStatus Pager::Commit() {
  if (failed_) return kStoreUnusable;
  if (unsaved_.empty()) return kStoreOk;
  std::vector<uint8_t>& buffer = log_buffer_;
  buffer.clear();
  const bool new_log = log_ == nullptr;
  if (new_log) {
    if (StoreStatus s = StartLog(&buffer); s != kStoreOk) return s;
  }
  std::vector<LogRange>& ranges = log_ranges_;
  ranges.clear();
  for (const auto& [from, to] : unsaved_.spans()) {
    held_.ForEachPiece(from, to, [&](uint64_t offset, const uint8_t* bytes, size_t n) {
      ranges.push_back({static_cast<uint32_t>(offset), bytes, static_cast<uint32_t>(n)});
    });
  }
  EncodeLogTransaction(salt_, sequence_ + 1, ranges, &buffer);
  if (int err = WriteInPieces(log_.get(), log_end_, buffer.data(), buffer.size()); err != 0) {
    if (new_log) log_.reset();  // started again at the next commit
    return StoreStatusFromErrno(err);
  }
  // The transaction is committed once the log and its name are durable.
  if (sync_) {
    int err = log_->Sync();
    if (err == 0 && new_log) err = env_->SyncDirOf(log_path_);
    if (err != 0) {
      failed_ = true;
      return StoreStatusFromErrno(err);
    }
  }
  log_end_ += buffer.size();
  ++sequence_;
  unsaved_.clear();
  return log_end_ >= checkpoint_bytes.load(std::memory_order_relaxed) ? Checkpoint() : kStoreOk;
}

StoreStatus Pager::WriteBack() {
  for (const auto& [offset, bytes] : held_.ranges()) {
    if (int err = WriteInPieces(file_.get(), offset, bytes.data(), bytes.size()); err != 0) {
      return StoreStatusFromErrno(err);
    }
  }
  if (sync_) {
    if (int err = file_->Sync(); err != 0) return StoreStatusFromErrno(err);
  }
  held_.clear();
  return kStoreOk;
}

// Once everything the log holds is durable in the file, the log starts over
// with a new salt, so that none of its old transactions can be taken for new
// ones.
StoreStatus Pager::Checkpoint() {
  StoreStatus s = WriteBack();
  uint8_t base[kHeaderReserved];
  if (s == kStoreOk) s = ReadFileHeader(base);
  if (s == kStoreOk) {
    salt_ = NewSalt();
    const std::vector<uint8_t> header = EncodeLogHeader(salt_, base);
    int err = log_->Write(0, header.data(), header.size());
    if (err == 0 && sync_) err = log_->Sync();
    s = StoreStatusFromErrno(err);
  }
  if (s != kStoreOk) {
    failed_ = true;
    return s;
  }
  log_end_ = kLogHeaderBytes;
  sequence_ = 0;
  return kStoreOk;
}

void Pager::SetCheckpointBytesForTesting(uint64_t bytes) noexcept {
  checkpoint_bytes.store(bytes, std::memory_order_relaxed);
}

StoreStatus Pager::Finish() {
  if (log_ == nullptr) return kStoreOk;
  if (failed_ || !unsaved_.empty()) {
    log_.reset();  // kept for the next open
    return kStoreOk;
  }
  const StoreStatus s = WriteBack();
  log_.reset();
  if (s != kStoreOk) return s;
  if (int err = env_->Remove(log_path_); err != 0) return StoreStatusFromErrno(err);
  return kStoreOk;
}

}  // namespace tavo
