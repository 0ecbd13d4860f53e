#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>

#include "shell/dialog_seam.h"

class QCheckBox;
class QLabel;
class QPushButton;

// What the about box shows; a test seam is asked this instead of showing the box.
struct TAboutBoxRequest {
  QString caption;
  QString programName;  // name and version
  QPixmap picture;
};

// Answers true when the box was closed with OK.
using TAboutBoxSeam = TDialogSeam<TAboutBoxRequest, bool>;

// The about box: the product picture, the program's name and version, a line on what the
// program is, the choice "Show splash screen at start-up" (stored in the settings file as soon as
// it is changed), and OK. Its help context (150) is the dynamic property "helpContext". On a
// screen too small for the box the picture is shown smaller, so the rest stays in reach.
class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kHelpContext = 150;

  // `picture` is the product picture (TSplashScreen::ProductPicture).
  explicit TAboutBox(const QPixmap& picture, QWidget* owner = nullptr);

  // Shows the box modally: the seam answers when one is installed, else a person does.
  // True when closed with OK.
  bool ShowModal();

  TAboutBoxRequest Request() const;

  QLabel* Image;
  QLabel* ProgramName;
  QLabel* Description;
  QCheckBox* ShowSplash;
  QPushButton* OKButton;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Shows the picture at its size, or scaled down to what the screen has room for.
  void FitPicture();

  QPixmap picture_;
};

// Creates an about box owned by `owner`, shows it modally and frees it.
void ShowAboutBox(QWidget* owner, const QPixmap& picture);
