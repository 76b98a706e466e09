// tavopl: a host of the component for people and scripts. Each command is
// described by `tavopl COMMAND --help`; the commands live in cli_*.cc.
//
// Every failure ends the run with one line on stderr ("tavopl: ...") and
// an exit code of exit_codes.h; output files are written whole or not at
// all. The modules are found through TAVO_MODULE and TAVO_CONTROL, else
// beside an installed tavopl, else the build's own copies; objects are made
// through the registry ($TAVO_REGISTRY, else the per-user one), where
// tavopl registers both modules when they are not registered yet.
#include <cstdio>
#include <exception>
#include <string>

#include "cli.h"
#include "exit_codes.h"
#include "paths.h"

using namespace tavo::tool;

namespace {

// The command word of the command line, skipping the global options and
// their values; "" when there is none.
std::string CommandWord(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--db" || arg == "--lang") ++i;
    else if (arg.empty() || arg[0] != '-') return arg;
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"tavopl: keep a library of audio files and make playlists from it", "tavopl"};
  app.require_subcommand(1);
  app.fallthrough();  // --db and --lang may follow the command
  app.footer(ExitCodeHelp());
  GlobalOptions options;
  app.add_option("--db", options.db_dir, "database folder (default " + DefaultDatabaseDir() + ")")
      ->option_text("DIR");
  app.add_option("--lang", options.language,
                 "language of descriptions: a component language code or en, de, fr, nl, zh")
      ->option_text("CODE");

  const Cli cli{app, options};
  AddLibraryCommands(cli);
  AddPlaylistCommands(cli);
  AddListCommands(cli);
  AddMaintenanceCommands(cli);
  AddDemoCommand(cli);
  AddRegistrationCommands(cli);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    const std::string word = CommandWord(argc, argv);
    bool known = false;
    for (const CLI::App* sub : app.get_subcommands({})) known = known || sub->get_name() == word;
    if (!word.empty() && !known)
      std::fprintf(stderr, "tavopl: unknown command '%s' (see 'tavopl --help')\n", word.c_str());
    else
      std::fprintf(stderr, "tavopl: %s (see 'tavopl --help')\n", e.what());
    return kExitUsage;
  } catch (const ToolError& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "tavopl: %s\n", e.message.c_str());
    return e.code;
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "tavopl: %s\n", e.what());
    return kExitFailed;
  }
  return kExitOk;
}
