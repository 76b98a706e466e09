#include "exit_codes.h"

namespace tavo::tool {

std::string ExitCodeHelp() {
  std::string text = "Exit codes:\n";
  for (const ExitCodeInfo& e : kExitCodes) text += "  " + std::to_string(e.code) + "  " + e.meaning + "\n";
  return text;
}

}  // namespace tavo::tool
