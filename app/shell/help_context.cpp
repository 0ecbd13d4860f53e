#include "shell/help_context.h"

#include <QVariant>
#include <QWidget>

namespace {

constexpr char kHelpContextProperty[] = "helpContext";

constexpr THelpContextEntry kContexts[] = {
    {10, "catalogue.html", "window"},          // catalogue window
    {20, "albums.html", "editing"},            // album commands
    {30, "files.html", "new"},                 // File, New
    {40, "albums.html", "delete"},             // Album, Delete Album
    {50, "cd.html", "read-times"},             // Album, Read Times from CD
    {60, "browsing.html", "tabs"},             // the Albums, Artists and Songs tabs
    {70, "album_fields.html", "fields"},       // Database Fields
    {80, "cassette.html", "window"},           // cassette insert window
    {90, "insert.html", "background"},         // Background Picture
    {100, "cd.html", "player"},                // CD player
    {110, "files.html", "open"},               // File, Open
    {120, "merge.html", "merge"},              // File, Merge
    {130, "browsing.html", "find"},            // Find, Find Again
    {150, "about.html", "about"},              // About Reelsmith
    {170, "export.html", "export"},            // File, Export
    {180, "listings.html", "print-database"},  // Print Database
    {190, "music_files.html", "add"},          // Album, Add Albums from Music Files
};

}  // namespace

std::vector<THelpContextEntry> HelpContexts() {
  return {std::begin(kContexts), std::end(kContexts)};
}

QUrl HelpContentsUrl() { return HelpPageUrl("index.html"); }

QUrl HelpPageUrl(const QString& page, const QString& anchor) {
  QUrl url("qrc:/help/" + page);
  if (!anchor.isEmpty()) url.setFragment(anchor);
  return url;
}

QUrl HelpUrlOf(int helpContext) {
  for (const auto& entry : kContexts) {
    if (entry.context == helpContext) return HelpPageUrl(entry.page, entry.anchor);
  }
  return HelpContentsUrl();
}

int HelpContextOf(const QWidget* widget) {
  for (const QWidget* w = widget; w; w = w->parentWidget()) {
    bool ok = false;
    const int context = w->property(kHelpContextProperty).toInt(&ok);
    if (ok && context != 0) return context;
  }
  return 0;
}

void SetHelpContext(QWidget* widget, int helpContext) {
  widget->setProperty(kHelpContextProperty, helpContext != 0 ? QVariant(helpContext) : QVariant());
}
