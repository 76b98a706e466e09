// The demo: what a host does with the component, on the shipped demo data.
#ifndef TAVO_TOOLS_TAVOPL_DEMO_H_
#define TAVO_TOOLS_TAVOPL_DEMO_H_

#include <string>

namespace tavo::tool {

struct DemoOptions {
  std::string registry;                    // empty: a fresh temporary file
  std::string music_dir = "demo-out/music";
  std::string db_dir = "demo-out/db";    // emptied first: a fresh database
};

// The sample presets the demo generates: by decade, similar to a genre,
// time-limited and ranked.
inline constexpr const char* kDemoPresets[] = {"Nineties", "Similar to Blues Rock", "Popular Hour"};

// 0 on success; prints what it does on stdout and failures on stderr. The
// scan and the playlists stop with a ToolError (exit_codes.h) when the
// component fails them.
int RunDemo(const DemoOptions& options);

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_DEMO_H_
