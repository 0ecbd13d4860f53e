#include "shell/colour_notice.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/exceptions.h"
#include "platform/profile.h"
#include "shell/message_dialog.h"
#include "shell/modal_dialog.h"

namespace {

const QString kSection = QStringLiteral("ColorNotice");
const QString kKey = QStringLiteral("DoNotDisplay");

}  // namespace

bool NeedsColorNotice(int bitsPerPixel) {
  if (bitsPerPixel < 9) return false;
  return !TProfile(kSettingsFileName).ReadBool(kSection, kKey, false);
}

bool NeedsColorNotice() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr && NeedsColorNotice(screen->depth());
}

TColorNotice::TColorNotice(QWidget* owner)
    : QDialog(owner),
      NoticeLabel(new QLabel(NoticeText(), this)),
      DoNotShow(new QCheckBox(QStringLiteral("&Do not show this notice again."), this)),
      OKBtn(new QPushButton(QStringLiteral("OK"), this)) {
  setObjectName(QStringLiteral("ColorNotice"));
  setWindowTitle(QStringLiteral("Color Notice"));

  NoticeLabel->setObjectName(QStringLiteral("NoticeLabel"));
  NoticeLabel->setWordWrap(true);
  NoticeLabel->setTextFormat(Qt::PlainText);
  NoticeLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  NoticeLabel->setMinimumWidth(340);
  DoNotShow->setObjectName(QStringLiteral("DoNotShow"));
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setDefault(true);
  connect(OKBtn, &QPushButton::clicked, this, [this] { Confirm(); });

  auto* buttons = new QHBoxLayout;  // owned by the outer layout
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(NoticeLabel);
  layout->addWidget(DoNotShow);
  layout->addLayout(buttons);
}

QString TColorNotice::NoticeText() {
  return QStringLiteral(
      "Your display driver handles more than 256 colors. As a "
      "result, some of the icons in Reelsmith might have "
      "unusual coloration. You can either change your video "
      "driver to one that uses only 256 colors, or you can ignore "
      "the problem.");
}

void TColorNotice::Confirm() {
  if (DoNotShow->isChecked()) {
    // An unwritable settings file costs only the setting: the notice comes again next time.
    try {
      TProfile(kSettingsFileName).WriteBool(kSection, kKey, true);
    } catch (const Exception& e) {
      MessageDlg(e.Message(), mtError, mbOK, this);
    }
  }
  accept();
}

void TColorNotice::ShowModal() {
  if (auto doNotShow = TColorNoticeSeam::Ask({windowTitle(), NoticeLabel->text()})) {
    DoNotShow->setChecked(*doNotShow);
    Confirm();
    return;
  }
  ExecModal(*this);
}

bool ShowColorNoticeIfNeeded(QWidget* owner) {
  TColorNotice notice(owner);
  if (!NeedsColorNotice()) return false;
  notice.ShowModal();
  return true;
}
