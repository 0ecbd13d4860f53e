#pragma once

#include <QByteArray>
#include <QString>

// The user's choice of application per media type: the [Default Applications] section of
// mimeapps.list ("application/x-type=program.desktop;"). Works on the file's bytes so that every
// line it does not change stays byte for byte as it was.

// Whether the first [Default Applications] section names an application for `mediaType` (a key
// with an empty value names none). Media types match without regard to case.
bool HasDefaultApplication(const QByteArray& content, const QString& mediaType);

// `content` with "mediaType=desktopId;" as the default for `mediaType`: the existing line is
// replaced, or the line is added at the end of the section, or a new section is appended.
QByteArray WithDefaultApplication(const QByteArray& content, const QString& mediaType,
                                  const QString& desktopId);

// $XDG_CONFIG_HOME/mimeapps.list, or ~/.config/mimeapps.list when that is unset or not absolute.
QString UserMimeAppsListPath();
