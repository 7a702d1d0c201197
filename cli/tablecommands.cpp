#include "tablecommands.h"

#include "bytenames.h"
#include "decodereport.h"
#include "evalreport.h"
#include "filelist.h"
#include "setuprow.h"
#include "tablesupport.h"
#include "unitverdicts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>

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
    return row << QLatin1String(status) << r.message;
}

int runExport(const QList<QByteArray> &files)
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
    return anyError ? ExitError : anyRefused ? ExitRefused : ExitOk;
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
    if (compared && reading.s4Empty && isDualOutput(u.report.file.setup)) {
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

int runVerifyTable(const QString &tablePath, bool json)
{
    LoadedTable table;
    int status = ExitUsage;
    if (!loadTable(tablePath, &table, &status))
        return reportProblems(table.problems, status);
    // S4 may be left out: a single-output unit's sheet has none.
    table.checkHeader(QStringList{ QLatin1String(TableColumns::file) } + bankColumns().mid(0, 3));
    if (!table.problems.isEmpty())
        return reportProblems(table.problems, table.header.nearMisses.isEmpty() ? ExitUsage : ExitRefused);
    table.noteColumns(false);

    const QDir folder = QFileInfo(tablePath).absoluteDir();
    ReportOutput out;
    UnitVerdicts verdicts;
    for (const CsvRecord &record : table.csv.records) {
        if (record.isBlank())
            continue;
        const UnitResult u = checkUnit(table, record, folder);
        verdicts.add(u.verdict);
        out.write(unitResultText(table, u, json));
    }
    const bool written = out.finish();
    writeStderr(verdicts.summary() + QLatin1Char('\n'));
    if (!written)
        return ExitError;
    const UnitVerdict overall = verdicts.overall();
    return overall == UnitVerdict::Match ? ExitOk : overall == UnitVerdict::Differ ? ExitRefused : ExitError;
}

} // namespace

QList<QCommandLineOption> tableOptions()
{
    return {
        QCommandLineOption(QStringLiteral("csv")),
        QCommandLineOption(QStringLiteral("make"), QString(), QStringLiteral("TABLE")),
        QCommandLineOption(QStringLiteral("into"), QString(), QStringLiteral("DIR")),
        QCommandLineOption(QStringLiteral("force")),
        QCommandLineOption(QStringLiteral("verify-table"), QString(), QStringLiteral("TABLE")),
    };
}

QStringList tableOptionHelp()
{
    return {
        QStringLiteral("write the table of the setup FILEs (CSV) instead of the\nreport"),
        QStringLiteral("write one setup file per row of TABLE (CSV) into DIR;\nevery row is checked first"),
        QStringLiteral("the folder --make writes into (made when missing)"),
        QStringLiteral("--make replaces setup files that exist"),
        QStringLiteral("compare the switches read off each unit, S1 to S4 in\nTABLE, with its setup file, named by the "
                       "row's file"),
    };
}

bool isTableCommand(const QCommandLineParser &parser)
{
    for (const QCommandLineOption &option : tableOptions()) {
        if (parser.isSet(option.names().first()))
            return true;
    }
    return false;
}

namespace {

using namespace table;

// The options a command does not take, named in a usage error.
std::optional<int> refuseOptions(const QCommandLineParser &parser, const char *command,
                                 std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        if (parser.isSet(QLatin1String(name)))
            return usageError(QStringLiteral("--%1 is not for --%2").arg(QLatin1String(name), QLatin1String(command)));
    }
    return std::nullopt;
}

int runExportCommand(const QCommandLineParser &parser)
{
    if (const std::optional<int> refused = refuseOptions(parser, "csv", { "json", "pdf", "into", "force" }))
        return *refused;
    QList<QByteArray> files;
    for (const QString &file : parser.positionalArguments())
        files << textToBytes(file);
    const bool nullSeparated = parser.isSet(QStringLiteral("null"));
    const QStringList lists = parser.values(QStringLiteral("files-from"));
    if (nullSeparated && lists.isEmpty())
        return usageError(QStringLiteral("--null is for a --files-from list"));
    for (const QString &list : lists) {
        QString error;
        if (list.isEmpty())
            return usageError(QStringLiteral("--files-from needs a file name"));
        if (!readFileList(textToBytes(list), nullSeparated, &files, &error)) {
            writeError(error);
            return ExitError;
        }
    }
    if (files.isEmpty())
        return usageError(QStringLiteral("no setup file named"));
    return runExport(files);
}

} // namespace

std::optional<int> runTableCommand(const QCommandLineParser &parser)
{
    if (!isTableCommand(parser))
        return std::nullopt;
    int commands = 0;
    for (const char *name : { "csv", "make", "verify-table", "decode", "verify" })
        commands += parser.isSet(QLatin1String(name)) ? 1 : 0;
    if (commands == 0)
        return usageError(QStringLiteral("--into and --force are for --make"));
    if (commands != 1)
        return usageError(QStringLiteral("--csv, --make, --verify-table, --decode and --verify exclude each other"));
    if (parser.isSet(QStringLiteral("csv")))
        return runExportCommand(parser);

    const char *command = parser.isSet(QStringLiteral("make")) ? "make" : "verify-table";
    const QString table = parser.value(QLatin1String(command));
    if (table.isEmpty())
        return usageError(QStringLiteral("--%1 needs a table").arg(QLatin1String(command)));
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("--%1 takes no FILE: the table names the files").arg(QLatin1String(command)));
    if (std::strcmp(command, "verify-table") == 0) {
        if (const std::optional<int> refused = refuseOptions(parser, command,
                                                             { "pdf", "files-from", "null", "into", "force" }))
            return *refused;
        return runVerifyTable(table, parser.isSet(QStringLiteral("json")));
    }
    if (const std::optional<int> refused = refuseOptions(parser, command, { "json", "pdf", "files-from", "null" }))
        return *refused;
    const QString dir = parser.value(QStringLiteral("into"));
    if (dir.isEmpty())
        return usageError(QStringLiteral("--make needs --into DIR, the folder for the setup files"));
    return runMake(table, dir, parser.isSet(QStringLiteral("force")));
}

QString tableHelpText()
{
    return QStringLiteral("A table (CSV) has one row per setup file under a header that names its\n"
                          "columns, in any order: file, the selections in the window's words (input\n"
                          "type, input range, ... frequency burnout), S1 to S4, status, message.\n"
                          "With --csv: exit status as for the report. With --make: 0 all written,\n"
                          "1 a problem in the table (nothing written), 2 not read or not written.\n"
                          "With --verify-table: 0 all match, 1 some differ, 2 some not read or\n"
                          "not checked, 64 a table that cannot be read.\n");
}

} // namespace hvx
