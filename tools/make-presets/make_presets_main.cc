// tavo-make-presets CATALOG_DIR OUT: writes the sample presets as the plain
// document PresetFile_Save writes (the shipped share/samplepresets.xml is
// its output), with genre master ids and levels from CATALOG_DIR/genres.xml.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "data/descriptors/list_document.h"
#include "data/presets/preset_file.h"
#include "sample_presets.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s CATALOG_DIR OUT\n", argv[0]);
    return 2;
  }
  std::ifstream in(std::string(argv[1]) + "/genres.xml", std::ios::binary);
  const std::string genres_text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  tavo::DescriptorListPtr genres;
  if (tavo::ReadListDocument(tavo::DescriptorKind::kGenres, genres_text.data(), genres_text.size(), &genres) != 0) {
    std::fprintf(stderr, "tavo-make-presets: cannot read %s/genres.xml\n", argv[1]);
    return 1;
  }
  std::string text;
  if (!tavo::PresetFile_Text(tavo::SamplePresets(), genres.get(), &text)) return 1;
  std::ofstream out(argv[2], std::ios::binary);
  out << text;
  if (!out.flush()) {
    std::fprintf(stderr, "tavo-make-presets: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
