// Field catalogue lookups.
#include <gtest/gtest.h>

#include "vocabulary/field_catalog.h"

namespace tavo {
namespace {

TEST(FieldCatalogTest, TypesAndNames) {
  for (int32_t f : {45, 46, 47, 48, 53, 54, -1, 1000}) EXPECT_EQ(0, FieldCatalog_Type(f)) << f;
  EXPECT_EQ(txpl_crit_field_type_num, FieldCatalog_Type(2));
  EXPECT_EQ(txpl_crit_field_type_enum, FieldCatalog_Type(29));
  EXPECT_EQ("track_artist_sort_name", FieldCatalog_Name(13));
  EXPECT_EQ("track_rhythm", FieldCatalog_Name(49));
  EXPECT_EQ("track_timbre", FieldCatalog_Name(52));
  EXPECT_EQ("", FieldCatalog_Name(53));
  EXPECT_EQ(19, FieldCatalog_FromName("TRACK_GENREV2"));
  EXPECT_EQ(13, FieldCatalog_FromName("track_artist_sort_name"));
  EXPECT_EQ(53, FieldCatalog_FromName("track_artist_sortname"));
  EXPECT_EQ(53, FieldCatalog_FromName(""));
  EXPECT_EQ("MB", FieldCatalog_Units(2));
  EXPECT_EQ("bpm", FieldCatalog_Units(16));
  EXPECT_EQ("", FieldCatalog_Units(14));
  EXPECT_EQ(4, FieldType_FromName("date"));
  EXPECT_EQ(0, FieldType_FromName("nonsense"));
}

TEST(FieldCatalogTest, OperatorsResolveWithinTheirType) {
  EXPECT_EQ(1, Operator_FromName("eq", txpl_crit_field_type_string));
  EXPECT_EQ(9, Operator_FromName("EQ", txpl_crit_field_type_num));
  EXPECT_EQ(16, Operator_FromName("eq", txpl_crit_field_type_enum));
  EXPECT_EQ(21, Operator_FromName("eq", txpl_crit_field_type_date));
  EXPECT_EQ(0, Operator_FromName("enumrang", txpl_crit_field_type_enum));
  EXPECT_EQ(29, Operator_FromName("enumrang", txpl_crit_field_type_unknown));
  EXPECT_EQ(0, Operator_FromName("sim", txpl_crit_field_type_string));
  EXPECT_EQ("notinlast", Operator_Name(27));
  EXPECT_EQ("", Operator_Name(7));
  EXPECT_EQ("", Operator_Name(31));
}

TEST(FieldCatalogTest, EffectiveType) {
  struct Case {
    int32_t field, op, type;
  } cases[] = {
      {45, 3, txpl_crit_field_type_string}, {45, 18, txpl_crit_field_type_num},
      {45, 27, txpl_crit_field_type_num},   {45, 29, txpl_crit_field_type_num},
      {45, 7, txpl_crit_field_type_unknown}, {45, 30, txpl_crit_field_type_unknown},
      {45, 14, txpl_crit_field_type_unknown}, {10, 11, txpl_crit_field_type_string},
      {99, 1, txpl_crit_field_type_string},
  };
  for (const Case& c : cases) EXPECT_EQ(c.type, Criterion_EffectiveType(c.field, c.op)) << c.field << "/" << c.op;
}

TEST(FieldCatalogTest, RankOrdersAndMatchModes) {
  EXPECT_EQ("dsc", RankOrder_Name(txpl_rank_order_descending));
  EXPECT_EQ(txpl_rank_order_ascending, RankOrder_FromName("ASC"));
  EXPECT_EQ(0, RankOrder_FromName("up"));
  EXPECT_EQ(txpl_matchmode_match_all, MatchMode_FromName("all"));
  EXPECT_EQ(-1, MatchMode_FromName(""));
}

}  // namespace
}  // namespace tavo
