#pragma once

// Shared by the cassette tests (the application and settings folder come from app_test_environment.h).

#include "app_test_environment.h"
#include "platform/profile.h"

namespace cassette_test {

// Sets "Intl"/"sTime" in the private settings file for the lifetime of the object.
class TSeparatorSetting {
 public:
  explicit TSeparatorSetting(const QString& separator) { Set(separator); }
  ~TSeparatorSetting() { Set(QString()); }
  void Set(const QString& separator) {
    TProfile(kSettingsFileName).WriteString("Intl", "sTime", separator);
  }
};

}  // namespace cassette_test
