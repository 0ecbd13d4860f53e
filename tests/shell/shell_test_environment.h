#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <memory>

#include "app_test_environment.h"

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
