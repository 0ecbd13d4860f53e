#include "import/import_preview_window.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "cassette/duration.h"
#include "shell/application.h"

namespace {

enum TColumn { clTitle, clArtist, clSongs, clTime };

QString Quoted(const QString& text) { return QStringLiteral("\"%1\"").arg(text); }

}  // namespace

TImportPreviewWindow::TImportPreviewWindow(const TImportPlan& plan, QWidget* parent)
    : QDialog(parent), plan_(plan) {
  setObjectName(QStringLiteral("ImportPreviewWindow"));
  setWindowTitle(QStringLiteral("Albums from Music Files"));

  int songs = 0;
  for (const TImportAlbum& a : plan.albums) songs += static_cast<int>(a.contents.songs.size());
  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("Summary"));
  summary_->setWordWrap(true);
  summary_->setText(
      QStringLiteral("Albums found: %1, with %2 songs from %3 music files. Files not "
                     "read: %4. Other files passed over: %5. Check the albums to add.")
          .arg(plan.albums.size())
          .arg(songs)
          .arg(plan.filesRead)
          .arg(plan.filesSkipped)
          .arg(plan.otherFiles));

  albums_ = new QTreeWidget(this);
  albums_->setObjectName(QStringLiteral("AlbumList"));
  albums_->setHeaderLabels({QStringLiteral("Album"), QStringLiteral("Artist"),
                            QStringLiteral("Songs"), QStringLiteral("Time")});
  albums_->setUniformRowHeights(true);
  for (const TImportAlbum& a : plan.albums) {
    auto* item = new QTreeWidgetItem(albums_);
    item->setText(clTitle, a.contents.title);
    item->setText(clArtist, a.artist);
    item->setText(clSongs, QString::number(a.contents.songs.size()));
    item->setText(clTime, FormatDuration(a.TotalSeconds()));
    item->setTextAlignment(clSongs, Qt::AlignRight | Qt::AlignVCenter);
    item->setTextAlignment(clTime, Qt::AlignRight | Qt::AlignVCenter);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(clTitle, a.checked ? Qt::Checked : Qt::Unchecked);
    if (!a.problems.isEmpty()) item->setToolTip(clTitle, a.problems.join(QLatin1Char('\n')));
    // The songs are listed when the album is opened: thousands of rows nobody opens would
    // only delay the preview.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  }
  connect(albums_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    if (item->parent() == nullptr && item->childCount() == 0) ListSongs(item);
  });
  albums_->header()->setSectionResizeMode(clTitle, QHeaderView::Stretch);
  albums_->header()->setStretchLastSection(false);
  albums_->setColumnWidth(clArtist, 180);
  albums_->setColumnWidth(clSongs, 60);
  albums_->setColumnWidth(clTime, 70);

  problems_ = new QListWidget(this);
  problems_->setObjectName(QStringLiteral("ProblemList"));
  problems_->setWordWrap(true);
  for (const TImportAlbum& a : plan.albums)
    for (const QString& p : a.problems)
      problems_->addItem(QStringLiteral("%1: %2").arg(Quoted(a.contents.title), p));
  for (const QString& p : plan.problems) problems_->addItem(p);
  if (problems_->count() == 0) problems_->addItem(QStringLiteral("No problems found."));

  auto* splitter = new QSplitter(Qt::Vertical, this);
  auto* albumsBox = new QWidget(splitter);
  auto* albumsLayout = new QVBoxLayout(albumsBox);
  albumsLayout->setContentsMargins(0, 0, 0, 0);
  albumsLayout->addWidget(new QLabel(QStringLiteral("Albums found:"), albumsBox));
  albumsLayout->addWidget(albums_);
  auto* problemsBox = new QWidget(splitter);
  auto* problemsLayout = new QVBoxLayout(problemsBox);
  problemsLayout->setContentsMargins(0, 0, 0, 0);
  problemsLayout->addWidget(new QLabel(QStringLiteral("Problems found:"), problemsBox));
  problemsLayout->addWidget(problems_);
  splitter->addWidget(albumsBox);
  splitter->addWidget(problemsBox);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 1);

  auto* buttons = new QDialogButtonBox(this);
  addButton_ = buttons->addButton(QStringLiteral("&Add"), QDialogButtonBox::AcceptRole);
  addButton_->setObjectName(QStringLiteral("AddButton"));
  cancelButton_ = buttons->addButton(QDialogButtonBox::Cancel);
  cancelButton_->setObjectName(QStringLiteral("CancelButton"));
  connect(addButton_, &QPushButton::clicked, this, Guarded([this](bool) { AddClicked(); }));
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(summary_);
  layout->addWidget(splitter, 1);
  layout->addWidget(buttons);

  connect(albums_, &QTreeWidget::itemChanged, this, [this] { UpdateAddButton(); });
  UpdateAddButton();
  resize(760, 560);
}

void TImportPreviewWindow::ListSongs(QTreeWidgetItem* item) {
  const int index = albums_->indexOfTopLevelItem(item);
  if (index < 0 || static_cast<size_t>(index) >= plan_.albums.size()) return;
  const TImportAlbum& a = plan_.albums[static_cast<size_t>(index)];
  for (size_t i = 0; i < a.contents.songs.size(); ++i) {
    const TAlbumSong& s = a.contents.songs[i];
    auto* song = new QTreeWidgetItem(item);
    song->setText(clTitle, QStringLiteral("%1. %2").arg(i + 1).arg(s.title));
    song->setText(clArtist, s.artist);
    song->setText(clTime, FormatDuration(s.time));
    song->setTextAlignment(clTime, Qt::AlignRight | Qt::AlignVCenter);
    song->setToolTip(clTitle, a.songFiles.value(static_cast<int>(i)));
  }
}

std::vector<int> TImportPreviewWindow::CheckedAlbums() const {
  std::vector<int> checked;
  for (int i = 0; i < albums_->topLevelItemCount(); ++i)
    if (albums_->topLevelItem(i)->checkState(clTitle) == Qt::Checked) checked.push_back(i);
  return checked;
}

void TImportPreviewWindow::SetChecked(int album, bool checked) {
  if (QTreeWidgetItem* item = albums_->topLevelItem(album))
    item->setCheckState(clTitle, checked ? Qt::Checked : Qt::Unchecked);
}

void TImportPreviewWindow::UpdateAddButton() { addButton_->setEnabled(!CheckedAlbums().empty()); }

void TImportPreviewWindow::AddClicked() {
  const std::vector<int> checked = CheckedAlbums();
  if (checked.empty()) return;
  if (!OnAdd || OnAdd(checked)) accept();
}

int ShowImportPreview(TImportPreviewWindow& window) {
  if (auto answer = TImportPreviewSeam::Ask(&window)) return *answer;
  return window.exec();
}
