// TavoPL2ResultList: a generated playlist, a collection of TavoPL2Result,
// 1-based. A list made by the class factory holds no playlist: its Count
// answers E_FAIL and it has no items.
//
// The manager makes one from a run's entries with MakeResultList; each
// GetResult hands out a new result object with copies of that entry.
#ifndef TAVO_GENERATION_OBJECTS_PL2_RESULT_LIST_H_
#define TAVO_GENERATION_OBJECTS_PL2_RESULT_LIST_H_

#include <memory>
#include <vector>

#include "generation/engine/playlist_entry.h"
#include "platform/com/collection.h"
#include "platform/com/object.h"
#include "tavo/tavo.h"

namespace tavo {

class TavoPL2ResultList : public ComObject<TavoPL2ResultList, ITavoPL2ResultList>,
                          public CollectionOf<TavoPL2ResultList, ITavoPL2Result> {
 public:
  TavoPL2ResultList() = default;
  explicit TavoPL2ResultList(std::vector<PlaylistEntry> entries)
      : entries_(std::make_shared<const std::vector<PlaylistEntry>>(std::move(entries))) {}

  size_t ItemCount() const { return entries_ ? entries_->size() : 0; }
  HRESULT MakeItem(size_t position, ComPtr<ITavoPL2Result>* out) const;

  // The classic criteria form offered for filling the list: not implemented.
  HRESULT FillFromCriteria(ITavoPL2Criteria* criteria) { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
  HRESULT STDMETHODCALLTYPE GetResult(LONG index, ITavoPL2Result** result) override;
  HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** enumerator) override;
  // The same as GetResult.
  HRESULT STDMETHODCALLTYPE get_Item(LONG index, ITavoPL2Result** result) override;

 private:
  std::shared_ptr<const std::vector<PlaylistEntry>> entries_;  // null: no playlist
};

// A result list of `entries`, with one reference for *out. E_POINTER for a
// null `out`, E_OUTOFMEMORY when the list cannot be made.
HRESULT MakeResultList(std::vector<PlaylistEntry> entries, ITavoPL2ResultList** out) noexcept;

}  // namespace tavo

#endif  // TAVO_GENERATION_OBJECTS_PL2_RESULT_LIST_H_
