// The record image of ".pdb" and the identifiers parsed from tag texts.
#include <cstring>

#include "storage/library/track_id.h"
#include "storage/library/track_image.h"
#include "storage/store/byte_order.h"
#include "library_test_util.h"

namespace tavo::testing {
namespace {

TEST(TrackImage, RoundTripsEveryField) {
  TrackRecord t = MakeTrack("A & B", "Artist", "", "3CD3PX42", "");
  TrackRecord_SetValue(&t, kKeyDevField1, "dev");
  t.flags = 0x80000001;
  t.created = ToRecordDate({2007, 1, 1, 13, 5});
  t.updated = ToRecordDate({2024, 12, 31, 23, 59});
  t.plays = 7;
  t.rating = -2;
  t.genre_v1 = 5;
  t.global_popularity = 123456;
  std::vector<uint8_t> data;
  ASSERT_EQ(TrackImage_Encode(t, "/music/dir", &data), kLibraryOk);
  TrackImage image;
  ASSERT_EQ(TrackImage_Parse(data.data(), static_cast<uint32_t>(data.size()), &image), kLibraryOk);
  EXPECT_EQ(image.path_name, "/music/dir");
  TrackRecord back;
  ASSERT_EQ(TrackImage_Decode(image, "x.mp3", TrackLoad::kWithSets, &back), kLibraryOk);
  EXPECT_EQ(back.file_name, "x.mp3");
  EXPECT_EQ(back.path_name, "/music/dir");
  EXPECT_EQ(Value(back, kKeyTit), "A & B");
  EXPECT_EQ(Value(back, kKeyDevField1), "dev");
  EXPECT_EQ(back.flags, t.flags);
  EXPECT_EQ(back.created, t.created);
  EXPECT_EQ(back.updated, t.updated);
  EXPECT_EQ(back.last_played, RecordDate{});
  EXPECT_EQ(back.plays, 7u);
  EXPECT_EQ(back.rating, -2);
  EXPECT_EQ(back.genre_v1, 5);
  EXPECT_EQ(back.album_popularity, -1);
  EXPECT_EQ(back.global_popularity, 123456);
  EXPECT_EQ(back.tag_id, "3CD3PX42");

  TrackRecord fixed_only;
  ASSERT_EQ(TrackImage_Decode(image, "x.mp3", TrackLoad::kFixedOnly, &fixed_only), kLibraryOk);
  EXPECT_FALSE(fixed_only.metadata);
  EXPECT_EQ(fixed_only.plays, 7u);
}

TEST(TrackImage, TagKeepsSixtyThreeBytes) {
  TrackRecord t;
  t.tag_id = std::string(80, 'T');
  std::vector<uint8_t> data;
  ASSERT_EQ(TrackImage_Encode(t, "", &data), kLibraryOk);
  EXPECT_EQ(data.size(), kTrackFixedBytes);
  TrackImage image;
  ASSERT_EQ(TrackImage_Parse(data.data(), static_cast<uint32_t>(data.size()), &image), kLibraryOk);
  EXPECT_EQ(image.tag_id, std::string(63, 'T'));
}

// Damaged images are a status, never a read outside the data.
TEST(TrackImage, LengthsThatLieAreRefused) {
  TrackRecord t = MakeTrack("Title", "", "", "", "");
  std::vector<uint8_t> good;
  ASSERT_EQ(TrackImage_Encode(t, "dir", &good), kLibraryOk);
  struct Case {
    const char* name;
    uint32_t offset;  // a length word to replace, or 0 to cut the data
    uint32_t value;
    size_t keep;
  };
  const Case cases[] = {
      {"path longer than the data", 100, 1000, 0},
      {"metadata longer than the data", 104, 0xFFFFFFF0, 0},
      {"lengths overflow 32 bits together", 108, 0xFFFFFFFF, 0},
      {"data shorter than the fixed part", 0, 0, 111},
      {"data cut inside the metadata", 0, 0, 120},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> data = good;
    if (c.offset != 0) StoreWord(data.data() + c.offset, c.value, false);
    if (c.keep != 0) data.resize(c.keep);
    TrackImage image;
    EXPECT_EQ(TrackImage_Parse(data.data(), static_cast<uint32_t>(data.size()), &image), kLibraryRecordDamaged)
        << c.name;
  }
  // Lengths that add up, over text that is not XML.
  std::vector<uint8_t> data = good;
  data[data.size() - 3] = '<';
  TrackImage image;
  ASSERT_EQ(TrackImage_Parse(data.data(), static_cast<uint32_t>(data.size()), &image), kLibraryOk);
  TrackRecord back;
  EXPECT_EQ(TrackImage_Decode(image, "x", TrackLoad::kWithSets, &back), kLibraryRecordDamaged);
}

TEST(TrackImage, ConverterSwapsTheNumberWords) {
  std::vector<uint8_t> data(kTrackFixedBytes, 0);
  for (uint32_t i = 0; i < kTrackFixedBytes; ++i) data[i] = static_cast<uint8_t>(i);
  std::vector<uint8_t> swapped = data;
  TrackImage_Convert(swapped.data(), static_cast<uint32_t>(swapped.size()), StoreConvert::kToFile);
  for (uint32_t i = 0; i < kTrackFixedBytes; ++i) {
    const bool word = i < 36 || i >= 100;
    const uint8_t expected = word ? data[i - i % 4 + (3 - i % 4)] : data[i];
    EXPECT_EQ(swapped[i], expected) << i;
  }
}

TEST(TrackId, ParsesOnlyWhatLiesInsideTheText) {
  struct Case {
    const char* tag;
    bool parses;
    uint32_t id;
  };
  const Case cases[] = {
      {"3CD3PX42", true, 42},                 // p = 4, k = 0, L = 2
      {"3CD3OxW123", true, 123},              // k = 1: length at 6, digits from 7
      {"31Z1YOxW123", true, 123},             // p = 5
      {"31Z1XyOxU98765", true, 98765},        // p = 6, L = 5
      {"3CD3PP4294967295", true, 4294967295u},  // ten digits, the largest value
      {"3CD3PP4294967296", false, 0},         // beyond 32 bits
      {"3CD3PO12345678901", false, 0},        // eleven digits
      {"3CD3PZ", false, 0},                   // length 0
      {"3CD3", false, 0},                     // position 4 is past the end
      {"3CD3P", false, 0},
      {"3CD3PX4", false, 0},                  // digits run past the end
      {"3CD3PX4a", false, 0},                 // not a digit
      {"3CD3\x7FX42", false, 0},              // k < 0 reaches before the text
      {"31Z1\xFF", false, 0},                 // p < 0
      {"31Z1", false, 0},
      {"XCD3PX42", false, 0},
      {"", false, 0},
  };
  for (const Case& c : cases) {
    uint32_t id = 0;
    EXPECT_EQ(TrackId_ParseTag(c.tag, &id), c.parses) << c.tag;
    if (c.parses) {
      EXPECT_EQ(id, c.id) << c.tag;
    }
  }
  // Only the first 63 bytes are read: the digit must lie inside them.
  const auto tag_with_gap = [](int gap) {
    return "3CD3" + std::string(1, static_cast<char>('P' - gap)) + std::string(gap, '-') + "Y7";
  };
  uint32_t id = 0;
  ASSERT_EQ(tag_with_gap(55).size(), 62u);
  EXPECT_TRUE(TrackId_ParseTag(tag_with_gap(55), &id));
  EXPECT_EQ(id, 7u);
  EXPECT_TRUE(TrackId_ParseTag(tag_with_gap(56), &id));   // the digit is the 63rd byte
  EXPECT_FALSE(TrackId_ParseTag(tag_with_gap(57), &id));  // the digit is the 64th byte
}

}  // namespace
}  // namespace tavo::testing
