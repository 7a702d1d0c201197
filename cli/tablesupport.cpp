#include "tablesupport.h"

#include "displaytext.h"
#include "regularfile.h"
#include "setuprow.h"

#include <QFile>
#include <QLocale>

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

void ProblemReport::add(const QString &problem)
{
    if (++m_count <= ProblemsShown)
        writeStderr(problem + QLatin1Char('\n'));
}

int ProblemReport::finish(int exitStatus) const
{
    if (m_count > ProblemsShown)
        writeError(QStringLiteral("%1 more problem%2 not shown")
                       .arg(QLocale(QLocale::English).toString(m_count - ProblemsShown))
                       .arg(m_count - ProblemsShown == 1 ? "" : "s"));
    return exitStatus;
}

QString LoadedTable::at(int line, const QString &message) const
{
    return displayPath(m_path) + QLatin1Char(':') + QString::number(line) + QStringLiteral(": ") + displayText(message);
}

void LoadedTable::problem(int line, const QString &message)
{
    if (!m_problems.countUnshown())
        m_problems.add(at(line, message));
}

void LoadedTable::problem(int line, const QString &column, const QString &message)
{
    if (!m_problems.countUnshown())
        m_problems.add(at(line, QStringLiteral("column \"%1\": %2").arg(column, message)));
}

void LoadedTable::csvProblem(const CsvError &error)
{
    if (error.column > 0)
        m_problems.add(displayPath(m_path) + QStringLiteral(":%1:%2: ").arg(error.line).arg(error.column)
                       + displayText(error.message));
    else
        problem(error.line, error.message);
}

void LoadedTable::checkHeader(const QStringList &required)
{
    for (const HeaderReading::NearMiss &miss : m_header.nearMisses)
        problem(1, HeaderReading::nearMissText(miss));
    for (const QString &name : required) {
        if (m_header.column(name) < 0)
            problem(1, QStringLiteral("the header has no column \"%1\"").arg(name));
    }
    for (const QString &name : m_header.duplicates)
        problem(1, QStringLiteral("column \"%1\" appears more than once").arg(name));
}

void LoadedTable::noteColumns(bool lacked) const
{
    for (const QString &note : { m_header.ownColumnsNote(), lacked ? m_header.lackedColumnsNote() : QString() }) {
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
    const qsizetype columns = m_csv->header().size();
    for (qsizetype i = columns; i < record.cells.size(); ++i) {
        if (!record.cells.at(i).trimmed().isEmpty()) {
            const QChar separator = m_csv->separator();
            return QStringLiteral("the row has %1 cells for %2; a value holding %3 must be quoted")
                .arg(record.cells.size())
                .arg(columns == 1 ? QStringLiteral("1 column") : QStringLiteral("%1 columns").arg(columns))
                .arg(separator == QLatin1Char('\t') ? QStringLiteral("a tab")
                                                    : QStringLiteral("\"%1\"").arg(separator));
        }
    }
    return QString();
}

QString LoadedTable::cell(const CsvRecord &record, const QString &column) const
{
    return CsvTable::cell(record, m_header.column(column));
}

bool LoadedTable::load(const QString &path, int *exitStatus)
{
    m_path = path;
    QString error;
    if (!readTableFile(path, &m_bytes, &error)) {
        writeError(error);
        *exitStatus = ExitError;
        return false;
    }
    m_csv = std::make_unique<CsvReader>(m_bytes);
    CsvError csvError;
    if (!m_csv->start(&csvError)) {
        csvProblem(csvError);
        return false;
    }
    m_header = HeaderFolding().read(m_csv->header());
    return true;
}

bool LoadedTable::next(CsvRecord *record)
{
    CsvError error;
    while (m_csv->next(record, &error)) {
        if (!record->isBlank())
            return true;
    }
    if (error.line != 0)
        csvProblem(error);
    return false;
}

} // namespace table
} // namespace hvx
