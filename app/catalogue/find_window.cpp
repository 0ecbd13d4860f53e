#include "catalogue/find_window.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "shell/application.h"
#include "shell/help_context.h"

TFindDialog::TFindDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Find"));
  setModal(false);
  SetHelpContext(this, 130);

  auto* label = new QLabel(QStringLiteral("Fi&nd what:"), this);
  findEdit_ = new QLineEdit(this);
  label->setBuddy(findEdit_);
  wholeWord_ = new QCheckBox(QStringLiteral("Match &whole word only"), this);
  matchCase_ = new QCheckBox(QStringLiteral("Match &case"), this);
  auto* direction = new QGroupBox(QStringLiteral("Direction"), this);
  up_ = new QRadioButton(QStringLiteral("&Up"), direction);
  down_ = new QRadioButton(QStringLiteral("&Down"), direction);
  down_->setChecked(true);
  auto* directionLayout = new QHBoxLayout(direction);
  directionLayout->addWidget(up_);
  directionLayout->addWidget(down_);

  findNext_ = new QPushButton(QStringLiteral("&Find Next"), this);
  findNext_->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);

  auto* grid = new QGridLayout(this);
  grid->addWidget(label, 0, 0);
  grid->addWidget(findEdit_, 0, 1, 1, 2);
  grid->addWidget(findNext_, 0, 3);
  grid->addWidget(wholeWord_, 1, 0, 1, 2);
  grid->addWidget(direction, 1, 2, 2, 1);
  grid->addWidget(cancel, 1, 3);
  grid->addWidget(matchCase_, 2, 0, 1, 2);

  connect(findEdit_, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
  connect(findNext_, &QPushButton::clicked, this, Guarded([this](bool) {
            if (OnFind) OnFind();
          }));
  connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
  UpdateButtons();
}

void TFindDialog::UpdateButtons() { findNext_->setEnabled(!findEdit_->text().isEmpty()); }

QString TFindDialog::FindText() const { return findEdit_->text(); }

void TFindDialog::SetFindText(const QString& text) { findEdit_->setText(text); }

TFindOptions TFindDialog::Options() const {
  TFindOptions options = 0;
  if (down_->isChecked()) options |= frDown;
  if (matchCase_->isChecked()) options |= frMatchCase;
  if (wholeWord_->isChecked()) options |= frWholeWord;
  return options;
}

void TFindDialog::SetOptions(TFindOptions options) {
  down_->setChecked((options & frDown) != 0);
  up_->setChecked((options & frDown) == 0);
  matchCase_->setChecked((options & frMatchCase) != 0);
  wholeWord_->setChecked((options & frWholeWord) != 0);
}
