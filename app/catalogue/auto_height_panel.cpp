#include "catalogue/auto_height_panel.h"

#include <QLayout>

#include <algorithm>
#include <climits>

TAutoHeightPanel::TAutoHeightPanel(QWidget* parent) : QWidget(parent) {}

void TAutoHeightPanel::Recalc() {
  int top = INT_MAX;
  int bottom = -1;
  for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (child->isHidden()) continue;
    top = std::min(top, child->y());
    bottom = std::max(bottom, child->y() + child->height());
  }
  if (bottom < 0) return;
  // A laid-out panel leaves hidden children out and keeps equal margins itself; its children's
  // positions would only follow the height the panel has now.
  const int needed = layout() ? layout()->totalSizeHint().height() : top + bottom;
  if (needed != height()) setFixedHeight(needed);
}
