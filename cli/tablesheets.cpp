#include "tablesheets.h"

#include "bytenames.h"
#include "displaytext.h"
#include "evaluation.h"
#include "maketable.h"
#include "pdfoutput.h"
#include "plantplanner.h"
#include "setupfile.h"
#include "setuprow.h"
#include "tablesupport.h"
#include "wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace hvx {
namespace table {
namespace {

// The sheet of every planned row, in table order.
QList<ResultSheet> rowSheets(LoadedTable &table, const std::vector<LoadedTable::Place> &plan)
{
    const PlantPlanner planner(table.header());
    QList<ResultSheet> sheets;
    sheets.reserve(qsizetype(plan.size()));
    for (const LoadedTable::Place &place : plan) {
        table.seek(place);
        CsvRecord record;
        PlannedRow row;
        if (!table.next(&record) || !readPlantRow(table, planner, record, &row))
            return {}; // the same bytes as before: not reached
        ResultSheet sheet{ row.setup, EvaluationValues(), row.fileName, planner.plantColumnsLine(record) };
        Evaluate(sheet.setup, sheet.values);
        sheets.append(sheet);
    }
    return sheets;
}

// The bank columns the table lacks: added empty, for the switches read off
// the units.
QStringList lackedBanks(const LoadedTable &table)
{
    QStringList lacked;
    for (const QString &bank : bankColumns())
        if (table.column(bank) < 0)
            lacked << bank;
    return lacked;
}

// The row's cells with each setup column (added at the end where the header
// lacks it) taken from the setup, and the bank columns the header lacks
// added empty. The file cell names the file read, as --verify-table finds
// it from a table in the current folder.
QStringList rowWithSetup(const LoadedTable &table, const CsvRecord &record, const QString &file, const Setup &setup)
{
    const QStringList &lacked = table.header().lackedSetup;
    const qsizetype width = table.headerCells().size();
    QStringList cells = record.cells;
    cells.resize(width); // cells past the header are empty (checkWidth)
    cells += QStringList(lacked.size() + lackedBanks(table).size());
    const QStringList values = setupRowValues(setup);
    for (int i = 0; i < values.size(); ++i) {
        const int column = table.column(setupColumns().at(i));
        cells[column >= 0 ? column : width + lacked.indexOf(setupColumns().at(i))] = values.at(i);
    }
    cells[table.column(QLatin1String(TableColumns::file))] = file;
    return cells;
}

// The setup of the file a row names in dir, and the file's path; false
// (told) when there is none.
bool rowSetup(LoadedTable &table, const CsvRecord &record, const QDir &dir, Setup *setup, QString *path)
{
    if (!table.checkWidth(record))
        return false;
    QString problem;
    const QString name = PlantPlanner::fileNameOf(table.cell(record, QLatin1String(TableColumns::file)), &problem);
    if (name.isEmpty()) {
        table.problem(record.line, QLatin1String(TableColumns::file), problem);
        return false;
    }
    *path = dir.filePath(name);
    QString why;
    const LoadStatus status = loadSetupFile(*path, *setup, &why);
    if (status == LoadStatus::Ok)
        return true;
    table.problem(record.line,
                  status == LoadStatus::CannotOpen ? FileMessages::couldNotBeOpened(displayPath(*path), why)
                                                   : FileMessages::notASetupFile(displayPath(*path), why));
    return false;
}

} // namespace

int runTableSheets(const QString &tablePath, const QByteArray &pdfPath)
{
    const QString pdfName = displayText(bytesToText(pdfPath));
    if (isOneOfTheFiles(pdfPath, { QFile::encodeName(tablePath) }))
        return usageError(QStringLiteral("%1 is the table; --pdf would overwrite it").arg(pdfName));
    if (const QString why = whyNotReplaceable(pdfPath); !why.isEmpty()) {
        writeError(QStringLiteral("%1 could not be written: %2").arg(pdfName, why));
        return ExitError;
    }
    LoadedTable table;
    std::vector<LoadedTable::Place> plan;
    int status = ExitRefused;
    if (!checkPlantTable(table, tablePath, &plan, &status, "nothing printed"))
        return status;
    QString error;
    if (!writeSheetsPdf(pdfPath, rowSheets(table, plan), &error)) {
        writeError(error);
        return ExitError;
    }
    writeError(QStringLiteral("%1 printed into %2").arg(counted(qsizetype(plan.size()), "sheet"), pdfName));
    return ExitOk;
}

int runTableBack(const QString &tablePath, const QString &dir)
{
    LoadedTable table;
    int status = ExitUsage;
    if (!table.load(tablePath, &status))
        return table.finishProblems(status);
    table.checkHeader({ QLatin1String(TableColumns::file) });
    if (table.problemCount() > 0)
        return table.finishProblems(table.header().nearMisses.isEmpty() ? ExitUsage : ExitRefused);
    const QDir folder(dir.isEmpty() ? QFileInfo(tablePath).absolutePath() : dir);
    const QStringList header = table.headerCells() + table.header().lackedSetup + lackedBanks(table);
    ReportOutput out;
    out.write(csvByteOrderMark() + csvLine(header));
    CsvRecord record;
    while (table.next(&record)) {
        Setup setup;
        QString path;
        const bool read = rowSetup(table, record, folder, &setup, &path);
        // Without --into, the files are beside the table: their names.
        const QString file = dir.isEmpty() ? QFileInfo(path).fileName() : path;
        out.write(read ? csvLine(rowWithSetup(table, record, file, setup)) : csvLine(record.cells));
    }
    const bool written = out.finish();
    return table.finishProblems(exitStatus(!written || table.problemCount() > 0, false));
}

} // namespace table
} // namespace hvx
