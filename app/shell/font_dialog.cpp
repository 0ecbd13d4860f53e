#include "shell/font_dialog.h"

#include <QFontDialog>

std::optional<QFont> AskFont(QWidget* parent, const QFont& initial) {
  if (auto answer = TFontDialogSeam::Ask(TFontDialogRequest{initial})) return *answer;
  bool accepted = false;
  const QFont chosen = QFontDialog::getFont(&accepted, initial, parent);
  if (!accepted) return std::nullopt;
  return chosen;
}
