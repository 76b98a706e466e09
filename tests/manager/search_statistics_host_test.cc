// Searches, statistics and field values as a host sees them: the manager
// and the find-data object made by class identifier from the registered
// module, called through their vtables and by name through IDispatch.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "library/library_test_util.h"
#include "manager_host.h"
#include "support/dispatch_call.h"

namespace tavo {
namespace {

using host_calls::CallByName;
using host_calls::LongArg;
using host_calls::ObjectArg;
using host_calls::TextArg;
using testing::Bstr;
using testing::MakeTrack;
using testing::ManagerHost;
using testing::ScratchDir;
using testing::Take;

class SearchStatisticsHostTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ManagerHost::Load(); }

  void SetUp() override {
    dir_ = ScratchDir();
    {
      LibraryDatabasePtr db = testing::OpenDb(dir_);
      for (const char* artist : {"ABBA", "ABBA Gold", "abba"}) {
        const std::string file = std::string(1, static_cast<char>('a' + files_.size())) + ".mp3";
        ASSERT_EQ(kLibraryOk, LibraryDatabase_AddTrack(db.get(), "/music/" + file, MakeTrack("T", artist)));
        files_.push_back(file);
      }
    }
    control_ = ManagerHost::Make<IDispatch>(CLSID_TAVOControl);
    manager_ = ManagerHost::Make<ITavoPlaylist2Mgr>(CLSID_TavoPeltaPlaylist2Mgr);
    find_ = ManagerHost::Make<ITavoPL2FindData>(CLSID_TavoPL2FindData);
    ASSERT_TRUE(control_ && manager_ && find_);
  }

  HRESULT Initialize() { return manager_->Initialize(control_.Get(), Bstr(dir_).s); }

  // The file names of the remaining matches, sorted, joined by spaces.
  std::string Matches() {
    std::vector<std::string> names;
    for (;;) {
      ComPtr<IDispatch> disc;
      if (manager_->FindNext(find_.Get(), disc.ReleaseAndGetAddressOf()) != S_OK) break;
      ComPtr<ITAVODiscData> data;
      EXPECT_EQ(S_OK, disc.As(&data));
      BSTR name = nullptr;
      EXPECT_EQ(S_OK, data->GetExtended(0, Bstr("PLM_rec_filename").s, &name));
      names.push_back(Take(name));
    }
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string& n : names) joined += (joined.empty() ? "" : " ") + n;
    return joined;
  }

  std::string Find() {
    EXPECT_EQ(S_OK, manager_->FindOpen(find_.Get()));
    return Matches();
  }

  LONG Plays(const char* file) {
    LONG plays = -1;
    EXPECT_EQ(S_OK, manager_->StatsGetPlays(Bstr(file).s, &plays));
    return plays;
  }

  DateTime Date(const char* file, LONG type) {
    ComPtr<ITavoPL2Timestamp> stamp = ManagerHost::Make<ITavoPL2Timestamp>(CLSID_TavoPL2Timestamp);
    stamp->put_Year(-1);
    EXPECT_EQ(S_OK, manager_->StatsGetDate(Bstr(file).s, type, stamp.Get()));
    return Read(stamp.Get());
  }

  static DateTime Read(ITavoPL2Timestamp* stamp) {
    LONG v[5] = {};
    stamp->get_Year(&v[0]);
    stamp->get_Month(&v[1]);
    stamp->get_Day(&v[2]);
    stamp->get_Hour(&v[3]);
    stamp->get_Minute(&v[4]);
    return DateTime{v[0], v[1], v[2], v[3], v[4]};
  }

  ComPtr<ITavoPL2Timestamp> Stamp(const DateTime& d) {
    ComPtr<ITavoPL2Timestamp> stamp = ManagerHost::Make<ITavoPL2Timestamp>(CLSID_TavoPL2Timestamp);
    stamp->put_Year(d.year);
    stamp->put_Month(d.month);
    stamp->put_Day(d.day);
    stamp->put_Hour(d.hour);
    stamp->put_Minute(d.minute);
    return stamp;
  }

  std::string Field(const char* file, LONG field) {
    BSTR value = nullptr;
    const HRESULT hr = manager_->FileGetFieldVal(Bstr(file).s, field, &value);
    return hr == S_OK ? Take(value) : "<" + std::to_string(hr) + ">";
  }

  std::string dir_;
  std::vector<std::string> files_;  // a.mp3 "ABBA", b.mp3 "ABBA Gold", c.mp3 "abba"
  ComPtr<IDispatch> control_;
  ComPtr<ITavoPlaylist2Mgr> manager_;
  ComPtr<ITavoPL2FindData> find_;
};

TEST_F(SearchStatisticsHostTest, FindDataKeepsItsCriteriaThroughBothInterfaces) {
  VARIANT text = TextArg(u"abba");
  EXPECT_EQ(S_OK, CallByName(find_.Get(), u"Artist", DISPATCH_PROPERTYPUT, {text}));
  VariantClear(&text);
  BSTR artist = nullptr;
  ASSERT_EQ(S_OK, find_->get_Artist(&artist));
  EXPECT_EQ("abba", Take(artist));

  EXPECT_EQ(S_OK,
            CallByName(find_.Get(), u"YearRange", DISPATCH_PROPERTYPUT, {LongArg(1), LongArg(1979), LongArg(1980)}));
  LONG set = 0, start = 0, end = 0;
  ASSERT_EQ(S_OK, find_->get_YearRange(&set, &start, &end));
  EXPECT_EQ((std::vector<LONG>{1, 1979, 1980}), (std::vector<LONG>{set, start, end}));

  ASSERT_EQ(S_OK, find_->put_GenreId(301));
  VARIANT genre;
  VariantInit(&genre);
  ASSERT_EQ(S_OK, CallByName(find_.Get(), u"GenreId", DISPATCH_PROPERTYGET, {}, &genre));
  EXPECT_EQ(VT_I4, genre.vt);
  EXPECT_EQ(301, genre.lVal);

  // Last-played bounds are record dates: a year before 2000 or a missing
  // bound is refused and changes nothing; clearing takes anything.
  const DateTime from{2020, 1, 2, 3, 4}, to{2021, 5, 6, 7, 8};
  ASSERT_EQ(S_OK, find_->put_LastPlayRange(1, Stamp(from).Get(), Stamp(to).Get()));
  EXPECT_EQ(E_INVALIDARG, find_->put_LastPlayRange(1, Stamp({1999, 12, 31, 0, 0}).Get(), Stamp(to).Get()));
  EXPECT_EQ(E_INVALIDARG, find_->put_LastPlayRange(1, nullptr, Stamp(to).Get()));
  EXPECT_EQ(S_OK, find_->put_LastPlayRange(0, nullptr, nullptr));
  ComPtr<ITavoPL2Timestamp> got_from, got_to;
  ASSERT_EQ(S_OK, find_->get_LastPlayRange(&set, got_from.ReleaseAndGetAddressOf(), got_to.ReleaseAndGetAddressOf()));
  EXPECT_EQ(0, set);
  EXPECT_EQ(from, Read(got_from.Get()));
  EXPECT_EQ(to, Read(got_to.Get()));
}

TEST_F(SearchStatisticsHostTest, FindHandsOutEachMatchOnceThenFailsUntilClosed) {
  ASSERT_EQ(S_OK, Initialize());
  EXPECT_EQ("a.mp3 b.mp3 c.mp3", Find());
  IDispatch* disc = nullptr;
  EXPECT_EQ(E_FAIL, manager_->FindNext(find_.Get(), &disc));
  EXPECT_EQ(E_FAIL, manager_->FindNext(find_.Get(), &disc));
  EXPECT_EQ(nullptr, disc);
  EXPECT_EQ(S_OK, manager_->FindClose(find_.Get()));
  EXPECT_EQ(E_FAIL, manager_->FindNext(find_.Get(), &disc));

  find_->put_Artist(Bstr("abba").s);
  EXPECT_EQ("a.mp3 c.mp3", Find());
  find_->put_Artist(nullptr);
  find_->put_PlaysRange(1, 0, 0);  // tests nothing
  EXPECT_EQ("a.mp3 b.mp3 c.mp3", Find());

  // By name: FindOpen, then FindNext's disc as the result.
  ASSERT_EQ(S_OK, CallByName(manager_.Get(), u"FindOpen", DISPATCH_METHOD, {ObjectArg(find_.Get())}));
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(S_OK, CallByName(manager_.Get(), u"FindNext", DISPATCH_METHOD, {ObjectArg(find_.Get())}, &result));
  EXPECT_EQ(VT_DISPATCH, result.vt);
  EXPECT_NE(nullptr, result.pdispVal);
  VariantClear(&result);
}

TEST_F(SearchStatisticsHostTest, FindRefusesMissingForeignAndUnopenedSearches) {
  EXPECT_EQ(E_UNEXPECTED, manager_->FindOpen(find_.Get()));  // no database
  ASSERT_EQ(S_OK, Initialize());
  IDispatch* disc = nullptr;
  EXPECT_EQ(E_INVALIDARG, manager_->FindOpen(nullptr));
  EXPECT_EQ(E_INVALIDARG, manager_->FindNext(nullptr, &disc));
  EXPECT_EQ(E_POINTER, manager_->FindNext(find_.Get(), nullptr));
  EXPECT_EQ(E_INVALIDARG, manager_->FindClose(nullptr));
  // Any other object, though it may answer the interface, cannot hold a search.
  ComPtr<ITavoPL2Timestamp> stranger = ManagerHost::Make<ITavoPL2Timestamp>(CLSID_TavoPL2Timestamp);
  auto* foreign = reinterpret_cast<ITavoPL2FindData*>(stranger.Get());
  EXPECT_EQ(E_INVALIDARG, manager_->FindOpen(foreign));
  EXPECT_EQ(E_INVALIDARG, manager_->FindNext(foreign, &disc));
  EXPECT_EQ(E_FAIL, manager_->FindNext(find_.Get(), &disc));  // never opened

  // A search belongs to the manager that opened it.
  ASSERT_EQ(S_OK, manager_->FindOpen(find_.Get()));
  ComPtr<ITavoPlaylist2Mgr> other = ManagerHost::Make<ITavoPlaylist2Mgr>(CLSID_TavoPeltaPlaylist2Mgr);
  EXPECT_EQ(E_FAIL, other->FindNext(find_.Get(), &disc));
  EXPECT_EQ(nullptr, disc);
}

TEST_F(SearchStatisticsHostTest, PlaysRatingsAndDates) {
  ASSERT_EQ(S_OK, Initialize());
  EXPECT_EQ(0, Plays("a.mp3"));
  ASSERT_EQ(S_OK, manager_->StatsPlayedFile(Bstr("/anywhere/a.mp3").s));
  ASSERT_EQ(S_OK, manager_->StatsPlayedFile(Bstr("a.mp3").s));
  EXPECT_EQ(2, Plays("a.mp3"));
  EXPECT_GE(Date("a.mp3", txpl_stats_lastplaydate).year, 2024);

  ASSERT_EQ(S_OK, manager_->StatsRateFile(Bstr("b.mp3").s, -3));
  LONG rating = 0;
  ASSERT_EQ(S_OK, manager_->StatsGetRating(Bstr("b.mp3").s, &rating));
  EXPECT_EQ(-3, rating);

  const DateTime created{2003, 4, 5, 6, 7}, updated{2004, 5, 6, 7, 8};
  ASSERT_EQ(S_OK,
            manager_->FileSetFieldValDate(Bstr("b.mp3").s, txpl_crit_field_file_created_date, Stamp(created).Get()));
  ASSERT_EQ(S_OK,
            manager_->FileSetFieldValDate(Bstr("b.mp3").s, txpl_crit_field_file_modified_date, Stamp(updated).Get()));
  EXPECT_EQ(created, Date("b.mp3", txpl_stats_createddate));
  EXPECT_EQ(updated, Date("b.mp3", txpl_stats_lastupdateddate));
  EXPECT_EQ(DateTime{}, Date("b.mp3", 7));
  EXPECT_EQ((DateTime{2000, 0, 0, 0, 0}), Date("b.mp3", txpl_stats_lastplaydate));  // never played

  // The index follows: plays and ratings are found by a search at once.
  find_->put_PlaysRange(1, 2, 2);
  EXPECT_EQ("a.mp3", Find());
  find_->put_PlaysRange(0, 0, 0);
  find_->put_RatingRange(1, -3, -3);
  EXPECT_EQ("b.mp3", Find());

  // By name.
  VARIANT result;
  VariantInit(&result);
  VARIANT name = TextArg(u"a.mp3");
  ASSERT_EQ(S_OK, CallByName(manager_.Get(), u"StatsGetPlays", DISPATCH_METHOD, {name}, &result));
  EXPECT_EQ(2, result.lVal);
  VARIANT high = TextArg(u"high");
  EXPECT_EQ(DISP_E_TYPEMISMATCH, CallByName(manager_.Get(), u"StatsRateFile", DISPATCH_METHOD, {name, high}));
  VariantClear(&high);
  VariantClear(&name);
}

// Record dates hold the years 2000 to 3000: an earlier year would be stored
// as a negative year word and read back as 4047. The developer fields keep
// the full year in their own packing.
TEST_F(SearchStatisticsHostTest, RecordDatesRefuseYearsTheyCannotHoldDeveloperDatesKeepThem) {
  ASSERT_EQ(S_OK, Initialize());
  const DateTime kept{2010, 1, 2, 3, 4}, early{1999, 12, 31, 10, 30}, late{3001, 1, 1, 0, 0};
  const struct {
    LONG field;
    LONG stats_type;
  } record_dates[] = {
      {txpl_crit_field_file_created_date, txpl_stats_createddate},
      {txpl_crit_field_file_modified_date, txpl_stats_lastupdateddate},
      {txpl_crit_field_file_lastplayed_date, txpl_stats_lastplaydate},
  };
  for (const auto& d : record_dates) {
    ASSERT_EQ(S_OK, manager_->FileSetFieldValDate(Bstr("a.mp3").s, d.field, Stamp(kept).Get()));
    for (const DateTime& refused : {early, late}) {
      EXPECT_EQ(E_INVALIDARG, manager_->FileSetFieldValDate(Bstr("a.mp3").s, d.field, Stamp(refused).Get()))
          << d.field << " " << refused.year;
    }
    EXPECT_EQ(kept, Date("a.mp3", d.stats_type)) << d.field;
  }
  for (LONG dev : {txpl_crit_field_xdev1, txpl_crit_field_xdev2, txpl_crit_field_xdev3}) {
    ASSERT_EQ(S_OK, manager_->FileSetFieldValDate(Bstr("a.mp3").s, dev, Stamp(early).Get()));
    ComPtr<ITavoPL2Timestamp> got;
    ASSERT_EQ(S_OK, manager_->FileGetFieldValDate(Bstr("a.mp3").s, dev, got.ReleaseAndGetAddressOf()));
    EXPECT_EQ(early, Read(got.Get())) << dev;
  }
}

TEST_F(SearchStatisticsHostTest, FieldValuesAndDeveloperFields) {
  ASSERT_EQ(S_OK, Initialize());
  ASSERT_EQ(S_OK, manager_->FileSetDevField(Bstr("a.mp3").s, 0, Bstr("zero").s));
  ASSERT_EQ(S_OK, manager_->FileSetDevField(Bstr("a.mp3").s, 1, Bstr("one").s));
  ASSERT_EQ(S_OK, manager_->FileSetDevField(Bstr("a.mp3").s, 3, Bstr("three").s));
  for (LONG n : {0, 1}) {
    BSTR value = nullptr;
    ASSERT_EQ(S_OK, manager_->FileGetDevField(Bstr("a.mp3").s, n, &value));
    EXPECT_EQ("one", Take(value));
  }
  EXPECT_EQ("one", Field("a.mp3", txpl_crit_field_xdev1));
  EXPECT_EQ("three", Field("a.mp3", txpl_crit_field_xdev3));
  BSTR none = nullptr;
  EXPECT_EQ(E_FAIL, manager_->FileGetDevField(Bstr("a.mp3").s, 2, &none));  // never set

  ASSERT_EQ(S_OK, manager_->FileSetFieldVal(Bstr("a.mp3").s, txpl_crit_field_track_genrev2, Bstr("301").s));
  EXPECT_EQ("301", Field("a.mp3", txpl_crit_field_track_genrev2));
  EXPECT_EQ(S_OK, manager_->FileSetFieldVal(Bstr("a.mp3").s, txpl_crit_field_track_genre, Bstr("5").s));
  EXPECT_EQ("301", Field("a.mp3", txpl_crit_field_track_genre));  // written from nowhere
  find_->put_GenreId(301);
  EXPECT_EQ("a.mp3", Find());

  ASSERT_EQ(S_OK, manager_->FileSetFieldVal(Bstr("b.mp3").s, txpl_crit_field_track_playcount, Bstr("12").s));
  EXPECT_EQ(12, Plays("b.mp3"));
  ASSERT_EQ(S_OK, manager_->FileSetFieldVal(Bstr("b.mp3").s, txpl_crit_field_track_artist_name, Bstr("Blondie").s));
  find_->put_GenreId(0);
  find_->put_Artist(Bstr("BLONDIE").s);
  EXPECT_EQ("b.mp3", Find());
  EXPECT_EQ("Blondie", Field("b.mp3", txpl_crit_field_album_primaryartist));
}

TEST_F(SearchStatisticsHostTest, BadInputGetsAClearStatusAndChangesNothing) {
  const Bstr a("a.mp3"), missing("missing.mp3"), empty(""), value("v");
  ComPtr<ITavoPL2Timestamp> stamp = Stamp({2010, 1, 1, 0, 0});
  LONG number = 0;
  BSTR text = nullptr;
  ITavoPL2Timestamp* date = nullptr;
  // Before Initialize there is no database.
  EXPECT_EQ(E_UNEXPECTED, manager_->StatsPlayedFile(a.s));
  EXPECT_EQ(E_UNEXPECTED, manager_->FileGetFieldVal(a.s, txpl_crit_field_track_name, &text));
  EXPECT_EQ(E_UNEXPECTED, manager_->FileSetFieldVal(a.s, txpl_crit_field_track_name, value.s));
  ASSERT_EQ(S_OK, Initialize());

  const struct {
    const char* what;
    HRESULT expected;
    HRESULT got;
  } cases[] = {
      {"played, missing file", E_FAIL, manager_->StatsPlayedFile(missing.s)},
      {"played, empty name", E_INVALIDARG, manager_->StatsPlayedFile(empty.s)},
      {"played, null name", E_INVALIDARG, manager_->StatsPlayedFile(nullptr)},
      {"rate, missing file", E_FAIL, manager_->StatsRateFile(missing.s, 1)},
      {"plays, missing file", E_FAIL, manager_->StatsGetPlays(missing.s, &number)},
      {"plays, null out", E_INVALIDARG, manager_->StatsGetPlays(a.s, nullptr)},
      {"rating, null out", E_INVALIDARG, manager_->StatsGetRating(a.s, nullptr)},
      {"date, null timestamp", E_INVALIDARG, manager_->StatsGetDate(a.s, 1, nullptr)},
      {"date, missing file", E_FAIL, manager_->StatsGetDate(missing.s, 1, stamp.Get())},
      {"get dev, number 4", E_INVALIDARG, manager_->FileGetDevField(a.s, 4, &text)},
      {"get dev, null out", E_POINTER, manager_->FileGetDevField(a.s, 1, nullptr)},
      {"set dev, number -1", E_INVALIDARG, manager_->FileSetDevField(a.s, -1, value.s)},
      {"set dev, number 4", E_INVALIDARG, manager_->FileSetDevField(a.s, 4, value.s)},
      {"set dev, missing file", E_FAIL, manager_->FileSetDevField(missing.s, 1, value.s)},
      {"set dev, null value", E_INVALIDARG, manager_->FileSetDevField(a.s, 1, nullptr)},
      {"get field, unknown field", E_INVALIDARG, manager_->FileGetFieldVal(a.s, 60, &text)},
      {"get field, no value", E_FAIL, manager_->FileGetFieldVal(a.s, txpl_crit_field_album_name, &text)},
      {"get field, missing file", E_FAIL, manager_->FileGetFieldVal(missing.s, txpl_crit_field_track_name, &text)},
      {"get field, null out", E_POINTER, manager_->FileGetFieldVal(a.s, txpl_crit_field_track_name, nullptr)},
      {"set field, unknown field", E_INVALIDARG, manager_->FileSetFieldVal(a.s, -1, value.s)},
      {"set field, null value", E_INVALIDARG, manager_->FileSetFieldVal(a.s, txpl_crit_field_track_name, nullptr)},
      {"set field, missing file", E_FAIL, manager_->FileSetFieldVal(missing.s, txpl_crit_field_track_name, value.s)},
      {"get date, text field", E_FAIL, manager_->FileGetFieldValDate(a.s, txpl_crit_field_track_name, &date)},
      {"get date, null out", E_INVALIDARG,
       manager_->FileGetFieldValDate(a.s, txpl_crit_field_file_created_date, nullptr)},
      {"set date, null timestamp", E_INVALIDARG, manager_->FileSetFieldValDate(a.s, 4, nullptr)},
      {"set date, unknown field", E_INVALIDARG, manager_->FileSetFieldValDate(a.s, 54, stamp.Get())},
      {"set date, missing file", E_FAIL, manager_->FileSetFieldValDate(missing.s, 4, stamp.Get())},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, c.got) << c.what;
  EXPECT_EQ(nullptr, text);
  EXPECT_EQ(nullptr, date);
  EXPECT_EQ("T", Field("a.mp3", txpl_crit_field_track_name));
  EXPECT_EQ(0, Plays("a.mp3"));
}

}  // namespace
}  // namespace tavo
