// The Print command of the results window, the colours of paper, and the
// results sheets of many setups in one PDF file: printed band by band as the
// Print command prints them, or drawn as lines and text.

#include "switchform_print.h"

#include "dialogs.h"
#include "printerdevice.h"
#include "printjob.h"
#include "prnutils.h"
#include "switchform.h"
#include "ui_switchform.h"
#include "wholefile.h"

#include <QBuffer>
#include <QFile>
#include <QLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>

namespace hvx {

namespace {

const QString DocumentName = QStringLiteral("Halvex Switch settings");

} // namespace

QPalette paperPalette()
{
    const QBrush black(Qt::black);
    const QBrush white(Qt::white);
    // window text, button, light, dark, mid, text, bright text, base, window
    QPalette paper(black, white, white, QBrush(QColor(128, 128, 128)), QBrush(QColor(160, 160, 160)), black, white,
                   white, white);
    // The same in every state of the window, active or not.
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = static_cast<QPalette::ColorRole>(role);
        paper.setBrush(QPalette::Inactive, r, paper.brush(QPalette::Active, r));
        paper.setBrush(QPalette::Disabled, r, paper.brush(QPalette::Active, r));
    }
    return paper;
}

ResultFormOnPaper::ResultFormOnPaper(TResultForm *form)
    : m_form(form)
{
    if (!form)
        return;
    form->fitTexts();
    Ui::TResultForm &ui = form->ui();
    ui.bClose->setVisible(false);
    // Paper is black on white whatever the desktop's colours: the window
    // takes a palette of its own, which its controls inherit, and the window
    // and the panels that paint a background of their own print on white.
    const QPalette paper = paperPalette();
    const QList<QWidget *> backgrounds = { form, ui.pMainPanel, ui.pLabelPanel, ui.pSwitch4 };
    for (QWidget *w : backgrounds) {
        m_saved.push_back(Saved{ w, w->palette(), w->testAttribute(Qt::WA_SetPalette), w->autoFillBackground() });
        w->setPalette(paper);
        w->setAutoFillBackground(true);
    }
    ui.bPrint->setVisible(false);
    ui.pPrintOptions->setVisible(false);
}

ResultFormOnPaper::~ResultFormOnPaper()
{
    if (!m_form)
        return;
    Ui::TResultForm &ui = m_form->ui();
    ui.bPrint->setVisible(true);
    ui.bClose->setVisible(true);
    for (const Saved &saved : m_saved) {
        if (!saved.widget)
            continue;
        // A palette of the widget's own comes back; otherwise it follows the
        // desktop's again.
        saved.widget->setPalette(saved.ownPalette ? saved.palette : QPalette());
        saved.widget->setAutoFillBackground(saved.autoFillBackground);
    }
}

bool printResultImage(QWidget *form, PrinterDevice &device, const PrintOptions &options, bool showProgress)
{
    if (!form)
        return false;
    SetShowErrors(1);
    SetUseDeviceBitmaps(options.useDDB);
    const int reduction = options.compress ? 2 : 1;
    SetReduction(reduction, reduction);
    // "WinStretch" overrides "Compress".
    if (options.winStretch) {
        SetReduction(1, 1);
        SetDriverStretch(1);
    } else {
        SetDriverStretch(0);
    }

    PrintJobOptions job;
    job.ShowProgress = showProgress ? 1 : 0;
    job.NoFlush = 0;
    job.Force24Bit = options.form24Bit ? 1 : 0;

    // A window never shown has its layout still to do.
    if (form->layout())
        form->layout()->activate();
    PageMetrics metrics;
    GetPageMetrics(&device, &metrics);
    const PrintRect dest = placeImageOnPage(GetWindowExtent(form), metrics);
    return PrintWindowImage(form, &device, dest.Left, dest.Top, dest.width(), dest.height(), job);
}

QPrinter *choosePrinter(QWidget *parent)
{
    QPrinter &printer = applicationPrinter();
    if (printer.printerState() == QPrinter::Active) {
        dialogs().message(parent, applicationTitle(), QStringLiteral("Already printing... Please try again later!"),
                          DialogIcon::None);
        return nullptr;
    }
    return dialogs().print(parent, printer) ? &printer : nullptr;
}

void TResultForm::bPrintClick()
{
    QPrinter *chosen = choosePrinter(this);
    if (!chosen)
        return;
    QPrinter &printer = *chosen;

    ResultFormOnPaper paper(this);
    QtPrinterDevice device(printer);
    bool printed = device.startDoc(DocumentName);
    if (printed) {
        if (printResultImage(this, device, printOptions(), true)) {
            // A document the printer did not take is no success either.
            printed = device.endDoc();
        } else {
            device.abortDoc();
            printed = false;
        }
    }
    if (!printed) {
        // Why, when the device knows (the printer refused the job, the print
        // helper could not send it).
        const QString why = device.errorString();
        dialogs().message(this, applicationTitle(),
                          QStringLiteral("User abort or other error!") + (why.isEmpty() ? QString() : "\n\n" + why),
                          DialogIcon::None);
    }
}

bool printResultSheetsToPdf(const QString &pdfPath, const QList<ResultSheet> &sheets, QString *error,
                            const PrintOptions &options, int dotsPerInch)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    printer.setResolution(dotsPerInch);
    return printResultSheets(printer, sheets, error, options, false);
}

bool printResultSheets(QPrinter &printer, const QList<ResultSheet> &sheets, QString *error, const PrintOptions &options,
                       bool showProgress)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (sheets.isEmpty())
        return fail(QStringLiteral("There is no results sheet to print."));
    const QString target = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();

    // The window keeps its print options in a file; here the options come
    // from the caller, so that file lives only as long as this job.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return fail(QStringLiteral("No temporary folder could be made: %1").arg(scratch.errorString()));
    TResultForm form(scratch.filePath(QStringLiteral("hvxprint.ini")), nullptr, QString());

    printer.setDocName(DocumentName);
    QtPrinterDevice device(printer);
    if (!device.startDoc(DocumentName)) {
        const QString why = device.errorString();
        return fail(why.isEmpty() ? QStringLiteral("%1 could not be created.").arg(target) : why);
    }
    for (int i = 0; i < sheets.size(); ++i) {
        const ResultSheet &sheet = sheets.at(i);
        if (i > 0 && !device.newPage()) {
            device.abortDoc();
            return fail(QStringLiteral("%1 could not be written.").arg(target));
        }
        form.FillResults(sheet.setup, sheet.values, sheet.fileName, sheet.plantColumns);
        ResultFormOnPaper paper(&form);
        if (!printResultImage(&form, device, options, showProgress)) {
            device.abortDoc();
            return fail(QStringLiteral("The results sheet of %1 could not be printed.")
                            .arg(sheet.fileName.isEmpty() ? QStringLiteral("setup %1").arg(i + 1) : sheet.fileName));
        }
    }
    if (!device.endDoc()) {
        const QString why = device.errorString();
        return fail(why.isEmpty() ? QStringLiteral("%1 could not be written.").arg(target) : why);
    }
    return true;
}

namespace {

// The page as the Print command sees it when it prints into a file: the
// printer's paper, margins and resolution, and where the window's image goes.
struct SheetPage {
    QPageLayout layout;
    PageMetrics metrics;
};

SheetPage pdfPrinterPage()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(300);
    SheetPage page;
    page.layout = printer.pageLayout();
    const QtPrinterDevice device(printer);
    GetPageMetrics(&device, &page.metrics);
    return page;
}

// Draws the window, as it stands, into the destination (printer pixels of the
// page's metrics) of the painter's page. The painter works in units of the
// window's own pixels, so that its fonts, set in points, keep their size.
void drawSheet(TResultForm &form, QPainter &painter, const PrintRect &destination, double unitsPerPrinterPixel)
{
    const QSize extent = GetWindowExtent(&form);
    if (extent.isEmpty() || destination.isEmpty())
        return;
    painter.save();
    painter.translate(destination.Left * unitsPerPrinterPixel, destination.Top * unitsPerPrinterPixel);
    painter.scale(destination.width() * unitsPerPrinterPixel / extent.width(),
                  destination.height() * unitsPerPrinterPixel / extent.height());
    form.render(&painter, QPoint(), QRegion(QRect(QPoint(), extent)),
                QWidget::DrawWindowBackground | QWidget::DrawChildren);
    painter.restore();
}

} // namespace

namespace {

// Draws each sheet next gives into device as a PDF document, one page each,
// a page at a time. How many were drawn, or -1 when the document could not
// be begun.
qsizetype drawSheetsPdf(QIODevice *device, const std::function<bool(ResultSheet *)> &next)
{
    QTemporaryDir scratch; // the window's print options file, unused here
    TResultForm form(scratch.isValid() ? scratch.filePath(QStringLiteral("hvxprint.ini")) : QString(), nullptr,
                     QString());
    form.ensurePolished();

    const SheetPage page = pdfPrinterPage();
    QPdfWriter writer(device);
    writer.setPageLayout(page.layout);
    writer.setResolution(form.logicalDpiX());
    writer.setTitle(DocumentName);
    writer.setCreator(QStringLiteral("Halvex"));
    const double unitsPerPrinterPixel = double(writer.resolution()) / page.metrics.DpiX;

    QPainter painter(&writer);
    if (!painter.isActive())
        return -1;
    qsizetype drawn = 0;
    ResultSheet sheet;
    for (; next(&sheet); ++drawn) {
        if (drawn > 0)
            writer.newPage();
        form.FillResults(sheet.setup, sheet.values, sheet.fileName, sheet.plantColumns);
        const ResultFormOnPaper paper(&form);
        if (form.layout())
            form.layout()->activate();
        const PrintRect destination = placeImageOnPage(GetWindowExtent(&form), page.metrics);
        drawSheet(form, painter, destination, unitsPerPrinterPixel);
    }
    painter.end();
    return drawn;
}

} // namespace

std::function<bool(ResultSheet *)> sheetSource(const QList<ResultSheet> &sheets)
{
    return [&sheets, i = qsizetype(0)](ResultSheet *sheet) mutable {
        if (i == sheets.size())
            return false;
        *sheet = sheets.at(i++);
        return true;
    };
}

QByteArray drawResultSheetsPdf(const QList<ResultSheet> &sheets)
{
    if (sheets.isEmpty())
        return QByteArray();
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    return drawSheetsPdf(&buffer, sheetSource(sheets)) > 0 ? pdf : QByteArray();
}

bool saveResultSheetsPdf(const QString &pdfPath, const QList<ResultSheet> &sheets, QString *error)
{
    return saveResultSheetsPdf(pdfPath, sheetSource(sheets), error) > 0;
}

qsizetype saveResultSheetsPdf(const QString &pdfPath, const std::function<bool(ResultSheet *)> &next, QString *error)
{
    WholeFile file(pdfPath);
    QFile temporary;
    qsizetype drawn = -1;
    QString why;
    if (!file.open()) {
        why = QStringLiteral("%1 could not be written: %2").arg(pdfPath, file.errorString());
    } else {
        temporary.setFileName(file.temporaryFileName());
        if (temporary.open(QIODevice::WriteOnly | QIODevice::Append))
            drawn = drawSheetsPdf(&temporary, next);
        temporary.close();
        if (drawn == 0)
            why = QStringLiteral("There is no results sheet to print.");
        else if (drawn < 0 || temporary.error() != QFileDevice::NoError)
            why = QStringLiteral("The results sheets for %1 could not be drawn.").arg(pdfPath);
        else if (!file.commit())
            why = QStringLiteral("%1 could not be written: %2").arg(pdfPath, file.errorString());
    }
    if (!why.isEmpty())
        file.cancel();
    if (error)
        *error = why;
    return why.isEmpty() || drawn == 0 ? drawn : -1;
}

} // namespace hvx
