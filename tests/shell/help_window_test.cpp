#include "shell/help_window.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include "app_test_environment.h"

namespace {

// What a page offers as a link target and where it links to, as the help browser reads it.
struct TPageLinks {
  QSet<QString> anchors;
  QStringList hrefs;
};

TPageLinks LinksOf(const QString& file) {
  QFile source(":/help/" + file);
  EXPECT_TRUE(source.open(QIODevice::ReadOnly)) << file.toStdString();
  QTextDocument document;
  document.setHtml(QString::fromUtf8(source.readAll()));
  TPageLinks links;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat format = it.fragment().charFormat();
      for (const QString& name : format.anchorNames()) links.anchors.insert(name);
      if (!format.anchorHref().isEmpty()) links.hrefs << format.anchorHref();
    }
  }
  return links;
}

QString FileOf(const QUrl& url) { return url.path().section('/', -1); }

class HelpTest : public ::testing::Test {
 protected:
  THelpIndex index_;  // also registers the help resources
};

TEST_F(HelpTest, EveryContextOpensAnAnchorOfAPageAndUnknownOnesTheContents) {
  const auto contexts = HelpContexts();
  ASSERT_EQ(contexts.size(), 17u);
  for (const auto& entry : contexts) {
    const QUrl url = HelpUrlOf(entry.context);
    ASSERT_TRUE(QFile::exists(":/help/" + FileOf(url))) << entry.context;
    EXPECT_TRUE(LinksOf(FileOf(url)).anchors.contains(url.fragment()))
        << entry.context << " " << url.toString().toStdString();
  }
  EXPECT_EQ(HelpUrlOf(0), HelpContentsUrl());
  EXPECT_EQ(HelpUrlOf(160), HelpContentsUrl());
  EXPECT_EQ(HelpUrlOf(-5), HelpContentsUrl());
}

TEST_F(HelpTest, EveryLinkLeadsToAPageAndAnchorOfTheHelp) {
  const QStringList files = QDir(":/help").entryList(QDir::Files);
  QStringList listed;
  for (const auto& page : index_.Pages()) {
    listed << page.file;
    EXPECT_FALSE(page.title.isEmpty()) << page.file.toStdString();
  }
  // The contents list shows every page exactly once.
  EXPECT_EQ(QSet<QString>(listed.begin(), listed.end()), QSet<QString>(files.begin(), files.end()));
  EXPECT_EQ(listed.size(), files.size());

  QSet<QString> linkedTo;
  for (const QString& file : files) {
    for (const QString& href : LinksOf(file).hrefs) {
      const QUrl target = HelpPageUrl(file).resolved(QUrl(href));
      const QString where = file + " -> " + href;
      ASSERT_EQ(target.scheme(), "qrc") << where.toStdString();
      ASSERT_TRUE(files.contains(FileOf(target))) << where.toStdString();
      if (target.hasFragment()) {
        EXPECT_TRUE(LinksOf(FileOf(target)).anchors.contains(target.fragment()))
            << where.toStdString();
      }
      linkedTo.insert(FileOf(target));
    }
  }
  // No page is unreachable from the others.
  for (const QString& file : files) {
    if (file != "index.html") {
      EXPECT_TRUE(linkedTo.contains(file)) << file.toStdString();
    }
  }
}

TEST_F(HelpTest, SearchListsPagesHoldingEveryWordRegardlessOfCase) {
  EXPECT_EQ(index_.Find("dbase").first(), "index.html");  // the contents name every topic
  EXPECT_TRUE(index_.Find("ALBUMTITLE").contains("export.html"));
  EXPECT_EQ(index_.Find("Albumtitle"), index_.Find("albumtitle"));
  EXPECT_EQ(index_.Find("REELSMITH_CD"), QStringList({"cd.html", "about.html"}));
  // Words are matched as beginnings of words: "optimi" finds "Optimize".
  EXPECT_TRUE(index_.Find("optimi").contains("cassette.html"));
  // All words must be on the page.
  const QStringList both = index_.Find("background tile");
  EXPECT_EQ(both, QStringList({"insert.html"}));
  EXPECT_TRUE(index_.Find("background xylophone").isEmpty());
  EXPECT_EQ(index_.Find("").size(), static_cast<qsizetype>(index_.Pages().size()));
}

TEST_F(HelpTest, ContextsWalkUpToTheNearestParentThatHasOne) {
  QWidget window;
  auto* panel = new QWidget(&window);
  auto* field = new QLineEdit(panel);
  EXPECT_EQ(HelpContextOf(field), 0);
  SetHelpContext(&window, 10);
  EXPECT_EQ(HelpContextOf(field), 10);
  SetHelpContext(panel, 20);
  EXPECT_EQ(HelpContextOf(field), 20);
  SetHelpContext(panel, 0);
  EXPECT_EQ(HelpContextOf(field), 10);
  EXPECT_EQ(HelpContextOf(nullptr), 0);
}

TEST_F(HelpTest, WindowShowsContentsSearchAndGoesBack) {
  QObject owner;
  THelp help(&owner);
  EXPECT_EQ(help.Window(), nullptr);
  help.Contents();
  THelpWindow* window = help.Window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->Source(), HelpContentsUrl());
  EXPECT_FALSE(window->Browser()->toPlainText().isEmpty());

  help.ShowContext(100);
  EXPECT_EQ(help.Window(), window);  // reused
  EXPECT_EQ(window->Source(), HelpPageUrl("cd.html", "player"));
  EXPECT_EQ(window->ContentsList()->currentItem()->data(Qt::UserRole).toString(), "cd.html");
  ASSERT_TRUE(window->BackButton()->isEnabled());
  window->BackButton()->click();
  EXPECT_EQ(window->Source(), HelpContentsUrl());
  window->ForwardButton()->click();
  EXPECT_EQ(window->Source(), HelpPageUrl("cd.html", "player"));

  help.ShowContext(12345);
  EXPECT_EQ(window->Source(), HelpContentsUrl());

  help.Search("");
  EXPECT_TRUE(window->SearchField()->text().isEmpty());
  EXPECT_EQ(window->SearchResults()->count(), static_cast<int>(window->Index().Pages().size()));
  QTest::keyClicks(window->SearchField(), "MERGE refused");
  ASSERT_EQ(window->SearchResults()->count(), 1);
  QListWidgetItem* result = window->SearchResults()->item(0);
  EXPECT_EQ(result->text(), "Merging two catalogues");
  emit window->SearchResults()->itemActivated(result);
  EXPECT_EQ(FileOf(window->Source()), "merge.html");
}

TEST_F(HelpTest, F1OpensThePageOfTheFocusedWidgetElseOfTheWindow) {
  QObject owner;
  THelp help(&owner);
  QWidget window;
  SetHelpContext(&window, 80);
  auto* layout = new QVBoxLayout(&window);
  auto* withContext = new QLineEdit;
  auto* without = new QLineEdit;
  layout->addWidget(withContext);
  layout->addWidget(without);
  SetHelpContext(withContext, 90);
  help.InstallHelpKey(withContext);  // any widget of the window will do
  help.InstallHelpKey(&window);       // a second call must not make F1 ambiguous
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

  withContext->setFocus();
  QTest::keyClick(withContext, Qt::Key_F1);
  ASSERT_NE(help.Window(), nullptr);
  EXPECT_EQ(help.Window()->Source(), HelpPageUrl("insert.html", "background"));

  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  without->setFocus();
  QTest::keyClick(without, Qt::Key_F1);
  EXPECT_EQ(help.Window()->Source(), HelpPageUrl("cassette.html", "window"));
  EXPECT_FALSE(help.Window()->testAttribute(Qt::WA_QuitOnClose));
}

}  // namespace
