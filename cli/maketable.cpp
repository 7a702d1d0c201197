#include "maketable.h"

#include "displaytext.h"
#include "reportoutput.h"
#include "tablesupport.h"

#include <QLocale>

namespace hvx {
namespace table {
namespace {

// Tells what the run did (or, in a dry run, would do).
int tellOutcome(const MakeOutcome &outcome, const QString &dir, const MakeOptions &options)
{
    bool listed = true;
    if (options.update || options.dryRun) {
        ReportOutput out;
        for (const QString &line : outcome.listing)
            out.write((line + QLatin1Char('\n')).toUtf8());
        out.write(QStringLiteral("unchanged: %1\n").arg(QLocale(QLocale::English).toString(outcome.unchanged)));
        listed = out.finish();
    }
    if (options.dryRun)
        writeError(QStringLiteral("nothing written: a dry run"));
    else
        writeError(QStringLiteral("%1 written into %2").arg(counted(outcome.written, "setup file"), displayPath(dir)));
    return listed ? ExitOk : ExitError;
}

} // namespace

int runMake(const QString &tablePath, const QString &dir, const MakeOptions &options)
{
    PrintedProblems problems(tablePath);
    const MakeOutcome outcome = makePlant(tablePath, dir, options, problems);
    for (const QString &note : outcome.folderNotes)
        writeError(displayText(note));
    switch (outcome.status) {
    case MakeOutcome::Status::Made:
        return tellOutcome(outcome, dir, options);
    case MakeOutcome::Status::CannotRead:
        writeError(outcome.error);
        return ExitError;
    case MakeOutcome::Status::NotATable:
        return problems.finish(ExitUsage);
    case MakeOutcome::Status::Refused:
        problems.finish(ExitRefused);
        writeError(outcome.error.isEmpty() ? QStringLiteral("nothing written")
                                           : QStringLiteral("nothing written: ") + outcome.error);
        return ExitRefused;
    case MakeOutcome::Status::NotWritten:
    case MakeOutcome::Status::Cancelled:
        break;
    }
    writeError(outcome.error + QStringLiteral("; nothing written"));
    return ExitError;
}

} // namespace table
} // namespace hvx
