// presets, generate, correlates: playlists from generators.
#include <memory>
#include <optional>

#include "cli.h"
#include "json_writer.h"
#include "m3u_writer.h"
#include "playlists.h"
#include "status.h"
#include "table_writer.h"
#include "xspf_writer.h"

namespace tavo::tool {
namespace {

struct FormatWriter {
  Format format;
  const char* extension;  // chosen by -o FILE when no format flag is given
  std::string (*write)(const Playlist&);
};

std::string JsonOf(const Playlist& p) { return WriteJson(p); }

constexpr FormatWriter kWriters[] = {
    {Format::kM3u, ".m3u8", &WriteM3u8}, {Format::kM3u, ".m3u", &WriteM3u8}, {Format::kXspf, ".xspf", &WriteXspf},
    {Format::kJson, ".json", &JsonOf},   {Format::kTable, "", &WritePlaylistTable},
};

const FormatWriter& WriterFor(Format format) {
  for (const FormatWriter& w : kWriters)
    if (w.format == format) return w;
  return kWriters[std::size(kWriters) - 1];
}

Format FormatOfFile(const std::string& path) {
  for (const FormatWriter& w : kWriters) {
    const std::string ext = w.extension;
    if (!ext.empty() && path.size() > ext.size() && path.compare(path.size() - ext.size(), ext.size(), ext) == 0)
      return w.format;
  }
  return Format::kTable;
}

struct GenerateArgs {
  std::string name, file, output;
  std::vector<std::string> select;
  std::optional<long> seed;
  bool m3u = false, xspf = false, json = false;
};

void RunGenerate(const GlobalOptions& options, const GenerateArgs& a) {
  if (a.name.empty() && a.file.empty()) Stop(kExitUsage, "generate needs a preset NAME or --file PRESETS.xml");
  if (!a.output.empty()) RequireWritable(a.output);
  Format format = a.m3u ? Format::kM3u : a.xspf ? Format::kXspf : a.json ? Format::kJson : Format::kTable;
  if (!a.m3u && !a.xspf && !a.json && !a.output.empty()) format = FormatOfFile(a.output);

  GlobalOptions effective = options;
  std::optional<PresetFolder> view;
  if (!a.file.empty()) {
    const std::string db = DatabaseDir(options);
    if (!DatabaseExists(db)) Stop(kExitNoDatabase, NoDatabaseMessage(db));
    view.emplace(db, a.file);
    effective.db_dir = view->path();
  }
  Session session(effective);
  session.Open(DatabaseNeed::kExisting);
  Ref<ITavoPLGenerator> generator;
  if (!a.name.empty()) {
    generator = FindGenerator(session, a.name);
  } else {
    const std::vector<GeneratorSummary> all = AllGenerators(session);
    if (all.size() != 1)
      Stop(kExitUsage, a.file + " holds " + std::to_string(all.size()) + " generators: name one");
    generator = FindGenerator(session, all.front().name);
  }
  const Playlist playlist = Generate(session, generator.get(), a.seed, a.select);
  Emit(a.output, WriterFor(format).write(playlist));
}

struct PresetsArgs {
  bool json = false;
  bool criteria = false;
};

std::string CriterionText(ITavoPLInfo* info, const CriterionSummary& c) {
  Text field, op;
  info->GetCriteriaFieldDescription(c.field, field.out());
  info->GetCriteriaOpDescription(c.op, op.out());
  std::string params = c.text1.empty() ? std::to_string(c.param1) + (c.param2 ? " " + std::to_string(c.param2) : "")
                                       : "\"" + c.text1 + "\"";
  return field.utf8() + " " + op.utf8() + " " + params;
}

void RunPresets(const GlobalOptions& options, const PresetsArgs& a) {
  Session session(options);
  session.Open(DatabaseNeed::kCreate);
  const std::vector<GeneratorSummary> all = AllGenerators(session);
  Ref<ITavoPLInfo> info = session.NewInfo();
  if (a.json) {
    nlohmann::json list = nlohmann::json::array();
    for (const GeneratorSummary& g : all) {
      nlohmann::json criteria = nlohmann::json::array();
      for (const CriterionSummary& c : g.criteria) criteria.push_back(CriterionText(info.get(), c));
      list.push_back({{"list", g.list}, {"name", g.name}, {"description", g.description}, {"songs", g.songs},
                      {"minutes", g.minutes}, {"kilobytes", g.kilobytes}, {"criteria", criteria}});
    }
    Emit("", JsonText(list));
    return;
  }
  std::vector<Row> rows;
  for (const GeneratorSummary& g : all) {
    rows.push_back({g.list, g.name, g.songs ? std::to_string(g.songs) : "", g.minutes ? std::to_string(g.minutes) : "",
                    g.description});
    if (a.criteria)
      for (const CriterionSummary& c : g.criteria) rows.push_back({"", "", "", "", "  " + CriterionText(info.get(), c)});
  }
  Emit("", WriteTable({{"list", 6}, {"name", 32}, {"songs", 5, true}, {"min", 4, true}, {"description", 70}}, rows));
}

}  // namespace

void AddPlaylistCommands(Cli cli) {
  const GlobalOptions& options = cli.options;

  auto presets = std::make_shared<PresetsArgs>();
  CLI::App* p = cli.app.add_subcommand("presets", "List the generators: the shipped presets and the user's own");
  p->add_flag("--criteria", presets->criteria, "show each generator's criteria (in the --lang language)");
  p->add_flag("--json", presets->json, "JSON instead of a table");
  p->callback([&options, presets] { RunPresets(options, *presets); });

  auto gen = std::make_shared<GenerateArgs>();
  CLI::App* g = cli.app.add_subcommand("generate", "Generate a playlist from a preset");
  g->add_option("NAME", gen->name, "the generator's name (see 'tavopl presets')");
  g->add_option("--file", gen->file, "take the generator from this preset file instead")->option_text("PRESETS.xml");
  g->add_option("--seed", gen->seed, "random seed in place of the generator's own");
  g->add_option("--select", gen->select, "files a selection-based generator starts from (repeatable)")
      ->option_text("FILE ...");
  CLI::Option* m3u = g->add_flag("--m3u", gen->m3u, "M3U8 playlist with #EXTINF lines");
  CLI::Option* xspf = g->add_flag("--xspf", gen->xspf, "XSPF 1.0 playlist");
  CLI::Option* json = g->add_flag("--json", gen->json, "JSON");
  m3u->excludes(xspf)->excludes(json);
  xspf->excludes(json);
  g->add_option("-o,--output", gen->output,
                "write to this file (whole or not at all); the extension .m3u8, .m3u, .xspf or .json picks the "
                "format when no format flag is given")
      ->option_text("FILE");
  g->callback([&options, gen] { RunGenerate(options, *gen); });

  auto force = std::make_shared<bool>(false);
  CLI::App* c = cli.app.add_subcommand("correlates", "Download the genre correlate tables through the control");
  c->add_flag("--force", *force, "download even when the tables are up to date");
  c->callback([&options, force] {
    Session session(options);
    session.Open(DatabaseNeed::kCreate);
    Check(session.manager()->DownloadCorrelates(*force ? 1 : 0), "downloading the correlates");
    std::printf("correlates are up to date in %s\n", session.db_dir().c_str());
  });
}

}  // namespace tavo::tool
