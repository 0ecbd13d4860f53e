#include "shell/beside_placement.h"

#include <algorithm>

std::optional<QPoint> PlaceBeside(const QRect& owner, const QSize& size, const QRect& available) {
  if (size.height() > available.height()) return std::nullopt;
  const int top = std::clamp(owner.top(), available.top(), available.bottom() + 1 - size.height());
  // QRect's right() is the last column inside; the neighbour starts one further.
  if (owner.right() + 1 + size.width() <= available.right() + 1)
    return QPoint(owner.right() + 1, top);
  if (owner.left() - size.width() >= available.left())
    return QPoint(owner.left() - size.width(), top);
  return std::nullopt;
}
