#include "shell/start_up.h"

int main(int argc, char** argv) { return RunReelsmith(argc, argv); }
