// The store file as the rest of the store sees it, and the commit protocol.
//
// Writes never go to the store file directly: they join the current
// transaction, held in memory, and reads show them over the file's bytes.
// Commit() appends the transaction to the commit log (commit_log.h) and
// makes the log durable: the transaction is committed. Committed
// transactions stay in memory, shown over the file, until a checkpoint
// writes them all into the file at once, makes the file durable and starts
// the log over. A crash at any moment therefore leaves the file as of the
// last commit once the log is replayed, which every open does first.
// README.md beside this file states the protocol, its invariants and its
// cost.
#ifndef TAVO_STORAGE_STORE_PAGER_H_
#define TAVO_STORAGE_STORE_PAGER_H_

#include <cstdint>
#include <memory>
#include <string>

#include "platform/fs/env.h"
#include "storage/store/byte_ranges.h"
#include "storage/store/commit_log.h"
#include "storage/store/status.h"

namespace tavo {

// A number that differs between calls, and between runs of the process.
uint32_t NewSalt();

class Pager final : public File {
 public:
  // `sync`: make every commit durable (fdatasync of the log). Without it a
  // commit survives the process dying but not the machine losing power.
  Pager(Env* env, std::string path, std::unique_ptr<File> file, bool sync);
  ~Pager() override;

  // Bytes of the file with the committed transactions and the current one
  // over them. Bytes below Size() that none of them holds read as zero.
  int Read(uint64_t offset, void* buf, size_t n, size_t* got) override;
  // Joins the current transaction; the file is not touched.
  int Write(uint64_t offset, const void* buf, size_t n) override;
  int Size(uint64_t* size) override;
  int Truncate(uint64_t) override;
  int Sync() override;

  // At open, before anything is read: brings back the transactions the log
  // holds. A writable pager writes them into the file, makes it durable and
  // removes the log; a read-only one shows them over the file and changes
  // nothing. A log that does not belong to the file is removed or ignored.
  StoreStatus Recover(bool writable);

  bool has_pending() const noexcept { return !unsaved_.empty(); }
  size_t pending_bytes() const noexcept { return static_cast<size_t>(unsaved_.bytes()); }
  // Commits the current transaction. On a failure before the log is durable
  // the transaction stays pending and a later Commit retries; on a failure
  // after it (or in a checkpoint), failed() turns true and the pager commits
  // no more: the log, replayed at the next open, holds what the file lacks.
  StoreStatus Commit();
  bool failed() const noexcept { return failed_; }
  // Counts Write calls: bytes read before the count moved may be stale.
  uint64_t write_count() const noexcept { return write_count_; }
  // At close: a last checkpoint, then the log is removed; unless failed(),
  // or the last commit failed (then the next open finishes from the log what
  // was committed, and what was not stays out of the file).
  StoreStatus Finish();

  // A checkpoint runs once the log holds this many bytes (default 32 MiB,
  // as much as the node cache: the committed transactions wait in memory
  // until then). Tests make it small to reach the checkpoint often.
  static void SetCheckpointBytesForTesting(uint64_t bytes) noexcept;
  static constexpr uint64_t kDefaultCheckpointBytes = uint64_t{32} << 20;

 private:
  StoreStatus StartLog(std::vector<uint8_t>* buffer);
  // Writes the committed transactions into the file and makes it durable.
  StoreStatus WriteBack();
  StoreStatus Checkpoint();
  // The store file's own first kHeaderReserved bytes, zero-filled.
  StoreStatus ReadFileHeader(uint8_t* header);

  Env* env_;
  std::string log_path_;
  std::unique_ptr<File> file_;
  bool sync_;
  // Everything written since the last checkpoint: the committed
  // transactions (in the log, not yet in the file) with the current one
  // over them. A transaction cannot be abandoned, so both can share it.
  ByteRanges held_;
  ByteSpans unsaved_;  // where the current transaction wrote
  std::unique_ptr<File> log_;
  // Kept between commits, so that their memory is reused.
  std::vector<uint8_t> log_buffer_;
  std::vector<LogRange> log_ranges_;
  uint64_t log_end_ = 0;
  uint32_t salt_ = 0;
  uint32_t sequence_ = 0;  // of the last transaction in the log
  bool failed_ = false;
  uint64_t write_count_ = 0;
};

}  // namespace tavo

#endif  // TAVO_STORAGE_STORE_PAGER_H_
