#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The texts of the two freedesktop.org files that make a file type known to the desktop: the
// desktop entry that opens such files with the program, and the shared-mime-info package that
// names the type and its file-name pattern. Each answers nothing for a value its format cannot
// hold, so a caller never writes a file that says something other than what it was given.

// The program path as one quoted argument of a desktop entry's Exec key, string escapes
// included: "/opt/My Tapes/reelsmith" stays itself in quotes; '"', '`', '$' and '\' get the two
// escape levels the format asks for, '%' becomes "%%". Nothing for a path that is not absolute
// or holds a control character (a line break cannot be written into a desktop entry).
std::optional<QString> DesktopExecProgram(const QString& programPath);

// A name usable as desktop file id and icon name: letters, digits, '-' and '_', nothing else.
bool IsDesktopName(const QString& name);

// "type/subtype" with the characters a media type allows.
bool IsMediaTypeName(const QString& mediaType);

// The desktop entry: Name = `name`, Exec = the quoted program and "%f", Icon = `iconName`,
// MimeType = `mediaType`. Nothing when any value cannot be held.
std::optional<QByteArray> DesktopEntryText(const QString& name, const QString& programPath,
                                           const QString& iconName, const QString& mediaType);

// The shared-mime-info package for `mediaType`: its comment (the type's description), its icon
// and the glob "*" + extension (".mus" gives "*.mus"). Nothing when the extension is not a dot
// and a plain name, or a text holds a character XML cannot carry.
std::optional<QByteArray> MimePackageText(const QString& mediaType, const QString& description,
                                          const QString& iconName, const QString& extension);
