// The sample generators shipped as share/samplepresets.xml: generators a
// listener would want, over the fields the library fills. Genre ids and
// similarity seeds come from the shipped catalog (share/catalog), and those
// the demo prints give non-empty playlists on the demo library.
#ifndef TAVO_TOOLS_MAKE_PRESETS_SAMPLE_PRESETS_H_
#define TAVO_TOOLS_MAKE_PRESETS_SAMPLE_PRESETS_H_

#include <string_view>

#include "generation/records/generator_chain.h"

namespace tavo {

// Three of them the demo prints: one by decade, one similar to a genre, one
// limited in time and ranked.
inline constexpr std::string_view kDemoDecadePreset = "Nineties";
inline constexpr std::string_view kDemoSimilarPreset = "Similar to Blues Rock";
inline constexpr std::string_view kDemoTimedPreset = "Popular Hour";

// The generators in file order; criteria numbered from 1.
GeneratorChain SamplePresets();

}  // namespace tavo

#endif  // TAVO_TOOLS_MAKE_PRESETS_SAMPLE_PRESETS_H_
