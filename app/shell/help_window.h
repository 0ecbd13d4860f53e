#pragma once

#include <QObject>
#include <QUrl>
#include <QWidget>

#include <memory>

#include "shell/help_context.h"
#include "shell/help_index.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTabWidget;
class QTextBrowser;
class QToolButton;

// The help window: on the left a Contents tab listing the pages and a Search tab whose field
// lists the pages containing all the typed words; on the right the page, with Back and Forward.
class THelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit THelpWindow(QWidget* parent = nullptr);

  // Shows the contents page with the Contents tab.
  void ShowContents();
  // Shows the Search tab with `key` in its field and the pages it finds.
  void ShowSearch(const QString& key);
  // Shows a help page (qrc:/help/<file>, optionally with an anchor).
  void ShowUrl(const QUrl& url);

  QUrl Source() const;
  const THelpIndex& Index() const { return index_; }

  QTextBrowser* Browser() const { return browser_; }
  QListWidget* ContentsList() const { return contents_; }
  QLineEdit* SearchField() const { return searchField_; }
  QListWidget* SearchResults() const { return results_; }
  QToolButton* BackButton() const { return back_; }
  QToolButton* ForwardButton() const { return forward_; }

 private:
  void UpdateResults();
  void PageShown(const QUrl& url);
  void OpenItem(QListWidgetItem* item);

  THelpIndex index_;
  QTabWidget* tabs_ = nullptr;
  QListWidget* contents_ = nullptr;
  QLineEdit* searchField_ = nullptr;
  QListWidget* results_ = nullptr;
  QTextBrowser* browser_ = nullptr;
  QToolButton* back_ = nullptr;
  QToolButton* forward_ = nullptr;
};

// The program's help: owns the help window (made on first use and kept), opens pages by help
// context and installs the F1 key on windows.
class THelp : public QObject {
  Q_OBJECT

 public:
  explicit THelp(QObject* owner);
  ~THelp() override;

  // The Help menu's Contents.
  void Contents();
  // The Help menu's Search for Help on: the search with `key` (empty from the menu).
  void Search(const QString& key);
  // The page of a help context; the contents for 0 and unknown numbers.
  void ShowContext(int helpContext);
  // F1 in `window` (its top-level window) opens the page of the focused widget's help context,
  // else that of the window itself.
  void InstallHelpKey(QWidget* window);

  // The help window, or null before the first page was shown.
  THelpWindow* Window() const { return window_.get(); }

 private:
  THelpWindow* ShownWindow();

  std::unique_ptr<THelpWindow> window_;
};
