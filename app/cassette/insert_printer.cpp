#include "cassette/insert_printer.h"

#include <QBrush>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QTransform>

#include <algorithm>
#include <functional>

#include "cassette/insert_section.h"
#include "cassette/printer_helpers.h"
#include "platform/exceptions.h"
#include "shell/message_dialog.h"

TInsertPrinter::TInsertPrinter(QObject* owner) : QObject(owner) {
  for (auto*& section : sections_) section = new TInsertSection(this);
  Side1()->SetColumnHeight(kColumnHeight);
  Side2()->SetColumnHeight(kColumnHeight);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    SetScreenPixelsPerInch(qRound(screen->logicalDotsPerInchX()));
  }
}

void TInsertPrinter::SetArrangement(InsertArrangement arrangement) {
  arrangement_ = InsertArrangementFrom(arrangement);
}

QSize TInsertPrinter::LayoutInsert(const QPaintDevice& device, int left, int top) {
  TInsertSection* front = FrontFlap();
  TInsertSection* edge = EdgeFlap();
  TInsertSection* side1 = Side1();
  TInsertSection* side2 = Side2();
  front->SetLeft(left);
  front->SetWidth(40);
  front->SetHeight(7);
  edge->SetLeft(left);
  edge->SetWidth(40);
  edge->SetHeight(5);
  side1->SetLeft(left);
  side1->SetColumnHeight(kColumnHeight);
  side2->SetColumnHeight(kColumnHeight);

  const bool stacked = arrangement_ == iaVCassetteUp || arrangement_ == iaVCassetteDown;
  const bool flapsOnTop = arrangement_ == iaVCassetteUp || arrangement_ == iaHCassetteUp;
  const int width = front->Width();
  int y = top;
  if (flapsOnTop) {
    front->SetTop(y);
    edge->SetTop(front->Bottom());
    y = edge->Bottom();
  }
  side1->SetTop(y);
  if (stacked) {
    side1->SetWidth(width);
    side1->SetHeight(side1->SectionHeight(device));
    side2->SetTop(side1->Bottom());
    side2->SetLeft(left);
    side2->SetWidth(width);
    side2->SetHeight(side2->SectionHeight(device));
  } else {
    side1->SetWidth(width / 2);
    side2->SetTop(side1->Top());
    side2->SetLeft(side1->Left() + side1->Width());
    side2->SetWidth(width - width / 2);
    const int height = std::max(side1->SectionHeight(device), side2->SectionHeight(device));
    side1->SetHeight(height);
    side2->SetHeight(height);
  }
  if (flapsOnTop) return QSize(width, side2->Bottom() - top);
  // Below the song area the edge flap comes first, so that it always lies next to the sides.
  edge->SetTop(side2->Bottom());
  front->SetTop(edge->Bottom());
  return QSize(width, front->Bottom() - top);
}

void TInsertPrinter::Step(const std::function<void()>& step) {
  QCoreApplication::processEvents();
  if (!aborted_) step();
}

void TInsertPrinter::PrintInsert(QPainter& canvas, const QImage& picture, TPictureLayout layout) {
  Step([&] { DrawBackground(canvas, picture, layout); });
  for (TInsertSection* section : sections_) {
    Step([&] { section->DrawSection(canvas); });
  }
  QCoreApplication::processEvents();
}

void TInsertPrinter::DrawBackground(QPainter& canvas, const QImage& picture,
                                    TPictureLayout layout) const {
  if (picture.isNull() || picture.width() == 0 || picture.height() == 0) return;
  const QPaintDevice* device = canvas.device();
  if (device == nullptr) return;
  const int hr = device->logicalDpiX(), vr = device->logicalDpiY();
  const TInsertSection* side1 = Side1();
  const TInsertSection* side2 = Side2();
  const int L = side1->Left() * hr / 10;
  const int R = std::max(side1->Right(), side2->Right()) * hr / 10;
  const int T = std::min(side1->Top(), side2->Top()) * vr / 10;
  const int B = std::max(side1->Bottom(), side2->Bottom()) * vr / 10;
  if (R <= L || B <= T) return;

  canvas.save();
  if (layout == plTile) {
    // One scaled copy of the picture repeated by a pattern brush: a tile is at least one
    // device pixel, and the picture is converted once however many tiles there are.
    const int w = std::max(1, picture.width() * hr / screenPixelsPerInch_);
    const int h = std::max(1, picture.height() * vr / screenPixelsPerInch_);
    const QImage tile = picture.scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QBrush brush(tile);
    brush.setTransform(QTransform::fromTranslate(L, T));
    canvas.setClipRect(QRect(L, T, R - L, B - T));
    canvas.fillRect(QRect(L, T, R - L, B - T), brush);
  } else {
    const int band = vr * kColumnHeight / 10;
    for (int y = T; y < B; y += band) {
      const QRect clip(QPoint(L, y), QPoint(R - 1, std::min(B, y + band) - 1));
      canvas.setClipRect(clip);
      if (layout == plStretch) {
        PrintBitmap(canvas, picture, QRect(L, y, R - L, band));
        continue;
      }
      // Centred: the largest whole multiple of the picture that fits one band, or the picture
      // shrunk to the band when even one copy is too large, so it is never cropped.
      const int f = std::max(1, std::min((R - L) / picture.width(), band / picture.height()));
      QSize size(picture.width() * f, picture.height() * f);
      if (size.width() > R - L || size.height() > band) {
        size.scale(R - L, band, Qt::KeepAspectRatio);
      }
      const int cx = L + (R - L - size.width()) / 2;
      const int cy = y + (band - size.height()) / 2;
      PrintBitmap(canvas, picture, QRect(QPoint(cx, cy), size));
    }
  }
  canvas.restore();
}

QString TInsertPrinter::FitProblem(const QPaintDevice& device) const {
  int right = 0, bottom = 0;
  for (const TInsertSection* section : sections_) {
    right = std::max(right, section->Right());
    bottom = std::max(bottom, section->Bottom());
  }
  const int hr = device.logicalDpiX(), vr = device.logicalDpiY();
  // The frame's right and bottom lines start on the last pixel of the card and are as wide as
  // frame lines are there.
  if (right * hr / 10 + TInsertSection::LineWidth(hr) - 1 < device.width() &&
      bottom * vr / 10 + TInsertSection::LineWidth(vr) - 1 < device.height())
    return QString();
  return tr("The cassette insert is %1 by %2 inches, larger than the printable area of the "
            "page (%3 by %4 inches), so it has not been printed. Use a smaller font for the "
            "sides, fewer songs, or a layout with the sides next to each other.")
      .arg(right / 10.0, 0, 'f', 1)
      .arg(bottom / 10.0, 0, 'f', 1)
      .arg(double(device.width()) / hr, 0, 'f', 1)
      .arg(double(device.height()) / vr, 0, 'f', 1);
}

bool TInsertPrinter::PrintCopies(QPrinter& printer, const QImage& picture, TPictureLayout layout) {
  if (printing_) return false;
  printing_ = true;
  struct TPrintingFlag {
    bool& flag;
    ~TPrintingFlag() { flag = false; }
  } printingFlag{printing_};

  LayoutInsert(printer, 0, 0);
  const QString problem = FitProblem(printer);
  if (!problem.isEmpty()) {
    MessageDlg(problem, mtError, mbOK);
    return false;
  }
  const int copies = std::max(1, printer.copyCount());
  printer.setCopyCount(1);
  // A file holds one job: further copies are further pages, not jobs overwriting it.
  const bool toFile = !printer.outputFileName().isEmpty();
  QPainter painter;
  for (int copy = 0; copy < copies && !aborted_; ++copy) {
    if (toFile && copy > 0) {
      if (!printer.newPage()) throw Exception(tr("The printer could not start a new page."));
    } else if (!painter.begin(&printer)) {
      throw Exception(tr("The printer could not start the print job."));
    }
    FixPrinterFont(painter);
    LayoutInsert(printer, 0, 0);
    PrintInsert(painter, picture, layout);
    if (!toFile) painter.end();
  }
  if (painter.isActive()) painter.end();
  return true;
}
