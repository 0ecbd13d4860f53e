#include "shell/message_dialog.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

#include "platform/exceptions.h"

namespace {

QMessageBox::Icon IconOf(TMsgDlgType type) {
  switch (type) {
    case mtWarning:
      return QMessageBox::Warning;
    case mtError:
      return QMessageBox::Critical;
    case mtConfirmation:
      return QMessageBox::Question;
    case mtInformation:
      break;
  }
  return QMessageBox::Information;
}

QMessageBox::StandardButtons ButtonsOf(TMsgDlgButtons buttons) {
  switch (buttons) {
    case mbOKCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case mbYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case mbYesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case mbOK:
      break;
  }
  return QMessageBox::Ok;
}

TModalResult ResultOf(int button, TMsgDlgButtons buttons) {
  switch (button) {
    case QMessageBox::Ok:
      return mrOk;
    case QMessageBox::Cancel:
      return mrCancel;
    case QMessageBox::Yes:
      return mrYes;
    case QMessageBox::No:
      return mrNo;
    default:
      return EscapeResult(buttons);
  }
}

// Whether a person could see and answer a window on this platform.
bool CanAskPerson() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return false;
  const QString platform = QGuiApplication::platformName();
  return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

}  // namespace

TModalResult EscapeResult(TMsgDlgButtons buttons) {
  switch (buttons) {
    case mbOKCancel:
    case mbYesNoCancel:
      return mrCancel;
    case mbYesNo:
      return mrNo;
    case mbOK:
      break;
  }
  return mrOk;
}

QString MessageCaption(TMsgDlgType type) {
  switch (type) {
    case mtWarning:
      return QStringLiteral("Warning");
    case mtError:
      return QStringLiteral("Error");
    case mtConfirmation:
      return QStringLiteral("Confirm");
    case mtInformation:
      break;
  }
  return QStringLiteral("Information");
}

TModalResult MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons,
                        QWidget* parent) {
  TMessageRequest request{text, type, buttons, MessageCaption(type)};
  if (auto answer = TMessageSeam::Ask(request)) return *answer;

  if (!CanAskPerson()) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(request.caption), qPrintable(text));
    return EscapeResult(buttons);
  }

  QMessageBox box(IconOf(type), request.caption, text, ButtonsOf(buttons), parent);
  box.setDefaultButton(buttons == mbYesNo || buttons == mbYesNoCancel ? QMessageBox::Yes
                                                                      : QMessageBox::Ok);
  return ResultOf(box.exec(), buttons);
}

void ShowException(const std::exception& e) {
  const auto* own = dynamic_cast<const Exception*>(&e);
  const QString message = own != nullptr ? own->Message() : QString::fromLocal8Bit(e.what());
  MessageDlg(message, mtError, mbOK);
}

TMessageRecorder::TMessageRecorder()
    : seam_([this](const TMessageRequest& request) { return Handle(request); }) {}

TModalResult TMessageRecorder::Handle(const TMessageRequest& request) {
  asked_.push_back(request);
  if (answers_.empty()) return EscapeResult(request.buttons);
  const TModalResult result = answers_.front();
  answers_.pop_front();
  return result;
}
