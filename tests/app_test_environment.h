#pragma once

// Shared by every program test: the program's application object for the whole test
// program, and a private settings folder so that tests never read or write the
// user's settings.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QtGlobal>

#include <memory>
#include <ostream>

#include "shell/application.h"

// Lets GoogleTest print QString values in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace apptest {

class TAppEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(settings_.isValid());
    qputenv("XDG_CONFIG_HOME", settings_.path().toLocal8Bit());
    // Start-up registers the catalogue file type: never in the user's own data folder.
    qputenv("XDG_DATA_HOME", (settings_.path() + QStringLiteral("/data")).toLocal8Bit());
    static int argc = 1;
    static char name[] = "reelsmith_test";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<TReelsmithApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  QTemporaryDir settings_;
  std::unique_ptr<TReelsmithApplication> app_;
};

// Registered once per test program (each test file is its own program).
inline const auto* const kAppEnvironment = ::testing::AddGlobalTestEnvironment(new TAppEnvironment);

}  // namespace apptest
