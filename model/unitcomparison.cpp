#include "unitcomparison.h"

#include "evaluation.h"

#include <QStringList>

#include <algorithm>

namespace hvx {

namespace {

const char *onOff(bool on) { return on ? "on" : "off"; }

bool inSwap(const std::vector<std::pair<int, int>> &swapped, int bank)
{
    return std::any_of(swapped.begin(), swapped.end(),
                       [bank](const std::pair<int, int> &s) { return s.first == bank || s.second == bank; });
}

} // namespace

QString SwitchDifference::text() const
{
    return QStringLiteral("%1 is %2, the setup needs it %3")
        .arg(position.name(), QLatin1String(onOff(unitOn)), QLatin1String(onOff(setupOn)));
}

QString UnitComparison::directions() const
{
    QStringList parts;
    for (const std::pair<int, int> &s : swapped)
        parts << QStringLiteral("S%1 and S%2 look swapped").arg(s.first).arg(s.second);
    for (const SwitchDifference &d : differences) {
        if (!inSwap(swapped, d.position.bank))
            parts << d.text();
    }
    return parts.join(QStringLiteral("; "));
}

UnitComparison compareUnitWithSwitches(const SwitchMap &unit, const SwitchMap &setup)
{
    UnitComparison c;
    c.evaluated = true;
    c.differs = compareSwitchMaps(setup, unit);
    for (const SwitchPosition &p : c.differs)
        c.differences.push_back({ p, unit.bank(p.bank).isOn(p.position), setup.bank(p.bank).isOn(p.position) });
    for (int a = 1; a <= 4; ++a) {
        for (int b = a + 1; b <= 4; ++b) {
            // A bank already taken by another swap is not swapped twice.
            if (setup.bank(a) != setup.bank(b) && unit.bank(a) == setup.bank(b) && unit.bank(b) == setup.bank(a)
                && !inSwap(c.swapped, a) && !inSwap(c.swapped, b))
                c.swapped.emplace_back(a, b);
        }
    }
    return c;
}

UnitComparison compareUnitWithSetup(const SwitchMap &unit, const Setup &setup, const QLocale &locale)
{
    EvaluationValues values;
    const EvaluationOutcome outcome = Evaluate(setup, values, locale);
    if (!outcome.completed) {
        UnitComparison c;
        c.message = QStringLiteral("The current setup cannot be evaluated: %1").arg(outcome.status);
        if (!c.message.endsWith(QLatin1Char('.')) && !c.message.endsWith(QLatin1Char('!')))
            c.message += QLatin1Char('.');
        return c;
    }
    UnitComparison c = compareUnitWithSwitches(unit, values.map);
    c.message = c.differs.empty() ? QStringLiteral("The unit is set as the current setup.")
                                  : QStringLiteral("The unit differs from the current setup: %1.").arg(c.directions());
    return c;
}

} // namespace hvx
