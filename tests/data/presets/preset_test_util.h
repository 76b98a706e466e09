// Generators compared field by field, and documents read from text.
#ifndef TAVO_TESTS_DATA_PRESETS_PRESET_TEST_UTIL_H_
#define TAVO_TESTS_DATA_PRESETS_PRESET_TEST_UTIL_H_

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "data/presets/preset_reader.h"
#include "generation/records/generator_chain.h"

namespace tavo {

inline void ExpectSameCriterion(const CriterionRecord& a, const CriterionRecord& b, const std::string& where) {
  SCOPED_TRACE(where);
  EXPECT_EQ(a.description, b.description);
  EXPECT_EQ(a.field(), b.field());
  EXPECT_EQ(a.field_type, b.field_type);
  EXPECT_EQ(a.op, b.op);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(a.int_param(i), b.int_param(i)) << "int parameter " << i + 1;
  for (int i = 0; i < 2; ++i) EXPECT_EQ(a.str_param(i), b.str_param(i)) << "string parameter " << i + 1;
  EXPECT_EQ(a.weight, b.weight);
  EXPECT_EQ(a.order, b.order);
  EXPECT_EQ(a.selection_based, b.selection_based);
}

inline void ExpectSameGenerator(const GeneratorRecord& a, const GeneratorRecord& b) {
  SCOPED_TRACE(a.name);
  EXPECT_EQ(a.name, b.name);
  EXPECT_EQ(a.description, b.description);
  EXPECT_EQ(a.match_mode, b.match_mode);
  EXPECT_EQ(a.size_limit_kb, b.size_limit_kb);
  EXPECT_EQ(a.time_limit_minutes, b.time_limit_minutes);
  EXPECT_EQ(a.song_limit, b.song_limit);
  EXPECT_EQ(a.seed, b.seed);
  EXPECT_EQ(a.auto_update, b.auto_update);
  EXPECT_EQ(a.sort_field, b.sort_field);
  EXPECT_EQ(a.last_order(), b.last_order());
  EXPECT_EQ(a.field_limits(), b.field_limits());
  EXPECT_EQ(a.rank_entries(), b.rank_entries());
  ASSERT_EQ(a.criteria_count(), b.criteria_count());
  for (size_t i = 0; i < a.criteria().size(); ++i) {
    ExpectSameCriterion(*a.criteria()[i], *b.criteria()[i], "criterion at " + std::to_string(i));
  }
}

inline void ExpectSameChain(const GeneratorChain& a, const GeneratorChain& b) {
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) ExpectSameGenerator(*a.At(i), *b.At(i));
}

// The generators of a document given as text.
inline GeneratorChain ReadText(const std::string& text, const DescriptorList* genres = nullptr,
                               const IdMapping* mapping = nullptr) {
  XmlNode* root = nullptr;
  EXPECT_EQ(kXmlOk, XmlDocument_Parse(text.data(), text.size(), &root)) << text;
  XmlNodePtr owned(root);
  GeneratorChain chain;
  if (root != nullptr) ReadPresetDocument(root, genres, mapping, &chain);
  return chain;
}

// One generator from the children of a PSET.
inline GeneratorPtr ReadPset(const std::string& children, const DescriptorList* genres = nullptr,
                             const IdMapping* mapping = nullptr) {
  GeneratorChain chain = ReadText("<LIST><PSET>" + children + "</PSET></LIST>", genres, mapping);
  EXPECT_EQ(1u, chain.size());
  return chain.At(0);
}

}  // namespace tavo

#endif  // TAVO_TESTS_DATA_PRESETS_PRESET_TEST_UTIL_H_
