#pragma once
// Printing the results window: the Print command's work without its
// dialogs, and the results sheets of many setups printed into one PDF file.

#include "evaluation.h"
#include "printoptions.h"
#include "resultsheet.h"
#include "setup.h"

#include <QList>
#include <QPalette>
#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

class QPrinter;
class QWidget;

namespace hvx {

class PrinterDevice;
class TResultForm;

// The colours of paper: black on white, whatever the desktop's colours.
QPalette paperPalette();

// Makes the results window ready for paper for as long as it lives: the
// buttons and the print options hidden, the window in the paper's colours.
// Afterwards the buttons are back and the colours restored; the print options
// stay hidden.
class ResultFormOnPaper {
public:
    explicit ResultFormOnPaper(TResultForm *form);
    ~ResultFormOnPaper();
    ResultFormOnPaper(const ResultFormOnPaper &) = delete;
    ResultFormOnPaper &operator=(const ResultFormOnPaper &) = delete;

private:
    struct Saved {
        QPointer<QWidget> widget;
        QPalette palette;
        bool ownPalette = false;
        bool autoFillBackground = false;
    };
    std::vector<Saved> m_saved;
    QPointer<TResultForm> m_form;
};

// Sets the form printer's settings from the four print options and prints the
// window's image on the current page of a started document, 80 % of the
// usable width wide, 10 % of it inside the margin. False when the job was
// cancelled or failed.
bool printResultImage(QWidget *form, PrinterDevice &device, const PrintOptions &options, bool showProgress);

// The application's printer as the user chose it in the print dialog, or
// nullptr: when a job still runs on it (told in a box) or the user cancelled.
QPrinter *choosePrinter(QWidget *parent);

// Prints the results sheet of each setup, one page each, into a PDF file at
// the given resolution, band by band as the Print command prints. The file is
// only written when every page was printed. False with a reason otherwise.
bool printResultSheetsToPdf(const QString &pdfPath, const QList<ResultSheet> &sheets, QString *error,
                            const PrintOptions &options = PrintOptions(), int dotsPerInch = 300);

// Prints the results sheet of each setup, one page each, as one job on the
// printer (as chosen in the print dialog), band by band as the Print command
// prints, with the progress dialog and its Cancel when asked for. False with
// a reason when the job was cancelled or failed.
bool printResultSheets(QPrinter &printer, const QList<ResultSheet> &sheets, QString *error,
                       const PrintOptions &options = PrintOptions(), bool showProgress = false);

// The results sheet of each setup, one page each, drawn into a PDF document
// as lines, rectangles and text (which a reader can find and copy), placed on
// the page as the Print command places the window's image. Empty when there
// is no sheet or the document could not be begun.
QByteArray drawResultSheetsPdf(const QList<ResultSheet> &sheets);

// drawResultSheetsPdf saved as pdfPath, whole or not at all. False with a
// reason when there was no sheet or the file could not be written.
bool saveResultSheetsPdf(const QString &pdfPath, const QList<ResultSheet> &sheets, QString *error);
// The sheets of a list one at a time, for the functions that take them so.
std::function<bool(ResultSheet *)> sheetSource(const QList<ResultSheet> &sheets);
// The same for the sheets next gives one at a time (false after the last),
// drawn straight into the file: memory does not grow with their number. How
// many were saved; 0 when next gave none and -1 when the file could not be
// written, each with the reason.
qsizetype saveResultSheetsPdf(const QString &pdfPath, const std::function<bool(ResultSheet *)> &next, QString *error);

} // namespace hvx
