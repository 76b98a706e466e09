// What tavopl needs to act as a host: the two modules loaded by path and
// reached only through their exports, objects created through the registry,
// and small conveniences for references and strings. Like any host it uses
// the public headers (include/tavo/) and the runtime libTavoAuto.so only.
#ifndef TAVO_TOOLS_TAVOPL_HOST_H_
#define TAVO_TOOLS_TAVOPL_HOST_H_

#include <string>
#include <utility>

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

// The component: $TAVO_MODULE, else the installed copy beside tavopl, else
// the build's own. The control: $TAVO_CONTROL, else likewise.
std::string ComponentFile();
std::string ControlFile();

// Owns one reference to an interface of type I.
template <class I>
class Ref {
 public:
  Ref() = default;
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  Ref(Ref&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  Ref& operator=(Ref&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  ~Ref() { Reset(); }
  void Reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  I* get() const { return p_; }
  I* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Releases what is held; the slot for an [out] parameter.
  I** out() {
    Reset();
    return &p_;
  }
  void** out_void() { return reinterpret_cast<void**>(out()); }

 private:
  I* p_ = nullptr;
};

// The IID of interface I, from the public declarations.
template <class I>
const IID& IidOf() {
  return InterfaceTraits<I>::iid;
}

// Creates an object by ProgID through the registry, as a host that knows
// nothing but the ProgID does.
template <class I>
HRESULT CreateByProgId(const char16_t* progid, Ref<I>* out) {
  CLSID clsid;
  if (HRESULT hr = CLSIDFromProgID(progid, &clsid); FAILED(hr)) return hr;
  return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IidOf<I>(), out->out_void());
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

// "{xxxxxxxx-...}" of a GUID, lower case.
std::string GuidText(const GUID& guid);

// Prints "tavopl: <what> failed: 0x..." and returns 1 (the demo's checks).
int Fail(const std::string& what, HRESULT hr);

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_HOST_H_
