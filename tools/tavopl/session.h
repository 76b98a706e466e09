// One run of tavopl against the component, the way any host does it: load
// both modules and make sure the registry names them, create the control
// and the manager by ProgID, attach a maintenance object (which checks the
// database after an unclean shutdown and repairs a damaged index), and
// initialize the manager with the database folder. The destructor shuts the
// manager down, so the marker file is removed and every write committed.
#ifndef TAVO_TOOLS_TAVOPL_SESSION_H_
#define TAVO_TOOLS_TAVOPL_SESSION_H_

#include <string>

#include "host.h"
#include "tavo/control.h"
#include "tavo/tavo.h"

namespace tavo::tool {

// The options every command takes.
struct GlobalOptions {
  std::string db_dir;    // the database folder
  std::string language;  // "" (English), a component language code or a tag ("de")
};

// What a command needs of the database folder.
enum class DatabaseNeed {
  kExisting,  // a missing folder or database stops with kExitNoDatabase
  kCreate,    // the folder and an empty database are made when missing
};

// "tavoplm.pdb" exists in `dir`.
bool DatabaseExists(const std::string& dir);
// The database folder the options name: --db, else the default.
std::string DatabaseDir(const GlobalOptions& options);
// "no database in DIR (create one with ...)".
std::string NoDatabaseMessage(const std::string& dir);

class Session {
 public:
  explicit Session(const GlobalOptions& options);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Initializes the manager on the database folder; `sink` (may be null)
  // receives the manager's events from then on.
  void Open(DatabaseNeed need, IDispatch* sink = nullptr);

  // Stops the events to the sink given to Open; the sink may go after this.
  void Disconnect();

  ITavoPlaylist2Mgr* manager() const { return manager_.get(); }
  ITAVOControl* control() const { return control_.get(); }
  const std::string& db_dir() const { return db_dir_; }
  const std::string& language() const { return language_; }

  // A new maintenance object, not attached (check, reindex, backup, restore).
  Ref<ITavoMLDBManager> NewMaintenance() const;
  // A new descriptions object with the session's language.
  Ref<ITavoPLInfo> NewInfo() const;

 private:
  void SeedPresets() const;

  std::string db_dir_;
  std::string language_;
  Module component_;
  Module control_module_;
  Ref<ITAVOControl> control_;
  Ref<ITavoPlaylist2Mgr> manager_;
  Ref<ITavoMLDBManager> maintenance_;
  Ref<IConnectionPoint> events_;
  DWORD cookie_ = 0;
  bool initialized_ = false;
};

// The component's language code for `language`: decimal codes pass
// through, a few language tags ("de", "fr", ...) are translated; anything
// else stops with kExitUsage.
std::string LanguageCode(const std::string& language);

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_SESSION_H_
