// The results window printed through a real print server: the test's own
// server (started by the print-server fixture) with a queue whose backend
// keeps each job as a PDF file, which is read back as an image.

#include "../support/testfiles.h"
#include "abortdialog.h"
#include "pageanalysis.h"
#include "printerdevice.h"
#include "scripteddialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTimer>
#include <QtTest>

using namespace hvx;
using testsupport::writeFile;

// Built without the print system's library the printer object sends the job
// itself, and what it sends is its own affair.
[[maybe_unused]] const char withoutOwnSubmission[] = "built without the CUPS library: QPrinter sends the jobs itself";

class TestPrintCups : public QObject {
    Q_OBJECT

    QString m_queue;
    QDir m_jobs;
    QTemporaryDir m_dir;

    QStringList keptJobs() const { return m_jobs.entryList({ QStringLiteral("job-*.pdf") }, QDir::Files, QDir::Name); }

    // The print dialog's answer: the test queue.
    std::function<bool(QPrinter &)> printOnQueue() const
    {
        const QString queue = m_queue;
        return [queue](QPrinter &printer) {
            printer.setPrinterName(queue);
            printer.setResolution(300);
            return printer.printerName() == queue;
        };
    }

    std::unique_ptr<TResultForm> shownForm(const printtest::EvaluatedSetup &e)
    {
        return printtest::shownForm(m_dir, e);
    }

    // The one job kept since before was listed; empty unless exactly one came.
    QString newJob(const QStringList &before) const
    {
        // The server runs the job through its filters to the backend.
        QElapsedTimer waited;
        waited.start();
        QStringList added;
        while (waited.elapsed() < 60000) {
            added = keptJobs();
            for (const QString &old : before)
                added.removeAll(old);
            if (!added.isEmpty())
                break;
            QTest::qWait(100);
        }
        return added.size() == 1 ? m_jobs.filePath(added.first()) : QString();
    }

    // What the backend kept beside the job's document.
    static QString jobFile(const QString &job, const char *suffix)
    {
        QFile f(QString(job).replace(QStringLiteral(".pdf"), QString::fromLatin1(suffix)));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed() : QString();
    }

    // The output of a print system tool, run against the test's server.
    static QString runTool(const QString &program, const QStringList &arguments)
    {
        QProcess tool;
        tool.start(program, arguments);
        if (!tool.waitForFinished(30000))
            return QString();
        return QString::fromUtf8(tool.readAllStandardOutput());
    }

    // The number of the newest job on the queue, done or not; 0: none.
    int newestJob() const
    {
        const QString jobs = runTool(QStringLiteral("lpstat"), { "-W", "all", "-o", m_queue });
        int newest = 0;
        const QRegularExpression id("^" + QRegularExpression::escape(m_queue) + "-(\\d+)\\s",
                                    QRegularExpression::MultilineOption);
        for (auto match = id.globalMatch(jobs); match.hasNext();)
            newest = std::max(newest, match.next().captured(1).toInt());
        return newest;
    }

    // A job attribute as the print server keeps it.
    QString jobAttribute(int job, const QString &name) const
    {
        const QString request = QStringLiteral(HALVEX_PRINT_TESTS_DIR "/cups/job-attributes.test");
        const QString uri = "ipp://" + qEnvironmentVariable("CUPS_SERVER") + "/printers/" + m_queue;
        const QString answer = runTool(QStringLiteral("ipptool"),
                                       { "-tv", "-d", "job_id=" + QString::number(job), uri, request });
        const QRegularExpression line("^\\s*" + QRegularExpression::escape(name) + " \\([^)]*\\) = (.*)$",
                                      QRegularExpression::MultilineOption);
        return line.match(answer).captured(1).trimmed();
    }

    // Sets a control of the print dialog, or of its printer properties dialog,
    // found by its name or by the caption beside it: a list to the entry
    // with the text, a check box on.
    static bool setDialogControl(QWidget *dialog, const QString &control, const QString &value)
    {
        QWidget *w = dialog->findChild<QWidget *>(control);
        for (QLabel *label : dialog->findChildren<QLabel *>()) {
            auto *form = qobject_cast<QFormLayout *>(label->parentWidget()->layout());
            int row = -1;
            if (!w && form && label->text() == control && (form->getWidgetPosition(label, &row, nullptr), row >= 0))
                w = form->itemAt(row, QFormLayout::FieldRole)->widget()->findChild<QComboBox *>();
        }
        if (auto *list = qobject_cast<QComboBox *>(w)) {
            list->setCurrentIndex(list->findText(value));
            return list->currentText() == value;
        }
        if (auto *check = qobject_cast<QAbstractButton *>(w)) {
            check->setChecked(true);
            return check->isChecked();
        }
        return false;
    }

    enum Hung { NotHung, PressCancel, WaitForBound };

    // The progress dialog shown while the job goes to the print server.
    static TAbortDialog *submissionDialog()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<TAbortDialog *>(w))
                if (dialog->windowTitle().contains(QStringLiteral("sending")))
                    return dialog;
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        m_queue = qEnvironmentVariable("HALVEX_TEST_PRINTER");
        const QString jobs = qEnvironmentVariable("HALVEX_TEST_PRINT_JOBS");
        if (m_queue.isEmpty() || jobs.isEmpty() || qEnvironmentVariableIsEmpty("CUPS_SERVER"))
            QFAIL("run this through ctest: its print-server fixture sets CUPS_SERVER, HALVEX_TEST_PRINTER and "
                  "HALVEX_TEST_PRINT_JOBS");
        // The user's printer instances: "draft" prints the last page first.
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral(".cups")));
        writeFile(m_dir.filePath(QStringLiteral(".cups/lpoptions")),
                  "Dest " + m_queue.toUtf8() + "/draft outputorder=reverse\n");
        qputenv("HOME", QFile::encodeName(m_dir.path()));
        m_jobs = QDir(jobs);
        QVERIFY(m_jobs.exists());
        QVERIFY(m_dir.isValid());
        QVERIFY2(QPrinterInfo::availablePrinterNames().contains(m_queue),
                 qPrintable(QPrinterInfo::availablePrinterNames().join(QLatin1Char(','))));
#ifdef HALVEX_HAVE_CUPS
        setPrintSubmitProgram(QStringLiteral(HALVEX_PRINT_SUBMIT));
#endif
    }

    void printOnTheServer()
    {
        const printtest::EvaluatedSetup e = printtest::evaluateExample(QStringLiteral("dual-analog-output.hvx"));
        QVERIFY2(e.ok, qPrintable(e.path));
        auto form = shownForm(e);
        QVERIFY(form);
        const QStringList before = keptJobs();

        ScopedDialogs dialogs;
        dialogs.scripted.queuePrint(printOnQueue());
        QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("bPrint")), Qt::LeftButton);
        QCOMPARE(int(dialogs.scripted.calls().size()), 1); // the print dialog, no message
        QVERIFY(dialogs.scripted.allAnswersUsed());

        const QString job = newJob(before);
        QVERIFY(!job.isEmpty());
        QCOMPARE(jobFile(job, ".title"), QStringLiteral("Halvex Switch settings"));

        QCOMPARE(printtest::pdfPageCount(job), 1);
        QString error;
        const QImage page = printtest::pdfPageImage(job, 1, 100, &error);
        QVERIFY2(!page.isNull(), qPrintable(error));
        const printtest::SheetOnPage sheet = printtest::findSheet(page);
        QVERIFY(sheet.scale > 0.5);
        const QStringList wrong = printtest::checkSwitches(page, sheet, *form, e.values.map, true);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    }

    // A job cancelled in the progress dialog never reaches the server.
    void cancelledJobNotSent()
    {
#ifndef HALVEX_HAVE_CUPS
        QSKIP(withoutOwnSubmission);
#endif
        const printtest::EvaluatedSetup e = printtest::evaluateExample(QStringLiteral("trip-relay.hvx"));
        auto form = shownForm(e);
        QVERIFY(form);
        ScopedDialogs dialogs;
        dialogs.scripted.queuePrint(printOnQueue());
        QTimer::singleShot(0, [] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *dialog = qobject_cast<TAbortDialog *>(w))
                    QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
        });
        const int before = newestJob();
        QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("bPrint")), Qt::LeftButton);
        QCOMPARE(dialogs.scripted.calls().back().text, QStringLiteral("User abort or other error!"));
        QCOMPARE(newestJob(), before);
    }

    // The choices made in the print dialog travel with the job.
    void dialogChoicesReachTheServer_data()
    {
        QTest::addColumn<int>("duplex");
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("collate");
        QTest::addColumn<int>("colorMode");
        QTest::addColumn<bool>("firstPage");       // the page range 1 to 1, else all pages
        QTest::addColumn<QStringList>("expected"); // among the job's options
        QTest::newRow("long edge, 2 collated")
            << int(QPrinter::DuplexLongSide) << 2 << true << int(QPrinter::Color) << false
            << QStringList{ "sides=two-sided-long-edge", "Duplex=DuplexNoTumble",
                            "multiple-document-handling=separate-documents-collated-copies" };
        QTest::newRow("short edge, 3 uncollated grey")
            << int(QPrinter::DuplexShortSide) << 3 << false << int(QPrinter::GrayScale) << false
            << QStringList{ "sides=two-sided-short-edge", "Duplex=DuplexTumble", "print-color-mode=monochrome",
                            "multiple-document-handling=separate-documents-uncollated-copies" };
        QTest::newRow("one-sided, first page")
            << int(QPrinter::DuplexNone) << 1 << true << int(QPrinter::Color) << true
            << QStringList{ "sides=one-sided", "Duplex=None", "media=A4", "page-ranges=1" };
    }
    void dialogChoicesReachTheServer()
    {
#ifndef HALVEX_HAVE_CUPS
        QSKIP(withoutOwnSubmission);
#endif
        QFETCH(int, duplex);
        QFETCH(int, copies);
        QFETCH(bool, collate);
        QFETCH(int, colorMode);
        QFETCH(bool, firstPage);
        QFETCH(QStringList, expected);
        const printtest::EvaluatedSetup e = printtest::evaluateExample(QStringLiteral("frequency-output.hvx"));
        auto form = shownForm(e);
        QVERIFY(form);
        const QStringList before = keptJobs();
        ScopedDialogs dialogs;
        const auto onQueue = printOnQueue();
        dialogs.scripted.queuePrint([&](QPrinter &printer) {
            const bool chosen = onQueue(printer);
            printer.setDuplex(QPrinter::DuplexMode(duplex));
            printer.setCopyCount(copies);
            printer.setCollateCopies(collate);
            printer.setColorMode(QPrinter::ColorMode(colorMode));
            printer.setPageSize(QPageSize(QPageSize::A4));
            printer.setPrintRange(firstPage ? QPrinter::PageRange : QPrinter::AllPages);
            printer.setFromTo(firstPage ? 1 : 0, firstPage ? 1 : 0);
            return chosen;
        });
        QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("bPrint")), Qt::LeftButton);
        QCOMPARE(int(dialogs.scripted.calls().size()), 1);

        const QString job = newJob(before);
        QVERIFY(!job.isEmpty());
        const QStringList options = jobFile(job, ".options").split(QLatin1Char(' '));
        for (const QString &option : expected)
            QVERIFY2(options.contains(option), qPrintable(option + QStringLiteral(" not in ") + options.join(' ')));
        QCOMPARE(options.filter(QStringLiteral("page-ranges=")).size(), firstPage ? 1 : 0);
        QCOMPARE(jobFile(job, ".copies").toInt(), copies);
    }

    // What the user chooses in the platform's own print dialog, the printer's
    // properties dialog included, travels with the job.
    void printDialogChoicesReachTheServer_data()
    {
        QTest::addColumn<QString>("printer"); // an instance's kept options go along
        QTest::addColumn<bool>("properties"); // the control is in the printer properties dialog
        QTest::addColumn<QString>("control"); // its name, or the caption beside it; empty: none
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("attribute");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("page set")             << m_queue            << false << "pageSetCombo"         << "Odd Pages" << "page-set"    << "odd";
        QTest::newRow("reverse order")        << m_queue            << false << "reverse"              << ""          << "outputorder" << "reverse";
        QTest::newRow("banner")               << m_queue            << true  << "startBannerPageCombo" << "Standard"  << "job-sheets"  << "standard,none";
        QTest::newRow("instance")             << m_queue + "/draft" << false << ""                     << ""          << "outputorder" << "reverse";
        QTest::newRow("printer's own option") << m_queue            << true  << "Resolution"           << "300 dpi"   << "Resolution"  << "300dpi";
        // clang-format on
    }
    void printDialogChoicesReachTheServer()
    {
#ifndef HALVEX_HAVE_CUPS
        QSKIP(withoutOwnSubmission);
#endif
        QFETCH(QString, printer);
        QFETCH(bool, properties);
        QFETCH(QString, control);
        QFETCH(QString, value);
        QFETCH(QString, attribute);
        QFETCH(QString, expected);
        auto form = shownForm(printtest::evaluateExample(QStringLiteral("trip-relay.hvx")));
        QVERIFY(form);
        const int before = newestJob();
        ScopedDialogs dialogs;
        bool controlSet = control.isEmpty();
        dialogs.scripted.queuePrint([&](QPrinter &chosen) {
            chosen.setPrinterName(printer);
            chosen.setResolution(300);
            QPrintDialog dialog(&chosen);
            dialog.show();
            if (properties) {
                // The properties dialog runs modally from its button.
                QTimer::singleShot(0, [&] {
                    for (QDialog *shown : dialog.findChildren<QDialog *>())
                        if (shown->isVisible()) {
                            controlSet = setDialogControl(shown, control, value);
                            shown->accept();
                        }
                });
                QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("properties")), Qt::LeftButton);
            } else if (!control.isEmpty()) {
                controlSet = setDialogControl(&dialog, control, value);
            }
            dialog.accept();
            return dialog.result() == QDialog::Accepted;
        });
        QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("bPrint")), Qt::LeftButton);
        QVERIFY(controlSet);
        QCOMPARE(int(dialogs.scripted.calls().size()), 1);
        const int job = newestJob();
        QVERIFY(job > before);
        // The job goes, so that no later test finds it done: it is cancelled,
        // then waited for. The program's printer
        // keeps the dialog's choices; the dialog taken as it comes sets them
        // back for later jobs.
        const auto cancel = qScopeGuard([this, job] {
            applicationPrinter().setPrinterName(m_queue);
            applicationPrinter().setPageOrder(QPrinter::FirstPageFirst);
            QPrintDialog plain(&applicationPrinter());
            plain.show();
            plain.accept();
            runTool(QStringLiteral("cancel"), { m_queue + '-' + QString::number(job) });
            QElapsedTimer waited;
            waited.start();
            while (!runTool(QStringLiteral("lpstat"), { "-o", m_queue }).isEmpty() && waited.elapsed() < 60000)
                QTest::qWait(100);
        });
        QCOMPARE(jobAttribute(job, attribute), expected);
    }

#ifdef HALVEX_HAVE_CUPS
    // The job handed to the print helper: a helper that is missing, refuses
    // or crashes fails the print, and the user is told why. The spool file
    // goes either way; its folder's name is one a shell would take apart.
    void submission_data()
    {
        QTest::addColumn<QByteArray>("helper"); // its script; empty: there is none
        QTest::addColumn<QString>("why"); // pattern of the reason given; empty: the job is sent, without a message
        QTest::addColumn<int>("hung");    // the server accepts and never answers: NotHung, PressCancel, WaitForBound
        const QByteArray real = "exec '" HALVEX_PRINT_SUBMIT "' \"$@\"";
        const QByteArray silent = "CUPS_SERVER=127.0.0.1:%PORT% " + real;
        const QString notAccepted = "The printer halvex-keep did not accept the job";
        // clang-format off
        QTest::newRow("sent")      << real << QString() << int(NotHung);
        QTest::newRow("missing")   << QByteArray() << "The print helper /.*/halvex-print-submit was not found" << int(NotHung);
        QTest::newRow("refused")   << "CUPS_SERVER=127.0.0.1:1 " + real << notAccepted + ": \\S(.*\\S)?$" << int(NotHung);
        QTest::newRow("unknown printer") << "t=$1 n=$2; shift 3; " + QByteArray(real).replace("\"$@\"", "\"$t\" \"$n\" no-such-queue \"$@\"")
                                         << notAccepted + ": The print server knows no printer no-such-queue\\.$" << int(NotHung);
        QTest::newRow("file refused") << "t=$1 n=$2 p=$3; shift 4; " + QByteArray(real).replace("\"$@\"", "\"$t\" \"$n\" \"$p\" /nonexistent \"$@\"")
                                      << notAccepted + ": \\S(.*\\S)?$" << int(NotHung);
        QTest::newRow("no reason") << QByteArray("echo '  ' >&2; exit 1") << notAccepted + "\\.$" << int(NotHung);
        QTest::newRow("crashed")   << QByteArray("kill -SEGV $$") << "The print helper /.*/halvex-print-submit ended abnormally" << int(NotHung);
        QTest::newRow("no answer, cancelled")   << silent << "The job was cancelled before the print server had taken it\\.$" << int(PressCancel);
        QTest::newRow("no answer for too long") << silent << notAccepted + ": The print server gave no answer for 1 seconds" << int(WaitForBound);
        // clang-format on
    }
    void submission()
    {
        QFETCH(QByteArray, helper);
        QFETCH(QString, why);
        QFETCH(int, hung);
        QTcpServer silentServer; // takes connections, never answers
        QVERIFY(silentServer.listen(QHostAddress::LocalHost));
        helper.replace("%PORT%", QByteArray::number(silentServer.serverPort()));
        QTemporaryDir dir;
        QFile script(dir.filePath(QStringLiteral("halvex-print-submit")));
        if (!helper.isEmpty()) {
            writeFile(script.fileName(), "#!/bin/sh\n" + helper);
            QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        }
        // The spool file is made in the temporary folder.
        const QString spool = dir.filePath(QStringLiteral("-o a='b c' \"d\""));
        QVERIFY(QDir().mkdir(spool));
        const QByteArray tmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(spool));
        setPrintSubmitProgram(script.fileName());
        setPrintServerTimeout(hung == WaitForBound ? 1 : 600);
        const auto restore = qScopeGuard([tmp] {
            tmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmp);
            setPrintSubmitProgram(QStringLiteral(HALVEX_PRINT_SUBMIT));
            setPrintServerTimeout(60);
        });
        // While the job waits for the server the window's event loop runs:
        // this timer ticks under the progress dialog, and presses its Cancel.
        int ticksWhileSending = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&ticksWhileSending, hung] {
            TAbortDialog *sending = submissionDialog();
            if (!sending)
                return;
            ++ticksWhileSending;
            if (hung == PressCancel && ticksWhileSending == 3)
                QTest::mouseClick(sending->btnCancel, Qt::LeftButton);
        });
        ticker.start(20);

        auto form = shownForm(printtest::evaluateExample(QStringLiteral("trip-relay.hvx")));
        QVERIFY(form);
        const QStringList before = keptJobs();
        ScopedDialogs dialogs;
        dialogs.scripted.queuePrint(printOnQueue());
        QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("bPrint")), Qt::LeftButton);
        const QString shown = dialogs.scripted.calls().size() > 1 ? dialogs.scripted.calls().back().text : QString();
        if (why.isEmpty())
            QVERIFY2(shown.isEmpty() && !newJob(before).isEmpty(), qPrintable(shown));
        else
            QVERIFY2(QRegularExpression("^User abort or other error!\n\n" + why).match(shown).hasMatch(),
                     qPrintable(shown));
        QCOMPARE(QDir(spool).entryList(QDir::Files), QStringList());
        if (hung != NotHung)
            QVERIFY(ticksWhileSending > 0);
        QVERIFY(!submissionDialog());
    }
#endif
};

QTEST_MAIN(TestPrintCups)
#include "tst_print_cups.moc"
