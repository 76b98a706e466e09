// The timestamp object: string forms, record conversions, packed forms.
#include <gtest/gtest.h>

#include "platform/automation/utf.h"
#include "vocabulary/timestamp/timestamp.h"

namespace tavo {
namespace {

TEST(TimestampTest, StringFormsTable) {
  struct Case {
    const char* text;
    bool ok;
    DateTime value;
  } cases[] = {
      {"2007/3/5:14:7", true, {2007, 3, 5, 14, 7}},
      {"2007:3:5:14:7", true, {2007, 3, 5, 14, 7}},
      {" 2007/ -3/+5:14: 7", true, {2007, -3, 5, 14, 7}},  // as the C library reads %d
      {"2007-03-05", false, {}},
      {"2007/3/5:14", false, {}},
      {"2007/3/5/14/7", false, {}},
      {"99999999999/1/1:1:1", true, {INT32_MAX, 1, 1, 1, 1}},
      {"", false, {}},
  };
  for (const Case& c : cases) {
    ComPtr<Timestamp> t = Timestamp::Make(DateTime{1, 2, 3, 4, 5});
    BSTR text = BstrFromUtf8(c.text);
    EXPECT_EQ(c.ok ? S_OK : kTimestampMissing, t->SetAsString(text)) << c.text;
    SysFreeString(text);
    EXPECT_EQ(c.ok ? c.value : (DateTime{1, 2, 3, 4, 5}), t->value()) << c.text;
  }
  ComPtr<Timestamp> t = Timestamp::Make(DateTime{2007, 3, 5, 14, 7});
  BSTR out = nullptr;
  ASSERT_EQ(S_OK, t->GetAsString(&out));
  EXPECT_EQ("2007:03:05:14:07", BstrToUtf8(out));
  SysFreeString(out);
  EXPECT_EQ(kTimestampMissing, t->GetAsString(nullptr));
  EXPECT_EQ(kTimestampMissing, t->SetAsString(nullptr));
}

TEST(TimestampTest, FieldsAreKeptAsGiven) {
  ComPtr<Timestamp> t = Timestamp::Make();
  LONG v = -1;
  ASSERT_EQ(S_OK, t->get_Year(&v));
  EXPECT_EQ(0, v);
  t->put_Month(13);
  t->get_Month(&v);
  EXPECT_EQ(13, v);
  EXPECT_EQ(kTimestampMissing, t->get_Day(nullptr));
  EXPECT_EQ(S_OK, t->SetToNow());
  t->get_Year(&v);
  EXPECT_GE(v, 2024);
}

TEST(TimestampTest, RecordDateAndPackedForms) {
  const DateTime d{2007, 3, 5, 14, 7};
  EXPECT_EQ(15094663u, PackRecordDate(d));
  EXPECT_EQ(0xE65387u, PackRecordDate(d));
  EXPECT_EQ(d, UnpackRecordDate(PackRecordDate(d)));
  // Month 13 keeps its low four bits when packed.
  EXPECT_EQ(13u & 0xF, (PackRecordDate(DateTime{2007, 13, 5, 14, 7}) >> 17) & 0xF);

  ComPtr<Timestamp> t = Timestamp::Make(DateTime{1999, 12, 31, 23, 59});
  RecordDate r;
  ASSERT_EQ(S_OK, t->ToRecord(&r));
  EXPECT_EQ(-1, r.year_since_2000);
  EXPECT_EQ((RecordDate{59, 23, 31, 12, -1, static_cast<int32_t>(PackRecordDate(t->value()))}), r);
  EXPECT_EQ(1999, UnpackRecordDate(static_cast<uint32_t>(r.packed)).year);
  ComPtr<Timestamp> back = Timestamp::Make();
  r.packed = 0;  // not read
  ASSERT_EQ(S_OK, back->FromRecord(&r));
  EXPECT_EQ(t->value(), back->value());
  EXPECT_EQ(kTimestampMissing, back->ToRecord(nullptr));
  EXPECT_EQ(kTimestampMissing, back->FromRecord(nullptr));

  // The generator packing is a different one.
  EXPECT_EQ(2007u * (1u << 20) + 3u * (1u << 16) + 5u * (1u << 11) + 14u * 64 + 7, PackGeneratorDate(d));
  EXPECT_EQ(d, UnpackGeneratorDate(PackGeneratorDate(d)));
}

TEST(TimestampTest, ForeignTimestampsAreReadThroughTheirGetters) {
  ComPtr<Timestamp> t = Timestamp::Make(DateTime{2010, 1, 2, 3, 4});
  DateTime v;
  ASSERT_EQ(S_OK, ReadTimestamp(t.Get(), &v));
  EXPECT_EQ(t->value(), v);
  EXPECT_EQ(E_POINTER, ReadTimestamp(nullptr, &v));
  ComPtr<ITavoPL2Timestamp> fresh;
  ASSERT_EQ(S_OK, NewTimestamp(DateTime{2001, 1, 1, 0, 0}, fresh.ReleaseAndGetAddressOf()));
  ASSERT_EQ(S_OK, WriteTimestamp(fresh.Get(), v));
  ASSERT_EQ(S_OK, ReadTimestamp(fresh.Get(), &v));
  EXPECT_EQ(t->value(), v);
}

}  // namespace
}  // namespace tavo
