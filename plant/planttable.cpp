#include "planttable.h"

#include "columncontents.h"
#include "csvtable.h"
#include "displaytext.h"
#include "evaluation.h"
#include "headerfolding.h"
#include "plantreader.h"
#include "plantsheets.h"
#include "setupfile.h"
#include "setuprow.h"
#include "wholefile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace hvx {

namespace {

const QString InputTypeColumn = QStringLiteral("input type");

QByteArray contentHash(const QByteArray &bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256); }

// One cell as the program writes it: quoted when it holds a separator, a
// quote or a line break, kept from spreadsheets' formulas.
QByteArray encodedCell(const QString &text)
{
    QByteArray line = csvLine({ text });
    line.chop(2); // its CRLF
    return line;
}

// The cells of one record as they stand in the table's bytes, quotes and all.
QList<QByteArray> rawCells(const QByteArray &content, char separator)
{
    QList<QByteArray> cells;
    qsizetype start = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < content.size(); ++i) {
        const char c = content.at(i);
        // Only a cell that starts with a quote is quoted; a doubled quote
        // inside turns quoting off and on again.
        if (c == '"' && (quoted || i == start))
            quoted = !quoted;
        else if (c == separator && !quoted) {
            cells << content.mid(start, i - start);
            start = i + 1;
        }
    }
    cells << content.mid(start);
    return cells;
}

QString problemAt(const QString &path, const CsvError &error)
{
    QString where = displayPath(path) + QLatin1Char(':') + QString::number(error.line);
    if (error.column > 0)
        where += QLatin1Char(':') + QString::number(error.column);
    return where + QStringLiteral(": ") + displayText(error.message);
}

} // namespace

QString plantCheckText(PlantCheck check)
{
    switch (check) {
    case PlantCheck::Match:
        return QStringLiteral("match");
    case PlantCheck::Differs:
        return QStringLiteral("differs");
    case PlantCheck::NotRead:
        return QStringLiteral("not read");
    case PlantCheck::NothingYet:
        break;
    }
    return QStringLiteral("nothing yet");
}

QString plantFileStateText(PlantFileState state)
{
    switch (state) {
    case PlantFileState::Made:
        return QStringLiteral("made");
    case PlantFileState::Missing:
        return QStringLiteral("missing");
    case PlantFileState::Differs:
        return QStringLiteral("differs from the row");
    case PlantFileState::NoFile:
        break;
    }
    return QString();
}

bool PlantTable::isPlantTable(const QByteArray &bytes)
{
    CsvReader reader(bytes);
    CsvError error;
    if (!reader.start(&error))
        return false;
    const HeaderReading header = HeaderFolding().read(reader.header());
    return header.column(QLatin1String(TableColumns::file)) >= 0 && header.column(InputTypeColumn) >= 0;
}

bool PlantTable::read(const QString &path, QString *error)
{
    QByteArray bytes;
    if (!PlantReader::readTableFile(path, &bytes, error) || !parse(bytes, path, error))
        return false;
    stamp(bytes);
    return true;
}

// One record's bytes, cut from the table, its line end kept apart.
PlantTable::Segment PlantTable::segmentOf(const QByteArray &bytes, qsizetype start, qsizetype end)
{
    Segment segment;
    segment.content = bytes.mid(start, end - start);
    // The line ends the reader takes: LF, CRLF and a lone CR.
    for (const char *lineEnd : { "\r\n", "\n", "\r" }) {
        if (segment.content.endsWith(lineEnd)) {
            segment.lineEnd = lineEnd;
            break;
        }
    }
    segment.content.chop(segment.lineEnd.size());
    return segment;
}

bool PlantTable::parse(const QByteArray &bytes, const QString &path, QString *error)
{
    *this = PlantTable();
    m_path = path;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        m_bom = bytes.left(3);
    CsvReader reader(bytes);
    CsvError fault;
    if (!reader.start(&fault)) {
        *error = problemAt(path, fault);
        return false;
    }
    if (!readHeader(reader, error))
        return false;
    m_segments.push_back(segmentOf(bytes, m_bom.size(), reader.position()));
    ColumnContents contents(HeaderFolding().read(m_header), false);
    CsvRecord record;
    for (;;) {
        const qsizetype start = reader.position();
        if (!reader.next(&record, &fault))
            break;
        Segment segment = segmentOf(bytes, start, reader.position());
        if (!record.isBlank()) {
            segment.row = int(m_rows.size());
            readRow(record);
            contents.add(record);
        }
        m_segments.push_back(segment);
    }
    const std::vector<PlantProblem> misnamed = contents.problems();
    m_tableProblems.insert(m_tableProblems.end(), misnamed.begin(), misnamed.end());
    if (fault.line != 0) {
        *error = problemAt(path, fault);
        return false;
    }
    addCheckColumns();
    m_rowChanged.assign(m_rows.size(), false);
    return true;
}

bool PlantTable::readHeader(const CsvReader &reader, QString *error)
{
    m_separator = reader.separator();
    m_header = reader.header();
    m_readColumns = int(m_header.size());
    const HeaderReading reading = HeaderFolding().read(m_header);
    for (const QString &name : { QString::fromLatin1(TableColumns::file), InputTypeColumn }) {
        if (reading.column(name) < 0) {
            *error = QStringLiteral("%1:1: the header has no column \"%2\"; a plant table names each unit's "
                                    "file and input type")
                         .arg(displayPath(m_path), name);
            return false;
        }
    }
    for (const QString &name : checkColumns())
        m_checkColumns << reading.column(name);
    // The same problems, in the same words, as every table command tells.
    for (const HeaderReading::NearMiss &miss : reading.nearMisses)
        m_tableProblems.push_back({ 1, 0, QString(), HeaderReading::nearMissText(miss) });
    for (const QString &name : reading.duplicates)
        m_tableProblems.push_back({ 1, 0, QString(),
                                    QStringLiteral("column \"%1\" appears more than once").arg(name) });
    for (const QString &name : setupColumns())
        m_setupColumns << reading.column(name);
    m_fileColumn = reading.column(QLatin1String(TableColumns::file));
    m_planner.emplace(reading, m_separator);
    const QList<int> known = reading.columns.values();
    for (int i = 0; i < m_header.size(); ++i) {
        if (!known.contains(i) && !m_checkColumns.contains(i))
            m_own << i;
    }
    return true;
}

void PlantTable::readRow(const CsvRecord &record)
{
    PlantRow row;
    row.line = record.line;
    row.cells = record.cells;
    const QString wide = PlantReader::widthProblem(record, m_readColumns, m_separator);
    if (!wide.isEmpty()) {
        // Its cells stand under other columns than their own: nothing of it
        // is used, and a check is never written over one of them.
        row.problems.push_back({ record.line, 0, QString(), wide });
        m_rows.push_back(row);
        return;
    }
    PlannedRow planned;
    m_planner->readRow(record, &planned, &row.problems);
    row.setup = planned.setup;
    row.fileName = planned.fileName;
    m_rows.push_back(row);
}

void PlantTable::addCheckColumns()
{
    for (int k = 0; k < checkColumns().size(); ++k) {
        if (m_checkColumns.at(k) < 0) {
            m_checkColumns[k] = int(m_header.size());
            m_header << checkColumns().at(k);
        }
    }
    for (PlantRow &row : m_rows) {
        while (row.cells.size() < m_header.size())
            row.cells << QString();
    }
}

int PlantTable::column(const QString &name) const
{
    const int check = int(checkColumns().indexOf(name));
    if (check >= 0)
        return m_checkColumns.value(check, -1);
    if (name == QLatin1String(TableColumns::file))
        return m_fileColumn;
    const int setup = int(setupColumns().indexOf(name));
    return setup >= 0 ? m_setupColumns.at(setup) : int(m_header.indexOf(name));
}

QString PlantTable::cell(int index, const QString &name) const
{
    const int c = column(name);
    return c < 0 ? QString() : row(index).cells.value(c);
}

QString PlantTable::plantColumnsLine(int index) const
{
    CsvRecord record;
    record.cells = row(index).cells;
    return m_planner->plantColumnsLine(record);
}

SwitchMap PlantTable::readSwitches(int index) const
{
    QStringList banks;
    for (int k = 0; k < 4; ++k)
        banks << row(index).cells.value(m_checkColumns.at(k));
    const UnitReading reading = unitFromBankCells(banks);
    return reading.state == UnitReading::State::Read ? reading.switches : SwitchMap();
}

PlantCheck PlantTable::check(int index) const
{
    const QString verdict = cell(index, QLatin1String(TableColumns::check)).trimmed().toLower();
    for (PlantCheck c : { PlantCheck::Match, PlantCheck::Differs, PlantCheck::NotRead }) {
        if (verdict.startsWith(plantCheckText(c)))
            return c;
    }
    QStringList banks;
    for (int k = 0; k < 4; ++k)
        banks << row(index).cells.value(m_checkColumns.at(k));
    const UnitReading reading = unitFromBankCells(banks);
    if (reading.state == UnitReading::State::Unreadable)
        return PlantCheck::NotRead;
    if (reading.state == UnitReading::State::NotRead || !row(index).usable())
        return PlantCheck::NothingYet;
    return compareUnitWithSetup(reading.switches, row(index).setup).differs.empty() ? PlantCheck::Match
                                                                                    : PlantCheck::Differs;
}

QString PlantTable::setupFolder() const
{
    return m_setupFolder.isEmpty() ? QFileInfo(m_path).absolutePath() : m_setupFolder;
}

QString PlantTable::setupFilePath(int index) const
{
    const QString &name = row(index).fileName;
    return name.isEmpty() ? QString() : QDir(setupFolder()).filePath(name);
}

ResultSheet PlantTable::sheet(int index) const
{
    return plantSheet(row(index).setup, row(index).fileName, plantColumnsLine(index));
}

PlantFileState PlantTable::fileState(int index) const
{
    if (!row(index).usable())
        return PlantFileState::NoFile;
    Setup onDisk;
    switch (loadSetupFile(setupFilePath(index), onDisk)) {
    case LoadStatus::CannotOpen:
        return PlantFileState::Missing;
    case LoadStatus::NotSetupFile:
        return PlantFileState::Differs;
    case LoadStatus::Ok:
        break;
    }
    return setupFileBytes(onDisk) == setupFileBytes(row(index).setup) ? PlantFileState::Made : PlantFileState::Differs;
}

void PlantTable::record(int index, const SwitchMap &read, const UnitComparison &comparison, const QDateTime &when)
{
    PlantRow &r = m_rows.at(size_t(index));
    for (int b = 1; b <= 4; ++b)
        r.cells[m_checkColumns.at(b - 1)] = bankCellText(read.bank(b));
    r.cells[m_checkColumns.at(4)] = comparison.differs.empty()
        ? plantCheckText(PlantCheck::Match)
        : plantCheckText(PlantCheck::Differs) + QStringLiteral(": ") + comparison.directions();
    r.cells[m_checkColumns.at(5)] = when.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    m_rowChanged[size_t(index)] = true;
    m_modified = true;
}

QByteArray PlantTable::rowBytes(const Segment &segment) const
{
    const char separator = m_separator.toLatin1();
    if (segment.row < 0) {
        if (&segment != &m_segments.front())
            return segment.content;
        // The check columns the table lacked follow its own once a check is recorded.
        QByteArray header = segment.content;
        for (int i = m_readColumns; m_modified && i < m_header.size(); ++i)
            header += separator + encodedCell(m_header.at(i));
        return header;
    }
    if (!m_rowChanged.at(size_t(segment.row)))
        return segment.content;
    QList<QByteArray> cells = rawCells(segment.content, separator);
    while (cells.size() < m_header.size())
        cells << QByteArray();
    for (int column : m_checkColumns)
        cells[column] = encodedCell(row(segment.row).cells.at(column));
    return cells.join(separator);
}

QByteArray PlantTable::bytes() const
{
    QByteArray out = m_bom;
    for (const Segment &segment : m_segments) {
        out += rowBytes(segment);
        out += segment.lineEnd;
    }
    return out;
}

void PlantTable::stamp(const QByteArray &bytes)
{
    const QFileInfo info(m_path);
    m_stamp = { info.size(), info.lastModified(), contentHash(bytes) };
}

bool PlantTable::changedOnDisk() const
{
    const QFileInfo info(m_path);
    if (!info.exists() || info.size() != m_stamp.size || info.lastModified() != m_stamp.modified)
        return true;
    QByteArray bytes;
    QString error;
    if (!PlantReader::readTableFile(m_path, &bytes, &error))
        return true;
    return contentHash(bytes) != m_stamp.hash;
}

bool PlantTable::saveAs(const QString &path, QString *error)
{
    const QByteArray out = bytes();
    QString why;
    if (!writeWholeFile(path, out, &why)) {
        *error = QStringLiteral("%1 could not be written: %2").arg(displayPath(path), why);
        return false;
    }
    // What was written is now the table as read.
    for (Segment &segment : m_segments)
        segment.content = rowBytes(segment);
    m_readColumns = int(m_header.size());
    m_rowChanged.assign(m_rows.size(), false);
    m_modified = false;
    m_path = path;
    stamp(out);
    return true;
}

} // namespace hvx
