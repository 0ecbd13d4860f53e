#pragma once

#include <QPlainTextEdit>
#include <QStringList>

class QAction;
class QContextMenuEvent;
class QMenu;

// Horizontal alignment of the text of a flap, on screen and on paper.
enum TAlignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

// Free text of the front flap or the edge flap. Long lines wrap at the section's width; the
// printed insert uses the lines as shown. A right click offers "&Left", "&Center", "&Right" and
// "&Font...".
class TCassetteSection : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit TCassetteSection(QWidget* parent = nullptr);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);

  // The text as the section shows it: one string per shown line, a wrapped line counting as
  // the separate lines it is shown as.
  QStringList ShownLines() const;

  QMenu* PopupMenu() const { return menu_; }
  // The menu's items in order: left, center, right, separator, font.
  QList<QAction*> MenuItems() const;

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void ChooseFont();

  TAlignment alignment_ = taLeftJustify;
  QMenu* menu_ = nullptr;  // child of this section
};
