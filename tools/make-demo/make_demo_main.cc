// tavo-make-demo DIR: writes the demo library into DIR.
#include <cstdio>
#include <string>

#include "demo_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  std::string error;
  const int written = tavo::WriteDemoLibrary(argv[1], &error);
  if (written < 0) {
    std::fprintf(stderr, "tavo-make-demo: %s\n", error.c_str());
    return 1;
  }
  std::printf("%d files written to %s\n", written, argv[1]);
  return 0;
}
