#pragma once

#include <QFont>
#include <QString>

#include <optional>

#include "shell/dialog_seam.h"

class QWidget;

// What the font dialog shows: the font it starts from.
struct TFontDialogRequest {
  QFont font;
};

// The font chosen; nullopt when the dialog was cancelled.
using TFontDialogSeam = TDialogSeam<TFontDialogRequest, std::optional<QFont>>;

// Runs Qt's font dialog preset with `initial` (or answers through an installed TFontDialogSeam).
// Returns the chosen font, or nullopt when the user cancelled.
std::optional<QFont> AskFont(QWidget* parent, const QFont& initial);
