// Walks the Tab order of every window and dialog: from any control Tab must reach every other
// enabled control of the window, and no control may keep the keyboard when Tab is pressed.
#include "app_test_environment.h"
#include "every_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QButtonGroup>
#include <QTest>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace {

QString Describe(const QWidget* w) {
  return QStringLiteral("%1 %2").arg(QString::fromLatin1(w->metaObject()->className()),
                                     w->objectName());
}

// The controls Tab should visit: enabled, on screen, taking focus by Tab, not standing in for
// another (a focus proxy's owner is visited through the proxy).
std::vector<QWidget*> TabStops(QWidget* window) {
  std::vector<QWidget*> stops;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (w->window() != window || !w->isVisible() || !w->isEnabled()) continue;
    if (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy() != nullptr) continue;
    stops.push_back(w);
  }
  return stops;
}

// Presses Tab in the window's focus control; answers the control that has the window's focus
// then. The window's own record of its focus is used, so the walk does not depend on which
// window the platform made active.
QWidget* PressTab(QWidget* window) {
  QWidget* from = window->focusWidget();
  if (from == nullptr) return nullptr;
  QTest::keyClick(from, Qt::Key_Tab);
  return window->focusWidget();
}

// Whether Tab reaching `w` is enough for `wanted`: Tab enters a group of exclusive buttons (radio
// buttons, the cassette's layout buttons) at its checked button, and the arrow keys move within
// the group.
bool SameExclusiveGroup(const QWidget* w, const QWidget* wanted) {
  const auto* a = qobject_cast<const QAbstractButton*>(w);
  const auto* b = qobject_cast<const QAbstractButton*>(wanted);
  if (!a || !b || !a->isCheckable() || !b->isCheckable()) return false;
  if (a->group() && a->group() == b->group()) return a->group()->exclusive();
  return a->autoExclusive() && b->autoExclusive() && a->parentWidget() == b->parentWidget();
}

// What is wrong with the window's Tab order.
QStringList TabFaults(QWidget* window) {
  QStringList faults;
  const QString scope = TEveryWindow::Scope(window);
  window->show();
  if (!QTest::qWaitForWindowExposed(window)) return {scope + ": the window is not shown"};
  const std::vector<QWidget*> stops = TabStops(window);
  for (QWidget* start : stops) {
    start->setFocus(Qt::TabFocusReason);
    if (window->focusWidget() != start) {
      faults << QStringLiteral("%1: %2 does not take the keyboard").arg(scope, Describe(start));
      continue;
    }
    std::set<QWidget*> reached{start};
    QWidget* at = start;
    // One round through every stop, and a little more for controls that are passed through.
    for (size_t i = 0; i < 2 * stops.size() + 2 && stops.size() > 1; ++i) {
      QWidget* next = PressTab(window);
      if (next == at) {
        faults << QStringLiteral("%1: Tab does not leave %2").arg(scope, Describe(at));
        break;
      }
      if (next == nullptr) {
        faults << QStringLiteral("%1: Tab from %2 leaves the window").arg(scope, Describe(at));
        break;
      }
      at = next;
      reached.insert(at);
    }
    for (QWidget* w : stops) {
      const bool found = std::any_of(reached.begin(), reached.end(), [w](QWidget* r) {
        return r == w || SameExclusiveGroup(r, w);
      });
      if (!found)
        faults << QStringLiteral("%1: Tab from %2 never reaches %3")
                      .arg(scope, Describe(start), Describe(w));
    }
    if (!faults.isEmpty()) break;  // one start's faults say enough
  }
  window->hide();
  return faults;
}

TEST(TabOrder, TheWalkFindsAControlThatKeepsTheKeyboard) {
  QWidget window;
  window.setWindowTitle("Probe");
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(new QLineEdit);
  auto* trap = new QPlainTextEdit;  // takes Tab as a character
  trap->setObjectName("Trap");
  layout->addWidget(trap);
  layout->addWidget(new QPushButton("OK"));
  const QStringList faults = TabFaults(&window);
  ASSERT_FALSE(faults.isEmpty());
  EXPECT_TRUE(faults[0].contains("Tab does not leave QPlainTextEdit Trap"))
      << faults.join('\n').toStdString();
}

TEST(TabOrder, EveryWindowsTabOrderReachesAndLeavesEveryControl) {
  TEveryWindow all(QStringLiteral(RS_SOURCE_DIR "/examples/sample.mus"));
  QStringList faults;
  for (QWidget* w : all.Windows()) faults << TabFaults(w);
  EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
  // The walk saw the catalogue window's controls, its grids among them.
  all.form->show();
  const std::vector<QWidget*> stops = TabStops(all.form.get());
  EXPECT_GE(stops.size(), 10u);
  EXPECT_EQ(std::count_if(stops.begin(), stops.end(),
                          [](QWidget* w) { return w->inherits("QAbstractItemView"); }),
            2);
}

}  // namespace
