#include "storage/library/library_files.h"

#include <array>

#include "storage/library/dir_delim.h"
#include "storage/library/track_id.h"
#include "storage/library/track_image.h"

namespace tavo {
namespace {

constexpr StoreKeyDef kInt{kKeyTypeInteger, kKeyMethodInteger};
constexpr StoreKeyDef kText{kKeyTypeText, kKeyMethodText};
constexpr StoreKeyDef kBytes{0, kKeyMethodBytes};
constexpr uint32_t kUserBlockBytes = 256;

StoreFileDef Def(uint32_t kind, std::vector<StoreKeyDef> keys, uint32_t alloc_b) {
  StoreFileDef def;
  def.kind = kind;
  def.keys = std::move(keys);
  def.alloc_b = alloc_b;
  def.user_block_size = kUserBlockBytes;
  return def;
}

const std::array<LibraryFileSpec, 4>& Specs() {
  static const std::array<LibraryFileSpec, 4> specs = {{
      {".pdb", Def(1, {kText, kInt, kInt, kText}, 128),
       {kStoreBigEndian, &TrackImage_Convert, nullptr, &IdCounterBlock_Convert}},
      {".idx", Def(2, {kInt, kText, kInt, kInt, kInt, kText, kInt, kInt, kInt, kInt, kText, kInt, kInt, kInt, kInt},
                   128),
       {kStoreBigEndian, nullptr, nullptr, nullptr}},
      {".lsf", Def(5, {kInt, kInt, kInt, kInt, kBytes, kBytes}, 128), {kStoreBigEndian, nullptr, nullptr, nullptr}},
      {".gcf", Def(6, {kInt, kInt, kInt, kInt}, 32), {kStoreBigEndian, nullptr, nullptr, nullptr}},
  }};
  return specs;
}

}  // namespace

const LibraryFileSpec& LibraryFile_Spec(LibraryFile file) { return Specs()[static_cast<size_t>(file)]; }

std::string LibraryFile_Path(const std::string& directory, const std::string& base, const char* extension) {
  std::string path = directory;
  const char delim = DirDelim();
  if (path.empty() || path.back() != delim) path.push_back(delim);
  path += base;
  path += extension;
  return path;
}

std::string LibraryFile_Path(const std::string& directory, const std::string& base, LibraryFile file) {
  return LibraryFile_Path(directory, base, LibraryFile_Spec(file).extension);
}

LibraryStatus LibraryFile_Open(LibraryFile file, const std::string& path, uint32_t mode, Env* env,
                               StoreFilePtr* out) {
  out->reset();
  const LibraryFileSpec& spec = LibraryFile_Spec(file);
  StoreFile* opened = nullptr;
  if (StoreStatus s = Store_Open(&opened, path, mode, &spec.type, env); s != kStoreOk) return s;
  StoreFilePtr handle(opened);
  StoreInfo info;
  if (StoreStatus s = Store_GetInfo(handle.get(), &info); s != kStoreOk) return s;
  if (info.kind != spec.def.kind || info.key_count != spec.def.keys.size()) return kLibraryWrongKind;
  *out = std::move(handle);
  return kLibraryOk;
}

bool LibraryFile_IsForeignOrDamaged(LibraryStatus status) noexcept {
  switch (status) {
    case kLibraryWrongKind:
    case kStoreHeaderUnreadable:
    case kStoreBadVersion:
    case kStoreBadMagic:
    case kStoreOtherOrder:
    case kStoreDamagedHeader:
      return true;
    default:
      return false;
  }
}

LibraryStatus LibraryFile_Create(LibraryFile file, const std::string& path, Env* env, StoreFilePtr* out) {
  out->reset();
  const LibraryFileSpec& spec = LibraryFile_Spec(file);
  StoreFile* created = nullptr;
  if (StoreStatus s = Store_Create(&created, path, kStoreReadWrite, &spec.def, &spec.type, env); s != kStoreOk) {
    return s;
  }
  out->reset(created);
  return kLibraryOk;
}

LibraryStatus LibraryFile_Close(StoreFilePtr* file) {
  if (!*file) return kLibraryOk;
  return Store_Close(file->release());
}

}  // namespace tavo
