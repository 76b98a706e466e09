// What tavopl needs to act as a host: the two modules loaded by path and
// reached only through their exports, and small conveniences for strings.
#ifndef TAVO_TOOLS_TAVOPL_HOST_H_
#define TAVO_TOOLS_TAVOPL_HOST_H_

#include <string>

#include "platform/com/com_ptr.h"
#include "tavo/tavo.h"

namespace tavo::tool {

// A component module loaded with dlopen.
struct Module {
  std::string file;
  void* handle = nullptr;
  HRESULT (*get_version)(DLLVERSIONINFO*) = nullptr;  // the component only
  HRESULT (*register_server)() = nullptr;
  HRESULT (*unregister_server)() = nullptr;
  HRESULT (*get_object)(REFCLSID, REFIID, void**) = nullptr;  // the component only

  // False (with a message on stderr) when the file or an entry point is missing.
  bool Load(const std::string& path);
};

// The component: $TAVO_MODULE, else the build's own copy. The control:
// $TAVO_CONTROL, else the build's own copy.
std::string ComponentFile();
std::string ControlFile();

// Creates an object by ProgID through the registry, as a host that knows
// nothing but the ProgID does.
template <class I>
HRESULT CreateByProgId(const char16_t* progid, ComPtr<I>* out) {
  CLSID clsid;
  if (HRESULT hr = CLSIDFromProgID(progid, &clsid); FAILED(hr)) return hr;
  return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_OF(I), out->ReleaseAndGetVoidAddressOf());
}

// Owns a BSTR.
class Text {
 public:
  Text() = default;
  explicit Text(const std::string& utf8);
  ~Text() { SysFreeString(s_); }
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;
  BSTR get() const { return s_; }
  BSTR* out() {
    SysFreeString(s_);
    s_ = nullptr;
    return &s_;
  }
  std::string utf8() const;

 private:
  BSTR s_ = nullptr;
};

int Fail(const std::string& what, HRESULT hr);

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_HOST_H_
