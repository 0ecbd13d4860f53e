#pragma once

#include <QObject>
#include <QRect>

#include <functional>

class QPainter;

// Drives a paged report through events: for each page a header, a border that may shrink the
// report area, lines until the area is full, a footer and the end of the page. The handlers
// draw; the end-of-page handler starts the next page on the device or calls Finish.
class TReportSequencer : public QObject {
  Q_OBJECT

 public:
  // Positions are device pixels. heightUsed is in-out and keeps its value from the previous
  // event when a handler leaves it alone.
  using TDrawLineEvent =
      std::function<void(QObject* sender, int left, int top, int right, int bottom, int& heightUsed)>;
  using TDrawReportBorderEvent = std::function<void(QObject* sender, QRect& reportArea)>;
  using TNotifyEvent = std::function<void(QObject* sender)>;

  explicit TReportSequencer(QObject* owner = nullptr);

  TNotifyEvent OnNewPage;
  TDrawLineEvent OnDrawHeader;
  TDrawReportBorderEvent OnDrawReportBorder;
  TDrawLineEvent OnDrawLine;
  TDrawLineEvent OnDrawFooter;
  TNotifyEvent OnEndPage;

  // Prints pages on the painter's device until Finish is called. A handler's exception ends the
  // run and passes to the caller. REQUIRES: the painter is active.
  void Execute(QPainter& canvas);
  // Ends the run after the current page (its footer and end-of-page events still come).
  void Finish() { printing_ = false; }

  // The page being printed, from 1.
  int PageNumber() const { return pageNumber_; }
  bool Printing() const { return printing_; }
  QPainter* Canvas() const { return canvas_; }
  // The area the lines of the current page go into.
  const QRect& ReportArea() const { return reportArea_; }

 private:
  QPainter* canvas_ = nullptr;
  int pageWidth_ = 0;
  int pageHeight_ = 0;
  int pageNumber_ = 0;
  QRect reportArea_;
  int position_ = 0;
  bool printing_ = false;
};
