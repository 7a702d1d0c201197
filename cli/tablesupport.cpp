#include "tablesupport.h"

#include "displaytext.h"
#include "reportoutput.h"

#include <QLocale>

namespace hvx {
namespace table {

QString PrintedProblems::at(int line, const QString &message) const
{
    return displayPath(m_path) + QLatin1Char(':') + QString::number(line) + QStringLiteral(": ") + displayText(message);
}

void PrintedProblems::take(const PlantProblem &problem)
{
    if (count() > ProblemsShown)
        return;
    if (problem.character > 0)
        writeStderr(displayPath(m_path) + QStringLiteral(":%1:%2: ").arg(problem.line).arg(problem.character)
                    + displayText(problem.message) + QLatin1Char('\n'));
    else
        writeStderr(at(problem.line, problem.columnText()) + QLatin1Char('\n'));
}

void PrintedProblems::note(const QString &text) { writeError(displayText(text)); }

int PrintedProblems::finish(int exitStatus) const
{
    if (count() > ProblemsShown)
        writeError(QStringLiteral("%1 more problem%2 not shown")
                       .arg(QLocale(QLocale::English).toString(count() - ProblemsShown))
                       .arg(count() - ProblemsShown == 1 ? "" : "s"));
    return exitStatus;
}

int notOpened(const PlantReader &reader, PlantReader::Opened opened)
{
    if (opened == PlantReader::Opened::CannotRead) {
        writeError(reader.errorString());
        return ExitError;
    }
    return ExitUsage;
}

} // namespace table
} // namespace hvx
