// Sets the locale variables that decide the user's default language for the
// life of a scope and puts the old values back afterwards.
#ifndef TAVO_TESTS_DESCRIPTIONS_SCOPED_LOCALE_H_
#define TAVO_TESTS_DESCRIPTIONS_SCOPED_LOCALE_H_

#include <cstdlib>
#include <optional>
#include <string>

namespace tavo {

class ScopedLocale {
 public:
  // LC_ALL = `locale`; LC_MESSAGES and LANG are cleared so only it counts.
  explicit ScopedLocale(const char* locale) {
    for (Saved& s : saved_) {
      if (const char* v = std::getenv(s.name)) s.value = v;
      unsetenv(s.name);
    }
    setenv("LC_ALL", locale, 1);
  }
  ~ScopedLocale() {
    for (const Saved& s : saved_) {
      if (s.value) {
        setenv(s.name, s.value->c_str(), 1);
      } else {
        unsetenv(s.name);
      }
    }
  }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;

 private:
  struct Saved {
    const char* name;
    std::optional<std::string> value;
  };
  Saved saved_[3] = {{"LC_ALL", {}}, {"LC_MESSAGES", {}}, {"LANG", {}}};
};

}  // namespace tavo

#endif  // TAVO_TESTS_DESCRIPTIONS_SCOPED_LOCALE_H_
