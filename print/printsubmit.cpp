// Sending a finished document file to a printer of the print system, with the
// choices made in the print dialog. The print system's client library is used
// by a helper program of our own (halvex-print-submit), run for each job, so
// that the window program never loads it.

#include "printerdevice.h"

#ifdef HALVEX_HAVE_CUPS

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>

namespace hvx {

namespace {

QString g_submitProgram;

// The job's options as the helper takes them, one NAME=VALUE argument each.
class JobOptions {
public:
    void add(const char *name, const QByteArray &value)
    {
        m_arguments << QString::fromLatin1(name) + QLatin1Char('=') + QString::fromUtf8(value);
    }
    const QStringList &arguments() const { return m_arguments; }

private:
    QStringList m_arguments;
};

// The helper beside the running program (a build tree, or a folder the
// program was unpacked into), else where the installation puts it, reached
// from the program's folder the way the installation lays the two out.
QString findSubmitProgram()
{
    if (!g_submitProgram.isEmpty())
        return g_submitProgram;
    const QString name = QStringLiteral("halvex-print-submit");
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString beside = programDir.filePath(name);
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QDir::cleanPath(programDir.filePath(QStringLiteral(HALVEX_PRINT_SUBMIT_DIR "/") + name));
}

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

    const QString program = findSubmitProgram();
    if (!QFileInfo(program).isExecutable())
        return fail(QStringLiteral("The print helper %1 was not found, so the job was not sent.")
                        .arg(QDir::toNativeSeparators(program)));

    // Arguments go to the helper as they are, without a shell between.
    QProcess helper;
    helper.setProgram(program);
    helper.setArguments(QStringList{ QString::fromUtf8(printerName), fileName, title } + options.arguments());
    helper.setStandardInputFile(QProcess::nullDevice());
    helper.setStandardOutputFile(QProcess::nullDevice());
    helper.start();
    if (!helper.waitForStarted(-1))
        return fail(QStringLiteral("The print helper %1 could not be started (%2), so the job was not sent.")
                        .arg(QDir::toNativeSeparators(program), helper.errorString()));
    // As long as sending the job takes: the print system's call blocks the
    // same way.
    helper.waitForFinished(-1);
    if (helper.state() != QProcess::NotRunning || helper.exitStatus() != QProcess::NormalExit)
        return fail(QStringLiteral("The print helper %1 ended abnormally (%2); the job may not have been sent.")
                        .arg(QDir::toNativeSeparators(program), helper.errorString()));

    const QString reason = QString::fromUtf8(helper.readAllStandardError()).trimmed();
    const QString because = reason.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + reason;
    switch (helper.exitCode()) {
    case 0:
        return true;
    case 1:
        return fail(QStringLiteral("The printer %1 did not accept the job%2")
                        .arg(QString::fromUtf8(printerName), because));
    default:
        return fail(QStringLiteral("The print helper %1 failed with exit status %2%3")
                        .arg(QDir::toNativeSeparators(program), QString::number(helper.exitCode()), because));
    }
}

void setPrintSubmitProgram(const QString &program) { g_submitProgram = program; }

} // namespace hvx

#endif // HALVEX_HAVE_CUPS
