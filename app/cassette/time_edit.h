#pragma once

#include <QLineEdit>

#include <functional>

// A single-line field whose value is a playing time in seconds, shown as minutes, the user's
// time separator and two-digit seconds. Typing is limited to time characters, backspace and the
// full stop; Enter moves the focus on as Tab does. Text can still arrive by pasting or by
// setText, so the text is checked again when the field loses the focus.
class TTimeEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TTimeEdit(QWidget* parent = nullptr);

  // The text read as minutes * 60 + seconds, or -1 when it does not parse.
  int Time() const;
  // Shows the duration in its text form.
  void SetTime(int seconds);

  // Called after the field lost the focus with text that does not parse; the field itself keeps
  // the text and does not hold on to the focus.
  std::function<void(QObject* sender)> OnInvalidText;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};
