#include "tablesupport.h"

#include "displaytext.h"
#include "regularfile.h"
#include "setuprow.h"

#include <QFile>

#include <cerrno>

namespace hvx {
namespace table {
namespace {

constexpr qint64 TableSizeLimit = qint64(256) << 20;

// The bytes of a table file. Only a regular file is read, and only up to a
// size no table reaches.
bool readTableFile(const QString &path, QByteArray *bytes, QString *error)
{
    QString why;
    if (!readRegularFile(QFile::encodeName(path), TableSizeLimit + 1, bytes, &why))
        *error = QStringLiteral("%1 could not be read: %2").arg(displayPath(path), why);
    else if (bytes->size() > TableSizeLimit)
        *error = QStringLiteral("%1 could not be read: %2").arg(displayPath(path), reason(EFBIG));
    else
        return true;
    return false;
}

} // namespace

int reportProblems(const QStringList &problems, int exitStatus)
{
    for (const QString &p : problems)
        writeStderr(p + QLatin1Char('\n'));
    return exitStatus;
}

QString LoadedTable::at(int line, const QString &message) const
{
    return displayPath(path) + QLatin1Char(':') + QString::number(line) + QStringLiteral(": ") + displayText(message);
}

void LoadedTable::problem(int line, const QString &message) { problems << at(line, message); }

void LoadedTable::problem(int line, const QString &column, const QString &message)
{
    problem(line, QStringLiteral("column \"%1\": %2").arg(column, message));
}

void LoadedTable::checkHeader(const QStringList &required)
{
    header = HeaderFolding().read(csv.header);
    for (const HeaderReading::NearMiss &miss : header.nearMisses)
        problem(1, HeaderReading::nearMissText(miss));
    for (const QString &name : required) {
        if (header.column(name) < 0)
            problem(1, QStringLiteral("the header has no column \"%1\"").arg(name));
    }
    for (const QString &name : header.duplicates)
        problem(1, QStringLiteral("column \"%1\" appears more than once").arg(name));
}

void LoadedTable::noteColumns(bool lacked) const
{
    for (const QString &note : { header.ownColumnsNote(), lacked ? header.lackedColumnsNote() : QString() }) {
        if (!note.isEmpty())
            writeError(displayText(note));
    }
}

bool LoadedTable::checkWidth(const CsvRecord &record)
{
    const QString wide = widthProblem(record);
    if (!wide.isEmpty())
        problem(record.line, wide);
    return wide.isEmpty();
}

QString LoadedTable::widthProblem(const CsvRecord &record) const
{
    for (int i = csv.header.size(); i < record.cells.size(); ++i) {
        if (!record.cells.at(i).trimmed().isEmpty()) {
            return QStringLiteral("the row has %1 cells, the header names %2 (a value holding the separator "
                                  "must be quoted)")
                .arg(record.cells.size())
                .arg(csv.header.size() == 1 ? QStringLiteral("1 column")
                                            : QStringLiteral("%1 columns").arg(csv.header.size()));
        }
    }
    return QString();
}

QString LoadedTable::cell(const CsvRecord &record, const QString &column) const
{
    return CsvTable::cell(record, header.column(column));
}

bool loadTable(const QString &path, LoadedTable *table, int *exitStatus)
{
    table->path = path;
    QByteArray bytes;
    QString error;
    if (!readTableFile(path, &bytes, &error)) {
        writeError(error);
        *exitStatus = ExitError;
        return false;
    }
    CsvError csvError;
    if (!readCsvTable(bytes, &table->csv, &csvError)) {
        table->problem(csvError.line, csvError.message);
        return false;
    }
    return true;
}

} // namespace table
} // namespace hvx
