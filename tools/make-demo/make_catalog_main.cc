// tavo-make-catalog DIR: writes the offline catalog into DIR. The files in
// share/catalog are its output; run it there after changing the genre
// source tables or demo_catalog.cc.
#include <cstdio>

#include "catalog_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  if (!tavo::WriteCatalog(argv[1])) {
    std::fprintf(stderr, "tavo-make-catalog: cannot write into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
