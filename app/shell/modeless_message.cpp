#include "shell/modeless_message.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "shell/modal_dialog.h"

TModelessMessageDlg::TModelessMessageDlg(QWidget* owner)
    : QDialog(owner),
      MessageText(new QLabel(this)),
      Image1(new QLabel(this)),
      OKBtn(new QPushButton(QStringLiteral("OK"), this)) {
  setObjectName(QStringLiteral("ModelessMessageDlg"));
  setWindowTitle(QStringLiteral("Reelsmith"));

  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
  Image1->setFixedSize(32, 32);
  MessageText->setObjectName(QStringLiteral("MessageText"));
  MessageText->setWordWrap(true);
  MessageText->setTextFormat(Qt::PlainText);
  MessageText->setMinimumWidth(300);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setDefault(true);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

  auto* message = new QHBoxLayout;  // owned by the outer layout
  message->addWidget(Image1, 0, Qt::AlignTop);
  message->addWidget(MessageText, 1);
  auto* buttons = new QHBoxLayout;  // owned by the outer layout
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(message);
  layout->addLayout(buttons);
}

void TModelessMessageDlg::SetText(const QString& text) { MessageText->setText(text); }

QString TModelessMessageDlg::Text() const { return MessageText->text(); }

bool TModelessMessageDlg::ShowModal() {
  if (auto answer = TModelessMessageSeam::Ask({windowTitle(), Text()})) return *answer;
  return ExecModal(*this) == QDialog::Accepted;
}

void ShowModelessMessage(QWidget* owner, const QString& text) {
  TModelessMessageDlg dialog(owner);
  dialog.SetText(text);
  dialog.ShowModal();
}
