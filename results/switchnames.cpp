#include "switchnames.h"

#include "switchmap.h"

#include <QStringList>

namespace hvx {

QString bankReading(int bank, const SwitchBank &positions)
{
    QStringList on;
    for (int p = 1; p <= 12; ++p)
        if (positions.isOn(p))
            on << QString::number(p);
    const QString name = QStringLiteral("S%1: ").arg(bank);
    if (on.isEmpty())
        return name + QStringLiteral("all off");
    if (on.size() == 12)
        return name + QStringLiteral("all on");
    const QString last = on.takeLast();
    const QString list = on.isEmpty() ? last : on.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
    return name + QStringLiteral("on ") + list + QStringLiteral("; the others off");
}

} // namespace hvx
