// Where tavopl finds what it needs. An installed tavopl finds the modules,
// the sample presets and the catalog relative to its own file (bin/ beside
// lib/ and share/tavo/); a tavopl in the build tree uses the build's
// modules and the source tree's share/. $TAVO_MODULE and $TAVO_CONTROL name
// other modules.
#ifndef TAVO_TOOLS_TAVOPL_PATHS_H_
#define TAVO_TOOLS_TAVOPL_PATHS_H_

#include <string>

namespace tavo::tool {

// $XDG_DATA_HOME/tavopl, else $HOME/.local/share/tavopl.
std::string DefaultDatabaseDir();

// The shipped "samplepresets.xml" a new database folder gets.
std::string SamplePresetsFile();

// The installed catalog folder, or "" in the build tree (the control then
// reads its own default).
std::string InstalledCatalogDir();

// The module file named `file_name` in the installed library folder when
// tavopl is installed, else `built`.
std::string ModuleFile(const std::string& file_name, const std::string& built);

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_PATHS_H_
