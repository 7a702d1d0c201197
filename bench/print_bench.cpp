// Benchmark of the form printer. First the results sheets of many setups
// (200 unless --sheets N) into one PDF file, as halvex-eval --pdf draws them
// and as the banded Print command prints them, in the same run: time and size
// per sheet. Then one results sheet printed at 300, 600 and 1200 dots per inch, with "24bit form output" on and off,
// plain, with "Compress" and with "WinStretch", into a PDF file and into a printer that keeps nothing (the form
// printer's own cost without the PDF writer). For each it prints the wall time, the peak memory while printing (above
// the memory in use before the job) and the size of the output.
//
//   halvex-bench-print [--repeat N] [--sheets N]
//
// Each measurement of one sheet runs in a process of its own so that peak
// memory is that of one job.

#include "evaluation.h"
#include "printerdevice.h"
#include "prnutils.h"
#include "recordingdevice.h"
#include "setupfile.h"
#include "switchform.h"
#include "switchform_print.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace hvx;

namespace {

const char *const SetupFile = HALVEX_EXAMPLES_DIR "/dual-analog-output.hvx";

// Resident set now and its peak since the last reset, in KiB.
qint64 statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Makes the peak resident set start again from the current one.
bool resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

struct Config {
    int dpi;
    bool form24Bit;
    QString mode;   // plain, compress, winstretch
    QString device; // pdf, null
};

PrintOptions optionsFor(const Config &c)
{
    PrintOptions o;
    o.useDDB = false;
    o.form24Bit = c.form24Bit;
    o.compress = c.mode == QLatin1String("compress");
    o.winStretch = c.mode == QLatin1String("winstretch");
    return o;
}

// One measurement, in this process: prints "time_us growth_kb peak_kb
// output_bytes".
int measure(const Config &c, int repeat)
{
    Setup setup;
    EvaluationValues values;
    if (loadSetupFile(QString::fromLatin1(SetupFile), setup) != LoadStatus::Ok || !Evaluate(setup, values).completed) {
        std::fprintf(stderr, "cannot evaluate %s\n", SetupFile);
        return 1;
    }
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    const PrintOptions options = optionsFor(c);
    const QList<ResultSheet> sheets = { ResultSheet{ setup, values, QString::fromLatin1(SetupFile) } };

    TResultForm form(dir.filePath(QStringLiteral("hvxprint.ini")), nullptr, QString());
    form.FillResults(setup, values, QString::fromLatin1(SetupFile));
    // Fonts, glyphs and the print plugin loaded before the measurement.
    form.grab();
    {
        QString error;
        printResultSheetsToPdf(dir.filePath(QStringLiteral("warm.pdf")), sheets, &error, options, 72);
    }

    qint64 best = -1;
    qint64 bytes = 0;
    const qint64 before = statusKb("VmRSS:");
    if (!resetPeak())
        std::fprintf(stderr, "peak memory cannot be reset; figures include start-up\n");
    for (int i = 0; i < repeat; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (c.device == QLatin1String("pdf")) {
            QString error;
            if (!printResultSheetsToPdf(pdf, sheets, &error, options, c.dpi)) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return 1;
            }
            bytes = QFileInfo(pdf).size();
        } else {
            // An A4 page with a sixth of an inch unprintable on every side.
            RecordingPrinterDevice device;
            device.keepBits = false;
            const int edge = c.dpi / 6;
            device.deviceCaps = DeviceCaps{ edge,
                                            edge,
                                            c.dpi * 827 / 100,
                                            c.dpi * 1169 / 100,
                                            c.dpi * 827 / 100 - 2 * edge,
                                            c.dpi * 1169 / 100 - 2 * edge,
                                            c.dpi,
                                            c.dpi,
                                            true };
            ResultFormOnPaper paper(&form);
            device.startDoc(QStringLiteral("bench"));
            if (!printResultImage(&form, device, options, false))
                return 1;
            device.endDoc();
            bytes = device.bytesSent;
        }
        const qint64 elapsed = timer.nsecsElapsed() / 1000;
        best = best < 0 ? elapsed : std::min(best, elapsed);
    }
    const qint64 peak = statusKb("VmHWM:");
    std::printf("%lld %lld %lld %lld\n", static_cast<long long>(best), static_cast<long long>(peak - before),
                static_cast<long long>(peak), static_cast<long long>(bytes));
    return 0;
}

// The example setups, evaluated, repeated until there are count sheets.
QList<ResultSheet> exampleSheets(int count)
{
    QList<ResultSheet> examples;
    const QStringList names = QDir(QStringLiteral(HALVEX_EXAMPLES_DIR)).entryList({ QStringLiteral("*.hvx") });
    for (const QString &name : names) {
        ResultSheet sheet;
        sheet.fileName = QStringLiteral(HALVEX_EXAMPLES_DIR "/") + name;
        if (loadSetupFile(sheet.fileName, sheet.setup) == LoadStatus::Ok
            && Evaluate(sheet.setup, sheet.values).completed)
            examples << sheet;
    }
    QList<ResultSheet> sheets;
    for (int i = 0; i < count && !examples.isEmpty(); ++i)
        sheets << examples.at(i % examples.size());
    return sheets;
}

// Many sheets into one PDF: drawn as lines and text (halvex-eval --pdf)
// against the banded print at 300 dpi with the default print options. Best of
// repeat runs each.
int measureManySheets(int count, int repeat)
{
    const QList<ResultSheet> sheets = exampleSheets(count);
    if (sheets.isEmpty()) {
        std::fprintf(stderr, "no example setup could be evaluated\n");
        return 1;
    }
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheets.pdf"));
    QString error;
    // Fonts, glyphs and the print plugin loaded before the measurement.
    saveResultSheetsPdf(pdf, sheets.mid(0, 1), &error);
    printResultSheetsToPdf(pdf, sheets.mid(0, 1), &error, PrintOptions(), 72);

    std::printf("%d results sheets into one PDF, best of %d runs\n", int(sheets.size()), repeat);
    std::printf("%-22s %12s %12s %12s\n", "way", "ms a sheet", "KB a sheet", "file KB");
    for (const bool banded : { false, true }) {
        qint64 best = -1;
        for (int i = 0; i < repeat; ++i) {
            QElapsedTimer timer;
            timer.start();
            const bool ok = banded ? printResultSheetsToPdf(pdf, sheets, &error, PrintOptions(), 300)
                                   : saveResultSheetsPdf(pdf, sheets, &error);
            const qint64 elapsed = timer.nsecsElapsed();
            if (!ok) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return 1;
            }
            best = best < 0 ? elapsed : std::min(best, elapsed);
        }
        const double bytes = double(QFileInfo(pdf).size());
        std::printf("%-22s %12.2f %12.1f %12.0f\n", banded ? "banded print, 300 dpi" : "drawn (--pdf)",
                    best / 1e6 / sheets.size(), bytes / 1000 / sheets.size(), bytes / 1000);
        std::fflush(stdout);
    }
    std::printf("\n");
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    const QStringList args = app.arguments();

    int repeat = 3;
    const int repeatAt = args.indexOf(QStringLiteral("--repeat"));
    if (repeatAt > 0 && repeatAt + 1 < args.size())
        repeat = std::max(1, args.at(repeatAt + 1).toInt());

    int sheetCount = 200;
    const int sheetsAt = args.indexOf(QStringLiteral("--sheets"));
    if (sheetsAt > 0 && sheetsAt + 1 < args.size())
        sheetCount = std::max(1, args.at(sheetsAt + 1).toInt());

    const int oneAt = args.indexOf(QStringLiteral("--one"));
    if (oneAt > 0) {
        if (oneAt + 4 >= args.size()) {
            std::fprintf(stderr, "--one DPI 24bit|palette plain|compress|winstretch pdf|null\n");
            return 64;
        }
        const Config c{ args.at(oneAt + 1).toInt(), args.at(oneAt + 2) == QLatin1String("24bit"), args.at(oneAt + 3),
                        args.at(oneAt + 4) };
        return measure(c, repeat);
    }

    if (measureManySheets(sheetCount, repeat) != 0)
        return 1;
    if (sheetsAt > 0)
        return 0; // only the many sheets asked for

    std::printf("One results sheet (%s), best of %d runs. Peak: the highest resident memory of the\n"
                "process while printing; growth: that peak above the memory in use before the job.\n"
                "Output: the PDF file, or for the null printer the band bitmap bytes handed to it.\n"
                "Band: the screen, %dx%d pixels.\n\n",
                SetupFile, repeat, app.primaryScreen() ? app.primaryScreen()->size().width() : 0,
                app.primaryScreen() ? app.primaryScreen()->size().height() : 0);
    std::printf("%-6s %5s %-8s %-11s %10s %11s %10s %12s\n", "output", "dpi", "form", "option", "time ms", "growth KiB",
                "peak KiB", "output bytes");
    for (const char *device : { "pdf", "null" }) {
        for (int dpi : { 300, 600, 1200 }) {
            for (bool form24 : { true, false }) {
                for (const char *mode : { "plain", "compress", "winstretch" }) {
                    QProcess child;
                    child.start(QCoreApplication::applicationFilePath(),
                                { QStringLiteral("--one"), QString::number(dpi),
                                  form24 ? QStringLiteral("24bit") : QStringLiteral("palette"),
                                  QString::fromLatin1(mode), QString::fromLatin1(device), QStringLiteral("--repeat"),
                                  QString::number(repeat) });
                    if (!child.waitForFinished(600000) || child.exitCode() != 0) {
                        std::printf("%-6s %5d %-8s %-11s failed: %s\n", device, dpi, form24 ? "24bit" : "palette", mode,
                                    child.readAllStandardError().constData());
                        continue;
                    }
                    const QList<QByteArray> f = child.readAllStandardOutput().trimmed().split(' ');
                    if (f.size() != 4)
                        continue;
                    std::printf("%-6s %5d %-8s %-11s %10.1f %11lld %10lld %12lld\n", device, dpi,
                                form24 ? "24bit" : "palette", mode, f[0].toLongLong() / 1000.0, f[1].toLongLong(),
                                f[2].toLongLong(), f[3].toLongLong());
                    std::fflush(stdout);
                }
            }
        }
    }
    return 0;
}
