// The results window's Print command into a PDF file, read back as an image;
// its refusals and failures; and many results sheets printed into one PDF.

#include "../support/filesizelimit.h"
#include "../support/testfiles.h"
#include "abortdialog.h"
#include "bandbitmap.h"
#include "pageanalysis.h"
#include "printerdevice.h"
#include "prnutils.h"
#include "scripteddialogs.h"
#include "switchform_print.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>

using namespace hvx;
using printtest::EvaluatedSetup;
using testsupport::writeFile;

namespace {

struct OptionsRow {
    bool useDDB, form24Bit, winStretch, compress;
};

void setOptions(TResultForm &form, const OptionsRow &o)
{
    PrintOptions options;
    options.useDDB = o.useDDB;
    options.form24Bit = o.form24Bit;
    options.winStretch = o.winStretch;
    options.compress = o.compress;
    form.setPrintOptions(options);
}

QPushButton *button(TResultForm &form, const char *name)
{
    return form.findChild<QPushButton *>(QString::fromLatin1(name));
}

// The print dialog's answer: print into this PDF file at this resolution.
std::function<bool(QPrinter &)> printToFile(const QString &path, int dpi)
{
    return [path, dpi](QPrinter &printer) {
        printer.setOutputFileName(path);
        printer.setResolution(dpi);
        return true;
    };
}

QString messageTexts(const ScriptedDialogs &dialogs)
{
    QStringList texts;
    for (const auto &call : dialogs.calls())
        if (call.kind == ScriptedDialogs::Kind::Message)
            texts << call.title + QStringLiteral(": ") + call.text;
    return texts.join(QLatin1Char('\n'));
}

// The bitmaps on the PDF's pages as "width x height @ ppi", in their order.
QStringList pdfImages(const QString &pdf)
{
    QProcess list;
    list.start(QStringLiteral("pdfimages"), { QStringLiteral("-list"), pdf });
    if (!list.waitForFinished(60000) || list.exitCode() != 0)
        return { QStringLiteral("pdfimages failed") };
    QStringList images;
    const QStringList lines = QString::fromUtf8(list.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString &line : lines.mid(2)) {
        // page num type width height color comp bpc enc interp object generation x-ppi ...
        const QStringList f = line.simplified().split(QLatin1Char(' '));
        if (f.size() > 12)
            images << f[3] + QLatin1Char('x') + f[4] + QLatin1Char('@') + f[12];
    }
    return images;
}

// The text of one page (from 1) of the PDF, as a reader extracts it.
QString pdfPageText(const QString &pdf, int page)
{
    QProcess extract;
    const QString n = QString::number(page);
    extract.start(QStringLiteral("pdftotext"), { "-f", n, "-l", n, "-enc", "UTF-8", pdf, "-" });
    const bool done = extract.waitForFinished(60000) && extract.exitCode() == 0;
    return done ? QString::fromUtf8(extract.readAllStandardOutput()) : QStringLiteral("pdftotext failed");
}

} // namespace

Q_DECLARE_METATYPE(OptionsRow)

class TestResultPrint : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    std::unique_ptr<TResultForm> shownForm(const EvaluatedSetup &e) { return printtest::shownForm(m_dir, e); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void printThroughPdf_data()
    {
        QTest::addColumn<QString>("example");
        QTest::addColumn<OptionsRow>("options");
        QTest::addColumn<int>("dpi");
        QTest::newRow("dual, 24bit form output")
            << "dual-analog-output.hvx" << OptionsRow{ false, true, false, false } << 300;
        QTest::newRow("single, palette bands")
            << "thermocouple-K-0-400C.hvx" << OptionsRow{ false, false, false, false } << 600;
        QTest::newRow("trip relay, compress") << "trip-relay.hvx" << OptionsRow{ false, false, false, true } << 300;
        QTest::newRow("frequency, winstretch and compress")
            << "frequency-output.hvx" << OptionsRow{ false, false, true, true } << 300;
        QTest::newRow("use DDB's") << "voltage-0-10V-to-4-20mA.hvx" << OptionsRow{ true, false, false, false } << 300;
    }
    void printThroughPdf()
    {
        QFETCH(QString, example);
        QFETCH(OptionsRow, options);
        QFETCH(int, dpi);
        const EvaluatedSetup e = printtest::evaluateExample(example);
        QVERIFY2(e.ok, qPrintable(e.path));
        auto form = shownForm(e);
        QVERIFY(form);
        setOptions(*form, options);
        const bool dual = e.setup.isDualOutput();

        const QString pdf = m_dir.filePath(QStringLiteral("sheet-%1.pdf").arg(QTest::currentDataTag()));
        ScopedDialogs dialogs;
        dialogs.scripted.queuePrint(printToFile(pdf, dpi));
        QTest::mouseClick(button(*form, "bPrint"), Qt::LeftButton);
        QCOMPARE(messageTexts(dialogs.scripted), QString());
        QVERIFY(dialogs.scripted.allAnswersUsed());

        // The window is back as it was.
        QVERIFY(button(*form, "bPrint")->isVisible());
        QVERIFY(button(*form, "bClose")->isVisible());
        QVERIFY(form->isEnabled());
        QCOMPARE(form->palette().color(form->backgroundRole()),
                 QApplication::palette(form.get()).color(form->backgroundRole()));

        QCOMPARE(printtest::pdfPageCount(pdf), 1);
        QString error;
        const int pageDpi = 100;
        const QImage page = printtest::pdfPageImage(pdf, 1, pageDpi, &error);
        QVERIFY2(!page.isNull(), qPrintable(error));
        const printtest::SheetOnPage sheet = printtest::findSheet(page);
        QVERIFY(sheet.scale > 0.5);

        // 80 % of the usable width, 10 % of it inside the uniform margin.
        QtPrinterDevice device(applicationPrinter());
        PageMetrics m;
        QVERIFY(GetPageMetrics(&device, &m));
        const double dotsToPage = double(pageDpi) / m.DpiX;
        QVERIFY(qAbs(sheet.frame.width() - 0.8 * m.UsableWidth * dotsToPage) <= 2);
        QVERIFY(qAbs(sheet.frame.left() - (m.OffsetX + 0.1 * m.UsableWidth + m.MarginLeft) * dotsToPage) <= 2);
        QVERIFY(qAbs(sheet.frame.top() - (m.OffsetY + 0.1 * m.UsableWidth + m.MarginLeft) * dotsToPage) <= 2);

        const QStringList wrong = printtest::checkSwitches(page, sheet, *form, e.values.map, dual);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
        // Bank S4 is on paper in dual output only.
        const QPoint s4 = form->onSquare(4, 1)->mapTo(form.get(), QPoint(15, 6)); // between two columns
        QCOMPARE(printtest::brightness(page, sheet.toPage(s4)) < 96, dual);
        // No buttons on paper: where "Print" is on screen the paper is white.
        const QPushButton *print = button(*form, "bPrint");
        QVERIFY(printtest::brightness(page, sheet.toPage(print->mapTo(form.get(), print->rect().center()))) > 240);
    }

    // The device draws only into an open document, and only a band it can
    // read; anything else fails, so that the job stops.
    void deviceRefusesWhatItCannotDraw()
    {
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_dir.filePath(QStringLiteral("refused.pdf")));
        QtPrinterDevice device(printer);
        QVERIFY(device.caps().Bitmap64); // a band of any size in one bitmap
        QImage white(1, 1, QImage::Format_RGB32);
        white.fill(Qt::white);
        BandSampling sampling;
        sampling.bandWidth = sampling.bandHeight = 1;
        DibInfo band;
        std::vector<uint8_t> bandBits;
        QVERIFY(makeBandBitmap(white, analyseBandColours(white, false), sampling, &band, &bandBits));
        const PrintRect dest{ 0, 0, 10, 10 };
        QVERIFY(!device.bitBlt(0, 0, band, bandBits.data()) && !device.stretchBlt(dest, band, bandBits.data())
                && device.stretchDIBits(dest, band, bandBits.data()) == 0);
        QVERIFY(!device.newPage() && !device.endDoc() && !device.abortDoc());
        const DibInfo unreadable; // no size, no depth
        const uint8_t bits[4] = {};
        QVERIFY(device.startDoc(QStringLiteral("refused")));
        QVERIFY(!device.bitBlt(0, 0, unreadable, bits) && !device.stretchBlt(dest, unreadable, bits)
                && device.stretchDIBits(dest, unreadable, bits) == 0);
        QVERIFY(device.abortDoc());
        QVERIFY(!QFile::exists(printer.outputFileName()));
    }

    // Band bitmaps travel at the printer's resolution, at half of it with
    // "Compress", and at the window's own with "WinStretch", which "Compress"
    // does not halve again.
    void bandResolution()
    {
        const EvaluatedSetup e = printtest::evaluateExample(QStringLiteral("frequency-output.hvx"));
        QMap<QString, QStringList> images;
        for (const QString &name : QStringList{ "plain", "compress", "winstretch", "winstretch+compress" }) {
            PrintOptions options;
            options.winStretch = name.startsWith(QStringLiteral("winstretch"));
            options.compress = name.endsWith(QStringLiteral("compress"));
            const QString pdf = m_dir.filePath(name + QStringLiteral(".pdf"));
            QString error;
            QVERIFY2(printResultSheetsToPdf(pdf, { ResultSheet{ e.setup, e.values, e.path } }, &error, options, 300),
                     qPrintable(error));
            images[name] = pdfImages(pdf);
            QVERIFY2(!images[name].isEmpty(), qPrintable(name));
        }
        QVERIFY(images["plain"].first().endsWith(QStringLiteral("@300")));
        QVERIFY(images["compress"].first().endsWith(QStringLiteral("@150")));
        QVERIFY(images["winstretch"].first().section(QLatin1Char('@'), 1).toInt() < 150);
        QCOMPARE(images["winstretch+compress"], images["winstretch"]);
    }

    // A printed PDF is an ordinary file of the user's, not a private
    // temporary one; a PDF it replaces keeps its permissions.
    void pdfPermissions_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("earlier"); // permissions of a file already there; -1 for none
        QTest::addColumn<int>("expected");
        QTest::newRow("new, umask 022") << 022 << -1 << 0644;
        QTest::newRow("new, umask 077") << 077 << -1 << 0600;
        QTest::newRow("replaces a 0640 file") << 022 << 0640 << 0640;
    }
    void pdfPermissions()
    {
        QFETCH(int, mask);
        QFETCH(int, earlier);
        QFETCH(int, expected);
        const QString pdf = m_dir.filePath(QStringLiteral("permissions.pdf"));
        QFile::remove(pdf);
        const QByteArray name = QFile::encodeName(pdf);
        if (earlier >= 0) {
            writeFile(pdf, "an earlier print");
            QVERIFY(chmod(name.constData(), mode_t(earlier)) == 0);
        }
        const EvaluatedSetup e = printtest::evaluateExample(QStringLiteral("trip-relay.hvx"));
        const mode_t before = umask(mode_t(mask));
        QString error;
        const bool printed = printResultSheetsToPdf(pdf, { ResultSheet{ e.setup, e.values, e.path } }, &error);
        umask(before);
        QVERIFY2(printed, qPrintable(error));
        struct stat st;
        QVERIFY(stat(name.constData(), &st) == 0);
        QCOMPARE(QString::number(st.st_mode & 07777, 8), QString::number(expected, 8));
    }

    // A PDF that cannot be written whole (files may not grow past 20 KB) is
    // a failure, and an earlier file of that name stays as it was.
    void pdfWithoutRoom()
    {
        const QString pdf = m_dir.filePath(QStringLiteral("no-room.pdf"));
        writeFile(pdf, "an earlier print");
        const EvaluatedSetup e = printtest::evaluateExample(QStringLiteral("trip-relay.hvx"));
        QString error;
        bool printed = true;
        {
            testsupport::FileSizeLimit limit(20000);
            QVERIFY(limit.isSet());
            printed = printResultSheetsToPdf(pdf, { ResultSheet{ e.setup, e.values, e.path } }, &error);
        }
        QVERIFY(!printed);
        QCOMPARE(error, pdf + QStringLiteral(" could not be written."));
        QFile kept(pdf);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("an earlier print"));
        QCOMPARE(QDir(m_dir.path()).entryList({ QStringLiteral("*.part") }), QStringList());
    }

    void printDialogCancelled()
    {
        const EvaluatedSetup e = printtest::evaluateExample(QStringLiteral("trip-relay.hvx"));
        auto form = shownForm(e);
        QVERIFY(form);
        const QString pdf = m_dir.filePath(QStringLiteral("never.pdf"));
        ScopedDialogs dialogs;
        dialogs.scripted.queuePrint([pdf](QPrinter &printer) {
            printer.setOutputFileName(pdf);
            return false;
        });
        QTest::mouseClick(button(*form, "bPrint"), Qt::LeftButton);
        QCOMPARE(int(dialogs.scripted.calls().size()), 1);
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(button(*form, "bPrint")->isVisible());
    }

    void alreadyPrinting()
    {
        const EvaluatedSetup e = printtest::evaluateExample(QStringLiteral("trip-relay.hvx"));
        auto form = shownForm(e);
        QVERIFY(form);
        QPrinter &printer = applicationPrinter();
        printer.setOutputFileName(m_dir.filePath(QStringLiteral("other-job.pdf")));
        QPainter otherJob;
        QVERIFY(otherJob.begin(&printer));
        ScopedDialogs dialogs;
        QTest::mouseClick(button(*form, "bPrint"), Qt::LeftButton);
        otherJob.end();
        QCOMPARE(messageTexts(dialogs.scripted), QStringLiteral("Halvex: Already printing... Please try again later!"));
        QCOMPARE(int(dialogs.scripted.calls().size()), 1); // no print dialog
    }

    // Cancel in the progress dialog: the document is dropped (an earlier file
    // of that name stays as it was), the user is told, the window restored.
    void cancelledInProgressDialog()
    {
        const EvaluatedSetup e = printtest::evaluateExample(QStringLiteral("dual-analog-output.hvx"));
        auto form = shownForm(e);
        QVERIFY(form);
        const QString pdf = m_dir.filePath(QStringLiteral("kept.pdf"));
        writeFile(pdf, "an earlier print");
        ScopedDialogs dialogs;
        dialogs.scripted.queuePrint(printToFile(pdf, 300));
        bool sawDialog = false;
        // Runs at the job's first poll, while the progress dialog is up.
        QTimer::singleShot(0, [&sawDialog] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (auto *dialog = qobject_cast<TAbortDialog *>(w)) {
                    sawDialog = dialog->isVisible() && dialog->windowTitle().startsWith(QStringLiteral("Printing"));
                    QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
                }
            }
        });
        QTest::mouseClick(button(*form, "bPrint"), Qt::LeftButton);
        QVERIFY(sawDialog);
        QCOMPARE(messageTexts(dialogs.scripted), QStringLiteral("Halvex: User abort or other error!"));
        QFile kept(pdf);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("an earlier print"));
        QCOMPARE(QDir(m_dir.path()).entryList({ QStringLiteral("*.part") }), QStringList());
        QVERIFY(button(*form, "bPrint")->isVisible());
        QVERIFY(button(*form, "bClose")->isVisible());
        QVERIFY(form->isEnabled());
        QVERIFY(applicationPrinter().printerState() != QPrinter::Active);
    }

    void sheetsToPdf()
    {
        const QStringList names = { QStringLiteral("frequency-output.hvx"),
                                    QStringLiteral("thermocouple-K-0-400C.hvx") };
        QList<ResultSheet> sheets;
        QList<EvaluatedSetup> setups;
        for (const QString &name : names) {
            const EvaluatedSetup e = printtest::evaluateExample(name);
            QVERIFY2(e.ok, qPrintable(e.path));
            setups << e;
            sheets << ResultSheet{ e.setup, e.values, e.path };
        }
        const QString pdf = m_dir.filePath(QStringLiteral("plant.pdf"));
        QString error;
        PrintOptions options;
        options.form24Bit = false;
        QVERIFY2(printResultSheetsToPdf(pdf, sheets, &error, options, 300), qPrintable(error));
        QCOMPARE(printtest::pdfPageCount(pdf), 2);

        // Each page shows its own setup's switches.
        TResultForm layout(m_dir.filePath(QStringLiteral("layout.ini")), nullptr, QString());
        for (int i = 0; i < setups.size(); ++i) {
            layout.FillResults(setups[i].setup, setups[i].values, setups[i].path);
            const QImage page = printtest::pdfPageImage(pdf, i + 1, 100, &error);
            QVERIFY2(!page.isNull(), qPrintable(error));
            const printtest::SheetOnPage sheet = printtest::findSheet(page);
            const QStringList wrong = printtest::checkSwitches(page, sheet, layout, setups[i].values.map,
                                                               setups[i].setup.isDualOutput());
            QVERIFY2(wrong.isEmpty(),
                     qPrintable(QStringLiteral("page %1: ").arg(i + 1) + wrong.join(QLatin1Char('\n'))));
        }
    }

    // halvex-eval --pdf: a page for each file that evaluated, none for a
    // file it could not read; the status still tells of the bad file.
    void evaluatorPrintsPdf()
    {
        const QString pdf = m_dir.filePath(QStringLiteral("evaluator.pdf"));
        QProcess eval;
        eval.start(QStringLiteral(HALVEX_EVAL),
                   { QStringLiteral("--pdf"), pdf, QStringLiteral(HALVEX_EXAMPLES_DIR "/trip-relay.hvx"),
                     m_dir.filePath(QStringLiteral("missing.hvx")),
                     QStringLiteral(HALVEX_EXAMPLES_DIR "/voltage-0-10V-to-4-20mA.hvx") });
        QVERIFY(eval.waitForFinished(120000));
        QCOMPARE(eval.exitCode(), 2);
        QCOMPARE(printtest::pdfPageCount(pdf), 2);

        // Each page shows its setup's switches, and holds its file name and
        // summary lines as text.
        const QStringList names = { QStringLiteral("trip-relay.hvx"), QStringLiteral("voltage-0-10V-to-4-20mA.hvx") };
        for (int pageNumber = 1; pageNumber <= names.size(); ++pageNumber) {
            const EvaluatedSetup e = printtest::evaluateExample(names.at(pageNumber - 1));
            TResultForm layout(m_dir.filePath(QStringLiteral("layout.ini")), nullptr, QString());
            layout.FillResults(e.setup, e.values, e.path);
            QString error;
            const QImage page = printtest::pdfPageImage(pdf, pageNumber, 100, &error);
            QVERIFY2(!page.isNull(), qPrintable(error));
            const QStringList wrong = printtest::checkSwitches(page, printtest::findSheet(page), layout, e.values.map,
                                                               e.setup.isDualOutput());
            QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));

            const QString text = pdfPageText(pdf, pageNumber);
            QStringList lines;
            for (const char *name : { "lFileName", "lInputLabel1", "lInputLabel2", "lOutputLabel", "lOutput2Label" }) {
                const QLabel *label = layout.findChild<QLabel *>(QString::fromLatin1(name));
                QVERIFY(label);
                if (label->isVisibleTo(&layout))
                    lines << label->text();
            }
            QCOMPARE(lines.size(), e.setup.isDualOutput() ? 5 : 4);
            for (const QString &line : lines)
                QVERIFY2(text.contains(line),
                         qPrintable(QStringLiteral("page %1 lacks \"%2\" in:\n%3").arg(pageNumber).arg(line, text)));
        }

        // Nothing evaluated: no file, and a reason.
        const QString none = m_dir.filePath(QStringLiteral("none.pdf"));
        eval.start(QStringLiteral(HALVEX_EVAL),
                   { QStringLiteral("--pdf"), none, m_dir.filePath(QStringLiteral("missing.hvx")) });
        QVERIFY(eval.waitForFinished(120000));
        QCOMPARE(eval.exitCode(), 2);
        QVERIFY(!QFile::exists(none));
        QVERIFY(eval.readAllStandardError().contains("none.pdf was not written"));
    }

    // The paper does not depend on the screen's scale: the same page, dot
    // for dot, printed under scale factors 1, 1.5 and 2.
    void sameSheetAtEveryScale()
    {
        QImage reference;
        for (const char *factor : { "1", "1.5", "2" }) {
            const QString scale = QString::fromLatin1(factor);
            const QString pdf = m_dir.filePath(QStringLiteral("scale-%1.pdf").arg(scale));
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("QT_SCALE_FACTOR"), scale);
            QProcess eval;
            eval.setProcessEnvironment(environment);
            eval.start(QStringLiteral(HALVEX_EVAL),
                       { QStringLiteral("--pdf"), pdf, QStringLiteral(HALVEX_EXAMPLES_DIR "/dual-analog-output.hvx") });
            QVERIFY(eval.waitForFinished(120000));
            QCOMPARE(eval.exitCode(), 0);
            QString error;
            const QImage page = printtest::pdfPageImage(pdf, 1, 150, &error);
            QVERIFY2(!page.isNull(), qPrintable(error));
            if (reference.isNull())
                reference = page;
            QVERIFY2(page == reference, qPrintable(QStringLiteral("the page printed at scale %1 differs").arg(scale)));
        }
    }

    // Paper is black on white: under a dark desktop palette the sheet
    // prints the same, dot for dot, as under a light one.
    void samePaperInEveryPalette_data()
    {
        QTest::addColumn<bool>("banded");
        QTest::newRow("drawn, as halvex-eval --pdf") << false;
        QTest::newRow("banded, as the Print command") << true;
    }
    void samePaperInEveryPalette()
    {
        QFETCH(bool, banded);
        const EvaluatedSetup e = printtest::evaluateExample(QStringLiteral("trip-relay.hvx"));
        QVERIFY(e.ok);
        QPalette dark(QColor(0xee, 0xee, 0xee), QColor(0x35, 0x35, 0x35), QColor(0x50, 0x50, 0x50),
                      QColor(0x20, 0x20, 0x20), QColor(0x30, 0x30, 0x30), QColor(0xee, 0xee, 0xee), Qt::white,
                      QColor(0x2a, 0x2a, 0x2a), QColor(0x35, 0x35, 0x35));
        const QPalette desktop = QApplication::palette();
        QImage pages[2];
        for (int i = 0; i < 2; ++i) {
            QApplication::setPalette(i == 0 ? QApplication::style()->standardPalette() : dark);
            const QString pdf = m_dir.filePath(QStringLiteral("palette-%1-%2.pdf").arg(int(banded)).arg(i));
            QString error;
            const QList<ResultSheet> sheets = { ResultSheet{ e.setup, e.values, e.path } };
            const bool printed = banded ? printResultSheetsToPdf(pdf, sheets, &error, PrintOptions(), 150)
                                        : saveResultSheetsPdf(pdf, sheets, &error);
            QApplication::setPalette(desktop);
            QVERIFY2(printed, qPrintable(error));
            pages[i] = printtest::pdfPageImage(pdf, 1, 100, &error);
            QVERIFY2(!pages[i].isNull(), qPrintable(error));
        }
        QVERIFY(pages[0] == pages[1]);
    }

    void sheetsToPdfRefused_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("sheets");
        QTest::newRow("no folder") << QStringLiteral("/nonexistent-folder/plant.pdf") << 1;
        QTest::newRow("no sheets") << QStringLiteral("empty.pdf") << 0;
        QTest::newRow("a FIFO in its place") << QStringLiteral("fifo.pdf") << 1; // only a regular file is replaced
    }
    void sheetsToPdfRefused()
    {
        QFETCH(QString, path);
        QFETCH(int, sheets);
        const QString target = QDir::isAbsolutePath(path) ? path : m_dir.filePath(path);
        const bool fifo = path.startsWith(QLatin1String("fifo"));
        if (fifo)
            QCOMPARE(mkfifo(QFile::encodeName(target).constData(), 0600), 0);
        const EvaluatedSetup e = printtest::evaluateExample(QStringLiteral("trip-relay.hvx"));
        QList<ResultSheet> list;
        for (int i = 0; i < sheets; ++i)
            list << ResultSheet{ e.setup, e.values, e.path };
        QString error;
        QVERIFY(!printResultSheetsToPdf(target, list, &error));
        QVERIFY(!error.isEmpty());
        if (sheets > 0)
            QVERIFY2(error.contains(target), qPrintable(error)); // the refusal names the file
        struct stat st;
        QCOMPARE(lstat(QFile::encodeName(target).constData(), &st) == 0 && S_ISFIFO(st.st_mode), fifo);
        QCOMPARE(QFile::exists(target), fifo);
        QCOMPARE(QDir(m_dir.path()).entryList({ QStringLiteral("*.part") }), QStringList());
    }
};

QTEST_MAIN(TestResultPrint)
#include "tst_print_resultprint.moc"
