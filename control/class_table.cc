#include "control/class_table.h"

#include <map>

#include "control/control_object.h"
#include "control/disc.h"
#include "control/tag_reader.h"
#include "platform/automation/guid_text.h"
#include "platform/automation/registry.h"

namespace tavo::control {
namespace {

constexpr ControlClass kClasses[] = {
    {"TAVOControl", &CLSID_TAVOControl, &Control::Create},
    {"TAVOMP3Reader", &CLSID_TAVOMP3Reader, &Mp3TagReader::Create},
    {"TAVOWMAReader", &CLSID_TAVOWMAReader, &WmaTagReader::Create},
    {"TAVODisc", &CLSID_TAVODisc, &Disc::Create},
};

struct InterfaceName {
  std::string_view name;
  const IID* iid;
};
#define TAVOCTL_IFACE(I) {#I, &IID_##I}
constexpr InterfaceName kInterfaces[] = {
    TAVOCTL_IFACE(ITAVOControl),       TAVOCTL_IFACE(ITAVOControlEx),      TAVOCTL_IFACE(ITAVOService),
    TAVOCTL_IFACE(ITAVOLookup),        TAVOCTL_IFACE(ITAVOCorrelateList),  TAVOCTL_IFACE(ITAVOCorrelateEntry),
    TAVOCTL_IFACE(ITAVORelatedList),   TAVOCTL_IFACE(ITAVORelatedItem),    TAVOCTL_IFACE(ITAVOMP3Reader),
    TAVOCTL_IFACE(ITAVOWMAReader),     TAVOCTL_IFACE(ITAVOTag),            TAVOCTL_IFACE(ITAVODisc),
    TAVOCTL_IFACE(ITAVODiscData),      TAVOCTL_IFACE(ITAVOTrack),
};
#undef TAVOCTL_IFACE

constexpr std::string_view kAutomationProxy = "{00020424-0000-0000-C000-000000000046}";

std::string Quoted(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

std::string ClassScript(const ControlClass& c) {
  const std::string clsid = FormatGuid(*c.clsid, true);
  const std::string progid = "TAVOControl." + std::string(c.name);
  const std::string versioned = progid + ".1";
  const std::string description = Quoted(std::string(c.name) + " Class");
  std::string s = "HKCR\n{\n";
  s += "\t" + versioned + " = s " + description + "\n\t{\n\t\tCLSID = s " + Quoted(clsid) + "\n\t}\n";
  s += "\t" + progid + " = s " + description + "\n\t{\n\t\tCLSID = s " + Quoted(clsid) + "\n";
  s += "\t\tCurVer = s " + Quoted(versioned) + "\n\t}\n";
  s += "\tNoRemove CLSID\n\t{\n\t\tForceRemove " + clsid + " = s " + description + "\n\t\t{\n";
  s += "\t\t\tProgID = s " + Quoted(versioned) + "\n";
  s += "\t\t\tVersionIndependentProgID = s " + Quoted(progid) + "\n";
  s += "\t\t\tInprocServer32 = s '%MODULE%'\n\t\t\t{\n\t\t\t\tval ThreadingModel = s 'Apartment'\n\t\t\t}\n";
  s += "\t\t\t'TypeLib' = s " + Quoted(FormatGuid(LIBID_TAVOControl, true)) + "\n";
  s += "\t\t}\n\t}\n}\n";
  return s;
}

std::string TypeLibraryScript() {
  const std::string libid = FormatGuid(LIBID_TAVOControl, true);
  std::string s = "HKCR\n{\n\tNoRemove TypeLib\n\t{\n\t\t" + libid + "\n\t\t{\n";
  s += "\t\t\tForceRemove 1.0 = s 'tavocontrol'\n\t\t\t{\n";
  s += "\t\t\t\t0\n\t\t\t\t{\n\t\t\t\t\tlinux64 = s '%MODULE%'\n\t\t\t\t}\n";
  s += "\t\t\t\tFLAGS = s '0'\n\t\t\t}\n\t\t}\n\t}\n";
  s += "\tNoRemove Interface\n\t{\n";
  for (const InterfaceName& i : kInterfaces) {
    s += "\t\tForceRemove " + FormatGuid(*i.iid, true) + " = s " + Quoted(i.name) + "\n\t\t{\n";
    s += "\t\t\tProxyStubClsid32 = s " + Quoted(kAutomationProxy) + "\n";
    s += "\t\t\tTypeLib = s " + Quoted(libid) + "\n\t\t\t{\n\t\t\t\tval Version = s '1.0'\n\t\t\t}\n\t\t}\n";
  }
  return s + "\t}\n}\n";
}

std::map<std::string, std::string> Replacements(const std::string& module_path) {
  std::string doubled;
  for (char c : module_path) {
    if (c == '\'') doubled += '\'';
    doubled += c;
  }
  return {{"MODULE", doubled}};
}

}  // namespace

std::span<const ControlClass> ControlClasses() { return kClasses; }

HRESULT RegisterControl(const std::string& module_path) {
  const auto replacements = Replacements(module_path);
  for (const ControlClass& c : kClasses) {
    if (HRESULT hr = RunRegistrationScript(ClassScript(c), replacements, true); FAILED(hr)) return hr;
  }
  return RunRegistrationScript(TypeLibraryScript(), replacements, true);
}

HRESULT UnregisterControl(const std::string& module_path) {
  const auto replacements = Replacements(module_path);
  for (const ControlClass& c : kClasses) RunRegistrationScript(ClassScript(c), replacements, false);
  RunRegistrationScript(TypeLibraryScript(), replacements, false);
  return S_OK;
}

}  // namespace tavo::control
