#include "select_test_environment.h"

#include "select/list_box.h"

#include <QTest>

namespace {

TEST(ExListBox, RaisesOnChangeOnceForEachNewIndexTheUserMakes) {
  TExListBox lb;
  int changes = 0;
  int clicks = 0;
  lb.OnChange = [&] { ++changes; };
  lb.OnClick = [&] { ++clicks; };
  lb.AddItem("cherry", nullptr);
  lb.AddItem("apple", nullptr);
  lb.AddItem("Banana", nullptr);
  EXPECT_EQ(lb.item(0)->text(), "apple");  // sorted in the user's locale, not by code
  EXPECT_EQ(lb.item(1)->text(), "Banana");
  EXPECT_EQ(lb.LastIndex(), -1);
  lb.resize(200, 200);
  lb.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&lb));

  const QPoint second = lb.visualItemRect(lb.item(1)).center();
  QTest::mouseClick(lb.viewport(), Qt::LeftButton, {}, second);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(lb.LastIndex(), 1);
  EXPECT_EQ(clicks, 1);
  QTest::mouseClick(lb.viewport(), Qt::LeftButton, {}, second);
  EXPECT_EQ(changes, 1);

  QTest::keyClick(lb.viewport(), Qt::Key_Down);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(lb.LastIndex(), 2);
  EXPECT_EQ(clicks, 3);

  // A change made by the program is noticed at the next check only.
  lb.SetItemIndex(0);
  EXPECT_EQ(changes, 2);
  QTest::keyClick(lb.viewport(), Qt::Key_Shift);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(lb.LastIndex(), 0);
}

}  // namespace
