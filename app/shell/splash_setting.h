#pragma once

#include <QStringList>

// Whether the program starts with its splash screen: "Options"/"ShowSplash" of the settings
// file (on unless set to 0), and the command-line switch that turns it off for one start.

inline constexpr char kNoSplashSwitch[] = "--no-splash";

// The setting; on when the file or the key is missing.
bool ShowSplashAtStartUp();
// Stores the setting; throws Exception when the settings file cannot be written.
void SetShowSplashAtStartUp(bool show);

struct TStartUpChoice {
  bool showSplash = true;
  QStringList arguments;  // the program's arguments without the switch
};

// Takes the switch out of the program's arguments (after its name) and decides whether the
// splash shows: not when the switch was given or the setting is off.
TStartUpChoice ChooseStartUp(const QStringList& arguments, bool showSplashSetting);
