#include "unitverdicts.h"

namespace hvx {

int UnitVerdicts::total() const
{
    int n = 0;
    for (const int c : m_counts)
        n += c;
    return n;
}

QString UnitVerdicts::summary() const
{
    const auto count = [this](UnitVerdict v, const char *one, const char *many) {
        const int n = this->count(v);
        return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
    };
    return QStringLiteral("%1 %2: %3, %4, %5, %6")
        .arg(QString::number(total()), QLatin1String(total() == 1 ? "unit" : "units"),
             count(UnitVerdict::Match, "matches", "match"), count(UnitVerdict::Differ, "differs", "differ"),
             count(UnitVerdict::NotRead, "not read", "not read"),
             count(UnitVerdict::NotChecked, "could not be checked", "could not be checked"));
}

UnitVerdict UnitVerdicts::overall() const
{
    if (count(UnitVerdict::NotRead) > 0 || count(UnitVerdict::NotChecked) > 0)
        return UnitVerdict::NotChecked;
    return count(UnitVerdict::Differ) > 0 ? UnitVerdict::Differ : UnitVerdict::Match;
}

} // namespace hvx
