// The results window printed through a real print server: the test's own
// server (started by the print-server fixture) with a queue whose backend
// keeps each job as a PDF file, which is read back as an image.

#include "abortdialog.h"
#include "pageanalysis.h"
#include "printerdevice.h"
#include "scripteddialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace hvx;

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

    std::unique_ptr<TResultForm> shownForm(const printtest::EvaluatedSetup &e) { return printtest::shownForm(m_dir, e); }

private slots:
    void initTestCase()
    {
        m_queue = qEnvironmentVariable("HALVEX_TEST_PRINTER");
        const QString jobs = qEnvironmentVariable("HALVEX_TEST_PRINT_JOBS");
        if (m_queue.isEmpty() || jobs.isEmpty() || qEnvironmentVariableIsEmpty("CUPS_SERVER"))
            QFAIL("run this through ctest: its print-server fixture sets CUPS_SERVER, HALVEX_TEST_PRINTER and "
                  "HALVEX_TEST_PRINT_JOBS");
        m_jobs = QDir(jobs);
        QVERIFY(m_jobs.exists());
        QVERIFY(m_dir.isValid());
        QVERIFY2(QPrinterInfo::availablePrinterNames().contains(m_queue),
                 qPrintable(QPrinterInfo::availablePrinterNames().join(QLatin1Char(','))));
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
        QCOMPARE(added.size(), 1);
        const QString job = m_jobs.filePath(added.first());
        QFile title(QString(job).replace(QStringLiteral(".pdf"), QStringLiteral(".title")));
        QVERIFY(title.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(title.readAll()).trimmed(), QStringLiteral("Halvex Switch settings"));

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
        QProcess lpstat;
        const QStringList listJobs = { QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o"), m_queue };
        lpstat.start(QStringLiteral("lpstat"), listJobs);
        QVERIFY(lpstat.waitForFinished(30000));
        const QByteArray jobsBefore = lpstat.readAllStandardOutput();

        QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("bPrint")), Qt::LeftButton);
        QCOMPARE(dialogs.scripted.calls().back().text, QStringLiteral("User abort or other error!"));

        lpstat.start(QStringLiteral("lpstat"), listJobs);
        QVERIFY(lpstat.waitForFinished(30000));
        QCOMPARE(lpstat.readAllStandardOutput(), jobsBefore);
    }
};

QTEST_MAIN(TestPrintCups)
#include "tst_printcups.moc"
