// The file system as the rest of the system sees it.
//
// Every subsystem that touches files (record store, XML document files, media
// readers, maintenance) takes an Env*, so that a test can hand in an
// environment that fails on purpose. Env::Default() is the POSIX one.
//
// Results are 0 on success or an errno value. Nothing here throws.
#ifndef TAVO_PLATFORM_FS_ENV_H_
#define TAVO_PLATFORM_FS_ENV_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavo {

// An open file addressed by absolute offsets; there is no shared cursor, so
// readers on one file do not disturb each other.
class File {
 public:
  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  virtual ~File() = default;

  // Reads up to n bytes at offset. *got is the count read; fewer than n only
  // at end of file.
  virtual int Read(uint64_t offset, void* buf, size_t n, size_t* got) = 0;
  // Writes all n bytes at offset, or fails.
  virtual int Write(uint64_t offset, const void* buf, size_t n) = 0;
  virtual int Size(uint64_t* size) = 0;
  virtual int Truncate(uint64_t size) = 0;
  // Makes the file's data durable (fdatasync): once it returns 0, what was
  // written survives a power loss. The file's name is durable only after
  // Env::SyncDir of its directory.
  virtual int Sync() = 0;
};

enum class OpenMode {
  kRead,          // existing file, read only
  kReadWrite,     // existing file, read and write
  kCreate,        // create or truncate, read and write
  kCreateNew,     // create; fails with EEXIST when the file exists
};

struct FileInfo {
  bool exists = false;
  bool is_directory = false;
  uint64_t size = 0;
  int64_t modified_unix = 0;  // seconds since 1970, UTC
  int64_t created_unix = 0;   // status-change time where no birth time is kept
};

struct DirEntry {
  std::string name;  // without the directory
  bool is_directory = false;
};

class Env {
 public:
  Env() = default;
  Env(const Env&) = delete;
  Env& operator=(const Env&) = delete;
  virtual ~Env() = default;

  // The process's real file system. Never null; never destroyed.
  static Env* Default();

  virtual int Open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) = 0;
  // Stat of a missing path is success with info->exists == false.
  virtual int Stat(const std::string& path, FileInfo* info) = 0;
  virtual int Remove(const std::string& path) = 0;
  // Replaces `to` atomically when both are on one file system.
  virtual int Rename(const std::string& from, const std::string& to) = 0;
  virtual int CreateDir(const std::string& path) = 0;
  // Entries of a directory, "." and ".." left out, in no particular order.
  virtual int ListDir(const std::string& path, std::vector<DirEntry>* entries) = 0;
  virtual int CopyFile(const std::string& from, const std::string& to) = 0;
  // Makes the directory's entries durable: files created, removed or renamed
  // in it survive a power loss once this returns 0.
  virtual int SyncDir(const std::string& dir) = 0;

  // Whole-file helpers built on the calls above.
  int ReadAll(const std::string& path, std::string* data);
  // Writes through a temporary file in the same directory and renames it over
  // `path`, so a crash, a power loss or a full disk never leaves a truncated
  // `path`. On success the new content and the name are durable.
  int WriteAtomically(const std::string& path, const void* data, size_t n);
  // SyncDir of the directory that holds `path` ("." when it names none).
  int SyncDirOf(const std::string& path);
};

}  // namespace tavo

#endif  // TAVO_PLATFORM_FS_ENV_H_
