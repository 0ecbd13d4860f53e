#pragma once

#include <QDialog>
#include <QString>

#include "shell/dialog_seam.h"

class QCheckBox;
class QLabel;
class QPushButton;

// What the colour notice shows; a test seam is asked this instead of showing the window.
struct TColorNoticeRequest {
  QString caption;
  QString text;
};

// The seam answers as the user closing the notice with OK: true when "Do not show this notice
// again." was checked.
using TColorNoticeSeam = TDialogSeam<TColorNoticeRequest, bool>;

// Whether the colour notice is due on a display of this many bits per pixel: never at 8 or
// fewer (the settings file is not read then), else unless "ColorNotice"/"DoNotDisplay" is set.
bool NeedsColorNotice(int bitsPerPixel);
// The same for the primary screen's depth; false when there is no screen.
bool NeedsColorNotice();

// The notice that icons may look odd on displays of more than 256 colours, with a check box to
// stop it for good.
class TColorNotice : public QDialog {
  Q_OBJECT

 public:
  explicit TColorNotice(QWidget* owner = nullptr);

  // The notice's text, five lines shown as one word-wrapped paragraph.
  static QString NoticeText();

  // OK: when DoNotShow is checked, writes "ColorNotice"/"DoNotDisplay" = 1; then closes. A
  // settings file that cannot be written is reported in an error box and the notice still closes.
  void Confirm();

  // Shows the notice modally: the seam answers when one is installed (and its answer is applied
  // as OK with the box checked or not), else a person does.
  void ShowModal();

  QLabel* NoticeLabel;
  QCheckBox* DoNotShow;
  QPushButton* OKBtn;
};

// Shows the colour notice modally, owned by `owner`, when NeedsColorNotice() says it is due.
// True when it was shown.
bool ShowColorNoticeIfNeeded(QWidget* owner);
