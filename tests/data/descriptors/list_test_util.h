// Small list documents written inline.
#ifndef TAVO_TESTS_DATA_DESCRIPTORS_LIST_TEST_UTIL_H_
#define TAVO_TESTS_DATA_DESCRIPTORS_LIST_TEST_UTIL_H_

#include <gtest/gtest.h>

#include <string>

#include "data/descriptors/list_document.h"

namespace tavo {

// <ITEM ID="id">...children...</ITEM>; each child id becomes a CHILD_ID.
inline std::string Item(int id, std::initializer_list<int> children = {}, const std::string& more = "") {
  std::string xml = "<ITEM ID=\"" + std::to_string(id) + "\">";
  for (int c : children) xml += "<CHILD_ID>" + std::to_string(c) + "</CHILD_ID>";
  return xml + more + "</ITEM>";
}

inline DescriptorListPtr ListOf(const std::string& items, DescriptorKind kind = DescriptorKind::kGenres) {
  const std::string text = "<LIST NAME=\"t\">" + items + "</LIST>";
  DescriptorListPtr list;
  EXPECT_EQ(kDescOk, ReadListDocument(kind, text.data(), text.size(), &list)) << text;
  return list;
}

}  // namespace tavo

#endif  // TAVO_TESTS_DATA_DESCRIPTORS_LIST_TEST_UTIL_H_
