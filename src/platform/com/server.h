// What a component module serves, and the work every such module does with
// it: handing out lazily made class objects, and writing or removing its
// registry keys.
//
// Registration of a class writes, under HKEY_CLASSES_ROOT, the versioned
// ProgID "<prefix>.<name>.1" and the unversioned "<prefix>.<name>" (each with
// the class's description "<name> Class" and a CLSID subkey; the unversioned
// one also names CurVer), and the class key under CLSID (never removed as a
// whole) with ProgID, VersionIndependentProgID, Programmable, InprocServer32
// (the module file, apartment threaded) and TypeLib. The type library writes
// TypeLib\{libid}\1.0 and one key per interface under Interface.
#ifndef TAVO_PLATFORM_COM_SERVER_H_
#define TAVO_PLATFORM_COM_SERVER_H_

#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/class_factory.h"
#include "platform/com/class_id.h"

namespace tavo {

struct ServedClass {
  const ClassId& id;               // name, identifier and its text, from the class description
  int script;                      // number of its registration script; 0: not registered
  std::string_view progid_prefix;  // "TavoPlaylist2Pelta"
  CreateFunction create;           // null: CreateInstance answers E_NOTIMPL

  std::string_view name() const { return id.name; }
  const CLSID& clsid() const { return *id.clsid; }
};


struct ServedInterface {
  std::string_view name;
  const IID* iid;
};

struct TypeLibrary {
  const GUID* libid;
  std::string_view help_string;
  std::span<const ServedInterface> interfaces;
};
// What a module serves: its classes in table order and its type library.
struct ServedModule {
  std::span<const ServedClass> classes;
  const TypeLibrary& library;
};

// Class objects of a module, made on first request under a lock (tested
// again inside it) and released when the table goes, at unload.
class ClassObjectTable {
 public:
  explicit ClassObjectTable(std::span<const ServedClass> classes);
  ~ClassObjectTable();
  ClassObjectTable(const ClassObjectTable&) = delete;
  ClassObjectTable& operator=(const ClassObjectTable&) = delete;

  // CLASS_E_CLASSNOTAVAILABLE (and *ppv null) for a class not in the table.
  HRESULT Get(REFCLSID clsid, REFIID iid, void** ppv);

 private:
  const std::span<const ServedClass> classes_;
  std::mutex lock_;
  std::vector<IClassFactory*> objects_;  // one per class, null until asked for
};

std::string ClassRegistrationScript(const ServedClass& served, const TypeLibrary& library);
std::string TypeLibraryRegistrationScript(const TypeLibrary& library);

// Runs the script of every registered class, then the type library's; the
// first failure is returned. `module_path` is the module file's full path.
HRESULT RegisterServer(std::span<const ServedClass> classes, const TypeLibrary& library,
                       const std::string& module_path);
// Removes what RegisterServer wrote; always S_OK.
HRESULT UnregisterServer(std::span<const ServedClass> classes, const TypeLibrary& library,
                         const std::string& module_path);

// The full path of the shared module that holds `address`; empty if unknown.
std::string ModulePathOf(const void* address);

}  // namespace tavo

#endif  // TAVO_PLATFORM_COM_SERVER_H_
