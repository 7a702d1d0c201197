#include "plantproblem.h"

#include <QLocale>
#include <QStringList>

namespace hvx {

QString counted(qsizetype count, const char *what)
{
    return QStringLiteral("%1 %2%3").arg(QLocale(QLocale::English).toString(count), QLatin1String(what),
                                         count == 1 ? "" : "s");
}

QString PlantProblem::columnText() const
{
    return column.isEmpty() ? message : QStringLiteral("column \"%1\": %2").arg(column, message);
}

QString PlantProblem::text() const
{
    return QStringLiteral("line %1").arg(line) + (column.isEmpty() ? QStringLiteral(": ") : QStringLiteral(", "))
        + columnText();
}

void ProblemList::take(const PlantProblem &problem)
{
    if (int(m_problems.size()) < m_limit)
        m_problems.push_back(problem);
}

QString ProblemList::text() const
{
    QStringList lines;
    for (const PlantProblem &p : m_problems)
        lines << p.text();
    if (count() > int(m_problems.size()))
        lines << QStringLiteral("... and %1 more")
                     .arg(QLocale(QLocale::English).toString(count() - qsizetype(m_problems.size())));
    return lines.join(QLatin1Char('\n'));
}

} // namespace hvx
