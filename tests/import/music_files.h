#pragma once
// Music files made at test time: one short silent file per format, written by Debian's audio
// tools, then copied and tagged with TagLib. Nothing audio is kept in the repository.
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <map>
#include <string>

namespace musictest {

// Every template is 2.5 seconds of silence: read back as 2 whole seconds.
constexpr int kTemplateSeconds = 2;

inline bool RunTool(const QString& program, const QStringList& arguments) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, arguments);
  if (!p.waitForFinished(60000)) return false;
  return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Writes s.<ending> for each format into `folder`; answers the endings written. A tool that is
// missing leaves its format out, which the tests notice by the count.
inline QStringList MakeTemplates(const QString& folder) {
  const QString wav = folder + QStringLiteral("/s.wav");
  QStringList made;
  if (!RunTool(
          QStringLiteral("sox"),
          {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("8000"), QStringLiteral("-c"),
           QStringLiteral("1"), QStringLiteral("-b"), QStringLiteral("16"), wav,
           QStringLiteral("trim"), QStringLiteral("0"), QStringLiteral("2.5")}))
    return made;
  made << QStringLiteral("wav");
  const auto out = [&](const char* ending) {
    return folder + QStringLiteral("/s.") + QLatin1String(ending);
  };
  const auto ffmpeg = [&](const char* codec, const char* ending) {
    return RunTool(
        QStringLiteral("ffmpeg"),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-i"),
         wav, QStringLiteral("-c:a"), QLatin1String(codec), out(ending)});
  };
  if (RunTool(QStringLiteral("sox"), {wav, out("aiff")})) made << QStringLiteral("aiff");
  if (RunTool(QStringLiteral("flac"),
              {QStringLiteral("-s"), wav, QStringLiteral("-o"), out("flac")}))
    made << QStringLiteral("flac");
  if (RunTool(QStringLiteral("oggenc"),
              {QStringLiteral("-Q"), wav, QStringLiteral("-o"), out("ogg")}))
    made << QStringLiteral("ogg");
  if (RunTool(QStringLiteral("opusenc"), {QStringLiteral("--quiet"), wav, out("opus")}))
    made << QStringLiteral("opus");
  if (RunTool(QStringLiteral("lame"), {QStringLiteral("--silent"), wav, out("mp3")}))
    made << QStringLiteral("mp3");
  if (ffmpeg("aac", "m4a")) made << QStringLiteral("m4a");
  if (ffmpeg("wmav2", "wma")) made << QStringLiteral("wma");
  return made;
}

struct TTags {
  QString title, artist, album, albumArtist, genre;
  int track = 0, disc = 0, year = 0;
};

inline TagLib::String Text(const QString& s) {
  return TagLib::String(s.toStdString(), TagLib::String::UTF8);
}

// Copies the template to `path` (creating its folder) and writes the tags given (empty ones are
// left out).
inline bool WriteTagged(const QString& templatePath, const QString& path, const TTags& t) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile::remove(path);
  if (!QFile::copy(templatePath, path)) return false;
  QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
  TagLib::FileRef ref(QFile::encodeName(path).constData());
  if (ref.isNull() || ref.file() == nullptr) return false;
  TagLib::PropertyMap p;
  const auto put = [&p](const char* key, const QString& value) {
    if (!value.isEmpty()) p.insert(key, TagLib::StringList(Text(value)));
  };
  put("TITLE", t.title);
  put("ARTIST", t.artist);
  put("ALBUM", t.album);
  put("ALBUMARTIST", t.albumArtist);
  put("GENRE", t.genre);
  if (t.track) put("TRACKNUMBER", QString::number(t.track));
  if (t.disc) put("DISCNUMBER", QString::number(t.disc));
  if (t.year) put("DATE", QString::number(t.year));
  ref.file()->setProperties(p);
  return ref.save();
}

}  // namespace musictest
