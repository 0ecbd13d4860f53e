#include "shell/about_box.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

#include "shell/application.h"
#include "shell/modal_dialog.h"
#include "shell/screen_room.h"
#include "shell/splash_setting.h"

TAboutBox::TAboutBox(const QPixmap& picture, QWidget* owner)
    : QDialog(owner),
      Image(new QLabel(this)),
      ProgramName(new QLabel(QStringLiteral("Reelsmith 4.2"), this)),
      Description(new QLabel(this)),
      ShowSplash(new QCheckBox(QStringLiteral("&Show splash screen at start-up"), this)),
      OKButton(new QPushButton(QStringLiteral("OK"), this)),
      picture_(picture) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About Reelsmith"));
  setProperty("helpContext", kHelpContext);

  Image->setObjectName(QStringLiteral("Image"));
  Image->setPixmap(picture);
  Image->setAlignment(Qt::AlignCenter);
  ProgramName->setObjectName(QStringLiteral("ProgramName"));
  QFont bold = ProgramName->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.5);
  ProgramName->setFont(bold);
  ProgramName->setAlignment(Qt::AlignCenter);
  Description->setObjectName(QStringLiteral("Description"));
  Description->setText(
      QStringLiteral("Catalogues your music collection and makes cassette tapes from it.\n"
                     "The catalogue is kept by the ReelsmithDB music database library."));
  Description->setWordWrap(true);
  Description->setAlignment(Qt::AlignCenter);
  ShowSplash->setObjectName(QStringLiteral("ShowSplash"));
  try {
    ShowSplash->setChecked(ShowSplashAtStartUp());
  } catch (...) {
    ShowSplash->setChecked(true);
  }
  connect(ShowSplash, &QCheckBox::toggled, this,
          Guarded([](bool show) { SetShowSplashAtStartUp(show); }));
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;  // owned by the outer layout
  buttons->addStretch();
  buttons->addWidget(OKButton);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Image);
  layout->addWidget(ProgramName);
  layout->addWidget(Description);
  layout->addWidget(ShowSplash, 0, Qt::AlignHCenter);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

TAboutBoxRequest TAboutBox::Request() const {
  return {windowTitle(), ProgramName->text(), picture_};
}

void TAboutBox::showEvent(QShowEvent* event) {
  FitPicture();
  QDialog::showEvent(event);
}

void TAboutBox::FitPicture() {
  Image->setPixmap(picture_);
  Description->setMinimumWidth(0);
  const QSize room = ScreenRoom(this);
  if (!picture_.isNull() && room.isValid() &&
      !(sizeHint() - room).expandedTo(QSize(0, 0)).isNull()) {
    // The description keeps its lines as far as the screen is wide: a narrower picture must not
    // wrap them and make the box taller again.
    const QMargins margins = layout()->contentsMargins();
    const int lines = Description->fontMetrics()
                          .boundingRect(QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX),
                                        Qt::AlignCenter, Description->text())
                          .width();
    Description->setMinimumWidth(std::min(lines, room.width() - margins.left() - margins.right()));
    // Scaled for the screen's pixels, so that it stays sharp there.
    const qreal ratio = devicePixelRatioF();
    QSize shown = picture_.deviceIndependentSize().toSize();
    // Where the description wraps all the same, the picture may have to give up a little more
    // the second time.
    for (int round = 0; round < 4; ++round) {
      const QSize over = (sizeHint() - room).expandedTo(QSize(0, 0));
      if (over.isNull()) break;
      QPixmap smaller = picture_.scaled((shown - over).expandedTo(QSize(1, 1)) * ratio,
                                        Qt::KeepAspectRatio, Qt::SmoothTransformation);
      smaller.setDevicePixelRatio(ratio);
      Image->setPixmap(smaller);
      shown = smaller.deviceIndependentSize().toSize();
    }
  }
  // The size now, so that the box is centred and shown at it.
  layout()->activate();
}

bool TAboutBox::ShowModal() {
  if (auto answer = TAboutBoxSeam::Ask(Request())) return *answer;
  return ExecModal(*this) == QDialog::Accepted;
}

void ShowAboutBox(QWidget* owner, const QPixmap& picture) {
  TAboutBox box(picture, owner);
  box.ShowModal();
}
