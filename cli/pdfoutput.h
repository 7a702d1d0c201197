#pragma once
// halvex-eval --pdf: the results sheet of every evaluated file printed into
// one PDF file, one page each, by the results window's own printing.

#include "evalreport.h"

#include <QList>
#include <QString>

class QCoreApplication;

namespace hvx {

// Whether the arguments ask for PDF output (a "--pdf" before any "--").
bool PdfOutputRequested(int argc, char **argv);

// The application object. PDF output draws the results window, which needs
// the widget toolkit; it draws off-screen, so no display is needed.
QCoreApplication *NewEvalApplication(int &argc, char **argv, bool pdfOutput);

// Prints the sheets of the reports that evaluated into pdfPath. False with a
// reason when there was none or the file could not be written (then no file
// is left behind).
bool WriteResultSheetsPdf(const QString &pdfPath, const QList<FileReport> &reports, QString *error);

} // namespace hvx
