#pragma once

#include <QFont>
#include <QObject>
#include <QRect>
#include <QStringList>

#include "cassette/cassette_section.h"

class QPaintDevice;
class QPainter;
class QWidget;

// One printed part of a cassette insert (a flap or a side): its rectangle in tenths of an inch,
// framed, with its text lines in its font. A side is divided into panel blocks of ColumnHeight;
// text that does not fit into one block continues at the top of the next, below the divider.
// Device coordinates are tenths × pixels per inch / 10, truncated toward zero.
class TInsertSection : public QObject {
  Q_OBJECT

 public:
  explicit TInsertSection(QObject* owner = nullptr);

  int Top() const { return top_; }
  void SetTop(int tenths) { top_ = tenths; }
  int Left() const { return left_; }
  void SetLeft(int tenths) { left_ = tenths; }
  int Width() const { return width_; }
  void SetWidth(int tenths) { width_ = tenths; }
  int Height() const { return height_; }
  void SetHeight(int tenths) { height_ = tenths; }
  int Bottom() const { return top_ + height_; }
  int Right() const { return left_ + width_; }
  bool Border() const { return border_; }
  void SetBorder(bool border) { border_ = border; }
  const QFont& Font() const { return font_; }
  void SetFont(const QFont& font) { font_ = font; }
  const QStringList& Lines() const { return lines_; }
  void SetLines(const QStringList& lines) { lines_ = lines; }
  // Height of one panel block in tenths of an inch; 0: the section is one undivided block.
  int ColumnHeight() const { return columnHeight_; }
  void SetColumnHeight(int tenths) { columnHeight_ = tenths; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment) { alignment_ = alignment; }

  // Copies the lines as shown and the font of a list or a section; from a section (a flap) the
  // alignment too. Any other control leaves the section without lines.
  void AssignFrom(const QWidget* control);

  // Height of one text line in the section's font on the device, in device pixels.
  int LineHeight(const QPaintDevice& device) const;
  // How many lines one block holds on the device: the lines drawn between the block's top and
  // bottom margins. Both the height and the drawing use this count, so every line measured for
  // is printed. At least 1, however large the font.
  int LinesPerBlock(const QPaintDevice& device) const;
  // Height the lines need on the device, in whole blocks (at least one), in tenths of an inch.
  // A section without blocks keeps its height.
  int SectionHeight(const QPaintDevice& device) const;

  // The section's rectangle in device pixels of a device of these resolutions; right and
  // bottom are the frame's lines.
  QRect DeviceRect(int horizontalPpi, int verticalPpi) const;
  // The rectangle the text is clipped to: inside the frame and a margin of 1/40 inch.
  QRect TextRect(int horizontalPpi, int verticalPpi) const;

  // Device pixels of a frame or divider line across this resolution: at least 1/300 inch, so
  // that the lines show on paper at any printer resolution; 1 on a screen.
  static int LineWidth(int pixelsPerInch);

  // Draws the frame, the block dividers and the text, each line clipped to TextRect. A line
  // starts on its coordinate's pixel and grows right or down by LineWidth, so that sections
  // meeting at an edge share one line. Text is drawn without a background, over whatever is
  // under it.
  void DrawSection(QPainter& canvas) const;

 private:
  int top_ = 0, left_ = 0, width_ = 0, height_ = 0;
  bool border_ = true;
  QFont font_;
  QStringList lines_;
  int columnHeight_ = 0;
  TAlignment alignment_ = taLeftJustify;
};
