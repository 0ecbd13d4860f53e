#include "cassette/insert_arranger.h"

#include <QAbstractButton>
#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

// [layout][control], tenths of an inch.
constexpr TTenthsRect kNormal[4][5] = {
    {{0, 0, 40, 7}, {0, 7, 40, 12}, {0, 12, 40, 25}, {0, 25, 40, 38}, {0, 38, 40, 45}},
    {{0, 26, 40, 33}, {0, 33, 40, 38}, {0, 0, 40, 13}, {0, 13, 40, 26}, {0, 38, 40, 45}},
    {{0, 0, 40, 7}, {0, 7, 40, 12}, {0, 12, 20, 38}, {20, 12, 40, 38}, {0, 38, 40, 45}},
    {{0, 31, 40, 38}, {0, 26, 40, 31}, {0, 0, 20, 26}, {20, 0, 40, 26}, {0, 38, 40, 45}},
};

constexpr TTenthsRect kCompact[4][5] = {
    {{0, 0, 40, 7}, {0, 7, 40, 12}, {0, 12, 40, 18}, {0, 18, 40, 24}, {0, 24, 40, 31}},
    {{0, 12, 40, 19}, {0, 19, 40, 24}, {0, 0, 40, 6}, {0, 6, 40, 12}, {0, 24, 40, 31}},
    {{0, 0, 40, 7}, {0, 7, 40, 12}, {0, 12, 20, 24}, {20, 12, 40, 24}, {0, 24, 40, 31}},
    {{0, 17, 40, 24}, {0, 12, 40, 17}, {0, 0, 20, 12}, {20, 0, 40, 12}, {0, 24, 40, 31}},
};

}  // namespace

InsertArrangement InsertArrangementFrom(int value) {
  return value >= iaVCassetteUp && value <= iaHCassetteDown ? InsertArrangement(value)
                                                            : iaHCassetteUp;
}

TTenthsRect ScreenRectangle(bool compact, InsertArrangement arrangement, TInsertControl control) {
  const int a = InsertArrangementFrom(arrangement);
  return compact ? kCompact[a][control] : kNormal[a][control];
}

QRect TenthsToPixels(const TTenthsRect& r, int pixelsPerInch) {
  const int left = r.left * pixelsPerInch / 10;
  const int top = r.top * pixelsPerInch / 10;
  const int right = r.right * pixelsPerInch / 10;
  const int bottom = r.bottom * pixelsPerInch / 10;
  return QRect(left, top, right - left, bottom - top);
}

TScreenMetrics TScreenMetrics::Primary() {
  TScreenMetrics metrics;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    metrics.pixelsPerInch = qRound(screen->logicalDotsPerInchY());
    metrics.height = screen->geometry().height();
  }
  return metrics;
}

bool CompactTableWanted(const TScreenMetrics& screen) {
  return screen.pixelsPerInch > 96 || screen.height < 600;
}

TInsertArranger::TInsertArranger(QObject* owner, const TScreenMetrics& screen)
    : QObject(owner),
      compact_(CompactTableWanted(screen)),
      pixelsPerInch_(screen.pixelsPerInch > 0 ? screen.pixelsPerInch : 96) {
  SetArrangement(iaHCassetteUp);
}

void TInsertArranger::SetArrangement(InsertArrangement arrangement) {
  arrangement_ = InsertArrangementFrom(arrangement);
  if (QAbstractButton* button = buttons_[arrangement_]) button->setChecked(true);
  // Buttons outside an exclusive group pop up here too.
  for (int a = 0; a < 4; ++a) {
    if (a != arrangement_ && buttons_[a]) buttons_[a]->setChecked(false);
  }
  for (int c = icFrontFlap; c <= icExcessSongs; ++c) {
    if (QWidget* control = controls_[c]) {
      control->setGeometry(TenthsToPixels(
          ScreenRectangle(compact_, arrangement_, TInsertControl(c)), pixelsPerInch_));
    }
  }
  for (int a = 0; a < 4; ++a) {
    if (QAction* item = menus_[a]) {
      item->setCheckable(true);
      item->setChecked(a == arrangement_);
    }
  }
}

int TInsertArranger::AreaHeight() const {
  return ScreenRectangle(compact_, iaVCassetteUp, icExcessSongs).bottom * pixelsPerInch_ / 10;
}

int TInsertArranger::AreaWidth() const {
  return ScreenRectangle(compact_, iaVCassetteUp, icFrontFlap).right * pixelsPerInch_ / 10;
}

void TInsertArranger::SetButton(InsertArrangement arrangement, QAbstractButton* button) {
  if (buttons_[arrangement]) disconnect(buttons_[arrangement], nullptr, this, nullptr);
  buttons_[arrangement] = button;
  if (button == nullptr) return;
  button->setCheckable(true);
  connect(button, &QAbstractButton::clicked, this,
          [this, arrangement] { SetArrangement(arrangement); });
}

void TInsertArranger::SetMenu(InsertArrangement arrangement, QAction* item) {
  if (menus_[arrangement]) disconnect(menus_[arrangement], nullptr, this, nullptr);
  menus_[arrangement] = item;
  if (item == nullptr) return;
  item->setCheckable(true);
  connect(item, &QAction::triggered, this, [this, arrangement] { SetArrangement(arrangement); });
}
