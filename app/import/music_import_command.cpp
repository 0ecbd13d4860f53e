#include "import/music_import_command.h"

#include <QEventLoop>
#include <QLocale>
#include <QTimer>

#include <atomic>
#include <exception>
#include <thread>

#include "client/database.h"
#include "import/album_grouping.h"
#include "import/album_import.h"
#include "import/import_preview_window.h"
#include "import/music_folder_scan.h"
#include "platform/exceptions.h"
#include "shell/cancel_dialog_wrapper.h"
#include "shell/file_dialogs.h"
#include "shell/message_dialog.h"

const char kReadingMusicFiles[] = "Reading music files...";

namespace {

// How often the count is refreshed and the user's events are served while the worker reads.
constexpr int kRefreshMilliseconds = 50;

QString ProgressText(int entries) {
  return QStringLiteral("%1\n%2 files looked at")
      .arg(QLatin1String(kReadingMusicFiles), QLocale().toString(entries));
}

}  // namespace

void TMusicImportCommand::Run() {
  const QString folder = AskFolderName(parent_, {QStringLiteral("Add Albums from Music Files")});
  if (folder.isEmpty()) return;
  Import(folder);
}

void TMusicImportCommand::Import(const QString& folder) {
  // The worker reads files only: it touches neither the catalogue nor any widget, so the
  // catalogue is exactly as it was whenever the user cancels.
  TMusicFolderScan scan;
  TFolderScanResult result;
  std::exception_ptr failure;
  std::atomic<bool> done{false};
  {
    TCancelDlgWrapper progress(parent_);
    progress.SetModality(mdApplication);
    progress.OnCancel = [&scan](QObject*) { scan.Cancel(); };
    progress.Show(ProgressText(0));
    if (OnProgress) OnProgress(progress);

    QEventLoop loop;
    QTimer refresh;
    refresh.setInterval(kRefreshMilliseconds);
    QObject::connect(&refresh, &QTimer::timeout, &loop, [&] {
      if (done.load()) {
        loop.quit();
        return;
      }
      progress.Show(ProgressText(scan.EntriesSeen()));
      if (OnProgress) OnProgress(progress);
    });
    std::thread worker([&] {
      try {
        result = scan.Run(folder);
      } catch (...) {
        failure = std::current_exception();
      }
      done.store(true);
    });
    refresh.start();
    loop.exec();
    worker.join();
    progress.Hide();
  }
  if (failure) std::rethrow_exception(failure);
  if (result.cancelled) return;

  TAlbumImport import(db_);
  const TImportPlan plan =
      GroupAlbums(result, import.Fields(), import.ExistingAlbums(), import.ExistingArtists());
  if (plan.albums.empty()) {
    MessageDlg(QStringLiteral("No music files that could be read were found in \"%1\" (%2 files "
                              "could not be read, %3 other files).")
                   .arg(folder)
                   .arg(plan.filesSkipped)
                   .arg(plan.otherFiles),
               mtInformation, mbOK, parent_);
    return;
  }

  TImportPreviewWindow preview(plan, parent_);
  preview.OnAdd = [&](const std::vector<int>& checked) {
    std::vector<const TAlbumContents*> chosen;
    chosen.reserve(checked.size());
    for (int i : checked) chosen.push_back(&plan.albums[static_cast<size_t>(i)].contents);
    try {
      import.Add(chosen);
    } catch (const Exception& e) {
      // Nothing was added: the preview stays open so that the user can choose fewer albums.
      MessageDlg(e.Message(), mtWarning, mbOK, &preview);
      return false;
    }
    return true;
  };
  ShowImportPreview(preview);
}
