// Database maintenance: check outcomes by flag, index rebuild with progress
// and abort, copies that never destroy what they replace, the marker file
// and the automatic steps.
#include <fstream>
#include <sstream>

#include "support/env/fault_env.h"
#include "storage/maintenance/automatic_steps.h"
#include "storage/maintenance/database_check.h"
#include "storage/maintenance/database_files.h"
#include "storage/maintenance/index_maintenance.h"
#include "storage/maintenance/marker_file.h"
#include "library_test_util.h"
#include "tavo/enums.h"

namespace tavo::testing {
namespace {

namespace fs = std::filesystem;

void FillLibrary(const std::string& dir, int tracks, int first = 0) {
  LibraryDatabasePtr db = OpenDb(dir);
  for (int i = first; i < first + tracks; ++i) {
    TrackRecord t = MakeTrack("Title " + std::to_string(i), "Artist " + std::to_string(i % 7), "Album");
    ASSERT_EQ(LibraryDatabase_AddTrack(db.get(), "/m/" + std::to_string(i) + ".mp3", t), kLibraryOk);
  }
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Makes the header unreadable: the quick check sees it.
void SpoilHeader(const std::string& path) {
  std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
  f.seekp(0);
  f << "XXXX";
}

// Takes one entry out of the index: only the deep check sees it.
void DropIndexEntry(const std::string& dir, uint32_t id) {
  StoreFilePtr index;
  ASSERT_EQ(LibraryFile_Open(LibraryFile::kIndex, PathIn(dir, LibraryFile::kIndex), kStoreReadWrite, nullptr, &index),
            kLibraryOk);
  StoreRecordPtr entry;
  ASSERT_EQ(FindRecord(index.get(), kIndexKeyId, &id, 4, &entry), kLibraryOk);
  ASSERT_EQ(Store_Remove(index.get(), entry.get()), kStoreOk);
}

TEST(MaintenanceCheck, OutcomesFollowTheFlags) {
  enum Damage { kNone, kIndex, kBase, kBoth };
  struct Case {
    Damage damage;
    uint32_t flags;
    LibraryStatus outcome;
  };
  const Case cases[] = {
      {kNone, 0, kLibraryOk},
      {kNone, PL_MLDB_CHECK_DEFAULT, kLibraryOk},
      {kIndex, 0, kCheckIndexCorrupt},  // 0 checks both
      {kIndex, PL_MLDB_CHECK_BASE, kLibraryOk},
      {kIndex, PL_MLDB_CHECK_INDEX, kCheckIndexCorrupt},
      {kBase, PL_MLDB_CHECK_BASE, kCheckBaseCorrupt},
      {kBase, PL_MLDB_CHECK_DEFAULT, kCheckBaseCorrupt},
      {kBase, PL_MLDB_CHECK_INDEX, kLibraryOk},
      {kBoth, PL_MLDB_CHECK_INDEX, kCheckIndexCorrupt},  // the record file is not looked at
      {kBoth, PL_MLDB_CHECK_BASE | PL_MLDB_CHECK_INDEX, kCheckBothCorrupt},
      {kBoth, PL_MLDB_CHECK_DEEP, kLibraryOk},  // neither file asked for
  };
  for (const Case& c : cases) {
    const std::string dir = ScratchDir(std::to_string(&c - cases));
    FillLibrary(dir, 20);
    if (c.damage == kIndex || c.damage == kBoth) SpoilHeader(PathIn(dir, LibraryFile::kIndex));
    if (c.damage == kBase || c.damage == kBoth) SpoilHeader(PathIn(dir, LibraryFile::kRecords));
    EXPECT_EQ(Maintenance_Check(c.flags, dir), c.outcome) << "case " << (&c - cases);
  }
}

TEST(MaintenanceCheck, MissingFilesAndWhatOnlyTheDeepCheckSees) {
  const std::string dir = ScratchDir();
  EXPECT_EQ(Maintenance_Check(PL_MLDB_CHECK_DEFAULT, dir), kLibraryOk);  // a new folder has nothing to verify
  FillLibrary(dir, 30);
  EXPECT_EQ(Maintenance_Check(PL_MLDB_CHECK_DEFAULT, dir), kLibraryOk);

  DropIndexEntry(dir, 7);  // as if the track had been added without its entry
  EXPECT_EQ(Maintenance_Check(PL_MLDB_CHECK_BASE | PL_MLDB_CHECK_INDEX, dir), kLibraryOk);
  CheckReport report;
  EXPECT_EQ(Maintenance_Check(PL_MLDB_CHECK_DEFAULT, dir, nullptr, &report), kCheckIndexCorrupt);
  EXPECT_EQ(report.index_fault, kStoreIndexMismatch);
  EXPECT_EQ(Maintenance_RebuildIndex(0, dir), kLibraryOk);
  EXPECT_EQ(Maintenance_Check(PL_MLDB_CHECK_DEFAULT, dir), kLibraryOk);

  fs::remove(PathIn(dir, LibraryFile::kIndex));  // an index missing beside its records
  EXPECT_EQ(Maintenance_Check(PL_MLDB_CHECK_INDEX, dir), kCheckIndexCorrupt);
}

TEST(MaintenanceCheck, DeepCheckReportsRecordsThatDoNotDecode) {
  const std::string dir = ScratchDir();
  FillLibrary(dir, 3);
  {
    StoreFilePtr records;
    ASSERT_EQ(LibraryFile_Open(LibraryFile::kRecords, PathIn(dir, LibraryFile::kRecords), kStoreReadWrite, nullptr,
                               &records),
              kLibraryOk);
    std::vector<uint8_t> data(kTrackFixedBytes + 5, 0);
    data[107] = 5;  // metadata length 5: "<REC " does not parse
    std::memcpy(data.data() + kTrackFixedBytes, "<REC ", 5);
    const std::string name = std::string("broken.mp3") + '\0';
    const uint32_t id = 50;
    const KeyValue keys[] = {{name.data(), static_cast<uint32_t>(name.size())}, {&id, 4}, {}, {}};
    StoreRecordPtr record;
    ASSERT_EQ(BuildRecord(records.get(), data.data(), static_cast<uint32_t>(data.size()), keys, 4, &record),
              kLibraryOk);
    ASSERT_EQ(Store_Insert(records.get(), record.get()), kStoreOk);
  }
  EXPECT_EQ(Maintenance_Check(PL_MLDB_CHECK_BASE, dir), kLibraryOk);
  CheckReport report;
  EXPECT_EQ(Maintenance_Check(PL_MLDB_CHECK_BASE | PL_MLDB_CHECK_DEEP, dir, nullptr, &report), kCheckBaseCorrupt);
  EXPECT_EQ(report.undecodable_records, 1u);
  // The index of the decodable tracks is sound; a rebuild skips the record.
  RebuildReport rebuild;
  EXPECT_EQ(Maintenance_RebuildIndex(0, dir, {}, nullptr, &rebuild), kLibraryOk);
  EXPECT_EQ(rebuild.skipped, 1u);
  EXPECT_EQ(Maintenance_Check(PL_MLDB_CHECK_INDEX | PL_MLDB_CHECK_DEEP, dir), kLibraryOk);
}

TEST(MaintenanceRebuild, ReportsEveryHundredRecordsAndStopsOnAbort) {
  const std::string dir = ScratchDir();
  FillLibrary(dir, 250);
  std::vector<std::pair<uint32_t, uint32_t>> reports;
  RebuildReport report;
  ASSERT_EQ(Maintenance_RebuildIndex(0, dir, [&](uint32_t count, uint32_t total, bool*) {
              reports.emplace_back(count, total);
            }, nullptr, &report),
            kLibraryOk);
  EXPECT_EQ(reports, (std::vector<std::pair<uint32_t, uint32_t>>{{100, 0}, {200, 0}}));
  EXPECT_EQ(report.entries, 250u);

  DropIndexEntry(dir, 3);
  const std::string before = ReadFile(PathIn(dir, LibraryFile::kIndex));
  int calls = 0;
  ASSERT_EQ(Maintenance_RebuildIndex(0, dir, [&](uint32_t, uint32_t, bool* abort) { *abort = ++calls == 1; }, nullptr,
                                     &report),
            kLibraryOk);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(report.aborted);
  EXPECT_EQ(report.records, 100u);
  EXPECT_EQ(ReadFile(PathIn(dir, LibraryFile::kIndex)), before);  // the old index stays
  for (const auto& entry : fs::directory_iterator(dir)) {
    EXPECT_EQ(entry.path().string().find(".new"), std::string::npos) << entry.path();  // no half index left
  }
  EXPECT_EQ(Maintenance_RebuildIndex(0, dir + "/none"), kStoreNotFound);
}

TEST(MaintenanceRebuild, RecordsTakeTheIdentifierOfTheirTag) {
  const std::string dir = ScratchDir();
  {
    LibraryDatabasePtr db = OpenDb(dir);
    ASSERT_EQ(LibraryDatabase_AddTrack(db.get(), "holder.mp3", MakeTrack("h")), kLibraryOk);  // id 1
    ASSERT_EQ(LibraryDatabase_AddTrack(db.get(), "tagged.mp3", MakeTrack("t")), kLibraryOk);  // id 2
    ASSERT_EQ(LibraryDatabase_AddTrack(db.get(), "blocked.mp3", MakeTrack("b")), kLibraryOk);  // id 3
    // Tags learned later, written without a new add: they name 42 and 1.
    for (auto [name, tag] : {std::pair{"tagged.mp3", "3CD3PX42"}, std::pair{"blocked.mp3", "3CD3PY1"}}) {
      ASSERT_EQ(LibraryDatabase_ModifyTrack(db.get(), name, [&, tag = tag](TrackRecord& t) {
                  t.tag_id = tag;
                  return 0u;
                }),
                kLibraryOk);
    }
  }
  RebuildReport report;
  ASSERT_EQ(Maintenance_RebuildIndex(0, dir, {}, nullptr, &report), kLibraryOk);
  EXPECT_EQ(report.rekeyed, 1u);
  LibraryDatabasePtr db = OpenDb(dir);
  EXPECT_EQ(Tracks(db.get()),
            (std::map<uint32_t, std::string>{{1, "holder.mp3"}, {3, "blocked.mp3"}, {42, "tagged.mp3"}}));
  EXPECT_TRUE(IndexMatchesTracks(db.get()));
}

TEST(MaintenanceFiles, OpenDatabasesAreLeftAlone) {
  const std::string dir = ScratchDir(), backup = ScratchDir("-backup");
  FillLibrary(dir, 3);
  LibraryDatabasePtr db = OpenDb(dir);
  EXPECT_EQ(Maintenance_RebuildIndex(0, dir), kLibraryDatabaseOpen);
  EXPECT_EQ(Maintenance_RebuildIndex(0, dir + "/."), kLibraryDatabaseOpen);  // the same folder by another name
  EXPECT_EQ(Maintenance_Delete(PL_MLDB_DELETE_BASE, dir), kLibraryDatabaseOpen);
  EXPECT_EQ(Maintenance_Backup(PL_MLDB_BACKUP_BASE | PL_MLDB_BACKUP_INDEX, dir, backup), kLibraryOk);
  EXPECT_EQ(Maintenance_Restore(PL_MLDB_RESTORE_BASE, dir, backup), kLibraryDatabaseOpen);
  EXPECT_TRUE(fs::exists(PathIn(dir, LibraryFile::kRecords)));
  ASSERT_EQ(LibraryDatabase_Close(db.get()), kLibraryOk);
  EXPECT_EQ(Maintenance_Delete(PL_MLDB_DELETE_BASE | PL_MLDB_DELETE_INDEX, dir), kLibraryOk);
  EXPECT_FALSE(fs::exists(PathIn(dir, LibraryFile::kRecords)));
}

TEST(MaintenanceFiles, BackupAndRestoreRoundTrip) {
  const std::string dir = ScratchDir(), backup = ScratchDir("-backup");
  FillLibrary(dir, 5);
  ASSERT_EQ(Maintenance_Backup(PL_MLDB_BACKUP_BASE | PL_MLDB_BACKUP_INDEX, dir, backup), kLibraryOk);
  FillLibrary(dir, 5, 100);
  ASSERT_EQ(Maintenance_Restore(PL_MLDB_RESTORE_BASE | PL_MLDB_RESTORE_INDEX, dir, backup), kLibraryOk);
  {
    LibraryDatabasePtr db = OpenDb(dir);
    EXPECT_EQ(Tracks(db.get()).size(), 5u);
    EXPECT_TRUE(IndexMatchesTracks(db.get()));
  }
  // Restoring the records alone drops the index that belongs to other records.
  FillLibrary(dir, 5, 100);
  ASSERT_EQ(Maintenance_Restore(PL_MLDB_RESTORE_BASE, dir, backup), kLibraryOk);
  EXPECT_FALSE(fs::exists(PathIn(dir, LibraryFile::kIndex)));
  LibraryDatabasePtr db = OpenDb(dir);
  EXPECT_EQ(Tracks(db.get()).size(), 5u);
  EXPECT_TRUE(IndexMatchesTracks(db.get()));
}

// A copy, a restore or a rebuild that returned has replaced its target for
// good: the rename is durable when the power goes right after it.
TEST(MaintenanceFiles, ReplacedFilesSurviveAPowerLoss) {
  const std::string dir = ScratchDir(), backup = ScratchDir("-backup");
  FillLibrary(dir, 30);
  const std::string base = ReadFile(PathIn(dir, LibraryFile::kRecords));
  FaultEnv env(Env::Default());
  const auto lose_power = [&] { env.LosePower(FaultEnv::PowerLoss::kDropUnsynced, 1); };
  ASSERT_EQ(Maintenance_Backup(PL_MLDB_BACKUP_BASE | PL_MLDB_BACKUP_INDEX, dir, backup, &env), kLibraryOk);
  lose_power();
  EXPECT_EQ(ReadFile(PathIn(backup, LibraryFile::kRecords)), base);

  FillLibrary(dir, 5, 100);
  ASSERT_EQ(Maintenance_Restore(PL_MLDB_RESTORE_BASE | PL_MLDB_RESTORE_INDEX, dir, backup, &env), kLibraryOk);
  lose_power();
  EXPECT_EQ(ReadFile(PathIn(dir, LibraryFile::kRecords)), base);

  DropIndexEntry(dir, 3);
  ASSERT_EQ(Maintenance_RebuildIndex(0, dir, nullptr, &env), kLibraryOk);
  lose_power();
  LibraryDatabasePtr db = OpenDb(dir);
  EXPECT_EQ(Tracks(db.get()).size(), 30u);
  EXPECT_TRUE(IndexMatchesTracks(db.get()));
}

TEST(MaintenanceFiles, FailedCopiesDestroyNothing) {
  const std::string dir = ScratchDir(), backup = ScratchDir("-backup");
  FillLibrary(dir, 40);
  ASSERT_EQ(Maintenance_Backup(PL_MLDB_BACKUP_BASE | PL_MLDB_BACKUP_INDEX, dir, backup), kLibraryOk);
  const std::string saved_base = ReadFile(PathIn(backup, LibraryFile::kRecords));
  FillLibrary(dir, 40, 100);
  const std::string live_base = ReadFile(PathIn(dir, LibraryFile::kRecords));
  const std::string live_index = ReadFile(PathIn(dir, LibraryFile::kIndex));
  FaultEnv env(Env::Default());
  for (uint64_t budget : {uint64_t{0}, uint64_t{4096}, live_index.size() + 100}) {
    env.FailWritesAfter(budget);
    EXPECT_EQ(Maintenance_Backup(PL_MLDB_BACKUP_BASE | PL_MLDB_BACKUP_INDEX, dir, backup, &env),
              kLibraryFileOperationFailed);
    env.FailWritesAfter(budget);
    EXPECT_EQ(Maintenance_Restore(PL_MLDB_RESTORE_BASE | PL_MLDB_RESTORE_INDEX, dir, backup, &env),
              kLibraryFileOperationFailed);
    env.Heal();
    EXPECT_EQ(ReadFile(PathIn(backup, LibraryFile::kRecords)), saved_base) << budget;
    EXPECT_EQ(ReadFile(PathIn(dir, LibraryFile::kRecords)), live_base) << budget;
    EXPECT_EQ(ReadFile(PathIn(dir, LibraryFile::kIndex)), live_index) << budget;
  }
  for (const auto& entry : fs::directory_iterator(dir)) {
    EXPECT_EQ(entry.path().string().find(".copy"), std::string::npos) << entry.path();
  }
  EXPECT_EQ(Maintenance_Backup(PL_MLDB_BACKUP_BASE, dir, dir + "/missing"), kLibraryFileOperationFailed);
}

TEST(MaintenanceFiles, DeleteCountsMissingFilesAsDeleted) {
  const std::string dir = ScratchDir();
  EXPECT_EQ(Maintenance_Delete(PL_MLDB_DELETE_BASE | PL_MLDB_DELETE_INDEX, dir), kLibraryOk);
  FillLibrary(dir, 2);
  EXPECT_EQ(Maintenance_Delete(PL_MLDB_DELETE_BACKUPS | PL_MLDB_DELETE_OTHER, dir), kLibraryOk);
  EXPECT_TRUE(fs::exists(PathIn(dir, LibraryFile::kIndex)));
  EXPECT_EQ(Maintenance_Delete(PL_MLDB_DELETE_INDEX, dir), kLibraryOk);
  EXPECT_FALSE(fs::exists(PathIn(dir, LibraryFile::kIndex)));
  EXPECT_TRUE(fs::exists(PathIn(dir, LibraryFile::kRecords)));
}

TEST(MaintenanceMarker, SetWinsOverClear) {
  const std::string dir = ScratchDir();
  bool exists = true;
  ASSERT_EQ(Maintenance_MarkerExists(dir, &exists), kLibraryOk);
  EXPECT_FALSE(exists);
  EXPECT_EQ(Maintenance_ModifyMarker(PL_MLDB_SET_INIT_FLAG | PL_MLDB_CLEAR_INIT_FLAG, dir), kLibraryOk);
  ASSERT_EQ(Maintenance_MarkerExists(dir, &exists), kLibraryOk);
  EXPECT_TRUE(exists);
  EXPECT_EQ(fs::file_size(dir + "/tavoplm.chk"), 0u);
  EXPECT_EQ(Maintenance_ModifyMarker(0, dir), kLibraryOk);
  EXPECT_TRUE(fs::exists(dir + "/tavoplm.chk"));
  EXPECT_EQ(Maintenance_ModifyMarker(PL_MLDB_CLEAR_INIT_FLAG, dir), kLibraryOk);
  EXPECT_EQ(Maintenance_ModifyMarker(PL_MLDB_CLEAR_INIT_FLAG, dir), kLibraryOk);
  EXPECT_FALSE(fs::exists(dir + "/tavoplm.chk"));
  EXPECT_EQ(Maintenance_ModifyMarker(PL_MLDB_SET_INIT_FLAG, dir + "/missing"), kLibraryFileOperationFailed);
}

TEST(MaintenanceAutomatic, StepsFollowTheOptions) {
  const std::string dir = ScratchDir();
  // A brand-new folder passes the check at every initialization.
  EXPECT_EQ(Maintenance_BeforeOpen(PL_MLDB_AUTO_CHECK_AT_INIT, dir), kLibraryOk);
  FillLibrary(dir, 120);
  SpoilHeader(PathIn(dir, LibraryFile::kIndex));
  EXPECT_EQ(Maintenance_BeforeOpen(0, dir), kLibraryOk);                     // no automatic bit
  EXPECT_EQ(Maintenance_BeforeOpen(PL_MLDB_AUTO_DEFAULT, dir), kLibraryOk);  // no marker: no check
  EXPECT_EQ(Maintenance_BeforeOpen(PL_MLDB_AUTO_CHECK_AT_INIT, dir), kCheckIndexCorrupt);

  // The marker is present while a manager has the database open.
  EXPECT_EQ(Maintenance_AfterOpen(PL_MLDB_AUTO_DEFAULT, dir), kLibraryOk);
  EXPECT_TRUE(fs::exists(dir + "/tavoplm.chk"));
  EXPECT_EQ(Maintenance_BeforeOpen(PL_MLDB_AUTO_DEFAULT, dir), kCheckIndexCorrupt);
  int progress = 0;
  EXPECT_EQ(Maintenance_BeforeOpen(PL_MLDB_AUTO_DEFAULT | PL_MLDB_AUTO_REINDEX, dir,
                                   [&](uint32_t, uint32_t, bool*) { ++progress; }),
            kLibraryOk);
  EXPECT_EQ(progress, 1);
  EXPECT_EQ(Maintenance_Check(PL_MLDB_CHECK_DEFAULT, dir), kLibraryOk);
  EXPECT_EQ(Maintenance_AtShutdown(PL_MLDB_AUTO_DEFAULT, dir), kLibraryOk);
  EXPECT_FALSE(fs::exists(dir + "/tavoplm.chk"));

  // A damaged record file is reported, never rebuilt over.
  SpoilHeader(PathIn(dir, LibraryFile::kRecords));
  EXPECT_EQ(Maintenance_BeforeOpen(PL_MLDB_AUTO_CHECK_AT_INIT | PL_MLDB_AUTO_REINDEX, dir), kCheckBaseCorrupt);
  EXPECT_EQ(Maintenance_AfterOpen(PL_MLDB_AUTO_CHECK_AT_INIT, dir), kLibraryOk);
  EXPECT_FALSE(fs::exists(dir + "/tavoplm.chk"));
}

}  // namespace
}  // namespace tavo::testing
