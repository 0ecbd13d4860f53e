#pragma once

// Shared by the cassette tests: one QApplication for the whole test program, and a private
// settings folder so that tests never read or write the user's settings.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QtGlobal>

#include <memory>

#include "platform/profile.h"

namespace cassette_test {

class TQtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(settings_.isValid());
    qputenv("XDG_CONFIG_HOME", settings_.path().toLocal8Bit());
    static int argc = 1;
    static char name[] = "cassette_test";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  QTemporaryDir settings_;
  std::unique_ptr<QApplication> app_;
};

// Registered once per test program (each test file is its own program).
inline const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new TQtEnvironment);

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
