// register, unregister: both modules in the registry ($TAVO_REGISTRY, else
// the per-user one). Other commands register by themselves when needed.
#include "cli.h"
#include "platform/automation/registry.h"
#include "status.h"

namespace tavo::tool {
namespace {

void RunRegistration(bool do_register) {
  for (const std::string& file : {ComponentFile(), ControlFile()}) {
    Module m;
    if (!m.Load(file)) Stop(kExitFailed, "cannot load " + file);
    Check(do_register ? m.register_server() : m.unregister_server(),
          std::string(do_register ? "registering " : "unregistering ") + file);
    std::printf("%s %s in %s\n", do_register ? "registered" : "unregistered", file.c_str(),
                Registry::DefaultPath().c_str());
  }
}

}  // namespace

void AddRegistrationCommands(Cli cli) {
  cli.app.add_subcommand("register", "Register the component and the control in the registry")->callback([] {
    RunRegistration(true);
  });
  cli.app.add_subcommand("unregister", "Remove both from the registry")->callback([] { RunRegistration(false); });
}

}  // namespace tavo::tool
