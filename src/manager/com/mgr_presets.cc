// The generator lists: the sample presets and the user's generators of the
// database folder (data/presets/preset_folder.h).
#include <utility>

#include "manager/com/playlist2_mgr.h"
#include "platform/com/out_values.h"

namespace tavo {

namespace {

// A generator list the manager keeps, with a reference for the host; E_FAIL
// when it has none.
HRESULT HandOut(std::mutex& mutex, const ComPtr<TavoPLGeneratorList>& slot, ITavoPLGeneratorList** list) {
  if (list == nullptr) return E_POINTER;
  *list = nullptr;
  ComPtr<TavoPLGeneratorList> kept;
  {
    std::lock_guard<std::mutex> lock(mutex);
    kept = slot;
  }
  return kept ? StoreObject(list, kept) : E_FAIL;
}

}  // namespace

HRESULT TavoPeltaPlaylist2Mgr::GetPresetPlaylistGenList(ITavoPLGeneratorList** list) {
  return HandOut(objects_mutex_, preset_list_, list);
}

HRESULT TavoPeltaPlaylist2Mgr::GetUserPlaylistGenList(ITavoPLGeneratorList** list) {
  return HandOut(objects_mutex_, user_list_, list);
}

// Both files: the sample presets replace the preset list only when they
// load; the user list is always replaced, by an empty one when the file is
// missing or unreadable (which the next save first moves aside).
HRESULT TavoPeltaPlaylist2Mgr::LoadUserPLGens() {
  std::lock_guard<std::mutex> presets_lock(presets_mutex_);
  LoadedPresets loaded;
  if (library_->LoadPresets(&loaded) != kLibraryOk) return E_FAIL;  // no genre display list
  ComPtr<TavoPLGeneratorList> presets;
  if (loaded.sample_status == 0) {
    presets = TavoPLGeneratorList::Make(std::move(loaded.sample));
    if (!presets) return E_OUTOFMEMORY;
  }
  ComPtr<TavoPLGeneratorList> user = TavoPLGeneratorList::Make(std::move(loaded.user));
  if (!user) return E_OUTOFMEMORY;
  user->SetGenreDisplayList(GenreDisplayObject().Get());
  {
    std::lock_guard<std::mutex> lock(objects_mutex_);
    if (presets) presets.Swap(preset_list_);
    user.Swap(user_list_);
  }
  return S_OK;  // the lists replaced are released here, outside the lock
}

// Writes "userplaylists.xml" from the user list, or from the preset list
// when there is no user list.
HRESULT TavoPeltaPlaylist2Mgr::SaveUserPLGens() {
  std::lock_guard<std::mutex> presets_lock(presets_mutex_);
  ComPtr<TavoPLGeneratorList> list;
  {
    std::lock_guard<std::mutex> lock(objects_mutex_);
    list = user_list_ ? user_list_ : preset_list_;
  }
  if (!list) return E_FAIL;
  list->SetGenreDisplayList(GenreDisplayObject().Get());
  return library_->SaveUserPresets(list->chain()) == kLibraryOk ? S_OK : E_FAIL;
}

}  // namespace tavo
