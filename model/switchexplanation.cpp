#include "switchexplanation.h"

namespace hvx {

QString switchPositionName(int bank, int position, bool on)
{
    return QStringLiteral("S%1 switch %2, %3")
        .arg(bank)
        .arg(position)
        .arg(on ? QStringLiteral("on") : QStringLiteral("off"));
}

QString SwitchExplanation::text() const
{
    return switchPositionName(bank, position, on) + QStringLiteral(": ") + reason;
}

SetupExplanation explainSwitches(const Setup &setup, const QLocale &locale)
{
    SetupExplanation e;
    SwitchReasons reasons;
    e.outcome = Evaluate(setup, e.values, locale, &reasons);
    e.positions.reserve(48);
    for (int bank = 1; bank <= 4; ++bank) {
        for (int p = 1; p <= 12; ++p) {
            QString reason = reasons.reason(bank, p);
            if (reason.isEmpty())
                reason = Reasons::unused();
            e.positions.push_back({ bank, p, e.values.map.bank(bank).isOn(p), reason });
        }
    }
    return e;
}

} // namespace hvx
