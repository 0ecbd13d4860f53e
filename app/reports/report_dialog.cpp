#include "reports/report_dialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPaintDevice>
#include <QPainterPath>
#include <QPen>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryFile>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "cassette/printer_helpers.h"
#include "client/album_record.h"
#include "client/artist_record.h"
#include "client/database.h"
#include "client/song_record.h"
#include "platform/exceptions.h"
#include "reports/canvas_helpers.h"
#include "reports/report_sequencer.h"
#include "reports/report_source.h"
#include "shell/application.h"
#include "shell/cancel_dialog_wrapper.h"
#include "shell/help_context.h"
#include "shell/help_window.h"
#include "shell/modal_dialog.h"
#include "shell/print_dialogs.h"
#include "shell/screen_room.h"

namespace {

const QStringList kReportTypes = {QStringLiteral("Albums Only"), QStringLiteral("Albums and Songs"),
                                  QStringLiteral("Songs Only")};
// The report column of album fields 0 (title), 1 (artist), 2 (medium), 3 to 6.
constexpr int kAlbumFieldCodes[] = {rcAlbumTitle, rcArtist, rcMedium, 3, 4, 5, 6};
constexpr int kMaxAlbumFields = 8;
constexpr int kCodeRole = Qt::UserRole;
const QString kFace = QStringLiteral("Arial");
const QString kLineSample = QStringLiteral("Ag");
// The layout grid's size, and the narrowest it gets on a small screen.
constexpr int kGridWidth = 520;
constexpr int kGridHeight = 64;
constexpr int kMinGridWidth = 240;

QString TimeText(int seconds) { return QString::asprintf("%3d:%02d", seconds / 60, seconds % 60); }

}  // namespace

TReportDlg::TReportDlg(TReelsmithDB* database, QWidget* owner)
    : QDialog(owner), database_(database), printer_(std::make_unique<QPrinter>()) {
  setWindowTitle(QStringLiteral("Print Database"));
  SetHelpContext(this, kHelpContext);

  for (int field = 0; field < kMaxAlbumFields; ++field) {
    bool isChoice = false;
    QString name;
    database_->GetAlbumFieldInfo(field, isChoice, name);
    if (name.isEmpty()) break;
    const qsizetype amp = name.indexOf(QLatin1Char('&'));
    if (amp >= 0) name.remove(amp, 1);
    fieldNames_ << name;
  }

  reportType_ = new QComboBox(this);
  reportType_->setObjectName(QStringLiteral("ReportType"));
  reportType_->addItems(kReportTypes);
  layout_ = new QTableWidget(1, 0, this);
  layout_->setObjectName(QStringLiteral("Layout"));
  layout_->setAccessibleName(QStringLiteral("Listing columns"));
  // The arrow keys move between the columns; Tab goes on to the next control.
  layout_->setTabKeyNavigation(false);
  layout_->setAccessibleDescription(
      QStringLiteral("The fields the listing prints, in their order; drag a heading to move it."));
  layout_->verticalHeader()->hide();
  layout_->horizontalHeader()->setSectionsMovable(true);
  layout_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  layout_->horizontalHeader()->setStretchLastSection(false);
  layout_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  layout_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  layout_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  layout_->setFixedSize(kGridWidth, kGridHeight);
  explanation_ = new QLabel(
      QStringLiteral("Drag the column labels into the order you want on the report. Resize the "
                     "labels to change how much space each column takes on the page."),
      this);
  explanation_->setWordWrap(true);

  printButton_ = new QPushButton(QStringLiteral("Print..."), this);
  printButton_->setDefault(true);
  previewButton_ = new QPushButton(QStringLiteral("Pre&view..."), this);
  closeButton_ = new QPushButton(QStringLiteral("&Close"), this);
  helpButton_ = new QPushButton(QStringLiteral("Help"), this);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* b : {printButton_, previewButton_, closeButton_, helpButton_})
    buttons->addWidget(b);
  auto* top = new QHBoxLayout;
  auto* typeLabel = new QLabel(QStringLiteral("Report &type:"), this);
  typeLabel->setBuddy(reportType_);
  top->addWidget(typeLabel);
  top->addWidget(reportType_, 1);
  auto* main = new QVBoxLayout(this);
  main->addLayout(top);
  main->addWidget(layout_);
  main->addWidget(explanation_);
  main->addLayout(buttons);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  sequencer_ = new TReportSequencer(this);
  sequencer_->setObjectName(QStringLiteral("ReportSequencer"));
  sequencer_->OnDrawHeader = [this](QObject*, int l, int t, int r, int b, int& used) {
    DrawHeader(l, t, r, b, used);
  };
  sequencer_->OnDrawReportBorder = [this](QObject*, QRect& area) { DrawReportBorder(area); };
  sequencer_->OnDrawLine = [this](QObject*, int l, int t, int r, int b, int& used) {
    DrawLine(l, t, r, b, used);
  };
  sequencer_->OnEndPage = [this](QObject*) { EndPage(); };

  cancelDlg_ = new TCancelDlgWrapper(this);
  cancelDlg_->setObjectName(QStringLiteral("CancelDlgWrapper"));
  cancelDlg_->SetModality(mdNone);
  cancelDlg_->OnCancel = [this](QObject*) { CancelClick(); };

  connect(reportType_, &QComboBox::currentIndexChanged, this,
          Guarded([this](int) { BuildLayout(); }));
  connect(printButton_, &QPushButton::clicked, this, Guarded([this](bool) { PrintClick(); }));
  connect(previewButton_, &QPushButton::clicked, this, Guarded([this](bool) { PreviewClick(); }));
  connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(helpButton_, &QPushButton::clicked, this, Guarded([this](bool) {
            auto* help = findChild<THelp*>(QString(), Qt::FindDirectChildrenOnly);
            if (!help) help = new THelp(this);
            help->ShowContext(kHelpContext);
          }));

  reportType_->setCurrentIndex(rtAlbumsOnly);
  BuildLayout();
}

TReportDlg::~TReportDlg() = default;

void TReportDlg::showEvent(QShowEvent* event) {
  FitLayoutGrid();
  QDialog::showEvent(event);
}

void TReportDlg::FitLayoutGrid() {
  const QSize room = ScreenRoom(this);
  if (!room.isValid()) return;
  // The dialog's margins beside the grid.
  const int beside = sizeHint().width() - layout_->width();
  const int width = std::clamp(room.width() - beside, kMinGridWidth, kGridWidth);
  if (width == layout_->width()) return;
  // The columns keep their widths, and so their labels and the listing they print: the grid
  // scrolls to the last ones.
  layout_->setFixedSize(width, kGridHeight);
  // The new size now, so that the dialog is centred and shown at it.
  layout()->activate();
}

int TReportDlg::LayoutGridWidth() const {
  return std::max(1, kGridWidth - 2 * layout_->frameWidth());
}

void TReportDlg::BuildLayout() {
  QStringList labels;
  std::vector<int> codes;
  std::vector<int> percents;
  if (reportType_->currentIndex() == rtSongsOnly) {
    labels = {QStringLiteral("Song"), QStringLiteral("Artist"), QStringLiteral("Album"),
              QStringLiteral("Time")};
    codes = {rcSongTitle, rcArtist, rcAlbumTitle, rcSongTime};
    percents = {30, 30, 30, 10};
  } else {
    const int n = std::min<int>(static_cast<int>(fieldNames_.size()),
                                static_cast<int>(std::size(kAlbumFieldCodes)));
    for (int i = 0; i < n; ++i) {
      labels << fieldNames_[i];
      codes.push_back(kAlbumFieldCodes[i]);
      percents.push_back(i < 2 ? (100 - 12 * (n - 2)) / 2 : 12);
    }
  }
  // A moved column stays moved in the header; a new layout starts in field order.
  QHeaderView* header = layout_->horizontalHeader();
  layout_->setColumnCount(0);
  header->reset();
  layout_->setColumnCount(static_cast<int>(labels.size()));
  for (int i = 0; i < labels.size(); ++i) {
    auto* item = new QTableWidgetItem(labels[i]);
    item->setData(kCodeRole, codes[static_cast<size_t>(i)]);
    layout_->setHorizontalHeaderItem(i, item);
    layout_->setColumnWidth(i, LayoutGridWidth() * percents[static_cast<size_t>(i)] / 100 - 1);
  }
}

std::vector<TReportLayoutColumn> TReportDlg::Columns() const {
  std::vector<TReportLayoutColumn> out;
  const QHeaderView* header = layout_->horizontalHeader();
  for (int visual = 0; visual < layout_->columnCount(); ++visual) {
    const int logical = header->logicalIndex(visual);
    const QTableWidgetItem* item = layout_->horizontalHeaderItem(logical);
    out.push_back({item->text(), item->data(kCodeRole).toInt(), layout_->columnWidth(logical)});
  }
  return out;
}

QString TReportDlg::ReportTypeName() const { return reportType_->currentText(); }

TReportDlg::TJob TReportDlg::TakeJob() const {
  TJob job;
  job.type = reportType_->currentIndex();
  job.typeName = ReportTypeName();
  job.columns = Columns();
  job.gridWidth = LayoutGridWidth();
  return job;
}

void TReportDlg::CancelClick() {
  cancelled_ = true;
  if (source_) source_->CancelSort();
}

template <typename F>
void TReportDlg::Run(F print) {
  if (working_) return;
  working_ = true;
  cancelled_ = false;
  job_ = TakeJob();
  // Sorting and printing process events for Cancel: nothing else of this dialog may start or
  // change meanwhile (the progress window is a window of its own and stays live).
  setEnabled(false);
  struct TCleanUp {
    TReportDlg* dlg;
    ~TCleanUp() {
      dlg->songs_.Clear();
      dlg->songsPending_ = false;
      dlg->source_.reset();
      dlg->device_ = nullptr;
      dlg->canvas_ = nullptr;
      dlg->cancelDlg_->Hide();
      dlg->setEnabled(true);
      dlg->working_ = false;
      dlg->activateWindow();
      dlg->setFocus();
    }
  } cleanUp{this};
  cancelDlg_->Show(QStringLiteral("Sorting..."));
  PrepareSource();
  if (cancelled_) return;
  print();
}

void TReportDlg::PrepareSource() {
  source_ = std::make_unique<TReelsmithReportSource>(database_);
  source_->SetSortByCount(
      std::min<int>(static_cast<int>(job_.columns.size()), TReelsmithReportSource::kMaxSortKeys));
  for (int i = 0; i < source_->SortByCount(); ++i)
    source_->SetSortBy(i, job_.columns[static_cast<size_t>(i)].code);
  source_->SetSourceRecordType(job_.type == rtSongsOnly ? rtSong : rtAlbum);
  source_->Prepare();
  if (source_->Cancelled()) cancelled_ = true;
}

void TReportDlg::PrintClick() {
  if (working_) return;
  if (!RunPrintDialog(*printer_, this)) return;
  Run([this] {
    cancelDlg_->Show(QStringLiteral("Printing..."));
    PrintToPrinter(*printer_);
  });
}

void TReportDlg::PreviewClick() {
  if (working_) return;
  Run([this] {
    cancelDlg_->Hide();
    setEnabled(true);
    RunPrintPreview(
        *printer_, [this](QPrinter* target) { PrintDocument(*target, 1); }, this);
  });
}

void TReportDlg::PrintToPrinter(QPrinter& printer) {
  // The copies are printed here, so the printer must not repeat each page as well.
  const int copies = std::max(1, printer.copyCount());
  printer.setCopyCount(1);
  const QString target = printer.outputFileName();
  struct TRestore {
    QPrinter& printer;
    int copies;
    QString target;
    ~TRestore() {
      printer.setCopyCount(copies);
      printer.setOutputFileName(target);
    }
  } restore{printer, copies, target};

  if (target.isEmpty()) {
    // Each copy is a job of its own.
    for (int copy = 0; copy < copies && !cancelled_; ++copy) PrintDocument(printer, 1);
    return;
  }
  // A file receives every copy, and only once the listing is complete: a cancelled or failed
  // print leaves whatever file was there before.
  const QFileInfo info(target);
  QTemporaryFile part(info.absoluteDir().filePath(info.fileName() + QStringLiteral(".XXXXXX")));
  if (!part.open())
    throw Exception(QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(target)));
  part.close();
  printer.setOutputFileName(part.fileName());
  if (!PrintDocument(printer, copies)) return;
  if (std::rename(QFile::encodeName(part.fileName()).constData(),
                  QFile::encodeName(info.absoluteFilePath()).constData()) != 0)
    throw Exception(QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(target)));
  part.setAutoRemove(false);
}

bool TReportDlg::PrintDocument(QPrinter& printer, int copies) {
  printer.setDocName(QStringLiteral("Music Collection Listing"));
  QPainter painter;
  if (!painter.begin(&printer)) throw Exception(QStringLiteral("Unable to start printing."));
  TCanvasHelper helper(&painter);
  canvas_ = &helper;
  device_ = &printer;
  try {
    FixPrinterFont(painter);
    for (int copy = 0; copy < copies && !cancelled_; ++copy) {
      if (copy > 0 && !printer.newPage())
        throw Exception(QStringLiteral("Unable to start a new page."));
      nextRecord_ = 0;
      songs_.Clear();
      songsPending_ = false;
      progress_ = 0;
      pageStartProgress_ = 0;
      sequencer_->Execute(painter);
    }
  } catch (...) {
    printer.abort();
    painter.end();
    canvas_ = nullptr;
    device_ = nullptr;
    throw;
  }
  canvas_ = nullptr;
  device_ = nullptr;
  if (cancelled_) {
    printer.abort();
    painter.end();
    return false;
  }
  return painter.end();
}

// ---- Drawing ------------------------------------------------------------------------

void TReportDlg::DrawHeader(int left, int top, int right, int, int& heightUsed) {
  canvas_->SetFont(kFace, 10, true);
  const int h = canvas_->TextHeight(kLineSample);
  const QRect line(left, top, right - left, h);
  // The catalogue's file name without its folder.
  canvas_->DrawCentered(line, QFileInfo(database_->FileName()).fileName(), false, false);
  canvas_->DrawCentered(line, QStringLiteral("Music Collection Listing"), false, true);
  canvas_->DrawRight(line, QStringLiteral("Page %1").arg(sequencer_->PageNumber()));
  canvas_->DrawCentered(line.translated(0, h), job_.typeName, false, true);
  heightUsed = 2 * h;
}

void TReportDlg::DrawReportBorder(QRect& area) {
  QPainter* painter = canvas_->Canvas();
  const int h = canvas_->TextHeight(kLineSample);
  const int left = area.left();
  const int right = area.left() + area.width();
  const int bottom = area.top() + area.height();
  const int top = area.top() + h / 2;
  const int p = std::max(1, painter->device()->logicalDpiX() / 20);
  const int r = 3 * h / 2;

  painter->save();
  const QRectF frame(left + p, top, (right - p) - (left + p), bottom - top);
  QPainterPath outline;
  // A corner of r x r is an ellipse of that size: radii r / 2.
  outline.addRoundedRect(frame, r / 2.0, r / 2.0);
  QPainterPath band;
  band.addRect(QRectF(left + p, top, frame.width(), r));
  painter->fillPath(outline.intersected(band), QColor(0xC0, 0xC0, 0xC0));
  painter->setBrush(Qt::NoBrush);
  painter->setPen(QPen(Qt::black, p));
  painter->drawPath(outline);
  painter->setPen(QPen(Qt::black, std::max(1, p / 2)));
  painter->drawLine(left + p, top + r, right - p, top + r);

  const QRect inner(left + 2 * r, top + 2 * r, (right - 2 * r) - (left + 2 * r),
                    (bottom - 2 * r) - (top + 2 * r));
  painter->setPen(Qt::black);
  painter->setBackgroundMode(Qt::TransparentMode);
  int x = inner.left();
  for (const TReportLayoutColumn& column : job_.columns) {
    const int w = column.width * inner.width() / job_.gridWidth;
    canvas_->DrawCentered(QRect(x, top, w, r), column.label, true, false);
    x += w;
  }
  painter->restore();
  area = inner;
}

void TReportDlg::DrawRecordLine(const TReelsmithRecord& record, int left, int top, int right,
                                int height) {
  const int gap = canvas_->TextWidth(QStringLiteral("M"));
  int x = left;
  for (const TReportLayoutColumn& column : job_.columns) {
    const int w = column.width * (right - left) / job_.gridWidth;
    if (column.code == rcSongTime)
      canvas_->DrawFixedPitch(QRect(x, top, w - gap, height + 1),
                              TimeText(source_->SongSeconds(record)), QStringLiteral("0"));
    else
      canvas_->DrawClipped(QRect(x, top, w - gap, height + 1),
                           source_->ColumnText(record, column.code));
    x += w;
  }
}

void TReportDlg::DrawLine(int left, int top, int right, int bottom, int& heightUsed) {
  if (cancelled_ || nextRecord_ >= source_->Count()) {
    heightUsed = bottom;
    return;
  }
  canvas_->SetFont(kFace, 11, false);
  if (canvas_->TextHeight(kLineSample) > bottom - top) {
    heightUsed = bottom;
    return;
  }
  const TReelsmithRecord& record = *source_->Items(nextRecord_);
  if (job_.type == rtAlbumsAndSongs && songsPending_) {
    DrawSongLine(left, top, right, bottom, heightUsed);
  } else {
    if (job_.type == rtAlbumsAndSongs) canvas_->SetFont(kFace, 11, true);
    const int h = canvas_->TextHeight(kLineSample);
    if (top + h > bottom) {
      heightUsed = bottom;  // the bold line does not fit: it starts the next page
      return;
    }
    DrawRecordLine(record, left, top, right, h);
    ++progress_;
    heightUsed = h;
    if (job_.type == rtAlbumsAndSongs) {
      songsPending_ = true;
      nextSong_ = 0;
    } else {
      ++nextRecord_;
    }
  }
  if (nextRecord_ >= source_->Count()) heightUsed = bottom;
}

void TReportDlg::DrawSongLine(int left, int top, int right, int bottom, int& heightUsed) {
  canvas_->SetFont(kFace, 10, false);
  const int h = canvas_->TextHeight(kLineSample);
  const TReelsmithRecord& album = *source_->Items(nextRecord_);
  if (nextSong_ == 0) {
    songs_ = album.Songs();
    variousArtists_ = album.Artists().Count() >= 2;
  }
  if (songs_.IsEmpty()) {
    ++progress_;
    songsPending_ = false;
    heightUsed = h;  // the blank line after the album
    ++nextRecord_;
    return;
  }
  if (top + h > bottom) {
    heightUsed = bottom;
    return;
  }
  const int x = left + 8 * canvas_->TextWidth(QStringLiteral("M"));
  const int t = canvas_->TextWidth(QStringLiteral("    000:00   "));
  const int d = right - x - t;
  const int titleWidth = d / 2;
  const int artistWidth = d - titleWidth;
  const TReelsmithSong& song = *songs_[nextSong_];
  canvas_->DrawClipped(QRect(x, top, titleWidth, h), song.DisplayName());
  if (variousArtists_) {
    const std::unique_ptr<TReelsmithArtist> artist = song.Artist();
    canvas_->DrawClipped(QRect(x + titleWidth, top, artistWidth, h),
                         artist ? artist->DisplayName() : QString());
  }
  canvas_->DrawFixedPitch(QRect(right - t, top, t, h), TimeText(song.Time()), QStringLiteral("0"));
  heightUsed = h;
  ++progress_;
  ++nextSong_;
  if (nextSong_ >= songs_.Count()) {
    songs_.Clear();
    songsPending_ = false;
    heightUsed = 2 * h;  // a blank line follows each album's songs
    ++nextRecord_;
  }
}

void TReportDlg::EndPage() {
  // Cancel is answered here, between pages.
  QCoreApplication::processEvents();
  const bool remain = source_ && nextRecord_ < source_->Count();
  if (cancelled_ || !remain) {
    sequencer_->Finish();
    return;
  }
  if (progress_ == pageStartProgress_)
    throw Exception(
        QStringLiteral("The page is too small to print the report on. Choose a "
                       "larger paper size or smaller margins."));
  pageStartProgress_ = progress_;
  if (!device_->newPage()) throw Exception(QStringLiteral("Unable to start a new page."));
}

int ShowReportDialog(TReportDlg& dialog) {
  if (auto answer = TReportDialogSeam::Ask({&dialog})) return *answer;
  return ExecModal(dialog);
}
