// The media library object without automation: its lifecycle, the write
// lock, the order and reporting of writes, events and maintenance steps.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "fake_list_service.h"
#include "library/library_test_util.h"
#include "manager/library/manager_status.h"
#include "manager/library/media_library.h"
#include "storage/library/track_writes.h"
#include "storage/maintenance/database_check.h"
#include "storage/maintenance/marker_file.h"
#include "tavo/enums.h"

namespace tavo {
namespace {

using testing::MakeTrack;
using testing::ScratchDir;

MediaLibrary::Options TestOptions() {
  MediaLibrary::Options options;
  options.clock = testing::TestNow;
  return options;
}

uint32_t PlaysOf(MediaLibrary& library, const std::string& file) {
  TrackRecord track;
  EXPECT_EQ(kLibraryOk, library.FindTrack(file, &track));
  return track.plays;
}

TEST(MediaLibraryTest, OpensWritesClosesAndOpensAgain) {
  const std::string dir = ScratchDir();
  MediaLibrary library(TestOptions());
  EXPECT_EQ(kManagerNotOpen, library.AddTrack("/music/a.mp3", MakeTrack("A")));
  ASSERT_EQ(kLibraryOk, library.Open(dir, nullptr));
  EXPECT_EQ(kManagerAlreadyOpen, library.Open(dir, nullptr));
  uint32_t id = 0;
  ASSERT_EQ(kLibraryOk, library.AddTrack("/music/a.mp3", MakeTrack("A"), &id));
  EXPECT_EQ(1u, id);
  ASSERT_EQ(kLibraryOk, library.ModifyStatistics("/elsewhere/a.mp3", [](TrackRecord& t) {
    TrackRecord_RecordPlay(&t);
    return 0u;
  }));
  EXPECT_EQ(kLibraryOk, library.Close());
  EXPECT_EQ(kManagerNotOpen, library.Close());

  ASSERT_EQ(kLibraryOk, library.Open(dir, nullptr));
  EXPECT_EQ(1u, PlaysOf(library, "a.mp3"));
  EXPECT_EQ(kLibraryOk, library.RemoveTrack("a.mp3"));
  TrackRecord gone;
  EXPECT_EQ(kStoreNotFound, library.FindTrack("a.mp3", &gone));
}

TEST(MediaLibraryTest, RefusesWhatCannotBeADatabaseAndASecondLibraryOfTheSameFolder) {
  const std::string dir = ScratchDir();
  const std::string file = dir + "/not-a-folder";
  std::ofstream(file) << "x";
  MediaLibrary library(TestOptions());
  OpenStep failed = OpenStep::kNone;
  ASSERT_EQ(kLibraryOk, library.BeginOpen());
  EXPECT_NE(kLibraryOk, library.FinishOpen(file, nullptr, &failed));
  EXPECT_EQ(OpenStep::kDatabase, failed);
  EXPECT_FALSE(library.is_open());

  ASSERT_EQ(kLibraryOk, library.Open(dir, nullptr));
  MediaLibrary second(TestOptions());
  ASSERT_EQ(kLibraryOk, second.BeginOpen());
  EXPECT_EQ(kLibraryDatabaseOpen, second.FinishOpen(dir, nullptr, &failed));
  EXPECT_EQ(kLibraryOk, library.Close());
  EXPECT_EQ(kLibraryOk, second.Open(dir, nullptr));
}

// Two plays with a commit between them: the index entry is replaced twice,
// and the first replacement's block must not reach a free list that
// overlaps a live block (the deep check's 0x90020408).
TEST(MediaLibraryTest, ACommitBetweenTwoPlaysLeavesTheIndexSound) {
  const std::string dir = ScratchDir();
  {
    MediaLibrary library(TestOptions());
    ASSERT_EQ(kLibraryOk, library.Open(dir, nullptr));
    ASSERT_EQ(kLibraryOk, library.AddTrack("a.mp3", MakeTrack("A")));
    const TrackChange play = [](TrackRecord& t) {
      TrackRecord_RecordPlay(&t);
      return 0u;
    };
    ASSERT_EQ(kLibraryOk, library.ModifyStatistics("a.mp3", play));
    ASSERT_EQ(kLibraryOk, library.Commit());
    ASSERT_EQ(kLibraryOk, library.ModifyStatistics("a.mp3", play));
  }
  CheckReport report;
  EXPECT_EQ(kLibraryOk, Maintenance_Check(PL_MLDB_CHECK_DEFAULT, dir, nullptr, &report))
      << std::hex << report.index_fault;
}

// A writer that cannot have the write lock within 10 ms gets kManagerBusy
// and changes nothing; statistics are written without the lock.
TEST(MediaLibraryTest, ASecondWriterIsBusyWhileTheFirstHoldsTheLock) {
  MediaLibrary library(TestOptions());
  ASSERT_EQ(kLibraryOk, library.Open(ScratchDir(), nullptr));
  ASSERT_EQ(kLibraryOk, library.AddTrack("a.mp3", MakeTrack("A")));
  std::promise<void> holding, release;
  std::thread holder([&] {
    library.Write([&](MediaLibrary::Writer&) {
      holding.set_value();
      release.get_future().wait();
      return kLibraryOk;
    });
  });
  holding.get_future().wait();
  EXPECT_EQ(kManagerBusy, library.AddTrack("b.mp3", MakeTrack("B")));
  EXPECT_EQ(kLibraryOk, library.ModifyStatistics("a.mp3", [](TrackRecord& t) {
    TrackRecord_SetRating(&t, 4);
    return 0u;
  }));
  release.set_value();
  holder.join();
  TrackRecord b;
  EXPECT_EQ(kStoreNotFound, library.FindTrack("b.mp3", &b));
  EXPECT_EQ(kLibraryOk, library.AddTrack("b.mp3", MakeTrack("B")));
}

// Close waits for the operations of other threads; operations that start
// meanwhile find the library closing.
TEST(MediaLibraryTest, CloseWaitsForAnotherThreadsWrite) {
  MediaLibrary library(TestOptions());
  ASSERT_EQ(kLibraryOk, library.Open(ScratchDir(), nullptr));
  std::promise<void> writing, release;
  std::future<LibraryStatus> write = std::async(std::launch::async, [&] {
    return library.Write([&](MediaLibrary::Writer& w) {
      writing.set_value();
      release.get_future().wait();
      return w.AddTrack("late.mp3", MakeTrack("Late"));
    });
  });
  writing.get_future().wait();
  std::future<LibraryStatus> close = std::async(std::launch::async, [&] { return library.Close(); });
  while (!library.closing()) std::this_thread::yield();
  EXPECT_EQ(kManagerNotOpen, library.AddTrack("other.mp3", MakeTrack("Other")));
  release.set_value();
  EXPECT_EQ(kLibraryOk, write.get());
  EXPECT_EQ(kLibraryOk, close.get());
}

// Events carry the host's answers; a sink may call back into the library,
// and one that closes it from inside an open is told it is busy.
class RecordingEvents : public LibraryEvents {
 public:
  explicit RecordingEvents(MediaLibrary* library) : library_(library) {}
  void PreAddFile(std::string_view name, int32_t* add_ok, int32_t* go_on) override {
    log += "pre:" + std::string(name) + ";";
    *add_ok = name != "skip.mp3";
    *go_on = name != "stop.mp3";
  }
  void PostAddFile(std::string_view name) override {
    log += "post:" + std::string(name) + ";";
    // Back into the library from the event: it is not locked.
    EXPECT_EQ(kLibraryOk, library_->AddTrack("from-event.mp3", MakeTrack("E")));
  }
  void PreUpdateFile(std::string_view, int32_t*, int32_t*) override {}
  void PostUpdateFile(std::string_view) override {}
  void RebuildIndexProgress(int32_t count, int32_t, int32_t* abort) override {
    log += "progress:" + std::to_string(count) + ";";
    close_status = library_->Close();
    *abort = 0;
  }
  std::string log;
  LibraryStatus close_status = kLibraryOk;

 private:
  MediaLibrary* library_;
};

TEST(MediaLibraryTest, EventsCarryTheHostsAnswersAndMayCallBack) {
  auto library = std::make_shared<MediaLibrary>(TestOptions());
  auto events = std::make_shared<RecordingEvents>(library.get());
  library->SetEvents(events);
  ASSERT_EQ(kLibraryOk, library->Open(ScratchDir(), nullptr));
  EXPECT_TRUE(library->AskBeforeAdd("a.mp3").add);
  EXPECT_FALSE(library->AskBeforeAdd("skip.mp3").add);
  EXPECT_FALSE(library->AskBeforeAdd("stop.mp3").go_on);
  library->ReportAdded("a.mp3");
  EXPECT_EQ("pre:a.mp3;pre:skip.mp3;pre:stop.mp3;post:a.mp3;", events->log);
  TrackRecord from_event;
  EXPECT_EQ(kLibraryOk, library->FindTrack("from-event.mp3", &from_event));
}

// The automatic steps of an attached maintenance object: the marker exists
// exactly while the library is open, and an index found damaged at open is
// rebuilt with progress events, from which the sink cannot close the
// library that is being opened.
TEST(MediaLibraryTest, MaintenanceStepsRunAtOpenAndClose) {
  const std::string dir = ScratchDir();
  {
    MediaLibrary filler(TestOptions());
    ASSERT_EQ(kLibraryOk, filler.Open(dir, nullptr));
    for (int i = 0; i < 150; ++i) {
      ASSERT_EQ(kLibraryOk, filler.AddTrack("t" + std::to_string(i) + ".mp3", MakeTrack("T")));
    }
  }
  std::filesystem::remove(testing::PathIn(dir, LibraryFile::kIndex));

  auto library = std::make_shared<MediaLibrary>(TestOptions());
  auto events = std::make_shared<RecordingEvents>(library.get());
  library->SetEvents(events);
  auto settings = std::make_shared<MaintenanceSettings>();
  settings->set_options(PL_MLDB_AUTO_CHECK_AT_INIT | PL_MLDB_AUTO_REINDEX | PL_MLDB_AUTO_MANAGE_INIT_FLAG);
  EXPECT_EQ(nullptr, library->AttachMaintenance(settings));
  EXPECT_EQ(library, settings->attached());

  ASSERT_EQ(kLibraryOk, library->Open(dir, nullptr));
  EXPECT_EQ("progress:100;", events->log);
  EXPECT_EQ(kManagerBusy, events->close_status);
  bool marker = false;
  ASSERT_EQ(kLibraryOk, Maintenance_MarkerExists(dir, &marker));
  EXPECT_TRUE(marker);
  EXPECT_EQ(kLibraryOk, library->Close());
  ASSERT_EQ(kLibraryOk, Maintenance_MarkerExists(dir, &marker));
  EXPECT_FALSE(marker);

  library->DetachMaintenance(settings.get());
  EXPECT_EQ(nullptr, settings->attached());
  EXPECT_EQ(nullptr, library->maintenance());
}

}  // namespace
}  // namespace tavo
