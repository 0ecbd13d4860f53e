#include "cassette/time_edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest/QTest>

#include "cassette_test_environment.h"

namespace {

using cassette_test::TSeparatorSetting;

// A window holding the time field and a second field for the focus to move to.
class TimeEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* layout = new QVBoxLayout(&window_);
    edit_ = new TTimeEdit(&window_);
    next_ = new QLineEdit(&window_);
    layout->addWidget(edit_);
    layout->addWidget(next_);
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    edit_->setFocus();
    QCoreApplication::processEvents();
    ASSERT_TRUE(edit_->hasFocus());
  }

  QWidget window_;
  TTimeEdit* edit_ = nullptr;
  QLineEdit* next_ = nullptr;
};

TEST_F(TimeEditTest, TimeReadsAndWritesTheText) {
  edit_->SetTime(65);
  EXPECT_EQ(edit_->text(), "1:05");
  edit_->SetTime(0);
  EXPECT_EQ(edit_->text(), "0:00");
  edit_->setText(" 90:00 ");
  EXPECT_EQ(edit_->Time(), 5400);
  edit_->setText("1:60");
  EXPECT_EQ(edit_->Time(), -1);
}

TEST_F(TimeEditTest, TypingKeepsOnlyTimeCharactersBackspaceAndFullStop) {
  QTest::keyClicks(edit_, "1a:3 5x");
  EXPECT_EQ(edit_->text(), "1:35");
  QTest::keyClick(edit_, Qt::Key_Backspace);
  EXPECT_EQ(edit_->text(), "1:3");
  QTest::keyClicks(edit_, ".");
  EXPECT_EQ(edit_->text(), "1:3.");
  // Editing keys that type nothing still work.
  QTest::keyClick(edit_, Qt::Key_Home);
  QTest::keyClick(edit_, Qt::Key_Delete);
  EXPECT_EQ(edit_->text(), ":3.");
}

TEST_F(TimeEditTest, FullStopSeparatorRefusesTheColon) {
  TSeparatorSetting separator(".");
  QTest::keyClicks(edit_, "1:35");
  EXPECT_EQ(edit_->text(), "135");
  edit_->clear();
  QTest::keyClicks(edit_, "1.35");
  EXPECT_EQ(edit_->Time(), 95);
}

TEST_F(TimeEditTest, EnterMovesTheFocusOnAndReportsInvalidText) {
  std::vector<QObject*> reported;
  edit_->OnInvalidText = [&](QObject* sender) { reported.push_back(sender); };
  QTest::keyClicks(edit_, "1:5");
  QTest::keyClick(edit_, Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_TRUE(next_->hasFocus());
  EXPECT_EQ(edit_->text(), "1:5");  // neither changed nor refused
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0], edit_);

  // Valid text on the way out reports nothing.
  edit_->setFocus();
  QCoreApplication::processEvents();
  edit_->setText("1:35");
  QTest::keyClick(edit_, Qt::Key_Enter);
  QCoreApplication::processEvents();
  EXPECT_TRUE(next_->hasFocus());
  EXPECT_EQ(reported.size(), 1u);
}

TEST_F(TimeEditTest, PastedTextIsCheckedWhenTheFocusLeaves) {
  QApplication::clipboard()->setText("x1:00");
  QTest::keyClick(edit_, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit_->text(), "x1:00");
  int reported = 0;
  edit_->OnInvalidText = [&](QObject*) { ++reported; };
  next_->setFocus();
  QCoreApplication::processEvents();
  EXPECT_EQ(reported, 1);
  EXPECT_EQ(edit_->Time(), -1);
}

}  // namespace
