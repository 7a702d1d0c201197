#pragma once
// What the table suites share: tables written from "column=value" cells, a
// folder per test row, and the plain setup most rows make.

#include "../support/testfiles.h"
#include "csvtable.h"
#include "setup.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace tabletest {

using namespace hvx;

// A table of "column=value" cells per row, under a header of the columns
// named, in the order first named.
inline QByteArray tableOf(const QList<QStringList> &rows)
{
    QStringList header;
    for (const QStringList &row : rows)
        for (const QString &cell : row)
            if (!header.contains(cell.section(QLatin1Char('='), 0, 0)))
                header << cell.section(QLatin1Char('='), 0, 0);
    QByteArray table = csvLine(header);
    for (const QStringList &row : rows) {
        QStringList cells(header.size());
        for (const QString &cell : row)
            cells[header.indexOf(cell.section(QLatin1Char('='), 0, 0))] = cell.section(QLatin1Char('='), 1);
        table += csvLine(cells);
    }
    return table;
}

// A folder of its own for the test row, with an empty "out" in it.
inline QString rowDir(const QTemporaryDir &base)
{
    const QString dir = base.filePath(QString::fromLatin1(QTest::currentTestFunction()) + '_'
                                      + QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_'));
    QDir().mkpath(dir + "/out");
    return dir;
}

// "0 to 10 V" to "4 to 20 mA source", as plainOutput names it; without the
// output it is refused.
inline Setup plainSetup(int outputRange = 1)
{
    Setup s;
    s.cbInputType = Voltage;
    s.cbIRVoltage = 6;
    s.cbOutputRange = outputRange;
    return s;
}

inline const QStringList plainOutput{ QStringLiteral("file=TT-1"), QStringLiteral("input type=Voltage"),
                                      QStringLiteral("input range=0 to 10 V"),
                                      QStringLiteral("output 1=4 to 20 mA source") };

// A file's inode and time of change: another for a file written again.
inline QByteArray identity(const QString &path)
{
    struct stat status {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return QByteArray::number(qulonglong(status.st_ino)) + ' ' + QByteArray::number(qlonglong(status.st_mtim.tv_sec))
        + '.' + QByteArray::number(qlonglong(status.st_mtim.tv_nsec));
}

} // namespace tabletest
