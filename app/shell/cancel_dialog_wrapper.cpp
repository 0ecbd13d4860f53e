#include "shell/cancel_dialog_wrapper.h"

#include <QApplication>
#include <QPushButton>

#include "shell/cancel_dialog.h"

TCancelDlgWrapper::TCancelDlgWrapper(QObject* owner) : QObject(owner) {}

TCancelDlgWrapper::~TCancelDlgWrapper() {
  // Destroyed with its owner: the owner's window is going away and is left alone.
  for (QObject* o = parent(); o != nullptr; o = o->parent())
    for (QPointer<QWidget>& window : disabled_)
      if (window == o) window.clear();
  Hide();
}

void TCancelDlgWrapper::Disable(QWidget* window) {
  if (window == nullptr || window == dialog_.get() || !window->isEnabled()) return;
  window->setEnabled(false);
  disabled_.emplace_back(window);
}

void TCancelDlgWrapper::Show(const QString& message) {
  if (!dialog_) {
    dialog_ = std::make_unique<TCancelDialog>();
    connect(dialog_->CancelBtn, &QPushButton::clicked, this, &TCancelDlgWrapper::CancelPressed);
  }
  dialog_->SetMessage(message);

  // Windows disabled by an earlier Show stay on the list, so Hide enables them all again.
  if (modality_ == mdParent) {
    for (QObject* o = parent(); o != nullptr; o = o->parent()) {
      if (auto* widget = qobject_cast<QWidget*>(o)) {
        Disable(widget->window());
        break;
      }
    }
  } else if (modality_ == mdApplication) {
    for (QWidget* window : QApplication::topLevelWidgets())
      if (window->isVisible()) Disable(window);
  }

  dialog_->CenterOnScreen();
  dialog_->show();
  dialog_->raise();
  dialog_->repaint();
}

void TCancelDlgWrapper::Hide() {
  if (dialog_) {
    dialog_->hide();
    if (inCancel_) {
      // Hidden from OnCancel: the dialog's button is still delivering its click.
      dialog_.release()->deleteLater();
    } else {
      dialog_.reset();
    }
  }
  for (const QPointer<QWidget>& window : disabled_)
    if (window) window->setEnabled(true);
  disabled_.clear();
}

void TCancelDlgWrapper::CancelPressed() {
  inCancel_ = true;
  try {
    if (OnCancel) OnCancel(this);
  } catch (...) {
    inCancel_ = false;
    throw;
  }
  inCancel_ = false;
}
