#include "evalcommands.h"

#include "arguments.h"
#include "bytenames.h"
#include "decodereport.h"
#include "displaytext.h"
#include "evalreport.h"
#include "pdfoutput.h"
#include "reportoutput.h"
#include "wholefile.h"

namespace hvx {
namespace {

// Refused before any work: the PDF may not replace a setup file to evaluate,
// and only a regular file is ever replaced. Gives the exit status, or ExitOk
// to go on.
int checkPdfPath(const QByteArray &pdfPath, const QList<QByteArray> &files)
{
    const QString pdfName = displayText(bytesToText(pdfPath));
    if (isOneOfTheFiles(pdfPath, files))
        return usageError(QStringLiteral("%1 is one of the setup files to evaluate; --pdf would overwrite it")
                              .arg(pdfName));
    const QString why = whyNotReplaceable(pdfPath);
    if (!why.isEmpty()) {
        writeError(QStringLiteral("%1 could not be written: %2").arg(pdfName, why));
        return ExitError;
    }
    return ExitOk;
}

// SWITCHES written with blanks after the commas arrive in pieces when not
// quoted ("S1=...," "S2=...,"): a piece that ends in a comma, or one that
// starts with one, is joined to the next.
QStringList joinSwitchPieces(const QStringList &arguments)
{
    QStringList joined;
    for (const QString &argument : arguments) {
        if (!joined.isEmpty() && (joined.last().endsWith(QLatin1Char(',')) || argument.startsWith(QLatin1Char(','))))
            joined.last() += argument;
        else
            joined << argument;
    }
    return joined;
}

// The operands of --decode (SWITCHES...) and --verify (FILE SWITCHES), all
// checked before anything is reported; false with the usage problem.
bool readUnitOperands(const Arguments &line, bool decode, QByteArray *file, QList<SwitchMap> *units, QString *why)
{
    QStringList operands = joinSwitchPieces(line.operands());
    if (!decode) {
        if (operands.size() == 2 && parseSwitchMap(operands.first()) && !parseSwitchMap(operands.last()))
            *why = QStringLiteral("--verify takes the FILE first, then the SWITCHES");
        else if (operands.size() != 2)
            *why = QStringLiteral("--verify needs one FILE and one SWITCHES");
        else
            *file = textToBytes(operands.takeFirst());
    } else if (operands.isEmpty()) {
        *why = QStringLiteral("--decode needs the SWITCHES of at least one unit");
    }
    for (int i = 0; i < operands.size() && why->isEmpty(); ++i) {
        QString error;
        const std::optional<SwitchMap> map = parseSwitchMap(operands.at(i), &error);
        if (map)
            *units << *map;
        else
            *why = displayText(QStringLiteral("%1: %2").arg(operands.at(i), error));
    }
    return why->isEmpty();
}

} // namespace

// Evaluates every file, reports each, and prints the PDF when asked for.
int runEvaluate(const Arguments &line)
{
    QList<QByteArray> files;
    if (const int status = gatherFilesOrTell(line, &files); status != ExitOk)
        return status;
    const QByteArray pdfPath = textToBytes(line.value("pdf"));
    if (!pdfPath.isEmpty()) {
        if (const int status = checkPdfPath(pdfPath, files); status != ExitOk)
            return status;
    }
    bool anyRefused = false;
    bool anyError = false;
    ReportOutput out;
    QList<FileReport> reports;
    for (int i = 0; i < files.size(); ++i) {
        const FileReport report = evaluateFile(files.at(i));
        if (!pdfPath.isEmpty())
            reports.append(report);
        anyRefused |= report.status == FileReport::Status::Refused;
        anyError |= report.status == FileReport::Status::Error;
        if (line.json()) {
            out.write(reportJson(report) + QLatin1Char('\n'));
        } else {
            if (i > 0)
                out.write(QStringLiteral("\n"));
            out.write(reportText(report));
        }
    }
    anyError |= !out.finish();
    QString error;
    if (!pdfPath.isEmpty() && !writeResultSheetsPdf(pdfPath, reports, &error)) {
        writeError(error);
        anyError = true;
    }
    return exitStatus(anyError, anyRefused);
}

// Reports the setups that give each unit's switches.
int runDecode(const Arguments &line)
{
    QByteArray file;
    QList<SwitchMap> units;
    QString why;
    if (!readUnitOperands(line, true, &file, &units, &why))
        return usageError(why);
    bool allExact = true;
    ReportOutput out;
    for (int i = 0; i < units.size(); ++i) {
        const DecodeReport report = decodeUnit(units.at(i));
        allExact &= report.result.exact();
        if (line.json()) {
            out.write(decodeJson(report) + QLatin1Char('\n'));
        } else {
            if (i > 0)
                out.write(QStringLiteral("\n"));
            out.write(decodeText(report));
        }
    }
    return exitStatus(!out.finish(), !allExact);
}

// Compares a unit's switches with its setup file.
int runVerify(const Arguments &line)
{
    QByteArray file;
    QList<SwitchMap> units;
    QString why;
    if (!readUnitOperands(line, false, &file, &units, &why))
        return usageError(why);
    const VerifyReport report = verifyUnit(file, units.first());
    ReportOutput out;
    out.write(line.json() ? verifyJson(report) + QLatin1Char('\n') : verifyText(report));
    const bool written = out.finish();
    return exitStatus(!written || report.status == VerifyReport::Status::Error
                          || report.status == VerifyReport::Status::NotRead,
                      report.status != VerifyReport::Status::Match);
}

} // namespace hvx
