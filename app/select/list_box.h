#pragma once

#include "select/music_drag.h"

#include <QListWidget>

#include <functional>

// A sorted list box that says when its selected index changes. It checks after each click, each
// mouse-button press and each key press on it, and raises OnChange when the index differs from the
// last one it saw (which starts at -1), remembering the new one.
//
// Items are sorted by their text in the user's locale. An item can carry one object pointer that
// the list box does not own (ItemObject).
class TExListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit TExListBox(QWidget* parent = nullptr);

  std::function<void()> OnChange;
  // A mouse button went down on the list box (after the list box handled it).
  std::function<void(QMouseEvent*)> OnMouseDown;
  // The user chose an item with the mouse or the keyboard.
  std::function<void()> OnClick;

  int LastIndex() const { return lastIndex_; }

  // Adds an item in sort order; answers its row.
  int AddItem(const QString& text, void* object);
  void* ItemObject(int row) const;
  // The selected row, -1 when none.
  int ItemIndex() const;
  void SetItemIndex(int row);

  // Begins a drag of the record in the tag once the mouse moves past the drag distance.
  void BeginDrag(const QPoint& pressPos) { dragStarter_.Arm(pressPos); }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CheckChange();

  int lastIndex_ = -1;
  TDragStarter dragStarter_;
};
