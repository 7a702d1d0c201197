#include "tablecommands.h"

#include "arguments.h"
#include "decodereport.h"
#include "evalreport.h"
#include "maketable.h"
#include "setuprow.h"
#include "tablesupport.h"

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
    return row << QLatin1String(status) << r.message;
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

int verifyTable(const QString &tablePath, bool json)
{
    LoadedTable table;
    int status = ExitUsage;
    if (!loadTable(tablePath, &table, &status))
        return reportProblems(table.problems, status);
    table.checkHeader(QStringList{ QLatin1String(TableColumns::file) } + bankColumns());
    QList<UnitRow> units;
    for (const CsvRecord &record : table.csv.records) {
        UnitRow unit;
        if (!record.isBlank() && readUnitRow(table, record, &unit))
            units << unit;
    }
    if (!table.problems.isEmpty())
        return reportProblems(table.problems, ExitUsage);

    const QDir folder = QFileInfo(tablePath).absoluteDir();
    ReportOutput out;
    bool anyDiffer = false;
    bool anyError = false;
    for (const UnitRow &unit : units) {
        const QString path = QDir::isAbsolutePath(unit.file) ? unit.file : folder.filePath(unit.file);
        VerifyReport report = verifyUnit(QFile::encodeName(path), unit.switches);
        report.file.file = unit.file;
        report.file.fileBytes = QFile::encodeName(unit.file);
        anyError |= report.status == VerifyReport::Status::Error;
        anyDiffer |= report.status != VerifyReport::Status::Match;
        out.write(unitResult(table, unit, report, json));
    }
    anyError |= !out.finish();
    return exitStatus(anyError, anyDiffer);
}

} // namespace

int runExport(const Arguments &line)
{
    QList<QByteArray> files;
    QString error;
    if (!line.gatherFiles(&files, &error)) {
        writeError(error);
        return ExitError;
    }
    // Lists that name no file leave no table to write.
    if (files.isEmpty())
        return usageError(QStringLiteral("no setup file named"));
    return exportTable(files);
}

int runMakeTable(const Arguments &line)
{
    const QString dir = line.value("into");
    if (dir.isEmpty())
        return usageError(QStringLiteral("--make needs --into DIR, the folder for the setup files"));
    return table::runMake(line.value("make"), dir, line.isSet("force"));
}

int runVerifyTable(const Arguments &line) { return verifyTable(line.value("verify-table"), line.json()); }

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
