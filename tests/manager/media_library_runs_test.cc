// Generator runs on the media library without automation: the view the
// open library keeps follows every kind of write, and goes with the close.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "library/library_test_util.h"
#include "manager/library/manager_status.h"
#include "manager/library/media_library.h"
#include "storage/library/track_id.h"
#include "storage/library/track_writes.h"
#include "tavo/enums.h"

namespace tavo {
namespace {

using testing::MakeTrack;

// The tracks `criterion` accepts, as sorted paths.
std::vector<std::string> Accepted(MediaLibrary& library, CriterionPtr criterion) {
  auto generator = GeneratorRecord::MakeNamed();
  generator->AddCriterion(-1, std::move(criterion));
  std::vector<PlaylistEntry> entries;
  EXPECT_EQ(kLibraryOk, library.RunGenerator(generator.get(), {}, &entries));
  std::vector<std::string> paths;
  for (const PlaylistEntry& e : entries) paths.push_back(e.path);
  std::sort(paths.begin(), paths.end());
  return paths;
}

CriterionPtr Titled(const std::string& title) {
  return MakeCriterion(txpl_crit_field_track_name, txpl_crit_op_str_eq, 0, 0, 0, title);
}

CriterionPtr Played() { return MakeCriterion(txpl_crit_field_track_playcount, txpl_crit_op_num_gt, 0); }

TEST(MediaLibraryRunsTest, EveryKindOfWriteReachesTheNextRun) {
  MediaLibrary library;
  auto generator = GeneratorRecord::MakeNamed();
  std::vector<PlaylistEntry> entries;
  EXPECT_EQ(kManagerNotOpen, library.RunGenerator(generator.get(), {}, &entries));
  ASSERT_EQ(kLibraryOk, library.Open(testing::ScratchDir(), nullptr));

  const std::string recording = "3CD3PX42";  // names identifier 42
  uint32_t id = 0;
  ASSERT_TRUE(TrackId_ParseTag(recording, &id) && id == 42);
  ASSERT_EQ(kLibraryOk, library.AddTrack("/m/a.mp3", MakeTrack("T", "", "", recording)));
  ASSERT_EQ(kLibraryOk, library.AddTrack("/m/b.mp3", MakeTrack("T")));
  using Paths = std::vector<std::string>;
  EXPECT_EQ((Paths{"/m/a.mp3", "/m/b.mp3"}), Accepted(library, Titled("T")));  // builds the view

  // Under the write lock: an update and a change.
  ASSERT_EQ(kLibraryOk, library.Write([](MediaLibrary::Writer& w) {
    TrackRecord track;
    if (LibraryStatus s = LibraryDatabase_FindByFile(w.database(), "b.mp3", &track); s != kLibraryOk) return s;
    TrackRecord_SetValue(&track, kKeyTit, "U");
    return w.UpdateTrack(track);
  }));
  EXPECT_EQ((Paths{"/m/b.mp3"}), Accepted(library, Titled("U")));
  ASSERT_EQ(kLibraryOk, library.ModifyTrack("a.mp3", [](TrackRecord& t) {
    return static_cast<uint32_t>(TrackRecord_SetValue(&t, kKeyTit, "V"));
  }));
  EXPECT_EQ((Paths{"/m/a.mp3"}), Accepted(library, Titled("V")));

  // A play, without the lock.
  EXPECT_TRUE(Accepted(library, Played()).empty());
  ASSERT_EQ(kLibraryOk, library.ModifyStatistics("b.mp3", [](TrackRecord& t) {
    TrackRecord_RecordPlay(&t);
    return 0u;
  }));
  EXPECT_EQ((Paths{"/m/b.mp3"}), Accepted(library, Played()));

  // Another file of the same recording replaces a.mp3; then b.mp3 goes.
  ASSERT_EQ(kLibraryOk, library.AddTrack("/n/c.mp3", MakeTrack("V", "", "", recording)));
  EXPECT_EQ((Paths{"/n/c.mp3"}), Accepted(library, Titled("V")));
  ASSERT_EQ(kLibraryOk, library.RemoveTrack("/m/b.mp3"));
  EXPECT_TRUE(Accepted(library, Played()).empty());

  ViewSnapshotPtr snapshot;
  ASSERT_EQ(kLibraryOk, library.Snapshot(&snapshot));
  EXPECT_EQ(1u, snapshot->live_count());
  ASSERT_EQ(kLibraryOk, library.Close());
  EXPECT_EQ(1u, snapshot->live_count());  // a snapshot outlives the view
  EXPECT_EQ(kManagerNotOpen, library.Snapshot(&snapshot));
}

}  // namespace
}  // namespace tavo
