// A library for engine tests: tracks written to a real database in a
// scratch folder, the view built from it, generators run over it with a
// fixed clock.
#ifndef TAVO_TESTS_GENERATION_ENGINE_ENGINE_FIXTURE_H_
#define TAVO_TESTS_GENERATION_ENGINE_ENGINE_FIXTURE_H_

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "generation/engine/generator_run.h"
#include "generation/engine/library_view.h"
#include "library/library_test_util.h"
#include "storage/library/correlates_store.h"
#include "storage/library/decimal_text.h"
#include "tavo/enums.h"

namespace tavo::testing {

// 15 June 2024, 12:00, local: "today" of every run in these tests.
inline DateTime FixedNow() { return DateTime{2024, 6, 15, 12, 0}; }
inline uint32_t FixedSeconds() { return 1'718'452'800u; }
inline RunClock FixedClock() { return RunClock{&FixedNow, &FixedSeconds}; }

// A track to store: REC keys with their texts, and the fixed part.
struct TrackSpec {
  std::string path;  // "/music/a.mp3"
  std::map<uint32_t, std::string> keys;
  uint32_t plays = 0;
  int32_t rating = 0;
  int32_t genre_v1 = 0;
  int32_t album_popularity = -1;
  int32_t global_popularity = -1;
  DateTime created{2020, 1, 1, 0, 0};
  DateTime last_played{};  // year 0: never

  TrackSpec& Set(uint32_t key, std::string value) {
    keys[key] = std::move(value);
    return *this;
  }
  TrackRecord Record() const {
    TrackRecord t;
    for (const auto& [key, value] : keys) TrackRecord_SetValue(&t, key, value.c_str());
    t.plays = plays;
    t.rating = rating;
    t.genre_v1 = genre_v1;
    t.album_popularity = album_popularity;
    t.global_popularity = global_popularity;
    t.created = ToRecordDate(created);
    t.updated = t.created;
    if (last_played.year != 0) t.last_played = ToRecordDate(last_played);
    return t;
  }
};

// A usual track: title, artist, length, size and genre.
inline TrackSpec Song(const std::string& name, const std::string& artist, int seconds = 200,
                      int64_t bytes = 4'000'000, int genre = 500) {
  TrackSpec t;
  t.path = "/music/" + name + ".mp3";
  t.Set(kKeyTit, name).Set(kKeyArt, artist).Set(kKeyAlb, artist + " album");
  t.Set(kKeyTLen, std::to_string(seconds)).Set(kKeySize, std::to_string(bytes));
  t.Set(kKeyGenV2, std::to_string(genre)).Set(kKeyBitR, "192");
  return t;
}

inline CriterionPtr Criterion(int32_t field, int32_t op, int32_t p1 = 0, int32_t p2 = 0, int32_t p3 = 0) {
  return MakeCriterion(field, op, p1, p2, p3);
}

inline CriterionPtr TextCriterion(int32_t field, int32_t op, const std::string& text) {
  return MakeCriterion(field, op, 0, 0, 0, text);
}

class EngineLibrary {
 public:
  explicit EngineLibrary(const std::string& dir) : dir_(dir), db_(OpenDb(dir)) {}

  LibraryDatabase* db() { return db_.get(); }
  LibraryView& view() { return view_; }
  RunLists& lists() { return lists_; }

  // Stores the track and tells the view, as the manager does.
  uint32_t Add(const TrackSpec& spec) {
    uint32_t id = 0;
    EXPECT_EQ(kLibraryOk, LibraryDatabase_AddTrack(db_.get(), spec.path, spec.Record(), &id)) << spec.path;
    TrackRecord stored;
    EXPECT_EQ(kLibraryOk, LibraryDatabase_FindById(db_.get(), id, &stored));
    view_.OnTrackStored(stored, id);
    return id;
  }

  void SetWeightRange(int32_t minimum, int32_t maximum) {
    CorrelatesStore* c = LibraryDatabase_Correlates(db_.get());
    ASSERT_EQ(kLibraryOk, c->OpenForWriting());
    ASSERT_EQ(kLibraryOk, c->WriteWeightRange(minimum, maximum));
  }
  void SetTable(int32_t genre, std::vector<CorrelateEntry> table) {
    CorrelatesStore* c = LibraryDatabase_Correlates(db_.get());
    ASSERT_EQ(kLibraryOk, c->OpenForWriting());
    ASSERT_EQ(kLibraryOk, c->WriteTable(genre, table));
  }

  ViewSnapshotPtr Snapshot() {
    ViewSnapshotPtr snapshot;
    EXPECT_EQ(kLibraryOk, view_.Snapshot(db_.get(), &snapshot));
    return snapshot;
  }

  RunStatus Run(GeneratorRecord& g, std::vector<PlaylistEntry>* out, const std::vector<std::string>& selection = {}) {
    RunRequest r;
    r.generator = &g;
    r.selection = selection;
    r.snapshot = Snapshot();
    r.database = db_.get();
    r.lists = lists_;
    r.clock = FixedClock();
    return Generator_Run(r, out);
  }

  std::vector<PlaylistEntry> Run(GeneratorRecord& g, const std::vector<std::string>& selection = {}) {
    std::vector<PlaylistEntry> out;
    EXPECT_EQ(kRunOk, Run(g, &out, selection));
    return out;
  }

 private:
  std::string dir_;
  LibraryDatabasePtr db_;
  LibraryView view_;
  RunLists lists_;
};

// Item (id, children, extension) of a descriptor list.
struct ListItem {
  int32_t id;
  std::vector<int32_t> children;
  int32_t extension[2] = {0, 0};
};

inline DescriptorListPtr MakeList(DescriptorKind kind, const std::vector<ListItem>& items) {
  std::vector<DescriptorItem> made;
  for (const ListItem& i : items) {
    DescriptorItem d;
    d.id = i.id;
    d.children = i.children;
    d.extension[0] = i.extension[0];
    d.extension[1] = i.extension[1];
    made.push_back(d);
  }
  DescriptorListHeader header;
  header.kind = kind;
  DescriptorListPtr list;
  EXPECT_EQ(kDescOk, DescriptorList::Make(header, made, &list));
  return list;
}

// File names (after the last "/") of a playlist, in order.
inline std::vector<std::string> NamesOf(const std::vector<PlaylistEntry>& entries) {
  std::vector<std::string> names;
  for (const PlaylistEntry& e : entries) names.push_back(e.path.substr(e.path.rfind('/') + 1));
  return names;
}

inline std::shared_ptr<GeneratorRecord> Generator(std::vector<CriterionPtr> criteria,
                                                  int32_t match_mode = txpl_matchmode_match_all) {
  auto g = GeneratorRecord::MakeNamed();
  g->match_mode = match_mode;
  for (CriterionPtr& c : criteria) g->AddCriterion(-1, std::move(c));
  return g;
}

}  // namespace tavo::testing

#endif  // TAVO_TESTS_GENERATION_ENGINE_ENGINE_FIXTURE_H_
