#include "cassette/cassette_list.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFileInfo>
#include <QMenu>

#include <memory>

#include "cassette/song_arrangement.h"
#include "cassette_test_environment.h"
#include "client/database.h"
#include "shell/font_dialog.h"

namespace {

int FontItems(const TCassetteList& list) {
  int n = 0;
  for (const QAction* item : list.PopupMenu()->actions()) n += item->text() == "&Font...";
  return n;
}

TEST(CassetteList, FontItemComesAndGoesWithSetableFont) {
  TCassetteList list;
  EXPECT_EQ(list.RemoveItem()->text(), "&Remove Highlighted Song");
  EXPECT_EQ(FontItems(list), 0);  // the excess list offers only the remove item
  list.SetSetableFont(true);
  list.SetSetableFont(true);
  EXPECT_EQ(FontItems(list), 1);
  list.SetSetableFont(false);
  EXPECT_EQ(FontItems(list), 0);
  EXPECT_EQ(list.FontItem(), nullptr);
  list.SetSetableFont(true);
  EXPECT_EQ(FontItems(list), 1);
  EXPECT_EQ(list.PopupMenu()->actions().size(), 2);

  list.setFont(QFont("Arial", 10));
  TFontDialogSeam cancel([](const TFontDialogRequest&) { return std::optional<QFont>(); });
  list.FontItem()->trigger();
  EXPECT_EQ(list.font().pointSize(), 10);
  TFontDialogSeam ok([](const TFontDialogRequest& r) {
    QFont f = r.font;
    f.setPointSize(r.font.pointSize() + 6);
    return std::optional<QFont>(f);
  });
  list.FontItem()->trigger();
  EXPECT_EQ(list.font().pointSize(), 16);
}

TEST(CassetteList, EntriesAreAtLeastSixteenPixelsAndTheirFontsLine) {
  TCassetteList list;
  list.setFont(QFont("Arial", 10));
  list.AddEntry("Song", nullptr);
  EXPECT_GE(list.EntryHeight(), 16 * list.logicalDpiY() / 96);
  list.setFont(QFont("Arial", 30));
  EXPECT_GE(list.EntryHeight(), QFontMetrics(list.font()).height());
  EXPECT_EQ(list.item(0)->sizeHint().height(), list.EntryHeight());
}

TLibrarySearch RealLibrary() {
  TLibrarySearch search;
  search.Folders << QFileInfo(QStringLiteral(RS_LIB_PATH)).absolutePath();
  search.SystemSearch = false;
  return search;
}

TEST(CassetteList, RemovingTheHighlightedSongRemovesItsFirstOccurrence) {
  auto db = std::make_unique<TReelsmithDB>(nullptr, RealLibrary());
  db->Clear();
  TCassetteList side1, side2, excess;
  TSongArrangement arrangement;
  arrangement.SetSide1Ctrl(&side1);
  arrangement.SetSide2Ctrl(&side2);
  arrangement.SetExcessSongs(&excess);
  arrangement.SetDataSource(db.get());
  arrangement.SetTapeLength(5400);
  auto artist = TReelsmithArtist::CreateNew(db.get(), "Artist");
  auto album = TReelsmithAlbum::CreateNew(db.get(), "Album", "", "", 0, 0, 0);
  album->BeginAddSong();
  album->AddSong("X", 100, *artist, 1);
  album->AddSong("Y", 100, *artist, 2);
  album->FinishAddSong();
  arrangement.AddSongs(*album);
  arrangement.AddSongs(*album);
  ASSERT_EQ(side1.EntryCount(), 4);

  // Nothing highlighted, or no arrangement: the item is disabled.
  side1.setCurrentRow(-1);
  side1.PreparePopup();
  EXPECT_FALSE(side1.RemoveItem()->isEnabled());
  side1.setCurrentRow(2);
  side1.PreparePopup();
  EXPECT_FALSE(side1.RemoveItem()->isEnabled());
  side1.SetSongArrangement(&arrangement);
  side1.PreparePopup();
  EXPECT_TRUE(side1.RemoveItem()->isEnabled());

  // The highlighted entry is the second "X": the first one goes.
  side1.RemoveItem()->trigger();
  ASSERT_EQ(side1.EntryCount(), 3);
  EXPECT_EQ(side1.EntryText(0), "Y");
  EXPECT_EQ(side1.EntryText(1), "X");
  EXPECT_EQ(side1.EntryText(2), "Y");
}

}  // namespace
