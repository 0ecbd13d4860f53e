#include "catalogue/field_controls.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "client/database.h"
#include "client/notify_link.h"
#include "client/text_encoding.h"

TReelsmithFieldCtrl::TReelsmithFieldCtrl(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  edit_ = new QLineEdit(this);
  edit_->setObjectName(QStringLiteral("Edit"));
  combo_ = new QComboBox(this);
  combo_->setObjectName(QStringLiteral("Combo"));
  combo_->setEditable(false);  // only the field's own choices
  label_ = new QLabel(this);
  label_->setObjectName(QStringLiteral("Label"));
  layout->addWidget(edit_, 0, Qt::AlignTop);
  layout->addWidget(combo_, 0, Qt::AlignTop);
  layout->addWidget(label_, 0, Qt::AlignBottom);
  edit_->installEventFilter(this);
  combo_->installEventFilter(this);
  connect(edit_, &QLineEdit::textChanged, this, [this] { UserChanged(true); });
  connect(combo_, &QComboBox::currentIndexChanged, this, [this] { UserChanged(false); });
  link_ = new TNotifyLink(this);
  link_->OnNotify = [this](TReelsmithDB*, const TReelsmithDBEventInfo& info) {
    DatabaseChanged(info.Event());
  };
  SetFieldType(ftCombo);
}

QString TReelsmithFieldCtrl::LabelText() const { return label_->text(); }

void TReelsmithFieldCtrl::SetLabelText(const QString& text) { label_->setText(text); }

void TReelsmithFieldCtrl::SetFieldType(TFieldType type) {
  fieldType_ = type;
  const bool edit = type == ftEdit;
  edit_->setVisible(edit);
  edit_->setEnabled(edit);
  combo_->setVisible(!edit);
  // A read-only choice stays enabled so that its value reads as text, not greyed out; the event
  // filter keeps it from changing.
  combo_->setEnabled(!edit);
  label_->setBuddy(edit ? static_cast<QWidget*>(edit_) : combo_);
  RecalcHeight();
}

void TReelsmithFieldCtrl::SetFieldIndex(int index) {
  fieldIndex_ = index;
  if (DataSource()) {
    ReloadDefinition();
    ReloadValue();
  }
}

TReelsmithDB* TReelsmithFieldCtrl::DataSource() const { return link_->DataSource(); }

void TReelsmithFieldCtrl::SetDataSource(TReelsmithDB* db) {
  link_->SetDataSource(db);
  if (db) {
    ReloadDefinition();
    ReloadValue();
  }
}

void TReelsmithFieldCtrl::SetReadOnly(bool value) {
  readOnly_ = value;
  edit_->setReadOnly(value);
  const QPalette::ColorRole role = value ? QPalette::Button : QPalette::Base;
  for (QWidget* w : {static_cast<QWidget*>(edit_), static_cast<QWidget*>(combo_)}) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, palette().color(role));
    w->setPalette(p);
  }
  // A new album starts on the first choice of every choice field. An album being changed keeps
  // "none" where it has none: preselecting would store a value the user never chose.
  const TReelsmithDB* db = DataSource();
  if (!value && combo_->currentIndex() < 0 && combo_->count() > 0 && db &&
      db->CurrentAlbum() == nullptr) {
    const bool wasLoading = loading_;
    loading_ = true;
    combo_->setCurrentIndex(0);
    loading_ = wasLoading;
  }
}

void TReelsmithFieldCtrl::SetLabelFont(const QFont& font) {
  label_->setFont(font);
  label_->setFixedHeight(QFontMetrics(font).height() + 2);
  RecalcHeight();
}

void TReelsmithFieldCtrl::SetControlFont(const QFont& font) {
  for (QWidget* w : {static_cast<QWidget*>(edit_), static_cast<QWidget*>(combo_)}) {
    w->setFont(font);
  }
  RecalcHeight();
}

QString TReelsmithFieldCtrl::Text() const { return edit_->text(); }

void TReelsmithFieldCtrl::SetText(const QString& text) { edit_->setText(text); }

QStringList TReelsmithFieldCtrl::Items() const {
  QStringList items;
  for (int i = 0; i < combo_->count(); ++i) items << combo_->itemText(i);
  return items;
}

int TReelsmithFieldCtrl::ItemIndex() const { return combo_->currentIndex(); }

void TReelsmithFieldCtrl::SetItemIndex(int index) {
  combo_->setCurrentIndex(index >= 0 && index < combo_->count() ? index : -1);
}

QString TReelsmithFieldCtrl::ItemText() const {
  return combo_->currentIndex() < 0 ? QString() : combo_->currentText();
}

void TReelsmithFieldCtrl::SetFocus() {
  if (fieldType_ == ftEdit)
    edit_->setFocus();
  else
    combo_->setFocus();
}

void TReelsmithFieldCtrl::TrimText() {
  const QString text = edit_->text();
  qsizetype end = text.size();
  while (end > 0 && (text[end - 1] == u' ' || text[end - 1] == u'\t')) --end;
  if (end != text.size()) edit_->setText(text.left(end));
}

void TReelsmithFieldCtrl::ReloadDefinition() {
  TReelsmithDB* db = DataSource();
  if (!db) return;
  bool isChoice = false;
  QString name;
  db->GetAlbumFieldInfo(fieldIndex_, isChoice, name);
  loading_ = true;
  if (!name.isEmpty()) {
    const bool wasHidden = isHidden();
    if (wasHidden) show();
    SetLabelText(name);
    if (isChoice) {
      SetFieldType(ftCombo);
      combo_->clear();
      for (int i = 0;; ++i) {
        const QString item = db->GetAlbumChoiceFieldItem(fieldIndex_, i);
        if (item.isEmpty()) break;
        combo_->addItem(item);
      }
      // The first item added became current; no album has chosen it.
      combo_->setCurrentIndex(-1);
    } else {
      SetFieldType(ftEdit);
      // Title and artist keep names; the user text fields keep shorter values.
      edit_->setMaxLength(fieldIndex_ <= 1 ? kDbNameLength : kDbAlbumTextLength);
    }
    if (wasHidden && OnVisibilityChange) OnVisibilityChange();
  } else if (!isHidden()) {
    hide();
    if (OnVisibilityChange) OnVisibilityChange();
  }
  loading_ = false;
  modified_ = false;
}

void TReelsmithFieldCtrl::ReloadValue() {
  TReelsmithDB* db = DataSource();
  const TReelsmithAlbum* album = db ? db->CurrentAlbum() : nullptr;
  loading_ = true;
  if (album == nullptr) {
    edit_->clear();
    combo_->setCurrentIndex(-1);
  } else if (fieldType_ == ftEdit) {
    edit_->setText(album->FieldText(fieldIndex_));
  } else {
    SetItemIndex(album->FieldItemIndex(fieldIndex_));
  }
  loading_ = false;
  modified_ = false;
}

void TReelsmithFieldCtrl::DatabaseChanged(int event) {
  switch (event) {
    case dbeCleared:
    case dbeLoaded:
    case 2:
      ReloadDefinition();
      break;
    case dbeFieldsChanged: {
      TReelsmithDB* db = DataSource();
      if (db && db->Editing()) {
        // New definitions must not wipe what the user is typing: the typed text and choice
        // stay where the field still offers them.
        const QString text = Text();
        const int index = ItemIndex();
        const TFieldType type = fieldType_;
        ReloadDefinition();
        loading_ = true;
        if (fieldType_ == type) {
          edit_->setText(text);
          SetItemIndex(index);
        }
        loading_ = false;
        SetReadOnly(false);
      } else {
        ReloadDefinition();
        ReloadValue();
      }
      break;
    }
    case dbeAlbumChanged:
      ReloadValue();
      break;
    case dbeEditingChanged:
      if (TReelsmithDB* db = DataSource()) SetReadOnly(!db->Editing());
      break;
    default:
      break;
  }
}

void TReelsmithFieldCtrl::UserChanged(bool fromEdit) {
  if (loading_ || fromEdit != (fieldType_ == ftEdit)) return;
  modified_ = true;
  if (OnChange) OnChange();
}

void TReelsmithFieldCtrl::RecalcHeight() {
  QWidget* active = fieldType_ == ftEdit ? static_cast<QWidget*>(edit_) : combo_;
  setFixedHeight(label_->sizeHint().height() + active->sizeHint().height() + 2);
}

namespace {

// Whether a key would change a choice box's value or open its list.
bool ChangesChoice(const QKeyEvent& key) {
  switch (key.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_F4:
    case Qt::Key_Space:
    case Qt::Key_Select:
      return true;
    default:
      // Typed letters search the list.
      return !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
             !key.text().isEmpty() && key.text().at(0).isPrint();
  }
}

}  // namespace

bool TReelsmithFieldCtrl::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && event->type() == QEvent::MouseButtonPress && OnMouseDown)
    OnMouseDown(static_cast<QMouseEvent*>(event));
  if (watched == combo_ && readOnly_) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseButtonRelease:
      case QEvent::Wheel:
        return true;
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
        if (ChangesChoice(*static_cast<QKeyEvent*>(event))) return true;
        break;
      default:
        break;
    }
  }
  return QWidget::eventFilter(watched, event);
}
