#include "cd/cd_player.h"

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QPalette>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

#include "cd/seek_steps.h"
#include "shell/application.h"
#include "shell/help_context.h"
#include "shell/message_dialog.h"
#include "shell/window_placement.h"

namespace {

constexpr int kPollMs = 1000;
constexpr int kMargin = 8;
const char* const kMediaButtons[] = {"Play", "Pause", "Stop", "Next", "Prev", "Eject"};

QString TrackAndTime(int track, long seconds) {
  return QString::asprintf("%2d  %3ld:%02ld", track, seconds / 60, seconds % 60);
}

}  // namespace

TCDPlayer::TCDPlayer(std::unique_ptr<TCdAudioDevice> device, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      device_(std::move(device)) {
  setObjectName(QStringLiteral("CDPlayer"));
  setWindowTitle(QStringLiteral("Reelsmith CD Player"));
  SetHelpContext(this, 100);
  clock_.start();
  BuildControls();

  placement_ = new TPlacement(this);
  placement_->setObjectName(QStringLiteral("PlayerPlacement"));
  placement_->SetIniFileName(QString::fromLatin1(kIniFileName));
  placement_->SetSection(QStringLiteral("CDPlayer"));
  placement_->SetForceInvisible(true);
  placement_->SetSetSize(false);
  placement_->RestorePlacement();

  cdTimer_ = new QTimer(this);
  cdTimer_->setObjectName(QStringLiteral("CDTimer"));
  cdTimer_->setInterval(kPollMs);
  connect(cdTimer_, &QTimer::timeout, this, Guarded([this](auto&&...) { CDTimerTimer(); }));
  // The poll runs from creation, shown or not, so the catalogue window learns of a disc.
  if (device_) cdTimer_->start();
}

TCDPlayer::~TCDPlayer() {
  try {
    placement_->SavePlacement();
  } catch (const std::exception&) {
    // Nobody is left to tell at the program's end.
  }
  if (device_ && opened_) device_->Close();
}

void TCDPlayer::BuildControls() {
  // The face is light grey on every desktop. Colours go in palettes: a style sheet would cost
  // every start the making of a style of its own.
  QPalette face = palette();
  face.setColor(QPalette::Window, QColor(0xc0, 0xc0, 0xc0));
  setPalette(face);
  setAutoFillBackground(true);
  powerButton_ = new QToolButton(this);
  powerButton_->setObjectName(QStringLiteral("PowerButton"));
  powerButton_->setText(QStringLiteral("POWER"));
  powerButton_->setGeometry(kMargin, kMargin, 56, 40);
  connect(powerButton_, &QToolButton::clicked, this, [this] { PowerButtonClick(); });

  cdLabel_ = new QLabel(this);
  cdLabel_->setObjectName(QStringLiteral("CDLabel"));
  cdLabel_->setGeometry(72, kMargin, 200, 40);
  cdLabel_->setAutoFillBackground(true);
  QPalette display = cdLabel_->palette();
  display.setColor(QPalette::Window, Qt::black);
  display.setColor(QPalette::WindowText, QColor(0x00, 0xff, 0x00));
  cdLabel_->setPalette(display);
  cdLabel_->setAlignment(Qt::AlignCenter);
  cdLabel_->setAccessibleName(QStringLiteral("CD display"));
  cdLabel_->setAccessibleDescription(QStringLiteral("The track playing and its playing time."));
  FitDisplayFont();

  auto smallLabel = [this](const char* name, const QString& text, int x) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(x, 50, 96, 16);
    QFont f = label->font();
    f.setPointSize(7);
    label->setFont(f);
    // The player's face is light grey on every desktop, so its lettering stays black.
    QPalette ink = label->palette();
    ink.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(ink);
    return label;
  };
  trackLabel_ = smallLabel("TrackLabel", QStringLiteral("TRACK"), 72);
  timeLabel_ = smallLabel("TimeLabel", QStringLiteral("PLAYING TIME"), 176);
  timeLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  auto small = [this](const char* name, const QString& text, const QString& tip, int y) {
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setToolTip(tip);
    button->setGeometry(280, y, 32, 22);
    button->setEnabled(false);
    return button;
  };
  reverse_ = small("Reverse", QStringLiteral("<<"), QStringLiteral("Back 10 seconds"), kMargin);
  fastForward_ = small("FastForward", QStringLiteral(">>"), QStringLiteral("On 10 seconds"), 32);
  connect(reverse_, &QToolButton::clicked, this, Guarded([this](auto&&...) { ReverseClick(); }));
  connect(fastForward_, &QToolButton::clicked, this,
          Guarded([this](auto&&...) { FastForwardClick(); }));

  mediaPlayer_ = new QWidget(this);
  mediaPlayer_->setObjectName(QStringLiteral("MediaPlayer"));
  const std::function<void()> actions[] = {[this] { PlayClick(); }, [this] { PauseClick(); },
                                           [this] { StopClick(); }, [this] { NextClick(); },
                                           [this] { PrevClick(); }, [this] { EjectClick(); }};
  const QString glyphs[] = {QStringLiteral("\u25B6"), QStringLiteral("\u2016"),
                            QStringLiteral("\u25A0"), QStringLiteral(">>|"),
                            QStringLiteral("|<<"),    QStringLiteral("\u23CF")};
  constexpr int kButtonWidth = 40;
  for (int i = 0; i < 6; ++i) {
    auto* button = new QToolButton(mediaPlayer_);
    button->setObjectName(QString::fromLatin1(kMediaButtons[i]));
    button->setText(glyphs[i]);
    button->setToolTip(QString::fromLatin1(kMediaButtons[i]));
    button->setGeometry(i * kButtonWidth, 0, kButtonWidth, 26);
    connect(button, &QToolButton::clicked, this,
            Guarded([action = actions[i]](auto&&...) { action(); }));
  }
  mediaPlayer_->setGeometry(kMargin, 72, 6 * kButtonWidth, 26);
}

void TCDPlayer::FitDisplayFont() {
  // Ten characters fill the display's width; a character is as high as the display.
  QFont font(QStringLiteral("Monospace"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setBold(true);
  font.setPixelSize(std::max(8, cdLabel_->height() * 3 / 4));
  const qreal wanted = cdLabel_->width() / 10.0;
  const qreal actual = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
  if (actual > 0) font.setStretch(std::clamp(static_cast<int>(100 * wanted / actual), 1, 4000));
  cdLabel_->setFont(font);
}

QToolButton* TCDPlayer::MediaButton(const char* name) const {
  return mediaPlayer_->findChild<QToolButton*>(QString::fromLatin1(name));
}

void TCDPlayer::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The client area fits the controls, with the power button's offset as margin on the right
  // and below.
  QRect all;
  for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
    all |= child->geometry();
  setFixedSize(all.right() + 1 + powerButton_->x(), all.bottom() + 1 + powerButton_->y());
  refresh_ = true;
  CDTimerTimer();
  if (device_) cdTimer_->start();
}

void TCDPlayer::closeEvent(QCloseEvent* event) {
  cdTimer_->stop();
  QWidget::closeEvent(event);
}

bool TCDPlayer::IsReady() const {
  return opened_ && lastMode_ != cmNotReady && lastMode_ != cmOpen;
}

int TCDPlayer::TrackCount() { return IsReady() ? device_->TrackCount() : 0; }

int TCDPlayer::TrackSeconds(int track) { return IsReady() ? device_->TrackSeconds(track) : 0; }

void TCDPlayer::TryOpen() {
  if (!device_ || clock_.elapsed() < nextOpenTick_) return;
  const qint64 t0 = clock_.elapsed();
  try {
    device_->Open();
    opened_ = true;
    lastMode_ = device_->Mode();
    lastGeneration_ = device_->ContentsGeneration();
    refresh_ = true;
  } catch (const ECdError&) {
    opened_ = false;
  }
  // A slow attempt delays the next one in proportion.
  const qint64 now = clock_.elapsed();
  nextOpenTick_ = now + 5 * (now - t0);
}

void TCDPlayer::Show(const QString& display, const QString& track, const QString& time) {
  cdLabel_->setText(display);
  trackLabel_->setText(track);
  timeLabel_->setText(time);
}

void TCDPlayer::ShowTotals() {
  device_->Seek(TCdPosition{});
  const long seconds = device_->TotalFrames() / TCdAudioDevice::kFramesPerSecond;
  Show(TrackAndTime(device_->TrackCount(), seconds), QStringLiteral("TRACKS"),
       QStringLiteral("TOTAL TIME"));
}

void TCDPlayer::ShowPosition() {
  const TCdPosition p = device_->Position();
  Show(TrackAndTime(p.track, p.minutes * 60L + p.seconds), QStringLiteral("TRACK"),
       QStringLiteral("PLAYING TIME"));
}

void TCDPlayer::CDTimerTimer() {
  const bool wasReady = IsReady();
  auto done = [this, wasReady] {
    fastForward_->setEnabled(opened_ && lastMode_ == cmPlaying);
    reverse_->setEnabled(opened_ && lastMode_ == cmPlaying);
    if (IsReady() != wasReady && OnReadyChanged) OnReadyChanged();
  };
  if (!device_) return;
  // Reading times reopens the device; a failed reopen leaves it closed.
  if (opened_ && !device_->IsOpen()) opened_ = false;
  if (!opened_) {
    TryOpen();
    if (!opened_) {
      Show(QStringLiteral("In Use"), QString(), QString());
      done();
      return;
    }
  }
  if (isMinimized()) return;
  const TCdMode mode = device_->Mode();
  // Another disc (or none) redraws even when the mode stays the same.
  if (device_->ContentsGeneration() != lastGeneration_) {
    lastGeneration_ = device_->ContentsGeneration();
    refresh_ = true;
  }
  if (mode == lastMode_ && mode != cmPlaying && !refresh_) {
    done();
    return;
  }
  lastMode_ = mode;
  refresh_ = false;
  switch (mode) {
    case cmNotReady:
      Show(QStringLiteral("Not Ready"), QString(), QString());
      break;
    case cmStopped:
      if (!pausedByUser_) {
        try {
          ShowTotals();
        } catch (const ECdError&) {
          // The totals are a courtesy; the next change of mode tries again.
        }
      }
      break;
    case cmPlaying:
    case cmPaused:
      try {
        ShowPosition();
      } catch (const ECdError&) {
        Show(QStringLiteral("Not Ready"), QString(), QString());
      }
      break;
    case cmOpen:
      Show(QStringLiteral("Open"), QString(), QString());
      break;
    case cmRecording:
    case cmSeeking:
      Show(QString::number(mode), QStringLiteral("State"), QString());
      break;
  }
  done();
}

void TCDPlayer::Command(const std::function<void()>& action) {
  if (device_ && opened_) {
    try {
      action();
    } catch (const ECdError& e) {
      MessageDlg(e.Message(), mtError, mbOK, this);
    }
  }
  CDTimerTimer();
}

void TCDPlayer::PlayClick() {
  pausedByUser_ = false;
  Command([this] { device_->Play(); });
}

void TCDPlayer::PauseClick() {
  pausedByUser_ = true;
  Command([this] {
    // Pause on a paused disc plays on, as the media bar's button always did.
    if (device_->Mode() == cmPaused) {
      pausedByUser_ = false;
      device_->Resume();
    } else {
      device_->Pause();
    }
  });
}

void TCDPlayer::StopClick() {
  pausedByUser_ = false;
  Command([this] { device_->Stop(); });
}

void TCDPlayer::NextClick() {
  refresh_ = true;
  Command([this] {
    const bool playing = device_->Mode() == cmPlaying;
    const int count = device_->TrackCount();
    const TCdPosition at = device_->Position();
    if (at.track >= count) return;  // no track after the last
    device_->Seek(TCdPosition{at.track + 1, 0, 0, 0});
    if (playing) device_->Play();
  });
}

void TCDPlayer::PrevClick() {
  refresh_ = true;
  Command([this] {
    const bool playing = device_->Mode() == cmPlaying;
    const TCdPosition at = device_->Position();
    // Early in a track goes to the one before, later to the start of this one.
    const bool early = at.minutes == 0 && at.seconds < 2;
    device_->Seek(TCdPosition{early && at.track > 1 ? at.track - 1 : at.track, 0, 0, 0});
    if (playing) device_->Play();
  });
}

void TCDPlayer::EjectClick() {
  pausedByUser_ = false;
  Command([this] { device_->Eject(); });
}

std::vector<int> TCDPlayer::AllTrackSeconds() {
  std::vector<int> seconds;
  const int count = device_->TrackCount();
  for (int track = 1; track <= count; ++track) seconds.push_back(device_->TrackSeconds(track));
  return seconds;
}

void TCDPlayer::FastForwardClick() {
  if (lastMode_ != cmPlaying) return;
  Command([this] {
    device_->Stop();
    const TSeekTarget target = FastForwardTarget(device_->Position(), AllTrackSeconds());
    device_->Seek(target.position);
    if (target.play) device_->Play();
  });
}

void TCDPlayer::ReverseClick() {
  if (lastMode_ != cmPlaying) return;
  Command([this] {
    device_->Stop();
    const TSeekTarget target = ReverseTarget(device_->Position(), AllTrackSeconds());
    device_->Seek(target.position);
    device_->Play();
  });
}
