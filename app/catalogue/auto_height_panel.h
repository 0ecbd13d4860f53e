#pragma once

#include <QWidget>

// A panel that is as high as its visible child controls need, with the same margin below them
// as above.
class TAutoHeightPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TAutoHeightPanel(QWidget* parent = nullptr);
  // Recomputes the height; with no visible child it stays.
  void Recalc();
};
