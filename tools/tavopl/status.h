// The component's status codes as a user reads them, and the exit code each
// failure ends the tool with.
#ifndef TAVO_TOOLS_TAVOPL_STATUS_H_
#define TAVO_TOOLS_TAVOPL_STATUS_H_

#include <string>

#include "exit_codes.h"
#include "tavo/tavo.h"

namespace tavo::tool {

// "not implemented (0x80004001)", "0x12345678" for a code without a name.
std::string StatusText(HRESULT hr);

// Stops the tool with "<what>: <status text>" and the matching exit code
// when hr is a failure; returns hr (0 or a documented positive value)
// otherwise.
HRESULT Check(HRESULT hr, const std::string& what);

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_STATUS_H_
