// Registration of the module's classes and type library in the registry.
#ifndef TAVO_MODULE_REGISTRATION_H_
#define TAVO_MODULE_REGISTRATION_H_

#include <string>

#include "module/class_table.h"

namespace tavo {

// The registration script of one class: its versioned and unversioned
// ProgIDs, and its key under CLSID with ProgID, VersionIndependentProgID,
// Programmable, InprocServer32 (%MODULE%, apartment threaded) and TypeLib.
std::string RegistrationScript(const ClassEntry& entry);
// The script of the type library: TypeLib\{libid}\1.0 and one key per
// interface under Interface.
std::string TypeLibraryScript();

// Runs the scripts of every registered class and then the type library's.
// `module_path` is the module file's full path. The first failure is returned.
HRESULT RegisterModule(const std::string& module_path);
// Removes what RegisterModule wrote; always S_OK.
HRESULT UnregisterModule(const std::string& module_path);

}  // namespace tavo

#endif  // TAVO_MODULE_REGISTRATION_H_
