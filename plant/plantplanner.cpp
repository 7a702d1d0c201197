#include "plantplanner.h"

#include "evaluation.h"
#include "setupfile.h"
#include "setuprow.h"

#include <QBuffer>
#include <QFile>

#include <algorithm>

namespace hvx {
namespace {

constexpr int NameMax = 255; // bytes of one name in a folder

// Characters no file name made from a table may hold: controls, line and
// paragraph separators, the marks that turn the direction of text, and the
// characters that show as nothing (a name that shows as another).
bool isRefusedInName(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x00AD || c == 0x061C || (c >= 0x200B && c <= 0x200F)
        || c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) || c == 0x2060 || (c >= 0x2066 && c <= 0x2069)
        || c == 0xFEFF;
}

QString refusedCharacterIn(const QString &name)
{
    for (const char32_t c : name.toUcs4())
        if (isRefusedInName(c))
            return QStringLiteral("U+") + QString::number(uint(c), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    return QString();
}

// The setup a file's bytes hold; none when they are no setup file.
std::optional<Setup> setupOfBytes(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    Setup setup;
    if (!HasSetupSignature(buffer) || !ReadSetupFile(buffer, setup))
        return std::nullopt;
    return setup;
}

QString shownCell(const QString &value) { return value.isEmpty() ? QStringLiteral("\"\"") : value; }

// Whether two custom texts are the same number, written with a point or a
// comma, as the window reads them into the setup.
bool sameNumber(const QString &a, const QString &b)
{
    bool okA = false;
    bool okB = false;
    const float x = QString(a).replace(QLatin1Char(','), QLatin1Char('.')).toFloat(&okA);
    const float y = QString(b).replace(QLatin1Char(','), QLatin1Char('.')).toFloat(&okB);
    return okA && okB && x == y;
}

// What a new file does at the unit: "switches unchanged", or each position
// that turns, "switches S1.2 off -> on, S3.5 on -> off".
QString switchChanges(const Setup &was, const Setup &now)
{
    EvaluationValues before;
    EvaluationValues after;
    Evaluate(was, before);
    Evaluate(now, after);
    QStringList turned;
    for (int bank = 1; bank <= 4; ++bank) {
        for (int position = 1; position <= 12; ++position) {
            const bool on = after.map.bank(bank).isOn(position);
            if (before.map.bank(bank).isOn(position) != on)
                turned << QStringLiteral("S%1.%2 %3").arg(bank).arg(position).arg(on ? "off -> on" : "on -> off");
        }
    }
    return turned.isEmpty() ? QStringLiteral("switches unchanged")
                            : QStringLiteral("switches ") + turned.join(QStringLiteral(", "));
}

} // namespace

QString PlannedFile::listing(const QString &fileName) const
{
    switch (kind) {
    case Kind::New:
        return QStringLiteral("new: ") + fileName;
    case Kind::Changed: {
        QStringList said;
        if (!differences.isEmpty())
            said << differences.join(QStringLiteral(", "));
        if (!switches.isEmpty())
            said << switches;
        return said.isEmpty() ? QStringLiteral("changed: ") + fileName
                              : QStringLiteral("changed: %1 (%2)").arg(fileName, said.join(QStringLiteral("; ")));
    }
    case Kind::Unchanged:
        break;
    }
    return QString();
}

PlantPlanner::PlantPlanner(const HeaderReading &header, QChar separator)
    : m_separator(separator)
    , m_fileCell(header.column(QLatin1String(TableColumns::file)))
    , m_ownColumns(header.ownColumns)
    , m_ownCells(header.ownCells)
{
    for (const QString &column : setupColumns())
        m_setupCells << header.column(column);
}

QString PlantPlanner::fileNameOf(const QString &cell, QString *problem)
{
    QString name = cell.trimmed();
    name = name.mid(std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\'))) + 1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        *problem = cell.trimmed().isEmpty() ? QStringLiteral("is empty; each row needs the name of its setup file")
                                            : QStringLiteral("%1 names no file").arg(quotedValue(cell.trimmed()));
        return QString();
    }
    if (const QString refused = refusedCharacterIn(name); !refused.isEmpty()) {
        *problem = QStringLiteral("%1 holds %2, a control, line-break, invisible or text-direction character")
                       .arg(quotedValue(name), refused);
        return QString();
    }
    if (!name.endsWith(QLatin1String(".hvx"), Qt::CaseInsensitive))
        name += QStringLiteral(".hvx");
    if (QFile::encodeName(name).size() > NameMax) {
        *problem = QStringLiteral("%1 is longer than a file name may be").arg(quotedValue(name));
        return QString();
    }
    return name;
}

QString PlantPlanner::foldedName(const QString &name)
{
    QString folded = name;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        if (c >= 0x80)
            return name.normalized(QString::NormalizationForm_C).toCaseFolded();
        if (c >= u'A' && c <= u'Z')
            folded[i] = QChar(char16_t(c + (u'a' - u'A')));
    }
    return folded;
}

bool PlantPlanner::readRow(const CsvRecord &record, PlannedRow *row, std::vector<PlantProblem> *problems) const
{
    const size_t before = problems->size();
    row->line = record.line;
    std::vector<RowProblem> found;
    row->setup = setupFromRowValues(setupValues(record), &found, m_separator);
    for (const RowProblem &p : found)
        problems->push_back({ record.line, 0, p.column, p.message });
    if (found.empty()) {
        EvaluationValues evaluated;
        const EvaluationOutcome outcome = Evaluate(row->setup, evaluated);
        if (!outcome.completed)
            problems->push_back({ record.line, 0, QString(),
                                  QStringLiteral("the window does not evaluate this setup: ") + outcome.status });
    }
    QString problem;
    row->fileName = fileNameOf(CsvTable::cell(record, m_fileCell), &problem);
    if (row->fileName.isEmpty())
        problems->push_back({ record.line, 0, QLatin1String(TableColumns::file), problem });
    return problems->size() == before;
}

bool PlantPlanner::claimName(const PlannedRow &row, PlantProblem *problem)
{
    const QString folded = foldedName(row.fileName);
    const auto it = m_claimed.constFind(folded);
    if (it == m_claimed.constEnd()) {
        m_claimed.insert(folded, { row.line, row.fileName });
        return true;
    }
    problem->line = row.line;
    problem->column = QLatin1String(TableColumns::file);
    if (it->second == row.fileName)
        problem
            ->message = QStringLiteral("%1 is also the file of line %2").arg(quotedValue(row.fileName)).arg(it->first);
    else if (it->second.normalized(QString::NormalizationForm_C)
             == row.fileName.normalized(QString::NormalizationForm_C))
        problem->message = QStringLiteral("%1 and %2 of line %3 are one name, its letters written in two ways")
                               .arg(quotedValue(row.fileName), quotedValue(it->second))
                               .arg(it->first);
    else
        problem->message = QStringLiteral("%1 and %2 of line %3 differ only in letter case; on a Windows share or a "
                                          "FAT stick they are one file")
                               .arg(quotedValue(row.fileName), quotedValue(it->second))
                               .arg(it->first);
    return false;
}

PlannedFile PlantPlanner::compare(const Setup &setup, const std::optional<QByteArray> &existing)
{
    PlannedFile planned;
    planned.bytes = setupFileBytes(setup);
    if (!existing)
        return planned;
    if (*existing == planned.bytes) {
        planned.kind = PlannedFile::Kind::Unchanged;
        return planned;
    }
    planned.kind = PlannedFile::Kind::Changed;
    const std::optional<Setup> old = setupOfBytes(*existing);
    if (!old) {
        planned.differences << QStringLiteral("was not a setup file");
        return planned;
    }
    const QStringList was = setupRowValues(*old);
    const QStringList now = setupRowValues(setup);
    const int customLow = int(setupColumns().indexOf(QStringLiteral("custom low")));
    bool sameValues = true;
    for (int i = 0; i < setupColumns().size(); ++i) {
        if (was.at(i) == now.at(i))
            continue;
        const bool custom = i == customLow || i == customLow + 1;
        sameValues = sameValues && custom && sameNumber(was.at(i), now.at(i));
        planned.differences
            << QStringLiteral("%1 %2 -> %3").arg(setupColumns().at(i), shownCell(was.at(i)), shownCell(now.at(i)));
    }
    if (sameValues && !planned.differences.isEmpty()) {
        // The same setup, a number written another way: the file stays.
        planned.kind = PlannedFile::Kind::Unchanged;
        planned.differences.clear();
        return planned;
    }
    planned.switches = switchChanges(*old, setup);
    return planned;
}

QStringList PlantPlanner::setupValues(const CsvRecord &record) const
{
    QStringList values;
    values.reserve(m_setupCells.size());
    for (int cell : m_setupCells)
        values << CsvTable::cell(record, cell);
    return values;
}

QString PlantPlanner::plantColumnsLine(const CsvRecord &record) const
{
    QStringList parts;
    for (int i = 0; i < m_ownColumns.size(); ++i) {
        const QString value = CsvTable::cell(record, m_ownCells.at(i)).simplified();
        if (!value.isEmpty())
            parts << m_ownColumns.at(i) + QStringLiteral(": ") + value;
    }
    return parts.join(QStringLiteral(" \u00B7 "));
}

} // namespace hvx
