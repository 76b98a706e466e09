#include "platform/com/server.h"

#include <dlfcn.h>

#include <map>

#include "platform/automation/guid_text.h"
#include "platform/automation/registry.h"

namespace tavo {
namespace {

// The automation marshaler: dual interfaces need no proxies of their own.
constexpr std::string_view kAutomationProxy = "{00020424-0000-0000-C000-000000000046}";

std::string DoubleQuotes(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out;
}

std::string Quoted(std::string_view text) { return "'" + DoubleQuotes(text) + "'"; }

std::string Directory(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

// %MODULE% and %HELPDIR% are inserted as text, so their quotes are doubled first.
std::map<std::string, std::string> Replacements(const std::string& module_path) {
  return {{"MODULE", DoubleQuotes(module_path)}, {"HELPDIR", DoubleQuotes(Directory(module_path))}};
}

}  // namespace

ClassObjectTable::ClassObjectTable(std::span<const ServedClass> classes)
    : classes_(classes), objects_(classes.size(), nullptr) {}

ClassObjectTable::~ClassObjectTable() {
  for (IClassFactory*& object : objects_) {
    if (object) object->Release();
    object = nullptr;
  }
}

HRESULT ClassObjectTable::Get(REFCLSID clsid, REFIID iid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  for (size_t i = 0; i < classes_.size(); ++i) {
    if (classes_[i].clsid() != clsid) continue;
    IClassFactory* object;
    {
      std::lock_guard<std::mutex> lock(lock_);
      if (objects_[i] == nullptr) objects_[i] = ClassFactory::Make(classes_[i].create).Detach();
      object = objects_[i];
    }
    return object ? object->QueryInterface(iid, ppv) : E_OUTOFMEMORY;
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

std::string ClassRegistrationScript(const ServedClass& c, const TypeLibrary& library) {
  const std::string clsid(c.id.text);
  const std::string description = Quoted(std::string(c.name()) + " Class");
  const std::string progid = std::string(c.progid_prefix) + "." + std::string(c.name());
  const std::string versioned = progid + ".1";
  std::string s = "HKCR\n{\n";
  s += "\t" + versioned + " = s " + description + "\n\t{\n";
  s += "\t\tCLSID = s " + Quoted(clsid) + "\n\t}\n";
  s += "\t" + progid + " = s " + description + "\n\t{\n";
  s += "\t\tCLSID = s " + Quoted(clsid) + "\n";
  s += "\t\tCurVer = s " + Quoted(versioned) + "\n\t}\n";
  s += "\tNoRemove CLSID\n\t{\n";
  s += "\t\tForceRemove " + clsid + " = s " + description + "\n\t\t{\n";
  s += "\t\t\tProgID = s " + Quoted(versioned) + "\n";
  s += "\t\t\tVersionIndependentProgID = s " + Quoted(progid) + "\n";
  s += "\t\t\tForceRemove 'Programmable'\n";
  s += "\t\t\tInprocServer32 = s '%MODULE%'\n\t\t\t{\n";
  s += "\t\t\t\tval ThreadingModel = s 'Apartment'\n\t\t\t}\n";
  s += "\t\t\t'TypeLib' = s " + Quoted(FormatGuid(*library.libid, true)) + "\n";
  s += "\t\t}\n\t}\n}\n";
  return s;
}

std::string TypeLibraryRegistrationScript(const TypeLibrary& library) {
  const std::string libid = FormatGuid(*library.libid, true);
  std::string s = "HKCR\n{\n\tNoRemove TypeLib\n\t{\n";
  s += "\t\t" + libid + "\n\t\t{\n";
  s += "\t\t\tForceRemove 1.0 = s " + Quoted(library.help_string) + "\n\t\t\t{\n";
  s += "\t\t\t\t0\n\t\t\t\t{\n\t\t\t\t\tlinux64 = s '%MODULE%'\n\t\t\t\t}\n";
  s += "\t\t\t\tFLAGS = s '0'\n";
  s += "\t\t\t\tHELPDIR = s '%HELPDIR%'\n\t\t\t}\n\t\t}\n\t}\n";
  s += "\tNoRemove Interface\n\t{\n";
  for (const ServedInterface& i : library.interfaces) {
    s += "\t\tForceRemove " + FormatGuid(*i.iid, true) + " = s " + Quoted(i.name) + "\n\t\t{\n";
    s += "\t\t\tProxyStubClsid32 = s " + Quoted(kAutomationProxy) + "\n";
    s += "\t\t\tTypeLib = s " + Quoted(libid) + "\n\t\t\t{\n\t\t\t\tval Version = s '1.0'\n\t\t\t}\n\t\t}\n";
  }
  s += "\t}\n}\n";
  return s;
}

HRESULT RegisterServer(std::span<const ServedClass> classes, const TypeLibrary& library,
                       const std::string& module_path) {
  const auto replacements = Replacements(module_path);
  for (const ServedClass& c : classes) {
    if (c.script == 0) continue;
    if (HRESULT hr = RunRegistrationScript(ClassRegistrationScript(c, library), replacements, true); FAILED(hr))
      return hr;
  }
  return RunRegistrationScript(TypeLibraryRegistrationScript(library), replacements, true);
}

HRESULT UnregisterServer(std::span<const ServedClass> classes, const TypeLibrary& library,
                         const std::string& module_path) {
  const auto replacements = Replacements(module_path);
  for (const ServedClass& c : classes) {
    if (c.script != 0) RunRegistrationScript(ClassRegistrationScript(c, library), replacements, false);
  }
  RunRegistrationScript(TypeLibraryRegistrationScript(library), replacements, false);
  return S_OK;
}

std::string ModulePathOf(const void* address) {
  Dl_info info{};
  if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr) return {};
  return info.dli_fname;
}

}  // namespace tavo
