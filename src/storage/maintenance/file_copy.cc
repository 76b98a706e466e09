#include "storage/maintenance/file_copy.h"

#include <cerrno>
#include <memory>
#include <vector>

#include "platform/fs/env.h"
#include "storage/library/temporary_path.h"

namespace tavo {
namespace {

constexpr size_t kChunkBytes = 1 << 20;

int CopyContents(Env* env, const std::string& from, const std::string& to) {
  std::unique_ptr<File> source, target;
  if (int err = env->Open(from, OpenMode::kRead, &source)) return err;
  if (int err = env->Open(to, OpenMode::kCreate, &target)) return err;
  std::vector<char> chunk(kChunkBytes);
  for (uint64_t offset = 0;;) {
    size_t got = 0;
    if (int err = source->Read(offset, chunk.data(), chunk.size(), &got)) return err;
    if (got == 0) break;
    if (int err = target->Write(offset, chunk.data(), got)) return err;
    offset += got;
  }
  return target->Sync();
}

}  // namespace

std::string CopyTemporaryPath(const std::string& target) { return TemporaryPathBeside(target, "copy"); }

LibraryStatus CopyToTemporary(Env* env, const std::string& from, const std::string& temporary) {
  if (CopyContents(env, from, temporary) == 0) return kLibraryOk;
  env->Remove(temporary);
  return kLibraryFileOperationFailed;
}

LibraryStatus CopyFileReplacing(Env* env, const std::string& from, const std::string& to) {
  const std::string temporary = CopyTemporaryPath(to);
  if (LibraryStatus s = CopyToTemporary(env, from, temporary); s != kLibraryOk) return s;
  if (env->Rename(temporary, to) != 0) {
    env->Remove(temporary);
    return kLibraryFileOperationFailed;
  }
  return SyncFolderOf(env, to);
}

LibraryStatus RemoveFileIfPresent(Env* env, const std::string& path) {
  const int err = env->Remove(path);
  if (err == ENOENT) return kLibraryOk;
  return err == 0 ? SyncFolderOf(env, path) : kLibraryFileOperationFailed;
}

LibraryStatus SyncFolderOf(Env* env, const std::string& path) {
  return env->SyncDirOf(path) == 0 ? kLibraryOk : kLibraryFileOperationFailed;
}

}  // namespace tavo
