#include "shell/register_switch.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>
#include <memory>

#include "shell/file_type_registration.h"

bool IsRegisterSwitch(int argc, char** argv) {
  return argc == 2 && argv[1] != nullptr && std::strcmp(argv[1], "-register") == 0;
}

int RunRegisterSwitch(int argc, char** argv) {
  std::unique_ptr<QCoreApplication> app;
  if (!QCoreApplication::instance()) app = std::make_unique<QCoreApplication>(argc, argv);
  QString error;
  if (RegisterReelsmithFileType(RunningProgramPath(), true, &error) == 0) return 0;
  std::fprintf(stderr, "reelsmith: the file type could not be registered: %s\n",
               error.toLocal8Bit().constData());
  return 1;
}
