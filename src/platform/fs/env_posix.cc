// The POSIX environment: pread/pwrite on file descriptors opened with
// O_CLOEXEC, so a module loaded into a host never leaks descriptors to the
// host's children.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/fs/env.h"

namespace tavo {
namespace {

int Errno() { return errno != 0 ? errno : EIO; }

class PosixFile final : public File {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override { ::close(fd_); }

  int Read(uint64_t offset, void* buf, size_t n, size_t* got) override {
    auto* p = static_cast<char*>(buf);
    size_t done = 0;
    while (done < n) {
      ssize_t r = ::pread(fd_, p + done, n - done, static_cast<off_t>(offset + done));
      if (r < 0) {
        if (errno == EINTR) continue;
        *got = done;
        return Errno();
      }
      if (r == 0) break;
      done += static_cast<size_t>(r);
    }
    *got = done;
    return 0;
  }

  int Write(uint64_t offset, const void* buf, size_t n) override {
    const auto* p = static_cast<const char*>(buf);
    size_t done = 0;
    while (done < n) {
      ssize_t r = ::pwrite(fd_, p + done, n - done, static_cast<off_t>(offset + done));
      if (r < 0) {
        if (errno == EINTR) continue;
        return Errno();
      }
      done += static_cast<size_t>(r);
    }
    return 0;
  }

  int Size(uint64_t* size) override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) return Errno();
    *size = static_cast<uint64_t>(st.st_size);
    return 0;
  }

  int Truncate(uint64_t size) override {
    return ::ftruncate(fd_, static_cast<off_t>(size)) == 0 ? 0 : Errno();
  }

  int Sync() override { return ::fdatasync(fd_) == 0 ? 0 : Errno(); }

 private:
  const int fd_;
};

class PosixEnv final : public Env {
 public:
  int Open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) override {
    int flags = O_CLOEXEC;
    switch (mode) {
      case OpenMode::kRead: flags |= O_RDONLY; break;
      case OpenMode::kReadWrite: flags |= O_RDWR; break;
      case OpenMode::kCreate: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
      case OpenMode::kCreateNew: flags |= O_RDWR | O_CREAT | O_EXCL; break;
    }
    int fd;
    do {
      fd = ::open(path.c_str(), flags, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return Errno();
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(fd);
      return EISDIR;
    }
    out->reset(new PosixFile(fd));
    return 0;
  }

  int Stat(const std::string& path, FileInfo* info) override {
    *info = FileInfo{};
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR ? 0 : Errno();
    info->exists = true;
    info->is_directory = S_ISDIR(st.st_mode);
    info->size = static_cast<uint64_t>(st.st_size);
    info->modified_unix = st.st_mtime;
    info->created_unix = st.st_ctime;
    return 0;
  }

  int Remove(const std::string& path) override {
    return ::unlink(path.c_str()) == 0 ? 0 : Errno();
  }

  int Rename(const std::string& from, const std::string& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : Errno();
  }

  int CreateDir(const std::string& path) override {
    return ::mkdir(path.c_str(), 0755) == 0 || errno == EEXIST ? 0 : Errno();
  }

  int ListDir(const std::string& path, std::vector<DirEntry>* entries) override {
    entries->clear();
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr) return Errno();
    while (struct dirent* e = ::readdir(dir)) {
      std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      bool is_dir = e->d_type == DT_DIR;
      if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
        struct stat st;
        std::string full = path + "/" + name;
        is_dir = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
      }
      entries->push_back({std::move(name), is_dir});
    }
    ::closedir(dir);
    return 0;
  }

  int SyncDir(const std::string& dir) override {
    int fd;
    do {
      fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return Errno();
    const int rc = ::fsync(fd) == 0 ? 0 : Errno();
    ::close(fd);
    return rc;
  }

  int CopyFile(const std::string& from, const std::string& to) override {
    std::string data;
    if (int rc = ReadAll(from, &data)) return rc;
    return WriteAtomically(to, data.data(), data.size());
  }
};

}  // namespace

Env* Env::Default() {
  static PosixEnv* env = new PosixEnv;  // never destroyed: usable during exit
  return env;
}

}  // namespace tavo
