// The shipped catalog's list documents, read as the manager reads what the
// service hands it.
#ifndef TAVO_TESTS_DATA_TEST_CATALOG_H_
#define TAVO_TESTS_DATA_TEST_CATALOG_H_

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "data/descriptors/id_mapping.h"
#include "data/descriptors/list_document.h"

namespace tavo {

inline std::string CatalogText(const std::string& file) {
  std::ifstream in(std::string(TAVO_SOURCE_DIR "/share/catalog/") + file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline DescriptorListPtr CatalogList(DescriptorKind kind, const std::string& file) {
  const std::string text = CatalogText(file);
  DescriptorListPtr list;
  EXPECT_EQ(kDescOk, ReadListDocument(kind, text.data(), text.size(), &list)) << file;
  return list;
}

inline DescriptorListPtr CatalogGenres() { return CatalogList(DescriptorKind::kGenres, "genres.xml"); }

inline IdMapping CatalogVersionMapping() {
  const std::string text = CatalogText("genres-v1-to-v2.xml");
  IdMapping mapping;
  EXPECT_EQ(kDescOk, ReadVersionMapping(text.data(), text.size(), &mapping));
  return mapping;
}

}  // namespace tavo

#endif  // TAVO_TESTS_DATA_TEST_CATALOG_H_
