// file:// URIs of local paths: every byte outside the unreserved set of
// URIs (letters, digits, "-._~") and the path separator "/" is written as
// %XX (upper-case hex), so UTF-8 names, spaces, "#", "%" and "?" survive.
#ifndef TAVO_TOOLS_TAVOPL_OUTPUT_FILE_URI_H_
#define TAVO_TOOLS_TAVOPL_OUTPUT_FILE_URI_H_

#include <string>
#include <string_view>

namespace tavo::tool {

// "file://" + the percent-encoded path. A relative path is made absolute
// against the current directory first (a URI has no relative form here).
std::string FileUri(std::string_view path);

// The percent-encoding alone.
std::string PercentEncodePath(std::string_view path);

}  // namespace tavo::tool

#endif  // TAVO_TOOLS_TAVOPL_OUTPUT_FILE_URI_H_
