// An Env for tests that fails on purpose, wrapped around another Env (usually
// a MemEnv):
//
// - a full disk: writes fail with ENOSPC once a byte budget is spent;
// - failing and short reads: reads fail with EIO after a number of calls, or
//   for one file; a file can read as cut short or fail to be sized;
// - power loss: every write, sync and change of names counts as a step; the
//   machine can be stopped after a number of steps (later calls fail with EIO
//   and change nothing), and LosePower() then puts every file back to what was
//   last made durable, in the manner of a crash-testing file-system layer.
//
// Durability model. A file's content is durable up to its last File::Sync;
// a name (create, remove, rename) is durable once Env::SyncDir ran on its
// directory. Until then, the disk may have written any part of it: a write
// lands in 512-byte sectors, and each sector holds either its durable bytes
// or the bytes after some prefix of the unsynced writes that touched it (the
// page cache writes back what a sector holds at that moment, never an older
// write over a newer one). A file's size grows to the end of what landed.
// Files the FaultEnv has not seen yet are taken as durable as they are.
#ifndef TAVO_TESTS_SUPPORT_ENV_FAULT_ENV_H_
#define TAVO_TESTS_SUPPORT_ENV_FAULT_ENV_H_

#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/fs/env.h"

namespace tavo {

class FaultEnv final : public Env {
 public:
  static constexpr uint64_t kUnlimited = std::numeric_limits<uint64_t>::max();
  static constexpr uint64_t kSectorBytes = 512;

  explicit FaultEnv(Env* base);
  ~FaultEnv() override;

  // --- Full disk. Writes to files whose path ends with `suffix` ("" means
  // every file) succeed until `bytes` more bytes were written; the write that
  // crosses the budget stores what still fits and fails with ENOSPC, like
  // every later one.
  void FailWritesAfter(uint64_t bytes, std::string suffix = "");

  // --- Reads. The next `calls` reads succeed; later ones fail with EIO.
  void FailReadsAfter(uint64_t calls);
  struct FileFaults {
    bool fail_reads = false;        // every read fails with EIO
    bool fail_size = false;         // Size() fails with EIO
    uint64_t readable = kUnlimited; // reads see only this many bytes; Size() still tells the whole
  };
  void SetFileFaults(const std::string& path, FileFaults faults);

  // Ends the full disk and the read faults (not a stopped machine).
  void Heal();
  uint64_t reads() const { return reads_; }
  uint64_t bytes_read() const { return bytes_read_; }

  // --- Power loss.
  // Steps taken so far: writes, truncations, syncs, creations, removals,
  // renames.
  uint64_t steps() const { return steps_; }
  // After `steps` more steps the machine stops.
  void StopAfter(uint64_t steps) { stop_after_ = steps; }
  bool stopped() const { return stop_after_ == 0; }

  enum class PowerLoss {
    kDropUnsynced,  // nothing unsynced landed
    kTearLast,      // of each file's last unsynced write, a random part of its sectors landed
    kKeepSome,      // every sector holds a random prefix of the unsynced writes that touched it
  };
  // The power goes out: files and names go back to what was durable, plus
  // whatever `mode` lets land (drawn from `seed`). Then the machine runs
  // again: steps are no longer limited, and files opened before the loss
  // fail every call with EIO.
  void LosePower(PowerLoss mode, uint64_t seed);

  int Open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) override;
  int Stat(const std::string& path, FileInfo* info) override;
  int Remove(const std::string& path) override;
  int Rename(const std::string& from, const std::string& to) override;
  int CreateDir(const std::string& path) override;
  int ListDir(const std::string& path, std::vector<DirEntry>* entries) override;
  int CopyFile(const std::string& from, const std::string& to) override;
  int SyncDir(const std::string& dir) override;

 private:
  friend class FaultFile;
  struct Inode;

  // Counts a step; false when the machine is stopped.
  bool Step();
  // The tracked file behind a path, adopting it as durable when first seen;
  // null when it does not exist.
  std::shared_ptr<Inode> Track(const std::string& path);
  const FileFaults* FaultsOf(const std::string& path) const;
  // How much of an n-byte write to `path` the disk budget lets through.
  size_t WriteAllowance(const std::string& path, size_t n);

  Env* base_;
  uint64_t write_budget_ = kUnlimited;
  std::string write_suffix_;
  uint64_t read_budget_ = kUnlimited;
  std::map<std::string, FileFaults> file_faults_;
  uint64_t reads_ = 0;
  uint64_t bytes_read_ = 0;
  uint64_t steps_ = 0;
  uint64_t stop_after_ = kUnlimited;
  uint64_t generation_ = 0;  // bumped by every power loss
  std::map<std::string, std::shared_ptr<Inode>> names_;          // now
  std::map<std::string, std::shared_ptr<Inode>> durable_names_;  // as of the last SyncDir
};

}  // namespace tavo

#endif  // TAVO_TESTS_SUPPORT_ENV_FAULT_ENV_H_
