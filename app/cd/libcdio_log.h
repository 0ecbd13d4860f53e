#pragma once

#include <QString>

// Libcdio reports through a log handler, and its default one ends the process on an error-level
// message (a folder or a lonely .bin named as the device, a damaged table of contents). Ours
// keeps the message for the device to report, writes it to stderr once, and always returns, so
// a failed open is only a failed open. Install it before any other libcdio call, drive
// enumeration included; installing it again does nothing.
void InstallLibcdioLogHandler();

// The last error-level message libcdio logged since the previous call, then forgotten; empty
// when there was none.
QString TakeLibcdioError();
