// Registry files and registration scripts from arbitrary bytes. A registry
// that parses must serialize to text that parses to the same registry, and
// no larger than a few times the input (each written key line stands for a
// line that was read; a root's long name is at most 17 bytes longer than its
// short one). Scripts run against a registry path that cannot be written, so
// only the interpreter is exercised.
#include <cstdint>
#include <string>

#include "platform/automation/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  tavo::Registry registry;
  if (registry.Parse(text)) {
    const std::string once = registry.Serialize();
    if (once.size() > 4 * size + 64) __builtin_trap();
    tavo::Registry again;
    if (!again.Parse(once) || again.Serialize() != once) __builtin_trap();
  }
  tavo::RunRegistrationScript(text, {{"MODULE", "/x/it''s.so"}}, size % 2 == 0, "/dev/null/unwritable/registry.reg");
  return 0;
}
