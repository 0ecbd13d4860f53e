#include "shell/mime_apps_list.h"

#include <QDir>

#include <vector>

namespace {

constexpr char kSection[] = "Default Applications";

// Lines without their '\n'; a '\r' stays with its line.
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

bool IsSectionHeader(const QByteArray& line) { return line.trimmed().startsWith('['); }

QByteArray SectionName(const QByteArray& line) {
  const QByteArray text = line.trimmed();
  const qsizetype close = text.indexOf(']');
  return close < 0 ? QByteArray() : text.mid(1, close - 1);
}

// The key of a "key=value" line, empty for comments and other lines.
QByteArray KeyOf(const QByteArray& line) {
  const QByteArray text = line.trimmed();
  if (text.startsWith('#')) return {};
  const qsizetype eq = text.indexOf('=');
  return eq <= 0 ? QByteArray() : text.left(eq).trimmed();
}

QByteArray ValueOf(const QByteArray& line) {
  const qsizetype eq = line.indexOf('=');
  return eq < 0 ? QByteArray() : line.mid(eq + 1).trimmed();
}

struct Position {
  int section = -1;      // the header line of the first [Default Applications]
  int key = -1;          // the line of the media type in it
  int insertAfter = -1;  // the last key line of the section, or its header
};

Position Find(const std::vector<QByteArray>& lines, const QString& mediaType) {
  Position pos;
  const QByteArray wanted = mediaType.toUtf8();
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    if (IsSectionHeader(lines[i])) {
      if (pos.section >= 0) break;
      if (SectionName(lines[i]) == kSection) pos.section = pos.insertAfter = i;
    } else if (pos.section >= 0) {
      const QByteArray key = KeyOf(lines[i]);
      if (key.isEmpty()) continue;
      pos.insertAfter = i;
      if (key.compare(wanted, Qt::CaseInsensitive) == 0) {
        pos.key = i;
        break;
      }
    }
  }
  return pos;
}

}  // namespace

bool HasDefaultApplication(const QByteArray& content, const QString& mediaType) {
  const std::vector<QByteArray> lines = SplitLines(content);
  const Position pos = Find(lines, mediaType);
  if (pos.key < 0) return false;
  for (const QByteArray& id : ValueOf(lines[pos.key]).split(';'))
    if (!id.trimmed().isEmpty()) return true;
  return false;
}

QByteArray WithDefaultApplication(const QByteArray& content, const QString& mediaType,
                                  const QString& desktopId) {
  std::vector<QByteArray> lines = SplitLines(content);
  const Position pos = Find(lines, mediaType);
  const QByteArray line = (mediaType + QLatin1Char('=') + desktopId + QLatin1Char(';')).toUtf8();
  if (pos.key >= 0) {
    const bool crlf = lines[pos.key].endsWith('\r');
    lines[pos.key] = crlf ? line + '\r' : line;
  } else if (pos.section >= 0) {
    const bool crlf = lines[pos.section].endsWith('\r');
    lines.insert(lines.begin() + pos.insertAfter + 1, crlf ? line + '\r' : line);
  } else {
    if (!lines.empty() && !lines.back().trimmed().isEmpty()) lines.emplace_back();
    lines.push_back(QByteArray("[") + kSection + ']');
    lines.push_back(line);
  }
  QByteArray out;
  for (const QByteArray& l : lines) out += l + '\n';
  return out;
}

QString UserMimeAppsListPath() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + "/.config";
  return base + "/mimeapps.list";
}
