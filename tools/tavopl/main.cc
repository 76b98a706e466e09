// tavopl: a host of the component, for people and scripts.
//
//   tavopl demo [--registry FILE] [--music DIR]
//       registers the component and the control into a fresh registry,
//       prints the module's version and class table, and works with the
//       component and the control the way a host does: a timestamp and the
//       descriptions by ProgID, a generator built through its interfaces, and
//       the demo music library (written to DIR, default demo-out/music) read
//       through the control's tag readers.
//   tavopl register | unregister
//       (un)registers both modules in the registry named by TAVO_REGISTRY,
//       else the per-user one.
//
// The modules are found through TAVO_MODULE and TAVO_CONTROL, else the
// build's own copies.
#include <cstdio>
#include <string>

#include "demo.h"
#include "host.h"
#include "platform/automation/registry.h"

using namespace tavo::tool;

namespace {

int Registration(bool do_register) {
  for (const std::string& file : {ComponentFile(), ControlFile()}) {
    Module m;
    if (!m.Load(file)) return 1;
    const HRESULT hr = do_register ? m.register_server() : m.unregister_server();
    if (FAILED(hr)) return Fail(file, hr);
    std::printf("%s %s in %s\n", do_register ? "registered" : "unregistered", file.c_str(),
                tavo::Registry::DefaultPath().c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "demo") {
    DemoOptions options;
    for (int i = 2; i + 1 < argc; i += 2) {
      const std::string flag = argv[i];
      if (flag == "--registry") options.registry = argv[i + 1];
      else if (flag == "--music") options.music_dir = argv[i + 1];
      else return std::fprintf(stderr, "tavopl: unknown option %s\n", flag.c_str()), 2;
    }
    return RunDemo(options);
  }
  if (command == "register" || command == "unregister") return Registration(command == "register");
  std::fprintf(stderr, "usage: tavopl demo [--registry FILE] [--music DIR] | register | unregister\n");
  return 2;
}
