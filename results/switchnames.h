#pragma once
// What a screen reader says for one switch position of a drawn bank.

#include <QString>

namespace hvx {

// "S2 switch 5, on": the bank (1 to 4), the position (1 to 12) and its state.
inline QString switchPositionName(int bank, int position, bool on)
{
    return QStringLiteral("S%1 switch %2, %3")
        .arg(bank)
        .arg(position)
        .arg(on ? QStringLiteral("on") : QStringLiteral("off"));
}

} // namespace hvx
