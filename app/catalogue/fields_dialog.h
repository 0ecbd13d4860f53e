#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QLineEdit;
class QTableWidget;
class TReelsmithDB;

// "Database Fields": the catalogue's four user fields, two text fields and two multiple-choice
// fields of up to 50 choices. Shown modeless; OK stores the groups that were edited, Cancel
// drops the edits.
class TDatabaseFieldDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kChoiceRows = 50;

  explicit TDatabaseFieldDlg(QWidget* parent = nullptr);

  TReelsmithDB* Database() const { return db_; }
  // Gives the dialog its catalogue and loads the definitions from it.
  void SetDatabase(TReelsmithDB* db);

  // Fills the controls from the library and clears every modified flag.
  void LoadFields();
  // Stores the edited groups and hides the window; false (and nothing stored) when a choice
  // list has an empty row between choices.
  bool OkClick();
  void CancelClick();

  QLineEdit* NameEdit(int group) const { return names_[static_cast<size_t>(group)]; }
  QCheckBox* EnabledBox(int group) const { return enabled_[static_cast<size_t>(group)]; }
  QTableWidget* ChoiceGrid(int k) const { return choices_[static_cast<size_t>(k)]; }
  bool GroupModified(int group) const { return modified_[static_cast<size_t>(group)]; }

  // Groups: 0 text field 1, 1 text field 2, 2 choice field 1, 3 choice field 2.
  enum { kText1 = 0, kText2 = 1, kChoice1 = 2, kChoice2 = 3 };

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  QString ChoiceText(int k, int row) const;
  int GapRow(int k) const;
  // Refuses names and choices holding characters the catalogue cannot store; false after telling.
  bool CheckStorable();

  TReelsmithDB* db_ = nullptr;
  std::array<QLineEdit*, 4> names_{};
  std::array<QCheckBox*, 4> enabled_{};
  std::array<QTableWidget*, 2> choices_{};
  std::array<bool, 4> modified_{};
  bool loading_ = false;
};
