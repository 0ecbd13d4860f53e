#pragma once

#include <QString>

#include "shell/dialog_seam.h"

class QWidget;

// What a file-name dialog shows. Filters are Qt's form ("Reelsmith (*.mus);;All files (*)").
struct TFileDialogRequest {
  enum Kind { Open, Save };
  Kind kind = Open;
  QString title;
  QString filter;
  QString defaultSuffix;
  // Open: the file must exist. Save: ask before overwriting an existing file.
  // Export asks before overwriting too; neither changes the working directory.
};

// The chosen file's full path; empty when the dialog was cancelled.
using TFileDialogSeam = TDialogSeam<TFileDialogRequest, QString>;

// Runs Qt's file dialog (or answers through an installed TFileDialogSeam). A chosen name without
// a suffix gets the default suffix, so "rock" is saved as "rock.mus".
QString AskFileName(QWidget* parent, const TFileDialogRequest& request);

// What a folder dialog shows.
struct TFolderDialogRequest {
  QString title;
};

// The chosen folder's full path; empty when the dialog was cancelled.
using TFolderDialogSeam = TDialogSeam<TFolderDialogRequest, QString>;

// Runs Qt's folder dialog (or answers through an installed TFolderDialogSeam).
QString AskFolderName(QWidget* parent, const TFolderDialogRequest& request);
