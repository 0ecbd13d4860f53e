#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class TCancelDialog;

// Which windows are disabled while the progress dialog is shown.
enum TModality { mdNone = 0, mdParent = 1, mdApplication = 2 };

// Shows and hides the progress dialog of a long operation that runs on the user-interface thread.
// The operation processes pending events at its poll points; a press on Cancel raises OnCancel,
// and the caller stops at its next poll and calls Hide (also after an error).
class TCancelDlgWrapper : public QObject {
  Q_OBJECT

 public:
  explicit TCancelDlgWrapper(QObject* owner = nullptr);
  ~TCancelDlgWrapper() override;

  TModality Modality() const { return modality_; }
  void SetModality(TModality modality) { modality_ = modality; }

  // Raised with this wrapper as sender when the user presses Cancel.
  std::function<void(QObject* sender)> OnCancel;

  // Creates the dialog if needed, sets its message and disables the windows Modality names
  // (with mdParent the window of the nearest widget among the owners, with mdApplication every
  // visible top-level window). Showing again only changes the message and disables windows that
  // have appeared since.
  void Show(const QString& message);
  // Destroys the dialog and enables again exactly the windows Show disabled.
  void Hide();

  // The dialog while shown, else null.
  TCancelDialog* Dialog() const { return dialog_.get(); }

 private:
  void Disable(QWidget* window);
  void CancelPressed();

  TModality modality_ = mdNone;
  // A top-level window of its own: as a child it would be disabled along with its owner.
  std::unique_ptr<TCancelDialog> dialog_;
  std::vector<QPointer<QWidget>> disabled_;
  bool inCancel_ = false;
};
