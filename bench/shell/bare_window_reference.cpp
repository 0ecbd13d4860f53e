// The reference for the program's start: a bare Qt Widgets window with one tool bar and one list
// of 15,000 lines, shown at once. Like the program, it writes one byte to the descriptor named by
// RS_READY_FD once the window is shown and idle.
#include <QApplication>
#include <QListWidget>
#include <QMainWindow>
#include <QStringList>
#include <QTimer>
#include <QToolBar>

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  QToolBar* bar = window.addToolBar(QStringLiteral("Tools"));
  for (const char* text : {"New", "Open", "Save", "Help"})
    bar->addAction(QString::fromLatin1(text));
  auto* list = new QListWidget(&window);
  QStringList lines;
  lines.reserve(15000);
  for (int i = 0; i < 15000; ++i) lines << QStringLiteral("Song %1").arg(i);
  list->addItems(lines);
  window.setCentralWidget(list);
  window.resize(860, 560);
  window.show();
  if (const char* fd = std::getenv("RS_READY_FD")) {
    QTimer::singleShot(0, &window, [number = std::atoi(fd)] {
      const char ready = '\n';
      if (write(number, &ready, 1) != 1) std::perror("bare_window_reference: RS_READY_FD");
    });
  }
  return app.exec();
}
