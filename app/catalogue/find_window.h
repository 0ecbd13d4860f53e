#pragma once

#include <QDialog>

#include <functional>

#include "select/find_text.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The catalogue window's own find window: the text, whole word, match case and direction, with
// Find Next and Cancel. Modeless; Find Next raises OnFind and leaves the window open.
class TFindDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TFindDialog(QWidget* parent = nullptr);

  QString FindText() const;
  void SetFindText(const QString& text);
  TFindOptions Options() const;
  void SetOptions(TFindOptions options);

  std::function<void()> OnFind;

  QLineEdit* FindEdit() const { return findEdit_; }
  QPushButton* FindNextButton() const { return findNext_; }

 private:
  void UpdateButtons();

  QLineEdit* findEdit_;
  QCheckBox* wholeWord_;
  QCheckBox* matchCase_;
  QRadioButton* up_;
  QRadioButton* down_;
  QPushButton* findNext_;
};
