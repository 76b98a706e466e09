#include "module/registration.h"

#include "platform/automation/guid_text.h"
#include "platform/automation/registry.h"

namespace tavo {
namespace {

constexpr std::string_view kTypeLibHelp = "TavoPlaylist(Pelta) 2.0 Type Library";
// The automation marshaler: dual interfaces need no proxies of their own.
constexpr std::string_view kAutomationProxy = "{00020424-0000-0000-C000-000000000046}";

struct InterfaceName {
  std::string_view name;
  const IID* iid;
};
#define TAVO_IFACE(I) {#I, &IID_##I}
constexpr InterfaceName kInterfaces[] = {
    TAVO_IFACE(ITavoPlaylist2Mgr),      TAVO_IFACE(ITavoPL2Criteria),      TAVO_IFACE(ITavoPL2ResultList),
    TAVO_IFACE(ITavoPL2Result),         TAVO_IFACE(ITavoPL2Timestamp),     TAVO_IFACE(ITavoPL2FindData),
    TAVO_IFACE(ITavoPLGeneratorList),   TAVO_IFACE(ITavoPLGenerator),      TAVO_IFACE(ITavoPLGenCriteriaList),
    TAVO_IFACE(ITavoPLGenCriteria),     TAVO_IFACE(ITavoPLGenLimitList),   TAVO_IFACE(ITavoPLGenLimit),
    TAVO_IFACE(ITavoPLGenRank),         TAVO_IFACE(ITavoGenreDisplayList), TAVO_IFACE(ITavoPLDataList),
    TAVO_IFACE(ITavoPLDataListItem),    TAVO_IFACE(ITavoPLIDList),         TAVO_IFACE(ITavoArtistTypeList),
    TAVO_IFACE(ITavoOriginsList),       TAVO_IFACE(ITavoEraDisplayList),   TAVO_IFACE(ITavoEra),
    TAVO_IFACE(ITavoPopularityRangeList), TAVO_IFACE(ITavoPLInfo),         TAVO_IFACE(ITavoMLDBManager),
    TAVO_IFACE(ITavoPopularityRange),
};
#undef TAVO_IFACE

std::string Quoted(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

// %MODULE% is inserted as text, so its quotes are doubled first.
std::map<std::string, std::string> Replacements(const std::string& module_path) {
  std::string doubled;
  for (char c : module_path) {
    if (c == '\'') doubled += '\'';
    doubled += c;
  }
  return {{"MODULE", doubled}};
}

std::string Directory(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

std::string RegistrationScript(const ClassEntry& e) {
  const std::string description = std::string(e.name) + " Class";
  const std::string progid = std::string(e.progid_prefix) + "." + std::string(e.name);
  const std::string versioned = progid + ".1";
  const std::string typelib = FormatGuid(LIBID_TAVOPLAYLIST2LibPelta, true);
  std::string s;
  s += "HKCR\n{\n";
  s += "\t" + versioned + " = s " + Quoted(description) + "\n\t{\n";
  s += "\t\tCLSID = s " + Quoted(e.clsid_text) + "\n\t}\n";
  s += "\t" + progid + " = s " + Quoted(description) + "\n\t{\n";
  s += "\t\tCLSID = s " + Quoted(e.clsid_text) + "\n";
  s += "\t\tCurVer = s " + Quoted(versioned) + "\n\t}\n";
  s += "\tNoRemove CLSID\n\t{\n";
  s += "\t\tForceRemove " + std::string(e.clsid_text) + " = s " + Quoted(description) + "\n\t\t{\n";
  s += "\t\t\tProgID = s " + Quoted(versioned) + "\n";
  s += "\t\t\tVersionIndependentProgID = s " + Quoted(progid) + "\n";
  s += "\t\t\tForceRemove 'Programmable'\n";
  s += "\t\t\tInprocServer32 = s '%MODULE%'\n\t\t\t{\n";
  s += "\t\t\t\tval ThreadingModel = s 'Apartment'\n\t\t\t}\n";
  s += "\t\t\t'TypeLib' = s " + Quoted(typelib) + "\n";
  s += "\t\t}\n\t}\n}\n";
  return s;
}

std::string TypeLibraryScript() {
  const std::string libid = FormatGuid(LIBID_TAVOPLAYLIST2LibPelta, true);
  std::string s = "HKCR\n{\n\tNoRemove TypeLib\n\t{\n";
  s += "\t\t" + libid + "\n\t\t{\n";
  s += "\t\t\tForceRemove 1.0 = s " + Quoted(kTypeLibHelp) + "\n\t\t\t{\n";
  s += "\t\t\t\t0\n\t\t\t\t{\n\t\t\t\t\tlinux64 = s '%MODULE%'\n\t\t\t\t}\n";
  s += "\t\t\t\tFLAGS = s '0'\n";
  s += "\t\t\t\tHELPDIR = s '%HELPDIR%'\n\t\t\t}\n\t\t}\n\t}\n";
  s += "\tNoRemove Interface\n\t{\n";
  for (const InterfaceName& i : kInterfaces) {
    s += "\t\tForceRemove " + FormatGuid(*i.iid, true) + " = s " + Quoted(i.name) + "\n\t\t{\n";
    s += "\t\t\tProxyStubClsid32 = s " + Quoted(kAutomationProxy) + "\n";
    s += "\t\t\tTypeLib = s " + Quoted(libid) + "\n\t\t\t{\n\t\t\t\tval Version = s '1.0'\n\t\t\t}\n\t\t}\n";
  }
  s += "\t}\n}\n";
  return s;
}

HRESULT RegisterModule(const std::string& module_path) {
  auto replacements = Replacements(module_path);
  for (const ClassEntry& entry : ClassTable()) {
    if (entry.script == 0) continue;
    if (HRESULT hr = RunRegistrationScript(RegistrationScript(entry), replacements, true); FAILED(hr)) return hr;
  }
  replacements["HELPDIR"] = Replacements(Directory(module_path))["MODULE"];
  return RunRegistrationScript(TypeLibraryScript(), replacements, true);
}

HRESULT UnregisterModule(const std::string& module_path) {
  auto replacements = Replacements(module_path);
  for (const ClassEntry& entry : ClassTable()) {
    if (entry.script != 0) RunRegistrationScript(RegistrationScript(entry), replacements, false);
  }
  replacements["HELPDIR"] = Replacements(Directory(module_path))["MODULE"];
  RunRegistrationScript(TypeLibraryScript(), replacements, false);
  return S_OK;
}

}  // namespace tavo
