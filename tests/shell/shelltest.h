#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <memory>

#include "shell/rsapp.h"

// The program's own application object for the whole test run.
class ShellEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "shell_test";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<TReelsmithApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<TReelsmithApplication> app_;
};
inline const auto* const kShellEnvironment =
    ::testing::AddGlobalTestEnvironment(new ShellEnvironment);

// Gives each test an empty settings folder.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home_.isValid());
    saved_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", home_.path().toUtf8());
  }
  void TearDown() override { qputenv("XDG_CONFIG_HOME", saved_); }

  QTemporaryDir home_;
  QByteArray saved_;
};
