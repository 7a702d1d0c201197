#pragma once
// The switches read off a unit against the switches its setup gives: which
// positions differ, which way each must go, and banks that were read or set
// in each other's place.

#include "decode.h"
#include "setup.h"
#include "switchmap.h"

#include <QLocale>
#include <QString>

#include <utility>
#include <vector>

namespace hvx {

// One position where the unit and the setup differ.
struct SwitchDifference {
    SwitchPosition position;
    bool unitOn = false;
    bool setupOn = false;

    // "S2.5 is on, the setup needs it off".
    QString text() const;
};

struct UnitComparison {
    bool evaluated = false; // whether the setup evaluated completely
    // Why the setup cannot be evaluated, or where the unit differs from it.
    QString message;
    std::vector<SwitchPosition> differs;
    std::vector<SwitchDifference> differences; // the same positions, with their states
    // Pairs of banks (first < second) where the unit holds each bank of the
    // setup in the other's place.
    std::vector<std::pair<int, int>> swapped;

    // What to do, in words: "S1 and S2 look swapped; S3.4 is on, the setup
    // needs it off" (the positions of swapped banks are not listed again).
    QString directions() const;
};

// Compares the unit's switches with the setup's own (message left empty).
UnitComparison compareUnitWithSwitches(const SwitchMap &unit, const SwitchMap &setup);
// Evaluates the setup and compares the unit with it, with a message for the
// Read Switches window.
UnitComparison compareUnitWithSetup(const SwitchMap &unit, const Setup &setup, const QLocale &locale = QLocale());

} // namespace hvx
