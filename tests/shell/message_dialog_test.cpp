#include "shell/message_dialog.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/exceptions.h"
#include "shell/application.h"
#include "shell_test_environment.h"

namespace {

TEST(MessageDlg, RecorderAnswersInOrderAndRecordsEveryBox) {
  TMessageRecorder messages;
  messages.Answer(mrNo);
  messages.Answer(mrYes);
  EXPECT_EQ(MessageDlg("Save it?", mtConfirmation, mbYesNoCancel), mrNo);
  EXPECT_EQ(MessageDlg("Proceed?", mtWarning, mbYesNo), mrYes);
  // Unanswered boxes get what closing them would give.
  EXPECT_EQ(MessageDlg("Delete?", mtConfirmation, mbYesNo), mrNo);
  EXPECT_EQ(MessageDlg("Print?", mtInformation, mbOKCancel), mrCancel);
  EXPECT_EQ(MessageDlg("Failed.", mtError, mbOK), mrOk);
  EXPECT_EQ(messages.Pending(), 0u);

  ASSERT_EQ(messages.Asked().size(), 5u);
  const TMessageRequest& first = messages.Asked()[0];
  EXPECT_EQ(first.text, "Save it?");
  EXPECT_EQ(first.type, mtConfirmation);
  EXPECT_EQ(first.buttons, mbYesNoCancel);
  EXPECT_EQ(first.caption, "Confirm");
  EXPECT_EQ(messages.Asked()[1].caption, "Warning");
  EXPECT_EQ(messages.Asked()[4].caption, "Error");
}

TEST(MessageDlg, NewestSeamAnswersAndTheOlderReturns) {
  TMessageRecorder outer;
  {
    TMessageRecorder inner;
    inner.Answer(mrYes);
    EXPECT_EQ(MessageDlg("Inner?", mtConfirmation, mbYesNo), mrYes);
    EXPECT_EQ(inner.Asked().size(), 1u);
  }
  outer.Answer(mrCancel);
  EXPECT_EQ(MessageDlg("Outer?", mtConfirmation, mbYesNoCancel), mrCancel);
  ASSERT_EQ(outer.Asked().size(), 1u);
  EXPECT_EQ(outer.Asked()[0].text, "Outer?");
}

TEST(MessageDlg, WithoutSeamNobodyIsWaitedFor) {
  // On the offscreen platform no person can answer: the box is not shown and closing counts.
  ASSERT_FALSE(TMessageSeam::Installed());
  EXPECT_EQ(MessageDlg("Nobody sees this.", mtConfirmation, mbYesNo), mrNo);
}

// An object whose event handler fails, as the program's handlers may.
class Failing : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw ERangeError("Value out of range.");
    if (e->type() == QEvent::User + 1) throw 42;
    return QObject::event(e);
  }
};

TEST(ErrorReport, ExceptionFromAnEventHandlerIsShownAndTheProgramCarriesOn) {
  TMessageRecorder messages;
  Failing failing;
  QEvent first(QEvent::User);
  EXPECT_TRUE(QCoreApplication::sendEvent(&failing, &first));
  QCoreApplication::postEvent(&failing, new QEvent(QEvent::Type(QEvent::User + 1)));
  // A timer's handler fails inside the event loop.
  QTimer::singleShot(0, [] { throw Exception("Unable to write to x"); });
  QTest::qWait(20);

  ASSERT_EQ(messages.Asked().size(), 3u);
  EXPECT_EQ(messages.Asked()[0].text, "Value out of range.");
  EXPECT_EQ(messages.Asked()[0].type, mtError);
  EXPECT_EQ(messages.Asked()[0].buttons, mbOK);
  EXPECT_EQ(messages.Asked()[1].text, "An unknown error occurred.");
  EXPECT_EQ(messages.Asked()[2].text, "Unable to write to x");
}

TEST(ErrorReport, GuardedSlotReportsAndTheButtonStaysUsable) {
  TMessageRecorder messages;
  QPushButton button("Fail");
  int clicks = 0;
  QObject::connect(&button, &QPushButton::clicked, Guarded([&](bool) {
    if (++clicks == 1) throw std::runtime_error("plain failure");
  }));
  button.show();
  QTest::mouseClick(&button, Qt::LeftButton);
  QTest::mouseClick(&button, Qt::LeftButton);
  EXPECT_EQ(clicks, 2);
  ASSERT_EQ(messages.Asked().size(), 1u);
  EXPECT_EQ(messages.Asked()[0].text, "plain failure");
  EXPECT_FALSE(button.isDown());
}

}  // namespace
