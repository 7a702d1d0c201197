#include "switchreasons.h"

#include "rangetables.h"

namespace hvx {

std::size_t SwitchReasons::indexOf(int bank, int position)
{
    return static_cast<std::size_t>((bank - 1) * 12 + position - 1);
}

void SwitchReasons::record(int bank, int position, bool on, const QString &reason)
{
    Entry &e = m_entries.at(indexOf(bank, position));
    if (e.on)
        return;
    e.on = on;
    e.reason = reason;
}

QString SwitchReasons::reason(int bank, int position) const { return m_entries.at(indexOf(bank, position)).reason; }

bool SwitchReasons::recordedOn(int bank, int position) const { return m_entries.at(indexOf(bank, position)).on; }

namespace Reasons {

namespace {

QString partOf(const QString &what, const QString &item)
{
    return QStringLiteral("part of the ") + what + QLatin1Char(' ') + item;
}

} // namespace

QString inputType(int type) { return partOf(QStringLiteral("input type"), Texts::itemAt(ListId::cbInputType, type)); }

QString inputRange(ListId rangeList, int index)
{
    return partOf(QStringLiteral("input range"), Texts::itemAt(rangeList, index));
}

QString outputRange(int output, int index)
{
    return partOf(QStringLiteral("output %1 range").arg(output),
                  Texts::itemAt(output == 1 ? ListId::cbOutputRange : ListId::cbOutputRange2, index));
}

QString tripDelay(int index)
{
    return partOf(QStringLiteral("trip delay"), Texts::itemAt(ListId::cbTripOutput, index));
}

QString frequencyRange(int index)
{
    return partOf(QStringLiteral("frequency range"), Texts::itemAt(ListId::cbFreqOutputRange, index));
}

QString choice(ChoiceId id, int index)
{
    // The burnout items read "High burnout" and "Low burnout" here.
    QString item = Texts::itemAt(id, index);
    if (item.isEmpty())
        item = Texts::caption(id) + QStringLiteral(" not chosen");
    switch (id) {
    case ChoiceId::rgConversionSpeed:
        return item + QStringLiteral(" response");
    case ChoiceId::rgRTDType:
        return QStringLiteral("RTD ") + item;
    case ChoiceId::rgBurnout:
    case ChoiceId::rgInversion:
    case ChoiceId::rgSquareRoot:
        return item + QStringLiteral(" (output 1)");
    case ChoiceId::rgBurnout2:
    case ChoiceId::rgInversion2:
    case ChoiceId::rgSquareRoot2:
        return item + QStringLiteral(" (output 2)");
    case ChoiceId::rgTripBurnout:
        return item + QStringLiteral(" in burnout");
    case ChoiceId::rgTripRelativeTo:
        return item + QStringLiteral(" trip");
    case ChoiceId::rgFreqBurnout:
        return item + QStringLiteral(" during burnout");
    default:
        return item;
    }
}

QString dualType(int index) { return Texts::itemAt(ChoiceId::rgDualType, index) + QStringLiteral(" second output"); }

QString unused() { return QStringLiteral("not used by this setup"); }

} // namespace Reasons

} // namespace hvx
