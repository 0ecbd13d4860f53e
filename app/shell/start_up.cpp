#include "shell/start_up.h"

#include <QStringList>

#include <cstdio>
#include <memory>

#include "catalogue/catalogue_window.h"
#include "shell/application.h"
#include "shell/message_dialog.h"

int RunReelsmith(int argc, char** argv) {
  TReelsmithApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("reelsmith"));

  std::unique_ptr<TReelsmithForm> form;
  try {
    form = std::make_unique<TReelsmithForm>(app.arguments().mid(1));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "reelsmith: %s\n", e.what());
    ShowException(e);
    return 1;
  }
  form->QuitOnClose = true;
  form->ShowFromSplash();
  const int status = app.exec();
  form.reset();
  return status;
}
