// The command icons: every tool bar button and the usual menu commands show a picture, drawn by
// the program when the desktop has no icon theme, and the theme's own where it has one.
#include "app_test_environment.h"

#include "cassette/cassette_insert_window.h"
#include "catalogue/catalogue_window.h"
#include "shell/command_icons.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <memory>

namespace {

// Whether the icon draws something at that size: a pixel that is not fully transparent.
bool DrawsAt(const QIcon& icon, int size) {
  const QImage image = icon.pixmap(size, size).toImage();
  if (image.width() != size || image.height() != size) return false;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) > 0) return true;
  return false;
}

// Runs each test with an icon theme search path of the test's choosing.
class CommandIconsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(themes_.isValid());
    savedPaths_ = QIcon::themeSearchPaths();
    savedTheme_ = QIcon::themeName();
    // An empty folder: no icon theme at all, as on a bare desktop.
    QIcon::setThemeSearchPaths({themes_.path()});
    QIcon::setThemeName(QStringLiteral("none"));
  }
  void TearDown() override {
    QIcon::setThemeSearchPaths(savedPaths_);
    QIcon::setThemeName(savedTheme_);
  }

  QTemporaryDir themes_;
  QStringList savedPaths_;
  QString savedTheme_;
};

TEST_F(CommandIconsTest, EveryCommandDrawsItsOwnPictureWithoutATheme) {
  const QStringList names = CommandsWithIcons();
  ASSERT_GE(names.size(), 40);
  for (const QString& name : names) {
    const QIcon icon = CommandIcon(name);
    ASSERT_FALSE(icon.isNull()) << name.toStdString();
    EXPECT_TRUE(DrawsAt(icon, 16)) << name.toStdString();
    EXPECT_TRUE(DrawsAt(icon, 32)) << name.toStdString();
  }
  EXPECT_TRUE(CommandIcon(QStringLiteral("FindAgainMenu")).isNull());
  EXPECT_TRUE(CommandIcon(QStringLiteral("NoSuchCommand")).isNull());
}

TEST_F(CommandIconsTest, AThemeIconWinsExceptForTheProgramsOwnPictures) {
  // A minimal theme that has a picture for "document-open" and one for a cassette.
  QDir root(themes_.path());
  ASSERT_TRUE(root.mkpath(QStringLiteral("probe/16x16/actions")));
  QFile index(root.filePath(QStringLiteral("probe/index.theme")));
  ASSERT_TRUE(index.open(QIODevice::WriteOnly));
  index.write(
      "[Icon Theme]\nName=probe\nDirectories=16x16/actions\n\n"
      "[16x16/actions]\nSize=16\nType=Fixed\n");
  index.close();
  QImage red(16, 16, QImage::Format_ARGB32);
  red.fill(Qt::red);
  for (const char* name : {"document-open", "cassette", "media-tape"})
    ASSERT_TRUE(red.save(root.filePath(QStringLiteral("probe/16x16/actions/%1.png").arg(name))));
  QIcon::setThemeName(QStringLiteral("probe"));

  const QIcon open = CommandIcon(QStringLiteral("OpenButton"));
  EXPECT_EQ(open.name(), QStringLiteral("document-open"));
  EXPECT_EQ(open.pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
  // The theme lacks "document-save": the program's own picture stands in.
  EXPECT_TRUE(DrawsAt(CommandIcon(QStringLiteral("SaveButton")), 16));
  EXPECT_NE(CommandIcon(QStringLiteral("SaveButton")).pixmap(16, 16).toImage().pixelColor(8, 8),
            QColor(Qt::red));
  // The cassette is always the program's own, whatever the theme holds.
  EXPECT_TRUE(CommandIconThemeName(QStringLiteral("CassetteInsertButton")).isEmpty());
  EXPECT_NE(
      CommandIcon(QStringLiteral("CassetteInsertButton")).pixmap(16, 16).toImage().pixelColor(8, 8),
      QColor(Qt::red));
}

// Every button of every tool bar of the window shows a picture and its caption.
void ExpectToolBarsIllustrated(QWidget* window) {
  const auto bars = window->findChildren<QToolBar*>();
  ASSERT_FALSE(bars.isEmpty());
  int buttons = 0;
  for (QToolBar* bar : bars) {
    for (QToolButton* button : bar->findChildren<QToolButton*>()) {
      // The bar's own extension button and the gap's spin arrows are not commands.
      if (button->objectName().startsWith("qt_") || button->arrowType() != Qt::NoArrow) continue;
      ++buttons;
      const std::string name = button->objectName().toStdString();
      EXPECT_TRUE(DrawsAt(button->icon(), 16)) << name;
      EXPECT_TRUE(DrawsAt(button->icon(), 32)) << name;
      EXPECT_FALSE(button->text().isEmpty()) << name;
      EXPECT_NE(button->toolButtonStyle(), Qt::ToolButtonIconOnly) << name;
      EXPECT_NE(button->toolButtonStyle(), Qt::ToolButtonTextOnly) << name;
      EXPECT_EQ(button->iconSize(), bar->iconSize()) << name;
    }
  }
  EXPECT_GE(buttons, 8);
}

void ExpectMenuCommandsIllustrated(QWidget* window, const QStringList& commands) {
  for (const QString& name : commands) {
    auto* action = window->findChild<QAction*>(name);
    ASSERT_NE(action, nullptr) << name.toStdString();
    EXPECT_TRUE(DrawsAt(action->icon(), 16)) << name.toStdString();
    EXPECT_TRUE(DrawsAt(action->icon(), 32)) << name.toStdString();
  }
}

TEST_F(CommandIconsTest, TheCatalogueWindowsButtonsAndUsualMenuCommandsShowPictures) {
  TLibrarySearch search;
  search.Folders << QFileInfo(QStringLiteral(RS_LIB_PATH)).absolutePath();
  search.SystemSearch = false;
  auto form = std::make_unique<TReelsmithForm>(QStringList(), search);
  ExpectToolBarsIllustrated(form.get());
  ExpectMenuCommandsIllustrated(
      form.get(), {"FileNewMenu",     "FileOpenMenu",      "FileSaveMenu",       "FileSaveAsMenu",
                   "PrintMenu",       "FileExitMenu",      "NewAlbumMenu",       "EditAlbumMenu",
                   "DeleteAlbumMenu", "ReadTimesfromCD",   "InsertSongMenu",     "DeleteSongMenu",
                   "SaveChangesMenu", "CancelEditingMenu", "CassetteInsertMenu", "CDPlayerMenu",
                   "FindMenu",        "DBFieldsMenu",      "HelpContentsMenu",   "HelpSearchMenu",
                   "HelpAboutMenu"});
  // Cassette and CD player show pictures of their own, unlike each other and the rest.
  const QImage cassette =
      form->findChild<QToolButton*>("CassetteInsertButton")->icon().pixmap(32, 32).toImage();
  const QImage player =
      form->findChild<QToolButton*>("CDPlayerButton")->icon().pixmap(32, 32).toImage();
  EXPECT_NE(cassette, player);
}

TEST_F(CommandIconsTest, TheCassetteWindowsButtonsAndUsualMenuCommandsShowPictures) {
  auto cassette = std::make_unique<TCassetteInsert>();
  ExpectToolBarsIllustrated(cassette.get());
  ExpectMenuCommandsIllustrated(cassette.get(),
                                {"OptimizeMenu", "RandomizeMenu", "ClearMenu", "PrintSetupMenu",
                                 "PrintInsertMenu", "PreviewInsertMenu", "PrintSongListMenu",
                                 "PreviewSongListMenu", "CloseMenu", "BackgroundBitmapMenu"});
}

}  // namespace
