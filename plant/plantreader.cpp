#include "plantreader.h"

#include "displaytext.h"
#include "regularfile.h"
#include "setuprow.h"

#include <QFile>
#include <QFileInfo>

namespace hvx {

PlantReader::PlantReader(ProblemSink &problems)
    : m_problems(problems)
{
}

bool PlantReader::readTableFile(const QString &path, QByteArray *bytes, QString *error)
{
    const QString tooLarge = QStringLiteral("it is larger than a table may be (256 MB)");
    QString why;
    // A table too large is refused unread, and one that grows meanwhile is
    // read no further than its limit.
    if (const QFileInfo info(path); info.isFile() && info.size() > SizeLimit) {
        why = tooLarge;
    } else if (readRegularFile(QFile::encodeName(path), SizeLimit + 1, bytes, &why)) {
        if (bytes->size() <= SizeLimit)
            return true;
        why = tooLarge;
    }
    bytes->clear();
    *error = QStringLiteral("%1 could not be read: %2").arg(displayPath(path), why);
    return false;
}

PlantReader::Opened PlantReader::open(const QString &path)
{
    m_path = path;
    QByteArray bytes;
    if (!readTableFile(path, &bytes, &m_error))
        return Opened::CannotRead;
    return open(bytes, path);
}

PlantReader::Opened PlantReader::open(const QByteArray &bytes, const QString &path)
{
    m_path = path;
    m_bytes = bytes;
    m_csv = std::make_unique<CsvReader>(m_bytes);
    CsvError error;
    if (!m_csv->start(&error)) {
        csvProblem(error);
        return Opened::NotATable;
    }
    m_header = HeaderFolding().read(m_csv->header());
    return Opened::Table;
}

void PlantReader::csvProblem(const CsvError &error) const
{
    m_problems.add({ error.line, error.column, QString(), error.message });
}

bool PlantReader::next(CsvRecord *record)
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

bool PlantReader::checkHeader(const QStringList &required)
{
    const int before = m_problems.count();
    for (const HeaderReading::NearMiss &miss : m_header.nearMisses)
        problem(1, QString(), HeaderReading::nearMissText(miss));
    for (const QString &name : required) {
        if (m_header.column(name) < 0)
            problem(1, QString(), QStringLiteral("the header has no column \"%1\"").arg(name));
    }
    for (const QString &name : m_header.duplicates)
        problem(1, QString(), QStringLiteral("column \"%1\" appears more than once").arg(name));
    return m_problems.count() == before;
}

QString PlantReader::cell(const CsvRecord &record, const QString &column) const
{
    return CsvTable::cell(record, m_header.column(column));
}

QStringList PlantReader::columnNotes(bool lacked) const
{
    QStringList notes;
    for (const QString &note : { m_header.ownColumnsNote(), lacked ? m_header.lackedColumnsNote() : QString() }) {
        if (!note.isEmpty())
            notes << note;
    }
    return notes;
}

bool PlantReader::checkWidth(const CsvRecord &record) const
{
    const QString wide = widthProblem(record, m_csv->header().size(), m_csv->separator());
    if (!wide.isEmpty())
        problem(record.line, QString(), wide);
    return wide.isEmpty();
}

QString PlantReader::widthProblem(const CsvRecord &record, qsizetype columns, QChar separator)
{
    if (record.cells.size() <= columns)
        return QString();
    return QStringLiteral("the row has %1 cells for %2; a value holding %3 must be quoted")
        .arg(record.cells.size())
        .arg(columns == 1 ? QStringLiteral("1 column") : QStringLiteral("%1 columns").arg(columns))
        .arg(separator == QLatin1Char('\t') ? QStringLiteral("a tab") : QStringLiteral("\"%1\"").arg(separator));
}

} // namespace hvx
