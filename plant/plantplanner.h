#pragma once
// The setup files a plant's table gives, and what writing them does to the
// folder that holds the plant's files. Rows in, plan out: each row read gives
// the name and setup of its file or its problems (with line and column); each
// file compared with what the folder holds is new, changed (with the columns
// that differ, in the table's words) or unchanged. The command line and the
// plant window make their files by the same rules through this class.

#include "csvtable.h"
#include "headerfolding.h"
#include "plantproblem.h"
#include "setup.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace hvx {

// The file a row gives.
struct PlannedRow {
    int line = 0;
    QString fileName; // one name, no folder, ending in ".hvx"
    Setup setup;
};

// What writing a row's file does to the folder.
struct PlannedFile {
    enum class Kind { New, Changed, Unchanged };
    Kind kind = Kind::New;
    QByteArray bytes;        // the file's bytes
    QStringList differences; // of a changed file: "custom high 400 -> 450"
    // Of a changed file: what happens at the unit, "switches unchanged" or
    // "switches S1.2 off -> on"; empty when the file held no setup.
    QString switches;

    // "new: TT-140.hvx", "changed: TT-104.hvx (custom high 400 -> 450;
    // switches unchanged)"; empty for an unchanged file.
    QString listing(const QString &fileName) const;
};

class PlantPlanner {
public:
    // The columns the rows are read by: those the header names. A table
    // written with semicolons takes a point in a number as a thousands
    // separator where it could be one.
    explicit PlantPlanner(const HeaderReading &header, QChar separator = QLatin1Char(','));

    // Reads one row: the name and setup of its file. False when it has
    // problems, each appended. A setup the window would not evaluate is one.
    bool readRow(const CsvRecord &record, PlannedRow *row, std::vector<PlantProblem> *problems) const;
    // Takes the row's file name for the plan. False with the problem when an
    // earlier row took it, in any letter case (one file on a Windows share or
    // a FAT stick).
    bool claimName(const PlannedRow &row, PlantProblem *problem);

    // What writing the row's file does where existing (the bytes of the file
    // of that name, none when there is none) is. A file whose setup differs
    // only in how a custom number is written (0.5 and 0,5) is unchanged.
    static PlannedFile compare(const Setup &setup, const std::optional<QByteArray> &existing);
    // The values of a row, one per setup column (empty where the table has
    // no such column).
    QStringList setupValues(const CsvRecord &record) const;
    // The plant's own columns of a row, for the row's sheet: "tag: TT-104 ·
    // location: Pump house 2", empty cells left out; empty when none.
    QString plantColumnsLine(const CsvRecord &record) const;

    // The file name a file cell gives: its last part, with ".hvx" added when
    // it has another ending. Empty with the problem when unusable.
    static QString fileNameOf(const QString &cell, QString *problem);
    // A file name as names are compared for clashes: in Unicode's
    // composed form and case folding (a name of ASCII letters only, its
    // lower case).
    static QString foldedName(const QString &name);

private:
    QChar m_separator;
    int m_fileCell = -1;
    QList<int> m_setupCells;
    QStringList m_ownColumns;
    QList<int> m_ownCells;
    // The line and name of each file claimed, by its name in one letter case.
    QHash<QString, std::pair<int, QString>> m_claimed;
};

} // namespace hvx
