#pragma once

#include <QDialog>
#include <QString>

#include "shell/dialog_seam.h"

class QLabel;
class QPushButton;

// What the message window shows; a test seam is asked this instead of showing the window.
struct TModelessMessageRequest {
  QString caption;
  QString text;
};

// Answers true when the window was closed with OK.
using TModelessMessageSeam = TDialogSeam<TModelessMessageRequest, bool>;

// The message window for a catalogue that failed to load at start-up: the message word-wrapped
// beside the standard error icon, and OK. Captioned "Reelsmith".
class TModelessMessageDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TModelessMessageDlg(QWidget* owner = nullptr);

  void SetText(const QString& text);
  QString Text() const;

  // Shows the window modally: the seam answers when one is installed, else a person does.
  // True when closed with OK.
  bool ShowModal();

  QLabel* MessageText;
  QLabel* Image1;  // the error icon, 32 x 32
  QPushButton* OKBtn;
};

// Creates a message window owned by `owner` with `text`, shows it modally and frees it.
void ShowModelessMessage(QWidget* owner, const QString& text);
