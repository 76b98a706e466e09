// check, reindex, backup DIR, restore DIR: the database files, through the
// component's maintenance object, with the manager closed.
#include <filesystem>
#include <memory>

#include "cli.h"
#include "status.h"

namespace tavo::tool {
namespace {

namespace fs = std::filesystem;

// The component appends file names to a folder as given.
std::string FolderText(const std::string& dir) { return dir.empty() || dir.back() == '/' ? dir : dir + "/"; }

std::string RequireDatabase(const GlobalOptions& options) {
  const std::string db = DatabaseDir(options);
  if (!DatabaseExists(db)) Stop(kExitNoDatabase, NoDatabaseMessage(db));
  return db;
}

void RunCheck(const GlobalOptions& options, bool quick) {
  const std::string db = RequireDatabase(options);
  Session session(options);
  Ref<ITavoMLDBManager> m = session.NewMaintenance();
  Text dir(FolderText(db));
  const LONG flags = quick ? (PL_MLDB_CHECK_BASE | PL_MLDB_CHECK_INDEX) : PL_MLDB_CHECK_DEFAULT;
  Check(m->CheckDB(flags, dir.get()), "checking the database in " + db);
  std::printf("database in %s: record file and index are sound\n", db.c_str());
}

void RunReindex(const GlobalOptions& options) {
  const std::string db = RequireDatabase(options);
  Session session(options);
  Ref<ITavoMLDBManager> m = session.NewMaintenance();
  Text dir(FolderText(db));
  Check(m->RebuildDBIndex(0, dir.get()), "rebuilding the index in " + db);
  std::printf("index of the database in %s rebuilt\n", db.c_str());
}

// Makes `dir` when missing; stops with kExitCannotWrite when it cannot.
void MakeFolder(const std::string& dir, const char* what) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (!fs::is_directory(dir, ec)) Stop(kExitCannotWrite, std::string("cannot create the ") + what + " " + dir);
}

using CopyMethod = HRESULT (STDMETHODCALLTYPE ITavoMLDBManager::*)(LONG, BSTR, BSTR);

// Backup and restore: the same copy of the record file and the index, in
// one direction or the other.
void CopyDatabase(const GlobalOptions& options, const std::string& db, const std::string& other, CopyMethod copy,
                  LONG flags, const std::string& done) {
  Session session(options);
  Ref<ITavoMLDBManager> m = session.NewMaintenance();
  Text dir(FolderText(db)), other_dir(FolderText(other));
  const HRESULT hr = (m.get()->*copy)(flags, dir.get(), other_dir.get());
  if (hr == E_FAIL) Stop(kExitCannotWrite, "cannot copy the database files between " + db + " and " + other);
  Check(hr, "copying the database files between " + db + " and " + other);
  std::printf("%s\n", done.c_str());
}

void RunBackup(const GlobalOptions& options, const std::string& target) {
  const std::string db = RequireDatabase(options);
  MakeFolder(target, "backup folder");
  CopyDatabase(options, db, target, &ITavoMLDBManager::BackupDBFiles, PL_MLDB_BACKUP_BASE | PL_MLDB_BACKUP_INDEX,
               "database in " + db + " backed up to " + target);
}

void RunRestore(const GlobalOptions& options, const std::string& source) {
  for (const char* file : {"tavoplm.pdb", "tavoplm.idx"}) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::path(source) / file, ec))
      Stop(kExitNotFound, "no backup in " + source + " (" + file + " is missing)");
  }
  const std::string db = DatabaseDir(options);
  MakeFolder(db, "database folder");
  CopyDatabase(options, db, source, &ITavoMLDBManager::RestoreDBFiles, PL_MLDB_RESTORE_BASE | PL_MLDB_RESTORE_INDEX,
               "database in " + db + " restored from " + source);
}

}  // namespace

void AddMaintenanceCommands(Cli cli) {
  const GlobalOptions& options = cli.options;
  auto quick = std::make_shared<bool>(false);
  CLI::App* c = cli.app.add_subcommand("check", "Verify the database's record file and index");
  c->add_flag("--quick", *quick, "skip the thorough walk");
  c->callback([&options, quick] { RunCheck(options, *quick); });

  cli.app.add_subcommand("reindex", "Rebuild the index from the record file")->callback([&options] {
    RunReindex(options);
  });

  auto backup = std::make_shared<std::string>();
  CLI::App* b = cli.app.add_subcommand("backup", "Copy the database files into a folder");
  b->add_option("DIR", *backup, "the backup folder (made when missing)")->required();
  b->callback([&options, backup] { RunBackup(options, *backup); });

  auto restore = std::make_shared<std::string>();
  CLI::App* r = cli.app.add_subcommand("restore", "Copy the database files back from a backup folder");
  r->add_option("DIR", *restore, "the backup folder")->required();
  r->callback([&options, restore] { RunRestore(options, *restore); });
}

}  // namespace tavo::tool
