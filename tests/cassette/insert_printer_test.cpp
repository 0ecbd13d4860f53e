#include "cassette/insert_printer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QListWidget>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "cassette/insert_section.h"
#include "cassette_test_environment.h"
#include "shell/message_dialog.h"

namespace {

QFont Arial(int points) { return QFont(QStringLiteral("Arial"), points); }

QStringList Songs(const QString& prefix, int n) {
  QStringList lines;
  for (int i = 1; i <= n; ++i) lines << prefix + QString::number(i);
  return lines;
}

// A PDF printer of the resolution and page, with margins of 10 mm left and 15 mm top: the card
// must start at the printable area's corner, not the paper's.
std::unique_ptr<QPrinter> PdfPrinter(const QString& file, int dpi,
                                     QPageSize::PageSizeId page = QPageSize::A4) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(file);
  printer->setResolution(dpi);
  printer->setPageSize(QPageSize(page));
  printer->setPageOrientation(QPageLayout::Portrait);
  printer->setPageMargins(QMarginsF(10, 15, 10, 10), QPageLayout::Millimeter);
  return printer;
}

struct TWord {
  int page;
  double xMin, yMin, xMax, yMax;  // points from the page's top-left corner
  QString text;
};

QString RunTool(const QString& tool, const QStringList& arguments) {
  QProcess process;
  process.start(tool, arguments);
  EXPECT_TRUE(process.waitForFinished(120000)) << tool.toStdString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

std::vector<TWord> ReadWords(const QString& pdf) {
  const QString html = RunTool("pdftotext", {"-bbox", pdf, "-"});
  std::vector<TWord> words;
  int page = -1;
  static const QRegularExpression token(
      R"re(<page |<word xMin="(-?[\d.]+)" yMin="(-?[\d.]+)" xMax="(-?[\d.]+)" yMax="(-?[\d.]+)">([^<]*)</word>)re");
  for (auto it = token.globalMatch(html); it.hasNext();) {
    const auto m = it.next();
    if (m.captured(0).startsWith("<page")) {
      ++page;
      continue;
    }
    words.push_back({page, m.captured(1).toDouble(), m.captured(2).toDouble(),
                     m.captured(3).toDouble(), m.captured(4).toDouble(), m.captured(5)});
  }
  return words;
}

const TWord* Find(const std::vector<TWord>& words, const QString& text) {
  for (const auto& w : words) {
    if (w.text == text) return &w;
  }
  return nullptr;
}

int PageCount(const QString& pdf) {
  const auto m = QRegularExpression(R"(Pages:\s+(\d+))").match(RunTool("pdfinfo", {pdf}));
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The first page's card area rendered at the printer's resolution, without smoothing, starting
// at the printable area's corner, so that image pixels are device pixels.
QImage Render(const QString& pdf, const QPrinter& printer, int width, int height, bool colour) {
  const QPoint origin = printer.pageRect(QPrinter::DevicePixel).topLeft().toPoint();
  const QString out = pdf + ".render";
  QStringList args = {"-r",         QString::number(printer.resolution()),
                      "-f",         "1",
                      "-l",         "1",
                      "-x",         QString::number(origin.x()),
                      "-y",         QString::number(origin.y()),
                      "-W",         QString::number(width),
                      "-H",         QString::number(height),
                      "-aa",        "no",
                      "-aaVector",  "no",
                      "-singlefile"};
  if (!colour) args << "-gray";
  args << pdf << out;
  RunTool("pdftoppm", args);
  QImageReader::setAllocationLimit(1024);
  QImage image(out + (colour ? ".ppm" : ".pgm"));
  QFile::remove(out + (colour ? ".ppm" : ".pgm"));
  return colour ? image.convertToFormat(QImage::Format_RGB32)
                : image.convertToFormat(QImage::Format_Grayscale8);
}

bool Dark(QRgb pixel) { return qGray(pixel) < 128; }

// Rows holding a dark run of at least minRun pixels, neighbouring rows reported once by the
// first: the horizontal frame lines and dividers. The image is a grey render.
std::vector<int> HorizontalLines(const QImage& image, int minRun) {
  std::vector<int> rows;
  int last = -10;
  for (int y = 0; y < image.height(); ++y) {
    const uchar* line = image.constScanLine(y);
    int run = 0, best = 0;
    for (int x = 0; x < image.width(); ++x) {
      run = line[x] < 128 ? run + 1 : 0;
      best = std::max(best, run);
    }
    if (best >= minRun) {
      if (y > last + 1) rows.push_back(y);
      last = y;
    }
  }
  return rows;
}

std::vector<int> VerticalLines(const QImage& image, int minRun) {
  std::vector<int> run(image.width(), 0), best(image.width(), 0);
  for (int y = 0; y < image.height(); ++y) {
    const uchar* line = image.constScanLine(y);
    for (int x = 0; x < image.width(); ++x) {
      run[x] = line[x] < 128 ? run[x] + 1 : 0;
      best[x] = std::max(best[x], run[x]);
    }
  }
  std::vector<int> columns;
  int last = -10;
  for (int x = 0; x < image.width(); ++x) {
    if (best[x] >= minRun) {
      if (x > last + 1) columns.push_back(x);
      last = x;
    }
  }
  return columns;
}

// Each expected position has a found one within one device pixel, and nothing else was found.
void ExpectPositions(const std::vector<int>& found, std::set<int> expected, const char* what) {
  EXPECT_EQ(found.size(), expected.size()) << what << ": " << testing::PrintToString(found);
  for (int f : found) {
    auto near =
        std::find_if(expected.begin(), expected.end(), [f](int e) { return std::abs(e - f) <= 1; });
    EXPECT_TRUE(near != expected.end()) << what << " line at " << f;
    if (near != expected.end()) expected.erase(near);
  }
}

class InsertPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    for (TInsertSection* s :
         {printer_.FrontFlap(), printer_.EdgeFlap(), printer_.Side1(), printer_.Side2()}) {
      s->SetFont(Arial(10));
    }
    printer_.FrontFlap()->SetLines({"Front"});
    printer_.EdgeFlap()->SetLines({"Edge"});
  }
  QString File(const QString& name) const { return dir_.filePath(name); }
  // Songs for a side so that it needs `blocks` blocks at this resolution.
  QStringList SideOf(const QString& prefix, int blocks, const QPaintDevice& device) {
    const int perBlock = printer_.Side1()->LinesPerBlock(device);
    return Songs(prefix, blocks == 1 ? perBlock : perBlock * (blocks - 1) + 1);
  }

  QTemporaryDir dir_;
  TInsertPrinter printer_;
};

TEST_F(InsertPrinterTest, LayoutPutsTheEdgeFlapNextToTheSongAreaInEveryLayout) {
  QImage device(10, 10, QImage::Format_RGB32);
  device.setDotsPerMeterX(qRound(600 / 0.0254));
  device.setDotsPerMeterY(qRound(600 / 0.0254));
  printer_.Side1()->SetLines(Songs("A", 12));
  printer_.Side2()->SetLines(Songs("B", 12));

  printer_.SetArrangement(iaHCassetteUp);
  EXPECT_EQ(printer_.LayoutInsert(device, 0, 0), QSize(40, 38));
  EXPECT_EQ(printer_.Side1()->Top(), 12);
  EXPECT_EQ(printer_.Side2()->Left(), 20);
  EXPECT_EQ(printer_.Side2()->Height(), 26);

  printer_.SetArrangement(iaVCassetteUp);
  EXPECT_EQ(printer_.LayoutInsert(device, 0, 0), QSize(40, 64));
  EXPECT_EQ(printer_.Side2()->Top(), 38);

  printer_.SetArrangement(iaVCassetteDown);
  EXPECT_EQ(printer_.LayoutInsert(device, 0, 0), QSize(40, 64));
  EXPECT_EQ(printer_.EdgeFlap()->Top(), 52);
  EXPECT_EQ(printer_.FrontFlap()->Top(), 57);

  // Side 1 needs two blocks: in side-by-side layouts side 2 takes the same height.
  printer_.Side1()->SetLines(Songs("A", 30));
  printer_.SetArrangement(iaHCassetteDown);
  EXPECT_EQ(printer_.LayoutInsert(device, 3, 5), QSize(40, 64));
  EXPECT_EQ(printer_.Side1()->Top(), 5);
  EXPECT_EQ(printer_.Side2()->Height(), 52);
  EXPECT_EQ(printer_.EdgeFlap()->Top(), 57);
  EXPECT_EQ(printer_.FrontFlap()->Top(), 62);
  EXPECT_EQ(printer_.FrontFlap()->Left(), 3);

  // A stored layout out of range counts as layout 2 and replaces the old geometry.
  printer_.SetArrangement(9);
  EXPECT_EQ(printer_.Arrangement(), iaHCassetteUp);
  EXPECT_EQ(printer_.LayoutInsert(device, 0, 0), QSize(40, 64));
  EXPECT_EQ(printer_.FrontFlap()->Top(), 0);
  EXPECT_EQ(printer_.Side1()->Top(), 12);

  // An empty side is one block high.
  printer_.Side1()->SetLines({});
  printer_.Side2()->SetLines({});
  EXPECT_EQ(printer_.LayoutInsert(device, 0, 0), QSize(40, 38));
}

TEST_F(InsertPrinterTest, EveryLineMeasuredForIsPrintedInsideItsBlock) {
  // At 11 points the block count and the drawing agree: a full block prints all its lines
  // above the divider, and one more line opens a second block.
  for (int dpi : {600, 1200}) {
    const QString pdf = File(QString("full%1.pdf").arg(dpi));
    auto printer = PdfPrinter(pdf, dpi);
    printer_.Side1()->SetFont(Arial(11));
    printer_.Side2()->SetFont(Arial(11));
    const int perBlock = printer_.Side1()->LinesPerBlock(*printer);
    const int lineHeight = printer_.Side1()->LineHeight(*printer);
    EXPECT_LT(perBlock * lineHeight + 2 * (dpi / 40) + 2, 26 * dpi / 10 + 1) << dpi;
    EXPECT_GE((perBlock + 1) * lineHeight + 2 * (dpi / 40) + 2, 26 * dpi / 10) << dpi;
    printer_.Side1()->SetLines(Songs("A", perBlock));
    printer_.Side2()->SetLines(Songs("B", perBlock + 1));
    printer_.SetArrangement(iaHCassetteUp);
    ASSERT_TRUE(printer_.PrintCopies(*printer, QImage(), plTile));
    EXPECT_EQ(printer_.Side1()->Height(), 52);  // side 2 needs two blocks

    const double pt = 72.0 / dpi;
    const double top = printer->pageRect(QPrinter::DevicePixel).top() * pt;
    const double divider = top + (12 + 26) * dpi / 10 * pt;
    const auto words = ReadWords(pdf);
    for (int i = 1; i <= perBlock; ++i) {
      const TWord* a = Find(words, "A" + QString::number(i));
      const TWord* b = Find(words, "B" + QString::number(i));
      ASSERT_TRUE(a && b) << dpi << " line " << i;
      EXPECT_LT(a->yMax, divider) << i;
      EXPECT_LT(b->yMax, divider) << i;
    }
    const TWord* spill = Find(words, "B" + QString::number(perBlock + 1));
    ASSERT_TRUE(spill);
    // The next block starts below the divider after the border and the margin.
    EXPECT_NEAR(spill->yMin, divider + (1 + dpi / 40) * pt, 1.5 * pt);
  }
}

TEST_F(InsertPrinterTest, AFontTooLargeForABlockPrintsOneLinePerBlock) {
  auto printer = PdfPrinter(File("huge.pdf"), 600);
  printer_.Side1()->SetFont(Arial(400));
  printer_.Side1()->SetLines(Songs("A", 2));
  EXPECT_EQ(printer_.Side1()->LinesPerBlock(*printer), 1);
  printer_.SetArrangement(iaVCassetteUp);
  printer_.LayoutInsert(*printer, 0, 0);
  EXPECT_EQ(printer_.Side1()->Height(), 52);
  printer_.Side1()->SetLines(Songs("A", 1));
  printer_.Side1()->SetFont(Arial(400));
  EXPECT_TRUE(printer_.PrintCopies(*printer, QImage(), plTile));
}

struct TCase {
  InsertArrangement arrangement;
  int blocks1, blocks2;
  int dpi;
  QPageSize::PageSizeId page;
};

TEST_F(InsertPrinterTest, FramesDividersAndTextLandWhereTheLayoutSays) {
  const std::vector<TCase> cases = {
      {iaHCassetteUp, 1, 1, 600, QPageSize::A4},
      {iaHCassetteUp, 2, 1, 600, QPageSize::A4},
      {iaHCassetteUp, 2, 2, 1200, QPageSize::Letter},
      {iaHCassetteDown, 1, 1, 1200, QPageSize::A4},
      {iaHCassetteDown, 2, 1, 600, QPageSize::Letter},
      {iaHCassetteDown, 2, 2, 600, QPageSize::A4},
      {iaVCassetteUp, 1, 1, 600, QPageSize::Letter},
      {iaVCassetteUp, 2, 1, 1200, QPageSize::A4},
      {iaVCassetteDown, 1, 1, 1200, QPageSize::Letter},
      {iaVCassetteDown, 2, 1, 600, QPageSize::A4},
  };
  int n = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "layout " << c.arrangement << " blocks " << c.blocks1 << "+"
                                    << c.blocks2 << " at " << c.dpi);
    const QString pdf = File(QString("card%1.pdf").arg(n++));
    auto printer = PdfPrinter(pdf, c.dpi, c.page);
    printer_.Side1()->SetLines(SideOf("A", c.blocks1, *printer));
    printer_.Side2()->SetLines(SideOf("B", c.blocks2, *printer));
    printer_.SetArrangement(c.arrangement);
    ASSERT_TRUE(printer_.PrintCopies(*printer, QImage(), plTile));

    const int h = c.dpi, v = c.dpi;
    std::set<int> rows, columns{0, 40 * h / 10};
    for (TInsertSection* s :
         {printer_.FrontFlap(), printer_.EdgeFlap(), printer_.Side1(), printer_.Side2()}) {
      rows.insert(s->Top() * v / 10);
      rows.insert(s->Bottom() * v / 10);
      for (int k = 1; s->ColumnHeight() && s->Top() + k * 26 < s->Bottom(); ++k)
        rows.insert((s->Top() + k * 26) * v / 10);
    }
    const bool sideBySide = c.arrangement == iaHCassetteUp || c.arrangement == iaHCassetteDown;
    if (sideBySide) columns.insert(20 * h / 10);
    const int cardHeight = std::max(printer_.FrontFlap()->Bottom(), printer_.Side2()->Bottom());
    const QImage card = Render(pdf, *printer, 41 * h / 10, cardHeight * v / 10 + h / 10, false);
    ASSERT_FALSE(card.isNull());
    ExpectPositions(HorizontalLines(card, 19 * h / 10), rows, "horizontal");
    ExpectPositions(VerticalLines(card, 4 * v / 10), columns, "vertical");

    // Text: the first line of each side at its frame plus border and margin, then one line
    // height apart.
    const double pt = 72.0 / c.dpi;
    const QPointF origin = printer->pageRect(QPrinter::DevicePixel).topLeft() * pt;
    const auto words = ReadWords(pdf);
    for (TInsertSection* s : {printer_.Side1(), printer_.Side2()}) {
      const QString prefix = s == printer_.Side1() ? "A" : "B";
      const TWord* first = Find(words, prefix + "1");
      const TWord* second = Find(words, prefix + "2");
      ASSERT_TRUE(first && second);
      EXPECT_NEAR(first->xMin, origin.x() + (s->Left() * h / 10 + 1 + h / 40) * pt, pt);
      EXPECT_NEAR(first->yMin, origin.y() + (s->Top() * v / 10 + 1 + v / 40) * pt, 1.5 * pt);
      EXPECT_NEAR(second->yMin - first->yMin, s->LineHeight(*printer) * pt, 0.5 * pt);
      // Every line printed, on the one page.
      for (const QString& line : s->Lines()) EXPECT_TRUE(Find(words, line)) << line.toStdString();
    }
  }
}

// Consecutive dark pixels from `from` on, stepping by `step`.
int DarkRun(const QImage& image, QPoint from, QPoint step) {
  int run = 0;
  for (QPoint p = from; image.rect().contains(p) && qGray(image.pixel(p)) < 128; p += step) ++run;
  return run;
}

TEST_F(InsertPrinterTest, FrameAndDividerLinesAreAtLeastAThreeHundredthOfAnInchWide) {
  EXPECT_EQ(TInsertSection::LineWidth(96), 1);
  EXPECT_EQ(TInsertSection::LineWidth(300), 1);
  EXPECT_EQ(TInsertSection::LineWidth(360), 2);
  for (int dpi : {600, 1200}) {
    SCOPED_TRACE(dpi);
    const QString pdf = File(QString("lines%1.pdf").arg(dpi));
    auto printer = PdfPrinter(pdf, dpi);
    printer_.Side1()->SetLines(SideOf("A", 2, *printer));
    printer_.Side2()->SetLines({});
    printer_.SetArrangement(iaHCassetteUp);
    ASSERT_TRUE(printer_.PrintCopies(*printer, QImage(), plTile));
    const int width = (dpi + 299) / 300;  // 2 pixels at 600 dpi, 4 at 1200
    const QImage card = Render(pdf, *printer, 41 * dpi / 10, 66 * dpi / 10, false);
    ASSERT_FALSE(card.isNull());

    // Every horizontal line, the block divider included, measured where no vertical line runs.
    const std::vector<int> rows = HorizontalLines(card, 19 * dpi / 10);
    ASSERT_EQ(rows.size(), 5u);  // flaps' tops, sides' top, divider, bottom
    for (int y : rows) {
      const int run = DarkRun(card, QPoint(dpi, y), QPoint(0, 1));
      EXPECT_GE(run, width) << "row " << y;
      EXPECT_LE(run, width + 1) << "row " << y;
    }
    // The card's left and right edges and the line between the sides, below the flaps.
    const int below = (printer_.Side1()->Top() + 10) * dpi / 10;
    for (int x : {0, 20 * dpi / 10, 40 * dpi / 10}) {
      int left = x;  // the rendering may put the line's first column one pixel early
      if (left > 0 && qGray(card.pixel(left - 1, below)) < 128) --left;
      const int run = DarkRun(card, QPoint(left, below), QPoint(1, 0));
      EXPECT_GE(run, width) << "column " << x;
      EXPECT_LE(run, width + 1) << "column " << x;
    }
    // The geometry stays: the lines start where they did.
    EXPECT_EQ(printer_.FitProblem(*printer), QString());
    ExpectPositions(rows, {0, 7 * dpi / 10, 12 * dpi / 10, 38 * dpi / 10, 64 * dpi / 10},
                    "horizontal");
  }
}

TEST_F(InsertPrinterTest, FlapAlignmentsAndClippingAtTheFrame) {
  for (int dpi : {600, 1200}) {
    const QString pdf = File(QString("flap%1.pdf").arg(dpi));
    auto printer = PdfPrinter(pdf, dpi, QPageSize::Letter);
    printer_.SetArrangement(iaHCassetteUp);
    printer_.FrontFlap()->SetLines({"Centred"});
    printer_.FrontFlap()->SetAlignment(taCenter);
    const QString wide(80, QLatin1Char('W'));
    printer_.EdgeFlap()->SetLines({"Right", wide});
    printer_.EdgeFlap()->SetAlignment(taRightJustify);
    printer_.Side1()->SetLines({"Left"});
    ASSERT_TRUE(printer_.PrintCopies(*printer, QImage(), plTile));

    const double pt = 72.0 / dpi;
    const double x0 = printer->pageRect(QPrinter::DevicePixel).left() * pt;
    const QRect front = printer_.FrontFlap()->TextRect(dpi, dpi);
    const QRect edge = printer_.EdgeFlap()->TextRect(dpi, dpi);
    const auto words = ReadWords(pdf);
    const TWord* centred = Find(words, "Centred");
    const TWord* right = Find(words, "Right");
    const TWord* left = Find(words, "Left");
    ASSERT_TRUE(centred && right && left);
    // The text box is the frame minus border and 1/40-inch margins.
    EXPECT_EQ(front.left(), 1 + dpi / 40);
    EXPECT_EQ(front.left() + front.width(), 40 * dpi / 10 - 1 - dpi / 40);
    EXPECT_NEAR((centred->xMin + centred->xMax) / 2,
                x0 + (front.left() + front.left() + front.width()) / 2.0 * pt, 1.5 * pt);
    EXPECT_NEAR(right->xMax, x0 + (edge.left() + edge.width()) * pt, 1.5 * pt);
    EXPECT_NEAR(left->xMin, x0 + (printer_.Side1()->TextRect(dpi, dpi).left()) * pt, pt);

    // The over-long line is cut at the text box: nothing dark between it and the frame.
    const QImage card = Render(pdf, *printer, 41 * dpi / 10, 13 * dpi / 10, false);
    ASSERT_FALSE(card.isNull());
    int inkLeftOfBox = 0, inkInMargin = 0;
    for (int y = edge.top(); y < edge.top() + edge.height(); ++y) {
      for (int x = TInsertSection::LineWidth(dpi) + 1; x < edge.left() - 1; ++x)
        inkLeftOfBox += Dark(card.pixel(x, y));
      for (int x = edge.left() + edge.width() + 1; x < 40 * dpi / 10 - 2; ++x)
        inkInMargin += Dark(card.pixel(x, y));
    }
    EXPECT_EQ(inkLeftOfBox, 0);
    EXPECT_EQ(inkInMargin, 0);
    // ... while the line itself did reach the box's left edge (right-aligned, too wide).
    int inkNearLeft = 0;
    for (int y = edge.top(); y < edge.top() + edge.height(); ++y)
      for (int x = edge.left(); x < edge.left() + dpi / 10; ++x)
        inkNearLeft += Dark(card.pixel(x, y));
    EXPECT_GT(inkNearLeft, 0);
  }
}

TEST_F(InsertPrinterTest, FontsEmbeddedAreLiberationSans) {
  const QString pdf = File("fonts.pdf");
  auto printer = PdfPrinter(pdf, 600);
  printer_.Side1()->SetLines({"Song"});
  ASSERT_TRUE(printer_.PrintCopies(*printer, QImage(), plTile));
  const QString fonts = RunTool("pdffonts", {pdf});
  const QStringList rows = fonts.split('\n', Qt::SkipEmptyParts).mid(2);
  ASSERT_FALSE(rows.isEmpty()) << fonts.toStdString();
  for (const QString& row : rows) {
    EXPECT_TRUE(row.contains("LiberationSans")) << row.toStdString();
    // The "emb" column follows the encoding.
    EXPECT_TRUE(row.contains(QRegularExpression(R"(Identity-H\s+yes\b)"))) << row.toStdString();
  }
}

TEST_F(InsertPrinterTest, ACardLargerThanThePageIsRefusedBeforeAnythingIsPrinted) {
  for (InsertArrangement a : {iaVCassetteUp, iaVCassetteDown, iaHCassetteUp}) {
    const QString pdf = File(QString("tall%1.pdf").arg(a));
    auto printer = PdfPrinter(pdf, 600, QPageSize::Letter);
    // 17 songs at 10 points need two blocks; stacked that makes 11.6 inches. Side by side,
    // four blocks do.
    const int songs = a == iaHCassetteUp ? 3 * printer_.Side1()->LinesPerBlock(*printer) + 1 : 17;
    printer_.Side1()->SetLines(Songs("A", songs));
    printer_.Side2()->SetLines(Songs("B", songs));
    printer_.SetArrangement(a);
    TMessageRecorder messages;
    EXPECT_FALSE(printer_.PrintCopies(*printer, QImage(), plTile));
    ASSERT_EQ(messages.Asked().size(), 1u);
    EXPECT_EQ(messages.Asked()[0].type, mtError);
    EXPECT_TRUE(messages.Asked()[0].text.contains("11.6"))
        << messages.Asked()[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
  }
}

TEST_F(InsertPrinterTest, CopiesToAFileArePagesOfThatFileEachPrintedOnce) {
  const QString pdf = File("copies.pdf");
  auto printer = PdfPrinter(pdf, 600);
  printer->setCopyCount(3);
  printer_.Side1()->SetLines({"Song"});
  ASSERT_TRUE(printer_.PrintCopies(*printer, QImage(), plTile));
  EXPECT_EQ(printer->copyCount(), 1);
  EXPECT_EQ(PageCount(pdf), 3);
  const auto words = ReadWords(pdf);
  EXPECT_EQ(
      std::count_if(words.begin(), words.end(), [](const TWord& w) { return w.text == "Song"; }),
      3);
}

TEST_F(InsertPrinterTest, APrintAskedForWhilePrintingIsRefusedAndCancelStopsTheDrawing) {
  const QString pdf = File("busy.pdf");
  auto printer = PdfPrinter(pdf, 600);
  auto second = PdfPrinter(File("second.pdf"), 600);
  printer->setCopyCount(2);
  printer_.Side1()->SetLines({"Song"});
  int asked = 0;
  bool secondResult = true, busy = false;
  // Runs from the events processed between the drawing steps.
  QTimer::singleShot(0, &printer_, [&] {
    ++asked;
    busy = printer_.Printing();
    secondResult = printer_.PrintCopies(*second, QImage(), plTile);
  });
  ASSERT_TRUE(printer_.PrintCopies(*printer, QImage(), plTile));
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(busy);
  EXPECT_FALSE(secondResult);
  EXPECT_FALSE(QFile::exists(File("second.pdf")));
  EXPECT_FALSE(printer_.Printing());

  // A cancel during the first step: nothing is drawn, and no further copy is made.
  QTimer::singleShot(0, &printer_, [&] { printer_.SetAborted(true); });
  const QString cancelled = File("cancelled.pdf");
  auto third = PdfPrinter(cancelled, 600);
  third->setCopyCount(3);
  ASSERT_TRUE(printer_.PrintCopies(*third, QImage(), plTile));
  EXPECT_TRUE(ReadWords(cancelled).empty());
  EXPECT_EQ(PageCount(cancelled), 1);
  // The next print command, with the flag cleared, prints normally.
  printer_.SetAborted(false);
  auto fourth = PdfPrinter(File("after.pdf"), 600);
  ASSERT_TRUE(printer_.PrintCopies(*fourth, QImage(), plTile));
  EXPECT_TRUE(Find(ReadWords(File("after.pdf")), "Song"));
}

}  // namespace

namespace {

bool Red(QRgb p) { return qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80; }
// The picture's blue edge. The PDF may store a picture with lossy compression, which turns a
// thin blue edge next to red purple: anything blue enough counts.
bool Blue(QRgb p) { return qBlue(p) > 60 && qGreen(p) < 80; }

// A red picture whose edge pixels are blue.
QImage FramedPicture(int width, int height) {
  QImage picture(width, height, QImage::Format_ARGB32);
  picture.fill(qRgb(255, 0, 0));
  for (int x = 0; x < width; ++x) {
    picture.setPixel(x, 0, qRgb(0, 0, 255));
    picture.setPixel(x, height - 1, qRgb(0, 0, 255));
  }
  for (int y = 0; y < height; ++y) {
    picture.setPixel(0, y, qRgb(0, 0, 255));
    picture.setPixel(width - 1, y, qRgb(0, 0, 255));
  }
  return picture;
}

class InsertBackgroundTest : public InsertPrinterTest {
 protected:
  // Prints at 600 dpi and renders the card; area is the song area in device pixels.
  QImage PrintCard(InsertArrangement arrangement, const QImage& picture, TPictureLayout layout,
                   QRect* area) {
    const QString pdf = File(QString("bg%1.pdf").arg(count_++));
    auto printer = PdfPrinter(pdf, kDpi);
    printer_.SetScreenPixelsPerInch(96);
    printer_.SetArrangement(arrangement);
    printer_.Side1()->SetLines({"One"});
    printer_.Side2()->SetLines({"Two"});
    EXPECT_TRUE(printer_.PrintCopies(*printer, picture, layout));
    const TInsertSection* s1 = printer_.Side1();
    const TInsertSection* s2 = printer_.Side2();
    *area = QRect(QPoint(s1->Left() * kDpi / 10, std::min(s1->Top(), s2->Top()) * kDpi / 10),
                  QPoint(std::max(s1->Right(), s2->Right()) * kDpi / 10 - 1,
                         std::max(s1->Bottom(), s2->Bottom()) * kDpi / 10 - 1));
    const int height = std::max(printer_.FrontFlap()->Bottom(), s2->Bottom()) * kDpi / 10;
    QImage card = Render(pdf, *printer, 42 * kDpi / 10, height + kDpi / 5, true);
    if (qEnvironmentVariableIsSet("RS_KEEP")) card.save(QString("/tmp/x/card%1.png").arg(count_));
    return card;
  }
  // Picture pixels (red or blue) outside the song area.
  static int ColouredOutside(const QImage& card, const QRect& area) {
    int n = 0;
    for (int y = 0; y < card.height(); ++y)
      for (int x = 0; x < card.width(); ++x) {
        const QRgb p = card.pixel(x, y);
        if (!area.contains(x, y) && qGreen(p) < 80 && (qRed(p) > 60 || qBlue(p) > 60)) ++n;
      }
    return n;
  }

  static constexpr int kDpi = 600;
  int count_ = 0;
};

TEST_F(InsertBackgroundTest, TilesStartAtTheSongAreaCornerAtPrintedSizeAndStayInside) {
  for (InsertArrangement a : {iaHCassetteUp, iaVCassetteDown}) {
    QRect area;
    // 16 screen pixels at 96 dpi are 100 device pixels at 600 dpi.
    const QImage card = PrintCard(a, FramedPicture(16, 16), plTile, &area);
    ASSERT_FALSE(card.isNull());
    EXPECT_EQ(ColouredOutside(card, area), 0) << a;
    // From the third row of tiles: the first ones hold the sides' text.
    for (int j = 2; j * 100 + 50 < area.height(); j += 5) {
      for (int i = 0; i * 100 + 50 < area.width(); i += 3) {
        const int x = area.left() + i * 100, y = area.top() + j * 100;
        EXPECT_TRUE(Blue(card.pixel(x + 3, y + 50))) << a << " tile " << i << "," << j;
        EXPECT_TRUE(Red(card.pixel(x + 50, y + 20))) << a << " tile " << i << "," << j;
        EXPECT_TRUE(Blue(card.pixel(x + 96, y + 50))) << a << " tile " << i << "," << j;
      }
    }
  }
}

TEST_F(InsertBackgroundTest, CentredPictureIsWholeInEachBlockOfTheSongArea) {
  // Stacked sides: two bands of 2.6 inches. A 100 x 100 picture fits a band 15 times over
  // (1500 pixels); the whole song area would have allowed 24 and cropped it.
  QRect area;
  const QImage card = PrintCard(iaVCassetteUp, FramedPicture(100, 100), plCenter, &area);
  ASSERT_FALSE(card.isNull());
  EXPECT_EQ(ColouredOutside(card, area), 0);
  const int band = 26 * kDpi / 10;
  for (int b = 0; b < 2; ++b) {
    const int cx = area.left() + (area.width() - 1500) / 2;
    const int cy = area.top() + b * band + (band - 1500) / 2;
    SCOPED_TRACE(b);
    EXPECT_TRUE(Blue(card.pixel(cx + 7, cy + 700)));     // left edge
    EXPECT_TRUE(Blue(card.pixel(cx + 1492, cy + 700)));  // right edge
    EXPECT_TRUE(Blue(card.pixel(cx + 700, cy + 7)));     // top edge
    EXPECT_TRUE(Blue(card.pixel(cx + 700, cy + 1492)));  // bottom edge
    EXPECT_TRUE(Red(card.pixel(cx + 750, cy + 750)));
    EXPECT_FALSE(Red(card.pixel(cx - 5, cy + 750)) || Blue(card.pixel(cx - 5, cy + 750)));
    EXPECT_FALSE(Red(card.pixel(cx + 750, cy - 5)) || Blue(card.pixel(cx + 750, cy - 5)));
  }
}

TEST_F(InsertBackgroundTest, StretchFillsEachBlockAndNeverTheFlaps) {
  for (InsertArrangement a : {iaHCassetteDown, iaVCassetteUp}) {
    QRect area;
    // Red with a blue top-left quadrant, in blocks that lossy compression keeps apart.
    QImage picture(32, 32, QImage::Format_ARGB32);
    picture.fill(qRgb(255, 0, 0));
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) picture.setPixel(x, y, qRgb(0, 0, 255));
    const QImage card = PrintCard(a, picture, plStretch, &area);
    ASSERT_FALSE(card.isNull());
    EXPECT_EQ(ColouredOutside(card, area), 0) << a;
    const int band = 26 * kDpi / 10;
    int bands = 0;
    for (int y = area.top(); y < area.bottom(); y += band, ++bands) {
      const int w = area.width();
      EXPECT_TRUE(Blue(card.pixel(area.left() + w / 4, y + band / 4 + 50))) << a;
      EXPECT_TRUE(Red(card.pixel(area.left() + w / 4, y + band * 3 / 4))) << a;
      EXPECT_TRUE(Red(card.pixel(area.left() + w * 3 / 4, y + band / 4 + 50))) << a;
      // The band ends where the next starts: the picture is not stretched over both.
      EXPECT_TRUE(Red(card.pixel(area.left() + w / 4, y + band - 20))) << a;
    }
    EXPECT_EQ(bands, a == iaVCassetteUp ? 2 : 1);
  }
}

TEST_F(InsertBackgroundTest, TinyPicturesTileWithTilesOfAtLeastOnePixelInASmallFile) {
  QImage dot(1, 1, QImage::Format_RGB32);
  dot.fill(qRgb(255, 0, 0));
  printer_.SetScreenPixelsPerInch(96);
  printer_.Side1()->SetLines({"One"});
  for (int dpi : {72, 1200}) {
    // At 72 dpi a screen pixel is 0.75 device pixels; at 1200 dpi the card holds 200,000 tiles.
    const QString pdf = File(QString("dot%1.pdf").arg(dpi));
    auto printer = PdfPrinter(pdf, dpi);
    ASSERT_TRUE(printer_.PrintCopies(*printer, dot, plTile));
    EXPECT_LT(QFileInfo(pdf).size(), 1000000) << dpi;
  }
  // The 72 dpi card is red under the sides.
  QRect area;
  const QImage card = PrintCard(iaHCassetteUp, dot, plTile, &area);
  EXPECT_TRUE(Red(card.pixel(area.center())));
  EXPECT_EQ(ColouredOutside(card, area), 0);
}

}  // namespace
