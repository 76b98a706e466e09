// The control object the host hands to the manager: its version, the
// catalog path, tag reader and disc creation, and the service object.
#ifndef TAVO_CONTROL_CONTROL_OBJECT_H_
#define TAVO_CONTROL_CONTROL_OBJECT_H_

#include <memory>
#include <string>

#include "control/catalog.h"
#include "control/reserved_slots.h"
#include "platform/com/out_values.h"
#include "platform/com/object.h"

namespace tavo::control {

// "TAVOControl major.minor.build.revision".
inline constexpr const char* kControlVersion = "TAVOControl 2.1.3.4";

// The catalog directory a new control starts with: $TAVO_CATALOG when set,
// else the directory the library was built for.
std::string DefaultCatalogPath();

// A reader of the file's format (by extension: ".mp3" and ".aac" MP3, ".wma"
// WMA; another extension is E_INVALIDARG) with the file opened for reading.
HRESULT OpenTagReader(BSTR filename, IDispatch** reader);

class Control : public ComObject<Control, ITAVOControlEx> {
 public:
  Control() : catalog_path_(DefaultCatalogPath()) {}

  HRESULT STDMETHODCALLTYPE get_Version(BSTR* version) override { return StoreText(version, kControlVersion); }
  HRESULT STDMETHODCALLTYPE get_CatalogPath(BSTR* path) override { return StoreText(path, catalog_path_); }
  HRESULT STDMETHODCALLTYPE put_CatalogPath(BSTR path) override;
  HRESULT STDMETHODCALLTYPE CreateTagReader(BSTR filename, IDispatch** reader) override {
    return OpenTagReader(filename, reader);
  }
  HRESULT STDMETHODCALLTYPE CreateDisc(ITAVODisc** disc) override;
  HRESULT STDMETHODCALLTYPE CheckCatalog() override;
  TAVOCTL_RESERVED_ITAVOControlEx(TAVOCTL_IMPLEMENT_RESERVED, _)
  HRESULT STDMETHODCALLTYPE GetService(LONG kind, ITAVOService** service) override;

 private:
  // The catalog of the current path, shared by the service objects made
  // from it so that parsed tables are kept once.
  std::shared_ptr<Catalog> CurrentCatalog();

  std::string catalog_path_;
  std::shared_ptr<Catalog> catalog_;
};

}  // namespace tavo::control

#endif  // TAVO_CONTROL_CONTROL_OBJECT_H_
