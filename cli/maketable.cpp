#include "maketable.h"

#include "displaytext.h"
#include "plantfolder.h"
#include "plantplanner.h"
#include "setupfile.h"
#include "setuprow.h"
#include "tablesupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <numeric>

#include <vector>

namespace hvx {
namespace table {

QString counted(qsizetype count, const char *what)
{
    return QStringLiteral("%1 %2%3").arg(QLocale(QLocale::English).toString(count), QLatin1String(what),
                                         count == 1 ? "" : "s");
}

namespace {

// Tells each good row whose file name an earlier one gives too, also in
// another letter case. Only a hash of each name is kept; rows whose hashes
// meet are read again.
void tellSameNames(LoadedTable &table, const std::vector<LoadedTable::Place> &plan, const std::vector<size_t> &hashes)
{
    std::vector<int> order(plan.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&hashes](int a, int b) {
        return hashes[size_t(a)] != hashes[size_t(b)] ? hashes[size_t(a)] < hashes[size_t(b)] : a < b;
    });
    std::vector<PlanProblem> told;
    for (size_t from = 0, to = 1; from < order.size(); from = to, to = from + 1) {
        while (to < order.size() && hashes[size_t(order[to])] == hashes[size_t(order[from])])
            ++to;
        if (to - from == 1)
            continue; // a name no other row's hash meets
        PlantPlanner first(table.header());
        for (size_t k = from; k < to; ++k) {
            table.seek(plan[size_t(order[k])]);
            CsvRecord record;
            PlannedRow row;
            PlanProblem clash;
            if (table.next(&record) && readPlantRow(table, first, record, &row) && !first.claimName(row, &clash))
                told.push_back(clash);
        }
    }
    std::sort(told.begin(), told.end(), [](const PlanProblem &a, const PlanProblem &b) { return a.line < b.line; });
    for (const PlanProblem &p : told)
        table.problem(p);
}

// Memory a kept row holds, about.
qsizetype rowMemory(const PlannedRow &row)
{
    constexpr qsizetype PerText = 32; // a text's own header
    return qsizetype(sizeof(PlannedRow)) + 3 * PerText
        + 2 * (row.fileName.size() + row.setup.eCustomLow.size() + row.setup.eCustomHigh.size());
}

// Reads every row, tells its problems, and gives where the good ones are;
// with rows, also what each of them reads as, as long as that takes no more
// memory than the table itself (and a little): past that, rows is left
// empty and the rows are read again where needed.
std::vector<LoadedTable::Place> planRows(LoadedTable &table, std::vector<PlannedRow> *rows)
{
    constexpr qsizetype Allowance = 16 << 20;
    std::vector<LoadedTable::Place> plan;
    std::vector<size_t> hashes;
    const PlantPlanner planner(table.header());
    CsvRecord record; // its room kept from row to row
    PlannedRow row;
    qsizetype kept = 0;
    for (;;) {
        const LoadedTable::Place place = table.place();
        if (!table.next(&record))
            break;
        if (!readPlantRow(table, planner, record, &row))
            continue;
        plan.push_back(place);
        hashes.push_back(qHash(PlantPlanner::foldedName(row.fileName)));
        kept += rows ? rowMemory(row) : 0;
        if (rows && kept > table.place().position + Allowance) {
            std::vector<PlannedRow>().swap(*rows);
            rows = nullptr;
        }
        if (rows)
            rows->push_back(row);
    }
    tellSameNames(table, plan, hashes);
    return plan;
}

QString pathIn(const QString &dir, const QString &name) { return displayPath(QDir(dir).filePath(name)); }

// What a run does to the folder: the rows' files compared with those there
// (when listed), and those added.
struct Outcome {
    QByteArray listing; // "new: ..." and "changed: ..." lines, in table order
    qsizetype unchanged = 0;
    qsizetype written = 0;
    int inTheWay = 0; // rows whose place is taken or refused (told)
};

// What stands at the row's name, read when the run lists what it does. False
// when the row's file cannot go there (told).
bool existingFile(LoadedTable &table, const PlantFolder &folder, const QString &dir, const PlannedRow &row,
                  const MakeOptions &options, std::optional<QByteArray> *existing)
{
    const QByteArray name = QFile::encodeName(row.fileName);
    QString why;
    bool usable = true;
    if (options.update || options.dryRun) {
        usable = folder.read(name, SetupFileSize, existing, &why);
    } else {
        const PlantFolder::Place now = folder.place(name, &why);
        usable = now != PlantFolder::Place::Refused;
        if (now == PlantFolder::Place::Taken)
            *existing = QByteArray(); // taken; its bytes are not needed
    }
    if (!usable)
        table.problem(row.line, QStringLiteral("%1 could not be written: %2").arg(pathIn(dir, row.fileName), why));
    else if (existing->has_value() && !options.force && !options.update)
        table.problem(row.line, QStringLiteral("%1 exists; --force replaces it").arg(pathIn(dir, row.fileName)));
    else
        return true;
    return false;
}

// Writes (as temporaries) or lists the file of every planned row: those kept
// from the first reading, or (none kept) each read again. False when a row's
// place is taken (told) or a file could not be written (told).
bool writeRows(LoadedTable &table, const std::vector<LoadedTable::Place> &plan, const std::vector<PlannedRow> &kept,
               PlantFolder *folder, const QString &dir, const MakeOptions &options, Outcome *outcome)
{
    if (folder)
        folder->reserve(int(plan.size()), qsizetype(plan.size()) * 16); // grows past it as needed
    const PlantPlanner planner(table.header());
    const bool listed = options.update || options.dryRun;
    PlannedRow read;
    for (size_t i = 0; i < plan.size(); ++i) {
        if (kept.empty()) {
            table.seek(plan[i]);
            CsvRecord record;
            if (!table.next(&record) || !readPlantRow(table, planner, record, &read))
                return false; // the same bytes as before: not reached
        }
        const PlannedRow &row = kept.empty() ? read : kept[i];
        std::optional<QByteArray> existing;
        if (folder && !existingFile(table, *folder, dir, row, options, &existing)) {
            ++outcome->inTheWay;
            continue;
        }
        const PlannedFile planned = listed ? PlantPlanner::compare(row.setup, existing)
                                           : PlannedFile{ PlannedFile::Kind::New, setupFileBytes(row.setup), {} };
        if (planned.kind == PlannedFile::Kind::Unchanged)
            ++outcome->unchanged;
        else if (listed)
            outcome->listing += (planned.listing(displayText(row.fileName)) + QLatin1Char('\n')).toUtf8();
        const bool write = !options.dryRun && (!options.update || planned.kind != PlannedFile::Kind::Unchanged);
        if (write && outcome->inTheWay == 0) {
            if (!folder->add(QFile::encodeName(row.fileName), planned.bytes, existing.has_value())) {
                writeError(QStringLiteral("%1 could not be written: %2; nothing written")
                               .arg(pathIn(dir, row.fileName), folder->errorString()));
                return false;
            }
            ++outcome->written;
        }
    }
    if (outcome->inTheWay == 0)
        return true;
    table.finishProblems(ExitRefused);
    writeError(QStringLiteral("nothing written"));
    return false;
}

} // namespace

bool readPlantRow(LoadedTable &table, const PlantPlanner &planner, const CsvRecord &record, PlannedRow *row)
{
    if (!table.checkWidth(record))
        return false;
    std::vector<PlanProblem> problems;
    if (planner.readRow(record, row, &problems))
        return true;
    for (const PlanProblem &p : problems)
        table.problem(p);
    return false;
}

bool checkPlantTable(LoadedTable &table, const QString &tablePath, std::vector<LoadedTable::Place> *plan, int *status,
                     const char *nothingDone, std::vector<PlannedRow> *rows)
{
    *status = ExitRefused;
    if (!table.load(tablePath, status)) {
        table.finishProblems(*status);
        return false;
    }
    table.checkHeader({ QLatin1String(TableColumns::file) });
    if (table.problemCount() > 0) {
        table.finishProblems(ExitRefused);
        return false;
    }
    table.noteColumns(true);
    *plan = planRows(table, rows);
    if (table.problemCount() > 0) {
        table.finishProblems(ExitRefused);
        writeError(QStringLiteral("%1: %2 in %3")
                       .arg(QLatin1String(nothingDone), counted(table.problemCount(), "problem"),
                            displayPath(tablePath)));
        return false;
    }
    if (plan->empty()) {
        writeError(QStringLiteral("%1: %2 has no rows").arg(QLatin1String(nothingDone), displayPath(tablePath)));
        return false;
    }
    return true;
}

namespace {

// Tells what the run did (or, in a dry run, would do).
int tellOutcome(const Outcome &outcome, const QString &dir, const MakeOptions &options)
{
    bool listed = true;
    if (options.update || options.dryRun) {
        ReportOutput out;
        out.write(outcome.listing);
        out.write(QStringLiteral("unchanged: %1\n").arg(QLocale(QLocale::English).toString(outcome.unchanged)));
        listed = out.finish();
    }
    if (options.dryRun)
        writeError(QStringLiteral("nothing written: a dry run"));
    else
        writeError(QStringLiteral("%1 setup file%2 written into %3")
                       .arg(outcome.written)
                       .arg(outcome.written == 1 ? "" : "s")
                       .arg(displayPath(dir)));
    return listed ? ExitOk : ExitError;
}

} // namespace

int runMake(const QString &tablePath, const QString &dir, const MakeOptions &options)
{
    LoadedTable table;
    std::vector<LoadedTable::Place> plan;
    std::vector<PlannedRow> rows;
    int status = ExitRefused;
    if (!checkPlantTable(table, tablePath, &plan, &status, "nothing written", &rows))
        return status;
    // A dry run makes no folder: in one that is not there, every file is new.
    const bool openFolder = !options.dryRun || QFileInfo(dir).exists();
    PlantFolder folder(QFile::encodeName(dir));
    if (openFolder && !folder.open()) {
        writeError(QStringLiteral("the folder %1 %2; nothing written").arg(displayPath(dir), folder.errorString()));
        return ExitError;
    }
    Outcome outcome;
    if (!writeRows(table, plan, rows, openFolder ? &folder : nullptr, dir, options, &outcome))
        return table.problemCount() > 0 ? ExitRefused : ExitError;
    if (!options.dryRun && outcome.written > 0 && !folder.commit()) {
        writeError(QStringLiteral("the setup files could not be put into %1: %2; nothing written")
                       .arg(displayPath(dir), folder.errorString()));
        return ExitError;
    }
    return tellOutcome(outcome, dir, options);
}

} // namespace table
} // namespace hvx
