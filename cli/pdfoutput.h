#pragma once
// halvex-eval --pdf: the results sheet of every evaluated file drawn into one
// PDF file, one page each, with its texts as text.

#include "evalreport.h"
#include "switchform_print.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

class QCoreApplication;

namespace hvx {

// Whether the arguments ask for PDF output (a "--pdf" before any "--").
bool pdfOutputRequested(int argc, char **argv);

// The application object. PDF output draws the results window, which needs
// the widget toolkit; it draws off-screen, so no display is needed.
QCoreApplication *newEvalApplication(int &argc, char **argv, bool pdfOutput);

// Whether the output names the same file as one of the inputs, by any path or
// link: the same device and inode, or the same canonical path.
bool isOneOfTheFiles(const QByteArray &output, const QList<QByteArray> &inputs);

// Prints the sheets of the reports that evaluated into pdfPath (the system's
// bytes of the name). An existing file is replaced at once, only when the new
// one is complete. False with a reason when there was none or the file could
// not be written (then no file is left behind and an old one is unchanged).
bool writeResultSheetsPdf(const QByteArray &pdfPath, const QList<FileReport> &reports, QString *error);
// The same for sheets made otherwise (from the rows of a table), given one
// at a time by next (false after the last).
bool writeSheetsPdf(const QByteArray &pdfPath, const std::function<bool(ResultSheet *)> &next, QString *error);

} // namespace hvx
