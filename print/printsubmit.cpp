// Sending a finished document file to a printer of the print system, with the
// choices made in the print dialog. The print system's client library is used
// by a helper program of our own (halvex-print-submit), run for each job, so
// that the window program never loads it. The window goes on drawing while
// the helper works; the progress dialog's Cancel ends the helper.

#include "printerdevice.h"

#ifdef HALVEX_HAVE_CUPS

#include "abortdialog.h"
#include "printchoices.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintEngine>
#include <QPrinter>
#include <QProcess>

namespace hvx {

namespace {

QString g_submitProgram;
int g_serverTimeout = 60;

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

// What the print dialog keeps for the print system alone (pages per sheet,
// page set, banners, job priority and hold, the printer's own options): Qt
// has no public call for them. Its print dialog leaves them on the printer's
// print engine as a list of names and values under this key; the print
// server test drives the real dialog and fails the day they are not there.
QStringList printSystemOptions(const QPrinter &printer)
{
    const auto dialogOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);
    return printer.printEngine()->property(dialogOptionsKey).toStringList();
}

PrintChoices printChoices(const QPrinter &printer)
{
    PrintChoices c;
    c.printerName = printer.printerName();
    const QPageLayout layout = printer.pageLayout();
    c.paper = layout.pageSize().key();
    c.landscape = layout.orientation() == QPageLayout::Landscape;
    c.copies = printer.copyCount();
    c.collate = printer.collateCopies();
    c.duplex = printer.duplex();
    c.grayscale = printer.colorMode() == QPrinter::GrayScale;
    c.lastPageFirst = printer.pageOrder() == QPrinter::LastPageFirst;
    if (printer.printRange() == QPrinter::PageRange) {
        c.fromPage = printer.fromPage();
        c.toPage = printer.toPage();
    }
    c.systemOptions = printSystemOptions(printer);
    return c;
}

// Waits for the helper with the event loop running, under the progress
// dialog (when there are windows). False when Cancel ended the wait; the
// helper is then ended.
bool waitForHelper(QProcess &helper)
{
    bool done = false;
    QEventLoop loop;
    auto finish = [&done, &loop] {
        done = true;
        loop.quit();
    };
    QObject::connect(&helper, &QProcess::finished, &loop, finish);
    QObject::connect(&helper, &QProcess::errorOccurred, &loop, [&finish](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finish();
    });
    helper.start();

    TAbortDialog *dialog = nullptr;
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        dialog = CreateProgressDialog(QApplication::activeWindow());
        SetProgressCaption(dialog, QStringLiteral("Printing - sending to the printer"));
    }
    if (!done && !(dialog && dialog->Cancelled))
        RunWithProgressDialog(dialog, loop);
    FreeProgressDialog(dialog);
    if (done)
        return true;
    helper.kill();
    helper.waitForFinished(5000);
    return false;
}

} // namespace

bool submitPrintFile(const QPrinter &printer, const QString &fileName, const QString &title, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };

    const PrintRequest request = printRequest(printChoices(printer));
    if (request.queue.isEmpty())
        return fail(QStringLiteral("No printer is chosen."));

    const QString program = findSubmitProgram();
    if (!QFileInfo(program).isExecutable())
        return fail(QStringLiteral("The print helper %1 was not found, so the job was not sent.")
                        .arg(QDir::toNativeSeparators(program)));

    // Arguments go to the helper as they are, without a shell between.
    QStringList arguments{ QStringLiteral("-t"), QString::number(g_serverTimeout) };
    if (!request.instance.isEmpty())
        arguments << QStringLiteral("-i") << request.instance;
    arguments << request.queue << fileName << title << request.options;
    QProcess helper;
    helper.setProgram(program);
    helper.setArguments(arguments);
    helper.setStandardInputFile(QProcess::nullDevice());
    helper.setStandardOutputFile(QProcess::nullDevice());
    if (!waitForHelper(helper))
        return fail(QStringLiteral("The job was cancelled before the print server had taken it."));
    if (helper.error() == QProcess::FailedToStart)
        return fail(QStringLiteral("The print helper %1 could not be started (%2), so the job was not sent.")
                        .arg(QDir::toNativeSeparators(program), helper.errorString()));
    if (helper.exitStatus() != QProcess::NormalExit)
        return fail(QStringLiteral("The print helper %1 ended abnormally (%2); the job may not have been sent.")
                        .arg(QDir::toNativeSeparators(program), helper.errorString()));

    const QString reason = QString::fromUtf8(helper.readAllStandardError()).trimmed();
    const QString because = reason.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + reason;
    switch (helper.exitCode()) {
    case 0:
        return true;
    case 1:
        return fail(QStringLiteral("The printer %1 did not accept the job%2").arg(request.queue, because));
    default:
        return fail(QStringLiteral("The print helper %1 failed with exit status %2%3")
                        .arg(QDir::toNativeSeparators(program), QString::number(helper.exitCode()), because));
    }
}

void setPrintSubmitProgram(const QString &program) { g_submitProgram = program; }

void setPrintServerTimeout(int seconds) { g_serverTimeout = seconds; }

} // namespace hvx

#endif // HALVEX_HAVE_CUPS
