// Initialize, Shutdown, Version, DirDelim; the connection-point container and
// error information.
#include <string>
#include <utility>

#include "manager/com/control_service.h"
#include "manager/com/manager_hresult.h"
#include "manager/com/playlist2_mgr.h"
#include "manager/com/sink_events.h"
#include "manager/library/control_version.h"
#include "platform/automation/utf.h"
#include "platform/com/error_info.h"
#include "platform/com/out_values.h"
#include "platform/fs/env.h"
#include "storage/library/dir_delim.h"

namespace tavo {
namespace {

// An open of the library begun by Initialize, given up unless finished.
class OpenReservation {
 public:
  explicit OpenReservation(MediaLibrary& library) : library_(library) {}
  ~OpenReservation() {
    if (!finished_) library_.AbandonOpen();
  }
  OpenReservation(const OpenReservation&) = delete;
  OpenReservation& operator=(const OpenReservation&) = delete;

  LibraryStatus Finish(const std::string& directory, std::shared_ptr<ListService> service, OpenStep* failed) {
    finished_ = true;
    return library_.FinishOpen(directory, std::move(service), failed);
  }

 private:
  MediaLibrary& library_;
  bool finished_ = false;
};

HRESULT Fail(HRESULT hr, std::string_view description) {
  return ReportError(hr, IID_ITavoPlaylist2Mgr, "TavoPeltaPlaylist2Mgr", description);
}

bool IsDirectory(const std::string& path) {
  FileInfo info;
  return Env::Default()->Stat(path, &info) == 0 && info.exists && info.is_directory;
}

HRESULT OpenFailure(OpenStep step, LibraryStatus status) {
  switch (step) {
    case OpenStep::kDatabase:
      if (status == kLibraryDatabaseOpen) return Fail(E_FAIL, "another manager of this process has the database open");
      return Fail(E_FAIL, "the database could not be opened");
    case OpenStep::kBeforeOpen:
    case OpenStep::kAfterOpen:
      return MaintenanceHresult(status);
    case OpenStep::kNone:
      break;
  }
  return ManagerHresult(status);
}

}  // namespace

TavoPeltaPlaylist2Mgr::TavoPeltaPlaylist2Mgr() : library_(std::make_shared<MediaLibrary>()) {}

HRESULT TavoPeltaPlaylist2Mgr::FinalConstruct() {
  ConnectionPoint* point = points_.Add(this, DIID_DPlaylist2Events);
  if (point == nullptr) return E_OUTOFMEMORY;
  library_->SetEvents(std::make_shared<SinkEvents>(ComPtr<ConnectionPoint>(point)));
  return S_OK;
}

TavoPeltaPlaylist2Mgr::~TavoPeltaPlaylist2Mgr() {
  // The maintenance object forgets this manager, the library closes, and the
  // sinks are let go.
  library_->AttachMaintenance(nullptr);
  library_->SetEvents(nullptr);
  library_->Close();
  points_.Detach();
}

ComPtr<ITAVOService> TavoPeltaPlaylist2Mgr::service() const {
  std::lock_guard<std::mutex> lock(controls_mutex_);
  return service_;
}

HRESULT TavoPeltaPlaylist2Mgr::Initialize(IDispatch* control, BSTR db_path) {
  if (LibraryStatus s = library_->BeginOpen(); s != kLibraryOk) return ManagerHresult(s);
  OpenReservation reservation(*library_);
  if (control == nullptr || db_path == nullptr || SysStringLen(db_path) == 0) return E_INVALIDARG;
  const std::string path = BstrToUtf8(db_path);
  // A zero byte would cut the path short and open another directory.
  if (path.find('\0') != std::string::npos) return E_INVALIDARG;
  if (!IsDirectory(path)) return kNotADirectory;

  ComPtr<ITAVOControlEx> extended;
  const HRESULT queried = control->QueryInterface(IID_ITAVOControlEx, extended.ReleaseAndGetVoidAddressOf());
  if (FAILED(queried) && queried != E_NOINTERFACE) return Fail(queried, "the control could not be queried");
  {
    std::lock_guard<std::mutex> lock(controls_mutex_);
    extended_ = extended;
    if (extended) control_ = ComPtr<IDispatch>(control);
  }
  if (!extended) return Fail(ERR_PL_TAVOControlVersion, "the control has no extended interface");

  BSTR version_text = nullptr;
  const HRESULT asked = extended->get_Version(&version_text);
  const std::string version_string = BstrToUtf8(version_text);
  SysFreeString(version_text);
  if (FAILED(asked)) return Fail(asked, "the control did not give its version");
  ControlVersion version;
  if (!ParseControlVersion(version_string, &version) || !ControlVersionSupported(version)) {
    return Fail(ERR_PL_TAVOControlVersion, "the control's version is not supported: " + version_string);
  }

  ComPtr<ITAVOService> service;
  {
    std::lock_guard<std::mutex> lock(controls_mutex_);
    service_ = nullptr;
  }
  if (FAILED(extended->GetService(TAVOCTL_SERVICE_KIND, service.ReleaseAndGetAddressOf())) || !service) {
    return Fail(ERR_PL_TAVOControlVersion, "the control gave no service object");
  }
  {
    std::lock_guard<std::mutex> lock(controls_mutex_);
    service_ = service;
    db_path_ = path;
  }

  OpenStep failed = OpenStep::kNone;
  if (LibraryStatus s = reservation.Finish(path, std::make_shared<ControlListService>(service), &failed);
      s != kLibraryOk) {
    return OpenFailure(failed, s);
  }
  // The lists and generators are loaded through the object's own interface,
  // so that a host-side wrapper sees them; their failures do not fail the
  // initialization.
  ReleaseCachedObjects();
  ITavoPlaylist2Mgr* self = this;
  self->GetGenreDisplayList(0, nullptr);
  self->LoadUserPLGens();
  return S_OK;
}

HRESULT TavoPeltaPlaylist2Mgr::Shutdown() {
  const LibraryStatus closed = library_->Close();
  // From inside one of its own operations the library cannot close; nothing
  // is released then.
  if (closed == kManagerBusy) return Fail(E_ACCESSDENIED, "Shutdown was called from inside an event");
  ReleaseCachedObjects();
  ComPtr<IDispatch> control;
  ComPtr<ITAVOControlEx> extended;
  ComPtr<ITAVOService> service;
  {
    std::lock_guard<std::mutex> lock(controls_mutex_);
    control.Swap(control_);
    extended.Swap(extended_);
    service.Swap(service_);
  }
  // Released here, outside the lock, service first.
  service = nullptr;
  extended = nullptr;
  control = nullptr;
  return closed == kManagerNotOpen ? S_OK : ManagerHresult(closed);
}

void TavoPeltaPlaylist2Mgr::ReleaseCachedObjects() {
  CachedList lists[kDescriptorKindCount];
  ComPtr<TavoPLGeneratorList> preset, user;
  {
    std::lock_guard<std::mutex> lock(objects_mutex_);
    for (int i = 0; i < kDescriptorKindCount; ++i) std::swap(lists[i], list_objects_[i]);
    preset.Swap(preset_list_);
    user.Swap(user_list_);
  }
  // Released outside the lock.
}

HRESULT TavoPeltaPlaylist2Mgr::get_Version(BSTR* version) { return StoreText(version, kManagerVersion); }

HRESULT TavoPeltaPlaylist2Mgr::get_DirDelim(BSTR* delimiter) {
  const char text[1] = {DirDelim()};
  return StoreText(delimiter, std::string_view(text, 1));
}

HRESULT TavoPeltaPlaylist2Mgr::put_DirDelim(BSTR delimiter) {
  if (delimiter == nullptr || SysStringLen(delimiter) == 0) return E_INVALIDARG;
  const char byte = static_cast<char>(delimiter[0] & 0xFF);
  // Paths are UTF-8: a byte of a multibyte character, or a zero byte, would
  // cut names in the middle.
  if (byte == '\0' || (delimiter[0] & 0xFF) >= 0x80) return E_INVALIDARG;
  SetDirDelim(byte);
  return S_OK;
}

HRESULT TavoPeltaPlaylist2Mgr::EnumConnectionPoints(IEnumConnectionPoints** points) { return points_.Enum(points); }

HRESULT TavoPeltaPlaylist2Mgr::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  return points_.Find(iid, point);
}

HRESULT TavoPeltaPlaylist2Mgr::InterfaceSupportsErrorInfo(REFIID iid) {
  return iid == IID_ITavoPlaylist2Mgr ? S_OK : S_FALSE;
}

}  // namespace tavo
