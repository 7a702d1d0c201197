#include "tablecommands.h"

#include "arguments.h"
#include "bytenames.h"
#include "decodereport.h"
#include "evalcommands.h"
#include "evalreport.h"
#include "maketable.h"
#include "plantverify.h"
#include "reportoutput.h"
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

UnitVerdict verdictOf(VerifyReport::Status status)
{
    return status == VerifyReport::Status::Match ? UnitVerdict::Match
        : status == VerifyReport::Status::Differ ? UnitVerdict::Differ
                                                 : UnitVerdict::NotChecked;
}

// Checks one row's unit against the file it names; a row that cannot be
// checked gets its reason, and the other rows are checked all the same.
UnitResult checkUnit(const UnitRow &row)
{
    UnitResult u;
    u.line = row.line;
    if (!row.problem.isEmpty()) {
        u.report = uncompared(row.file, VerifyReport::Status::Error, row.problem);
        return u;
    }
    if (row.reading.state == UnitReading::State::NotRead) {
        u.verdict = UnitVerdict::NotRead;
        u.report = uncompared(row.file, VerifyReport::Status::NotRead, row.reading.problem.message);
        return u;
    }
    u.report = verifyUnit(QFile::encodeName(row.path), row.reading.switches);
    u.report.file.file = row.file;
    u.report.file.fileBytes = QFile::encodeName(row.file);
    const bool compared = u.report.status == VerifyReport::Status::Match
        || u.report.status == VerifyReport::Status::Differ;
    if (compared && row.reading.s4Empty && u.report.file.setup.isDualOutput()) {
        u.report = uncompared(row.file, VerifyReport::Status::Error, emptyS4Problem());
        return u;
    }
    u.verdict = verdictOf(u.report.status);
    return u;
}

// One line of text or one JSON object for a unit.
QByteArray unitResultText(const PrintedProblems &problems, const UnitResult &u, bool json)
{
    if (json) {
        // The object --verify gives, with the table's line first.
        return (QStringLiteral("{\"line\": %1, ").arg(u.line) + verifyJson(u.report).mid(1) + QLatin1Char('\n'))
            .toUtf8();
    }
    const QString file = u.report.file.file.isEmpty() ? QString() : u.report.file.file + QStringLiteral(": ");
    return (problems.at(u.line,
                        file + QLatin1String(verifyStatusName(u.report.status)) + QStringLiteral(": ")
                            + u.report.message)
            + QLatin1Char('\n'))
        .toUtf8();
}

// 1 when any unit differs (units to reset), else 2 when any was not read or
// could not be checked, else 0.
int verifiedStatus(const UnitVerdicts &verdicts, bool written)
{
    if (verdicts.count(UnitVerdict::Differ) > 0)
        return written ? ExitRefused : ExitError;
    return exitStatus(!written || verdicts.overall() != UnitVerdict::Match, false);
}

int verifyTable(const QString &tablePath, const QString &dir, bool json)
{
    PrintedProblems problems(tablePath);
    PlantReader reader(problems);
    const PlantReader::Opened opened = reader.open(tablePath);
    if (opened != PlantReader::Opened::Table)
        return problems.finish(notOpened(reader, opened));
    // A table that cannot be checked at all says nothing of the units.
    if (!checkUnitsHeader(reader) || !checkUnitsRows(reader))
        return problems.finish(ExitError);
    for (const QString &note : reader.columnNotes(false))
        problems.note(note);

    const QString folder = dir.isEmpty() ? QFileInfo(tablePath).absolutePath() : dir;
    ReportOutput out;
    UnitVerdicts verdicts;
    CsvRecord record;
    const int before = problems.count();
    while (reader.next(&record)) {
        const UnitResult u = checkUnit(readUnitRow(reader, record, folder));
        verdicts.add(u.verdict);
        out.write(unitResultText(problems, u, json));
    }
    const bool written = out.finish();
    writeStderr(verdicts.summary() + QLatin1Char('\n'));
    // The rows were read through once before any unit was checked, so a fault
    // in the table's quoting stopped it there; a table that changed since
    // may still show one here.
    if (problems.count() > before)
        return problems.finish(ExitError);
    return verifiedStatus(verdicts, written);
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
        return usageError(QStringLiteral("--into is for --make, --verify-table and --csv --table"));
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
    // Without --into, the setup files go beside the table, where every other
    // command looks for them.
    const QString table = line.value("make");
    const QString dir = line.isSet("into") ? line.value("into") : QFileInfo(table).absolutePath();
    MakeOptions options;
    options.force = line.isSet("force");
    options.update = line.isSet("update");
    options.dryRun = line.isSet("dry-run");
    if (options.force && options.update)
        return usageError(QStringLiteral("--update and --force exclude each other"));
    if (options.dryRun && !options.force && !options.update)
        return usageError(QStringLiteral("--dry-run is for --update or --force"));
    return table::runMake(table, dir, options);
}

int runVerifyTable(const Arguments &line)
{
    return verifyTable(line.value("verify-table"), line.value("into"), line.json());
}

QString tableHelpText()
{
    return QStringLiteral("A table (CSV) has one row per setup file under a header that names its\n"
                          "columns, in any order: file, the selections in the window's words (input\n"
                          "type, input range, ... frequency burnout), S1 to S4 (the setup's switches),\n"
                          "status, message, and for a check in the field read S1 to read S4 (the\n"
                          "switches read off the unit), check and checked. Other columns are the\n"
                          "plant's own (tag, loop, location...): kept, and printed below the summary\n"
                          "of each sheet of --pdf --table. A row's file names its setup file in the\n"
                          "table's folder, or in DIR with --into.\n"
                          "Every table command: 2 a table that cannot be read, 64 a file that is no\n"
                          "table (not UTF-8, no header, both \",\" and \";\" in the header).\n"
                          "With --make and --pdf --table: 0 all written, 1 a problem in the table\n"
                          "(nothing written), 2 not written. With --csv --table: 1 a problem in the\n"
                          "header, 2 a file a row names could not be read.\n"
                          "With --verify-table: 0 all match, 1 some differ, 2 none differs but some\n"
                          "not read or not checked, or a table that cannot be checked at all.\n");
}

} // namespace hvx
