#include "shell/window_placement.h"

#include <QScreen>
#include <QWidget>

#include "platform/exceptions.h"
#include "platform/profile.h"
#include "shell_test_environment.h"

namespace {

class PlacementTest : public SettingsTest {
 protected:
  void Store(const QString& section, std::initializer_list<std::pair<const char*, int>> values) {
    TProfile ini("ReelSmt.ini");
    for (const auto& [key, value] : values) ini.WriteInteger(section, key, value);
  }
  // A hidden window of 300 by 200 at (50, 60) named like the catalogue window.
  std::unique_ptr<QWidget> NewWindow(const QString& name = "ReelsmithForm") {
    auto window = std::make_unique<QWidget>();
    window->setObjectName(name);
    window->setGeometry(50, 60, 300, 200);
    return window;
  }
  TPlacement* NewPlacement(QWidget* window) {
    auto* placement = new TPlacement(window);  // owned by the window
    placement->SetIniFileName("ReelSmt.ini");
    return placement;
  }
};

TEST_F(PlacementTest, SectionDefaultsToTheOwnersName) {
  auto window = NewWindow("CDPlayer");
  TPlacement placement(window.get());
  EXPECT_EQ(placement.Section(), "CDPlayer");
  placement.SetSection("Other");
  EXPECT_EQ(placement.Section(), "Other");
  EXPECT_TRUE(placement.SetSize());
  EXPECT_FALSE(placement.ForceInvisible());
}

TEST_F(PlacementTest, SaveAndRestoreRoundTrip) {
  auto first = NewWindow();
  first->setGeometry(120, 80, 400, 300);
  first->show();
  NewPlacement(first.get())->SavePlacement();
  const TProfile ini("reelsmt.ini");
  EXPECT_EQ(ini.ReadInteger("ReelsmithForm", "PlaceNormPosL", -1), 120);
  EXPECT_EQ(ini.ReadInteger("ReelsmithForm", "PlaceNormPosB", -1), 380);
  EXPECT_EQ(ini.ReadInteger("ReelsmithForm", "PlaceShowCmd", -1), 1);

  auto second = NewWindow();
  NewPlacement(second.get())->RestorePlacement();
  EXPECT_EQ(second->geometry(), QRect(120, 80, 400, 300));
  EXPECT_TRUE(second->isVisible());
  EXPECT_FALSE(second->isMaximized());
}

TEST_F(PlacementTest, MaximisedWindowKeepsItsNormalRectangle) {
  auto first = NewWindow();
  first->setGeometry(20, 30, 200, 100);
  first->showMaximized();
  NewPlacement(first.get())->SavePlacement();
  EXPECT_EQ(TProfile("reelsmt.ini").ReadInteger("ReelsmithForm", "PlaceShowCmd", -1), 3);

  auto second = NewWindow();
  NewPlacement(second.get())->RestorePlacement();
  EXPECT_TRUE(second->isMaximized());
  EXPECT_EQ(second->normalGeometry(), QRect(20, 30, 200, 100));
}

TEST_F(PlacementTest, NothingHappensWithoutFileOrStoredPlacement) {
  auto window = NewWindow();
  TPlacement unnamed(window.get());  // no settings file named
  unnamed.RestorePlacement();
  unnamed.SavePlacement();
  EXPECT_FALSE(QFile::exists(TProfile("reelsmt.ini").FileName()));

  Store("OtherWindow", {{"PlaceNormPosR", 500}});
  NewPlacement(window.get())->RestorePlacement();  // its own section is missing: left = right = 0
  EXPECT_EQ(window->geometry(), QRect(50, 60, 300, 200));
  EXPECT_FALSE(window->isVisible());
}

TEST_F(PlacementTest, RectangleOutsideTheScreenMovesToItsEdge) {
  const QSize screen = QGuiApplication::primaryScreen()->size();
  Store("ReelsmithForm", {{"PlaceNormPosL", -200},
                          {"PlaceNormPosT", screen.height() + 10},
                          {"PlaceNormPosR", 400},
                          {"PlaceNormPosB", screen.height() + 310}});
  auto window = NewWindow();
  // Without a frame, so the platform has no reason to move a window at the screen's corner.
  window->setWindowFlag(Qt::FramelessWindowHint);
  NewPlacement(window.get())->RestorePlacement();
  EXPECT_EQ(window->geometry(), QRect(0, 0, 600, 300));
}

TEST_F(PlacementTest, ARectangleStoredOnALargerScreenComesBackWhole) {
  const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
  // Stored at twice the screen's size, its top left corner inside the screen.
  Store("ReelsmithForm", {{"PlaceNormPosL", room.width() / 2},
                          {"PlaceNormPosT", room.height() / 2},
                          {"PlaceNormPosR", room.width() / 2 + 2 * room.width()},
                          {"PlaceNormPosB", room.height() / 2 + 2 * room.height()}});
  auto window = NewWindow();
  window->setWindowFlag(Qt::FramelessWindowHint);
  NewPlacement(window.get())->RestorePlacement();
  EXPECT_EQ(window->geometry(), room);

  // Hanging over the right and bottom edges, it moves in and keeps its size.
  Store("ReelsmithForm", {{"PlaceNormPosL", room.right() - 100},
                          {"PlaceNormPosT", room.bottom() - 50},
                          {"PlaceNormPosR", room.right() + 200},
                          {"PlaceNormPosB", room.bottom() + 150}});
  NewPlacement(window.get())->RestorePlacement();
  EXPECT_EQ(window->geometry(), QRect(room.right() - 299, room.bottom() - 199, 300, 200));

  // The rule alone: a window wider than the room starts at its left edge.
  TWindowPlacement p;
  p.left = 500;
  p.right = 1500;
  p.top = 10;
  p.bottom = 110;
  KeepOnScreen(p, QRect(100, 0, 800, 600));
  EXPECT_EQ(QRect(QPoint(p.left, p.top), QPoint(p.right, p.bottom)),
            QRect(QPoint(100, 10), QPoint(900, 110)));
}

TEST_F(PlacementTest, CorrectionsOfStoredPositions) {
  TWindowPlacement p;
  p.minPosition = QPoint(-1, 601);
  p.maxPosition = QPoint(800, 600);  // the screen size itself is allowed
  p.left = 800;
  p.right = 900;
  p.top = 600;
  p.bottom = 650;
  EXPECT_TRUE(CorrectPlacement(p, QSize(800, 600)));
  EXPECT_EQ(p.minPosition, QPoint(0, 0));
  EXPECT_EQ(p.maxPosition, QPoint(800, 600));
  EXPECT_EQ(QRect(QPoint(p.left, p.top), QPoint(p.right, p.bottom)),
            QRect(QPoint(800, 600), QPoint(900, 650)));

  p.left = 801;
  EXPECT_TRUE(CorrectPlacement(p, QSize(800, 600)));
  EXPECT_EQ(p.left, 0);
  EXPECT_EQ(p.right, 99);

  p.left = 10;
  p.right = 10;
  EXPECT_FALSE(CorrectPlacement(p, QSize(800, 600)));
}

TEST_F(PlacementTest, OnAWideScreenEachEdgeIsCheckedAgainstItsOwnSide) {
  // Below a screen 600 high although within its width: moves to the top.
  TWindowPlacement p;
  p.maxPosition = QPoint(900, 700);
  p.left = 100;
  p.right = 500;
  p.top = 700;
  p.bottom = 900;
  EXPECT_TRUE(CorrectPlacement(p, QSize(1024, 600)));
  EXPECT_EQ(QRect(QPoint(p.left, p.top), QPoint(p.right, p.bottom)),
            QRect(QPoint(100, 0), QPoint(500, 200)));
  EXPECT_EQ(p.maxPosition, QPoint(900, 0));

  // Right of a screen 600 wide although within its height: moves to the left edge.
  p = TWindowPlacement();
  p.minPosition = QPoint(700, 900);
  p.left = 700;
  p.right = 900;
  p.top = 900;
  p.bottom = 1000;
  EXPECT_TRUE(CorrectPlacement(p, QSize(600, 1024)));
  EXPECT_EQ(QRect(QPoint(p.left, p.top), QPoint(p.right, p.bottom)),
            QRect(QPoint(0, 900), QPoint(200, 1000)));
  EXPECT_EQ(p.minPosition, QPoint(0, 900));
}

TEST_F(PlacementTest, WithoutSetSizeOnlyThePositionIsRestored) {
  Store("CDPlayer", {{"PlaceNormPosL", 10},
                     {"PlaceNormPosT", 10},
                     {"PlaceNormPosR", 500},
                     {"PlaceNormPosB", 400}});
  auto window = NewWindow("CDPlayer");
  TPlacement* placement = NewPlacement(window.get());
  placement->SetSetSize(false);
  placement->RestorePlacement();
  EXPECT_EQ(window->geometry(), QRect(QPoint(10, 10), QPoint(309, 209)));  // (10, 10, 310, 210)
}

TEST_F(PlacementTest, ForceInvisibleNeverShowsTheWindow) {
  for (const char* section : {"ReelsmithForm", "CDPlayer"})
    Store(section, {{"PlaceShowCmd", 3},
                    {"PlaceNormPosL", 10},
                    {"PlaceNormPosT", 20},
                    {"PlaceNormPosR", 210},
                    {"PlaceNormPosB", 120}});

  auto main = NewWindow("ReelsmithForm");
  NewPlacement(main.get())->RestorePlacement();
  EXPECT_TRUE(main->isVisible());
  EXPECT_TRUE(main->isMaximized());

  auto player = NewWindow("CDPlayer");
  TPlacement* placement = NewPlacement(player.get());
  placement->SetForceInvisible(true);
  placement->RestorePlacement();
  EXPECT_FALSE(player->isVisible());
  EXPECT_FALSE(player->isMaximized());
  EXPECT_EQ(player->geometry(), QRect(10, 20, 200, 100));
  // Shown later, it comes up normal, where it was stored.
  player->show();
  EXPECT_EQ(player->geometry(), QRect(10, 20, 200, 100));
}

TEST_F(PlacementTest, HexAndMalformedKeys) {
  TProfile ini("ReelSmt.ini");
  ini.WriteString("ReelsmithForm", "PlaceNormPosL", "0x10");
  ini.WriteString("ReelsmithForm", "PlaceNormPosT", "junk");  // default 0
  ini.WriteString("ReelsmithForm", "PlaceNormPosR", "0X110");
  ini.WriteString("ReelsmithForm", "PlaceNormPosB", "100");
  auto window = NewWindow();
  NewPlacement(window.get())->RestorePlacement();
  EXPECT_EQ(window->geometry(), QRect(16, 0, 256, 100));
}

TEST_F(PlacementTest, SaveFailures) {
  QWidget window;
  auto* child = new QWidget(&window);  // not a window: it has no placement
  TPlacement* placement = NewPlacement(child);
  try {
    placement->SavePlacement();
    ADD_FAILURE() << "saved";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Unable to retrieve window placement");
  }

  // The settings folder cannot be made.
  QFile blocker(home_.path() + "/reelsmith");
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  auto topLevel = NewWindow();
  EXPECT_THROW(NewPlacement(topLevel.get())->SavePlacement(), Exception);
}

}  // namespace
