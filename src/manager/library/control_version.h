// The recognition-service control's version text, "TAVOControl a.b.c.d",
// and which versions the manager works with: above 2, or 2 with b above 1,
// or 2.1 with d at least 4 (c is read and not compared). So 2.1.0.4 and
// 2.1.9.4 pass, 2.1.9.3 and 2.0.99.99 fail, 3.0.0.0 passes.
#ifndef TAVO_MANAGER_LIBRARY_CONTROL_VERSION_H_
#define TAVO_MANAGER_LIBRARY_CONTROL_VERSION_H_

#include <cstdint>
#include <string_view>

namespace tavo {

struct ControlVersion {
  int32_t numbers[4] = {0, 0, 0, 0};
};

// Reads "TAVOControl " and four dot-separated decimal numbers (blanks and a
// sign allowed before each, text after the fourth ignored). False when fewer
// than four numbers are read or a number does not fit 32 bits.
bool ParseControlVersion(std::string_view text, ControlVersion* version) noexcept;

bool ControlVersionSupported(const ControlVersion& version) noexcept;

}  // namespace tavo

#endif  // TAVO_MANAGER_LIBRARY_CONTROL_VERSION_H_
