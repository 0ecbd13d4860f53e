#include "shell/splash.h"

#include <QFileInfo>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>

#include <utility>

#include "platform/exceptions.h"
#include "platform/profile.h"
#include "shell/application.h"

namespace {

void DrawReel(QPainter& p, const QPointF& centre) {
  p.setPen(QPen(QColor(60, 60, 60), 2));
  p.setBrush(QColor(235, 235, 235));
  p.drawEllipse(centre, 30, 30);
  p.setBrush(QColor(90, 60, 40));  // wound tape
  p.drawEllipse(centre, 20, 20);
  p.setBrush(Qt::white);
  p.drawEllipse(centre, 9, 9);
  p.setPen(QPen(QColor(60, 60, 60), 3));
  for (int i = 0; i < 6; ++i) {
    p.save();
    p.translate(centre);
    p.rotate(60.0 * i);
    p.drawLine(QPointF(0, 4), QPointF(0, 8));
    p.restore();
  }
}

}  // namespace

QPixmap BuiltInProductPicture() {
  QPixmap pixmap(420, 260);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);

  // The cassette shell with its label.
  const QRectF shell(30, 20, 360, 220);
  p.setPen(QPen(QColor(40, 40, 40), 3));
  p.setBrush(QColor(70, 70, 80));
  p.drawRoundedRect(shell, 14, 14);
  const QRectF label(50, 36, 320, 150);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 240, 210));
  p.drawRoundedRect(label, 6, 6);
  p.setBrush(QColor(200, 60, 50));
  p.drawRect(QRectF(50, 82, 320, 8));

  QFont font = p.font();
  font.setBold(true);
  font.setPixelSize(30);
  p.setFont(font);
  p.setPen(QColor(40, 40, 60));
  p.drawText(QRectF(50, 40, 320, 42), Qt::AlignCenter, QStringLiteral("Reelsmith 4.2"));

  // The window onto the tape, with both reels.
  const QRectF window(110, 100, 200, 70);
  p.setPen(QPen(QColor(60, 60, 60), 2));
  p.setBrush(QColor(180, 190, 200));
  p.drawRoundedRect(window, 30, 30);
  DrawReel(p, QPointF(145, 135));
  DrawReel(p, QPointF(275, 135));

  // The head opening at the bottom edge.
  QPainterPath head;
  head.moveTo(110, 240);
  head.lineTo(125, 200);
  head.lineTo(295, 200);
  head.lineTo(310, 240);
  p.setBrush(QColor(55, 55, 65));
  p.setPen(QPen(QColor(40, 40, 40), 2));
  p.drawPath(head);
  p.setBrush(QColor(20, 20, 20));
  for (const qreal x : {150.0, 262.0}) p.drawEllipse(QPointF(x, 222), 7, 7);
  for (const qreal x : {45.0, 375.0}) p.drawEllipse(QPointF(x, 225), 5, 5);
  return pixmap;
}

TSplashScreen::TSplashScreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(BuiltInProductPicture()),
      timer_(new QTimer(this)) {
  setObjectName(QStringLiteral("SplashScreen"));
  timer_->setObjectName(QStringLiteral("Timer"));
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);

  // A failure here is reported and the window is still built, with the built-in picture.
  try {
    const QString brand =
        TProfile(kSettingsFileName)
            .ReadString(QStringLiteral("Brand"), QStringLiteral("Bitmap"), QString());
    if (!brand.isEmpty()) LoadBrandPicture(brand);
  } catch (...) {
    ShowCurrentException();
  }
  setFixedSize(picture_.size());
  CenterOnScreen();

  timer_->setInterval(kHandOverInterval);
  connect(timer_, &QTimer::timeout, this, Guarded([this](auto&&...) { HandOver(); }));
  timer_->start();
}

TSplashScreen::~TSplashScreen() = default;

void TSplashScreen::LoadBrandPicture(const QString& fileName) {
  // An empty file holds an empty picture, which changes nothing.
  const QFileInfo info(fileName);
  if (info.isFile() && info.size() == 0) return;

  QImageReader reader(fileName);
  const QImage image = reader.read();
  if (image.isNull()) {
    throw Exception(
        QStringLiteral("Unable to read the picture %1: %2").arg(fileName, reader.errorString()));
  }
  if (image.size().isEmpty()) return;
  savedBuiltIn_ = picture_;
  picture_ = QPixmap::fromImage(image);
}

void TSplashScreen::CenterOnScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame(QPoint(), size());
  frame.moveCenter(screen->availableGeometry().center());
  move(frame.topLeft());
}

void TSplashScreen::SetHandOver(std::function<void()> showMainWindow) {
  showMainWindow_ = std::move(showMainWindow);
}

void TSplashScreen::HandOver() {
  if (done_ || !showMainWindow_) return;
  hide();
  done_ = true;
  timer_->stop();
  showMainWindow_();
}

QPixmap TSplashScreen::ProductPicture() const {
  return savedBuiltIn_.isNull() ? picture_ : savedBuiltIn_;
}

void TSplashScreen::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, picture_);
}

void TSplashScreen::mousePressEvent(QMouseEvent* event) {
  event->accept();
  HandOver();
}

void TSplashScreen::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // Once handed over the splash stays out of sight, even when the window system activates it.
  if (done_ && event->type() == QEvent::ActivationChange && isVisible()) hide();
}
