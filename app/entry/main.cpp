#include "shell/register_switch.h"
#include "entry/start_up.h"

int main(int argc, char** argv) {
  // Before any application object: registering needs no display.
  if (IsRegisterSwitch(argc, argv)) return RunRegisterSwitch(argc, argv);
  return RunReelsmith(argc, argv);
}
