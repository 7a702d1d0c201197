#pragma once
// Why each of the 48 switch positions of a setup is on or off, as evaluation
// decides it (see SwitchReasons).

#include "evaluation.h"

#include <QString>

#include <vector>

namespace hvx {

// "S2 switch 5, on": the bank (1 to 4), the position (1 to 12) and its state.
QString switchPositionName(int bank, int position, bool on);

struct SwitchExplanation {
    int bank = 1;
    int position = 1;
    bool on = false;
    QString reason; // "Linearisation off"

    // "S1 switch 5, on: Linearisation off"
    QString text() const;
};

struct SetupExplanation {
    EvaluationOutcome outcome;
    EvaluationValues values;
    // All 48 positions, S1 position 1 to S4 position 12. After a refusal
    // they explain the positions set before it.
    std::vector<SwitchExplanation> positions;
};

// Evaluates the setup and explains every position of the map it gives.
SetupExplanation explainSwitches(const Setup &setup, const QLocale &locale = QLocale());

} // namespace hvx
