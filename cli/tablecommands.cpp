#include "tablecommands.h"

#include "arguments.h"
#include "bytenames.h"
#include "decodereport.h"
#include "evalcommands.h"
#include "evalreport.h"
#include "maketable.h"
#include "setuprow.h"
#include "tablesheets.h"
#include "tablesupport.h"
#include "unitverdicts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace hvx {
namespace {

using namespace table;

QString withoutLoneSurrogates(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            text[i] = QChar(QChar::ReplacementCharacter);
    }
    return text;
}

QStringList exportRow(const FileReport &r)
{
    QStringList row{ withoutLoneSurrogates(r.file) };
    if (r.status == FileReport::Status::Error)
        row += QStringList(setupColumns().size());
    else
        row += setupRowValues(r.setup);
    for (int b = 1; b <= 4; ++b)
        row << (r.status == FileReport::Status::Ok ? bankCellText(r.values.map.bank(b)) : QString());
    const char *status = r.status == FileReport::Status::Ok ? "ok"
        : r.status == FileReport::Status::Refused           ? "refused"
                                                            : "error";
    const QString note = r.status == FileReport::Status::Error ? QString() : unsetChoicesNote(r.setup);
    return row << QLatin1String(status)
               << (note.isEmpty()            ? r.message
                       : r.message.isEmpty() ? note
                                             : r.message + QStringLiteral("; ") + note);
}

int exportTable(const QList<QByteArray> &files)
{
    ReportOutput out;
    out.write(csvByteOrderMark() + csvLine(allTableColumns()));
    bool anyRefused = false;
    bool anyError = false;
    for (const QByteArray &file : files) {
        const FileReport report = evaluateFile(file);
        anyRefused |= report.status == FileReport::Status::Refused;
        anyError |= report.status == FileReport::Status::Error;
        out.write(csvLine(exportRow(report)));
    }
    anyError |= !out.finish();
    return exitStatus(anyError, anyRefused);
}

// A row of a units table checked: its verdict, and the report its line or
// JSON object gives.
struct UnitResult {
    int line = 0;
    UnitVerdict verdict = UnitVerdict::NotChecked;
    VerifyReport report;
};

// The report of a unit that was not compared with its file, and why.
VerifyReport uncompared(const QString &file, VerifyReport::Status status, const QString &message)
{
    VerifyReport r;
    r.status = status;
    r.message = message;
    r.file.file = file;
    r.file.fileBytes = QFile::encodeName(file);
    return r;
}

QString columnProblem(const RowProblem &p) { return QStringLiteral("column \"%1\": %2").arg(p.column, p.message); }

UnitVerdict verdictOf(VerifyReport::Status status)
{
    return status == VerifyReport::Status::Match ? UnitVerdict::Match
        : status == VerifyReport::Status::Differ ? UnitVerdict::Differ
                                                 : UnitVerdict::NotChecked;
}

// Checks one row's unit against the file it names; a row that cannot be
// checked gets its reason, and the other rows are checked all the same.
UnitResult checkUnit(const LoadedTable &table, const CsvRecord &record, const QDir &folder)
{
    UnitResult u;
    u.line = record.line;
    const QString file = table.cell(record, QLatin1String(TableColumns::file)).trimmed();
    QStringList banks;
    for (const QString &column : bankColumns())
        banks << table.cell(record, column);
    const UnitReading reading = unitFromBankCells(banks);
    QString problem = table.widthProblem(record);
    if (problem.isEmpty() && file.isEmpty())
        problem = columnProblem({ QLatin1String(TableColumns::file), QStringLiteral("is empty") });
    if (problem.isEmpty() && reading.state == UnitReading::State::NotRead) {
        u.verdict = UnitVerdict::NotRead;
        u.report = uncompared(file, VerifyReport::Status::NotRead, reading.problem.message);
        return u;
    }
    if (problem.isEmpty() && reading.state == UnitReading::State::Unreadable)
        problem = columnProblem(reading.problem);
    if (!problem.isEmpty()) {
        u.report = uncompared(file, VerifyReport::Status::Error, problem);
        return u;
    }
    const QString path = QDir::isAbsolutePath(file) ? file : folder.filePath(file);
    u.report = verifyUnit(QFile::encodeName(path), reading.switches);
    u.report.file.file = file;
    u.report.file.fileBytes = QFile::encodeName(file);
    const bool compared = u.report.status == VerifyReport::Status::Match
        || u.report.status == VerifyReport::Status::Differ;
    if (compared && reading.s4Empty && u.report.file.setup.isDualOutput()) {
        u.report = uncompared(file, VerifyReport::Status::Error,
                              columnProblem({ bankColumns().at(3),
                                              QStringLiteral("is empty; a dual-output unit needs "
                                                             "the twelve switches read off it") }));
        return u;
    }
    u.verdict = verdictOf(u.report.status);
    return u;
}

// One line of text or one JSON object for a unit.
QByteArray unitResultText(const LoadedTable &table, const UnitResult &u, bool json)
{
    if (json) {
        // The object --verify gives, with the table's line first.
        return (QStringLiteral("{\"line\": %1, ").arg(u.line) + verifyJson(u.report).mid(1) + QLatin1Char('\n'))
            .toUtf8();
    }
    const QString file = u.report.file.file.isEmpty() ? QString() : u.report.file.file + QStringLiteral(": ");
    return (table.at(u.line,
                     file + QLatin1String(verifyStatusName(u.report.status)) + QStringLiteral(": ") + u.report.message)
            + QLatin1Char('\n'))
        .toUtf8();
}

int verifyTable(const QString &tablePath, bool json)
{
    LoadedTable table;
    int status = ExitUsage;
    if (!table.load(tablePath, &status))
        return table.finishProblems(status);
    // S4 may be left out: a single-output unit's sheet has none.
    table.checkHeader(QStringList{ QLatin1String(TableColumns::file) } + bankColumns().mid(0, 3));
    if (table.problemCount() > 0)
        return table.finishProblems(table.header().nearMisses.isEmpty() ? ExitUsage : ExitRefused);
    table.noteColumns(false);

    const QDir folder = QFileInfo(tablePath).absoluteDir();
    ReportOutput out;
    UnitVerdicts verdicts;
    CsvRecord record;
    while (table.next(&record)) {
        const UnitResult u = checkUnit(table, record, folder);
        verdicts.add(u.verdict);
        out.write(unitResultText(table, u, json));
    }
    const bool written = out.finish();
    writeStderr(verdicts.summary() + QLatin1Char('\n'));
    // A fault in the table's quoting ends the reading: the rows after it are
    // not read at all.
    if (table.problemCount() > 0)
        return table.finishProblems(ExitUsage);
    const UnitVerdict overall = verdicts.overall();
    return exitStatus(!written || (overall != UnitVerdict::Match && overall != UnitVerdict::Differ),
                      overall == UnitVerdict::Differ);
}

} // namespace

int runExport(const Arguments &line)
{
    if (line.isSet("table")) {
        if (!line.operands().isEmpty() || line.isSet("files-from"))
            return usageError(QStringLiteral("--csv --table takes no FILE: the table names the files"));
        return table::runTableBack(line.value("table"), line.value("into"));
    }
    if (line.isSet("into"))
        return usageError(QStringLiteral("--into is for --make and --csv --table"));
    QList<QByteArray> files;
    if (const int status = gatherFilesOrTell(line, &files); status != ExitOk)
        return status;
    // Lists that name no file leave no table to write.
    if (files.isEmpty())
        return usageError(QStringLiteral("no setup file named"));
    return exportTable(files);
}

int runEvaluateOrSheets(const Arguments &line)
{
    if (!line.isSet("table"))
        return runEvaluate(line);
    if (!line.isSet("pdf"))
        return usageError(QStringLiteral("--table is for --pdf and --csv"));
    if (!line.operands().isEmpty() || line.isSet("files-from") || line.isSet("json"))
        return usageError(QStringLiteral("--pdf --table takes no FILE and no --json: the table names the files"));
    return table::runTableSheets(line.value("table"), textToBytes(line.value("pdf")));
}

int runMakeTable(const Arguments &line)
{
    const QString dir = line.value("into");
    if (dir.isEmpty())
        return usageError(QStringLiteral("--make needs --into DIR, the folder for the setup files"));
    table::MakeOptions options;
    options.force = line.isSet("force");
    options.update = line.isSet("update");
    options.dryRun = line.isSet("dry-run");
    if (options.force && options.update)
        return usageError(QStringLiteral("--update and --force exclude each other"));
    if (options.dryRun && !options.force && !options.update)
        return usageError(QStringLiteral("--dry-run is for --update or --force"));
    return table::runMake(line.value("make"), dir, options);
}

int runVerifyTable(const Arguments &line) { return verifyTable(line.value("verify-table"), line.json()); }

QString tableHelpText()
{
    return QStringLiteral("A table (CSV) has one row per setup file under a header that names its\n"
                          "columns, in any order: file, the selections in the window's words (input\n"
                          "type, input range, ... frequency burnout), S1 to S4, status, message.\n"
                          "Other columns are the plant's own (tag, loop, location...): kept, and\n"
                          "printed below the summary of each sheet of --pdf --table.\n"
                          "With --csv: exit status as for the report; with --table, 2 when a file\n"
                          "a row names could not be read. With --make: 0 all written, 1 a problem\n"
                          "in the table (nothing written), 2 not read or not written. With --pdf\n"
                          "--table: 0 all printed, 1 a problem in the table (nothing printed), 2 not\n"
                          "read or not written.\n"
                          "With --verify-table: 0 all match, 1 some differ, 2 some not read or\n"
                          "not checked, 64 a table that cannot be read.\n");
}

} // namespace hvx
