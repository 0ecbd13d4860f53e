#include "cassette/insert_printer.h"

#include <gtest/gtest.h>

#include <QFile>
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
  QStringList args = {"-r",   QString::number(printer.resolution()),
                      "-f",   "1",
                      "-l",   "1",
                      "-x",   QString::number(origin.x()),
                      "-y",   QString::number(origin.y()),
                      "-W",   QString::number(width),
                      "-H",   QString::number(height),
                      "-aa",  "no",
                      "-aaVector", "no",
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
    auto near = std::find_if(expected.begin(), expected.end(),
                             [f](int e) { return std::abs(e - f) <= 1; });
    EXPECT_TRUE(near != expected.end()) << what << " line at " << f;
    if (near != expected.end()) expected.erase(near);
  }
}

class InsertPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    for (TInsertSection* s : {printer_.FrontFlap(), printer_.EdgeFlap(), printer_.Side1(),
                              printer_.Side2()}) {
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
      {iaHCassetteUp, 1, 1, 600, QPageSize::A4},     {iaHCassetteUp, 2, 1, 600, QPageSize::A4},
      {iaHCassetteUp, 2, 2, 1200, QPageSize::Letter}, {iaHCassetteDown, 1, 1, 1200, QPageSize::A4},
      {iaHCassetteDown, 2, 1, 600, QPageSize::Letter}, {iaHCassetteDown, 2, 2, 600, QPageSize::A4},
      {iaVCassetteUp, 1, 1, 600, QPageSize::Letter},  {iaVCassetteUp, 2, 1, 1200, QPageSize::A4},
      {iaVCassetteDown, 1, 1, 1200, QPageSize::Letter}, {iaVCassetteDown, 2, 1, 600, QPageSize::A4},
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
    for (TInsertSection* s : {printer_.FrontFlap(), printer_.EdgeFlap(), printer_.Side1(),
                              printer_.Side2()}) {
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
      for (int x = edge.left() - dpi / 40 + 1; x < edge.left() - 1; ++x)
        inkLeftOfBox += Dark(card.pixel(x, y));
      for (int x = edge.left() + edge.width() + 1; x < 40 * dpi / 10 - 2; ++x)
        inkInMargin += Dark(card.pixel(x, y));
    }
    EXPECT_EQ(inkLeftOfBox, 0);
    EXPECT_EQ(inkInMargin, 0);
    // ... while the line itself did reach the box's left edge (right-aligned, too wide).
    int inkNearLeft = 0;
    for (int y = edge.top(); y < edge.top() + edge.height(); ++y)
      for (int x = edge.left(); x < edge.left() + dpi / 10; ++x) inkNearLeft += Dark(card.pixel(x, y));
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
    EXPECT_TRUE(messages.Asked()[0].text.contains("11.6")) << messages.Asked()[0].text.toStdString();
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
  EXPECT_EQ(std::count_if(words.begin(), words.end(), [](const TWord& w) { return w.text == "Song"; }),
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
