#include "tablesheets.h"

#include "bytenames.h"
#include "displaytext.h"
#include "pdfoutput.h"
#include "plantsheets.h"
#include "reportoutput.h"
#include "tablesupport.h"
#include "wholefile.h"

#include <QFile>
#include <QFileInfo>

namespace hvx {
namespace table {

int runTableSheets(const QString &tablePath, const QByteArray &pdfPath)
{
    const QString pdfName = displayText(bytesToText(pdfPath));
    if (isOneOfTheFiles(pdfPath, { QFile::encodeName(tablePath) }))
        return usageError(QStringLiteral("%1 is the table; --pdf would overwrite it").arg(pdfName));
    if (const QString why = whyNotReplaceable(pdfPath); !why.isEmpty()) {
        writeError(QStringLiteral("%1 could not be written: %2").arg(pdfName, why));
        return ExitError;
    }
    PrintedProblems problems(tablePath);
    PlantReader reader(problems);
    TableSheets sheets(reader);
    switch (sheets.plan(tablePath)) {
    case PlantPlan::Status::Planned:
        break;
    case PlantPlan::Status::CannotRead:
        return notOpened(reader, PlantReader::Opened::CannotRead);
    case PlantPlan::Status::NotATable:
        return problems.finish(ExitUsage);
    case PlantPlan::Status::Refused:
        problems.finish(ExitRefused);
        writeError(QStringLiteral("nothing printed: %1 in %2")
                       .arg(counted(problems.count(), "problem"), displayPath(tablePath)));
        return ExitRefused;
    case PlantPlan::Status::NoRows:
        writeError(QStringLiteral("nothing printed: %1 has no rows").arg(displayPath(tablePath)));
        return ExitRefused;
    }
    QString error;
    if (!writeSheetsPdf(
            pdfPath, [&sheets](ResultSheet *sheet) { return sheets.next(sheet); }, &error)) {
        writeError(error);
        return ExitError;
    }
    writeError(QStringLiteral("%1 printed into %2").arg(counted(sheets.count(), "sheet"), pdfName));
    return ExitOk;
}

int runTableBack(const QString &tablePath, const QString &dir)
{
    PrintedProblems problems(tablePath);
    PlantReader reader(problems);
    const PlantReader::Opened opened = reader.open(tablePath);
    if (opened != PlantReader::Opened::Table)
        return problems.finish(notOpened(reader, opened));
    ReportOutput out;
    const QString folder = dir.isEmpty() ? QFileInfo(tablePath).absolutePath() : dir;
    if (!writeRegister(reader, folder, [&out](const QByteArray &line) { out.write(line); }))
        return problems.finish(ExitRefused);
    const bool written = out.finish();
    return problems.finish(exitStatus(!written || problems.count() > 0, false));
}

} // namespace table
} // namespace hvx
