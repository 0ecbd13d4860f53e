#include "import/music_folder_scan.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QFile>

#include <algorithm>
#include <memory>
#include <set>
#include <utility>

namespace {

struct TDirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

// A file name for display: the file system's bytes as UTF-8; bytes that are not UTF-8 show as
// U+FFFD, which the catalogue cannot store, so the preview names them.
QString Shown(const std::string& bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<int>(bytes.size()));
}

QString JoinShown(const QString& folder, const QString& name) {
  return folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
}

class TWalker {
 public:
  TWalker(TFolderScanResult& result, const std::atomic<bool>& cancel, std::atomic<int>& seen,
          std::atomic<int>& read)
      : result_(result), cancel_(cancel), seen_(seen), read_(read) {}

  // `shown` is the folder relative to the chosen one.
  void Walk(const std::string& path, const QString& shown, const QString& name) {
    if (cancel_.load()) return;
    DIR* raw = opendir(path.c_str());
    if (raw == nullptr) {
      result_.skipped.push_back(
          {shown.isEmpty() ? QStringLiteral(".") : shown, QStringLiteral("folder cannot be read")});
      return;
    }
    std::unique_ptr<DIR, TDirCloser> dir(raw);
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir.get())) {
      const std::string entryName = entry->d_name;
      if (entryName == "." || entryName == "..") continue;
      names.push_back(entryName);
    }
    dir.reset();
    std::sort(names.begin(), names.end());

    std::vector<std::pair<std::string, std::string>> folders;
    for (const std::string& entryName : names) {
      if (cancel_.load()) return;
      seen_.fetch_add(1);
      const std::string full = path + '/' + entryName;
      struct stat st {};
      if (stat(full.c_str(), &st) != 0) {
        // A dangling link or a name that vanished meanwhile.
        if (HasMusicFileEnding(entryName))
          result_.skipped.push_back(
              {JoinShown(shown, Shown(entryName)), QStringLiteral("cannot be read")});
        else
          ++result_.otherFiles;
        continue;
      }
      if (S_ISDIR(st.st_mode)) {
        folders.emplace_back(full, entryName);
        continue;
      }
      // Pipes, sockets and devices are never opened: reading one could wait for ever.
      if (!S_ISREG(st.st_mode) || !HasMusicFileEnding(entryName)) {
        ++result_.otherFiles;
        continue;
      }
      const QString shownFile = JoinShown(shown, Shown(entryName));
      if (st.st_size == 0) {
        result_.skipped.push_back({shownFile, QStringLiteral("empty file")});
        continue;
      }
      TScannedFile file;
      const QString reason = ReadMusicFile(full, file.tags);
      if (!reason.isEmpty()) {
        result_.skipped.push_back({shownFile, reason});
        continue;
      }
      read_.fetch_add(1);
      file.path = full;
      file.shownPath = shownFile;
      file.folderPath = shown;
      file.folderName = name;
      const std::size_t dot = entryName.rfind('.');
      file.baseName = Shown(dot == std::string::npos ? entryName : entryName.substr(0, dot));
      result_.files.push_back(std::move(file));
    }
    for (const auto& [full, entryName] : folders) {
      if (cancel_.load()) return;
      struct stat st {};
      const QString shownFolder = JoinShown(shown, Shown(entryName));
      if (stat(full.c_str(), &st) != 0) continue;
      if (!entered_.insert({st.st_dev, st.st_ino}).second) {
        result_.skipped.push_back({shownFolder, QStringLiteral("link to a folder already read")});
        continue;
      }
      Walk(full, shownFolder, Shown(entryName));
    }
  }

  void Enter(dev_t dev, ino_t ino) { entered_.insert({dev, ino}); }

 private:
  TFolderScanResult& result_;
  const std::atomic<bool>& cancel_;
  std::atomic<int>& seen_;
  std::atomic<int>& read_;
  std::set<std::pair<dev_t, ino_t>> entered_;
};

}  // namespace

TFolderScanResult TMusicFolderScan::Run(const QString& folder) {
  TFolderScanResult result;
  std::string root = QFile::encodeName(folder).toStdString();
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  TWalker walker(result, cancel_, seen_, read_);
  struct stat st {};
  if (stat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    result.skipped.push_back({QStringLiteral("."), QStringLiteral("folder cannot be read")});
  } else {
    walker.Enter(st.st_dev, st.st_ino);
    const std::size_t slash = root.rfind('/');
    walker.Walk(root, QString(), Shown(slash == std::string::npos ? root : root.substr(slash + 1)));
  }
  result.cancelled = cancel_.load();
  return result;
}
