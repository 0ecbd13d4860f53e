#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "client/owner_list.h"
#include "shell/dialog_seam.h"

class QComboBox;
class QLabel;
class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QPushButton;
class QTableWidget;
class TCancelDlgWrapper;
class TCanvasHelper;
class TReelsmithAlbum;
class TReelsmithDB;
class TReelsmithRecord;
class TReelsmithReportSource;
class TReelsmithSong;
class TReportSequencer;

// The report types, in the order of the type list.
enum TReportType { rtAlbumsOnly = 0, rtAlbumsAndSongs = 1, rtSongsOnly = 2 };

// One column of the report as the layout grid shows it.
struct TReportLayoutColumn {
  QString label;
  int code = 0;   // report column code
  int width = 0;  // pixels in the layout grid
};

// "Print Database": the user picks a report type, drags and sizes the column labels, and prints
// a "Music Collection Listing" (or previews it). The columns' left-to-right order is also the
// sort order. While a listing is sorted and printed the dialog is disabled, and the type and
// columns in force are those taken when it started.
class TReportDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kHelpContext = 180;

  // The database component is not owned and must outlive the dialog. Reads the album field
  // names (EMissingMethod or library errors pass to the caller).
  TReportDlg(TReelsmithDB* database, QWidget* owner = nullptr);
  ~TReportDlg() override;

  // The layout grid's client width, which column percentages are taken of. On a small screen the
  // grid shows less of it and scrolls.
  int LayoutGridWidth() const;
  // The columns in their on-screen order.
  std::vector<TReportLayoutColumn> Columns() const;
  QString ReportTypeName() const;

  // Sorts and prints on the printer the print dialog set up (copies as chosen there). Errors
  // are shown by the standard error report.
  void PrintClick();
  // Sorts and shows the listing in a print preview.
  void PreviewClick();
  // Stops the running sort or print at its next poll.
  void CancelClick();

  QComboBox* ReportType() const { return reportType_; }
  QTableWidget* Layout() const { return layout_; }
  QPushButton* PrintButton() const { return printButton_; }
  QPushButton* PreviewButton() const { return previewButton_; }
  QPushButton* CloseButton() const { return closeButton_; }
  QPushButton* HelpButton() const { return helpButton_; }
  TReportSequencer* ReportSequencer() const { return sequencer_; }
  TCancelDlgWrapper* CancelDlgWrapper() const { return cancelDlg_; }
  // The printer the print dialog sets up; kept between prints.
  QPrinter& Printer() const { return *printer_; }
  bool Working() const { return working_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // What one listing prints, fixed when it starts.
  struct TJob {
    int type = rtAlbumsOnly;
    QString typeName;
    std::vector<TReportLayoutColumn> columns;
    int gridWidth = 1;
  };

  void BuildLayout();
  // Narrows the layout grid where the dialog would be wider than its screen.
  void FitLayoutGrid();
  TJob TakeJob() const;
  // Disables the dialog, sorts, runs `print` unless cancelled, and always cleans up.
  template <typename F>
  void Run(F print);
  void PrepareSource();
  void PrintToPrinter(QPrinter& printer);
  bool PrintDocument(QPrinter& printer, int copies);

  void DrawHeader(int left, int top, int right, int bottom, int& heightUsed);
  void DrawReportBorder(QRect& area);
  void DrawLine(int left, int top, int right, int bottom, int& heightUsed);
  void EndPage();
  void DrawRecordLine(const TReelsmithRecord& record, int left, int top, int right, int height);
  void DrawSongLine(int left, int top, int right, int bottom, int& heightUsed);

  TReelsmithDB* database_;
  QStringList fieldNames_;
  QComboBox* reportType_;
  QTableWidget* layout_;
  QLabel* explanation_;
  QPushButton* printButton_;
  QPushButton* previewButton_;
  QPushButton* closeButton_;
  QPushButton* helpButton_;
  TReportSequencer* sequencer_;
  TCancelDlgWrapper* cancelDlg_;
  std::unique_ptr<QPrinter> printer_;

  // The state of one listing.
  bool working_ = false;
  bool cancelled_ = false;
  TJob job_;
  std::unique_ptr<TReelsmithReportSource> source_;
  QPagedPaintDevice* device_ = nullptr;
  TCanvasHelper* canvas_ = nullptr;
  int nextRecord_ = 0;
  TOwnerList<TReelsmithSong> songs_;
  bool songsPending_ = false;
  int nextSong_ = 0;
  bool variousArtists_ = false;
  // Lines printed, and how many when the page began: a page that takes none would repeat
  // forever.
  int progress_ = 0;
  int pageStartProgress_ = 0;
};

// The catalogue window shows the dialog through this seam so that tests can work it.
struct TReportDialogRequest {
  TReportDlg* dialog = nullptr;
};
using TReportDialogSeam = TDialogSeam<TReportDialogRequest, int>;

// Asks the seam, else runs the dialog modally. Answers the dialog's result.
int ShowReportDialog(TReportDlg& dialog);
