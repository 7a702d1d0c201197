#pragma once
// What the table commands of halvex-eval share: the table file read and
// parsed and its problems told as TABLE:LINE: ...

#include "csvtable.h"
#include "headerfolding.h"
#include "reportoutput.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace hvx {
namespace table {

// Each problem on its line on standard error; gives exitStatus.
int reportProblems(const QStringList &problems, int exitStatus);

// A table read for a command, with its problems told as TABLE:LINE: ...
struct LoadedTable {
    QString path;
    CsvTable csv;
    QStringList problems;
    HeaderReading header; // what checkHeader found

    QString at(int line, const QString &message) const;
    void problem(int line, const QString &message);
    void problem(int line, const QString &column, const QString &message);
    // Checks the header: the required columns present, no known column twice,
    // no near miss of a known column.
    void checkHeader(const QStringList &required);
    // Names the plant's own columns and, with lacked, the setup columns the
    // table lacks, once each on standard error.
    void noteColumns(bool lacked) const;
    // A record with cells beyond the header's columns was split where it
    // should not have been (a separator inside a value that is not quoted).
    bool checkWidth(const CsvRecord &record);
    // What checkWidth tells, or empty when the record fits the header.
    QString widthProblem(const CsvRecord &record) const;
    QString cell(const CsvRecord &record, const QString &column) const;
};

// Reads and parses the table. False when it could not be read (the message
// given, exitStatus set to ExitError) or is no table (the problem kept in
// table->problems, exitStatus left).
bool loadTable(const QString &path, LoadedTable *table, int *exitStatus);

} // namespace table
} // namespace hvx
