// Ingestion's sources over the recognition-service control: tags through
// the control's MP3 and WMA tag readers, recordings through its service
// object, and the host's tag and disc objects read into plain values.
#ifndef TAVO_MANAGER_COM_CONTROL_INGESTION_SOURCES_H_
#define TAVO_MANAGER_COM_CONTROL_INGESTION_SOURCES_H_

#include "manager/ingestion/disc_reading.h"
#include "manager/ingestion/tag_source.h"
#include "platform/com/com_ptr.h"
#include "tavo/control.h"

namespace tavo {

// Creates a control object by class (manager/control/control_objects.h in
// the manager; a test or benchmark may create the readers directly).
using CreateObjectFunction = HRESULT (*)(REFCLSID clsid, REFIID iid, void** ppv);

// A new tag reader per file: the control's readers take no locks, and
// different readers may read at once.
class ControlTagSource final : public TagSource {
 public:
  explicit ControlTagSource(CreateObjectFunction create) : create_(create) {}
  LibraryStatus Read(const std::string& path, AudioFormat format, FileTag* tag) override;

 private:
  const CreateObjectFunction create_;
};

// The service object's lookups, one request at a time in the process (the
// control's objects take no locks of their own, and every call of the
// manager makes its own adapter).
class ControlRecordingService final : public RecordingService {
 public:
  explicit ControlRecordingService(ComPtr<ITAVOService> service) : service_(std::move(service)) {}
  LibraryStatus Lookup(const std::string& tag_id, RecordingData* data) override;
  LibraryStatus Popularity(const std::string& tag_id, int32_t track, int32_t* album_popularity,
                           int32_t* global_popularity) override;

 private:
  const ComPtr<ITAVOService> service_;  // may be null: every request fails
};

// The values of a tag object (getters that fail are left absent).
FileTag ReadTagObject(ITAVOTag* tag);

// The values of a disc object through its data interface; E_NOINTERFACE
// when it has none.
HRESULT ReadDiscObject(IDispatch* disc, DiscReading* reading);

}  // namespace tavo

#endif  // TAVO_MANAGER_COM_CONTROL_INGESTION_SOURCES_H_
