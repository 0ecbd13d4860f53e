#pragma once

// The program from its start to its end: the -register switch, the start-up windows in their
// order, the event loop, and the shutdown in the reverse order. Answers the exit status: 0, or 1
// with a line on stderr when the program could not start.
int RunReelsmith(int argc, char** argv);
