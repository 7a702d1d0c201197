// The plant window with a table of 10,000 units: the time to read and show
// it, to filter it by one typed letter, and to make its setup files beside
// the table and again (all unchanged); then the table read and shown again
// with every file made, against halvex-eval --csv --table over the same
// table and files. Printed; run under QT_QPA_PLATFORM=offscreen or on a
// desktop.
//   halvex-bench-plantwindow [ROWS]

#include "halvexmain.h"
#include "plantmake.h"
#include "plantwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

// The example plant's rows over and over, each unit named after its number.
QByteArray plantOf(int rows)
{
    QFile example(QStringLiteral(HALVEX_EXAMPLES_DIR "/plant.csv"));
    if (!example.open(QIODevice::ReadOnly))
        return QByteArray();
    QList<QByteArray> lines = example.readAll().split('\n');
    QByteArray out = lines.takeFirst() + '\n';
    lines.removeAll(QByteArray());
    for (int i = 0; i < rows; ++i) {
        const QByteArray &line = lines.at(i % lines.size());
        out += "U-" + QByteArray::number(i) + line.mid(line.indexOf(',')) + '\n';
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plant.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(plantOf(rows)) < 0)
        return 1;
    file.close();

    hvx::TMainForm form;
    auto *window = new hvx::PlantWindow(&form);
    QElapsedTimer timer;
    timer.start();
    if (!window->openTable(path))
        return 1;
    window->show();
    QApplication::processEvents();
    const double shown = double(timer.nsecsElapsed()) / 1e6;

    auto *filter = window->findChild<QLineEdit *>(QStringLiteral("eFilter"));
    timer.restart();
    filter->setText(QStringLiteral("k"));
    const double filtered = double(timer.nsecsElapsed()) / 1e6;
    QApplication::processEvents();
    const double painted = double(timer.nsecsElapsed()) / 1e6;

    std::printf("%d units: read and shown in %.1f ms; filtered by one letter in %.1f ms, shown after %.1f ms "
                "(%s)\n",
                rows, shown, filtered, painted,
                qPrintable(window->findChild<QLabel *>(QStringLiteral("lCount"))->text()));
    for (const char *run : { "into an empty folder", "again, all unchanged" }) {
        timer.restart();
        hvx::MakeOptions options;
        options.update = true;
        hvx::ProblemList problems;
        const hvx::MakeOutcome made = hvx::makePlant(window->table().path(), dir.path(), options, problems);
        if (made.status != hvx::MakeOutcome::Status::Made)
            return 1;
        std::printf("setup files made %s in %.1f ms (%lld written)\n", run, double(timer.nsecsElapsed()) / 1e6,
                    qlonglong(made.written));
    }
    timer.restart();
    if (!window->openTable(path))
        return 1;
    QApplication::processEvents();
    const double reread = double(timer.nsecsElapsed()) / 1e6;
    QProcess eval;
    eval.setStandardOutputFile(QProcess::nullDevice());
    timer.restart();
    eval.start(QStringLiteral(HALVEX_EVAL), { QStringLiteral("--csv"), QStringLiteral("--table"), path });
    if (!eval.waitForFinished(-1) || eval.exitCode() != 0)
        return 1;
    const double register_ = double(timer.nsecsElapsed()) / 1e6;
    std::printf("with every file made: read and shown in %.1f ms; halvex-eval --csv --table in %.1f ms (%.2f x)\n",
                reread, register_, reread / register_);
    return 0;
}
