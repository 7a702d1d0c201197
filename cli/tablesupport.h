#pragma once
// What the table commands of halvex-eval share: the table file read and
// parsed a record at a time, and its problems told as TABLE:LINE: ... as
// they are found.

#include "csvtable.h"
#include "headerfolding.h"
#include "plantplanner.h"
#include "reportoutput.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace hvx {
namespace table {

// Problems on standard error as they are found: the first ProblemsShown of
// them, then, at the end, one line that counts the rest.
class ProblemReport {
public:
    static constexpr int ProblemsShown = 100;

    void add(const QString &problem);
    // Counts a problem that is not shown; false when it is to be shown.
    bool countUnshown()
    {
        if (m_count < ProblemsShown)
            return false;
        ++m_count;
        return true;
    }
    int count() const { return m_count; }
    // Tells how many were not shown, if any; gives exitStatus.
    int finish(int exitStatus) const;

private:
    int m_count = 0;
};

// A table read for a command.
class LoadedTable {
public:
    LoadedTable() = default;
    LoadedTable(const LoadedTable &) = delete;
    LoadedTable &operator=(const LoadedTable &) = delete;

    // Reads the table and its header. False when it could not be read (the
    // message given, exitStatus set to ExitError) or is no table (the
    // problem told, exitStatus left).
    bool load(const QString &path, int *exitStatus);
    // The next record, blank rows passed over. False at the end, or at a
    // fault in the table's quoting (told as a problem).
    bool next(CsvRecord *record);
    // Where the next record starts, and back to it for a second reading
    // (so that a command keeps where its rows are, not the rows).
    struct Place {
        qsizetype position = 0;
        int line = 0;
    };
    Place place() const { return { m_csv->position(), m_csv->line() }; }
    void seek(const Place &place) { m_csv->seek(place.position, place.line); }

    QString path() const { return m_path; }
    QString at(int line, const QString &message) const;
    void problem(int line, const QString &message);
    void problem(int line, const QString &column, const QString &message);
    void problem(const PlanProblem &p)
    {
        if (p.column.isEmpty())
            problem(p.line, p.message);
        else
            problem(p.line, p.column, p.message);
    }
    int problemCount() const { return m_problems.count(); }
    int finishProblems(int exitStatus) const { return m_problems.finish(exitStatus); }
    // Checks the header: the required columns present, no known column twice,
    // no near miss of a known column.
    void checkHeader(const QStringList &required);
    // What the header names: known columns, near misses, the plant's own.
    const HeaderReading &header() const { return m_header; }
    // The header line's cells as written.
    const QStringList &headerCells() const { return m_csv->header(); }
    // Names the plant's own columns and, with lacked, the setup columns the
    // table lacks, once each on standard error.
    void noteColumns(bool lacked) const;
    // A record with cells beyond the header's columns was split where it
    // should not have been (a separator inside a value that is not quoted).
    bool checkWidth(const CsvRecord &record);
    // What checkWidth tells, or empty when the record fits the header.
    QString widthProblem(const CsvRecord &record) const;
    QString cell(const CsvRecord &record, const QString &column) const;
    // The column of a name in the header, -1 when it has none.
    int column(const QString &name) const { return m_header.column(name); }

private:
    void csvProblem(const CsvError &error);

    QString m_path;
    QByteArray m_bytes;
    std::unique_ptr<CsvReader> m_csv;
    ProblemReport m_problems;
    HeaderReading m_header;
};

} // namespace table
} // namespace hvx
