#pragma once
// Every selection of one converter setup, one field per control of the main
// window and named after it.

#include "texts.h"

#include <QString>

namespace hvx {

// The buttons of rgDualOutput and rgDualType, as the setup (and its file)
// stores them.
namespace DualOutputChoice {
constexpr int Single = 0;
constexpr int Dual = 1;
} // namespace DualOutputChoice
namespace DualTypeChoice {
constexpr int Analog = 0;
constexpr int TripRelay = 1;
constexpr int Frequency = 2;
} // namespace DualTypeChoice

struct Setup {
    // Lists: zero-based item index, -1 while nothing is chosen.
    int cbInputType = -1;
    int cbInputRange = -1;
    int cbIRVoltage = -1;
    int cbIRCurrent = -1;
    int cbIRCurrentTransmitter = -1;
    int cbIRmilliVolt = -1;
    int cbIRPot2 = -1;
    int cbIRPot3 = -1;
    int cbIRTCKJ = -1;
    int cbIRTCRS = -1;
    int cbIRTCNE = -1;
    int cbIRTCB = -1;
    int cbIRTCT = -1;
    int cbIRRTD = -1;
    int cbOutputRange = -1;
    int cbOutputRange2 = -1;
    int cbTripOutput = -1;
    int cbFreqOutputRange = -1;

    // Choices: zero-based index of the chosen button; -1 (no button chosen)
    // only arises from a setup file.
    int rgLinearisation = 0;
    int rgColdJunction = 0;
    int rgRTDType = 0;
    int rgConversionSpeed = 0;
    int rgBurnout = 0;
    int rgInversion = 0;
    int rgSquareRoot = 0;
    int rgButtonIsolation = 0;
    int rgDualOutput = 0;
    int rgDualType = 0;
    int rgBurnout2 = 0;
    int rgInversion2 = 0;
    int rgSquareRoot2 = 0;
    int rgTripBurnout = 0;
    int rgTripLEDstate = 0;
    int rgTripRelativeTo = 0;
    int rgFreqBurnout = 0;

    // Custom range texts, as typed.
    QString eCustomLow;
    QString eCustomHigh;

    // Whether the conversion speed choice is shown in the main window.
    bool conversionSpeedShown = false;

    // Table access by control.
    int &list(ListId id);
    int list(ListId id) const;
    int &choice(ChoiceId id);
    int choice(ChoiceId id) const;

    // Selection of the range list that belongs to the chosen input type
    // (-1 when no type is chosen).
    int inputRange() const;

    // Whether the setup has a second output (bank S4). A choice left unset by
    // a file is neither single nor dual output.
    bool isDualOutput() const { return rgDualOutput == DualOutputChoice::Dual; }
    bool isSingleOutput() const { return rgDualOutput == DualOutputChoice::Single; }

    bool operator==(const Setup &o) const;
    bool operator!=(const Setup &o) const { return !(*this == o); }
};

} // namespace hvx
