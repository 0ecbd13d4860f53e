#pragma once

#include <QString>

#include <functional>

#include "shell/dialog_seam.h"

class QPrinter;
class QWidget;

// The print dialog: the printer to set up (destination, output file, copies, pages).
struct TPrintDialogRequest {
  QPrinter* printer = nullptr;
};
// true: print with the printer as the handler left it; false: cancelled.
using TPrintDialogSeam = TDialogSeam<TPrintDialogRequest, bool>;

// A print preview: paint draws the whole document on the printer it is given, as often as the
// preview needs it.
struct TPrintPreviewRequest {
  QPrinter* printer = nullptr;
  std::function<void(QPrinter*)> paint;
};
// The preview's result (QDialog::Accepted or Rejected).
using TPrintPreviewSeam = TDialogSeam<TPrintPreviewRequest, int>;

// Printer set-up (page size, orientation, margins) for the printer the commands will use.
struct TPrinterSetupRequest {
  QPrinter* printer = nullptr;
};
// true: accepted with the printer as the handler left it; false: cancelled.
using TPrinterSetupSeam = TDialogSeam<TPrinterSetupRequest, bool>;

// Asks the seam, else shows Qt's page set-up dialog for the printer. Answers whether accepted.
bool RunPrinterSetup(QPrinter& printer, QWidget* parent);

// Asks the seam, else shows Qt's print dialog for the printer. When no printer is installed the
// user is told first (printing to a file stays possible). Answers whether to print.
bool RunPrintDialog(QPrinter& printer, QWidget* parent);

// Asks the seam, else shows Qt's print preview, which calls paint for its pages. An exception
// from paint is shown by the standard error report and leaves the preview open.
int RunPrintPreview(QPrinter& printer, const std::function<void(QPrinter*)>& paint,
                    QWidget* parent);
