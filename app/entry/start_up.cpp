#include "entry/start_up.h"

#include <QStringList>

#include <cstdio>
#include <memory>

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

int RunReelsmith(int argc, char** argv) {
  // Before anything can reach libcdio, whose own handler would end the program on an error.
  InstallLibcdioLogHandler();
  TReelsmithApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("reelsmith"));

  // The splash first, painted before the slower catalogue window is built.
  auto splash = std::make_unique<TSplashScreen>();
  splash->show();
  // The CD player next, hidden; its poll starts at once when there is a CD audio device.
  auto cdPlayer = std::make_unique<TCDPlayer>(MakeCdAudioDevice(CdAudioSource()));
  QCoreApplication::processEvents();

  std::unique_ptr<TReelsmithForm> form;
  try {
    form = std::make_unique<TReelsmithForm>(app.arguments().mid(1));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "reelsmith: %s\n", e.what());
    ShowException(e);
    return 1;
  }
  TReelsmithForm* window = form.get();
  window->SetCDPlayer(cdPlayer.get());
  TSplashScreen* splashScreen = splash.get();
  window->QuitOnClose = true;
  window->SplashDone = [splashScreen] { return splashScreen->Done(); };
  window->OnAbout = [window, splashScreen] {
    ShowAboutBox(window, splashScreen->ProductPicture());
  };
  window->OnColourNotice = [window] { ShowColorNoticeIfNeeded(window); };
  window->OnStartUpLoadError = [window](const QString& text) { ShowModelessMessage(window, text); };
  splash->SetHandOver([window] { window->ShowFromSplash(); });

  // The one cassette window, hidden until the catalogue window shows it. It holds songs of the
  // catalogue, so it goes before the catalogue window and its library.
  std::unique_ptr<TCassetteInsert> cassette;
  try {
    cassette = std::make_unique<TCassetteInsert>();
    window->SetCassetteInsert(cassette.get());
  } catch (const std::exception& e) {
    ShowException(e);
  }

  const int status = app.exec();
  // Windows go in the reverse order of their creation.
  cassette.reset();
  form.reset();
  cdPlayer.reset();
  splash.reset();
  return status;
}
