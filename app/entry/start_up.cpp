#include "entry/start_up.h"

#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

#include "cassette/cassette_insert_window.h"
#include "catalogue/catalogue_window.h"
#include "cd/cd_audio_source.h"
#include "cd/cd_player.h"
#include "cd/libcdio_log.h"
#include "shell/about_box.h"
#include "shell/application.h"
#include "shell/colour_notice.h"
#include "shell/message_dialog.h"
#include "shell/modeless_message.h"
#include "shell/splash.h"
#include "shell/splash_setting.h"

namespace {

// For benchmarks of the whole start: the descriptor named by RS_READY_FD hears one byte once the
// catalogue window is shown and the events of its showing are done.
void TellReadyWhenIdle(QObject* context) {
  const char* fd = std::getenv("RS_READY_FD");
  if (fd == nullptr) return;
  QTimer::singleShot(0, context, [number = std::atoi(fd)] {
    const char ready = '\n';
    if (write(number, &ready, 1) != 1) std::perror("reelsmith: RS_READY_FD");
  });
}

}  // namespace

TStartUpWindows::TStartUpWindows(const QStringList& arguments, const TLibrarySearch& search) {
  bool setting = true;
  try {
    setting = ShowSplashAtStartUp();
  } catch (...) {
    // An unreadable settings file costs the choice, not the start.
  }
  const TStartUpChoice choice = ChooseStartUp(arguments, setting);

  // The splash first, painted before the slower catalogue window is built.
  if (choice.showSplash) {
    splash_ = std::make_unique<TSplashScreen>();
    splash_->show();
  }
  // The CD player next, hidden; its poll starts at once when there is a CD audio device.
  cdPlayer_ = std::make_unique<TCDPlayer>(MakeCdAudioDevice(CdAudioSource()));
  QCoreApplication::processEvents();

  form_ = std::make_unique<TReelsmithForm>(choice.arguments, search);
  TReelsmithForm* window = form_.get();
  window->SetCDPlayer(cdPlayer_.get());
  window->QuitOnClose = true;
  window->OnColourNotice = [window] { ShowColorNoticeIfNeeded(window); };
  window->OnStartUpLoadError = [window](const QString& text) { ShowModelessMessage(window, text); };
  if (TSplashScreen* splash = splash_.get()) {
    window->SplashDone = [splash] { return splash->Done(); };
    window->OnAbout = [window, splash] { ShowAboutBox(window, splash->ProductPicture()); };
    splash->SetHandOver([window] { window->ShowFromSplash(); });
  } else {
    // The notice waits for the window, as it waits for the splash's hand-over.
    window->SplashDone = [window] { return window->isVisible(); };
    window->OnAbout = [window] { ShowAboutBox(window, BuiltInProductPicture()); };
    // Queued after the window's first idle moment, which opens the catalogue.
    QTimer::singleShot(0, window, Guarded([window] {
                         window->ShowFromSplash();
                         TellReadyWhenIdle(window);
                       }));
  }

  // The one cassette window, made when the catalogue window first needs it: a start that makes
  // no tape does not wait for it. It holds songs of the catalogue, so it goes before the catalogue
  // window and its library.
  window->SetCassetteMaker([this] {
    cassette_ = std::make_unique<TCassetteInsert>();
    return cassette_.get();
  });
}

TStartUpWindows::~TStartUpWindows() {
  // Windows go in the reverse order of their creation.
  cassette_.reset();
  form_.reset();
  cdPlayer_.reset();
  splash_.reset();
}

int RunReelsmith(int argc, char** argv) {
  // Before anything can reach libcdio, whose own handler would end the program on an error.
  InstallLibcdioLogHandler();
  TReelsmithApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("reelsmith"));

  std::unique_ptr<TStartUpWindows> windows;
  try {
    windows = std::make_unique<TStartUpWindows>(app.arguments().mid(1));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "reelsmith: %s\n", e.what());
    ShowException(e);
    return 1;
  }
  const int status = app.exec();
  windows.reset();
  return status;
}
