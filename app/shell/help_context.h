#pragma once

#include <QString>
#include <QUrl>

#include <vector>

class QWidget;

// Windows, dialogs and commands carry a help context number; each number names a page of the
// program's help and an anchor on it. Number 0 (or any number not in the table) means the
// contents page.
struct THelpContextEntry {
  int context;
  const char* page;    // file name under :/help
  const char* anchor;  // anchor name on that page
};

// Every help context number the program uses, with its page and anchor.
std::vector<THelpContextEntry> HelpContexts();

// The address of the help contents page: "qrc:/help/index.html".
QUrl HelpContentsUrl();
// The address of a help page by file name, with an optional anchor.
QUrl HelpPageUrl(const QString& page, const QString& anchor = QString());
// The page and anchor of a help context; the contents page for 0 and unknown numbers.
QUrl HelpUrlOf(int helpContext);

// The help context of a widget: the int property "helpContext" of the widget or of the nearest
// parent that has a non-zero one; 0 when none has.
int HelpContextOf(const QWidget* widget);
// Gives a widget its help context; 0 removes it, so the parent's context applies again.
void SetHelpContext(QWidget* widget, int helpContext);
