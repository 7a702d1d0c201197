#pragma once
// The Evaluate command: turns a Setup into a complete SwitchMap.

#include "setup.h"
#include "switchmap.h"
#include "switchreasons.h"

#include <QLocale>
#include <QString>

namespace hvx {

// Values that evaluation writes and the results window reads. They live beside
// the Setup (in the main window) and persist between evaluations: a value is
// only written by an evaluation step that reaches it.
struct EvaluationValues {
    SwitchMap map;
    int RangeIndex = -1;
    float CustomLow = 0.0f;
    float CustomHigh = 0.0f;
};

// The custom edit that takes the input focus after a failed conversion.
enum class FocusTarget { None, CustomLow, CustomHigh };

struct EvaluationOutcome {
    // The status label text; empty after a complete evaluation.
    QString status;
    FocusTarget focus = FocusTarget::None;
    bool completed = false;
    // Whether an input encoder ran (RangeIndex was then written).
    bool inputEncoderRan = false;
    // Whether CustomLow / CustomHigh were written by this evaluation.
    bool customLowRead = false;
    bool customHighRead = false;
};

// Everything an encoder works on: the setup, the values it writes, the
// outcome it reports into and, when asked for, the reasons of the positions.
struct EvaluationContext {
    const Setup &setup;
    EvaluationValues &values;
    EvaluationOutcome &outcome;
    QLocale locale;
    SwitchReasons *reasons = nullptr;

    // Bank 1 to 4 of the map, written with its reasons.
    BankWriter bank(int number) { return BankWriter(values.map.bank(number), number, reasons); }
};

// Runs the whole Evaluate command on the setup. The map is cleared first; the
// other values keep what they held unless a step writes them. The locale
// gives the decimal separator of the custom texts. With reasons given, each
// rule that decides a position records why in them.
EvaluationOutcome Evaluate(const Setup &setup, EvaluationValues &values, const QLocale &locale = QLocale(),
                           SwitchReasons *reasons = nullptr);

} // namespace hvx
