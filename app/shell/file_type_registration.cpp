#include "shell/file_type_registration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

#include <cerrno>
#include <optional>
#include <unistd.h>

#include "shell/file_type_texts.h"
#include "shell/mime_apps_list.h"

// Outside any namespace, as the macro requires.
static void InitApplicationIconResource() { Q_INIT_RESOURCE(application_icon); }

namespace {

// One registration run: the first failure is kept, and what it wrote says which caches to renew.
class TRegistrationRun {
 public:
  explicit TRegistrationRun(QString* errorText) : errorText_(errorText) {}

  bool Failed() const { return code_ != 0; }
  int Code() const { return code_; }

  void Fail(int code, const QString& text) {
    if (Failed()) return;
    code_ = code;
    if (errorText_) *errorText_ = text;
  }

  // Writes `content` to `fileName` unless the file holds it already; answers whether it wrote.
  bool WriteIfChanged(const QString& fileName, const QByteArray& content) {
    if (Failed()) return false;
    QFile existing(fileName);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content) return false;
    existing.close();
    // The target of a link is replaced, not the link, so a shared or managed file stays shared.
    QSaveFile file(fileName);
    const bool ok = QDir().mkpath(QFileInfo(fileName).absolutePath()) &&
                    file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
                    file.commit();
    if (!ok) Fail(EIO, QStringLiteral("Unable to write to %1").arg(fileName));
    return ok;
  }

  // Renews a folder's cache with `tool` when something in it changed or the cache is missing.
  // A tool that is not installed is no failure: the desktop then reads the files themselves.
  void RenewCache(bool changed, const QString& cacheFile, const QString& tool,
                  const QStringList& arguments) {
    if (Failed() || (!changed && QFileInfo::exists(cacheFile))) return;
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) return;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    const bool finished = process.waitForStarted(-1) && process.waitForFinished(60000);
    if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0) return;
    if (!finished) process.kill();
    const QString output = QString::fromLocal8Bit(process.readAll()).trimmed().section('\n', 0, 0);
    Fail(EIO, QStringLiteral("%1 failed%2").arg(tool, output.isEmpty() ? "" : ": " + output));
  }

 private:
  int code_ = 0;
  QString* errorText_;
};

QByteArray ResourceBytes(const QString& name) {
  QFile file(QStringLiteral(":/application_icon/") + name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteIcons(TRegistrationRun& run, const QString& dataDir, const QString& iconName) {
  InitApplicationIconResource();
  const QString themeDir = dataDir + QStringLiteral("/icons/hicolor/");
  for (int size : {16, 32, 48, 64, 128, 256})
    run.WriteIfChanged(themeDir + QStringLiteral("%1x%1/apps/").arg(size) + iconName + ".png",
                       ResourceBytes(QStringLiteral("%1.png").arg(size)));
  run.WriteIfChanged(themeDir + "scalable/apps/" + iconName + ".svg",
                     ResourceBytes(QStringLiteral("scalable.svg")));
}

void SetDefaultApplication(TRegistrationRun& run, const QString& mediaType,
                           const QString& desktopId, bool always) {
  if (run.Failed()) return;
  const QString listPath = UserMimeAppsListPath();
  QFile list(listPath);
  QByteArray content;
  if (list.exists()) {
    // Never replace a list whose other lines could not be read.
    if (!list.open(QIODevice::ReadOnly)) {
      run.Fail(EIO, QStringLiteral("Unable to read %1").arg(listPath));
      return;
    }
    content = list.readAll();
  }
  if (!always && HasDefaultApplication(content, mediaType)) return;
  run.WriteIfChanged(listPath, WithDefaultApplication(content, mediaType, desktopId));
}

}  // namespace

int RegisterFileType(const QString& typeName, const QString& description, const QString& extension,
                     const QString& programPath, const QString& mediaType, bool alwaysSetDefault,
                     QString* errorText) {
  TRegistrationRun run(errorText);
  const QString id = typeName.toLower();
  const std::optional<QByteArray> package =
      IsDesktopName(id) ? MimePackageText(mediaType, description, id, extension) : std::nullopt;
  const std::optional<QByteArray> entry =
      package ? DesktopEntryText(typeName, programPath, id, mediaType) : std::nullopt;
  if (!package || !entry) {
    if (programPath.isEmpty())
      run.Fail(EINVAL, QStringLiteral("The program's own path is unknown or no text."));
    else if (!DesktopExecProgram(programPath))
      // The path itself stays out of the message: it may be what breaks the line.
      run.Fail(EINVAL, QStringLiteral("The program's path cannot be written into a desktop entry "
                                      "(it is not absolute or holds a control character)."));
    else
      run.Fail(EINVAL, QStringLiteral("The file type cannot be registered with these names."));
    return run.Code();
  }

  const QString dataDir = UserDataDir();
  const bool packageChanged =
      run.WriteIfChanged(dataDir + "/mime/packages/" + id + ".xml", *package);
  WriteIcons(run, dataDir, id);
  const bool entryChanged =
      run.WriteIfChanged(dataDir + "/applications/" + id + ".desktop", *entry);
  run.RenewCache(packageChanged, dataDir + "/mime/mime.cache", "update-mime-database",
                 {dataDir + "/mime"});
  run.RenewCache(entryChanged, dataDir + "/applications/mimeinfo.cache", "update-desktop-database",
                 {"-q", dataDir + "/applications"});
  SetDefaultApplication(run, mediaType, id + ".desktop", alwaysSetDefault);
  return run.Code();
}

int RegisterReelsmithFileType(const QString& programPath, bool alwaysSetDefault,
                              QString* errorText) {
  return RegisterFileType("Reelsmith", "Reelsmith Database", ".mus", programPath,
                          kCatalogueMediaType, alwaysSetDefault, errorText);
}

QString FileNameText(const QByteArray& bytes) {
  QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = decode(bytes);
  return decode.hasError() ? QString() : text;
}

QString RunningProgramPath() {
  QByteArray target(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", target.data(), target.size());
  if (n <= 0 || n >= target.size()) return QString();
  target.truncate(n);
  return FileNameText(target);
}

QString UserDataDir() {
  QString base = qEnvironmentVariable("XDG_DATA_HOME");
  if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + "/.local/share";
  return base;
}
