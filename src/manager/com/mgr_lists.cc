// The descriptor lists: the five lists the service supplies, each made into
// its list object once and handed out again, and named lists read from the
// database folder.
#include <utility>

#include "data/descriptors/objects/descriptor_objects.h"
#include "manager/com/playlist2_mgr.h"
#include "platform/automation/utf.h"
#include "platform/com/out_values.h"

namespace tavo {
namespace {

// A list object as interface I.
template <class I>
HRESULT AsListInterface(const ComPtr<ITavoPLDataList>& object, I** out) {
  return object->QueryInterface(IID_OF(I), reinterpret_cast<void**>(out));
}

}  // namespace

template <class I>
HRESULT TavoPeltaPlaylist2Mgr::HandOutList(DescriptorKind kind, I** list) {
  if (list == nullptr) return E_POINTER;
  *list = nullptr;
  ComPtr<ITavoPLDataList> object;
  if (HRESULT hr = ListObject(kind, &object); FAILED(hr)) return hr;
  return AsListInterface(object, list);
}

HRESULT TavoPeltaPlaylist2Mgr::ListObject(DescriptorKind kind, ComPtr<ITavoPLDataList>* object) {
  DescriptorListPtr list;
  // Not initialized, or neither the database nor the service has the list.
  if (library_->List(kind, &list) != kLibraryOk) return E_FAIL;
  CachedList& slot = list_objects_[static_cast<size_t>(kind)];
  {
    std::lock_guard<std::mutex> lock(objects_mutex_);
    if (slot.object && slot.list == list) {
      *object = slot.object;
      return S_OK;
    }
  }
  ComPtr<ITavoPLDataList> made = MakeDescriptorListObject(list);
  if (!made) return E_OUTOFMEMORY;
  CachedList replaced;
  {
    std::lock_guard<std::mutex> lock(objects_mutex_);
    replaced = std::exchange(slot, CachedList{list, made});
  }
  *object = std::move(made);
  return S_OK;  // a replaced object goes here, outside the lock; its items keep its list
}

ComPtr<ITavoGenreDisplayList> TavoPeltaPlaylist2Mgr::GenreDisplayObject() {
  ComPtr<ITavoPLDataList> object;
  ComPtr<ITavoGenreDisplayList> genres;
  if (SUCCEEDED(ListObject(DescriptorKind::kGenres, &object))) object.As(&genres);
  return genres;
}

HRESULT TavoPeltaPlaylist2Mgr::GetArtistTypes(ITavoArtistTypeList** list) {
  return HandOutList(DescriptorKind::kArtistTypes, list);
}

HRESULT TavoPeltaPlaylist2Mgr::GetOrigins(ITavoOriginsList** list) {
  return HandOutList(DescriptorKind::kOrigins, list);
}

// A missing out pointer is accepted: the list is only made and kept
// (initialization asks so).
HRESULT TavoPeltaPlaylist2Mgr::GetGenreDisplayList(LONG, ITavoGenreDisplayList** list) {
  if (list != nullptr) *list = nullptr;
  ComPtr<ITavoPLDataList> object;
  if (HRESULT hr = ListObject(DescriptorKind::kGenres, &object); FAILED(hr)) return hr;
  return list != nullptr ? AsListInterface(object, list) : S_OK;
}

HRESULT TavoPeltaPlaylist2Mgr::GetEraDisplayList(LONG, ITavoEraDisplayList** list) {
  return HandOutList(DescriptorKind::kEras, list);
}

HRESULT TavoPeltaPlaylist2Mgr::GetPopularityRanges(ITavoPopularityRangeList** list) {
  return HandOutList(DescriptorKind::kPopularityRanges, list);
}

// A new object on every call over "name.xml" of the database folder; a
// missing or unreadable file is an empty list. A name that would reach
// outside the folder ("/" in it) is E_INVALIDARG.
HRESULT TavoPeltaPlaylist2Mgr::GetPLDataList(LONG, BSTR name, ITavoPLDataList** list) {
  if (list == nullptr) return E_POINTER;
  *list = nullptr;
  DescriptorListPtr named;
  const LibraryStatus s = library_->NamedList(name != nullptr ? BstrToUtf8(name) : std::string(), &named);
  if (s == kLibraryInvalidArgument) return E_INVALIDARG;
  if (s != kLibraryOk) return E_FAIL;
  return StoreObject(list, MakeDescriptorListObject(std::move(named)));
}

}  // namespace tavo
