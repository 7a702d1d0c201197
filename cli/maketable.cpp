#include "tablesupport.h"

#include "displaytext.h"
#include "evaluation.h"
#include "plantfolder.h"
#include "setupfile.h"
#include "setuprow.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QLocale>

#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

namespace hvx {
namespace table {
namespace {

constexpr int NameMax = 255; // bytes of one name in a folder

struct RowFile {
    QString name;
    Setup setup;
};

// Characters no file name made from a table may hold: controls, line and
// paragraph separators, and the marks that turn the direction of text (a
// name that shows as another).
bool isRefusedInName(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F || c == 0x2028
        || c == 0x2029 || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

QString refusedCharacterIn(const QString &name)
{
    for (const char32_t c : name.toUcs4())
        if (isRefusedInName(c))
            return QStringLiteral("U+") + QString::number(uint(c), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    return QString();
}

// The file name a row makes: the last part of its file cell, with ".hvx"
// added when it has another ending. Empty with a problem when unusable.
QString madeFileName(const QString &cell, QString *problem)
{
    QString name = cell.trimmed();
    name = name.mid(std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\'))) + 1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        *problem = cell.trimmed().isEmpty() ? QStringLiteral("is empty; each row needs the name of its setup file")
                                            : QStringLiteral("%1 names no file").arg(quotedValue(cell.trimmed()));
        return QString();
    }
    if (const QString refused = refusedCharacterIn(name); !refused.isEmpty()) {
        *problem = QStringLiteral("%1 holds %2, a control, line-break or text-direction character")
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

// The columns of the table that --make reads, looked up once.
struct MakeColumns {
    explicit MakeColumns(const LoadedTable &table)
        : file(table.column(QLatin1String(TableColumns::file)))
    {
        for (const QString &column : setupColumns())
            setup << table.column(column);
    }
    int file;
    QList<int> setup;
};

// The file of one row, its problems told; false when it has any.
bool readRow(LoadedTable &table, const MakeColumns &columns, const CsvRecord &record, RowFile *file)
{
    if (!table.checkWidth(record))
        return false;
    const int before = table.problemCount();
    QStringList values;
    values.reserve(columns.setup.size());
    for (int column : columns.setup)
        values << CsvTable::cell(record, column);
    std::vector<RowProblem> problems;
    file->setup = setupFromRowValues(values, &problems);
    for (const RowProblem &p : problems)
        table.problem(record.line, p.column, p.message);
    if (problems.empty()) {
        EvaluationValues evaluated;
        const EvaluationOutcome outcome = Evaluate(file->setup, evaluated);
        if (!outcome.completed)
            table.problem(record.line, QStringLiteral("the window does not evaluate this setup: ") + outcome.status);
    }
    QString problem;
    file->name = madeFileName(CsvTable::cell(record, columns.file), &problem);
    if (file->name.isEmpty())
        table.problem(record.line, QLatin1String(TableColumns::file), problem);
    return table.problemCount() == before;
}

// The line and name of each file planned, by its name in one letter case.
using PlannedNames = QHash<QString, std::pair<int, QString>>;

// Why a name cannot be made beside those planned, or empty when it can. Names
// that differ only in letter case are one file on a Windows share or a FAT
// stick.
QString nameClash(const PlannedNames &names, const QString &name)
{
    const auto it = names.constFind(name.toCaseFolded());
    if (it == names.constEnd())
        return QString();
    if (it->second == name)
        return QStringLiteral("%1 is also the file of line %2").arg(quotedValue(name)).arg(it->first);
    return QStringLiteral("%1 and %2 of line %3 differ only in letter case; on a Windows share or a "
                          "FAT stick they are one file")
        .arg(quotedValue(name), quotedValue(it->second))
        .arg(it->first);
}

// The file name of a good row, read again.
QString plannedName(LoadedTable &table, const MakeColumns &columns, const LoadedTable::Place &place)
{
    table.seek(place);
    CsvRecord record;
    RowFile file;
    return table.next(&record) && readRow(table, columns, record, &file) ? file.name : QString();
}

// Tells each good row whose file name an earlier one gives too, also in
// another letter case. Only a hash
// of each name is kept; rows whose hashes meet are read again.
void tellSameNames(LoadedTable &table, const std::vector<LoadedTable::Place> &plan, const std::vector<size_t> &hashes)
{
    std::vector<int> order(plan.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&hashes](int a, int b) {
        return hashes[size_t(a)] != hashes[size_t(b)] ? hashes[size_t(a)] < hashes[size_t(b)] : a < b;
    });
    const MakeColumns columns(table);
    std::vector<std::pair<int, QString>> told; // line, problem
    for (size_t from = 0, to = 1; from < order.size(); from = to, to = from + 1) {
        while (to < order.size() && hashes[size_t(order[to])] == hashes[size_t(order[from])])
            ++to;
        PlannedNames first;
        for (size_t k = from; to - from > 1 && k < to; ++k) {
            const LoadedTable::Place &place = plan[size_t(order[k])];
            const QString name = plannedName(table, columns, place);
            if (const QString clash = nameClash(first, name); !clash.isEmpty())
                told.emplace_back(place.line, clash);
            else
                first.insert(name.toCaseFolded(), { place.line, name });
        }
    }
    std::sort(told.begin(), told.end());
    for (const auto &[line, problem] : told)
        table.problem(line, QLatin1String(TableColumns::file), problem);
}

// Reads every row, tells its problems, and gives where the good ones are
// and how many bytes their file names hold.
std::vector<LoadedTable::Place> planRows(LoadedTable &table, qsizetype *nameBytes)
{
    std::vector<LoadedTable::Place> plan;
    std::vector<size_t> hashes;
    const MakeColumns columns(table);
    CsvRecord record; // its room kept from row to row
    RowFile file;
    for (;;) {
        const LoadedTable::Place place = table.place();
        if (!table.next(&record))
            break;
        if (!readRow(table, columns, record, &file))
            continue;
        plan.push_back(place);
        hashes.push_back(qHash(file.name.toCaseFolded()));
        *nameBytes += QFile::encodeName(file.name).size();
    }
    tellSameNames(table, plan, hashes);
    return plan;
}

QString pathIn(const QString &dir, const QString &name) { return displayPath(QDir(dir).filePath(name)); }

// Writes the file of every planned row into the folder, as temporaries; the
// rows whose place is taken are told. False when any was, or when a file
// could not be written (told).
bool writeRows(LoadedTable &table, const std::vector<LoadedTable::Place> &plan, qsizetype nameBytes,
               PlantFolder &folder, const QString &dir, bool force)
{
    folder.reserve(int(plan.size()), nameBytes);
    const MakeColumns columns(table);
    int inTheWay = 0;
    for (const LoadedTable::Place &place : plan) {
        table.seek(place);
        CsvRecord record;
        RowFile file;
        if (!table.next(&record) || !readRow(table, columns, record, &file))
            return false; // the same bytes as before: not reached
        const QByteArray name = QFile::encodeName(file.name);
        QString why;
        const PlantFolder::Place now = folder.place(name, &why);
        if (now == PlantFolder::Place::Refused || (now == PlantFolder::Place::Taken && !force)) {
            table.problem(record.line,
                          now == PlantFolder::Place::Refused
                              ? QStringLiteral("%1 could not be written: %2").arg(pathIn(dir, file.name), why)
                              : QStringLiteral("%1 exists; --force replaces it").arg(pathIn(dir, file.name)));
            ++inTheWay;
        } else if (inTheWay == 0 && !folder.add(name, setupFileBytes(file.setup), force)) {
            writeError(QStringLiteral("%1 could not be written: %2; nothing written")
                           .arg(pathIn(dir, file.name), folder.errorString()));
            return false;
        }
    }
    if (inTheWay == 0)
        return true;
    table.finishProblems(ExitRefused);
    writeError(QStringLiteral("nothing written"));
    return false;
}

} // namespace

int runMake(const QString &tablePath, const QString &dir, bool force)
{
    LoadedTable table;
    int status = ExitRefused;
    if (!table.load(tablePath, &status))
        return table.finishProblems(status);
    table.checkHeader({ QLatin1String(TableColumns::file) });
    if (table.problemCount() > 0)
        return table.finishProblems(ExitRefused);
    table.noteColumns(true);

    qsizetype nameBytes = 0;
    const std::vector<LoadedTable::Place> plan = planRows(table, &nameBytes);
    if (table.problemCount() > 0) {
        table.finishProblems(ExitRefused);
        writeError(QStringLiteral("nothing written: %1 problem%2 in %3")
                       .arg(QLocale(QLocale::English).toString(table.problemCount()))
                       .arg(table.problemCount() == 1 ? "" : "s")
                       .arg(displayPath(tablePath)));
        return ExitRefused;
    }
    if (plan.empty()) {
        writeError(QStringLiteral("nothing written: %1 has no rows").arg(displayPath(tablePath)));
        return ExitRefused;
    }
    PlantFolder folder(QFile::encodeName(dir));
    if (!folder.open()) {
        writeError(QStringLiteral("the folder %1 %2; nothing written").arg(displayPath(dir), folder.errorString()));
        return ExitError;
    }
    if (!writeRows(table, plan, nameBytes, folder, dir, force))
        return table.problemCount() > 0 ? ExitRefused : ExitError;
    if (!folder.commit()) {
        writeError(QStringLiteral("the setup files could not be put into %1: %2; nothing written")
                       .arg(displayPath(dir), folder.errorString()));
        return ExitError;
    }
    writeError(QStringLiteral("%1 setup file%2 written into %3")
                   .arg(plan.size())
                   .arg(plan.size() == 1 ? "" : "s")
                   .arg(displayPath(dir)));
    return ExitOk;
}

} // namespace table
} // namespace hvx
