#include "data/presets/genre_correction.h"

#include <gtest/gtest.h>

#include <string>

#include "data/descriptors/genre_display.h"
#include "data/descriptors/list_test_util.h"
#include "data/presets/preset_test_util.h"

namespace tavo {
namespace {

std::string Genre(int id, int level, std::initializer_list<int> children = {}, const std::string& more = "") {
  return Item(id, children, "<MASTER_ID>300</MASTER_ID><SYSTEM_LEVEL>" + std::to_string(level) + "</SYSTEM_LEVEL>" + more);
}

// 300 > 600 > 1000, with 9000 and 5555 merged into 600; 800 has no parent,
// 801 a parent that is no item, 700 and 701 are each other's parents.
DescriptorListPtr Genres() {
  return ListOf(Genre(300, 1, {600}) + Genre(600, 2, {1000, 9000, 5555}) + Genre(1000, 3) + Genre(800, 3) +
                Genre(801, 3, {}, "<PARENT_ID>99999</PARENT_ID>") + Genre(700, 3, {}, "<PARENT_ID>701</PARENT_ID>") +
                Genre(701, 3, {}, "<PARENT_ID>700</PARENT_ID>"));
}

TEST(GenreCorrection, FindsAGenreTheListKnows) {
  DescriptorListPtr genres = Genres();
  IdMapping mapping;
  ASSERT_EQ(kDescOk, BuildChildIdMapping(*genres, &mapping));
  struct Case {
    int32_t saved, master, level, expected;
  } cases[] = {
      {1000, 42, 1, 1000},   // the list holds it
      {9000, 42, 1, 9000},   // merged into an item: the mapping knows it
      {1234, 5555, 2, 600},  // the master id is merged into 600, level 2 stops there
      {1234, 5555, 1, 300},  // ... level 1 walks up to the top
      {1234, 1000, 1, 300},  // a master id that is an item starts the walk itself
      {1234, 1000, 3, 1000},
      {1234, 4444, 1, 1234},  // no starting item
      {1234, 800, 1, 1234},   // no parents on the way
      {1234, 801, 1, 1234},   // a parent that is no item
      {1234, 700, 1, 1234},   // parents in a cycle: the walk gives up
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, CorrectSavedGenre(*genres, &mapping, c.saved, c.master, c.level)) << c.saved << " " << c.master;
  }
  EXPECT_EQ(1234, CorrectSavedGenre(*genres, nullptr, 1234, 5555, 1));  // no mapping, no such item
}

// The correction applies while reading, only to PARAM1 elements carrying all
// three attributes for track_genrev2, and only with a genre list.
TEST(GenreCorrection, AppliesWhileReading) {
  DescriptorListPtr genres = Genres();
  IdMapping mapping;
  ASSERT_EQ(kDescOk, BuildChildIdMapping(*genres, &mapping));
  auto read = [&](const std::string& param1, const DescriptorList* list) {
    GeneratorPtr g = ReadPset("<CRITERIA><CRIT><FIELD TYPE=\"ENUM\">track_genrev2</FIELD><OP>eq</OP>" + param1 +
                              "</CRIT></CRITERIA>", list, &mapping);
    return g->criteria()[0]->int_param(0);
  };
  const std::string moved = "<PARAM1 FIELDLIST=\"TRACK_GENREV2\" MASTERID=\"1000\" IDSYSLEVEL=\"2\">1234</PARAM1>";
  EXPECT_EQ(600, read(moved, genres.get()));
  EXPECT_EQ(1234, read(moved, nullptr));
  EXPECT_EQ(1234, read("<PARAM1 FIELDLIST=\"track_genre\" MASTERID=\"1000\" IDSYSLEVEL=\"2\">1234</PARAM1>", genres.get()));
  EXPECT_EQ(1234, read("<PARAM1 FIELDLIST=\"track_genrev2\" MASTERID=\"1000\">1234</PARAM1>", genres.get()));
}

}  // namespace
}  // namespace tavo
