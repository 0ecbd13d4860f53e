#include "app_test_environment.h"

#include "import/import_preview_window.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

namespace {

TImportAlbum Album(const QString& title, int songs, bool checked) {
  TImportAlbum a;
  a.contents.title = title;
  a.artist = QStringLiteral("Band");
  for (int i = 0; i < songs; ++i)
    a.contents.songs.push_back({QStringLiteral("Song %1").arg(i + 1), a.artist, 75, false});
  a.checked = checked;
  return a;
}

TEST(ImportPreviewWindow, ListsAlbumsWithTheirSongsAndStartsWithTheirCheckStates) {
  TImportPlan plan;
  plan.albums.push_back(Album(QStringLiteral("First"), 2, true));
  plan.albums.push_back(Album(QStringLiteral("Second"), 1, false));
  plan.albums[1].problems << QStringLiteral("The catalogue already has this album.");
  plan.problems << QStringLiteral("x.mp3: damaged file.");
  plan.filesRead = 3;
  plan.filesSkipped = 1;
  plan.otherFiles = 7;
  TImportPreviewWindow w(plan);

  ASSERT_EQ(w.AlbumList()->topLevelItemCount(), 2);
  QTreeWidgetItem* first = w.AlbumList()->topLevelItem(0);
  EXPECT_EQ(first->text(2), QStringLiteral("2"));
  EXPECT_EQ(first->text(3), QStringLiteral("2:30"));
  w.AlbumList()->expandItem(first);
  ASSERT_EQ(first->childCount(), 2);
  EXPECT_EQ(first->child(1)->text(0), QStringLiteral("2. Song 2"));
  EXPECT_EQ(first->child(1)->text(3), QStringLiteral("1:15"));
  EXPECT_EQ(w.CheckedAlbums(), std::vector<int>({0}));
  ASSERT_EQ(w.ProblemList()->count(), 2);
  EXPECT_EQ(w.ProblemList()->item(0)->text(),
            QStringLiteral("\"Second\": The catalogue already has this album."));
  EXPECT_EQ(w.ProblemList()->item(1)->text(), QStringLiteral("x.mp3: damaged file."));
  EXPECT_TRUE(w.Summary()->text().startsWith(
      QStringLiteral("Albums found: 2, with 3 songs from 3 music files. Files not read: 1. Other "
                     "files passed over: 7.")))
      << w.Summary()->text().toStdString();
}

TEST(ImportPreviewWindow, AddIsOfferedOnlyWithACheckedAlbumAndStaysOpenWhenRefused) {
  TImportPlan plan;
  plan.albums.push_back(Album(QStringLiteral("Only"), 1, false));
  TImportPreviewWindow w(plan);
  EXPECT_EQ(w.ProblemList()->item(0)->text(), QStringLiteral("No problems found."));
  EXPECT_FALSE(w.AddButton()->isEnabled());
  w.SetChecked(0, true);
  EXPECT_TRUE(w.AddButton()->isEnabled());

  std::vector<int> offered;
  bool accept = false;
  w.OnAdd = [&](const std::vector<int>& albums) {
    offered = albums;
    return accept;
  };
  w.AddButton()->click();
  EXPECT_EQ(offered, std::vector<int>({0}));
  EXPECT_NE(w.result(), QDialog::Accepted);
  accept = true;
  w.AddButton()->click();
  EXPECT_EQ(w.result(), QDialog::Accepted);
}

}  // namespace
