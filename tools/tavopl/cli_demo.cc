// demo: the whole road on the demo data (see demo.h).
#include <memory>

#include "cli.h"
#include "demo.h"

namespace tavo::tool {

void AddDemoCommand(Cli cli) {
  auto demo = std::make_shared<DemoOptions>();
  CLI::App* d = cli.app.add_subcommand(
      "demo", "Write the demo music, scan it into a fresh database and print a playlist of three sample presets");
  d->add_option("--registry", demo->registry, "registry file (default: a fresh temporary one)");
  d->add_option("--music", demo->music_dir, "where the demo music is written")->capture_default_str();
  d->add_option("--demo-db", demo->db_dir, "the demo's database folder, emptied first")->capture_default_str();
  d->callback([demo] {
    if (int rc = RunDemo(*demo)) Stop(static_cast<ExitCode>(rc), "the demo failed");
  });
}

}  // namespace tavo::tool
