#pragma once

// What a person on a given screen can see and reach of a window: whether its first frame lies
// within the screen's free area, and whether each control can be got at.

#include <QAbstractScrollArea>
#include <QApplication>
#include <QScreen>
#include <QStringList>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

namespace screenfit {

inline QString Describe(const QWidget* w) {
  return QStringLiteral("%1 %2").arg(QString::fromLatin1(w->metaObject()->className()),
                                     w->objectName());
}

inline QString Text(const QRect& r) {
  return QStringLiteral("%1x%2 at %3,%4").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y());
}

// Whether `w` is what a scroll area scrolls: a person brings it into view.
inline bool Scrolled(const QWidget* w) {
  const QWidget* view = w->parentWidget();
  const auto* area =
      view != nullptr ? qobject_cast<const QAbstractScrollArea*>(view->parentWidget()) : nullptr;
  return area != nullptr && area->viewport() == view;
}

// The toolbar button Qt shows for the items that do not fit its toolbar.
inline const QWidget* ToolBarExtension(const QToolBar* bar) {
  return bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
}

// Why `control` cannot be reached in its window: some widget on the way up from it is not
// wholly inside its parent, other than what a scroll area scrolls. Empty when it can be.
inline QString Unreachable(const QWidget* control) {
  for (const QWidget* w = control; !w->isWindow(); w = w->parentWidget()) {
    const QWidget* parent = w->parentWidget();
    if (Scrolled(w)) continue;
    if (!parent->rect().contains(w->geometry()))
      return QStringLiteral("%1 (%2) lies outside %3 (%4x%5)")
          .arg(Describe(w), Text(w->geometry()), Describe(parent))
          .arg(parent->width())
          .arg(parent->height());
  }
  return QString();
}

// Shows the window as a person first sees it and tells what is wrong: a frame beyond the
// screen's free area, a size below what its controls need, a control out of reach. A toolbar's
// items that do not fit are reached through its extension button (a resizable window's toolbar
// may rely on it), so that button must be in reach instead.
inline QStringList FitFaults(QWidget* window) {
  QStringList faults;
  const QString scope =
      window->windowTitle().isEmpty() ? window->objectName() : window->windowTitle();
  window->show();
  if (!QTest::qWaitForWindowExposed(window)) return {scope + ": the window is not shown"};
  QApplication::processEvents();  // late layouts
  const QRect free = window->screen()->availableGeometry();
  if (!free.contains(window->frameGeometry()))
    faults << QStringLiteral("%1: its frame %2 is not within the screen's %3")
                  .arg(scope, Text(window->frameGeometry()), Text(free));
  const QSize least = window->minimumSizeHint();
  if (least.isValid() && (window->width() < least.width() || window->height() < least.height()))
    faults << QStringLiteral("%1: %2x%3 is smaller than its controls need (%4x%5)")
                  .arg(scope)
                  .arg(window->width())
                  .arg(window->height())
                  .arg(least.width())
                  .arg(least.height());
  for (const QWidget* w : window->findChildren<QWidget*>()) {
    if (w->window() != window || !w->isVisible()) continue;
    const QString why = Unreachable(w);
    if (!why.isEmpty()) faults << QStringLiteral("%1: %2").arg(scope, why);
  }
  for (const QToolBar* bar : window->findChildren<QToolBar*>()) {
    if (!bar->isVisible()) continue;
    for (QAction* action : bar->actions()) {
      const QWidget* item = bar->widgetForAction(action);
      if (!action->isVisible() || action->isSeparator() || item == nullptr || item->isVisible())
        continue;
      const QWidget* extension = ToolBarExtension(bar);
      if (extension == nullptr || !extension->isVisible())
        faults << QStringLiteral("%1: %2 is hidden").arg(scope, Describe(item));
    }
  }
  window->hide();
  return faults;
}

// Whether every item of every toolbar of the window is shown, none left to the extension.
inline QStringList ToolBarOverflow(const QWidget* window) {
  QStringList hidden;
  for (const QToolBar* bar : window->findChildren<QToolBar*>()) {
    if (!bar->isVisible()) continue;
    for (QAction* action : bar->actions()) {
      const QWidget* item = bar->widgetForAction(action);
      if (action->isVisible() && !action->isSeparator() && item != nullptr && !item->isVisible())
        hidden << Describe(item);
    }
  }
  return hidden;
}

}  // namespace screenfit
