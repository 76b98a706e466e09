#include "playlists.h"

#include <unistd.h>

#include <filesystem>
#include <vector>

#include "status.h"

namespace tavo::tool {
namespace {

namespace fs = std::filesystem;

using ListGetter = HRESULT (STDMETHODCALLTYPE ITavoPlaylist2Mgr::*)(ITavoPLGeneratorList**);

struct GeneratorListKind {
  const char* label;
  ListGetter get;
};
constexpr GeneratorListKind kGeneratorLists[] = {
    {"preset", &ITavoPlaylist2Mgr::GetPresetPlaylistGenList},
    {"user", &ITavoPlaylist2Mgr::GetUserPlaylistGenList},
};

// The list, or an empty reference when the manager has none loaded (E_FAIL).
Ref<ITavoPLGeneratorList> ListOf(Session& session, const GeneratorListKind& kind) {
  Ref<ITavoPLGeneratorList> list;
  const HRESULT hr = (session.manager()->*kind.get)(list.out());
  if (hr == E_FAIL) return {};
  Check(hr, std::string("reading the ") + kind.label + " generators");
  return list;
}

template <class Visit>
void ForEachGenerator(Session& session, Visit visit) {
  for (const GeneratorListKind& kind : kGeneratorLists) {
    Ref<ITavoPLGeneratorList> list = ListOf(session, kind);
    if (!list) continue;
    SHORT count = 0;
    Check(list->get_Count(&count), std::string("reading the ") + kind.label + " generators");
    for (LONG i = 0; i < count; ++i) {  // generator lists count from 0
      Ref<ITavoPLGenerator> g;
      if (SUCCEEDED(list->GetPLGenerator(i, g.out())) && g) visit(kind.label, std::move(g));
    }
  }
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

std::vector<GeneratorSummary> AllGenerators(Session& session) {
  std::vector<GeneratorSummary> all;
  ForEachGenerator(session, [&](const char* label, Ref<ITavoPLGenerator> g) { all.push_back(SummaryOf(g.get(), label)); });
  return all;
}

Ref<ITavoPLGenerator> FindGenerator(Session& session, const std::string& name) {
  Ref<ITavoPLGenerator> exact, folded;
  ForEachGenerator(session, [&](const char*, Ref<ITavoPLGenerator> g) {
    Text text;
    if (FAILED(g->get_Name(text.out()))) return;
    if (!exact && text.utf8() == name) exact = std::move(g);
    else if (!folded && EqualNoCase(text.utf8(), name)) folded = std::move(g);
  });
  if (exact) return exact;
  if (folded) return folded;
  Stop(kExitNotFound, "no preset named '" + name + "' (see 'tavopl presets')");
}

namespace {

// The selection as the manager takes it: an array of names (may be empty).
VARIANT SelectionArray(const std::vector<std::string>& selection) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_ARRAY | VT_BSTR;
  v.parray = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(selection.size()));
  if (v.parray == nullptr) Stop(kExitFailed, "out of memory");
  for (LONG i = 0; i < static_cast<LONG>(selection.size()); ++i) {
    Text name(selection[i]);
    if (FAILED(SafeArrayPutElement(v.parray, &i, name.get()))) {  // the array keeps a copy
      VariantClear(&v);
      Stop(kExitFailed, "out of memory");
    }
  }
  return v;
}

}  // namespace

Playlist Generate(Session& session, ITavoPLGenerator* generator, std::optional<long> seed,
                  const std::vector<std::string>& selection) {
  // The generator is a view of the loaded list; tavopl never saves the
  // lists, so the seed changes nothing on disk.
  if (seed) Check(generator->put_Seed(static_cast<LONG>(*seed)), "setting the seed");
  GeneratorSummary summary = SummaryOf(generator, "");
  LONG selection_based = 0;
  generator->get_IsSelectionBased(&selection_based);
  if (selection_based && selection.empty())
    Stop(kExitUsage, "'" + summary.name + "' starts from a selection: name its files with --select FILE");
  VARIANT names = SelectionArray(selection);
  Ref<ITavoPL2ResultList> results;
  const HRESULT hr = session.manager()->CreateDynPlaylist(generator, names, results.out());
  VariantClear(&names);
  Check(hr, "generating '" + summary.name + "'");
  if (!results) Stop(kExitFailed, "generating '" + summary.name + "': no result list");
  GenreNames genres(session.manager());
  Playlist playlist{summary.name, summary.description, TracksOfResults(results.get(), &genres)};
  // A result carries no year; the track's disc data does.
  for (Track& track : playlist.tracks) {
    Ref<IDispatch> disc;
    if (SUCCEEDED(session.manager()->GetFileData(Text(track.path).get(), disc.out())) && disc) {
      track.year = TrackOfDisc(disc.get()).year;
    }
  }
  return playlist;
}

PresetFolder::PresetFolder(const std::string& db_dir, const std::string& preset_file) {
  std::error_code ec;
  if (!fs::is_regular_file(preset_file, ec)) Stop(kExitNotFound, "preset file " + preset_file + " does not exist");
  std::string pattern = (fs::temp_directory_path(ec) / "tavopl-presets-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (::mkdtemp(buffer.data()) == nullptr) Stop(kExitCannotWrite, "cannot make a temporary folder");
  path_ = buffer.data();
  const fs::path db = fs::absolute(db_dir, ec);
  for (const auto& entry : fs::directory_iterator(db, ec)) {
    if (entry.path().stem() == "tavoplm") fs::create_symlink(entry.path(), fs::path(path_) / entry.path().filename(), ec);
  }
  fs::copy_file(preset_file, fs::path(path_) / "samplepresets.xml", ec);
  if (ec) Stop(kExitFailed, "cannot read the preset file " + preset_file + ": " + ec.message());
}

PresetFolder::~PresetFolder() {
  std::error_code ec;
  fs::remove_all(path_, ec);  // the links only, never their targets
}

}  // namespace tavo::tool
