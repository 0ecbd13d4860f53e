#pragma once

#include <QString>

#include <deque>
#include <exception>
#include <vector>

#include "shell/dialog_seam.h"

class QWidget;

// The icon kind of a message box; it also picks the box's caption.
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation };

// The button sets the program uses.
enum TMsgDlgButtons { mbOK, mbOKCancel, mbYesNo, mbYesNoCancel };

// The button that closed a message box.
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// Everything a message box shows: what a test seam is asked and what it records.
struct TMessageRequest {
  QString text;
  TMsgDlgType type = mtInformation;
  TMsgDlgButtons buttons = mbOK;
  QString caption;
};

using TMessageSeam = TDialogSeam<TMessageRequest, TModalResult>;

// Every message box of the program goes through here: shows `text` modally with the icon of
// `type` and the buttons of `buttons` (the first is the default) and answers the button pressed.
// Closing the box without a button (Esc, the window's close button) answers EscapeResult.
//
// Test seam: while a TMessageSeam exists (usually through TMessageRecorder below) it answers and
// no window is shown. Without a seam, on a platform where nobody can answer (offscreen, minimal)
// or without a QApplication, the message goes to stderr and EscapeResult is answered, so a test
// never waits for a person.
TModalResult MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons,
                        QWidget* parent = nullptr);

// The answer of a box closed without pressing a button: Cancel, else No, else OK.
TModalResult EscapeResult(TMsgDlgButtons buttons);

// The caption shown for each kind: "Error", "Warning", "Confirm", "Information".
QString MessageCaption(TMsgDlgType type);

// The application's standard error report: the exception's message in an error box with OK.
void ShowException(const std::exception& e);

// For tests: answers message boxes from a queue, in order, and records every box asked. A box
// asked when the queue is empty gets EscapeResult of its buttons. Installed for its lifetime.
//
//   TMessageRecorder messages;
//   messages.Answer(mrNo);
//   window.close();
//   EXPECT_EQ(messages.Asked().at(0).text, "Do you want to save it?");
class TMessageRecorder {
 public:
  TMessageRecorder();

  void Answer(TModalResult result) { answers_.push_back(result); }
  const std::vector<TMessageRequest>& Asked() const { return asked_; }
  // Answers queued but not used yet.
  size_t Pending() const { return answers_.size(); }

 private:
  TModalResult Handle(const TMessageRequest& request);

  std::deque<TModalResult> answers_;
  std::vector<TMessageRequest> asked_;
  TMessageSeam seam_;
};
