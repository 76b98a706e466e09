// A small host in C++: it registers the component and the control, creates
// both through the registry by ProgID, opens a database folder that holds the
// shipped sample presets, lists them and generates a playlist from the first.
//
//   tavo-cpp-host DBDIR [MUSICDIR]    (MUSICDIR is scanned into the library)
//
// Built against the installed package with find_package(TavoPlaylist2Pelta).
#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>

#include "tavo/control.h"
#include "tavo/tavo.h"

namespace {

// Owns one reference.
template <class I>
class Ref {
 public:
  Ref() = default;
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  ~Ref() {
    if (p_) p_->Release();
  }
  I* operator->() const { return p_; }
  I* get() const { return p_; }
  I** out() { return &p_; }
  void** out_void() { return reinterpret_cast<void**>(&p_); }

 private:
  I* p_ = nullptr;
};

// Owns an automation string (UTF-16), made from UTF-8.
class Text {
 public:
  Text() = default;
  explicit Text(const std::string& utf8) {
    std::u16string wide;
    for (size_t i = 0; i < utf8.size();) {
      const auto c = static_cast<unsigned char>(utf8[i]);
      const int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
      char32_t code = n == 1 ? c : c & (0x7F >> n);
      for (int k = 1; k < n && i + k < utf8.size(); ++k) code = code << 6 | (utf8[i + k] & 0x3F);
      i += n;
      if (code >= 0x10000) {
        wide += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
        wide += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
      } else {
        wide += static_cast<char16_t>(code);
      }
    }
    s_ = SysAllocString(wide.c_str());
  }
  ~Text() { SysFreeString(s_); }
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;
  BSTR get() const { return s_; }
  BSTR* out() { return &s_; }
  // ASCII view for printing (this example's texts are ASCII).
  std::string ascii() const {
    std::string a;
    for (UINT i = 0; s_ && i < SysStringLen(s_); ++i) a += s_[i] < 128 ? static_cast<char>(s_[i]) : '?';
    return a;
  }

 private:
  BSTR s_ = nullptr;
};

template <class I>
HRESULT Create(const char16_t* progid, Ref<I>* out) {
  CLSID clsid;
  if (HRESULT hr = CLSIDFromProgID(progid, &clsid); FAILED(hr)) return hr;
  return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, tavo::InterfaceTraits<I>::iid, out->out_void());
}

bool Register(const char* module) {
  void* handle = dlopen(module, RTLD_NOW | RTLD_LOCAL);
  auto register_server = handle ? reinterpret_cast<HRESULT (*)()>(dlsym(handle, "DllRegisterServer")) : nullptr;
  return register_server != nullptr && SUCCEEDED(register_server());
}

int Fail(const char* what, HRESULT hr) {
  std::fprintf(stderr, "cpp-host: %s: 0x%08X\n", what, static_cast<unsigned>(hr));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return std::fprintf(stderr, "usage: tavo-cpp-host DBDIR [MUSICDIR]\n"), 2;
  if (!Register(TAVO_MODULE) || !Register(TAVO_CONTROL)) return Fail("registering the modules", E_FAIL);

  // A new database folder gets the shipped sample presets.
  const std::filesystem::path db = argv[1];
  std::error_code ec;
  std::filesystem::copy_file(std::filesystem::path(TAVO_DATA_DIR) / "samplepresets.xml", db / "samplepresets.xml",
                             std::filesystem::copy_options::skip_existing, ec);

  Ref<ITAVOControl> control;
  Ref<ITavoPlaylist2Mgr> manager;
  if (HRESULT hr = Create(u"TAVOControl.TAVOControl", &control); FAILED(hr)) return Fail("creating the control", hr);
  if (HRESULT hr = Create(u"TavoPlaylist2Pelta.TavoPeltaPlaylist2Mgr", &manager); FAILED(hr))
    return Fail("creating the manager", hr);
  Text catalog(TAVO_CATALOG_DIR);
  control->put_CatalogPath(catalog.get());
  Text folder(db.string() + "/");  // the manager appends file names as given
  if (HRESULT hr = manager->Initialize(control.get(), folder.get()); hr != S_OK) return Fail("Initialize", hr);

  Text version;
  manager->get_Version(version.out());
  std::printf("version: %s\n", version.ascii().c_str());

  if (argc > 2) {
    Text music(argv[2]);
    const HRESULT hr = manager->AddFolder(music.get(), 1);
    std::printf("scan of %s: 0x%08X%s\n", argv[2], static_cast<unsigned>(hr), hr == E_NOTIMPL ? " (not implemented yet)" : "");
  }

  Ref<ITavoPLGeneratorList> presets;
  SHORT count = 0;
  if (SUCCEEDED(manager->GetPresetPlaylistGenList(presets.out()))) presets->get_Count(&count);
  std::printf("%d presets\n", count);
  for (LONG i = 0; i < count; ++i) {  // generator lists count from 0
    Ref<ITavoPLGenerator> generator;
    Text name;
    if (SUCCEEDED(presets->GetPLGenerator(i, generator.out()))) generator->get_Name(name.out());
    std::printf("  %s\n", name.ascii().c_str());
  }

  if (count > 0) {
    Ref<ITavoPLGenerator> first;
    presets->GetPLGenerator(0, first.out());
    VARIANT no_selection;  // an empty array of file names: every track is a candidate
    VariantInit(&no_selection);
    no_selection.vt = VT_ARRAY | VT_BSTR;
    no_selection.parray = SafeArrayCreateVector(VT_BSTR, 0, 0);
    Ref<ITavoPL2ResultList> results;
    const HRESULT hr = manager->CreateDynPlaylist(first.get(), no_selection, results.out());
    VariantClear(&no_selection);
    LONG tracks = 0;
    if (SUCCEEDED(hr)) results->get_Count(&tracks);
    std::printf("playlist of the first preset: %d tracks (0x%08X%s)\n", tracks, static_cast<unsigned>(hr),
                hr == E_NOTIMPL ? ", not implemented yet" : "");
  }
  manager->Shutdown();
  return 0;
}
