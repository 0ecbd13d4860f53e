#include "cassette/cassette_section.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFontInfo>
#include <QListWidget>
#include <QMenu>
#include <QTest>

#include "cassette/cassette_list.h"
#include "cassette/insert_section.h"
#include "cassette_test_environment.h"
#include "shell/font_dialog.h"

namespace {

QStringList Captions(const QList<QAction*>& items) {
  QStringList captions;
  for (const QAction* item : items) captions << (item->isSeparator() ? "-" : item->text());
  return captions;
}

TEST(CassetteSection, MenuSetsTheAlignmentThatThePrintedSectionCopies) {
  TCassetteSection section;
  EXPECT_EQ(section.Alignment(), taLeftJustify);
  const QList<QAction*> items = section.MenuItems();
  EXPECT_EQ(Captions(items), QStringList({"&Left", "&Center", "&Right", "-", "&Font..."}));
  for (const QAction* item : items) EXPECT_FALSE(item->isChecked());

  section.setPlainText("Summer\nMix");
  items[1]->trigger();
  EXPECT_EQ(section.Alignment(), taCenter);
  EXPECT_EQ(section.document()->defaultTextOption().alignment(), Qt::AlignHCenter);
  TInsertSection printed;
  printed.AssignFrom(&section);
  EXPECT_EQ(printed.Alignment(), taCenter);
  EXPECT_EQ(printed.Lines(), QStringList({"Summer", "Mix"}));
  items[2]->trigger();
  EXPECT_EQ(section.Alignment(), taRightJustify);
  items[0]->trigger();
  EXPECT_EQ(section.Alignment(), taLeftJustify);
}

TEST(CassetteSection, FontDialogChangesTheFontOnlyOnOk) {
  TCassetteSection section;
  section.setFont(QFont("Arial", 10));
  QFont asked;
  {
    TFontDialogSeam cancel([&](const TFontDialogRequest& r) -> std::optional<QFont> {
      asked = r.font;
      return std::nullopt;
    });
    section.MenuItems()[4]->trigger();
  }
  EXPECT_EQ(asked.pointSize(), 10);
  EXPECT_EQ(section.font().pointSize(), 10);
  TFontDialogSeam ok(
      [](const TFontDialogRequest&) { return std::optional<QFont>(QFont("Arial", 14)); });
  section.MenuItems()[4]->trigger();
  EXPECT_EQ(section.font().pointSize(), 14);
}

TEST(CassetteSection, APrintedFlapTakesTheLinesAsTheSectionWrapsThem) {
  TCassetteSection section;
  section.setFont(QFont("Arial", 10));
  section.resize(120, 200);
  section.setPlainText("one two three four five six seven eight\nlast");
  section.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&section));
  const QStringList shown = section.ShownLines();
  ASSERT_GT(shown.size(), 2);
  EXPECT_EQ(shown.join(' '), "one two three four five six seven eight last");
  EXPECT_EQ(shown.back(), "last");
  TInsertSection printed;
  printed.SetLines({"stale"});
  printed.AssignFrom(&section);
  EXPECT_EQ(printed.Lines(), shown);
  EXPECT_EQ(printed.Font().pointSize(), 10);

  // An empty flap prints no lines; a list copies its entries and font but not an alignment.
  section.clear();
  printed.AssignFrom(&section);
  EXPECT_TRUE(printed.Lines().isEmpty());
  TCassetteList list;
  list.setFont(QFont("Arial", 12));
  list.AddEntry("Song", nullptr);
  printed.SetAlignment(taCenter);
  printed.AssignFrom(&list);
  EXPECT_EQ(printed.Lines(), QStringList({"Song"}));
  EXPECT_EQ(printed.Font().pointSize(), 12);
  EXPECT_EQ(printed.Alignment(), taCenter);
}

}  // namespace
