#include "shell/splash_setting.h"

#include "platform/profile.h"

namespace {

const QString kSection = QStringLiteral("Options");
const QString kKey = QStringLiteral("ShowSplash");

}  // namespace

bool ShowSplashAtStartUp() {
  return TProfile(QString::fromLatin1(kSettingsFileName)).ReadBool(kSection, kKey, true);
}

void SetShowSplashAtStartUp(bool show) {
  TProfile(QString::fromLatin1(kSettingsFileName)).WriteBool(kSection, kKey, show);
}

TStartUpChoice ChooseStartUp(const QStringList& arguments, bool showSplashSetting) {
  TStartUpChoice choice;
  choice.showSplash = showSplashSetting;
  for (const QString& argument : arguments) {
    if (argument == QLatin1String(kNoSplashSwitch))
      choice.showSplash = false;
    else
      choice.arguments << argument;
  }
  return choice;
}
