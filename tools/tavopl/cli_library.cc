// scan, ls, played, rate: the library itself.
#include <unistd.h>

#include <memory>

#include "cli.h"
#include "json_writer.h"
#include "read_objects.h"
#include "scan.h"
#include "status.h"
#include "table_writer.h"

namespace tavo::tool {
namespace {

struct ScanArgs {
  std::vector<std::string> folders;
  bool no_recurse = false;
  bool quiet = false;
};

void RunScan(const GlobalOptions& options, const ScanArgs& args) {
  Session session(options);
  const ProgressStyle style = args.quiet              ? ProgressStyle::kNone
                              : ::isatty(STDOUT_FILENO) ? ProgressStyle::kBar
                                                        : ProgressStyle::kLines;
  const ScanSummary summary = ScanFolders(session, args.folders, !args.no_recurse, style, stdout);
  PrintScanSummary(summary, stdout);
}

struct LsArgs {
  std::string artist, album, keyword, year, plays, rating;
  long genre = 0;
  long limit = 0;
  bool json = false;
};

// Fills the search filter; ranges are checked before the database opens.
void Fill(ITavoPL2FindData* find, const LsArgs& a) {
  auto text = [&](HRESULT (STDMETHODCALLTYPE ITavoPL2FindData::*put)(BSTR), const std::string& value,
                  const char* what) {
    if (value.empty()) return;
    Text t(value);
    Check((find->*put)(t.get()), std::string("setting the ") + what + " filter");
  };
  text(&ITavoPL2FindData::put_Artist, a.artist, "artist");
  text(&ITavoPL2FindData::put_Album, a.album, "album");
  text(&ITavoPL2FindData::put_Keyword, a.keyword, "keyword");
  if (a.genre) Check(find->put_GenreId(a.genre), "setting the genre filter");
  struct RangeFilter {
    const std::string& text;
    const char* what;
    HRESULT (STDMETHODCALLTYPE ITavoPL2FindData::*put)(LONG, LONG, LONG);
  };
  for (const RangeFilter& f : {RangeFilter{a.year, "year", &ITavoPL2FindData::put_YearRange},
                               RangeFilter{a.plays, "plays", &ITavoPL2FindData::put_PlaysRange},
                               RangeFilter{a.rating, "rating", &ITavoPL2FindData::put_RatingRange}}) {
    if (f.text.empty()) continue;
    const Range r = ParseRange(f.text, f.what);
    Check((find->*f.put)(1, r.from, r.to), std::string("setting the ") + f.what + " filter");
  }
}

void RunLs(const GlobalOptions& options, const LsArgs& args) {
  for (const std::string* r : {&args.year, &args.plays, &args.rating})
    if (!r->empty()) ParseRange(*r, "filter");
  Session session(options);
  session.Open(DatabaseNeed::kExisting);
  Ref<ITavoPL2FindData> find;
  Check(CreateByProgId(u"TavoPlaylist2Pelta.TavoPL2FindData", &find), "creating the search filter");
  Fill(find.get(), args);
  Check(session.manager()->FindOpen(find.get()), "searching the library");
  std::vector<Track> tracks;
  for (;;) {
    if (args.limit > 0 && static_cast<long>(tracks.size()) >= args.limit) break;
    Ref<IDispatch> disc;
    const HRESULT hr = session.manager()->FindNext(find.get(), disc.out());
    if (hr == E_NOTIMPL) Check(hr, "searching the library");
    if (FAILED(hr) || !disc) break;  // no more matches
    tracks.push_back(TrackOfDisc(disc.get()));
  }
  session.manager()->FindClose(find.get());
  Emit("", args.json ? WriteJson(tracks) : WriteTrackTable(tracks));
}

// Stops with kExitNotFound unless the library has a record for `file`.
LONG PlaysOf(Session& session, const std::string& file) {
  Text name(file);
  LONG plays = 0;
  const HRESULT hr = session.manager()->StatsGetPlays(name.get(), &plays);
  if (hr == E_NOTIMPL) Check(hr, "reading the plays of " + file);
  if (FAILED(hr)) Stop(kExitNotFound, file + " is not in the library");
  return plays;
}

void RunPlayed(const GlobalOptions& options, const std::string& file) {
  Session session(options);
  session.Open(DatabaseNeed::kExisting);
  PlaysOf(session, file);
  Text name(file);
  Check(session.manager()->StatsPlayedFile(name.get()), "recording a play of " + file);
  std::printf("%s: played %d times\n", file.c_str(), static_cast<int>(PlaysOf(session, file)));
}

void RunRate(const GlobalOptions& options, const std::string& file, long rating) {
  Session session(options);
  session.Open(DatabaseNeed::kExisting);
  PlaysOf(session, file);
  Text name(file);
  Check(session.manager()->StatsRateFile(name.get(), static_cast<LONG>(rating)), "rating " + file);
  LONG stored = 0;
  Check(session.manager()->StatsGetRating(name.get(), &stored), "reading the rating of " + file);
  std::printf("%s: rated %d\n", file.c_str(), static_cast<int>(stored));
}

}  // namespace

void AddLibraryCommands(Cli cli) {
  const GlobalOptions& options = cli.options;

  auto scan = std::make_shared<ScanArgs>();
  CLI::App* s = cli.app.add_subcommand("scan", "Add the audio files (.mp3, .wma, .aac) below folders to the library");
  s->add_option("FOLDER", scan->folders, "folders to scan")->required();
  s->add_flag("--no-recurse", scan->no_recurse, "scan only the folders themselves, not their subfolders");
  s->add_flag("-q,--quiet", scan->quiet, "no progress, only the summary");
  s->callback([&options, scan] { RunScan(options, *scan); });

  auto ls = std::make_shared<LsArgs>();
  CLI::App* l = cli.app.add_subcommand("ls", "List the library's tracks, all or those matching filters");
  l->add_option("--artist", ls->artist, "artist, whole name, any case");
  l->add_option("--album", ls->album, "album, whole title, any case");
  l->add_option("--keyword", ls->keyword, "keyword, any case");
  l->add_option("--genre", ls->genre, "genre id (see 'tavopl lists genres')")->check(CLI::PositiveNumber);
  l->add_option("--year", ls->year, "release year N or range N-M");
  l->add_option("--plays", ls->plays, "play count N or range N-M");
  l->add_option("--rating", ls->rating, "rating N or range N-M");
  l->add_option("--limit", ls->limit, "at most this many tracks")->check(CLI::PositiveNumber);
  l->add_flag("--json", ls->json, "JSON instead of a table");
  l->callback([&options, ls] { RunLs(options, *ls); });

  auto played_file = std::make_shared<std::string>();
  CLI::App* p = cli.app.add_subcommand("played", "Record that a file was played (plays + 1, last played = now)");
  p->add_option("FILE", *played_file, "the file (its path or file name)")->required();
  p->callback([&options, played_file] { RunPlayed(options, *played_file); });

  auto rate_file = std::make_shared<std::string>();
  auto rating = std::make_shared<long>(0);
  CLI::App* r = cli.app.add_subcommand("rate", "Set a file's rating");
  r->add_option("FILE", *rate_file, "the file (its path or file name)")->required();
  r->add_option("RATING", *rating, "the rating, 0 to 100")->required()->check(CLI::Range(0, 100));
  r->callback([&options, rate_file, rating] { RunRate(options, *rate_file, *rating); });
}

}  // namespace tavo::tool
