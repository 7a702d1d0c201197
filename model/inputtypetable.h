#pragma once
// What each input type is, one row per type: its item text, its range list,
// its unit, its family and the S1 and S2 positions the type itself turns on.
// The item texts, the encoders, the summaries and the main window's input
// panel all read these rows.

#include "texts.h"

#include <array>
#include <initializer_list>

namespace hvx {

enum class InputFamily { Linear, Thermocouple, Rtd };

// A set of positions 1 to 12 of one bank: bit p-1 stands for position p.
using PositionSet = unsigned;

constexpr PositionSet positionSet(std::initializer_list<int> positions)
{
    PositionSet set = 0;
    for (int p : positions)
        set |= 1u << (p - 1);
    return set;
}

constexpr bool contains(PositionSet set, int position) { return (set >> (position - 1)) & 1u; }

struct InputTypeInfo {
    const char *text; // item of cbInputType, UTF-8
    ListId rangeList;
    const char *unit; // as the summary names it, UTF-8
    InputFamily family;
    // Positions the type turns on whatever its range and options. On S1
    // they are set before the range is settled; on S2 after it, and for a
    // linear type only once the range is settled.
    PositionSet s1;
    PositionSet s2;
    // Positions whose state the type alone decides, off ones included (such
    // as the thermocouple type code on S1 10 to 12): the explanation names
    // the type as their reason.
    PositionSet s1Decided;
    PositionSet s2Decided;
    // One fixed range that writes no range code and leaves RangeIndex unsettled.
    bool fixedRange;
};

// Decided by the type: for a linear type S1 positions 6 and 8 to 11 (and 12
// where no range decides it) and the S2 positions its ranges leave; for a
// thermocouple S1 6 and 9, the type code and all of S2; for an RTD type S1
// 6 and 9 to 12 and the S2 positions the wiring leaves.
constexpr PositionSet AllPositions = 0xfffu;
constexpr PositionSet LinearS1 = positionSet({ 6, 8, 9, 10, 11 });
constexpr PositionSet TcS1 = positionSet({ 6, 9, 10, 11, 12 });
constexpr PositionSet TcS2 = positionSet({ 2, 5, 6, 7 });

// clang-format off
inline constexpr InputTypeInfo inputTypeTable[InputTypeCount] = {
    { "Voltage", ListId::cbIRVoltage, "V", InputFamily::Linear,
      positionSet({ 6, 9, 10 }), positionSet({ 3, 7 }),
      LinearS1, positionSet({ 1, 2, 3, 6, 7, 9, 10, 11, 12 }), false },
    { "Current sink", ListId::cbIRCurrent, "mA", InputFamily::Linear,
      positionSet({ 9, 10, 11 }), positionSet({ 1, 2, 7 }),
      LinearS1, positionSet({ 1, 2, 3, 4, 6, 7, 9, 10, 11, 12 }), false },
    { "Current using Tx Supply", ListId::cbIRCurrentTransmitter, "mA", InputFamily::Linear,
      positionSet({ 9, 10, 11 }), positionSet({ 1, 2, 4, 7, 8, 11 }),
      LinearS1, AllPositions, false },
    { "milliVolt", ListId::cbIRmilliVolt, "mV", InputFamily::Linear,
      positionSet({ 8, 9, 10 }), positionSet({ 2, 7 }),
      LinearS1 | positionSet({ 12 }), positionSet({ 1, 2, 3, 4, 6, 7, 9, 10, 11, 12 }), false },
    { "Potentiometer 2 wire", ListId::cbIRPot2, "ohms", InputFamily::Linear,
      positionSet({ 8, 9, 10, 12 }), positionSet({ 2, 5, 8, 12 }),
      LinearS1 | positionSet({ 12 }), AllPositions, false },
    { "Potentiometer 3 wire", ListId::cbIRPot3, "ohms", InputFamily::Linear,
      positionSet({ 6, 8, 9, 10, 11 }), positionSet({ 3, 4, 7, 8, 11 }),
      LinearS1 | positionSet({ 12 }), AllPositions, true },
    // Thermocouples: the type code on S1 positions 10 to 12, K 000 to T 111.
    { "K type thermocouple", ListId::cbIRTCKJ, "°C", InputFamily::Thermocouple,
      0, TcS2, TcS1, AllPositions, false },
    { "J type thermocouple", ListId::cbIRTCKJ, "°C", InputFamily::Thermocouple,
      positionSet({ 12 }), TcS2, TcS1, AllPositions, false },
    { "R type thermocouple", ListId::cbIRTCRS, "°C", InputFamily::Thermocouple,
      positionSet({ 11 }), TcS2, TcS1, AllPositions, false },
    { "S type thermocouple", ListId::cbIRTCRS, "°C", InputFamily::Thermocouple,
      positionSet({ 11, 12 }), TcS2, TcS1, AllPositions, false },
    { "N type thermocouple", ListId::cbIRTCNE, "°C", InputFamily::Thermocouple,
      positionSet({ 10 }), TcS2, TcS1, AllPositions, false },
    { "E type thermocouple", ListId::cbIRTCNE, "°C", InputFamily::Thermocouple,
      positionSet({ 10, 12 }), TcS2, TcS1, AllPositions, false },
    { "B type thermocouple", ListId::cbIRTCB, "°C", InputFamily::Thermocouple,
      positionSet({ 10, 11 }), TcS2, TcS1, AllPositions, false },
    { "T type thermocouple", ListId::cbIRTCT, "°C", InputFamily::Thermocouple,
      positionSet({ 10, 11, 12 }), TcS2, TcS1, AllPositions, false },
    // RTD: the wiring adds its own S2 positions.
    { "RTD PT100", ListId::cbIRRTD, "°C", InputFamily::Rtd,
      positionSet({ 9 }), positionSet({ 2 }),
      positionSet({ 6, 9, 10, 11, 12 }), positionSet({ 1, 2, 3, 4, 6, 7, 11 }), false },
    { "RTD PT1000", ListId::cbIRRTD, "°C", InputFamily::Rtd,
      positionSet({ 9, 12 }), positionSet({ 2 }),
      positionSet({ 6, 9, 10, 11, 12 }), positionSet({ 1, 2, 3, 4, 6, 7, 11 }), false },
};
// clang-format on

constexpr int InputRangeListCount = 12;

// The range lists of the input types, once each, in the order of the rows
// (the order in which the window hides them): cbIRVoltage to cbIRRTD.
constexpr std::array<ListId, InputRangeListCount> inputRangeLists()
{
    std::array<ListId, InputRangeListCount> lists{};
    int count = 0;
    for (const InputTypeInfo &row : inputTypeTable)
        if (count == 0 || lists[static_cast<std::size_t>(count - 1)] != row.rangeList)
            lists[static_cast<std::size_t>(count++)] = row.rangeList;
    return lists;
}

// The row of an input type (0 to 15); nothing for any other index.
const InputTypeInfo *inputTypeInfo(int inputType);

// rangeListFor(), unitFor(), isLinearType(), isThermocouple() and isRtd()
// (texts.h) read these rows too.

} // namespace hvx
