// XSPF 1.0 ("http://xspf.org/ns/0/"): <playlist version="1"> with <title>,
// <annotation> and a <trackList> of <track>s, each with <location> (a
// percent-encoded file:// URI), <title>, <creator>, <album> and <duration>
// in milliseconds when known.
#ifndef TAVO_TOOLS_TAVOPL_OUTPUT_XSPF_WRITER_H_
#define TAVO_TOOLS_TAVOPL_OUTPUT_XSPF_WRITER_H_

#include <string>

#include "track.h"

namespace tavo::tool {

std::string WriteXspf(const Playlist& playlist);

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_OUTPUT_XSPF_WRITER_H_
