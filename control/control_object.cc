#include "control/control_object.h"

#include <cstdlib>
#include <strings.h>

#include "control/disc.h"
#include "control/service.h"
#include "control/tag_reader.h"
#include "platform/fs/env.h"

namespace tavo::control {
namespace {

// A new reader of class R with `filename` opened for reading, handed out as
// its reader interface.
template <class R, class ReaderInterface>
HRESULT OpenWith(BSTR filename, IDispatch** out) {
  ComPtr<R> reader = R::Make();
  if (!reader) return E_OUTOFMEMORY;
  if (HRESULT hr = reader->Open(filename, TAVOCTL_OPEN_READ); FAILED(hr)) return hr;
  *out = static_cast<ReaderInterface*>(reader.Get());
  (*out)->AddRef();
  return S_OK;
}

struct ReaderClass {
  const char* extension;
  HRESULT (*open)(BSTR filename, IDispatch** out);
};
constexpr ReaderClass kReaderClasses[] = {
    {".mp3", &OpenWith<Mp3TagReader, ITAVOMP3Reader>},
    {".aac", &OpenWith<Mp3TagReader, ITAVOMP3Reader>},
    {".wma", &OpenWith<WmaTagReader, ITAVOWMAReader>},
};

}  // namespace

std::string DefaultCatalogPath() {
  const char* env = std::getenv("TAVO_CATALOG");
  return env != nullptr && env[0] != '\0' ? env : TAVO_CATALOG_DIR;
}

HRESULT OpenTagReader(BSTR filename, IDispatch** reader) {
  if (reader == nullptr) return E_POINTER;
  *reader = nullptr;
  const std::string name = BstrToUtf8(filename);
  const size_t dot = name.rfind('.');
  const size_t slash = name.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return E_INVALIDARG;
  for (const ReaderClass& c : kReaderClasses) {
    if (strcasecmp(name.c_str() + dot, c.extension) != 0) continue;
    return c.open(filename, reader);
  }
  return E_INVALIDARG;
}

HRESULT Control::put_CatalogPath(BSTR path) {
  if (path == nullptr || SysStringLen(path) == 0) return E_INVALIDARG;
  catalog_path_ = BstrToUtf8(path);
  catalog_.reset();
  return S_OK;
}

HRESULT Control::CreateDisc(ITAVODisc** disc) {
  if (disc == nullptr) return E_POINTER;
  *disc = nullptr;
  return Disc::Create(nullptr, IID_ITAVODisc, reinterpret_cast<void**>(disc));
}

std::shared_ptr<Catalog> Control::CurrentCatalog() {
  if (!catalog_) catalog_ = std::make_shared<Catalog>(catalog_path_);
  return catalog_;
}

HRESULT Control::CheckCatalog() { return CurrentCatalog()->Check(); }

HRESULT Control::GetService(LONG kind, ITAVOService** service) {
  if (service == nullptr) return E_POINTER;
  *service = nullptr;
  if (kind != TAVOCTL_SERVICE_KIND) return E_INVALIDARG;
  FileInfo info;
  if (Env::Default()->Stat(catalog_path_, &info) != 0 || !info.exists || !info.is_directory) return TAVOCTL_E_CATALOG;
  return StoreObject(service, Service::Make(CurrentCatalog()));
}

}  // namespace tavo::control
