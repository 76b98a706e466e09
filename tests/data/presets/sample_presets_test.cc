// The shipped sample presets: written by the preset writer, every one loads,
// saves and loads back equal, and those the demo prints find songs in the
// demo library.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "control/scratch_dir.h"
#include "data/descriptors/genre_display.h"
#include "data/descriptors/hierarchy.h"
#include "data/presets/preset_file.h"
#include "data/presets/preset_test_util.h"
#include "data/test_catalog.h"
#include "demo_catalog.h"
#include "sample_presets.h"
#include "tavo/enums.h"

namespace tavo {
namespace {

const std::string kShipped = TAVO_SOURCE_DIR "/share/samplepresets.xml";

GeneratorPtr Find(const GeneratorChain& chain, std::string_view name) {
  for (const GeneratorPtr& g : chain.records()) {
    if (g->name == name) return g;
  }
  ADD_FAILURE() << "no sample preset " << name;
  return std::make_shared<GeneratorRecord>();
}

TEST(SamplePresets, TheShippedFileIsTheWritersOutput) {
  std::string text;
  ASSERT_TRUE(PresetFile_Text(SamplePresets(), CatalogGenres().get(), &text));
  EXPECT_EQ(text, ReadWholeFile(kShipped))
      << "run: build/tools/make-presets/tavo-make-presets share/catalog share/samplepresets.xml";
}

TEST(SamplePresets, EveryPresetLoadsSavesAndLoadsBackEqual) {
  DescriptorListPtr genres = CatalogGenres();
  IdMapping mapping;
  ASSERT_EQ(kDescOk, BuildChildIdMapping(*genres, &mapping));
  GeneratorChain shipped;
  uint16_t count = 0;
  ASSERT_EQ(0, PresetFile_Load(kShipped.c_str(), genres.get(), &mapping, &shipped, &count));
  EXPECT_GE(count, 12);
  ScratchDir dir;
  const std::string copy = dir.File("samplepresets.xml");
  ASSERT_EQ(0, PresetFile_Save(&shipped, copy.c_str(), genres.get()));
  GeneratorChain again;
  ASSERT_EQ(0, PresetFile_Load(copy.c_str(), genres.get(), &mapping, &again, nullptr));
  ExpectSameChain(shipped, again);

  std::set<std::string> names;
  for (const GeneratorPtr& g : shipped.records()) {
    SCOPED_TRACE(g->name);
    EXPECT_TRUE(names.insert(g->name).second) << "names are unique";
    EXPECT_FALSE(g->description.empty());
    ASSERT_GT(g->criteria_count(), 0) << "a generator without criteria matches nothing";
    for (int32_t order = 1; order <= g->criteria_count(); ++order) EXPECT_NE(nullptr, g->CriterionWithOrder(order));
    for (const CriterionPtr& c : g->criteria()) {
      EXPECT_LT(c->op, txpl_crit_op_last);
      EXPECT_NE(txpl_crit_field_last, c->field());
      if (c->field() == txpl_crit_field_track_genrev2) {
        EXPECT_NE(nullptr, genres->FindById(c->int_param(0))) << "genre " << c->int_param(0) << " is in the catalog";
      }
    }
  }
}

// Enough of the demo library for the three presets the demo prints: their
// criteria hold for at least a few of its recordings.
TEST(SamplePresets, TheDemosPresetsFindSongsInTheDemoLibrary) {
  const GeneratorChain samples = SamplePresets();
  const auto& recordings = DemoRecordings();
  auto count = [&](auto pred) { return std::count_if(recordings.begin(), recordings.end(), pred); };

  const CriterionRecord& decade = *Find(samples, kDemoDecadePreset)->criteria()[0];
  ASSERT_EQ(txpl_crit_op_num_rang, decade.op);
  EXPECT_GE(count([&](const Recording& r) {
              const int32_t year = r.original_year != 0 ? r.original_year : r.year;
              return year >= decade.int_param(0) && year <= decade.int_param(1);
            }),
            12);

  // The seed genre is in the demo library, and the target sits at the top of
  // the correlate scale, so the seed's own songs are in the window even
  // before correlates are downloaded.
  const CriterionRecord& similar = *Find(samples, kDemoSimilarPreset)->criteria()[0];
  ASSERT_EQ(txpl_crit_op_enum_sim, similar.op);
  EXPECT_GE(count([&](const Recording& r) { return r.genre_v2 == similar.int_param(0); }), 6);
  std::istringstream correlates(CatalogText("correlates-2.txt"));
  std::string line;
  int32_t scale_min = 0, scale_max = 0;
  while (std::getline(correlates, line)) {
    if (std::sscanf(line.c_str(), "SCALE %d %d", &scale_min, &scale_max) == 2) break;
  }
  EXPECT_EQ(scale_max, similar.int_param(1));
  std::vector<int32_t> leaves;
  EXPECT_EQ(kDescUnknownId, LeafDescendants(*CatalogGenres(), similar.int_param(0), &leaves))
      << "the seed is a style: the run compares with it alone";

  GeneratorPtr timed = Find(samples, kDemoTimedPreset);
  EXPECT_NE(0u, timed->time_limit_minutes);
  EXPECT_FALSE(timed->rank_entries().empty());
  const CriterionRecord& length = *timed->criteria()[0];
  ASSERT_EQ(txpl_crit_field_file_length, length.field());
  ASSERT_EQ(txpl_crit_op_num_lt, length.op);
  EXPECT_GE(count([&](const Recording& r) { return r.seconds < length.int_param(0) * 60; }), 12);
}

}  // namespace
}  // namespace tavo
