#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The small progress window of a long operation: a message and a Cancel button. It is never
// modal and has no system buttons; Esc and closing the window count as pressing Cancel, which
// only emits CancelBtn's clicked signal (the wrapper routes it to its OnCancel).
class TCancelDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TCancelDialog(QWidget* parent = nullptr);

  void SetMessage(const QString& message);
  // Centres the window on its screen.
  void CenterOnScreen();

  QLabel* MessageLabel;
  QPushButton* CancelBtn;

 public slots:
  void reject() override;
};
