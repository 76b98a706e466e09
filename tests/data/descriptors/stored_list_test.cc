#include "data/descriptors/stored_list.h"

#include <gtest/gtest.h>

#include <string>

#include "data/descriptors/id_mapping.h"
#include "data/descriptors/list_test_util.h"
#include "data/descriptors/refresh_rule.h"
#include "data/test_catalog.h"
#include "vocabulary/dates.h"

namespace tavo {
namespace {

constexpr uint32_t kStoredAt = PackRecordDate({2024, 6, 3, 12, 30});

void ExpectSameList(const DescriptorList& a, const DescriptorList& b) {
  EXPECT_EQ(a.header(), b.header());
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a.items()[i], b.items()[i]) << a.header().name << " item " << i;
}

// Every catalog list comes back from its stored copy exactly as it was.
TEST(StoredList, CatalogListsSurviveTheirStoredCopy) {
  const std::pair<DescriptorKind, const char*> lists[] = {
      {DescriptorKind::kEras, "eras.xml"},          {DescriptorKind::kOrigins, "origins.xml"},
      {DescriptorKind::kArtistTypes, "artist-types.xml"}, {DescriptorKind::kGenres, "genres.xml"},
      {DescriptorKind::kPopularityRanges, "popularity-ranges.xml"},
      {DescriptorKind::kGenreFamilies, "genre-families.xml"}};
  for (const auto& [kind, file] : lists) {
    DescriptorListPtr list = CatalogList(kind, file);
    const StoredList stored = EncodeList(*list, kStoredAt);
    DescriptorListPtr back;
    uint32_t stored_at = 0;
    ASSERT_EQ(kDescOk, DecodeList(stored, &back, &stored_at)) << file;
    EXPECT_EQ(kStoredAt, stored_at);
    ExpectSameList(*list, *back);
  }
}

TEST(StoredList, ItemLayout) {
  DescriptorItem era;
  era.id = 0x01020304;
  era.ordinal = 2;
  era.children = {7};
  era.extension[0] = 1980;
  era.extension[1] = 1989;
  era.display_name = "80s";
  const std::string expected("\x01\x02\x03\x04" "\0\0\0\x02" "\x07\xBC" "\x07\xC5"
                             "\0\0\0\x01" "\0\0\0\0" "\0\0\0\x07" "80s\0" "\0", 29);
  EXPECT_EQ(expected, EncodeItem(DescriptorKind::kEras, era));

  DescriptorItem range;  // stored in 16 bits: larger bounds do not survive
  range.extension[0] = 70000;
  range.extension[1] = 100;
  DescriptorItem back;
  ASSERT_EQ(kDescOk, DecodeItem(DescriptorKind::kPopularityRanges, EncodeItem(DescriptorKind::kPopularityRanges, range), &back));
  EXPECT_EQ(70000 & 0xFFFF, back.range_start());
  EXPECT_EQ(100, back.range_end());
}

// Stored bytes come back from disk: every cut and every count that runs
// past the end is refused, never read out of bounds.
TEST(StoredList, DamagedBytesAreRefused) {
  DescriptorListPtr genres = CatalogGenres();
  const DescriptorItem& rock = *genres->FindById(300);
  const std::string item = EncodeItem(DescriptorKind::kGenres, rock);
  DescriptorItem out;
  for (size_t cut = 0; cut < item.size(); ++cut) {
    EXPECT_EQ(kDescDamaged, DecodeItem(DescriptorKind::kGenres, item.substr(0, cut), &out)) << cut;
  }
  EXPECT_EQ(kDescDamaged, DecodeItem(DescriptorKind::kGenres, item + "x", &out));
  std::string huge_count = item;
  huge_count[16] = '\x7F';  // child count
  EXPECT_EQ(kDescDamaged, DecodeItem(DescriptorKind::kGenres, huge_count, &out));

  StoredList stored = EncodeList(*genres, kStoredAt);
  DescriptorListPtr back;
  uint32_t at = 0;
  const std::string header = stored.header;
  for (size_t cut = 0; cut < header.size(); ++cut) {
    stored.header = header.substr(0, cut);
    EXPECT_EQ(kDescDamaged, DecodeList(stored, &back, &at)) << cut;
  }
  stored.header = header;
  stored.header[7] = '\x09';  // no such kind
  EXPECT_EQ(kDescDamaged, DecodeList(stored, &back, &at));
  stored.header = header;
  stored.items.pop_back();  // fewer items than the header counts
  EXPECT_EQ(kDescDamaged, DecodeList(stored, &back, &at));
  EXPECT_EQ(nullptr, back);
}

TEST(IdMappingBytes, RoundTripAndDamage) {
  const IdMapping mapping = CatalogVersionMapping();
  const std::string bytes = mapping.ToBytes();
  IdMapping back;
  ASSERT_EQ(kDescOk, IdMapping::FromBytes(bytes, &back));
  EXPECT_EQ(mapping, back);
  EXPECT_EQ(2768, back.Translate(2));
  EXPECT_EQ(kDescDamaged, IdMapping::FromBytes(bytes.substr(0, bytes.size() - 1), &back));
  EXPECT_EQ(kDescDamaged, IdMapping::FromBytes(bytes + "abcdefgh", &back));
  EXPECT_EQ(kDescDamaged, IdMapping::FromBytes("", &back));
  EXPECT_EQ(mapping, back);  // unchanged by the failures
}

TEST(RefreshRule, FourteenDaysByThePackedDate) {
  auto at = [](int year, int month, int day, int hour = 0) { return PackRecordDate({year, month, day, hour, 0}); };
  struct Case {
    uint32_t now, stored;
    bool recent;
  } cases[] = {
      {at(2024, 6, 3), at(2024, 6, 3, 23), true},   // same day
      {at(2024, 6, 16), at(2024, 6, 3), true},      // 13 days
      {at(2024, 6, 17), at(2024, 6, 3), false},     // 14 days
      {at(2024, 7, 10), at(2024, 6, 28), false},    // 12 days across a month end: refreshed early
      {at(2024, 7, 1), at(2024, 6, 30), true},
      {at(2025, 1, 2), at(2024, 12, 30), false},    // a year end always refreshes
      {at(2024, 6, 3), 0, false},                   // no storing time
      {at(2024, 6, 3), at(2031, 1, 1), false},      // stored in the future: the clock went back
      {at(1999, 12, 31), at(1999, 12, 30), true},   // years before 2000 pack negative
  };
  for (const Case& c : cases) EXPECT_EQ(c.recent, StoredCopyIsRecent(c.now, c.stored)) << c.now << " " << c.stored;

  DescriptorListHeader header;
  header.revision_level = "3";
  header.revision_tag = "t";
  EXPECT_FALSE(StoredCopyServes(header, at(2024, 7, 1), at(2024, 6, 1)));
  EXPECT_TRUE(StoredCopyServes(header, at(2024, 6, 2), at(2024, 6, 1)));
  EXPECT_TRUE(StoredCopyIsFallback(header));
  header.revision_tag.clear();
  EXPECT_TRUE(StoredCopyServes(header, at(2024, 7, 1), at(2024, 6, 1)));  // nothing to ask a newer revision of
  header.revision_level.clear();
  EXPECT_FALSE(StoredCopyIsFallback(header));
}

}  // namespace
}  // namespace tavo
