#include "select/text_length_delegate.h"

#include <QLineEdit>

#include <utility>

TTextLengthDelegate::TTextLengthDelegate(std::function<int(int column)> maxLength, QObject* parent)
    : QStyledItemDelegate(parent), maxLength_(std::move(maxLength)) {}

QWidget* TTextLengthDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
  QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
  const int length = maxLength_ ? maxLength_(index.column()) : 0;
  if (auto* edit = qobject_cast<QLineEdit*>(editor); edit && length > 0) edit->setMaxLength(length);
  return editor;
}
