#include <gtest/gtest.h>

#include "shell/beside_placement.h"

namespace {

const QRect kScreen(0, 0, 1024, 768);

TEST(BesidePlacement, GoesRightWhenThereIsRoomElseLeftElseNowhere) {
  // Right of the owner, level with its top.
  EXPECT_EQ(PlaceBeside(QRect(0, 50, 500, 400), QSize(400, 300), kScreen), QPoint(500, 50));
  // Exactly filling the room on the right still fits.
  EXPECT_EQ(PlaceBeside(QRect(0, 0, 624, 400), QSize(400, 300), kScreen), QPoint(624, 0));
  // No room on the right: to the left.
  EXPECT_EQ(PlaceBeside(QRect(450, 10, 500, 400), QSize(400, 300), kScreen), QPoint(50, 10));
  // Room on neither side: none, the window system places it.
  EXPECT_EQ(PlaceBeside(QRect(200, 0, 700, 500), QSize(400, 300), kScreen), std::nullopt);
  EXPECT_EQ(PlaceBeside(QRect(0, 0, 300, 300), QSize(400, 800), kScreen), std::nullopt);
}

TEST(BesidePlacement, RisesToEndOnTheScreenAndKeepsToAnOffsetScreen) {
  // An owner low on the screen: the neighbour rises so its bottom edge stays on the screen.
  EXPECT_EQ(PlaceBeside(QRect(0, 600, 300, 100), QSize(400, 300), kScreen), QPoint(300, 468));
  // A second screen to the right of the first, with a panel on top.
  const QRect second(1024, 30, 1280, 994);
  EXPECT_EQ(PlaceBeside(QRect(1024, 0, 900, 500), QSize(300, 200), second), QPoint(1924, 30));
  EXPECT_EQ(PlaceBeside(QRect(1500, 100, 800, 500), QSize(400, 200), second), QPoint(1100, 100));
}

}  // namespace
