#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

class QWidget;

// The icons of the program's commands. A command is known by the object name of its menu action
// or tool bar button ("FileOpenMenu", "OpenButton"). Where the desktop has a usual icon for the
// command, the icon theme's picture is used (freedesktop.org icon names); the program's own
// pictures stand in for a theme that lacks it, so a desktop without an icon theme shows the same
// meaning. The cassette, the CD player and the cassette's own commands always show the program's
// own pictures.

// The icon of a command; a null icon for a command that has none.
QIcon CommandIcon(const QString& commandName);

// The freedesktop.org name the command's icon is looked up by; empty when the picture is always
// the program's own or the command has no icon.
QString CommandIconThemeName(const QString& commandName);

// Every command name that has an icon.
QStringList CommandsWithIcons();

// How tool buttons show their text with their icon: as the platform's style asks, but never the
// icon alone or the text alone, since the captions are part of the commands.
Qt::ToolButtonStyle CommandButtonStyle();

// Gives every menu action and tool button below the window that names a command its icon; tool
// buttons on a tool bar also take the bar's icon size and the button style above.
void ApplyCommandIcons(QWidget* window);
