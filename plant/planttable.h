#pragma once
// A plant's table as the plant window keeps it: one unit per row, each with
// its setup or the problems that keep it from one, the plant's own columns
// (tag, loop, location...) as written, and the check columns that record
// what was read off the unit in the field ("read S1" ... "read S4", "check",
// "checked"), added at the end of the table when it has none.
//
// The table is read by the rules every table command reads it by, and
// written back whole: every byte the program did not change is written as it
// was read (separator, byte-order mark, line ends, quoting of every cell
// outside the check columns).

#include "plantplanner.h"
#include "plantproblem.h"
#include "resultsheet.h"
#include "setup.h"
#include "switchmap.h"
#include "unitcomparison.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace hvx {

class CsvReader;
struct CsvRecord;

// What the check of a unit found, as its "check" cell tells it.
enum class PlantCheck { NothingYet, Match, Differs, NotRead };
// "match", "differs", "not read", "nothing yet".
QString plantCheckText(PlantCheck check);

// Where a unit's setup file stands against its row.
enum class PlantFileState { Made, Missing, Differs, NoFile };
// "made", "missing", "differs from the row", and empty for a row that names
// no usable file.
QString plantFileStateText(PlantFileState state);

struct PlantRow {
    int line = 0;
    QStringList cells; // one per header column, check columns included
    Setup setup;
    std::vector<PlantProblem> problems; // none when setup is the row's
    QString fileName;                   // the setup file's name ("PT-101.hvx"), empty when unusable

    bool usable() const { return problems.empty(); }
};

class PlantTable {
public:
    // Whether bytes hold a plant table: UTF-8 text whose header names the
    // "file" and "input type" columns.
    static bool isPlantTable(const QByteArray &bytes);

    // Reads the table at path. False, with the reason, when the file cannot be
    // read or holds no table (a fault of the header or of the table's
    // quoting, with its line and column). The setup files are looked for
    // beside the table until setSetupFolder() says otherwise.
    bool read(const QString &path, QString *error);
    // Reads a table from bytes, as if from path.
    bool parse(const QByteArray &bytes, const QString &path, QString *error);

    const QString &path() const { return m_path; }
    const QStringList &header() const { return m_header; }
    // The header cells that are the plant's own columns, in table order.
    const QList<int> &ownColumns() const { return m_own; }
    // The header cell of a column the program knows or writes; -1 when none.
    int column(const QString &name) const;
    // Problems of the whole table (header near misses, duplicates), as
    // every table command refuses the table for them.
    const std::vector<PlantProblem> &tableProblems() const { return m_tableProblems; }

    int rowCount() const { return int(m_rows.size()); }
    const PlantRow &row(int index) const { return m_rows.at(size_t(index)); }
    QString cell(int index, const QString &column) const;
    // The rules the rows are read by, as halvex-eval reads the same table.
    const PlantPlanner &planner() const { return *m_planner; }
    // The plant's own columns of a row for its sheet: "tag: TT-104 ·
    // location: Pump house 2".
    QString plantColumnsLine(int index) const;

    // What the row's check cells say; a row whose banks were read but that
    // carries no verdict is compared with its setup.
    PlantCheck check(int index) const;
    // The banks read off the unit, as the row holds them (all off when none).
    SwitchMap readSwitches(int index) const;
    // The folder of the table's setup files: beside the table unless set.
    QString setupFolder() const;
    void setSetupFolder(const QString &folder) { m_setupFolder = folder; }
    // The row's setup file in that folder, and where it stands.
    QString setupFilePath(int index) const;
    PlantFileState fileState(int index) const;
    // The results sheet of a row with a setup.
    ResultSheet sheet(int index) const;

    // Records the check of a unit: the banks read, the verdict ("match", or
    // "differs: " with what to change), the date and time.
    void record(int index, const SwitchMap &read, const UnitComparison &comparison, const QDateTime &when);
    bool isModified() const { return m_modified; }

    // The table as it is now, every byte not changed as it was read; the
    // check columns it lacked are added once a check is recorded.
    QByteArray bytes() const;
    // Whether the file changed since it was read or last written (its size,
    // time of change or content).
    bool changedOnDisk() const;
    // Writes the table whole to path (its own path by default) and takes
    // that file as the table's. False with the reason.
    bool save(QString *error) { return saveAs(m_path, error); }
    bool saveAs(const QString &path, QString *error);

private:
    struct Segment {
        QByteArray content; // the record's bytes without its line end
        QByteArray lineEnd; // "\n", "\r\n", "\r" or empty at the end of the file
        int row = -1;       // index into m_rows; -1 for the header and blank rows
    };
    struct FileStamp {
        qint64 size = -1;
        QDateTime modified;
        QByteArray hash;
    };

    static Segment segmentOf(const QByteArray &bytes, qsizetype start, qsizetype end);
    bool readHeader(const CsvReader &reader, QString *error);
    void readRow(const CsvRecord &record);
    void addCheckColumns();
    QByteArray rowBytes(const Segment &segment) const;
    void stamp(const QByteArray &bytes);

    QString m_path;
    QString m_setupFolder;
    QByteArray m_bom;
    QChar m_separator = QLatin1Char(',');
    QStringList m_header;
    int m_readColumns = 0; // header cells read; the check columns added follow them
    QList<int> m_own;
    QList<int> m_checkColumns; // checkColumns(), in its order
    QList<int> m_setupColumns; // setupColumns(), in its order
    int m_fileColumn = -1;
    std::optional<PlantPlanner> m_planner; // made with the header
    std::vector<PlantProblem> m_tableProblems;
    std::vector<PlantRow> m_rows;
    std::vector<Segment> m_segments;
    std::vector<bool> m_rowChanged;
    bool m_modified = false;
    FileStamp m_stamp;
};

} // namespace hvx
