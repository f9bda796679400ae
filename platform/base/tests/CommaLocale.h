// The process's numeric locale switched to one whose decimal point is a comma, for the tests that guard
// locale independence; restored at the end of the scope. The locale is de_DE.UTF-8, which scripts/setup.sh
// generates: a machine without it fails these tests rather than passing them unchecked.
#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <string>

class ScopedCommaLocale {
 public:
  ScopedCommaLocale() {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    saved_ = old ? old : "C";
    active_ = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && std::localeconv()->decimal_point[0] == ',';
  }
  ~ScopedCommaLocale() { std::setlocale(LC_NUMERIC, saved_.c_str()); }
  ScopedCommaLocale(const ScopedCommaLocale&) = delete;
  ScopedCommaLocale& operator=(const ScopedCommaLocale&) = delete;

  // For ASSERT_TRUE(locale.Active()) << ScopedCommaLocale::Missing().
  bool Active() const { return active_; }
  static const char* Missing() { return "the comma locale de_DE.UTF-8 is not installed: run scripts/setup.sh"; }

 private:
  std::string saved_;
  bool active_ = false;
};
