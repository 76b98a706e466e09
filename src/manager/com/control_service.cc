#include "manager/com/control_service.h"

#include <cstring>
#include <iterator>

#include "manager/library/manager_status.h"
#include "platform/automation/utf.h"

namespace tavo {
namespace {

// An automation string that frees itself.
class Text {
 public:
  explicit Text(std::string_view utf8) : bstr_(BstrFromUtf8(utf8)) {}
  ~Text() { SysFreeString(bstr_); }
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;
  BSTR get() const { return bstr_; }

 private:
  BSTR bstr_;
};

// The service's string getters: empty when the getter fails.
template <class Object>
std::string StringOf(Object* object, HRESULT (STDMETHODCALLTYPE Object::*getter)(BSTR*)) {
  BSTR value = nullptr;
  std::string text = SUCCEEDED((object->*getter)(&value)) ? BstrToUtf8(value) : std::string();
  SysFreeString(value);
  return text;
}

// The list requests, by document (slots 10, 11, 12, 15, 22, 16; the version
// mapping by name through slot 21).
using ListRequest = HRESULT (STDMETHODCALLTYPE ITAVOService::*)(BSTR, BSTR, VARIANT*);
constexpr ListRequest kListRequests[] = {
    &ITAVOService::GetEraList,    &ITAVOService::GetOriginList,          &ITAVOService::GetArtistTypeList,
    &ITAVOService::GetGenreList,  &ITAVOService::GetPopularityRangeList, &ITAVOService::GetGenreFamilyList,
};
static_assert(std::size(kListRequests) == 6, "one request per list kind");
constexpr std::string_view kGenreVersionsList = "genres-v1-to-v2";

// The correlate requests by level: slots 7, 20 and 19.
using CorrelatesRequest = HRESULT (STDMETHODCALLTYPE ITAVOService::*)(BSTR, BSTR, ITAVOCorrelateList**);
constexpr CorrelatesRequest kCorrelatesRequests[] = {&ITAVOService::GetCorrelates0, &ITAVOService::GetCorrelates1,
                                                     &ITAVOService::GetCorrelates2};

// Takes the document out of the service's answer and frees the answer: a
// block of global memory holding NUL-terminated UTF-8 (read no further than
// the block), or a string.
LibraryStatus TakeDocument(VARIANT* answer, std::string* document) {
  if (answer->vt == (VT_BYREF | VT_UI1) && answer->pbVal != nullptr) {
    const char* text = reinterpret_cast<const char*>(answer->pbVal);
    document->assign(text, strnlen(text, GlobalSize(answer->pbVal)));
    GlobalFree(answer->pbVal);
    answer->vt = VT_EMPTY;
    return kLibraryOk;
  }
  const bool is_text = answer->vt == VT_BSTR;
  if (is_text) *document = BstrToUtf8(answer->bstrVal);
  VariantClear(answer);
  return is_text ? kLibraryOk : kManagerNoDocument;
}

// One correlate entry as a table; false when any part cannot be read.
bool ReadEntry(ITAVOCorrelateEntry* entry, CorrelatesLevel::Table* table) {
  LONG genre = 0, count = 0;
  ComPtr<ITAVORelatedList> related;
  if (FAILED(entry->get_GenreID(&genre)) || FAILED(entry->get_Related(related.ReleaseAndGetAddressOf())) ||
      !related || FAILED(related->get_Count(&count)) || count < 0 || count > kMaxCorrelateItems) {
    return false;
  }
  table->genre = genre;
  table->related.reserve(static_cast<size_t>(count));
  for (LONG i = 1; i <= count; ++i) {
    ComPtr<ITAVORelatedItem> item;
    LONG id = 0, weight = 0;
    if (FAILED(related->GetItem(i, item.ReleaseAndGetAddressOf())) || !item || FAILED(item->get_GenreID(&id)) ||
        FAILED(item->get_Weight(&weight))) {
      return false;
    }
    table->related.push_back({id, weight});
  }
  return true;
}

}  // namespace

LibraryStatus ControlListService::FetchList(DescriptorKind kind, std::string_view level, std::string_view tag,
                                            std::string* document) {
  if (!IsDescriptorKind(static_cast<int32_t>(kind))) return kLibraryInvalidArgument;
  const ListRequest request = kListRequests[static_cast<size_t>(kind)];
  return Ask(
      [&](BSTR level_text, BSTR tag_text, VARIANT* answer) {
        return (service_.Get()->*request)(level_text, tag_text, answer);
      },
      level, tag, document);
}

LibraryStatus ControlListService::FetchGenreVersions(std::string_view level, std::string_view tag,
                                                     std::string* document) {
  return Ask(
      [&](BSTR level_text, BSTR tag_text, VARIANT* answer) {
        const Text name(kGenreVersionsList);
        return service_->GetNamedList(name.get(), level_text, tag_text, answer);
      },
      level, tag, document);
}

template <class Request>
LibraryStatus ControlListService::Ask(Request&& request, std::string_view level, std::string_view tag,
                                      std::string* document) {
  std::lock_guard<std::mutex> lock(mutex_);
  const Text level_text(level), tag_text(tag);
  VARIANT answer;
  VariantInit(&answer);
  if (FAILED(request(level_text.get(), tag_text.get(), &answer))) {
    VariantClear(&answer);
    return kManagerServiceFailed;
  }
  return TakeDocument(&answer, document);  // S_FALSE comes without one: the caller's copy is current
}

LibraryStatus ControlListService::FetchCorrelates(int level, std::string_view first_text,
                                                  std::string_view second_text, CorrelatesLevel* out) {
  if (level < 0 || level > 2) return kLibraryInvalidArgument;
  std::lock_guard<std::mutex> lock(mutex_);
  const Text first(first_text), second(second_text);
  ComPtr<ITAVOCorrelateList> list;
  if (FAILED((service_.Get()->*kCorrelatesRequests[level])(first.get(), second.get(), list.ReleaseAndGetAddressOf())) ||
      !list) {
    return kManagerServiceFailed;
  }
  LONG count = 0;
  if (FAILED(list->get_Count(&count)) || count < 0 || count > kMaxCorrelateItems) return kManagerServiceFailed;
  out->first_text = StringOf(list.Get(), &ITAVOCorrelateList::get_RevisionLevel);
  out->second_text = StringOf(list.Get(), &ITAVOCorrelateList::get_RevisionTag);
  LONG scale = 0;
  out->scale_min = SUCCEEDED(list->get_ScaleMin(&scale)) ? scale : 1;
  out->scale_max = SUCCEEDED(list->get_ScaleMax(&scale)) ? scale : 10;
  out->tables.clear();
  for (LONG i = 1; i <= count; ++i) {
    ComPtr<ITAVOCorrelateEntry> entry;
    // A list that cannot give an entry it counted is shorter than it says.
    if (FAILED(list->GetEntry(i, entry.ReleaseAndGetAddressOf())) || !entry) break;
    CorrelatesLevel::Table table;
    if (ReadEntry(entry.Get(), &table)) out->tables.push_back(std::move(table));
  }
  return kLibraryOk;
}

}  // namespace tavo
