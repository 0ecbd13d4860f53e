#include "platform/profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <vector>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/exceptions.h"

namespace {

enum class LineKind { kOther, kSection, kKey };

// One line of the file as the profile rules see it.
struct ParsedLine {
  LineKind kind = LineKind::kOther;
  QString name;  // section or key
  QString value;
};

ParsedLine Parse(const QByteArray& raw) {
  ParsedLine line;
  const QString text = QString::fromUtf8(raw).trimmed();
  if (text.isEmpty() || text.startsWith(QLatin1Char(';'))) return line;
  if (text.startsWith(QLatin1Char('['))) {
    const int close = text.indexOf(QLatin1Char(']'));
    line.kind = LineKind::kSection;
    line.name = text.mid(1, close < 0 ? -1 : close - 1).trimmed();
    return line;
  }
  const int eq = text.indexOf(QLatin1Char('='));
  if (eq < 0) return line;
  line.kind = LineKind::kKey;
  line.name = text.left(eq).trimmed();
  line.value = text.mid(eq + 1).trimmed();
  if (line.value.size() >= 2) {
    const QChar first = line.value.front();
    if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && line.value.back() == first)
      line.value = line.value.mid(1, line.value.size() - 2);
  }
  return line;
}

bool SameName(const QString& a, const QString& b) {
  return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

// Lines without their '\n'; a '\r' of CRLF files stays with its line.
std::vector<QByteArray> SplitLines(const QByteArray& content) {
  std::vector<QByteArray> lines;
  qsizetype start = 0;
  while (start < content.size()) {
    qsizetype end = content.indexOf('\n', start);
    if (end < 0) end = content.size();
    lines.push_back(content.mid(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Where a key lives: the index of its section's header and of its own line (-1 when missing),
// and the line after which a new key of that section goes.
struct KeyPosition {
  int section = -1;
  int key = -1;
  int insertAfter = -1;
};

KeyPosition Find(const std::vector<QByteArray>& lines, const QString& section, const QString& key) {
  KeyPosition pos;
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    const ParsedLine line = Parse(lines[i]);
    if (line.kind == LineKind::kSection) {
      if (pos.section >= 0) break;  // only the first matching section counts
      if (SameName(line.name, section)) pos.section = pos.insertAfter = i;
    } else if (pos.section >= 0 && line.kind == LineKind::kKey) {
      pos.insertAfter = i;
      if (SameName(line.name, key)) {
        pos.key = i;
        break;
      }
    }
  }
  return pos;
}

QString CutToBuffer(const QString& text) {
  constexpr int kMax = TProfile::kBufferSize - 1;
  if (text.size() <= kMax) return text;
  // Never leave half of a surrogate pair behind.
  return text.left(text.at(kMax - 1).isHighSurrogate() ? kMax - 1 : kMax);
}

bool ParseInteger(const QString& text, int& result) {
  bool ok = false;
  if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
    const QString digits = text.mid(2);
    // toUInt would also take a sign or blanks; a hexadecimal value here is bare digits.
    for (QChar c : digits)
      if (!c.isDigit() && !(c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f')))
        return false;
    const uint value = digits.toUInt(&ok, 16);
    if (ok) result = static_cast<int>(value);
    return ok;
  }
  if (text.isEmpty() || text.front().isSpace()) return false;
  const int value = text.toInt(&ok, 10);
  if (ok) result = value;
  return ok;
}

[[noreturn]] void WriteFailed(const QString& fileName) {
  throw Exception(QStringLiteral("Unable to write to %1").arg(fileName));
}

bool HoldsLineBreak(const QString& text) {
  return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// A value that would lose blanks or quotes on reading is written in double quotes.
QString Quoted(const QString& value) {
  if (value.isEmpty()) return value;
  const bool blanks = value.front().isSpace() || value.back().isSpace();
  const QChar first = value.front();
  const bool quotes = value.size() >= 2 &&
                      (first == QLatin1Char('"') || first == QLatin1Char('\'')) &&
                      value.back() == first;
  return blanks || quotes ? QLatin1Char('"') + value + QLatin1Char('"') : value;
}

// Writes `content` to a new file beside `fileName` and renames it over `fileName`, so a failure
// or a crash at any point leaves the old file whole. Every short write counts as a failure.
bool ReplaceFile(const QString& fileName, const QByteArray& content) {
  QFileInfo info(fileName);
  // Writing through a link changes the file it points at, not the link.
  const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : fileName;
  info = QFileInfo(target);
  if (!QDir().mkpath(info.absolutePath())) return false;
  if (info.exists() && !info.isWritable()) return false;

  QByteArray temp = QFile::encodeName(target) + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  // An existing file keeps its permissions; a new one is private, as mkstemp made it.
  struct stat old {};
  bool ok = ::stat(QFile::encodeName(target).constData(), &old) != 0 ||
            ::fchmod(fd, old.st_mode & 07777) == 0;
  for (qsizetype done = 0; ok && done < content.size();) {
    const ssize_t n = ::write(fd, content.constData() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += n;
  }
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.constData(), QFile::encodeName(target).constData()) == 0;
  if (!ok) {
    ::unlink(temp.constData());
    return false;
  }
  // The rename itself reaches the disk with the folder.
  const int dir =
      ::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

}  // namespace

TProfile::TProfile(const QString& fileName) : fileName_(ResolveFileName(fileName)) {}

QString TProfile::SettingsDir() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + "/.config";
  return base + "/reelsmith";
}

QString TProfile::ResolveFileName(const QString& fileName) {
  if (fileName.contains(QLatin1Char('/'))) return fileName;
  return SettingsDir() + QLatin1Char('/') + fileName.toLower();
}

QByteArray TProfile::Load() const {
  QFile file(fileName_);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

QString TProfile::ReadString(const QString& section, const QString& key, const QString& def) const {
  const std::vector<QByteArray> lines = SplitLines(Load());
  const KeyPosition pos = Find(lines, section, key);
  if (pos.key < 0) return CutToBuffer(def);
  return CutToBuffer(Parse(lines[pos.key]).value);
}

int TProfile::ReadInteger(const QString& section, const QString& key, int def) const {
  int value = def;
  return ParseInteger(ReadString(section, key, QString()), value) ? value : def;
}

bool TProfile::ReadBool(const QString& section, const QString& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TProfile::WriteString(const QString& section, const QString& key, const QString& value) {
  const QString trimmedKey = key.trimmed();
  if (section.trimmed().isEmpty() || section.contains(QLatin1Char(']')) ||
      HoldsLineBreak(section) || trimmedKey.isEmpty() || trimmedKey != key ||
      key.contains(QLatin1Char('=')) || key.startsWith(QLatin1Char(';')) ||
      key.startsWith(QLatin1Char('[')) || HoldsLineBreak(key) || HoldsLineBreak(value))
    WriteFailed(fileName_);

  QByteArray content;
  QFile existing(fileName_);
  if (existing.exists()) {
    // Never replace a file whose other settings could not be read.
    if (!existing.open(QIODevice::ReadOnly)) WriteFailed(fileName_);
    content = existing.readAll();
    existing.close();
  }
  std::vector<QByteArray> lines = SplitLines(content);
  const QByteArray eol = !lines.empty() && lines.front().endsWith('\r') ? "\r" : "";
  const KeyPosition pos = Find(lines, section, key);
  // A key that is there keeps the file's spelling of its name.
  const QString name = pos.key >= 0 ? Parse(lines[pos.key]).name : key;
  const QByteArray keyLine = (name + QLatin1Char('=') + Quoted(value)).toUtf8() + eol;

  if (pos.key >= 0) {
    // A write that changes nothing leaves the file alone, so a read-only settings file only
    // fails when something really has to be stored.
    if (lines[pos.key] == keyLine) return;
    lines[pos.key] = keyLine;
  } else if (pos.section >= 0) {
    lines.insert(lines.begin() + pos.insertAfter + 1, keyLine);
  } else {
    if (!lines.empty() && !lines.back().trimmed().isEmpty()) lines.push_back(eol);
    lines.push_back(('[' + section + ']').toUtf8() + eol);
    lines.push_back(keyLine);
  }

  QByteArray out;
  for (const QByteArray& line : lines) out += line + '\n';
  if (!ReplaceFile(fileName_, out)) WriteFailed(fileName_);
}

void TProfile::WriteInteger(const QString& section, const QString& key, int value) {
  WriteString(section, key, QString::number(value));
}

void TProfile::WriteBool(const QString& section, const QString& key, bool value) {
  WriteInteger(section, key, value ? 1 : 0);
}

QString TimeSeparator() {
  const QString own = TProfile(kSettingsFileName).ReadString("Intl", "sTime", QString());
  if (!own.isEmpty()) return own;

  // The literal text between the hour and the minute fields of the locale's time format.
  const QString format = QLocale().timeFormat(QLocale::ShortFormat);
  int i = 0;
  while (i < format.size() && format[i].toLower() != QLatin1Char('h')) ++i;
  while (i < format.size() && format[i].toLower() == QLatin1Char('h')) ++i;
  QString separator;
  for (; i < format.size() && !format[i].isLetter(); ++i)
    if (format[i] != QLatin1Char('\'')) separator += format[i];
  if (i < format.size() && format[i] == QLatin1Char('m'))
    separator = separator.trimmed();
  else
    separator.clear();  // no minutes after the hours: nothing to learn
  return separator.isEmpty() ? QStringLiteral(":") : separator;
}

QString ReadSystemProfileString(const QString& file, const QString& section, const QString& key,
                                const QString& def) {
  if (SameName(file, "Win.Ini") && SameName(section, "Intl") && SameName(key, "sTime"))
    return TimeSeparator();
  return def;
}
