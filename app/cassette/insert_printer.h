#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <functional>

#include "cassette/insert_arranger.h"
#include "cassette/picture_layout.h"

class QPaintDevice;
class QPainter;
class QPrinter;
class TInsertSection;

// Prints a cassette insert of fixed physical size at the top-left corner of the printable area:
// the front flap, the edge flap and the two sides, framed, over an optional background picture
// under the sides. Lengths are tenths of an inch.
class TInsertPrinter : public QObject {
  Q_OBJECT

 public:
  // Height of one panel block of a side.
  static constexpr int kColumnHeight = 26;

  explicit TInsertPrinter(QObject* owner = nullptr);

  TInsertSection* FrontFlap() const { return sections_[0]; }
  TInsertSection* EdgeFlap() const { return sections_[1]; }
  TInsertSection* Side1() const { return sections_[2]; }
  TInsertSection* Side2() const { return sections_[3]; }

  InsertArrangement Arrangement() const { return arrangement_; }
  void SetArrangement(InsertArrangement arrangement);
  // A stored layout number; one outside 0 .. 3 counts as iaHCassetteUp.
  void SetArrangement(int value) { SetArrangement(InsertArrangementFrom(value)); }

  // A cancel was asked for the print command in progress; later steps and copies are skipped.
  bool Aborted() const { return aborted_; }
  void SetAborted(bool aborted) { aborted_ = aborted; }
  // True while PrintCopies runs. Printing processes events between its steps, so a second
  // print, closing the window or quitting can be asked for meanwhile: refuse them.
  bool Printing() const { return printing_; }

  // Screen resolution a tiled picture's pixels are measured in; the primary screen's.
  int ScreenPixelsPerInch() const { return screenPixelsPerInch_; }
  void SetScreenPixelsPerInch(int ppi) { screenPixelsPerInch_ = ppi > 0 ? ppi : 96; }

  // Sets the four sections' geometry for Arrangement on the device, the card's top-left corner
  // at (left, top). Returns the card's width and height.
  QSize LayoutInsert(const QPaintDevice& device, int left, int top);

  // Background, front flap, edge flap, side 1, side 2, with pending events processed before
  // each step and after the last; a step is skipped once Aborted is set.
  void PrintInsert(QPainter& canvas, const QImage& picture, TPictureLayout layout);

  // The picture under the two sides only; nothing for a null picture.
  void DrawBackground(QPainter& canvas, const QImage& picture, TPictureLayout layout) const;

  // Why the laid-out card does not fit the device's printable area; empty when it fits.
  QString FitProblem(const QPaintDevice& device) const;

  // The whole print command after the sections have their text: lays the card out, refuses
  // (with an error box, printing nothing) a card larger than the page, then prints the
  // printer's copy count of copies, each its own job, or all as pages of one file when the
  // printer writes to a file. The printer's own copy count is set to 1 so that each copy is
  // made once. Returns false when refused or already printing. Drawing failures reach the
  // caller, with the job ended.
  bool PrintCopies(QPrinter& printer, const QImage& picture, TPictureLayout layout);

 private:
  void Step(const std::function<void()>& step);

  TInsertSection* sections_[4] = {};  // children of this object
  InsertArrangement arrangement_ = iaHCassetteUp;
  bool aborted_ = false;
  bool printing_ = false;
  int screenPixelsPerInch_ = 96;
};
