#pragma once

#include <QPixmap>
#include <QWidget>

#include <functional>

class QTimer;

// The product picture drawn into the program: a cassette lettered "Reelsmith 4.2", 420 x 260.
QPixmap BuiltInProductPicture();

// The start-up window: a borderless, white, always-on-top picture centred on the screen. It is
// the first window of the program and stays alive, hidden, after it has handed over to the
// catalogue window.
//
// The picture is the built-in one unless "Brand"/"Bitmap" of the settings file names a picture
// file (any format Qt reads): then that picture replaces it and the window takes its size. A file
// that cannot be read is shown by the standard error report and the built-in picture stays; an
// empty file changes nothing.
//
// The window does not show itself: the caller shows it right after creating it. Its timer
// (3000 ms) runs from creation; each tick and each mouse click hands over (see HandOver).
class TSplashScreen : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kHandOverInterval = 3000;

  explicit TSplashScreen(QWidget* parent = nullptr);
  ~TSplashScreen() override;

  // What shows the catalogue window (and brings it to the front). Until it is set, hand-over
  // does nothing and the splash waits for the next tick or click.
  void SetHandOver(std::function<void()> showMainWindow);

  // Once a target is set: hides the splash, sets Done, stops the timer and calls the target.
  // Does nothing before a target is set or after Done.
  void HandOver();

  // True once the splash has handed over.
  bool Done() const { return done_; }

  // The picture the window shows.
  const QPixmap& Picture() const { return picture_; }
  // The product picture for the about box: the built-in one even when a brand picture replaced
  // it on the splash.
  QPixmap ProductPicture() const;

  QTimer* Timer() const { return timer_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void LoadBrandPicture(const QString& fileName);
  void CenterOnScreen();

  QPixmap picture_;
  QPixmap savedBuiltIn_;  // set only when a brand picture replaced the built-in one
  QTimer* timer_;
  std::function<void()> showMainWindow_;
  bool done_ = false;
};
