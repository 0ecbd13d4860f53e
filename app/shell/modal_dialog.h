#pragma once

class QDialog;

// Runs a dialog modally and answers its result (QDialog::Accepted or Rejected).
//
// On a platform where nobody can answer a window (offscreen, minimal) the dialog is not shown:
// its caption goes to stderr and Rejected is answered, as if it had been closed, so a program
// test that installed no seam never waits for a person. Callers ask their dialog's seam first.
int ExecModal(QDialog& dialog);
