// Writes the offline catalog (share/catalog/README.md describes the files)
// from the genre source tables and demo_catalog.h. The committed catalog is
// this program's output; tests/control checks that they still agree.
#ifndef TAVO_TOOLS_MAKE_DEMO_CATALOG_WRITER_H_
#define TAVO_TOOLS_MAKE_DEMO_CATALOG_WRITER_H_

#include <map>
#include <string>

namespace tavo {

// File name -> contents of every catalog file.
std::map<std::string, std::string> CatalogFiles();

// Writes CatalogFiles() into `dir` (which must exist). False on a write error.
bool WriteCatalog(const std::string& dir);

}  // namespace tavo

#endif  // TAVO_TOOLS_MAKE_DEMO_CATALOG_WRITER_H_
