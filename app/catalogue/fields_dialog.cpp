#include "catalogue/fields_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

#include "client/database.h"
#include "client/text_encoding.h"
#include "select/text_length_delegate.h"
#include "shell/help_context.h"
#include "shell/message_dialog.h"

namespace {

const char* const kGroupTitles[] = {"Text Field 1", "Text Field 2", "Multiple Choice Field 1",
                                    "Multiple Choice Field 2"};
const char* const kNameNames[] = {"TF1Name", "TF2Name", "CF1Name", "CF2Name"};
const char* const kEnabledNames[] = {"TF1Enabled", "TF2Enabled", "CF1Enabled", "CF2Enabled"};
const char* const kChoiceNames[] = {"CF1Choices", "CF2Choices"};

}  // namespace

TDatabaseFieldDlg::TDatabaseFieldDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("DatabaseFieldDlg"));
  setWindowTitle(QStringLiteral("Database Fields"));
  setModal(false);
  SetHelpContext(this, 70);
  auto* layout = new QGridLayout(this);
  for (int g = 0; g < 4; ++g) {
    auto* box = new QGroupBox(QString::fromLatin1(kGroupTitles[g]), this);
    auto* boxLayout = new QGridLayout(box);
    auto* name = new QLineEdit(box);
    name->setObjectName(QString::fromLatin1(kNameNames[g]));
    name->setMaxLength(kDbFieldNameLength);
    auto* label = new QLabel(QStringLiteral("Name:"), box);
    label->setBuddy(name);
    auto* enabled = new QCheckBox(QStringLiteral("Enabled"), box);
    enabled->setObjectName(QString::fromLatin1(kEnabledNames[g]));
    boxLayout->addWidget(label, 0, 0);
    boxLayout->addWidget(name, 0, 1);
    boxLayout->addWidget(enabled, 1, 1);
    names_[static_cast<size_t>(g)] = name;
    enabled_[static_cast<size_t>(g)] = enabled;
    auto mark = [this, g] {
      if (!loading_) modified_[static_cast<size_t>(g)] = true;
    };
    connect(name, &QLineEdit::textEdited, this, mark);
    connect(enabled, &QCheckBox::toggled, this, mark);
    if (g >= kChoice1) {
      auto* grid = new QTableWidget(kChoiceRows, 1, box);
      grid->setObjectName(QString::fromLatin1(kChoiceNames[g - kChoice1]));
      grid->setAccessibleName(QStringLiteral("Choices of %1").arg(kGroupTitles[g]));
      // The arrow keys move between the choices; Tab goes on to the next control.
      grid->setTabKeyNavigation(false);
      grid->setItemDelegate(new TTextLengthDelegate([](int) { return kDbChoiceLength; }, grid));
      grid->horizontalHeader()->hide();
      grid->horizontalHeader()->setStretchLastSection(true);
      const int rowHeight = fontMetrics().height() * 3 / 2;
      grid->verticalHeader()->setDefaultSectionSize(rowHeight);
      boxLayout->addWidget(grid, 2, 0, 1, 2);
      choices_[static_cast<size_t>(g - kChoice1)] = grid;
      connect(grid, &QTableWidget::itemChanged, this, mark);
    }
    layout->addWidget(box, g / 2 == 0 ? 0 : 1, g % 2);
  }
  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { OkClick(); });
  connect(buttons, &QDialogButtonBox::rejected, this, [this] { CancelClick(); });
  connect(buttons, &QDialogButtonBox::helpRequested, this, [this] {
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(this, &f1);
  });
  layout->addWidget(buttons, 2, 0, 1, 2);
}

void TDatabaseFieldDlg::SetDatabase(TReelsmithDB* db) {
  db_ = db;
  LoadFields();
}

void TDatabaseFieldDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  for (QTableWidget* grid : choices_) {
    // One column as wide as the grid leaves beside its scroll bar.
    grid->setColumnWidth(
        0, grid->viewport()->width() - grid->verticalScrollBar()->sizeHint().width() - 1);
  }
}

QString TDatabaseFieldDlg::ChoiceText(int k, int row) const {
  const QTableWidgetItem* item = choices_[static_cast<size_t>(k)]->item(row, 0);
  return item ? item->text() : QString();
}

void TDatabaseFieldDlg::LoadFields() {
  if (!db_) return;
  loading_ = true;
  for (int k = 0; k < 2; ++k) {
    bool on = false;
    QString name;
    db_->GetUserTextFieldInfo(k + 1, on, name);
    enabled_[static_cast<size_t>(k)]->setChecked(on);
    names_[static_cast<size_t>(k)]->setText(on ? name : QString());
  }
  for (int k = 0; k < 2; ++k) {
    int count = 0;
    QString name;
    db_->GetUserChoiceFieldInfo(k + 1, count, name);
    if (name.isEmpty()) count = 0;
    QTableWidget* grid = choices_[static_cast<size_t>(k)];
    for (int row = 0; row < kChoiceRows; ++row) {
      const QString text = row < count ? db_->GetUserChoiceFieldItem(k + 1, row) : QString();
      if (QTableWidgetItem* item = grid->item(row, 0))
        item->setText(text);
      else
        grid->setItem(row, 0, new QTableWidgetItem(text));
    }
    enabled_[static_cast<size_t>(kChoice1 + k)]->setChecked(count > 0);
    names_[static_cast<size_t>(kChoice1 + k)]->setText(count > 0 ? name : QString());
  }
  modified_.fill(false);
  loading_ = false;
}

int TDatabaseFieldDlg::GapRow(int k) const {
  bool emptySeen = false;
  for (int row = 0; row < kChoiceRows; ++row) {
    if (ChoiceText(k, row).isEmpty())
      emptySeen = true;
    else if (emptySeen)
      return row;
  }
  return -1;
}

bool TDatabaseFieldDlg::OkClick() {
  if (!db_) return false;
  // The library offers a choice list up to its first empty row, so a choice after a gap could
  // never be picked and stored values would point past the list.
  for (int k = 0; k < 2; ++k) {
    const int g = kChoice1 + k;
    if (!modified_[static_cast<size_t>(g)] || !enabled_[static_cast<size_t>(g)]->isChecked())
      continue;
    const int gap = GapRow(k);
    if (gap >= 0) {
      MessageDlg(QStringLiteral("The choices of %1 have an empty row between them. Please "
                                "remove the empty rows.")
                     .arg(QString::fromLatin1(kGroupTitles[g])),
                 mtError, mbOK, this);
      QTableWidget* grid = choices_[static_cast<size_t>(k)];
      grid->setCurrentCell(gap - 1, 0);
      grid->setFocus();
      return false;
    }
  }
  if (!CheckStorable()) return false;
  // Every store announces new definitions; the listeners hear of them once.
  const bool deferred = db_->DeferEvents();
  db_->SetDeferEvents(true);
  for (int k = 0; k < 2; ++k) {
    if (!modified_[static_cast<size_t>(k)]) continue;
    QCheckBox* on = enabled_[static_cast<size_t>(k)];
    QLineEdit* name = names_[static_cast<size_t>(k)];
    if (!on->isChecked()) name->clear();
    if (name->text().isEmpty()) on->setChecked(false);
    db_->SetUserTextFieldInfo(k + 1, name->text(), on->isChecked());
  }
  for (int k = 0; k < 2; ++k) {
    const int g = kChoice1 + k;
    if (!modified_[static_cast<size_t>(g)]) continue;
    QCheckBox* on = enabled_[static_cast<size_t>(g)];
    QLineEdit* name = names_[static_cast<size_t>(g)];
    if (name->text().isEmpty()) on->setChecked(false);
    int count = 0;
    for (int row = 0; row < kChoiceRows; ++row) {
      const QString text = on->isChecked() ? ChoiceText(k, row) : QString();
      if (!text.isEmpty()) ++count;
      db_->SetUserChoiceFieldItem(k + 1, row, text);
    }
    if (count == 0) {
      name->clear();
      on->setChecked(false);
    }
    db_->SetUserChoiceFieldInfo(k + 1, name->text(), count);
  }
  if (!deferred) db_->SetDeferEvents(false);
  modified_.fill(false);
  hide();
  return true;
}

bool TDatabaseFieldDlg::CheckStorable() {
  for (int g = 0; g < 4; ++g) {
    const size_t i = static_cast<size_t>(g);
    if (!modified_[i] || !enabled_[i]->isChecked()) continue;
    const QString group = QString::fromLatin1(kGroupTitles[g]);
    QString c = FirstUnstorableCharacter(names_[i]->text());
    if (!c.isEmpty()) {
      MessageDlg(UnstorableTextMessage(QStringLiteral("The name of %1").arg(group), c), mtError,
                 mbOK, this);
      names_[i]->setFocus();
      return false;
    }
    if (g < kChoice1) continue;
    QTableWidget* grid = choices_[static_cast<size_t>(g - kChoice1)];
    for (int row = 0; row < kChoiceRows; ++row) {
      c = FirstUnstorableCharacter(ChoiceText(g - kChoice1, row));
      if (c.isEmpty()) continue;
      MessageDlg(
          UnstorableTextMessage(QStringLiteral("Choice %1 of %2").arg(row + 1).arg(group), c),
          mtError, mbOK, this);
      grid->setCurrentCell(row, 0);
      grid->setFocus();
      return false;
    }
  }
  return true;
}

void TDatabaseFieldDlg::CancelClick() {
  hide();
  LoadFields();
}

void TDatabaseFieldDlg::reject() { CancelClick(); }
