#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "data/presets/preset_file.h"
#include "data/presets/preset_test_util.h"
#include "data/test_catalog.h"
#include "tavo/enums.h"

namespace tavo {
namespace {

CriterionPtr Crit(int32_t field, int32_t type, int32_t op) {
  auto c = std::make_shared<CriterionRecord>();
  c->set_field(field);
  c->field_type = type;
  c->op = op;
  return c;
}

// One generator touching every part of the document.
GeneratorChain Eighties() {
  auto g = std::make_shared<GeneratorRecord>();
  g->name = "Eighties";
  CriterionPtr years = Crit(txpl_crit_field_track_releaseyear, txpl_crit_field_type_num, txpl_crit_op_num_rang);
  years->set_int_param(0, 1980);
  years->set_int_param(1, 1989);
  years->weight = 0;
  CriterionPtr artist = Crit(txpl_crit_field_track_artist_name, txpl_crit_field_type_string, txpl_crit_op_str_cont);
  artist->set_str_param(0, "Smith & <Sons>");
  artist->set_int_param(2, 77);  // not written for a string field
  CriterionPtr selected = Crit(txpl_crit_field_track_name, txpl_crit_field_type_string, txpl_crit_op_str_eq);
  selected->selection_based = 1;
  CriterionPtr genre = Crit(txpl_crit_field_track_genrev2, txpl_crit_field_type_enum, txpl_crit_op_enum_eq);
  genre->set_int_param(0, 2768);
  for (CriterionPtr c : {years, artist, selected, genre}) g->AddCriterion(-1, c);
  g->AddFieldLimit({txpl_crit_field_track_artist_name, 2});
  g->song_limit = 50;
  g->time_limit_minutes = 90;
  g->SetRank({0, txpl_rank_order_ascending, 0});  // not a field: skipped, its position still counts
  g->SetRank({txpl_crit_field_track_global_pop, txpl_rank_order_descending, 1});
  g->SetRank({txpl_crit_field_track_myrating, 0, 2});  // no order name: no ORDER attribute
  g->seed = -2;
  g->auto_update = 1;
  g->sort_field = txpl_crit_field_track_name;
  GeneratorChain chain;
  chain.Append(g);
  return chain;
}

constexpr char kEightiesDocument[] = R"(<LIST NAME="PRESETS">
  <PSET>
    <CRITERIA MATCH="all">
      <CRIT ORDER="3">
        <FIELD TYPE="STR">track_name</FIELD>
        <OP>eq</OP>
        <PARAM1 DYNAMIC="1"></PARAM1>
        <PARAM2></PARAM2>
        <WEIGHT>1</WEIGHT>
      </CRIT>
      <CRIT ORDER="2">
        <FIELD TYPE="STR">track_artist_name</FIELD>
        <OP>cont</OP>
        <PARAM1>Smith &amp; &lt;Sons&gt;</PARAM1>
        <PARAM2></PARAM2>
        <WEIGHT>1</WEIGHT>
      </CRIT>
      <CRIT ORDER="1">
        <FIELD TYPE="NUM">track_releaseyear</FIELD>
        <OP>rang</OP>
        <PARAM1>1980</PARAM1>
        <PARAM2>1989</PARAM2>
        <PARAM3>0</PARAM3>
        <WEIGHT>0</WEIGHT>
      </CRIT>
      <CRIT ORDER="4">
        <FIELD TYPE="ENUM">track_genrev2</FIELD>
        <OP>eq</OP>
        <PARAM1 FIELDLIST="track_genrev2" MASTERID="300" IDSYSLEVEL="3">2768</PARAM1>
        <PARAM2>0</PARAM2>
        <PARAM3>0</PARAM3>
        <WEIGHT>1</WEIGHT>
      </CRIT>
    </CRITERIA>
    <LIMIT>
      <PERFIELD LIMIT="2">track_artist_name</PERFIELD>
      <MAXTIME>90</MAXTIME>
      <MAXSONGS>50</MAXSONGS>
    </LIMIT>
    <RANKFIELD ORDER="dsc" RANKINDEX="1">track_global_pop</RANKFIELD>
    <RANKFIELD RANKINDEX="2">track_myrating</RANKFIELD>
    <NAME>Eighties</NAME>
    <DESC></DESC>
    <AUTOUPDATE>1</AUTOUPDATE>
    <SEED>4294967294</SEED>
    <SORTRESULTS>track_name</SORTRESULTS>
  </PSET>
</LIST>
)";

TEST(PresetDocument, WritesTheDocumentShape) {
  std::string text;
  ASSERT_TRUE(PresetFile_Text(Eighties(), CatalogGenres().get(), &text));
  EXPECT_EQ(kEightiesDocument, text);
  // Without a genre list the genre criterion carries no attributes.
  ASSERT_TRUE(PresetFile_Text(Eighties(), nullptr, &text));
  EXPECT_NE(std::string::npos, text.find("<PARAM1>2768</PARAM1>"));
}

// A saved generator comes back as it was: the negative seed (written as its
// unsigned value) included, and the rank entry without an order name reading
// as ascending.
TEST(PresetDocument, ReadsBackWhatItWrites) {
  GeneratorChain expected = Eighties();
  GeneratorRecord& g = *expected.At(0);
  RankEntry myrating = *g.RankAt(2);
  myrating.order = txpl_rank_order_ascending;
  g.SetRank(myrating);
  g.RemoveRank(0);
  g.CriterionWithOrder(1)->set_str_param(0, "1980");  // numeric parameters come back as text too
  g.CriterionWithOrder(1)->set_str_param(1, "1989");
  g.CriterionWithOrder(2)->set_int_param(2, 0);
  g.CriterionWithOrder(4)->set_str_param(0, "2768");
  g.CriterionWithOrder(4)->set_str_param(1, "0");
  GeneratorChain read = ReadText(kEightiesDocument, CatalogGenres().get());
  ExpectSameChain(expected, read);
  EXPECT_EQ(-2, read.At(0)->seed);
}

TEST(PresetDocument, NegativeNumbersSurviveTheUnsignedForm) {
  GeneratorPtr g = ReadPset(
      "<SEED>4294967295</SEED><CRITERIA><CRIT><FIELD TYPE=\"NUM\">track_bpm</FIELD><OP>gt</OP>"
      "<PARAM1>4294967196</PARAM1><PARAM2>-7</PARAM2><PARAM3>2147483648</PARAM3></CRIT></CRITERIA>");
  EXPECT_EQ(-1, g->seed);
  EXPECT_EQ(-100, g->criteria()[0]->int_param(0));
  EXPECT_EQ(-7, g->criteria()[0]->int_param(1));  // a hand-written minus reads too
  EXPECT_EQ(INT32_MIN, g->criteria()[0]->int_param(2));
}

TEST(PresetDocument, MatchModes) {
  struct Case {
    const char* criteria;
    int32_t mode;
  } cases[] = {
      {"<CRITERIA MATCH=\"ANY\"/>", txpl_matchmode_match_any},
      {"<CRITERIA MATCH=\"Any\"/>", txpl_matchmode_match_any},
      {"<CRITERIA/>", txpl_matchmode_match_any},
      {"<CRITERIA MATCH=\"xyz\"/>", txpl_matchmode_match_all},
      {"<criteria match=\"all\"/>", txpl_matchmode_match_all},
      {"", txpl_matchmode_match_all},  // no CRITERIA: the record's default
  };
  for (const Case& c : cases) EXPECT_EQ(c.mode, ReadPset(c.criteria)->match_mode) << c.criteria;
}

TEST(PresetDocument, OperatorsResolveWithinTheFieldType) {
  struct Case {
    const char* crit;
    int32_t op;
  } cases[] = {
      {"<OP>gt</OP><FIELD TYPE=\"NUM\">track_bpm</FIELD>", txpl_crit_op_num_gt},  // OP before FIELD
      {"<FIELD TYPE=\"DATE\">file_created_date</FIELD><OP>EQ</OP>", txpl_crit_op_date_eq},
      {"<FIELD TYPE=\"STR\">track_name</FIELD><OP>gt</OP>", txpl_crit_op_str_last},  // not a string operator
      {"<FIELD TYPE=\"ENUM\">track_mood</FIELD><OP>enumrang</OP>", txpl_crit_op_enum_last},
      {"<FIELD TYPE=\"UNKN\">xdev1</FIELD><OP>enumrang</OP>", txpl_crit_op_enum_rang},
      {"<FIELD>xdev1</FIELD><OP>eq</OP>", txpl_crit_op_str_eq},  // any type: the first "eq"
      {"<FIELD TYPE=\"NUM\">track_bpm</FIELD><OP>nope</OP>", txpl_crit_op_num_last},
      {"<OP>gt</OP>", 0},  // an OP without FIELD is never applied
      {"<FIELD TYPE=\"NUM\">x</FIELD><OP></OP>", 0},  // an empty OP is skipped
  };
  for (const Case& c : cases) {
    GeneratorPtr g = ReadPset(std::string("<CRITERIA><CRIT>") + c.crit + "</CRIT></CRITERIA>");
    ASSERT_EQ(1, g->criteria_count()) << c.crit;
    EXPECT_EQ(c.op, g->criteria()[0]->op) << c.crit;
  }
}

// Orders from 0, repeated or missing are renumbered 1..count by ORDER and
// then document order; orders that already are 1..count stay.
TEST(PresetDocument, CriteriaAreNumberedFromOne) {
  auto orders_of = [](const std::string& crits) {
    GeneratorPtr g = ReadPset("<CRITERIA>" + crits + "</CRITERIA>");
    std::vector<std::string> named;
    for (int32_t order = 1; order <= g->criteria_count(); ++order) {
      CriterionPtr c = g->CriterionWithOrder(order);
      named.push_back(c ? c->description : "<none>");
    }
    EXPECT_EQ(g->criteria_count(), g->last_order());
    return named;
  };
  auto crit = [](const char* order, const char* name) {
    return std::string("<CRIT") + (order ? std::string(" ORDER=\"") + order + "\"" : "") + "><CDESC>" + name +
           "</CDESC><FIELD TYPE=\"STR\">track_name</FIELD></CRIT>";
  };
  using Names = std::vector<std::string>;
  EXPECT_EQ((Names{"a", "b"}), orders_of(crit("0", "a") + crit("1", "b")));
  EXPECT_EQ((Names{"b", "a", "c"}), orders_of(crit("2", "a") + crit("1", "b") + crit("3", "c")));
  EXPECT_EQ((Names{"a", "b", "c"}), orders_of(crit("1", "a") + crit("1", "b") + crit("1", "c")));
  EXPECT_EQ((Names{"b", "c", "a"}), orders_of(crit("9", "a") + crit(nullptr, "b") + crit("5", "c")));
}

TEST(PresetDocument, DefaultsUnknownNamesAndRepeats) {
  GeneratorPtr empty = ReadPset("");
  EXPECT_EQ("", empty->name);
  EXPECT_EQ(0, empty->criteria_count());
  EXPECT_EQ(txpl_matchmode_match_all, empty->match_mode);

  GeneratorPtr g = ReadPset(
      "<NAME>first</NAME><NAME>second</NAME><WHATEVER><NAME>inner</NAME></WHATEVER>"
      "<RANKFIELD RANKINDEX=\"3\">no_such_field</RANKFIELD><RANKFIELD ORDER=\"DSC\">track_num</RANKFIELD>"
      "<RANKFIELD></RANKFIELD><LIMIT><PERFIELD LIMIT=\"4\">no_such_field</PERFIELD><MAXSONGS>x</MAXSONGS>"
      "<MAXKB>-1</MAXKB><PERFIELD LIMIT=\"5\">album_name</PERFIELD></LIMIT><LIMIT><PERFIELD LIMIT=\"1\">ALBUM_NAME</PERFIELD></LIMIT>"
      "<AUTOUPDATE>7</AUTOUPDATE><SORTRESULTS>nothing</SORTRESULTS>"
      "<CRITERIA><CRIT><FIELD TYPE=\"ENUM\">bogus</FIELD><OP>eq</OP><WEIGHT>70000</WEIGHT></CRIT></CRITERIA>"
      "<CRITERIA MATCH=\"all\"><CRIT><FIELD TYPE=\"STR\">TRACK_NAME</FIELD></CRIT><OTHER/></CRITERIA>");
  EXPECT_EQ("second", g->name);
  EXPECT_EQ((std::vector<RankEntry>{{txpl_crit_field_track_num, txpl_rank_order_descending, 0}}), g->rank_entries());
  // Limits accumulate, those of one field in document order.
  EXPECT_EQ((std::vector<FieldLimit>{{txpl_crit_field_album_name, 5}, {txpl_crit_field_album_name, 1}}),
            g->field_limits());
  EXPECT_EQ(0u, g->song_limit);
  EXPECT_EQ(UINT32_MAX, g->size_limit_kb);
  EXPECT_EQ(1, g->auto_update);
  EXPECT_EQ(txpl_crit_field_last, g->sort_field);
  EXPECT_EQ(txpl_matchmode_match_all, g->match_mode);  // the later CRITERIA wins ...
  ASSERT_EQ(2, g->criteria_count());                    // ... and criteria accumulate
  EXPECT_EQ(txpl_crit_field_track_name, g->criteria()[0]->field());
  EXPECT_EQ(txpl_crit_field_last, g->criteria()[1]->field());  // an unknown name reads as 53
  EXPECT_EQ(70000 & 0xFFFF, g->criteria()[1]->weight);
  EXPECT_EQ(1u, ReadText("<LIST><pset/><PRESET/></LIST>").size());
}

}  // namespace
}  // namespace tavo
