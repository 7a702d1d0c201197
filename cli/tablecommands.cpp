#include "tablecommands.h"

#include "bytenames.h"
#include "decodereport.h"
#include "evalreport.h"
#include "filelist.h"
#include "setuprow.h"
#include "tablesupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <vector>

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

struct UnitRow {
    int line = 0;
    QString file; // as the table names it
    SwitchMap switches;
};

bool readUnitRow(LoadedTable &table, const CsvRecord &record, UnitRow *unit)
{
    if (!table.checkWidth(record))
        return false;
    bool ok = true;
    unit->line = record.line;
    unit->file = table.cell(record, QLatin1String(TableColumns::file)).trimmed();
    if (unit->file.isEmpty()) {
        table.problem(record.line, QLatin1String(TableColumns::file), QStringLiteral("is empty"));
        ok = false;
    }
    for (int b = 1; b <= 4; ++b) {
        const QString column = bankColumns().at(b - 1);
        QString error;
        const std::optional<SwitchBank> bank = bankFromCell(table.cell(record, column), &error);
        if (bank)
            unit->switches.bank(b) = *bank;
        else
            table.problem(record.line, column, error);
        ok &= bool(bank);
    }
    return ok;
}

// One line of text or one JSON object for a unit.
QByteArray unitResult(const LoadedTable &table, const UnitRow &unit, const VerifyReport &report, bool json)
{
    if (json) {
        // The object --verify gives, with the table's line first.
        return (QStringLiteral("{\"line\": %1, ").arg(unit.line) + verifyJson(report).mid(1) + QLatin1Char('\n'))
            .toUtf8();
    }
    const char *status = report.status == VerifyReport::Status::Match ? "match"
        : report.status == VerifyReport::Status::Differ               ? "differ"
        : report.status == VerifyReport::Status::Refused              ? "refused"
                                                                      : "error";
    return (table.at(unit.line, QStringLiteral("%1: %2: %3").arg(unit.file, QLatin1String(status), report.message))
            + QLatin1Char('\n'))
        .toUtf8();
}

int runVerifyTable(const QString &tablePath, bool json)
{
    LoadedTable table;
    int status = ExitUsage;
    if (!table.load(tablePath, &status))
        return table.finishProblems(status);
    table.checkHeader(QStringList{ QLatin1String(TableColumns::file) } + bankColumns());
    // Every row checked first; then each read again and verified.
    std::vector<LoadedTable::Place> places;
    CsvRecord record;
    for (LoadedTable::Place at = table.place(); table.next(&record); at = table.place()) {
        UnitRow unit;
        if (readUnitRow(table, record, &unit))
            places.push_back(at);
    }
    if (table.problemCount() > 0)
        return table.finishProblems(ExitUsage);

    const QDir folder = QFileInfo(tablePath).absoluteDir();
    ReportOutput out;
    bool anyDiffer = false;
    bool anyError = false;
    for (const LoadedTable::Place &at : places) {
        UnitRow unit;
        table.seek(at);
        if (!table.next(&record) || !readUnitRow(table, record, &unit))
            continue; // the same bytes as before: not reached
        const QString path = QDir::isAbsolutePath(unit.file) ? unit.file : folder.filePath(unit.file);
        VerifyReport report = verifyUnit(QFile::encodeName(path), unit.switches);
        report.file.file = unit.file;
        report.file.fileBytes = QFile::encodeName(unit.file);
        anyError |= report.status == VerifyReport::Status::Error;
        anyDiffer |= report.status != VerifyReport::Status::Match;
        out.write(unitResult(table, unit, report, json));
    }
    anyError |= !out.finish();
    return anyError ? ExitError : anyDiffer ? ExitRefused : ExitOk;
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
        ListFault fault = ListFault::None;
        if (!readFileList(textToBytes(list), nullSeparated, &files, &error, &fault)) {
            writeError(error);
            return fault == ListFault::Malformed ? ExitUsage : ExitError;
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
                          "With --verify-table: 0 all match, 1 some differ or refused, 2 some file\n"
                          "unusable, 64 malformed table.\n");
}

} // namespace hvx
