// Writes N generated setup files for the benchmarks: halvex-bench-gen DIR N
// A fixed seed makes every run write the same files. Most setups are complete;
// some carry custom ranges, a few are incomplete or out of limits so that the
// refusal paths are measured too.

#include "setup.h"
#include "setupfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>

#include <cstdio>

using namespace hvx;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool ok = false;
    const int count = args.size() == 3 ? args.at(2).toInt(&ok) : 0;
    if (!ok || count <= 0) {
        std::fputs("usage: halvex-bench-gen DIR N\n", stderr);
        return 64;
    }
    QDir dir(args.at(1));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(args.at(1)));
        return 1;
    }
    QRandomGenerator rng(20261207);
    for (int n = 0; n < count; ++n) {
        Setup s;
        for (int i = 0; i < ListCount; ++i)
            s.list(ListId(i)) = int(rng.bounded(Texts::items(ListId(i)).size()));
        for (int i = 0; i < ChoiceCount; ++i)
            s.choice(ChoiceId(i)) = int(rng.bounded(Texts::buttonCount(ChoiceId(i))));
        s.eCustomLow = QString::number(rng.bounded(-50, 400));
        s.eCustomHigh = QString::number(rng.bounded(0, 1200));
        if (rng.bounded(20) == 0)
            s.cbOutputRange = -1;
        const QString path = dir.filePath(QStringLiteral("setup-%1.hvx").arg(n, 5, 10, QLatin1Char('0')));
        if (!saveSetupFile(path, s)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
