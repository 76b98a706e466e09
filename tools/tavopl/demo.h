// The demo: what a host does with the component, on the shipped demo data.
#ifndef TAVO_TOOLS_TAVOPL_DEMO_H_
#define TAVO_TOOLS_TAVOPL_DEMO_H_

#include <string>

namespace tavo::tool {

struct DemoOptions {
  std::string registry;                    // empty: a fresh temporary file
  std::string music_dir = "demo-out/music";
};

// 0 on success; prints what it does on stdout and failures on stderr.
int RunDemo(const DemoOptions& options);

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_DEMO_H_
