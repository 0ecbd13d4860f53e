#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <functional>

#include "report_test_environment.h"
#include "reports/report_dialog.h"
#include "shell/cancel_dialog.h"
#include "shell/cancel_dialog_wrapper.h"
#include "shell/message_dialog.h"
#include "shell/print_dialogs.h"

namespace {

using report_test::AlbumRow;
using report_test::DbTest;

// One word of a printed page as pdftotext places it (points from the page's top-left).
struct Word {
  QString text;
  double x = 0, y = 0, height = 0;
  int page = 0;
};

class ReportDialog : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    ASSERT_TRUE(dir_.isValid());
    pdf_ = dir_.filePath(QStringLiteral("listing.pdf"));
    db_->SetFileName(dir_.filePath(QStringLiteral("rock.mus")));
  }

  // Answers the print dialog with a PDF file on A4 and the copies given.
  std::unique_ptr<TPrintDialogSeam> PrintTo(const QString& file, int copies = 1,
                                            QPageSize size = QPageSize(QPageSize::A4)) {
    return std::make_unique<TPrintDialogSeam>([=](const TPrintDialogRequest& request) {
      request.printer->setOutputFormat(QPrinter::PdfFormat);
      request.printer->setOutputFileName(file);
      request.printer->setPageSize(size);
      request.printer->setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
      request.printer->setCopyCount(copies);
      return true;
    });
  }

  void Print(TReportDlg& dialog, int copies = 1) {
    auto seam = PrintTo(pdf_, copies);
    dialog.PrintClick();
  }

  static QString PdfText(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(30000));
    return QString::fromUtf8(p.readAllStandardOutput());
  }

  static int PageCount(const QString& file) {
    return static_cast<int>(PdfText(file).count(QLatin1Char('\f')));
  }

  static std::vector<Word> Words(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(30000));
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression pattern(
        QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"[\\d.]+\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    std::vector<Word> words;
    int page = 0;
    for (auto it = pattern.globalMatch(html); it.hasNext();) {
      const auto m = it.next();
      if (m.captured(0) == QLatin1String("<page ")) {
        ++page;
        continue;
      }
      Word w;
      w.text = m.captured(4).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
      w.x = m.captured(1).toDouble();
      w.y = m.captured(2).toDouble();
      w.height = m.captured(3).toDouble() - w.y;
      w.page = page;
      words.push_back(w);
    }
    return words;
  }

  static const Word* Find(const std::vector<Word>& words, const QString& text, int nth = 0) {
    for (const Word& w : words)
      if (w.text == text && nth-- == 0) return &w;
    return nullptr;
  }

  // The words from `texts` in the order they appear on the pages, top to bottom; with maxX only
  // those starting left of it.
  static QStringList InPrintedOrder(const std::vector<Word>& words, const QStringList& texts,
                                    double maxX = 1e9) {
    std::vector<Word> hits;
    for (const Word& w : words)
      if (texts.contains(w.text) && w.x < maxX) hits.push_back(w);
    std::stable_sort(hits.begin(), hits.end(), [](const Word& a, const Word& b) {
      return a.page != b.page ? a.page < b.page : a.y < b.y - 1;
    });
    QStringList out;
    for (const Word& w : hits) out << w.text;
    return out;
  }

  void AddSampleAlbums() {
    AddAlbum(QStringLiteral("zebra"), QStringLiteral("Abba"));
    AddAlbum(QStringLiteral("Échos"), QStringLiteral("Abba"));
    AddAlbum(QStringLiteral("apple"), QStringLiteral("Vangelis"));
    AlbumRow mixed;
    mixed.title = QStringLiteral("Mix");
    mixed.songs = {{"One", 100, "Zappa"}, {"Two", 5, "Abba"}};
    AddAlbum(mixed);
  }

  QTemporaryDir dir_;
  QString pdf_;
};

TEST_F(ReportDialog, LaysOutTheColumnsOfEachReportTypeByTheWidthRules) {
  // Each choice field gets its first choice just before its definition: defining one field
  // empties the other while that one is still out of use.
  db_->SetUserChoiceFieldItem(1, 0, QStringLiteral("Jazz"));
  db_->SetUserChoiceFieldInfo(1, QStringLiteral("&Genre"), 1);
  db_->SetUserChoiceFieldItem(2, 0, QStringLiteral("Calm"));
  db_->SetUserChoiceFieldInfo(2, QStringLiteral("Mood"), 1);
  db_->SetUserTextFieldInfo(1, QStringLiteral("Notes"), true);
  db_->SetUserTextFieldInfo(2, QStringLiteral("Shelf"), true);
  TReportDlg dialog(db_.get());
  EXPECT_EQ(dialog.windowTitle(), "Print Database");
  EXPECT_EQ(dialog.ReportType()->currentText(), "Albums Only");
  const int grid = dialog.LayoutGridWidth();
  std::vector<TReportLayoutColumn> columns = dialog.Columns();
  const int n = static_cast<int>(columns.size());
  ASSERT_EQ(n, 7);  // title, artist, medium and the four user fields
  std::vector<int> codes;
  for (const auto& c : columns) codes.push_back(c.code);
  const std::vector<int> fieldCodes = {1, 7, 2, 3, 4, 5, 6};
  EXPECT_EQ(codes, std::vector<int>(fieldCodes.begin(), fieldCodes.begin() + n));
  EXPECT_EQ(columns[3].label, "Genre");  // the first "&" goes
  EXPECT_EQ(columns[0].width, grid * ((100 - 12 * (n - 2)) / 2) / 100 - 1);
  EXPECT_EQ(columns[1].width, grid * ((100 - 12 * (n - 2)) / 2) / 100 - 1);
  for (int i = 2; i < n; ++i) EXPECT_EQ(columns[static_cast<size_t>(i)].width, grid * 12 / 100 - 1);

  dialog.ReportType()->setCurrentIndex(rtSongsOnly);
  columns = dialog.Columns();
  ASSERT_EQ(columns.size(), 4u);
  EXPECT_EQ(columns[0].label, "Song");
  EXPECT_EQ(columns[3].label, "Time");
  EXPECT_EQ(columns[3].code, 9);
  EXPECT_EQ(columns[0].width, grid * 30 / 100 - 1);
  EXPECT_EQ(columns[3].width, grid * 10 / 100 - 1);

  // Moved and resized labels are what the dialog reports, in their new order.
  dialog.Layout()->horizontalHeader()->moveSection(1, 0);
  dialog.Layout()->setColumnWidth(2, 77);
  columns = dialog.Columns();
  EXPECT_EQ(columns[0].label, "Artist");
  EXPECT_EQ(columns[2].width, 77);
}

TEST_F(ReportDialog, AlbumsOnlyPrintsTheHeaderTheLabelsAndTheSortedAlbums) {
  AddSampleAlbums();
  TReportDlg dialog(db_.get());
  dialog.Layout()->setColumnWidth(0, 200);
  dialog.Layout()->setColumnWidth(1, 100);
  const std::vector<TReportLayoutColumn> columns = dialog.Columns();
  Print(dialog);
  ASSERT_TRUE(QFile::exists(pdf_));
  EXPECT_EQ(PageCount(pdf_), 1);
  const QString text = PdfText(pdf_);
  const QStringList lines = text.split(QLatin1Char('\n'));
  ASSERT_GE(lines.size(), 2);
  EXPECT_TRUE(lines[0].trimmed().startsWith(QStringLiteral("rock.mus"))) << lines[0].toStdString();
  EXPECT_TRUE(lines[0].contains(QStringLiteral("Music Collection Listing")));
  EXPECT_TRUE(lines[0].trimmed().endsWith(QStringLiteral("Page 1")));
  EXPECT_EQ(lines[1].trimmed(), "Albums Only");

  const std::vector<Word> words = Words(pdf_);
  // The title is centred, the page number at the right.
  const Word* music = Find(words, QStringLiteral("Music"));
  const Word* page = Find(words, QStringLiteral("Page"));
  ASSERT_TRUE(music && page);
  EXPECT_GT(music->x, 200);
  EXPECT_GT(page->x, 450);
  // Labels in the dialog's order, each above its column.
  const Word* titleLabel = Find(words, columns[0].label);
  const Word* artistLabel = Find(words, columns[1].label);
  const Word* mediumLabel = Find(words, columns[2].label);
  ASSERT_TRUE(titleLabel && artistLabel && mediumLabel);
  EXPECT_LT(titleLabel->x, artistLabel->x);
  EXPECT_EQ(InPrintedOrder(words, {"apple", "Échos", "Mix", "zebra"}),
            (QStringList{"apple", "Échos", "Mix", "zebra"}));
  const Word* apple = Find(words, QStringLiteral("apple"));
  const Word* vangelis = Find(words, QStringLiteral("Vangelis"));
  ASSERT_TRUE(apple && vangelis);
  EXPECT_NEAR(apple->x, titleLabel->x, 1.5);
  EXPECT_NEAR(vangelis->x, artistLabel->x, 1.5);
  // The columns on paper keep the layout's proportions.
  EXPECT_NEAR((artistLabel->x - titleLabel->x) / (mediumLabel->x - artistLabel->x), 2.0, 0.05);
  EXPECT_TRUE(text.contains(QStringLiteral("[Various Artists]")));
  EXPECT_TRUE(dialog.isEnabled());
  EXPECT_EQ(dialog.CancelDlgWrapper()->Dialog(), nullptr);
}

TEST_F(ReportDialog, MovingTheArtistLabelFirstSortsByArtist) {
  AddSampleAlbums();
  TReportDlg dialog(db_.get());
  dialog.Layout()->horizontalHeader()->moveSection(1, 0);
  Print(dialog);
  const std::vector<Word> words = Words(pdf_);
  EXPECT_EQ(InPrintedOrder(words, {"apple", "Échos", "Mix", "zebra"}),
            (QStringList{"Mix", "Échos", "zebra", "apple"}));
  const Word* abba = Find(words, QStringLiteral("Abba"));
  const Word* echos = Find(words, QStringLiteral("Échos"));
  ASSERT_TRUE(abba && echos);
  EXPECT_LT(abba->x, echos->x);
}

TEST_F(ReportDialog, AlbumsAndSongsIndentsTheSongsAndNamesArtistsOnlyOnMixedAlbums) {
  AddSampleAlbums();
  TReportDlg dialog(db_.get());
  dialog.ReportType()->setCurrentIndex(rtAlbumsAndSongs);
  Print(dialog);
  const QString text = PdfText(pdf_);
  EXPECT_TRUE(text.contains(QStringLiteral("Albums and Songs")));
  const std::vector<Word> words = Words(pdf_);
  const Word* mix = Find(words, QStringLiteral("Mix"));
  const Word* one = Find(words, QStringLiteral("One"));
  const Word* two = Find(words, QStringLiteral("Two"));
  const Word* zebra = Find(words, QStringLiteral("zebra"));
  ASSERT_TRUE(mix && one && two && zebra);
  EXPECT_GT(one->x, mix->x + 40);       // eight "M"s of indent
  EXPECT_GT(mix->height, one->height);  // the album line's font is larger than the songs'
  // Songs of the mixed album carry their artists; the single-artist album's song does not.
  const QStringList lines = text.split(QLatin1Char('\n'));
  auto lineWith = [&lines](const QString& word) {
    for (const QString& l : lines)
      if (l.contains(word)) return l;
    return QString();
  };
  EXPECT_TRUE(lineWith(QStringLiteral("One")).contains(QStringLiteral("Zappa")));
  EXPECT_TRUE(lineWith(QStringLiteral("Two")).contains(QStringLiteral("Abba")));
  // Times are set one character per cell, so the text reader may see gaps between them.
  EXPECT_TRUE(lineWith(QStringLiteral("Two")).remove(QLatin1Char(' ')).endsWith(
      QStringLiteral("0:05")));
  EXPECT_FALSE(lineWith(QStringLiteral("zebra song 1")).contains(QStringLiteral("Abba")));
  // A blank line after the album's songs: the next album is two song lines further down.
  const double step = two->y - one->y;
  EXPECT_GT(zebra->y - two->y, 1.8 * step);
}

TEST_F(ReportDialog, SongsOnlyListsEverySongInTitleOrderWithItsTime) {
  AddSampleAlbums();
  TReportDlg dialog(db_.get());
  dialog.ReportType()->setCurrentIndex(rtSongsOnly);
  Print(dialog);
  const QString text = PdfText(pdf_);
  EXPECT_TRUE(text.contains(QStringLiteral("Songs Only")));
  const std::vector<Word> words = Words(pdf_);
  const Word* artistLabel = Find(words, QStringLiteral("Artist"));
  ASSERT_TRUE(artistLabel);
  EXPECT_EQ(InPrintedOrder(words, {"One", "Two", "apple", "Échos", "zebra"}, artistLabel->x - 1),
            (QStringList{"apple", "Échos", "One", "Two", "zebra"}));
  const QRegularExpression line(QStringLiteral("One +Zappa +Mix +([0-9: ]+)\\n"));
  const QRegularExpressionMatch m = line.match(text);
  ASSERT_TRUE(m.hasMatch());
  EXPECT_EQ(m.captured(1).remove(QLatin1Char(' ')), "1:40");
}

TEST_F(ReportDialog, LongListingsContinueOnNumberedPagesWithoutLosingARecord) {
  for (int i = 0; i < 150; ++i)
    AddAlbum(QStringLiteral("Album%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("A"), 2);
  TReportDlg dialog(db_.get());
  dialog.ReportType()->setCurrentIndex(rtAlbumsAndSongs);
  Print(dialog);
  const int pages = PageCount(pdf_);
  EXPECT_GT(pages, 5);
  const QString text = PdfText(pdf_);
  EXPECT_TRUE(text.contains(QStringLiteral("Page %1").arg(pages)));
  for (int i = 0; i < 150; ++i) {
    const QString title = QStringLiteral("Album%1").arg(i, 3, 10, QLatin1Char('0'));
    // The album line and its two song lines.
    ASSERT_EQ(text.count(QRegularExpression(QStringLiteral("\\b%1\\s").arg(title))), 3)
        << title.toStdString();
    ASSERT_EQ(text.count(title + QStringLiteral(" song 2")), 1) << title.toStdString();
  }
}

TEST_F(ReportDialog, AnEmptyCatalogueGivesOnePageWithHeaderAndBorder) {
  TReportDlg dialog(db_.get());
  Print(dialog);
  EXPECT_EQ(PageCount(pdf_), 1);
  EXPECT_TRUE(PdfText(pdf_).contains(QStringLiteral("Music Collection Listing")));
}

TEST_F(ReportDialog, CopiesAllGoIntoTheFileOnce) {
  AddSampleAlbums();
  TReportDlg dialog(db_.get());
  Print(dialog, 2);
  EXPECT_EQ(PageCount(pdf_), 2);
  EXPECT_EQ(PdfText(pdf_).count(QStringLiteral("zebra")), 2);
  EXPECT_EQ(dialog.Printer().copyCount(), 2);  // the user's choice stays for the next time
}

TEST_F(ReportDialog, CancelWhilePrintingLeavesTheEarlierFileAndNoPartialOne) {
  for (int i = 0; i < 200; ++i) AddAlbum(QStringLiteral("t%1").arg(i), QStringLiteral("A"));
  {
    QFile old(pdf_);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("earlier");
  }
  TReportDlg dialog(db_.get());
  bool pressed = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    TCancelDialog* progress = dialog.CancelDlgWrapper()->Dialog();
    if (!pressed && progress && progress->MessageLabel->text() == "Printing...") {
      pressed = true;
      progress->CancelBtn->click();
    }
  });
  poll.start(0);
  Print(dialog);
  poll.stop();
  EXPECT_TRUE(pressed);
  QFile file(pdf_);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "earlier");
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"listing.pdf"});
  EXPECT_TRUE(dialog.isEnabled());
}

TEST_F(ReportDialog, CancelWhileSortingPrintsNothing) {
  for (int i = 0; i < 200; ++i) AddAlbum(QStringLiteral("t%1").arg(i), QStringLiteral("A"));
  TReportDlg dialog(db_.get());
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (TCancelDialog* progress = dialog.CancelDlgWrapper()->Dialog()) progress->CancelBtn->click();
  });
  poll.start(0);
  Print(dialog);
  EXPECT_FALSE(QFile::exists(pdf_));
}

TEST_F(ReportDialog, WhileWorkingTheDialogIsDisabledAndKeepsTheTypeItStartedWith) {
  for (int i = 0; i < 200; ++i) AddAlbum(QStringLiteral("t%1").arg(i), QStringLiteral("A"));
  TReportDlg dialog(db_.get());
  bool sawDisabled = false;
  int printRequests = 0;
  TPrintDialogSeam seam([&](const TPrintDialogRequest& request) {
    ++printRequests;
    request.printer->setOutputFormat(QPrinter::PdfFormat);
    request.printer->setOutputFileName(pdf_);
    return true;
  });
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (!dialog.CancelDlgWrapper()->Dialog() || sawDisabled) return;
    sawDisabled = !dialog.isEnabled() && !dialog.PrintButton()->isEnabled();
    dialog.ReportType()->setCurrentIndex(rtSongsOnly);
    dialog.PrintClick();  // a second print while one runs does nothing
  });
  poll.start(0);
  dialog.PrintClick();
  poll.stop();
  EXPECT_TRUE(sawDisabled);
  EXPECT_EQ(printRequests, 1);
  const QString text = PdfText(pdf_);
  EXPECT_TRUE(text.contains(QStringLiteral("Albums Only")));
  EXPECT_FALSE(text.contains(QStringLiteral("Songs Only")));
  EXPECT_TRUE(text.contains(QStringLiteral("t199")));
  EXPECT_TRUE(dialog.isEnabled());
}

TEST_F(ReportDialog, APageTooShortForOneLineIsRefusedWithAMessage) {
  AddSampleAlbums();
  TReportDlg dialog(db_.get());
  TMessageRecorder messages;
  auto seam = PrintTo(pdf_, 1, QPageSize(QSizeF(60, 30), QPageSize::Millimeter));
  dialog.PrintButton()->click();
  ASSERT_EQ(messages.Asked().size(), 1u);
  EXPECT_TRUE(messages.Asked()[0].text.contains(QStringLiteral("too small")));
  EXPECT_FALSE(QFile::exists(pdf_));
  EXPECT_TRUE(dialog.isEnabled());
}

TEST_F(ReportDialog, PreviewShowsTheListingPageByPage) {
  for (int i = 0; i < 120; ++i) AddAlbum(QStringLiteral("t%1").arg(i), QStringLiteral("A"));
  TReportDlg dialog(db_.get());
  const QString preview = dir_.filePath(QStringLiteral("preview.pdf"));
  int shown = 0;
  TPrintPreviewSeam seam([&](const TPrintPreviewRequest& request) {
    ++shown;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(preview);
    request.paint(&printer);
    return static_cast<int>(QDialog::Rejected);
  });
  dialog.PreviewButton()->click();
  EXPECT_EQ(shown, 1);
  EXPECT_GT(PageCount(preview), 1);
  EXPECT_TRUE(PdfText(preview).contains(QStringLiteral("t99")));
  EXPECT_TRUE(dialog.isEnabled());
}

}  // namespace
