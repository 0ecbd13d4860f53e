#pragma once

// The "-register" command line: registers the catalogue file type, makes the program the
// default for it, and ends. It is recognised on the raw arguments, before any QApplication
// exists, so it works without a display.

// True only for exactly one argument that is "-register" (case-sensitive); "-Register" or
// "-register more" are file names to open.
bool IsRegisterSwitch(int argc, char** argv);

// Registers the file type for the running program. Answers the process's exit status: 0 on
// success; 1 after writing a line saying why to stderr. Creates a QCoreApplication when none
// exists.
int RunRegisterSwitch(int argc, char** argv);
