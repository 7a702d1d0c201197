// Sending a finished document file to a printer of the print system through
// its client library, with the choices made in the print dialog.

#include "printerdevice.h"

#ifdef HALVEX_HAVE_CUPS

#include <QByteArray>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include <cups/cups.h>

namespace hvx {

namespace {

// The job's options, handed back to the library when the job is sent.
class JobOptions {
public:
    JobOptions() = default;
    ~JobOptions() { cupsFreeOptions(m_count, m_options); }
    JobOptions(const JobOptions &) = delete;
    JobOptions &operator=(const JobOptions &) = delete;

    void add(const char *name, const QByteArray &value)
    {
        m_count = cupsAddOption(name, value.constData(), m_count, &m_options);
    }
    int count() const { return m_count; }
    cups_option_t *options() const { return m_options; }

private:
    int m_count = 0;
    cups_option_t *m_options = nullptr;
};

// The choices of the print dialog that the printer object tells, in the print
// system's terms.
void addDialogChoices(const QPrinter &printer, JobOptions &options)
{
    auto add = [&options](const char *name, const QByteArray &value) { options.add(name, value); };
    const QPageLayout layout = printer.pageLayout();
    const QString paper = layout.pageSize().key();
    if (!paper.isEmpty())
        add("media", paper.toUtf8());
    if (layout.orientation() == QPageLayout::Landscape)
        add("orientation-requested", "4");

    const int copies = printer.copyCount();
    if (copies > 1) {
        add("copies", QByteArray::number(copies));
        const bool collate = printer.collateCopies();
        add("multiple-document-handling",
            collate ? "separate-documents-collated-copies" : "separate-documents-uncollated-copies");
        add("Collate", collate ? "True" : "False");
    }

    switch (printer.duplex()) {
    case QPrinter::DuplexNone:
        add("sides", "one-sided");
        break;
    case QPrinter::DuplexLongSide:
        add("sides", "two-sided-long-edge");
        break;
    case QPrinter::DuplexShortSide:
        add("sides", "two-sided-short-edge");
        break;
    case QPrinter::DuplexAuto:
        break; // the printer's own default
    }

    add("print-color-mode", printer.colorMode() == QPrinter::GrayScale ? "monochrome" : "color");
}

} // namespace

bool submitPrintFile(const QPrinter &printer, const QString &fileName, const QString &title, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };

    // A printer instance ("name/instance") prints on its printer.
    const QByteArray printerName = printer.printerName().section(QLatin1Char('/'), 0, 0).toUtf8();
    if (printerName.isEmpty())
        return fail(QStringLiteral("No printer is chosen."));

    JobOptions options;
    addDialogChoices(printer, options);

    const int job = cupsPrintFile(printerName.constData(), QFile::encodeName(fileName).constData(),
                                  title.toUtf8().constData(), options.count(), options.options());
    if (job <= 0) {
        const QString reason = QString::fromUtf8(cupsLastErrorString());
        return fail(QStringLiteral("The printer %1 did not accept the job%2")
                        .arg(QString::fromUtf8(printerName),
                             reason.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + reason));
    }
    return true;
}

} // namespace hvx

#endif // HALVEX_HAVE_CUPS
