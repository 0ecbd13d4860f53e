#pragma once

#include <QStyledItemDelegate>

#include <functional>

// A cell delegate whose editors take no more characters than the column keeps, so that what the
// user sees in a cell is what gets stored.
class TTextLengthDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  // maxLength answers for a model column; 0 or less means no limit.
  TTextLengthDelegate(std::function<int(int column)> maxLength, QObject* parent);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;

 private:
  std::function<int(int column)> maxLength_;
};
