#pragma once
// The preview of an import: the albums found, each with a check box and its songs below it
// (listed when it is opened), the problems found, and Add / Cancel. It holds no catalogue logic:
// Add hands the checked albums to OnAdd, which stores them (or says why not).
#include <QDialog>

#include <functional>
#include <vector>

#include "import/album_grouping.h"
#include "shell/dialog_seam.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TImportPreviewWindow : public QDialog {
  Q_OBJECT

 public:
  // Keeps a reference to the plan: it must outlive the window.
  explicit TImportPreviewWindow(const TImportPlan& plan, QWidget* parent = nullptr);

  // The positions in the plan of the albums checked now, in plan order.
  std::vector<int> CheckedAlbums() const;
  void SetChecked(int album, bool checked);

  // Called by Add with the checked albums; true closes the window as accepted, false keeps it
  // open (the albums were refused and the user was told why).
  std::function<bool(const std::vector<int>&)> OnAdd;

  QTreeWidget* AlbumList() const { return albums_; }
  QListWidget* ProblemList() const { return problems_; }
  QLabel* Summary() const { return summary_; }
  QPushButton* AddButton() const { return addButton_; }
  QPushButton* CancelButton() const { return cancelButton_; }

 private:
  void ListSongs(QTreeWidgetItem* album);
  void UpdateAddButton();
  void AddClicked();

  const TImportPlan& plan_;
  QTreeWidget* albums_ = nullptr;
  QListWidget* problems_ = nullptr;
  QLabel* summary_ = nullptr;
  QPushButton* addButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

// The preview's seam: a test receives the window (built, not shown), works it as a user would
// and answers the dialog's result code.
using TImportPreviewSeam = TDialogSeam<TImportPreviewWindow*, int>;

// Shows the window modally, or hands it to an installed TImportPreviewSeam.
int ShowImportPreview(TImportPreviewWindow& window);
