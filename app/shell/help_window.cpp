#include "shell/help_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr char kHelpKeyName[] = "HelpKey";

QListWidgetItem* NewPageItem(const THelpIndex::TPage& page, QListWidget* list) {
  auto* item = new QListWidgetItem(page.title.isEmpty() ? page.file : page.title, list);
  item->setData(Qt::UserRole, page.file);
  return item;
}

QString PageFileOf(const QUrl& url) { return url.path().section('/', -1); }

}  // namespace

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(tr("Reelsmith Help"));
  setObjectName("HelpWindow");
  // Help left open must not keep the program running once its main window is closed.
  setAttribute(Qt::WA_QuitOnClose, false);

  back_ = new QToolButton(this);
  back_->setText(tr("&Back"));
  back_->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
  back_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  back_->setEnabled(false);
  forward_ = new QToolButton(this);
  forward_->setText(tr("&Forward"));
  forward_->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
  forward_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  forward_->setEnabled(false);
  auto* home = new QToolButton(this);
  home->setText(tr("&Contents"));
  home->setToolButtonStyle(Qt::ToolButtonTextOnly);

  auto* bar = new QHBoxLayout;
  bar->addWidget(back_);
  bar->addWidget(forward_);
  bar->addWidget(home);
  bar->addStretch();

  tabs_ = new QTabWidget;
  tabs_->setAccessibleName(tr("Help topics"));
  contents_ = new QListWidget;
  contents_->setAccessibleName(tr("Contents"));
  for (const auto& page : index_.Pages()) NewPageItem(page, contents_);
  tabs_->addTab(contents_, tr("Contents"));

  auto* searchPage = new QWidget;
  auto* searchLayout = new QVBoxLayout(searchPage);
  auto* searchLabel = new QLabel(tr("&Type the words to look for:"));
  searchField_ = new QLineEdit;
  searchField_->setClearButtonEnabled(true);
  searchLabel->setBuddy(searchField_);
  results_ = new QListWidget;
  results_->setAccessibleName(tr("Pages found"));
  searchLayout->addWidget(searchLabel);
  searchLayout->addWidget(searchField_);
  searchLayout->addWidget(results_);
  tabs_->addTab(searchPage, tr("Search"));

  browser_ = new QTextBrowser;
  browser_->setAccessibleName(tr("Help page"));
  browser_->setOpenExternalLinks(false);
  browser_->setOpenLinks(true);

  auto* splitter = new QSplitter;
  splitter->addWidget(tabs_);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({220, 560});

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(splitter);
  // As much of the usual first size as the screen holds.
  QSize first(800, 560);
  if (const QScreen* shown = screen())
    first = first.boundedTo(shown->availableGeometry().size() * 0.9);
  resize(first);

  connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
  connect(home, &QToolButton::clicked, this, &THelpWindow::ShowContents);
  connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QToolButton::setEnabled);
  connect(browser_, &QTextBrowser::sourceChanged, this, &THelpWindow::PageShown);
  connect(contents_, &QListWidget::itemActivated, this, &THelpWindow::OpenItem);
  connect(contents_, &QListWidget::itemClicked, this, &THelpWindow::OpenItem);
  connect(results_, &QListWidget::itemActivated, this, &THelpWindow::OpenItem);
  connect(results_, &QListWidget::itemClicked, this, &THelpWindow::OpenItem);
  connect(searchField_, &QLineEdit::textChanged, this, &THelpWindow::UpdateResults);
  UpdateResults();
}

void THelpWindow::ShowContents() {
  tabs_->setCurrentIndex(0);
  ShowUrl(HelpContentsUrl());
}

void THelpWindow::ShowSearch(const QString& key) {
  tabs_->setCurrentIndex(1);
  searchField_->setText(key);
  UpdateResults();  // also when the text did not change
  searchField_->selectAll();
  searchField_->setFocus();
}

void THelpWindow::ShowUrl(const QUrl& url) {
  // A page of another address (or none) would leave the browser blank: show the contents.
  const bool known = std::any_of(index_.Pages().begin(), index_.Pages().end(),
                                 [&](const auto& page) { return page.file == PageFileOf(url); });
  browser_->setSource(known && url.scheme() == "qrc" ? url : HelpContentsUrl());
}

QUrl THelpWindow::Source() const { return browser_->source(); }

void THelpWindow::UpdateResults() {
  results_->clear();
  const QStringList found = index_.Find(searchField_->text());
  for (const auto& page : index_.Pages()) {
    if (found.contains(page.file)) NewPageItem(page, results_);
  }
}

void THelpWindow::PageShown(const QUrl& url) {
  const QString file = PageFileOf(url);
  for (int row = 0; row < contents_->count(); ++row) {
    if (contents_->item(row)->data(Qt::UserRole).toString() == file) {
      contents_->setCurrentRow(row);
      return;
    }
  }
}

void THelpWindow::OpenItem(QListWidgetItem* item) {
  if (item) ShowUrl(HelpPageUrl(item->data(Qt::UserRole).toString()));
}

THelp::THelp(QObject* owner) : QObject(owner) {}

THelp::~THelp() = default;

THelpWindow* THelp::ShownWindow() {
  if (!window_) window_ = std::make_unique<THelpWindow>();
  if (window_->isMinimized()) window_->showNormal();
  window_->show();
  window_->raise();
  window_->activateWindow();
  return window_.get();
}

void THelp::Contents() { ShownWindow()->ShowContents(); }

void THelp::Search(const QString& key) { ShownWindow()->ShowSearch(key); }

void THelp::ShowContext(int helpContext) { ShownWindow()->ShowUrl(HelpUrlOf(helpContext)); }

void THelp::InstallHelpKey(QWidget* window) {
  QWidget* top = window->window();
  // A second F1 shortcut on the same window would make the key ambiguous, so neither would fire.
  if (top->findChild<QShortcut*>(kHelpKeyName, Qt::FindDirectChildrenOnly)) return;
  auto* key = new QShortcut(QKeySequence(Qt::Key_F1), top);  // owned by the window
  key->setObjectName(kHelpKeyName);
  key->setContext(Qt::WindowShortcut);
  connect(key, &QShortcut::activated, this, [this, top] {
    const QWidget* focus = QApplication::focusWidget();
    const int context = HelpContextOf(focus && focus->window() == top ? focus : top);
    ShowContext(context);
  });
}
