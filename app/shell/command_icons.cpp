#include "shell/command_icons.h"

#include <QAction>
#include <QApplication>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

// The resources of a static library are linked only when referenced; this must sit outside any
// namespace.
static void InitCommandIconResources() { Q_INIT_RESOURCE(command_icons); }

namespace {

struct TCommandIcon {
  const char* command;
  const char* themeName;  // nullptr: always the program's own picture
  const char* picture;    // in the resources, under :/command_icons/
};

// Menu actions and the tool buttons that trigger them share a picture.
constexpr TCommandIcon kCommandIcons[] = {
    // Catalogue window: menus.
    {"FileNewMenu", "document-new", "document-new"},
    {"FileOpenMenu", "document-open", "document-open"},
    {"FileSaveMenu", "document-save", "document-save"},
    {"FileSaveAsMenu", "document-save-as", "document-save-as"},
    {"PrintMenu", "document-print", "document-print"},
    {"FileExitMenu", "application-exit", "application-exit"},
    {"NewAlbumMenu", "list-add", "list-add"},
    {"EditAlbumMenu", "document-edit", "document-edit"},
    {"DeleteAlbumMenu", "edit-delete", "edit-delete"},
    {"ReadTimesfromCD", "media-optical", "media-optical"},
    {"InsertSongMenu", "insert-object", "insert-object"},
    {"DeleteSongMenu", "list-remove", "list-remove"},
    {"SaveChangesMenu", "dialog-ok-apply", "dialog-ok-apply"},
    {"CancelEditingMenu", "dialog-cancel", "dialog-cancel"},
    {"CassetteInsertMenu", nullptr, "cassette"},
    {"CDPlayerMenu", nullptr, "cd-player"},
    {"FindMenu", "edit-find", "edit-find"},
    {"DBFieldsMenu", "document-properties", "document-properties"},
    {"HelpContentsMenu", "help-contents", "help-contents"},
    {"HelpSearchMenu", "system-search", "system-search"},
    {"HelpAboutMenu", "help-about", "help-about"},
    // Catalogue window: tool bar.
    {"NewButton", "document-new", "document-new"},
    {"OpenButton", "document-open", "document-open"},
    {"SaveButton", "document-save", "document-save"},
    {"CassetteInsertButton", nullptr, "cassette"},
    {"CDPlayerButton", nullptr, "cd-player"},
    {"HelpButton", "help-contents", "help-contents"},
    {"NewAlbumButton", "list-add", "list-add"},
    {"EditAlbumButton", "document-edit", "document-edit"},
    {"InsertSongButton", "insert-object", "insert-object"},
    {"SaveChangesButton", "dialog-ok-apply", "dialog-ok-apply"},
    {"CancelEditingButton", "dialog-cancel", "dialog-cancel"},
    {"ReadCDButton", "media-optical", "media-optical"},
    // Cassette window: menus.
    {"OptimizeMenu", nullptr, "optimize"},
    {"RandomizeMenu", "media-playlist-shuffle", "media-playlist-shuffle"},
    {"ClearMenu", "edit-clear", "edit-clear"},
    {"PrintSetupMenu", "document-page-setup", "document-page-setup"},
    {"PrintInsertMenu", "document-print", "document-print"},
    {"PreviewInsertMenu", "document-print-preview", "document-print-preview"},
    {"PrintSongListMenu", "document-print", "document-print"},
    {"PreviewSongListMenu", "document-print-preview", "document-print-preview"},
    {"CloseMenu", "window-close", "window-close"},
    {"Layout1Menu", nullptr, "layout-horizontal-up"},
    {"Layout2Menu", nullptr, "layout-horizontal-down"},
    {"Layout3Menu", nullptr, "layout-vertical-up"},
    {"Layout4Menu", nullptr, "layout-vertical-down"},
    {"BackgroundBitmapMenu", "insert-image", "insert-image"},
    // Cassette window: tool bar.
    {"OptimizeButton", nullptr, "optimize"},
    {"RandomizeButton", "media-playlist-shuffle", "media-playlist-shuffle"},
    {"PrintButton", "document-print", "document-print"},
    {"HorizontalUpLayout", nullptr, "layout-horizontal-up"},
    {"HorizontalDownLayout", nullptr, "layout-horizontal-down"},
    {"VerticalUpLayout", nullptr, "layout-vertical-up"},
    {"VerticalDownLayout", nullptr, "layout-vertical-down"},
    {"BackgroundBitmapButton", "insert-image", "insert-image"},
    {"MarkButton", nullptr, "mark-songs"},
};

const TCommandIcon* Find(const QString& commandName) {
  for (const TCommandIcon& entry : kCommandIcons)
    if (commandName == QLatin1String(entry.command)) return &entry;
  return nullptr;
}

}  // namespace

QIcon CommandIcon(const QString& commandName) {
  const TCommandIcon* entry = Find(commandName);
  if (entry == nullptr) return QIcon();
  InitCommandIconResources();
  const QIcon own(QStringLiteral(":/command_icons/%1.svg").arg(QLatin1String(entry->picture)));
  if (entry->themeName == nullptr) return own;
  return QIcon::fromTheme(QLatin1String(entry->themeName), own);
}

QString CommandIconThemeName(const QString& commandName) {
  const TCommandIcon* entry = Find(commandName);
  return entry && entry->themeName ? QString::fromLatin1(entry->themeName) : QString();
}

QStringList CommandsWithIcons() {
  QStringList names;
  for (const TCommandIcon& entry : kCommandIcons) names << QString::fromLatin1(entry.command);
  return names;
}

Qt::ToolButtonStyle CommandButtonStyle() {
  const auto style = static_cast<Qt::ToolButtonStyle>(
      QApplication::style()->styleHint(QStyle::SH_ToolButtonStyle));
  // Under the icon unless the style asks for beside it: the tool bars then fit their windows.
  return style == Qt::ToolButtonTextBesideIcon ? Qt::ToolButtonTextBesideIcon
                                               : Qt::ToolButtonTextUnderIcon;
}

void ApplyCommandIcons(QWidget* window) {
  for (QAction* action : window->findChildren<QAction*>()) {
    const QIcon icon = CommandIcon(action->objectName());
    if (!icon.isNull()) action->setIcon(icon);
  }
  for (QToolButton* button : window->findChildren<QToolButton*>()) {
    const QIcon icon = CommandIcon(button->objectName());
    if (icon.isNull()) continue;
    button->setIcon(icon);
    // A widget put on a tool bar does not follow the bar's settings by itself.
    if (auto* bar = qobject_cast<QToolBar*>(button->parentWidget())) {
      button->setIconSize(bar->iconSize());
      button->setToolButtonStyle(CommandButtonStyle());
    }
  }
}
