#pragma once

#include <QDialog>
#include <QImage>
#include <QString>

#include "cassette/picture_layout.h"
#include "shell/dialog_seam.h"

class QButtonGroup;
class QComboBox;
class QPushButton;
class QShowEvent;
class QWidget;

// "Background Picture": chooses the picture printed behind the insert's song area (none, the
// built-in staff or a picture file) and how it fills the area, with a preview.
//
// Created, it reads its choice from the settings file (and says so once if the stored file
// cannot be read, keeping the name stored). Only OK writes the choice back; Cancel leaves the
// settings as they were. Help context 90; the owner installs the F1 key (THelp::InstallHelpKey).
class TBackgroundBitmapDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kHelpContext = 90;

  explicit TBackgroundBitmapDlg(QWidget* parent = nullptr);

  // The chosen picture; null for none.
  const QImage& Picture() const { return picture_; }

  TPictureLayout PictureLayout() const { return layout_; }
  // A number outside 0 .. 2 counts as tile, as when read from the settings.
  void SetPictureLayout(int layout);

  // 0 none, 1 the built-in staff, 2 a file.
  int Selection() const { return selection_; }
  // 0 (or any other number but 1) or 1; 2 raises Exception: a file is chosen by SetBitmapFile.
  void SetSelection(int selection);

  // The chosen file; empty unless Selection is 2.
  QString BitmapFile() const { return bitmapFile_; }
  // Loads the file and makes it the choice; when it cannot be read, says so in an error box and
  // chooses none. An empty name chooses none.
  void SetBitmapFile(const QString& fileName);

  // Writes the choice to the settings file, then closes with Accepted.
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void EntryChosen(int index);
  void OpenClicked();
  void UseFile(const QString& fileName, const QImage& picture);
  void RemoveFileEntry();

  QImage picture_;
  TPictureLayout layout_ = plCenter;
  int selection_ = 0;
  QString bitmapFile_;

  QWidget* preview_ = nullptr;
  QComboBox* bitmapCombo_ = nullptr;
  QButtonGroup* layoutButtons_ = nullptr;
};

// The cassette window shows the dialog through this seam so that tests can work it.
struct TBackgroundPictureRequest {
  TBackgroundBitmapDlg* dialog = nullptr;
};
using TBackgroundPictureSeam = TDialogSeam<TBackgroundPictureRequest, int>;

// Asks the seam, else runs the dialog modally. Answers the dialog's result.
int ShowBackgroundPictureDialog(TBackgroundBitmapDlg& dialog);
