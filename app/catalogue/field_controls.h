#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QMouseEvent;
class TNotifyLink;
class TReelsmithDB;

enum TFieldType { ftCombo = 0, ftEdit = 1 };

// One album field of the album panel: a text box or a drop-down list of choices, with its
// caption beneath. It asks the database component what field FieldIndex is, hides itself when
// the field is not in use, shows the current album's value and is editable only while an album is
// being edited.
class TReelsmithFieldCtrl : public QWidget {
  Q_OBJECT

 public:
  explicit TReelsmithFieldCtrl(QWidget* parent = nullptr);

  QString LabelText() const;
  void SetLabelText(const QString& text);
  TFieldType FieldType() const { return fieldType_; }
  void SetFieldType(TFieldType type);
  int FieldIndex() const { return fieldIndex_; }
  void SetFieldIndex(int index);
  TReelsmithDB* DataSource() const;
  // Attaches the change link and reloads the definition and the value.
  void SetDataSource(TReelsmithDB* db);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  void SetLabelFont(const QFont& font);
  void SetControlFont(const QFont& font);

  QString Text() const;
  void SetText(const QString& text);
  QStringList Items() const;
  int ItemIndex() const;
  void SetItemIndex(int index);
  // The text of the chosen item, empty for none.
  QString ItemText() const;
  bool Modified() const { return modified_; }

  // Focuses the active input control.
  void SetFocus();
  // Removes trailing blanks and tabs from the text box.
  void TrimText();

  QLabel* Label() const { return label_; }
  QLineEdit* Edit() const { return edit_; }
  QComboBox* Combo() const { return combo_; }

  std::function<void()> OnChange;
  std::function<void()> OnVisibilityChange;
  std::function<void(QMouseEvent*)> OnMouseDown;

  void ReloadDefinition();
  void ReloadValue();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void DatabaseChanged(int event);
  void UserChanged(bool fromEdit);
  void RecalcHeight();

  QLabel* label_ = nullptr;
  QLineEdit* edit_ = nullptr;
  QComboBox* combo_ = nullptr;
  TNotifyLink* link_ = nullptr;
  TFieldType fieldType_ = ftCombo;
  int fieldIndex_ = 0;
  bool readOnly_ = false;
  bool modified_ = false;
  bool loading_ = false;
};
