#pragma once
// What a screen reader says for one switch position of a drawn bank, and for
// a whole bank.

#include <QString>

namespace hvx {

class SwitchBank;

// "S2 switch 5, on": the bank (1 to 4), the position (1 to 12) and its state.
inline QString switchPositionName(int bank, int position, bool on)
{
    return QStringLiteral("S%1 switch %2, %3")
        .arg(bank)
        .arg(position)
        .arg(on ? QStringLiteral("on") : QStringLiteral("off"));
}

// The bank (1 to 4) read in one go, its on positions in order: "S1: on 3, 8,
// 9 and 10; the others off", "S2: on 5; the others off", "S3: all off",
// "S4: all on".
QString bankReading(int bank, const SwitchBank &positions);

} // namespace hvx
