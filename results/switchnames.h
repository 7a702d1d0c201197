#pragma once
// What a screen reader says for one switch position of a drawn bank
// (switchPositionName(), "S2 switch 5, on", shared with the explanations),
// and for a whole bank.

#include "switchexplanation.h"

#include <QString>

namespace hvx {

class SwitchBank;

// The bank (1 to 4) read in one go, its on positions in order: "S1: on 3, 8,
// 9 and 10; the others off", "S2: on 5; the others off", "S3: all off",
// "S4: all on".
QString bankReading(int bank, const SwitchBank &positions);

} // namespace hvx
