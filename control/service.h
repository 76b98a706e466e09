// The service object (kind 4): list documents, lookups, popularity and
// correlates, all answered from one Catalog.
#ifndef TAVO_CONTROL_SERVICE_H_
#define TAVO_CONTROL_SERVICE_H_

#include <memory>

#include "control/catalog.h"
#include "platform/com/object.h"

namespace tavo::control {

class Service : public ComObject<Service, ITAVOService> {
 public:
  explicit Service(std::shared_ptr<Catalog> catalog) : catalog_(std::move(catalog)) {}

  HRESULT STDMETHODCALLTYPE GetCorrelates0(BSTR level, BSTR tag, ITAVOCorrelateList** list) override;
  HRESULT STDMETHODCALLTYPE get_Kind(LONG* kind) override;
  HRESULT STDMETHODCALLTYPE get_CatalogRevision(BSTR* revision) override;
  HRESULT STDMETHODCALLTYPE GetEraList(BSTR level, BSTR tag, VARIANT* doc) override;
  HRESULT STDMETHODCALLTYPE GetOriginList(BSTR level, BSTR tag, VARIANT* doc) override;
  HRESULT STDMETHODCALLTYPE GetArtistTypeList(BSTR level, BSTR tag, VARIANT* doc) override;
  HRESULT STDMETHODCALLTYPE GetPopularity(BSTR tag_id, LONG track, LONG* album, LONG* global) override;
  HRESULT STDMETHODCALLTYPE FindRecording(BSTR title, BSTR artist, BSTR* tag_id) override;
  HRESULT STDMETHODCALLTYPE GetGenreList(BSTR level, BSTR tag, VARIANT* doc) override;
  HRESULT STDMETHODCALLTYPE GetGenreFamilyList(BSTR level, BSTR tag, VARIANT* doc) override;
  HRESULT STDMETHODCALLTYPE get_RecordingCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE GetGenreName(LONG genre_id, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE GetCorrelates2(BSTR level, BSTR tag, ITAVOCorrelateList** list) override;
  HRESULT STDMETHODCALLTYPE GetCorrelates1(BSTR level, BSTR tag, ITAVOCorrelateList** list) override;
  HRESULT STDMETHODCALLTYPE GetNamedList(BSTR name, BSTR level, BSTR tag, VARIANT* doc) override;
  HRESULT STDMETHODCALLTYPE GetPopularityRangeList(BSTR level, BSTR tag, VARIANT* doc) override;
  HRESULT STDMETHODCALLTYPE Lookup(BSTR tag_id, ITAVOLookup** lookup, LONG* track_number) override;

 private:
  HRESULT List(std::string_view name, BSTR level, BSTR tag, VARIANT* doc);
  HRESULT Correlates(int level, ITAVOCorrelateList** list);

  const std::shared_ptr<Catalog> catalog_;
};

}  // namespace tavo::control

#endif  // TAVO_CONTROL_SERVICE_H_
