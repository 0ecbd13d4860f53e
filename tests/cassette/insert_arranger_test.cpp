#include "cassette/insert_arranger.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QButtonGroup>
#include <QToolButton>
#include <QWidget>

#include <memory>

#include "cassette_test_environment.h"

namespace {

TEST(InsertArrangerTables, PixelsAreTruncatedFromTenthsOfAnInch) {
  // Side 1 of layout 2 at 96 dpi: 11.52 -> 115, 36.48 -> 364.
  EXPECT_EQ(TenthsToPixels(ScreenRectangle(false, iaHCassetteUp, icSide1), 96),
            QRect(0, 115, 192, 249));
  EXPECT_EQ(TenthsToPixels(ScreenRectangle(false, iaHCassetteUp, icExcessSongs), 96),
            QRect(0, 364, 384, 68));
  EXPECT_EQ(TenthsToPixels(ScreenRectangle(true, iaHCassetteDown, icEdgeFlap), 120),
            QRect(0, 144, 480, 60));
}

TEST(InsertArrangerTables, EveryLayoutTilesTheInsertWithoutGapsOrOverlaps) {
  for (bool compact : {false, true}) {
    const int songArea = compact ? 12 : 26;
    for (int a = 0; a < 4; ++a) {
      const auto arrangement = InsertArrangement(a);
      int area = 0;
      for (TInsertControl c : {icFrontFlap, icEdgeFlap, icSide1, icSide2}) {
        const TTenthsRect r = ScreenRectangle(compact, arrangement, c);
        area += (r.right - r.left) * (r.bottom - r.top);
        EXPECT_GE(r.left, 0);
        EXPECT_LE(r.right, 40);
      }
      // 4.0 in wide: flaps 0.7 + 0.5, then the song area; no overlap means the areas add up.
      EXPECT_EQ(area, 40 * (7 + 5 + songArea)) << compact << a;
      const TTenthsRect front = ScreenRectangle(compact, arrangement, icFrontFlap);
      const TTenthsRect edge = ScreenRectangle(compact, arrangement, icEdgeFlap);
      EXPECT_EQ(front.bottom - front.top, 7);
      EXPECT_EQ(edge.bottom - edge.top, 5);
      const TTenthsRect excess = ScreenRectangle(compact, arrangement, icExcessSongs);
      EXPECT_EQ(excess.top, 12 + songArea);  // always below the insert
      EXPECT_EQ(excess.bottom - excess.top, 7);
    }
  }
  // Layout 1 on screen: front flap above the edge flap; layout 3: edge flap above the front.
  EXPECT_LT(ScreenRectangle(false, iaVCassetteDown, icFrontFlap).top,
            ScreenRectangle(false, iaVCassetteDown, icEdgeFlap).top);
  EXPECT_GT(ScreenRectangle(false, iaHCassetteDown, icFrontFlap).top,
            ScreenRectangle(false, iaHCassetteDown, icEdgeFlap).top);
}

TEST(InsertArrangerTables, CompactTableOnLargeFontsOrSmallScreens) {
  EXPECT_FALSE(CompactTableWanted({96, 768}));
  EXPECT_FALSE(CompactTableWanted({96, 600}));
  EXPECT_TRUE(CompactTableWanted({96, 599}));
  EXPECT_TRUE(CompactTableWanted({120, 1200}));
  EXPECT_TRUE(CompactTableWanted({97, 2000}));
}

TEST(InsertArrangerTables, StoredLayoutOutsideTheTableCountsAsTheDefault) {
  EXPECT_EQ(InsertArrangementFrom(0), iaVCassetteUp);
  EXPECT_EQ(InsertArrangementFrom(3), iaHCassetteDown);
  EXPECT_EQ(InsertArrangementFrom(4), iaHCassetteUp);
  EXPECT_EQ(InsertArrangementFrom(-1), iaHCassetteUp);
  EXPECT_EQ(InsertArrangementFrom(1000000), iaHCassetteUp);
}

class InsertArrangerTest : public ::testing::Test {
 protected:
  void Attach(TInsertArranger& arranger) {
    arranger.SetFrontFlap(&front_);
    arranger.SetEdgeFlap(&edge_);
    arranger.SetSide1(&side1_);
    arranger.SetSide2(&side2_);
    arranger.SetExcessSongs(&excess_);
    arranger.SetVerticalUpButton(&buttons_[0]);
    arranger.SetVerticalDownButton(&buttons_[1]);
    arranger.SetHorizontalUpButton(&buttons_[2]);
    arranger.SetHorizontalDownButton(&buttons_[3]);
    arranger.SetVerticalUpMenu(&menus_[0]);
    arranger.SetVerticalDownMenu(&menus_[1]);
    arranger.SetHorizontalUpMenu(&menus_[2]);
    arranger.SetHorizontalDownMenu(&menus_[3]);
    for (auto& button : buttons_) group_.addButton(&button);
  }
  void ExpectInStep(const TInsertArranger& arranger) {
    for (int a = 0; a < 4; ++a) {
      EXPECT_EQ(buttons_[a].isChecked(), a == arranger.Arrangement()) << a;
      EXPECT_EQ(menus_[a].isChecked(), a == arranger.Arrangement()) << a;
    }
  }

  QWidget parent_;
  QWidget front_{&parent_}, edge_{&parent_}, side1_{&parent_}, side2_{&parent_}, excess_{&parent_};
  QToolButton buttons_[4];
  QButtonGroup group_;
  QAction menus_[4];
};

TEST_F(InsertArrangerTest, CreatedWithSideBySideFlapsOnTopAndTheTableForTheScreen) {
  TInsertArranger normal(nullptr, {96, 768});
  EXPECT_EQ(normal.Arrangement(), iaHCassetteUp);
  EXPECT_FALSE(normal.Compact());
  EXPECT_EQ(normal.AreaHeight(), 432);
  EXPECT_EQ(normal.AreaWidth(), 384);
  TInsertArranger large(nullptr, {120, 1024});
  EXPECT_TRUE(large.Compact());
  EXPECT_EQ(large.AreaHeight(), 31 * 120 / 10);
  EXPECT_EQ(large.AreaWidth(), 480);
}

TEST_F(InsertArrangerTest, SettingALayoutMovesTheControlsAndKeepsButtonsAndMenuInStep) {
  TInsertArranger arranger(nullptr, {96, 768});
  Attach(arranger);
  arranger.SetArrangement(iaHCassetteUp);
  EXPECT_EQ(side1_.geometry(), QRect(0, 115, 192, 249));
  EXPECT_EQ(side2_.geometry(), QRect(192, 115, 192, 249));
  EXPECT_EQ(excess_.geometry(), QRect(0, 364, 384, 68));
  ExpectInStep(arranger);

  arranger.SetArrangement(iaVCassetteDown);
  EXPECT_EQ(side1_.geometry(), QRect(0, 0, 384, 124));
  EXPECT_EQ(front_.geometry(), TenthsToPixels({0, 26, 40, 33}, 96));
  ExpectInStep(arranger);

  // By button and by menu item alike.
  buttons_[iaHCassetteDown].click();
  EXPECT_EQ(arranger.Arrangement(), iaHCassetteDown);
  EXPECT_EQ(front_.geometry(), TenthsToPixels({0, 31, 40, 38}, 96));
  ExpectInStep(arranger);
  menus_[iaVCassetteUp].trigger();
  EXPECT_EQ(arranger.Arrangement(), iaVCassetteUp);
  EXPECT_EQ(side2_.geometry(), TenthsToPixels({0, 25, 40, 38}, 96));
  ExpectInStep(arranger);
}

TEST_F(InsertArrangerTest, AStoredLayoutOutOfRangeAppliesTheDefaultLayoutFully) {
  TInsertArranger arranger(nullptr, {96, 768});
  Attach(arranger);
  arranger.SetArrangement(iaVCassetteUp);
  arranger.SetArrangement(7);
  EXPECT_EQ(arranger.Arrangement(), iaHCassetteUp);
  EXPECT_EQ(side1_.geometry(), QRect(0, 115, 192, 249));
  ExpectInStep(arranger);
}

TEST_F(InsertArrangerTest, UnsetControlsAreSkippedAndCompactTableIsUsedAt120Dpi) {
  TInsertArranger arranger(nullptr, {120, 2000});
  arranger.SetSide2(&side2_);
  arranger.SetArrangement(iaHCassetteDown);
  EXPECT_EQ(side2_.geometry(), QRect(240, 0, 240, 144));
  // A control destroyed while attached is skipped too.
  {
    QWidget gone;
    arranger.SetSide1(&gone);
  }
  arranger.SetArrangement(iaVCassetteUp);
  EXPECT_EQ(arranger.Side1(), nullptr);
}

}  // namespace
