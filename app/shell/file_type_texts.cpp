#include "shell/file_type_texts.h"

#include <QDir>

#include <cstring>

namespace {

bool IsControl(QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; }

bool HoldsControl(const QString& text) {
  for (QChar c : text)
    if (IsControl(c)) return true;
  return false;
}

// Unpaired surrogates have no UTF-8 form, so the file could not carry them.
bool IsWholeText(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
      ++i;
    else if (text[i].isSurrogate())
      return false;
  }
  return true;
}

bool IsPlainAsciiName(const QString& text, const char* extra) {
  if (text.isEmpty()) return false;
  for (QChar c : text) {
    const char16_t u = c.unicode();
    const bool alnum = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9');
    if (!alnum && (u > 0x7f || !std::strchr(extra, static_cast<char>(u)))) return false;
  }
  return true;
}

// A value of a desktop entry's string type: the backslash is the only character to escape once
// control characters are excluded.
QString DesktopString(const QString& text) {
  QString out = text;
  return out.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
}

QString XmlText(const QString& text) {
  QString out;
  for (QChar c : text) {
    switch (c.unicode()) {
      case '&':
        out += QLatin1String("&amp;");
        break;
      case '<':
        out += QLatin1String("&lt;");
        break;
      case '>':
        out += QLatin1String("&gt;");
        break;
      case '"':
        out += QLatin1String("&quot;");
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace

std::optional<QString> DesktopExecProgram(const QString& programPath) {
  if (!QDir::isAbsolutePath(programPath) || HoldsControl(programPath) || !IsWholeText(programPath))
    return std::nullopt;
  // First the quoting rule of the Exec key, then the string escapes of every value.
  QString quoted;
  for (QChar c : programPath) {
    if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
        c == QLatin1Char('\\'))
      quoted += QLatin1Char('\\');
    quoted += c;
  }
  quoted = QLatin1Char('"') + DesktopString(quoted) + QLatin1Char('"');
  return quoted.replace(QLatin1Char('%'), QLatin1String("%%"));
}

bool IsDesktopName(const QString& name) { return IsPlainAsciiName(name, "-_"); }

bool IsMediaTypeName(const QString& mediaType) {
  const qsizetype slash = mediaType.indexOf(QLatin1Char('/'));
  const char* allowed = "!#$&^_.+-";
  return slash > 0 && IsPlainAsciiName(mediaType.left(slash), allowed) &&
         IsPlainAsciiName(mediaType.mid(slash + 1), allowed);
}

std::optional<QByteArray> DesktopEntryText(const QString& name, const QString& programPath,
                                           const QString& iconName, const QString& mediaType) {
  const std::optional<QString> exec = DesktopExecProgram(programPath);
  if (!exec || name.isEmpty() || HoldsControl(name) || !IsWholeText(name) ||
      !IsDesktopName(iconName) || !IsMediaTypeName(mediaType))
    return std::nullopt;
  const QString text = QStringLiteral(
                           "[Desktop Entry]\n"
                           "Type=Application\n"
                           "Version=1.0\n"
                           "Name=%1\n"
                           "Exec=%2 %f\n"
                           "Icon=%3\n"
                           "Terminal=false\n"
                           "MimeType=%4;\n"
                           "Categories=AudioVideo;Audio;\n")
                           .arg(DesktopString(name), *exec, iconName, mediaType);
  return text.toUtf8();
}

std::optional<QByteArray> MimePackageText(const QString& mediaType, const QString& description,
                                          const QString& iconName, const QString& extension) {
  // The extension becomes a glob, so it may hold no pattern characters and no folder.
  if (extension.size() < 2 || extension.front() != QLatin1Char('.') || HoldsControl(extension) ||
      !IsWholeText(extension))
    return std::nullopt;
  for (QChar c : extension)
    if (c == QLatin1Char('/') || c == QLatin1Char('*') || c == QLatin1Char('?') ||
        c == QLatin1Char('[') || c == QLatin1Char(']') || c == QLatin1Char('\\'))
      return std::nullopt;
  if (!IsMediaTypeName(mediaType) || !IsDesktopName(iconName) || HoldsControl(description) ||
      !IsWholeText(description))
    return std::nullopt;
  const QString text =
      QStringLiteral(
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
          "  <mime-type type=\"%1\">\n"
          "    <comment>%2</comment>\n"
          "    <icon name=\"%3\"/>\n"
          "    <glob pattern=\"*%4\"/>\n"
          "  </mime-type>\n"
          "</mime-info>\n")
          .arg(mediaType, XmlText(description), iconName, XmlText(extension));
  return text.toUtf8();
}
