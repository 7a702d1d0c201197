#include "rangetables.h"

#include <array>

namespace hvx {
namespace {

// The tables keep one row per listed range.
// clang-format off
// Input ranges, in list order. For the ranges from zero or a live zero the
// code follows the upper value alone (1 -> 0, 2 -> 1, 4 -> 2, 5 -> 4, 7.5 -> 8,
// 8 -> 3, 10 -> 5, 15 -> 9, 20 -> 6, 30 -> 10, 40 -> 7); negative ranges take
// 12 to 15 by their upper value.

constexpr InputRange voltageRanges[] = {
    { "0 to 1 V", 0, 1, 0, S2Pos5 },
    { "0 to 2 V", 0, 2, 1, S2Pos5 },
    { "0 to 4 V", 0, 4, 2, S2Pos5 },
    { "0 to 5 V", 0, 5, 4, S2Pos5 },
    { "0 to 7.5 V", 0, 7.5f, 8, S2Pos5 },
    { "0 to 8 V", 0, 8, 3, S2Pos5 },
    { "0 to 10 V", 0, 10, 5, S2Pos5 },
    { "0 to 15 V", 0, 15, 9, S2Pos5 },
    { "0 to 20 V", 0, 20, 6, S2Pos5 },
    { "0 to 30 V", 0, 30, 10, S2Pos4 | S2Pos8 },
    { "0 to 40 V", 0, 40, 7, S2Pos4 | S2Pos8 },
    { "1 to 2 V", 1, 2, 1, S1Pos12 | S2Pos5 },
    { "1 to 4 V", 1, 4, 2, S1Pos12 | S2Pos5 },
    { "1 to 5 V", 1, 5, 4, S1Pos12 | S2Pos5 },
    { "1 to 7.5 V", 1, 7.5f, 8, S1Pos12 | S2Pos5 },
    { "1 to 8 V", 1, 8, 3, S1Pos12 | S2Pos5 },
    { "1 to 10 V", 1, 10, 5, S1Pos12 | S2Pos5 },
    { "1 to 15 V", 1, 15, 9, S1Pos12 | S2Pos5 },
    { "1 to 20 V", 1, 20, 6, S1Pos12 | S2Pos5 },
    { "1 to 30 V", 1, 30, 10, S1Pos12 | S2Pos4 | S2Pos8 },
    { "1 to 40 V", 1, 40, 7, S1Pos12 | S2Pos4 | S2Pos8 },
    { "-5 to 5 V", -5, 5, 12, S1Pos12 | S2Pos5 },
    { "-5 to 10 V", -5, 10, 13, S1Pos12 | S2Pos5 },
    { "-5 to 20 V", -5, 20, 14, S1Pos12 | S2Pos5 },
    { "-10 to 5 V", -10, 5, 12, S2Pos5 },
    { "-10 to 10 V", -10, 10, 13, S2Pos5 },
    { "-10 to 20 V", -10, 20, 14, S2Pos5 },
};

constexpr InputRange currentRanges[] = {
    { "0 to 1 mA", 0, 1, 0, S2Pos8 },
    { "0 to 2 mA", 0, 2, 1, S2Pos8 },
    { "0 to 4 mA", 0, 4, 2, S2Pos8 },
    { "0 to 5 mA", 0, 5, 4, S2Pos8 },
    { "0 to 7.5 mA", 0, 7.5f, 8, S2Pos8 },
    { "0 to 8 mA", 0, 8, 3, S2Pos8 },
    { "0 to 10 mA", 0, 10, 5, S2Pos8 },
    { "0 to 15 mA", 0, 15, 9, S2Pos8 },
    { "0 to 20 mA", 0, 20, 6, S2Pos8 },
    { "0 to 30 mA", 0, 30, 10, S2Pos8 },
    { "0 to 40 mA", 0, 40, 7, S2Pos8 },
    { "4 to 5 mA", 4, 5, 4, S1Pos12 | S2Pos8 },
    { "4 to 7.5 mA", 4, 7.5f, 8, S1Pos12 | S2Pos8 },
    { "4 to 8 mA", 4, 8, 3, S1Pos12 | S2Pos8 },
    { "4 to 10 mA", 4, 10, 5, S1Pos12 | S2Pos8 },
    { "4 to 15 mA", 4, 15, 9, S1Pos12 | S2Pos8 },
    { "4 to 20 mA", 4, 20, 6, S1Pos12 | S2Pos8 },
    { "4 to 30 mA", 4, 30, 10, S1Pos12 | S2Pos8 },
    { "4 to 40 mA", 4, 40, 7, S1Pos12 | S2Pos8 },
    { "-5 to 5 mA", -5, 5, 12, S1Pos12 | S2Pos5 },
    { "-5 to 10 mA", -5, 10, 13, S1Pos12 | S2Pos5 },
    { "-5 to 20 mA", -5, 20, 14, S1Pos12 | S2Pos5 },
    { "-5 to 40 mA", -5, 40, 15, S1Pos12 | S2Pos5 },
    { "-10 to 5 mA", -10, 5, 12, S2Pos5 },
    { "-10 to 10 mA", -10, 10, 13, S2Pos5 },
    { "-10 to 20 mA", -10, 20, 14, S2Pos5 },
    { "-10 to 40 mA", -10, 40, 15, S2Pos5 },
};

constexpr InputRange txCurrentRanges[] = {
    { "0 to 1 mA", 0, 1, 0, NoRangeSwitches },
    { "0 to 2 mA", 0, 2, 1, NoRangeSwitches },
    { "0 to 4 mA", 0, 4, 2, NoRangeSwitches },
    { "0 to 5 mA", 0, 5, 4, NoRangeSwitches },
    { "0 to 7.5 mA", 0, 7.5f, 8, NoRangeSwitches },
    { "0 to 8 mA", 0, 8, 3, NoRangeSwitches },
    { "0 to 10 mA", 0, 10, 5, NoRangeSwitches },
    { "0 to 15 mA", 0, 15, 9, NoRangeSwitches },
    { "0 to 20 mA", 0, 20, 6, NoRangeSwitches },
    { "4 to 5 mA", 4, 5, 4, S1Pos12 },
    { "4 to 7.5 mA", 4, 7.5f, 8, S1Pos12 },
    { "4 to 8 mA", 4, 8, 3, S1Pos12 },
    { "4 to 10 mA", 4, 10, 5, S1Pos12 },
    { "4 to 15 mA", 4, 15, 9, S1Pos12 },
    { "4 to 20 mA", 4, 20, 6, S1Pos12 },
};

// The millivolt ranges from zero take the volt codes by position, 1200 mV
// the one code left over.
constexpr InputRange milliVoltRanges[] = {
    { "0 to 25 mV", 0, 25, 0, S2Pos8 },
    { "0 to 50 mV", 0, 50, 1, S2Pos8 },
    { "0 to 100 mV", 0, 100, 2, S2Pos8 },
    { "0 to 125 mV", 0, 125, 4, S2Pos8 },
    { "0 to 150 mV", 0, 150, 8, S2Pos8 },
    { "0 to 200 mV", 0, 200, 3, S2Pos8 },
    { "0 to 250 mV", 0, 250, 5, S2Pos8 },
    { "0 to 300 mV", 0, 300, 9, S2Pos8 },
    { "0 to 500 mV", 0, 500, 6, S2Pos8 },
    { "0 to 600 mV", 0, 600, 10, S2Pos8 },
    { "0 to 1000 mV", 0, 1000, 7, S2Pos8 },
    { "0 to 1200 mV", 0, 1200, 11, S2Pos8 },
    { "-125 to 125 mV", -125, 125, 12, S2Pos5 },
    { "-125 to 250 mV", -125, 250, 13, S2Pos5 },
    { "-125 to 500 mV", -125, 500, 14, S2Pos5 },
    { "-125 to 1000 mV", -125, 1000, 15, S2Pos5 },
};

constexpr InputRange pot2Ranges[] = {
    { "0 to 125 ohm", 0, 125, 0, NoRangeSwitches },
    { "0 to 250 ohm", 0, 250, 1, NoRangeSwitches },
    { "0 to 500 ohm", 0, 500, 2, NoRangeSwitches },
    { "0 to 625 ohm", 0, 625, 4, NoRangeSwitches },
    { "0 to 750 ohm", 0, 750, 8, NoRangeSwitches },
    { "0 to 1000 ohm", 0, 1000, 3, NoRangeSwitches },
};

// Any potentiometer of 1 kohm to 100 kohm; the one range sets no code.
constexpr InputRange pot3Ranges[] = {
    { "0 to 1k to 100kohm", 0, 100000, 0, NoRangeSwitches },
};

// Thermocouple lists K/J, R/S, N/E and B: the code is the index with its two
// 2-bit halves swapped. K/J, R/S and N/E are the first ranges of one list, cut
// after their top.
constexpr InputRange thermocoupleRanges[] = {
    { "0 to 100°C", 0, 100, 0, NoRangeSwitches },   { "0 to 125°C", 0, 125, 4, NoRangeSwitches },
    { "0 to 150°C", 0, 150, 8, NoRangeSwitches },   { "0 to 175°C", 0, 175, 12, NoRangeSwitches },
    { "0 to 200°C", 0, 200, 1, NoRangeSwitches },   { "0 to 250°C", 0, 250, 5, NoRangeSwitches },
    { "0 to 300°C", 0, 300, 9, NoRangeSwitches },   { "0 to 350°C", 0, 350, 13, NoRangeSwitches },
    { "0 to 400°C", 0, 400, 2, NoRangeSwitches },   { "0 to 500°C", 0, 500, 6, NoRangeSwitches },
    { "0 to 600°C", 0, 600, 10, NoRangeSwitches },  { "0 to 700°C", 0, 700, 14, NoRangeSwitches },
    { "0 to 800°C", 0, 800, 3, NoRangeSwitches },   { "0 to 1000°C", 0, 1000, 7, NoRangeSwitches },
    { "0 to 1200°C", 0, 1200, 11, NoRangeSwitches }, { "0 to 1400°C", 0, 1400, 15, NoRangeSwitches },
};

constexpr Rows<InputRange> thermocoupleRangesUpTo(float top)
{
    int count = 0;
    while (count < Rows<InputRange>(thermocoupleRanges).size() && thermocoupleRanges[count].high <= top)
        ++count;
    return Rows<InputRange>(thermocoupleRanges, count);
}

constexpr InputRange thermocoupleBRanges[] = {
    { "400 to 500°C", 400, 500, 0, NoRangeSwitches },    { "400 to 525°C", 400, 525, 4, NoRangeSwitches },
    { "400 to 550°C", 400, 550, 8, NoRangeSwitches },    { "400 to 575°C", 400, 575, 12, NoRangeSwitches },
    { "400 to 600°C", 400, 600, 1, NoRangeSwitches },    { "400 to 650°C", 400, 650, 5, NoRangeSwitches },
    { "400 to 700°C", 400, 700, 9, NoRangeSwitches },    { "400 to 750°C", 400, 750, 13, NoRangeSwitches },
    { "400 to 800°C", 400, 800, 2, NoRangeSwitches },    { "400 to 900°C", 400, 900, 6, NoRangeSwitches },
    { "400 to 1000°C", 400, 1000, 10, NoRangeSwitches }, { "400 to 1100°C", 400, 1100, 14, NoRangeSwitches },
    { "400 to 1200°C", 400, 1200, 3, NoRangeSwitches },  { "400 to 1400°C", 400, 1400, 7, NoRangeSwitches },
    { "400 to 1600°C", 400, 1600, 11, NoRangeSwitches }, { "400 to 1800°C", 400, 1800, 15, NoRangeSwitches },
};

// T and RTD lists: four groups of four, the code is the index itself.
constexpr InputRange thermocoupleTRanges[] = {
    { "0 to 50 °C", 0, 50, 0, NoRangeSwitches },          { "0 to 100°C", 0, 100, 1, NoRangeSwitches },
    { "0 to 200°C", 0, 200, 2, NoRangeSwitches },         { "0 to 400°C", 0, 400, 3, NoRangeSwitches },
    { "-50 to 50°C", -50, 50, 4, NoRangeSwitches },       { "-50 to 100°C", -50, 100, 5, NoRangeSwitches },
    { "-50 to 200°C", -50, 200, 6, NoRangeSwitches },     { "-50 to 400°C", -50, 400, 7, NoRangeSwitches },
    { "-100 to 50°C", -100, 50, 8, NoRangeSwitches },     { "-100 to 100°C", -100, 100, 9, NoRangeSwitches },
    { "-100 to 200°C", -100, 200, 10, NoRangeSwitches },  { "-100 to 400°C", -100, 400, 11, NoRangeSwitches },
    { "-200 to 50°C", -200, 50, 12, NoRangeSwitches },    { "-200 to 100°C", -200, 100, 13, NoRangeSwitches },
    { "-200 to 200°C", -200, 200, 14, NoRangeSwitches },  { "-200 to 400°C", -200, 400, 15, NoRangeSwitches },
};

constexpr InputRange rtdRanges[] = {
    { "0 to 100°C", 0, 100, 0, NoRangeSwitches },         { "0 to 200°C", 0, 200, 1, NoRangeSwitches },
    { "0 to 400°C", 0, 400, 2, NoRangeSwitches },         { "0 to 800°C", 0, 800, 3, NoRangeSwitches },
    { "-50 to 50°C", -50, 50, 4, NoRangeSwitches },       { "-50 to 150°C", -50, 150, 5, NoRangeSwitches },
    { "-50 to 250°C", -50, 250, 6, NoRangeSwitches },     { "-50 to 350°C", -50, 350, 7, NoRangeSwitches },
    { "-100 to 50°C", -100, 50, 8, NoRangeSwitches },     { "-100 to 100°C", -100, 100, 9, NoRangeSwitches },
    { "-100 to 200°C", -100, 200, 10, NoRangeSwitches },  { "-100 to 400°C", -100, 400, 11, NoRangeSwitches },
    { "-200 to 200°C", -200, 200, 12, NoRangeSwitches },  { "-200 to 400°C", -200, 400, 13, NoRangeSwitches },
    { "-200 to 600°C", -200, 600, 14, NoRangeSwitches },  { "-200 to 800°C", -200, 800, 15, NoRangeSwitches },
};

// One entry per list, in the order of ListId; the lists that hold no input
// ranges have no rows.
constexpr std::array<InputRangeList, ListCount> rangeLists = { {
    { ListId::cbInputType, {}, false, "" },
    { ListId::cbInputRange, {}, false, "" },
    { ListId::cbIRVoltage, voltageRanges, true, " V" },
    { ListId::cbIRCurrent, currentRanges, true, " mA" },
    { ListId::cbIRCurrentTransmitter, txCurrentRanges, true, " mA" },
    { ListId::cbIRmilliVolt, milliVoltRanges, true, " mV" },
    { ListId::cbIRPot2, pot2Ranges, true, "" },
    { ListId::cbIRPot3, pot3Ranges, false, "" },
    { ListId::cbIRTCKJ, thermocoupleRangesUpTo(1200), true, "°C" },
    { ListId::cbIRTCRS, thermocoupleRangesUpTo(1400), true, "°C" },
    { ListId::cbIRTCNE, thermocoupleRangesUpTo(1000), true, "°C" },
    { ListId::cbIRTCB, thermocoupleBRanges, true, "°C" },
    { ListId::cbIRTCT, thermocoupleTRanges, true, "°C" },
    { ListId::cbIRRTD, rtdRanges, true, "°C" },
    { ListId::cbOutputRange, {}, false, "" },
    { ListId::cbOutputRange2, {}, false, "" },
    { ListId::cbTripOutput, {}, false, "" },
    { ListId::cbFreqOutputRange, {}, false, "" },
} };

constexpr OutputRange outputRangeRows[] = {
    { "0 to 20 mA source", OutputKind::CurrentSource, 0b01, "0mA" },
    { "4 to 20 mA source", OutputKind::CurrentSource, 0b00, "2mA" },
    { "0 to 10 mA source", OutputKind::CurrentSource, 0b10, "0mA" },
    { "2 to 10 mA source", OutputKind::CurrentSource, 0b11, "0mA" },
    { "0 to 5 V source", OutputKind::VoltageSource, 0b10, "0V" },
    { "0 to 10 V source", OutputKind::VoltageSource, 0b01, "0V" },
    { "1 to 5 V source", OutputKind::VoltageSource, 0b11, "0V" },
    { "2 to 10 V source", OutputKind::VoltageSource, 0b00, "1V" },
    { "0 to 20 mA sink", OutputKind::CurrentSink, 0b01, "0mA" },
    { "4 to 20 mA sink", OutputKind::CurrentSink, 0b00, "2mA" },
    { "0 to 10 mA sink", OutputKind::CurrentSink, 0b10, "0mA" },
    { "2 to 10 mA sink", OutputKind::CurrentSink, 0b11, "0mA" },
};

// Every delay code is even: S4 position 4 shows the LED colour alone.
constexpr CodedItem tripDelayRows[] = {
    { "0 seconds", 0 },   { "2.5 seconds", 14 }, { "5 seconds", 6 },  { "10 seconds", 10 },
    { "20 seconds", 2 },  { "30 seconds", 12 },  { "60 seconds", 4 }, { "120 seconds", 8 },
};

constexpr CodedItem frequencyRows[] = {
    { "0 to 1 Hz", 13 },      { "0 to 5 Hz", 15 },      { "0 to 20 Hz", 7 },      { "0 to 50 Hz", 9 },
    { "0 to 100 Hz", 1 },     { "0 to 250 Hz", 14 },    { "0 to 500 Hz", 6 },     { "0 to 1,000 Hz", 10 },
    { "0 to 2,000 Hz", 2 },   { "0 to 5,000 Hz", 12 },  { "0 to 10,000 Hz", 4 },  { "0 to 15,000 Hz", 11 },
    { "0 to 20,000 Hz", 8 },  { "0 to 30,000 Hz", 3 },  { "0 to 40,000 Hz", 0 },  { "0 to 50,000 Hz", 5 },
};
// clang-format on

// Checks made by the compiler on the tables above.

constexpr bool isCode(RangeCode code) { return code >= 0 && code <= 15; }

constexpr bool rangesSound(Rows<InputRange> ranges)
{
    for (const InputRange &r : ranges)
        if (!isCode(r.code) || !(r.low < r.high) || r.text == nullptr)
            return false;
    return ranges.size() > 0;
}

constexpr bool rangeListsSound()
{
    for (int i = 0; i < ListCount; ++i) {
        const InputRangeList &l = rangeLists[static_cast<std::size_t>(i)];
        // The input range lists are the block cbIRVoltage to cbIRRTD.
        const bool holdsRanges = i >= static_cast<int>(ListId::cbIRVoltage) && i <= static_cast<int>(ListId::cbIRRTD);
        if (l.id != ListId(i) || (holdsRanges ? !rangesSound(l.ranges) : l.ranges.size() != 0))
            return false;
    }
    return true;
}
static_assert(rangeListsSound(),
              "one entry per list in ListId order; every input range needs a 4-bit code and low below high");

constexpr bool codedSound(Rows<CodedItem> items)
{
    for (const CodedItem &i : items)
        if (!isCode(i.code) || i.text == nullptr)
            return false;
    return true;
}
static_assert(codedSound(tripDelayRows) && codedSound(frequencyRows), "S4 codes are 4-bit codes");

constexpr bool tripCodesEven()
{
    for (const CodedItem &i : tripDelayRows)
        if (i.code % 2 != 0)
            return false;
    return true;
}
static_assert(tripCodesEven(), "a delay code must leave S4 position 4 to the LED colour");

constexpr bool outputsSound()
{
    for (const OutputRange &o : outputRangeRows)
        if (o.span < 0 || o.span > 3 || o.text == nullptr || o.lowBurnout == nullptr)
            return false;
    return true;
}
static_assert(outputsSound(), "an output span code has two bits");

} // namespace

const InputRangeList *inputRangeList(ListId id)
{
    const auto i = static_cast<std::size_t>(id);
    return i < rangeLists.size() && rangeLists[i].ranges.size() > 0 ? &rangeLists[i] : nullptr;
}

Rows<OutputRange> outputRanges() { return outputRangeRows; }
Rows<CodedItem> tripDelays() { return tripDelayRows; }
Rows<CodedItem> frequencyRanges() { return frequencyRows; }

} // namespace hvx
