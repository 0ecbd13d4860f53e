#include "shell/print_dialogs.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "shell/application.h"
#include "shell/message_dialog.h"
#include "shell/modal_dialog.h"

bool RunPrintDialog(QPrinter& printer, QWidget* parent) {
  if (auto answer = TPrintDialogSeam::Ask({&printer})) return *answer;
  if (QPrinterInfo::availablePrinters().isEmpty())
    MessageDlg(QStringLiteral("No printer is installed. You can still print to a file."),
               mtWarning, mbOK, parent);
  QPrintDialog dialog(&printer, parent);
  return ExecModal(dialog) == QDialog::Accepted;
}

int RunPrintPreview(QPrinter& printer, const std::function<void(QPrinter*)>& paint,
                    QWidget* parent) {
  if (auto answer = TPrintPreviewSeam::Ask({&printer, paint})) return *answer;
  QPrintPreviewDialog preview(&printer, parent);
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                   Guarded([&paint](QPrinter* target) { paint(target); }));
  return ExecModal(preview);
}

bool RunPrinterSetup(QPrinter& printer, QWidget* parent) {
  if (auto answer = TPrinterSetupSeam::Ask({&printer})) return *answer;
  QPageSetupDialog dialog(&printer, parent);
  return ExecModal(dialog) == QDialog::Accepted;
}
