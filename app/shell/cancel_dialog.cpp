#include "shell/cancel_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TCancelDialog::TCancelDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("CancelDialog"));
  setWindowTitle(QStringLiteral("Reelsmith"));
  setModal(false);

  MessageLabel = new QLabel(this);
  MessageLabel->setObjectName(QStringLiteral("MessageLabel"));
  MessageLabel->setAlignment(Qt::AlignCenter);
  MessageLabel->setMinimumWidth(200);

  CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  CancelBtn->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MessageLabel);
  layout->addWidget(CancelBtn, 0, Qt::AlignHCenter);
}

void TCancelDialog::SetMessage(const QString& message) { MessageLabel->setText(message); }

void TCancelDialog::CenterOnScreen() {
  adjustSize();
  if (const QScreen* s = screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(s->availableGeometry().center());
    move(frame.topLeft());
  }
}

// Esc and the window's close request would hide the dialog behind the caller's back; they ask
// the caller to cancel instead, and the caller hides it.
void TCancelDialog::reject() { CancelBtn->click(); }
