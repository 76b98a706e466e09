// The library view: built from the database or kept current by writes, it
// holds the same values; snapshots never change; writers and runs on other
// threads do not disturb each other.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <sstream>
#include <thread>

#include "engine_fixture.h"
#include "generation/engine/view_columns.h"

namespace tavo::testing {
namespace {

// Every value of every live track, by identifier, as text.
std::map<uint32_t, std::string> Dump(const ViewSnapshot& view) {
  std::map<uint32_t, std::string> tracks;
  for (uint32_t slot : view.LiveSlots()) {
    std::ostringstream out;
    for (uint8_t c = 0; c < kTextColumnCount; ++c) out << "t" << int{c} << "=" << view.Text(slot, c) << ";";
    for (uint8_t c = 0; c < kNumberColumnCount; ++c) {
      if (const auto n = view.Number(slot, c)) out << "n" << int{c} << "=" << *n << ";";
    }
    if (const auto size = view.Size(slot)) out << "size=" << *size;
    EXPECT_TRUE(tracks.emplace(view.TrackId(slot), out.str()).second);
  }
  EXPECT_EQ(tracks.size(), view.live_count());
  return tracks;
}

std::map<uint32_t, std::string> FreshDump(LibraryDatabase* db) {
  LibraryView fresh;
  ViewSnapshotPtr snapshot;
  EXPECT_EQ(kLibraryOk, fresh.Snapshot(db, &snapshot));
  return Dump(*snapshot);
}

TrackSpec Rich(int n) {
  TrackSpec t = Song("rich" + std::to_string(n), "Artist & Co " + std::to_string(n % 3), 100 + n);
  t.Set(kKeyOYear, "1999").Set(kKeyDevField2, " 12 dev").Set(kKeyGenDesc, "nested");
  t.plays = static_cast<uint32_t>(n);
  t.rating = -n;
  t.global_popularity = n * 10;
  t.last_played = DateTime{2024, 1, 1 + n % 28, 3, 4};
  return t;
}

TEST(LibraryViewTest, WritesKeepTheViewEqualToAFreshBuild) {
  EngineLibrary lib(ScratchDir());
  for (int n = 0; n < 5; ++n) lib.Add(Rich(n));
  lib.Snapshot();  // built: writes from here on go through OnTrackStored
  for (int n = 5; n < 2100; ++n) lib.Add(Rich(n));  // past the first chunks
  lib.Add(Rich(3).Set(kKeyTit, "retitled"));     // an update
  ASSERT_EQ(kLibraryOk, LibraryDatabase_RemoveTrack(lib.db(), "rich4.mp3"));
  lib.view().OnTrackRemoved("RICH4.MP3");
  EXPECT_EQ(FreshDump(lib.db()), Dump(*lib.Snapshot()));
}

TEST(LibraryViewTest, ASnapshotNeverChanges) {
  EngineLibrary lib(ScratchDir());
  for (int n = 0; n < 3; ++n) lib.Add(Rich(n));
  const ViewSnapshotPtr before = lib.Snapshot();
  const auto dump = Dump(*before);
  lib.Add(Rich(1).Set(kKeyTit, "changed"));
  lib.Add(Rich(7));
  lib.view().OnTrackRemoved("rich0.mp3");
  EXPECT_EQ(dump, Dump(*before));
  const ViewSnapshotPtr after = lib.Snapshot();
  EXPECT_NE(dump, Dump(*after));
  EXPECT_EQ(3u, after->live_count());
  EXPECT_EQ(after, lib.Snapshot()) << "no change, no new snapshot";
}

// The library keeps one record per identifier: a track stored under the
// identifier another file held replaces that file.
TEST(LibraryViewTest, AnIdentifierMovedToAnotherFileLeavesOneTrack) {
  EngineLibrary lib(ScratchDir());
  const uint32_t id = lib.Add(Song("first", "A"));
  lib.Snapshot();
  TrackRecord moved = Song("second", "A").Record();
  moved.file_name = "second.mp3";
  lib.view().OnTrackStored(moved, id);
  const ViewSnapshotPtr snapshot = lib.Snapshot();
  ASSERT_EQ(1u, snapshot->live_count());
  EXPECT_EQ("second.mp3", snapshot->Text(snapshot->LiveSlots()[0], kTextFileName));
  // The hole is used again.
  lib.view().OnTrackStored(Song("third", "A").Record(), id + 1);
  EXPECT_EQ(2u, lib.Snapshot()->slot_end());
}

TEST(LibraryViewTest, DropForgetsTheViewAndTheNextSnapshotBuildsIt) {
  EngineLibrary lib(ScratchDir());
  lib.Add(Song("a", "A"));
  const ViewSnapshotPtr kept = lib.Snapshot();
  EXPECT_TRUE(lib.view().built());
  EXPECT_GT(lib.view().MemoryBytes(), 0u);
  lib.view().Drop();
  EXPECT_FALSE(lib.view().built());
  EXPECT_EQ(1u, kept->live_count());  // still readable
  lib.Add(Song("b", "B"));           // reported while dropped: read by the next build
  EXPECT_EQ(2u, lib.Snapshot()->live_count());
}

TEST(LibraryViewTest, WithoutADatabaseThereIsNoSnapshot) {
  LibraryView view;
  ViewSnapshotPtr snapshot;
  EXPECT_NE(kLibraryOk, view.Snapshot(nullptr, &snapshot));
  EXPECT_EQ(nullptr, snapshot);
}

// Writers (adds, plays) on two threads, runs and rebuilds on a third: no
// write is lost and every run sees a whole snapshot.
TEST(LibraryViewTest, WritersAndRunsOnSeveralThreads) {
  EngineLibrary lib(ScratchDir());
  for (int n = 0; n < 50; ++n) lib.Add(Rich(n));
  std::atomic<bool> done{false};
  std::thread reader([&] {
    auto g = Generator({Criterion(txpl_crit_field_file_length, txpl_crit_op_num_gt, 0)});
    int runs = 0;
    while (!done.load() || runs < 3) {
      if (runs % 7 == 3) lib.view().Drop();
      RunRequest r;
      r.generator = g.get();
      if (lib.view().Snapshot(lib.db(), &r.snapshot) != kLibraryOk) continue;
      r.clock = FixedClock();
      std::vector<PlaylistEntry> out;
      EXPECT_EQ(kRunOk, Generator_Run(r, &out));
      EXPECT_EQ(r.snapshot->live_count(), out.size());
      ++runs;
    }
  });
  std::vector<std::thread> writers;
  for (int w = 0; w < 2; ++w) {
    writers.emplace_back([&, w] {
      for (int n = 0; n < 150; ++n) {
        if (w == 0) {
          lib.Add(Rich(100 + n));
        } else {
          // A play, reported after it is stored, as the manager does.
          const std::string name = "rich" + std::to_string(n % 50) + ".mp3";
          ASSERT_EQ(kLibraryOk, LibraryDatabase_ModifyTrack(lib.db(), name, [](TrackRecord& t) {
                      ++t.plays;
                      return 0u;
                    }));
          TrackRecord stored;
          uint32_t id = 0;
          ASSERT_EQ(kLibraryOk, LibraryDatabase_FindByFile(lib.db(), name, &stored, &id));
          lib.view().OnTrackStored(stored, id);
        }
      }
    });
  }
  for (auto& t : writers) t.join();
  done = true;
  reader.join();
  EXPECT_EQ(FreshDump(lib.db()), Dump(*lib.Snapshot()));
}

}  // namespace
}  // namespace tavo::testing
