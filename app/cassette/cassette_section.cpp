#include "cassette/cassette_section.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextOption>

#include "shell/font_dialog.h"

TCassetteSection::TCassetteSection(QWidget* parent) : QPlainTextEdit(parent) {
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  menu_ = new QMenu(this);
  connect(menu_->addAction(tr("&Left")), &QAction::triggered, this,
          [this] { SetAlignment(taLeftJustify); });
  connect(menu_->addAction(tr("&Center")), &QAction::triggered, this,
          [this] { SetAlignment(taCenter); });
  connect(menu_->addAction(tr("&Right")), &QAction::triggered, this,
          [this] { SetAlignment(taRightJustify); });
  menu_->addSeparator();
  connect(menu_->addAction(tr("&Font...")), &QAction::triggered, this,
          &TCassetteSection::ChooseFont);
}

void TCassetteSection::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  QTextOption option = document()->defaultTextOption();
  switch (alignment) {
    case taRightJustify:
      option.setAlignment(Qt::AlignRight);
      break;
    case taCenter:
      option.setAlignment(Qt::AlignHCenter);
      break;
    default:
      option.setAlignment(Qt::AlignLeft);
      break;
  }
  document()->setDefaultTextOption(option);
  // Laid-out blocks keep their old option until laid out again.
  document()->markContentsDirty(0, document()->characterCount());
}

QStringList TCassetteSection::ShownLines() const {
  QStringList lines;
  if (document()->isEmpty()) return lines;
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    const QString text = block.text();
    const QTextLayout* layout = block.layout();
    // A block not laid out yet (the section never shown) counts as one line.
    if (layout == nullptr || layout->lineCount() == 0) {
      lines << text;
      continue;
    }
    for (int i = 0; i < layout->lineCount(); ++i) {
      const QTextLine line = layout->lineAt(i);
      QString shown = text.mid(line.textStart(), line.textLength());
      // A wrapped line ends in the space it broke at; the line as shown does not.
      if (i + 1 < layout->lineCount()) {
        while (shown.endsWith(QLatin1Char(' '))) shown.chop(1);
      }
      lines << shown;
    }
  }
  return lines;
}

QList<QAction*> TCassetteSection::MenuItems() const { return menu_->actions(); }

void TCassetteSection::contextMenuEvent(QContextMenuEvent* event) {
  menu_->exec(event->globalPos());
}

void TCassetteSection::ChooseFont() {
  if (auto chosen = AskFont(this, font())) setFont(*chosen);
}
