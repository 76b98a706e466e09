#include "session.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "atomic_file.h"
#include "paths.h"
#include "platform/automation/registry.h"
#include "status.h"

namespace tavo::tool {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSamplePresets = "samplepresets.xml";
// The compressed companion the component may keep instead of the XML.
constexpr const char* kSamplePresetsCompressed = "samplepresets.bml";

// Language tags a person types, and the component's codes for them.
struct LanguageTag {
  const char* tag;
  const char* code;
};
constexpr LanguageTag kLanguageTags[] = {
    {"en", "1"}, {"de", "30"}, {"fr", "26"}, {"nl", "19"}, {"zh", "13"}, {"zh-cn", "13"},
};

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

// Registers `m` unless the registry already names this file for `clsid`.
void EnsureRegistered(const Module& m, const CLSID& clsid) {
  const auto server = RegistryQuery("HKEY_CLASSES_ROOT\\CLSID\\" + GuidText(clsid) + "\\InprocServer32");
  std::error_code ec;
  if (server && fs::equivalent(*server, m.file, ec)) return;
  Check(m.register_server(), "registering " + m.file);
}

void LoadModule(Module* m, const std::string& file) {
  if (!m->Load(file)) Stop(kExitFailed, "cannot load " + file);
}

}  // namespace

bool DatabaseExists(const std::string& dir) { return Exists(fs::path(dir) / "tavoplm.pdb"); }

std::string DatabaseDir(const GlobalOptions& options) {
  return options.db_dir.empty() ? DefaultDatabaseDir() : options.db_dir;
}

std::string NoDatabaseMessage(const std::string& dir) {
  return "no database in " + dir + " (create one with 'tavopl scan FOLDER')";
}

std::string LanguageCode(const std::string& language) {
  if (language.empty()) return language;
  if (language.find_first_not_of("0123456789") == std::string::npos) return language;
  std::string lower;
  for (char c : language) lower.push_back(c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  for (const LanguageTag& t : kLanguageTags)
    if (lower == t.tag || lower.rfind(std::string(t.tag) + "-", 0) == 0) return t.code;
  Stop(kExitUsage, "unknown language '" + language + "': give the component's decimal language code or en, de, fr, nl, zh");
}

Session::Session(const GlobalOptions& options)
    : db_dir_(DatabaseDir(options)),
      language_(LanguageCode(options.language)) {
  LoadModule(&component_, ComponentFile());
  LoadModule(&control_module_, ControlFile());
  EnsureRegistered(component_, CLSID_TavoPeltaPlaylist2Mgr);
  EnsureRegistered(control_module_, CLSID_TAVOControl);
  Check(CreateByProgId(u"TAVOControl.TAVOControl", &control_), "creating the control TAVOControl.TAVOControl");
  if (const std::string catalog = InstalledCatalogDir(); !catalog.empty()) {
    Text path(catalog);
    Check(control_->put_CatalogPath(path.get()), "setting the control's catalog " + catalog);
  }
  Check(CreateByProgId(u"TavoPlaylist2Pelta.TavoPeltaPlaylist2Mgr", &manager_), "creating the manager");
}

Session::~Session() {
  Disconnect();
  if (manager_) manager_->Shutdown();
  if (maintenance_ && manager_) maintenance_->Detach(manager_.get());
}

void Session::Disconnect() {
  if (events_) events_->Unadvise(cookie_);
  events_.Reset();
}

void Session::SeedPresets() const {
  const fs::path dir(db_dir_);
  if (Exists(dir / kSamplePresets) || Exists(dir / kSamplePresetsCompressed)) return;
  const std::string source = SamplePresetsFile();
  std::ifstream in(source, std::ios::binary);
  if (!in) return;  // presets are optional: the lists stay empty
  std::ostringstream text;
  text << in.rdbuf();
  std::string error;
  if (!WriteFileAtomically((dir / kSamplePresets).string(), text.str(), &error)) Stop(kExitCannotWrite, error);
}

void Session::Open(DatabaseNeed need, IDispatch* sink) {
  std::error_code ec;
  const bool folder = fs::is_directory(db_dir_, ec);
  if (need == DatabaseNeed::kExisting && (!folder || !DatabaseExists(db_dir_)))
    Stop(kExitNoDatabase, NoDatabaseMessage(db_dir_));
  if (!folder) {
    if (Exists(db_dir_)) Stop(kExitCannotWrite, "database folder " + db_dir_ + " is not a folder");
    fs::create_directories(db_dir_, ec);
    if (ec) Stop(kExitCannotWrite, "cannot create the database folder " + db_dir_ + ": " + ec.message());
  }
  SeedPresets();
  const bool existed = DatabaseExists(db_dir_);

  // Check the files after an unclean shutdown (the marker file is left),
  // rebuild a damaged index, keep the marker while the database is open.
  Check(CreateByProgId(u"TavoPlaylist2Pelta.TavoMLDBManager", &maintenance_), "creating the maintenance object");
  Text no_backup;
  maintenance_->SetOptions(PL_MLDB_AUTO_DEFAULT | PL_MLDB_AUTO_REINDEX, no_backup.get());
  Check(maintenance_->Attach(manager_.get()), "attaching the maintenance object");

  if (sink) {
    Ref<IConnectionPointContainer> container;
    Check(manager_->QueryInterface(IID_IConnectionPointContainer, container.out_void()), "the manager's events");
    Check(container->FindConnectionPoint(DIID_DPlaylist2Events, events_.out()), "the manager's events");
    Check(events_->Advise(sink, &cookie_), "connecting to the manager's events");
  }

  // The component appends file names to the folder as given.
  std::string folder_path = db_dir_;
  if (folder_path.back() != '/') folder_path.push_back('/');
  Text path(folder_path);
  const HRESULT hr = manager_->Initialize(control_.get(), path.get());
  if (hr == E_FAIL && existed)
    Stop(kExitDamagedDatabase, "cannot open the database in " + db_dir_ +
                                   ": its files may be damaged (see 'tavopl check' and 'tavopl restore DIR')");
  if (hr == 2) Stop(kExitNoDatabase, "database folder " + db_dir_ + " is not a usable folder");
  Check(hr, "opening the database in " + db_dir_);
  initialized_ = true;
}

Ref<ITavoMLDBManager> Session::NewMaintenance() const {
  Ref<ITavoMLDBManager> m;
  Check(CreateByProgId(u"TavoPlaylist2Pelta.TavoMLDBManager", &m), "creating the maintenance object");
  return m;
}

Ref<ITavoPLInfo> Session::NewInfo() const {
  Ref<ITavoPLInfo> info;
  Check(CreateByProgId(u"TavoPlaylist2Pelta.TavoPLInfo", &info), "creating the descriptions object");
  Text code(language_);
  info->put_Language(code.get());
  return info;
}

}  // namespace tavo::tool
