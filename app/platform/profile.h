#pragma once

#include <QByteArray>
#include <QString>

// The settings file and its profile (INI) semantics: "[Section]" lines, "key=value" lines, lines
// starting with ';' are comments. Sections and keys match without regard to case; the first
// matching section and, in it, the first matching key count. Surrounding blanks of names and
// values are ignored, and a value enclosed in a pair of matching quotes loses them.
//
// Every read goes to the file, so several TProfile objects on one file see each other's writes.
// A missing or unreadable file reads as empty: every read answers its default.
//
// A write changes or adds one line and keeps every other line byte for byte; it replaces the file
// through a temporary file and a rename, so the file on disk is always the old or the new one.
// A failed write raises Exception("Unable to write to <full path>") and leaves the file as it was.
class TProfile {
 public:
  // Values are read through a buffer of this many characters, terminator included.
  static constexpr int kBufferSize = 1024;

  // A bare name (no '/') names a file in SettingsDir(), matched without regard to case, so
  // "ReelSmt.ini" and "reelsmt.ini" are one file; a name with a directory is used as it is.
  explicit TProfile(const QString& fileName);

  // The full path of the file.
  const QString& FileName() const { return fileName_; }

  // The value cut to kBufferSize - 1 characters; `def` when the key is missing.
  QString ReadString(const QString& section, const QString& key, const QString& def) const;
  // `def` when the key is missing or its value is no integer; "0x"/"0X" starts a hexadecimal
  // value of up to 32 bits (so "0xFFFFFFFF" is -1).
  int ReadInteger(const QString& section, const QString& key, int def) const;
  // Any non-zero integer is true.
  bool ReadBool(const QString& section, const QString& key, bool def) const;

  // A value with line breaks, or a name the file cannot hold, is a failed write. Writing the
  // line the file already holds does not touch the file. A value with
  // surrounding blanks or quotes is written quoted, so it reads back unchanged.
  void WriteString(const QString& section, const QString& key, const QString& value);
  void WriteInteger(const QString& section, const QString& key, int value);
  // Writes 1 or 0.
  void WriteBool(const QString& section, const QString& key, bool value);

  // $XDG_CONFIG_HOME/reelsmith, or ~/.config/reelsmith when that is unset or not absolute.
  static QString SettingsDir();
  static QString ResolveFileName(const QString& fileName);

 private:
  QByteArray Load() const;

  QString fileName_;
};

// The program's settings file, "reelsmt.ini" (also written "ReelSmt.ini").
inline constexpr char kSettingsFileName[] = "reelsmt.ini";

// Read-only values of the two system profiles, which have no file of their own here.
//   "Win.Ini" "Intl" "sTime": the settings file's "Intl"/"sTime" when set, else the separator of
//     the user's locale between hours and minutes, else ":".
// Any other value answers `def`. File, section and key names match without regard to case.
QString ReadSystemProfileString(const QString& file, const QString& section, const QString& key,
                                const QString& def);

// The user's time separator, as ReadSystemProfileString("Win.Ini", "Intl", "sTime", ":").
QString TimeSeparator();
