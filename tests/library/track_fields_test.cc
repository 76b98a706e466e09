// Reading and writing the catalogue fields of a track record.
#include "storage/library/disc_fields.h"
#include "storage/library/track_fields.h"
#include "storage/library/track_writes.h"
#include "library_test_util.h"
#include "tavo/enums.h"

namespace tavo::testing {
namespace {

struct ReadCase {
  int32_t field;
  bool found;
  std::string text;
  bool has_number;
  int32_t number;
};

TrackRecord SampleTrack() {
  TrackRecord t = MakeTrack("Song", "Some Artist", "The Album", "", "1999");
  TrackRecord_SetValue(&t, kKeySize, "1023");
  TrackRecord_SetValue(&t, kKeyTLen, "215");
  TrackRecord_SetValue(&t, kKeyMood, "42");
  TrackRecord_SetValue(&t, kKeyOrigin, "x7");  // not a number: reads as 0
  TrackRecord_SetValue(&t, kKeyDevField2, "17");
  t.file_name = "song.mp3";
  t.plays = 3;
  t.rating = -5;
  t.album_popularity = -1;
  t.global_popularity = 77;
  t.created = ToRecordDate({2007, 1, 1, 13, 5});
  return t;
}

TEST(TrackFields, ReadsEachSource) {
  const TrackRecord t = SampleTrack();
  const ReadCase cases[] = {
      {txpl_crit_field_first, false, "", false, 0},
      {txpl_crit_field_file_name, true, "song.mp3", false, 0},
      {txpl_crit_field_file_size, true, "1023", true, 0},  // 1023 bytes are 0 kilobytes
      {txpl_crit_field_file_length, true, "215", true, 215},
      {txpl_crit_field_file_created_date, true, "14816069", true, 7 * (1 << 21) + (1 << 17) + (1 << 12) + 13 * 64 + 5},
      {txpl_crit_field_file_lastplayed_date, true, "0", true, 0},
      {txpl_crit_field_file_bitrate, false, "", false, 0},
      {txpl_crit_field_track_name, true, "Song", false, 0},
      {txpl_crit_field_track_artist_name, true, "Some Artist", false, 0},
      {txpl_crit_field_album_primaryartist, true, "Some Artist", false, 0},
      {txpl_crit_field_track_releaseyear, true, "1999", true, 1999},  // no "OYEAR": "YEAR"
      {txpl_crit_field_album_releaseyear, true, "1999", true, 1999},
      {txpl_crit_field_track_mood, true, "42", true, 42},
      {txpl_crit_field_artist_region, true, "x7", true, 0},
      {txpl_crit_field_album_region, true, "x7", true, 0},
      {txpl_crit_field_track_album_pop, false, "", false, 0},  // -1 is unknown
      {txpl_crit_field_track_global_pop, true, "77", true, 77},
      {txpl_crit_field_track_local_pop, true, "77", true, 77},
      {txpl_crit_field_track_playcount, true, "3", true, 3},
      {txpl_crit_field_track_myrating, true, "-5", true, -5},
      {txpl_crit_field_playlist_myrating, true, "-5", true, -5},
      {txpl_crit_field_xdev2, true, "17", true, 17},
      {txpl_crit_field_xdev1, false, "", false, 0},
      {txpl_crit_field_xdev, false, "", false, 0},
      {txpl_crit_field_track_langid, false, "", false, 0},
      {txpl_crit_field_last, false, "", false, 0},
      {-1, false, "", false, 0},
      {54, false, "", false, 0},
  };
  for (const ReadCase& c : cases) {
    TrackFieldValue v;
    EXPECT_EQ(TrackField_Read(t, c.field, &v), c.found) << c.field;
    EXPECT_EQ(v.text, c.text) << c.field;
    EXPECT_EQ(v.has_number, c.has_number) << c.field;
    EXPECT_EQ(v.number, c.number) << c.field;
  }
}

TEST(TrackFields, ReleaseYearPrefersOriginalYear) {
  TrackRecord t = MakeTrack("", "", "", "", "1999");
  TrackRecord_SetValue(&t, kKeyOYear, "1971");
  TrackFieldValue v;
  ASSERT_TRUE(TrackField_Read(t, txpl_crit_field_track_releaseyear, &v));
  EXPECT_EQ(v.number, 1971);
  EXPECT_FALSE(TrackField_Read(TrackRecord{}, txpl_crit_field_track_releaseyear, &v));
}

TEST(TrackFields, GenreComesFromGenV2OrTheOneConversion) {
  struct Case {
    int32_t v1;
    const char* v2_text;
    bool found;
    int32_t genre;
  };
  const Case cases[] = {
      {2, nullptr, true, 2768},  // version-1 genre 2 converts to 2768
      {0, nullptr, false, 0},    // no version-2 genre
      {1, nullptr, false, 0},
      {271, nullptr, true, 360},  // the last entry
      {272, nullptr, false, 0},  // past the table
      {-3, nullptr, false, 0},   // negative ids are absent
      {2, "1234", true, 1234},   // "GEN_V2" wins
  };
  for (const Case& c : cases) {
    TrackRecord t;
    t.genre_v1 = c.v1;
    if (c.v2_text != nullptr) TrackRecord_SetValue(&t, kKeyGenV2, c.v2_text);
    for (int32_t field : {txpl_crit_field_track_genre, txpl_crit_field_track_genrev2, txpl_crit_field_album_genre,
                          txpl_crit_field_album_genrev2}) {
      TrackFieldValue v;
      EXPECT_EQ(TrackField_Read(t, field, &v), c.found) << c.v1 << " field " << field;
      EXPECT_EQ(v.number, c.genre) << c.v1;
    }
    int32_t indexed = 0;
    EXPECT_EQ(TrackGenreV2(t, &indexed), c.found) << c.v1;
  }
}

TEST(TrackFields, LongTextsAreCutAtACharacterBoundary) {
  TrackRecord t;
  const std::string title = std::string(398, 'a') + "\xC3\xA9\xC3\xA9";  // 402 bytes, 2-byte letters at the end
  TrackRecord_SetValue(&t, kKeyTit, title.c_str());
  TrackFieldValue v;
  ASSERT_TRUE(TrackField_Read(t, txpl_crit_field_track_name, &v));
  EXPECT_EQ(v.text, std::string(398, 'a'));
}

TEST(TrackFields, DatesPackAsRecordDates) {
  const RecordDate d = ToRecordDate({2007, 1, 1, 13, 5});
  EXPECT_EQ(d, (RecordDate{5, 13, 1, 1, 7, 7 * (1 << 21) + (1 << 17) + (1 << 12) + 13 * (1 << 6) + 5}));
}

TEST(TrackWrites, FieldsFromText) {
  struct Case {
    int32_t field;
    uint32_t key;  // 0: nothing written to a key
  };
  const Case cases[] = {
      {txpl_crit_field_file_size, kKeySize},         {txpl_crit_field_track_name, kKeyTit},
      {txpl_crit_field_album_primaryartist, kKeyArt}, {txpl_crit_field_track_releaseyear, kKeyOYear},
      {txpl_crit_field_track_genrev2, kKeyGenV2},    {txpl_crit_field_artist_region, kKeyOrigin},
      {txpl_crit_field_track_rhythmid, kKeyRhythm},  {txpl_crit_field_xdev3, kKeyDevField3},
      {txpl_crit_field_track_genre, 0},              {txpl_crit_field_album_region, 0},
      {txpl_crit_field_file_created_date, 0},        {txpl_crit_field_xdev, 0},
      {txpl_crit_field_album_myrating, 0},           {99, 0},
  };
  for (const Case& c : cases) {
    TrackRecord t;
    EXPECT_EQ(TrackRecord_WriteField(&t, c.field, "12"), kLibraryOk) << c.field;
    if (c.key != 0) {
      EXPECT_EQ(Value(t, c.key), "12") << c.field;
    } else {
      EXPECT_FALSE(t.metadata || t.developer) << c.field;
    }
  }
  TrackRecord t;
  EXPECT_EQ(TrackRecord_WriteField(&t, txpl_crit_field_track_playcount, "12"), kLibraryOk);
  EXPECT_EQ(TrackRecord_WriteField(&t, txpl_crit_field_track_myrating, "-3"), kLibraryOk);
  EXPECT_EQ(t.plays, 12u);
  EXPECT_EQ(t.rating, -3);
  // An empty value is refused and leaves the record as it was.
  EXPECT_EQ(TrackRecord_WriteField(&t, txpl_crit_field_track_name, ""), kDatabaseInvalidArgument);
  EXPECT_FALSE(t.metadata);
}

TEST(TrackWrites, DeveloperFieldsAndDates) {
  TrackRecord t;
  EXPECT_EQ(TrackRecord_SetDeveloperField(&t, 0, "a"), kLibraryOk);
  EXPECT_EQ(TrackRecord_SetDeveloperField(&t, 1, "b"), kLibraryOk);  // 0 and 1 both name DEVFIELD1
  EXPECT_EQ(TrackRecord_SetDeveloperField(&t, 3, "c"), kLibraryOk);
  EXPECT_EQ(TrackRecord_SetDeveloperField(&t, 4, "d"), kDatabaseInvalidArgument);
  EXPECT_STREQ(TrackRecord_DeveloperField(t, 1), "b");
  EXPECT_STREQ(TrackRecord_DeveloperField(t, 3), "c");
  EXPECT_EQ(TrackRecord_DeveloperField(t, 2), nullptr);
  EXPECT_FALSE(t.metadata);  // developer fields live in their own set

  const DateTime when{2010, 6, 15, 8, 30};
  EXPECT_EQ(TrackRecord_WriteFieldDate(&t, txpl_crit_field_xdev2, when), kLibraryOk);
  TrackFieldValue v;
  ASSERT_TRUE(TrackField_Read(t, txpl_crit_field_xdev2, &v));
  EXPECT_EQ(static_cast<uint32_t>(v.number), PackGeneratorDate(when));
  EXPECT_EQ(FromRecordDate(v.date), when);

  EXPECT_EQ(TrackRecord_WriteFieldDate(&t, txpl_crit_field_file_modified_date, when), kLibraryOk);
  EXPECT_EQ(FromRecordDate(t.updated), when);
  EXPECT_EQ(TrackRecord_WriteFieldDate(&t, txpl_crit_field_file_created_date, {3001, 1, 1, 0, 0}),
            kDatabaseInvalidArgument);
  EXPECT_EQ(TrackRecord_WriteFieldDate(&t, txpl_crit_field_file_created_date, {1999, 1, 1, 0, 0}),
            kDatabaseInvalidArgument);
  EXPECT_EQ(t.created, RecordDate{});

  TrackRecord_RecordPlay(&t, when);
  // "Now" is the library clock's, which a test can set.
  const LibraryClockFunction system = LibraryClock_Replace([] { return DateTime{2010, 6, 16, 9, 0}; });
  TrackRecord_RecordPlay(&t);
  LibraryClock_Replace(system);
  EXPECT_EQ(t.plays, 2u);
  EXPECT_EQ(FromRecordDate(t.last_played), (DateTime{2010, 6, 16, 9, 0}));
  EXPECT_NE(LibraryClock_Now().year, 2010);
}

// The disc list: every entry's value for a sample record, in setting order.
TEST(DiscFields, ValuesInSettingOrder) {
  TrackRecord t = SampleTrack();
  TrackRecord_SetValue(&t, kKeyEra, "7");
  t.tag_id = "3CD3PX42";
  t.path_name = "/music";
  t.flags = 2;
  std::vector<std::string> seen;
  for (const DiscField& field : DiscFields()) {
    const DiscValue v = DiscField_Value(t, field);
    if (v.kind == DiscValue::Kind::kAbsent) continue;
    std::string name = field.extended_name != nullptr ? field.extended_name
                                                       : "setter" + std::to_string(static_cast<int>(field.setter));
    switch (v.kind) {
      case DiscValue::Kind::kText: name += "=" + v.text; break;
      case DiscValue::Kind::kNumber: name += "#" + std::to_string(v.number); break;
      case DiscValue::Kind::kDate: name += "@" + std::to_string(v.date.packed); break;
      case DiscValue::Kind::kAbsent: break;
    }
    seen.push_back(name);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "setter1=Some Artist", "setter2=Song", "setter3=The Album", "setter4=1999",
                      "PLM_tracklen=215", "PLM_filesize=1023", "PLM_eraid=7", "PLM_era#7", "PLM_originid=x7",
                      "PLM_origin#0", "PLM_rec_created@14816069", "PLM_rec_updated@0", "PLM_rec_lastplay@0",
                      "PLM_rec_tagid=3CD3PX42", "PLM_rec_pathname=/music", "PLM_rec_filename=song.mp3",
                      "PLM_rec_plays#3", "PLM_rec_rating#-5", "PLM_rec_flags#2"}));
}

}  // namespace
}  // namespace tavo::testing
