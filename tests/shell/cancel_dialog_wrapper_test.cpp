#include "shell/cancel_dialog_wrapper.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "shell/cancel_dialog.h"
#include "shell_test_environment.h"

namespace {

class CancelTest : public ::testing::Test {
 protected:
  // Two visible windows; the wrapper sits on a panel of the first.
  void SetUp() override {
    main_.setObjectName("ReelsmithForm");
    panel_ = new QWidget(&main_);
    main_.show();
    other_.show();
    wrapper_ = new TCancelDlgWrapper(panel_);
  }

  QWidget main_;
  QWidget other_;
  QWidget* panel_ = nullptr;
  TCancelDlgWrapper* wrapper_ = nullptr;
};

TEST_F(CancelTest, ShowTwiceKeepsOneDialogWithTheLatestMessage) {
  EXPECT_EQ(wrapper_->Dialog(), nullptr);
  wrapper_->Show("Sorting...");
  TCancelDialog* dialog = wrapper_->Dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->windowTitle(), "Reelsmith");
  EXPECT_EQ(dialog->CancelBtn->text(), "Cancel");

  wrapper_->Show("Printing...");
  EXPECT_EQ(wrapper_->Dialog(), dialog);
  EXPECT_EQ(dialog->MessageLabel->text(), "Printing...");

  wrapper_->Hide();
  EXPECT_EQ(wrapper_->Dialog(), nullptr);
  wrapper_->Hide();  // hiding twice is harmless
}

TEST_F(CancelTest, ModalityDisablesExactlyItsWindowsUntilHide) {
  QWidget alreadyDisabled;
  alreadyDisabled.setEnabled(false);
  alreadyDisabled.show();

  wrapper_->SetModality(mdNone);
  wrapper_->Show("Searching...");
  EXPECT_TRUE(main_.isEnabled());
  EXPECT_TRUE(other_.isEnabled());
  wrapper_->Hide();

  wrapper_->SetModality(mdParent);
  wrapper_->Show("Searching...");
  EXPECT_FALSE(main_.isEnabled());
  EXPECT_TRUE(other_.isEnabled());
  EXPECT_TRUE(wrapper_->Dialog()->isEnabled());
  wrapper_->Hide();
  EXPECT_TRUE(main_.isEnabled());

  wrapper_->SetModality(mdApplication);
  wrapper_->Show("Printing...");
  EXPECT_FALSE(main_.isEnabled());
  EXPECT_FALSE(other_.isEnabled());
  EXPECT_TRUE(wrapper_->Dialog()->isEnabled());
  // A second Show must not forget what the first one disabled.
  QWidget late;
  late.show();
  wrapper_->Show("Printing page 2...");
  EXPECT_FALSE(late.isEnabled());
  wrapper_->Hide();
  EXPECT_TRUE(main_.isEnabled());
  EXPECT_TRUE(other_.isEnabled());
  EXPECT_TRUE(late.isEnabled());
  EXPECT_FALSE(alreadyDisabled.isEnabled());
}

TEST_F(CancelTest, CancelRaisesOnCancelOnly) {
  int cancels = 0;
  QObject* sender = nullptr;
  wrapper_->OnCancel = [&](QObject* s) {
    ++cancels;
    sender = s;
  };
  wrapper_->SetModality(mdApplication);
  wrapper_->Show("Sorting...");
  QTest::mouseClick(wrapper_->Dialog()->CancelBtn, Qt::LeftButton);
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(sender, wrapper_);
  // Esc and closing the window ask the same; the dialog stays until the caller hides it.
  QTest::keyClick(wrapper_->Dialog(), Qt::Key_Escape);
  wrapper_->Dialog()->close();
  EXPECT_EQ(cancels, 3);
  EXPECT_TRUE(wrapper_->Dialog()->isVisible());
  wrapper_->Hide();
  EXPECT_TRUE(main_.isEnabled());
}

TEST_F(CancelTest, HideFromTheCancelHandlerAndFromTheOwnersEnd) {
  wrapper_->SetModality(mdApplication);
  wrapper_->OnCancel = [this](QObject*) { wrapper_->Hide(); };
  wrapper_->Show("Sorting...");
  QTest::mouseClick(wrapper_->Dialog()->CancelBtn, Qt::LeftButton);
  EXPECT_EQ(wrapper_->Dialog(), nullptr);
  EXPECT_TRUE(main_.isEnabled());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  // A wrapper destroyed while shown gives the other windows back.
  auto owner = std::make_unique<QWidget>();
  owner->show();
  auto* wrapper = new TCancelDlgWrapper(owner.get());
  wrapper->SetModality(mdApplication);
  wrapper->Show("Printing...");
  EXPECT_FALSE(other_.isEnabled());
  owner.reset();
  EXPECT_TRUE(other_.isEnabled());
}

}  // namespace
