#include "reports/report_sequencer.h"

#include <QPaintDevice>
#include <QPainter>

TReportSequencer::TReportSequencer(QObject* owner) : QObject(owner) {}

void TReportSequencer::Execute(QPainter& canvas) {
  canvas_ = &canvas;
  pageWidth_ = canvas.device()->width();
  pageHeight_ = canvas.device()->height();
  pageNumber_ = 1;
  printing_ = true;
  int heightUsed = 0;
  // The rectangles handed to handlers have right and bottom just outside the area.
  auto bottomOf = [](const QRect& r) { return r.top() + r.height(); };
  auto rightOf = [](const QRect& r) { return r.left() + r.width(); };
  while (printing_) {
    position_ = 0;
    if (OnNewPage) OnNewPage(this);
    if (OnDrawHeader) {
      OnDrawHeader(this, 0, 0, pageWidth_, pageHeight_, heightUsed);
      position_ += heightUsed;
    }
    reportArea_ = QRect(0, position_, pageWidth_, pageHeight_ - position_);
    if (OnDrawReportBorder) {
      OnDrawReportBorder(this, reportArea_);
      position_ = reportArea_.top();
    }
    while (position_ < bottomOf(reportArea_) && printing_) {
      if (!OnDrawLine) break;
      OnDrawLine(this, reportArea_.left(), position_, rightOf(reportArea_), bottomOf(reportArea_),
                 heightUsed);
      // A line that takes no room would be drawn again forever: it ends the page instead.
      if (heightUsed <= 0) break;
      position_ += heightUsed;
    }
    if (OnDrawFooter)
      OnDrawFooter(this, 0, bottomOf(reportArea_), pageWidth_, pageHeight_, heightUsed);
    // Only the end-of-page handler can start another page; without one the report is one page.
    if (OnEndPage)
      OnEndPage(this);
    else
      printing_ = false;
    ++pageNumber_;
  }
  canvas_ = nullptr;
}
