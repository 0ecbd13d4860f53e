#pragma once

#include <QByteArray>
#include <QString>

// Registers a catalogue file type with the desktop the freedesktop.org way, under the user's
// folders ($XDG_DATA_HOME, default ~/.local/share; $XDG_CONFIG_HOME, default ~/.config):
//   mime/packages/<id>.xml                the media type, its description and "*<extension>"
//   applications/<id>.desktop             opens such files: Exec="<program>" %f
//   icons/hicolor/<n>x<n>/apps/<id>.png   the program's icon, and scalable/apps/<id>.svg
//   mimeapps.list [Default Applications]  <media type>=<id>.desktop;
// where <id> is the type name in lower case. A file is rewritten only when its content would
// change; then update-mime-database or update-desktop-database refreshes its folder's cache
// (when the tool is on PATH). Nothing is ever removed.

// Answers 0 on success, else an error number: EINVAL when a value cannot be written into these
// files (a program path that is not absolute or holds a line break, a type name that is not a
// plain name), in which case nothing is written; EIO when a file could not be read or written
// or a cache tool failed, in which case what came before stays. `errorText`, when given, gets a
// line saying what failed.
//
// typeName    "Reelsmith": the desktop entry's Name, and in lower case its file id and icon name
// description "Reelsmith Database": the media type's comment
// extension   ".mus": the file-name pattern "*.mus"
// programPath the absolute path of the program that opens the files (the Exec key)
// mediaType   "application/x-reelsmith-catalogue"
// alwaysSetDefault  true makes the program the default for the type; false does so only when
//             the user's mimeapps.list names no default for it yet.
int RegisterFileType(const QString& typeName, const QString& description, const QString& extension,
                     const QString& programPath, const QString& mediaType, bool alwaysSetDefault,
                     QString* errorText = nullptr);

// The catalogue type: "Reelsmith", "Reelsmith Database", ".mus",
// "application/x-reelsmith-catalogue", opened by `programPath`.
int RegisterReelsmithFileType(const QString& programPath, bool alwaysSetDefault,
                              QString* errorText = nullptr);

inline constexpr char kCatalogueMediaType[] = "application/x-reelsmith-catalogue";

// The absolute path of the running program (the target of /proc/self/exe), or empty when it
// cannot be told or is no text (FileNameText below).
QString RunningProgramPath();

// A file name's bytes as text, or empty when they are not valid UTF-8: decoding would put
// replacement characters in, naming a different file.
QString FileNameText(const QByteArray& bytes);

// $XDG_DATA_HOME, or ~/.local/share when that is unset or not absolute.
QString UserDataDir();
