#include "demo.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "demo_writer.h"
#include "host.h"
#include "playlists.h"
#include "status.h"
#include "scan.h"
#include "table_writer.h"
#include "platform/automation/registry.h"
#include "tavo/control.h"

namespace tavo::tool {
namespace {

namespace fs = std::filesystem;

void Heading(const char* title) { std::printf("\n== %s\n", title); }

// The component's classes as the public headers list them.
struct PublicClass {
  const char* name;
  const CLSID* clsid;
};
constexpr PublicClass kPublicClasses[] = {
#define TAVO_CLASS(name, ...) {#name, &CLSID_##name},
#include "tavo/classes.def"
#undef TAVO_CLASS
};

int ShowTimestamp() {
  Ref<ITavoPL2Timestamp> stamp;
  if (HRESULT hr = CreateByProgId(u"TavoPlaylist.TavoPL2Timestamp", &stamp); FAILED(hr))
    return Fail("creating TavoPlaylist.TavoPL2Timestamp", hr);
  stamp->SetToNow();
  Text now;
  stamp->GetAsString(now.out());
  std::printf("TavoPlaylist.TavoPL2Timestamp: now (UTC) is %s\n", now.utf8().c_str());
  return 0;
}

void ShowClassTable(const Module& m) {
  std::printf("%-3s %-24s %-40s %-44s %s\n", "#", "class", "CLSID", "ProgID (registry)", "creatable");
  int n = 0;
  for (const PublicClass& c : kPublicClasses) {
    const std::string clsid = GuidText(*c.clsid);
    const auto progid = RegistryQuery("HKEY_CLASSES_ROOT\\CLSID\\" + clsid + "\\ProgID");
    IUnknown* object = nullptr;
    const HRESULT hr = m.get_object(*c.clsid, IID_IUnknown, reinterpret_cast<void**>(&object));
    if (object) object->Release();
    char status[32];
    std::snprintf(status, sizeof status, SUCCEEDED(hr) ? "yes" : "not yet (0x%08X)", static_cast<unsigned>(hr));
    std::printf("%-3d %-24s %-40s %-44s %s\n", ++n, c.name, clsid.c_str(), progid.value_or("-").c_str(), status);
  }
}

int ShowDescriptions(ITavoPLInfo* info) {
  for (const char* language : {"", "30"}) {
    Text code(language), field, op, unit;
    info->put_Language(code.get());
    info->GetCriteriaFieldDescription(txpl_crit_field_track_artist_name, field.out());
    info->GetCriteriaOpDescription(txpl_crit_op_date_inlast, op.out());
    info->GetCriteriaFieldUnits(txpl_crit_field_file_bitrate, unit.out());
    std::printf("Language \"%s\": field 12 \"%s\", operator 26 \"%s\", units of field 7 \"%s\"\n", language,
                field.utf8().c_str(), op.utf8().c_str(), unit.utf8().c_str());
  }
  Text english;
  info->put_Language(english.get());
  return 0;
}

// Builds "Eighties rock" the way a host's playlist editor would.
int ShowGenerator(ITavoPLInfo* info) {
  Ref<ITavoPLGenerator> generator;
  if (HRESULT hr = CreateByProgId(u"TavoPlaylist2Pelta.TavoPLGenerator", &generator); FAILED(hr))
    return Fail("creating TavoPlaylist2Pelta.TavoPLGenerator", hr);
  Ref<ITavoPLGenCriteriaList> criteria;
  generator->get_CriteriaList(criteria.out());
  struct Wanted {
    LONG field, op, p1, p2;
    const char* text;
  };
  for (const Wanted& w : {Wanted{txpl_crit_field_track_releaseyear, txpl_crit_op_num_rang, 1980, 1989, ""},
                          Wanted{txpl_crit_field_track_artist_name, txpl_crit_op_str_ncont, 0, 0, "Karaoke"}}) {
    Ref<ITavoPLGenCriteria> c;
    if (HRESULT hr = CreateByProgId(u"TavoPlaylist2Pelta.TavoPLGenCriteria", &c); FAILED(hr))
      return Fail("creating TavoPlaylist2Pelta.TavoPLGenCriteria", hr);
    c->put_Field(w.field);
    c->put_Operation(w.op);
    c->put_IntParam1(w.p1);
    c->put_IntParam2(w.p2);
    Text text(w.text);
    c->put_StrParam1(text.get());
    if (HRESULT hr = criteria->AddCriteria(0, c.get()); FAILED(hr)) return Fail("AddCriteria", hr);
  }
  // A generator a host makes has its record from its first criterion on.
  Text name("Eighties rock");
  generator->put_Name(name.get());
  generator->put_MatchMode(txpl_matchmode_match_all);
  generator->put_LimitSongs(25);
  generator->put_LimitMinutes(90);
  LONG count = 0, songs = 0, minutes = 0;
  criteria->get_Count(&count);
  generator->get_LimitSongs(&songs);
  generator->get_LimitMinutes(&minutes);
  std::printf("generator \"%s\": match all, at most %d songs and %d minutes, %d criteria:\n", name.utf8().c_str(),
              songs, minutes, count);
  for (LONG i = 1; i <= count; ++i) {
    Ref<ITavoPLGenCriteria> c;
    if (FAILED(criteria->GetCriteria(i, c.out()))) continue;
    LONG field = 0, op = 0, p1 = 0, p2 = 0, order = 0;
    c->get_Field(&field);
    c->get_Operation(&op);
    c->get_IntParam1(&p1);
    c->get_IntParam2(&p2);
    c->get_Order(&order);
    Text field_text, op_text, str;
    info->GetCriteriaFieldDescription(field, field_text.out());
    info->GetCriteriaOpDescription(op, op_text.out());
    c->get_StrParam1(str.out());
    std::printf("  %d. %s %s %s\n", order, field_text.utf8().c_str(), op_text.utf8().c_str(),
                str.utf8().empty() ? (std::to_string(p1) + " and " + std::to_string(p2)).c_str()
                                   : ("\"" + str.utf8() + "\"").c_str());
  }
  Ref<ITavoPLGenerator> copy;
  generator->Clone(copy.out());
  Text copy_name;
  if (copy) copy->get_Name(copy_name.out());
  std::printf("its clone is named \"%s\"\n", copy_name.utf8().c_str());
  return 0;
}

std::string TagText(ITAVOTag* tag, HRESULT (STDMETHODCALLTYPE ITAVOTag::*getter)(BSTR*)) {
  Text value;
  return SUCCEEDED((tag->*getter)(value.out())) ? value.utf8() : std::string("-");
}

int ShowMusic(const std::string& dir) {
  std::string error;
  const int written = WriteDemoLibrary(dir, &error);
  if (written < 0) return std::fprintf(stderr, "tavopl: writing the demo library: %s\n", error.c_str()), 1;
  std::printf("wrote %d demo files below %s\n", written, dir.c_str());

  Ref<ITAVOControl> control;
  if (HRESULT hr = CreateByProgId(u"TAVOControl.TAVOControl", &control); FAILED(hr))
    return Fail("creating TAVOControl.TAVOControl", hr);
  Text version;
  control->get_Version(version.out());
  std::printf("control: %s\n", version.utf8().c_str());

  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir))
    if (entry.is_regular_file() && entry.path().extension() == ".mp3") files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  std::printf("%-28s %-22s %-5s %-16s %-32s %5s %6s\n", "title", "artist", "year", "genre", "tag identifier",
              "kbps", "secs");
  for (size_t i = 0; i < files.size(); i += std::max<size_t>(1, files.size() / 8)) {
    Ref<IDispatch> reader;
    Text path(files[i]);
    if (HRESULT hr = control->CreateTagReader(path.get(), reader.out()); FAILED(hr))
      return Fail("CreateTagReader(" + files[i] + ")", hr);
    Ref<ITAVOTag> tag;
    Ref<ITAVOMP3Reader> stream;
    if (HRESULT hr = reader->QueryInterface(IID_ITAVOTag, tag.out_void()); FAILED(hr))
      return Fail("the reader's tag", hr);
    if (HRESULT hr = reader->QueryInterface(IID_ITAVOMP3Reader, stream.out_void()); FAILED(hr))
      return Fail("the reader's stream properties", hr);
    LONG kbps = 0, milliseconds = 0;
    stream->get_Bitrate(&kbps);
    stream->get_Duration(&milliseconds);
    std::printf("%-28.28s %-22.22s %-5s %-16.16s %-32s %5d %6.2f\n", TagText(tag.get(), &ITAVOTag::get_Title).c_str(),
                TagText(tag.get(), &ITAVOTag::get_Artist).c_str(), TagText(tag.get(), &ITAVOTag::get_Year).c_str(),
                TagText(tag.get(), &ITAVOTag::get_GenreText).c_str(), TagText(tag.get(), &ITAVOTag::get_TagID).c_str(),
                kbps, milliseconds / 1000.0);
  }
  return 0;
}

constexpr size_t kDemoRows = 20;

// Scans the demo music into a fresh database and prints a playlist of each
// demo preset, the way 'tavopl scan' and 'tavopl generate' do.
int ShowPlaylists(const DemoOptions& options) {
  Heading("the demo music scanned into a fresh database");
  std::error_code ec;
  fs::remove_all(options.db_dir, ec);
  GlobalOptions global;
  global.db_dir = options.db_dir;
  Session session(global);
  const ScanSummary summary = ScanFolders(session, {options.music_dir}, true, ProgressStyle::kNone, stdout);
  PrintScanSummary(summary, stdout, 3);
  // "Similar to" needs the genre correlate tables (from the offline catalog).
  Check(session.manager()->DownloadCorrelates(0), "downloading the correlates");
  std::printf("genre correlates downloaded\n");
  for (const char* preset : kDemoPresets) {
    Heading((std::string("playlist \"") + preset + "\"").c_str());
    Playlist playlist = Generate(session, FindGenerator(session, preset).get(), std::nullopt);
    // The demo songs last seconds, so a time-limited preset takes them all:
    // show the head of each playlist and say how long it is.
    const size_t length = playlist.tracks.size();
    if (length > kDemoRows) playlist.tracks.resize(kDemoRows);
    std::string table = WritePlaylistTable(playlist);
    if (length > kDemoRows) {
      table.erase(table.rfind('\n', table.size() - 2) + 1);  // the count line
      table += "... and " + std::to_string(length - kDemoRows) + " more: " + std::to_string(length) + " tracks\n";
    }
    std::fputs(table.c_str(), stdout);
  }
  return 0;
}

}  // namespace

int RunDemo(const DemoOptions& options) {
  std::string registry = options.registry;
  if (registry.empty()) {
    registry = (fs::temp_directory_path() / ("tavopl-demo-" + std::to_string(::getpid()) + ".reg")).string();
    fs::remove(registry);
  }
  ::setenv("TAVO_REGISTRY", registry.c_str(), 1);

  Module component, control;
  if (!component.Load(ComponentFile()) || !control.Load(ControlFile())) return 1;
  if (component.get_version == nullptr || component.get_object == nullptr)
    return std::fprintf(stderr, "tavopl: %s lacks DllGetVersion or DllGetObject\n", component.file.c_str()), 1;
  DLLVERSIONINFO version{sizeof(DLLVERSIONINFO), 0, 0, 0, 0};
  component.get_version(&version);
  Heading("module");
  std::printf("component %s, version %u.%u.%u\ncontrol   %s\nregistry  %s\n", component.file.c_str(),
              version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber, control.file.c_str(),
              registry.c_str());
  if (HRESULT hr = component.register_server(); FAILED(hr)) return Fail("DllRegisterServer of the component", hr);
  if (HRESULT hr = control.register_server(); FAILED(hr)) return Fail("DllRegisterServer of the control", hr);
  std::printf("both registered into the registry above\n");

  Heading("class table");
  ShowClassTable(component);

  Heading("objects by ProgID");
  if (int rc = ShowTimestamp()) return rc;
  Ref<ITavoPLInfo> info;
  if (HRESULT hr = CreateByProgId(u"TavoPlaylist2Pelta.TavoPLInfo", &info); FAILED(hr))
    return Fail("creating TavoPlaylist2Pelta.TavoPLInfo", hr);
  if (int rc = ShowDescriptions(info.get())) return rc;

  Heading("a playlist generator");
  if (int rc = ShowGenerator(info.get())) return rc;

  Heading("the demo music library through the control");
  if (int rc = ShowMusic(options.music_dir)) return rc;
  return ShowPlaylists(options);
}

}  // namespace tavo::tool
