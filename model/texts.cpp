#include "texts.h"

#include <array>

namespace hvx {
namespace {

QStringList tcRanges(int count)
{
    static const QStringList all = {
        QStringLiteral("0 to 100°C"),  QStringLiteral("0 to 125°C"),  QStringLiteral("0 to 150°C"),
        QStringLiteral("0 to 175°C"),  QStringLiteral("0 to 200°C"),  QStringLiteral("0 to 250°C"),
        QStringLiteral("0 to 300°C"),  QStringLiteral("0 to 350°C"),  QStringLiteral("0 to 400°C"),
        QStringLiteral("0 to 500°C"),  QStringLiteral("0 to 600°C"),  QStringLiteral("0 to 700°C"),
        QStringLiteral("0 to 800°C"),  QStringLiteral("0 to 1000°C"), QStringLiteral("0 to 1200°C"),
        QStringLiteral("0 to 1400°C"),
    };
    return all.mid(0, count);
}

QStringList withCustom(QStringList list)
{
    list << Texts::customItem();
    return list;
}

const QStringList &outputRanges()
{
    static const QStringList l = {
        QStringLiteral("0 to 20 mA source"), QStringLiteral("4 to 20 mA source"),
        QStringLiteral("0 to 10 mA source"), QStringLiteral("2 to 10 mA source"),
        QStringLiteral("0 to 5 V source"),   QStringLiteral("0 to 10 V source"),
        QStringLiteral("1 to 5 V source"),   QStringLiteral("2 to 10 V source"),
        QStringLiteral("0 to 20 mA sink"),   QStringLiteral("4 to 20 mA sink"),
        QStringLiteral("0 to 10 mA sink"),   QStringLiteral("2 to 10 mA sink"),
    };
    return l;
}

const std::array<QStringList, ListCount> &listTable()
{
    static const std::array<QStringList, ListCount> t = {
        // cbInputType
        QStringList{ QStringLiteral("Voltage"), QStringLiteral("Current sink"),
                     QStringLiteral("Current using Tx Supply"), QStringLiteral("milliVolt"),
                     QStringLiteral("Potentiometer 2 wire"), QStringLiteral("Potentiometer 3 wire"),
                     QStringLiteral("K type thermocouple"), QStringLiteral("J type thermocouple"),
                     QStringLiteral("R type thermocouple"), QStringLiteral("S type thermocouple"),
                     QStringLiteral("N type thermocouple"), QStringLiteral("E type thermocouple"),
                     QStringLiteral("B type thermocouple"), QStringLiteral("T type thermocouple"),
                     QStringLiteral("RTD PT100"), QStringLiteral("RTD PT1000") },
        // cbInputRange: the placeholder with its one empty item
        QStringList{ QString() },
        // cbIRVoltage
        withCustom({ QStringLiteral("0 to 1 V"), QStringLiteral("0 to 2 V"), QStringLiteral("0 to 4 V"),
                     QStringLiteral("0 to 5 V"), QStringLiteral("0 to 7.5 V"), QStringLiteral("0 to 8 V"),
                     QStringLiteral("0 to 10 V"), QStringLiteral("0 to 15 V"), QStringLiteral("0 to 20 V"),
                     QStringLiteral("0 to 30 V"), QStringLiteral("0 to 40 V"), QStringLiteral("1 to 2 V"),
                     QStringLiteral("1 to 4 V"), QStringLiteral("1 to 5 V"), QStringLiteral("1 to 7.5 V"),
                     QStringLiteral("1 to 8 V"), QStringLiteral("1 to 10 V"), QStringLiteral("1 to 15 V"),
                     QStringLiteral("1 to 20 V"), QStringLiteral("1 to 30 V"), QStringLiteral("1 to 40 V"),
                     QStringLiteral("-5 to 5 V"), QStringLiteral("-5 to 10 V"), QStringLiteral("-5 to 20 V"),
                     QStringLiteral("-10 to 5 V"), QStringLiteral("-10 to 10 V"), QStringLiteral("-10 to 20 V") }),
        // cbIRCurrent
        withCustom({ QStringLiteral("0 to 1 mA"), QStringLiteral("0 to 2 mA"), QStringLiteral("0 to 4 mA"),
                     QStringLiteral("0 to 5 mA"), QStringLiteral("0 to 7.5 mA"), QStringLiteral("0 to 8 mA"),
                     QStringLiteral("0 to 10 mA"), QStringLiteral("0 to 15 mA"), QStringLiteral("0 to 20 mA"),
                     QStringLiteral("0 to 30 mA"), QStringLiteral("0 to 40 mA"), QStringLiteral("4 to 5 mA"),
                     QStringLiteral("4 to 7.5 mA"), QStringLiteral("4 to 8 mA"), QStringLiteral("4 to 10 mA"),
                     QStringLiteral("4 to 15 mA"), QStringLiteral("4 to 20 mA"), QStringLiteral("4 to 30 mA"),
                     QStringLiteral("4 to 40 mA"), QStringLiteral("-5 to 5 mA"), QStringLiteral("-5 to 10 mA"),
                     QStringLiteral("-5 to 20 mA"), QStringLiteral("-5 to 40 mA"), QStringLiteral("-10 to 5 mA"),
                     QStringLiteral("-10 to 10 mA"), QStringLiteral("-10 to 20 mA"), QStringLiteral("-10 to 40 mA") }),
        // cbIRCurrentTransmitter
        withCustom({ QStringLiteral("0 to 1 mA"), QStringLiteral("0 to 2 mA"), QStringLiteral("0 to 4 mA"),
                     QStringLiteral("0 to 5 mA"), QStringLiteral("0 to 7.5 mA"), QStringLiteral("0 to 8 mA"),
                     QStringLiteral("0 to 10 mA"), QStringLiteral("0 to 15 mA"), QStringLiteral("0 to 20 mA"),
                     QStringLiteral("4 to 5 mA"), QStringLiteral("4 to 7.5 mA"), QStringLiteral("4 to 8 mA"),
                     QStringLiteral("4 to 10 mA"), QStringLiteral("4 to 15 mA"), QStringLiteral("4 to 20 mA") }),
        // cbIRmilliVolt
        withCustom({ QStringLiteral("0 to 25 mV"), QStringLiteral("0 to 50 mV"), QStringLiteral("0 to 100 mV"),
                     QStringLiteral("0 to 125 mV"), QStringLiteral("0 to 150 mV"), QStringLiteral("0 to 200 mV"),
                     QStringLiteral("0 to 250 mV"), QStringLiteral("0 to 300 mV"), QStringLiteral("0 to 500 mV"),
                     QStringLiteral("0 to 600 mV"), QStringLiteral("0 to 1000 mV"), QStringLiteral("0 to 1200 mV"),
                     QStringLiteral("-125 to 125 mV"), QStringLiteral("-125 to 250 mV"),
                     QStringLiteral("-125 to 500 mV"), QStringLiteral("-125 to 1000 mV") }),
        // cbIRPot2
        withCustom({ QStringLiteral("0 to 125 ohm"), QStringLiteral("0 to 250 ohm"), QStringLiteral("0 to 500 ohm"),
                     QStringLiteral("0 to 625 ohm"), QStringLiteral("0 to 750 ohm"), QStringLiteral("0 to 1000 ohm") }),
        // cbIRPot3
        QStringList{ QStringLiteral("0 to 1k to 100kohm") },
        // cbIRTCKJ, cbIRTCRS, cbIRTCNE
        withCustom(tcRanges(15)),
        withCustom(tcRanges(16)),
        withCustom(tcRanges(14)),
        // cbIRTCB
        withCustom({ QStringLiteral("400 to 500°C"), QStringLiteral("400 to 525°C"), QStringLiteral("400 to 550°C"),
                     QStringLiteral("400 to 575°C"), QStringLiteral("400 to 600°C"), QStringLiteral("400 to 650°C"),
                     QStringLiteral("400 to 700°C"), QStringLiteral("400 to 750°C"), QStringLiteral("400 to 800°C"),
                     QStringLiteral("400 to 900°C"), QStringLiteral("400 to 1000°C"), QStringLiteral("400 to 1100°C"),
                     QStringLiteral("400 to 1200°C"), QStringLiteral("400 to 1400°C"), QStringLiteral("400 to 1600°C"),
                     QStringLiteral("400 to 1800°C") }),
        // cbIRTCT (the first item has a blank before the degree sign)
        withCustom({ QStringLiteral("0 to 50 °C"), QStringLiteral("0 to 100°C"), QStringLiteral("0 to 200°C"),
                     QStringLiteral("0 to 400°C"), QStringLiteral("-50 to 50°C"), QStringLiteral("-50 to 100°C"),
                     QStringLiteral("-50 to 200°C"), QStringLiteral("-50 to 400°C"), QStringLiteral("-100 to 50°C"),
                     QStringLiteral("-100 to 100°C"), QStringLiteral("-100 to 200°C"), QStringLiteral("-100 to 400°C"),
                     QStringLiteral("-200 to 50°C"), QStringLiteral("-200 to 100°C"), QStringLiteral("-200 to 200°C"),
                     QStringLiteral("-200 to 400°C") }),
        // cbIRRTD
        withCustom({ QStringLiteral("0 to 100°C"), QStringLiteral("0 to 200°C"), QStringLiteral("0 to 400°C"),
                     QStringLiteral("0 to 800°C"), QStringLiteral("-50 to 50°C"), QStringLiteral("-50 to 150°C"),
                     QStringLiteral("-50 to 250°C"), QStringLiteral("-50 to 350°C"), QStringLiteral("-100 to 50°C"),
                     QStringLiteral("-100 to 100°C"), QStringLiteral("-100 to 200°C"), QStringLiteral("-100 to 400°C"),
                     QStringLiteral("-200 to 200°C"), QStringLiteral("-200 to 400°C"), QStringLiteral("-200 to 600°C"),
                     QStringLiteral("-200 to 800°C") }),
        // cbOutputRange, cbOutputRange2
        outputRanges(),
        outputRanges(),
        // cbTripOutput
        QStringList{ QStringLiteral("0 seconds"), QStringLiteral("2.5 seconds"), QStringLiteral("5 seconds"),
                     QStringLiteral("10 seconds"), QStringLiteral("20 seconds"), QStringLiteral("30 seconds"),
                     QStringLiteral("60 seconds"), QStringLiteral("120 seconds") },
        // cbFreqOutputRange
        QStringList{ QStringLiteral("0 to 1 Hz"), QStringLiteral("0 to 5 Hz"), QStringLiteral("0 to 20 Hz"),
                     QStringLiteral("0 to 50 Hz"), QStringLiteral("0 to 100 Hz"), QStringLiteral("0 to 250 Hz"),
                     QStringLiteral("0 to 500 Hz"), QStringLiteral("0 to 1,000 Hz"), QStringLiteral("0 to 2,000 Hz"),
                     QStringLiteral("0 to 5,000 Hz"), QStringLiteral("0 to 10,000 Hz"), QStringLiteral("0 to 15,000 Hz"),
                     QStringLiteral("0 to 20,000 Hz"), QStringLiteral("0 to 30,000 Hz"), QStringLiteral("0 to 40,000 Hz"),
                     QStringLiteral("0 to 50,000 Hz") },
    };
    return t;
}

const QStringList &startBurnout()
{
    static const QStringList l = { QStringLiteral("High burnout"), QStringLiteral("Low burnout") };
    return l;
}
const QStringList &inversionItems()
{
    static const QStringList l = { QStringLiteral("Inversion off"), QStringLiteral("Inversion on") };
    return l;
}
const QStringList &squareRootItems()
{
    static const QStringList l = { QStringLiteral("Square root off"), QStringLiteral("Square root on") };
    return l;
}

struct ChoiceInfo {
    const char *name;
    const char *caption;
};

const ChoiceInfo choiceInfo[ChoiceCount] = {
    { "rgLinearisation", "Linearisation" },
    { "rgColdJunction", "Cold Junction" },
    { "rgRTDType", "RTD Type" },
    { "rgConversionSpeed", "Conversion Speed" },
    { "rgBurnout", "Burnout" },
    { "rgInversion", "Inversion" },
    { "rgSquareRoot", "Square root" },
    { "rgButtonIsolation", "Button isolation" },
    { "rgDualOutput", "Dual output" },
    { "rgDualType", "Dual type" },
    { "rgBurnout2", "Burnout" },
    { "rgInversion2", "Inversion" },
    { "rgSquareRoot2", "Square root" },
    { "rgTripBurnout", "Burnout" },
    { "rgTripLEDstate", "Relay on led colour" },
    { "rgTripRelativeTo", "Trip relative to" },
    { "rgFreqBurnout", "Burnout Frequency" },
};

const char *const listNames[ListCount] = {
    "cbInputType", "cbInputRange", "cbIRVoltage", "cbIRCurrent", "cbIRCurrentTransmitter",
    "cbIRmilliVolt", "cbIRPot2", "cbIRPot3", "cbIRTCKJ", "cbIRTCRS", "cbIRTCNE", "cbIRTCB",
    "cbIRTCT", "cbIRRTD", "cbOutputRange", "cbOutputRange2", "cbTripOutput", "cbFreqOutputRange",
};

} // namespace

namespace Texts {

QString customItem() { return QStringLiteral("Custom"); }

QString name(ListId id) { return QString::fromLatin1(listNames[static_cast<int>(id)]); }
QString name(ChoiceId id) { return QString::fromLatin1(choiceInfo[static_cast<int>(id)].name); }
QString caption(ChoiceId id) { return QString::fromLatin1(choiceInfo[static_cast<int>(id)].caption); }

const QStringList &items(ListId id) { return listTable()[static_cast<size_t>(id)]; }

const QStringList &items(ChoiceId id)
{
    static const QStringList linearisation = { QStringLiteral("Linearisation on"), QStringLiteral("Linearisation off") };
    static const QStringList cjc = { QStringLiteral("CJC on"), QStringLiteral("CJC off") };
    static const QStringList rtd = { QStringLiteral("2 wire"), QStringLiteral("3 wire"), QStringLiteral("4 wire") };
    static const QStringList speed = { QStringLiteral("Normal"), QStringLiteral("Fast") };
    static const QStringList buttons = { QStringLiteral("Buttons enabled"), QStringLiteral("Buttons disabled") };
    static const QStringList dual = { QStringLiteral("Single output"), QStringLiteral("Dual output") };
    static const QStringList dualType = { QStringLiteral("Analog"), QStringLiteral("Trip relay"), QStringLiteral("Frequency") };
    static const QStringList tripBurnout = { QStringLiteral("Relay on"), QStringLiteral("Relay off") };
    static const QStringList led = { QStringLiteral("Red led"), QStringLiteral("Green led") };
    static const QStringList relative = { QStringLiteral("Input value"), QStringLiteral("Output 1 value") };
    static const QStringList freqBurnout = { QStringLiteral("Span point +12.5%"), QStringLiteral("0 Hz") };
    switch (id) {
    case ChoiceId::rgLinearisation: return linearisation;
    case ChoiceId::rgColdJunction: return cjc;
    case ChoiceId::rgRTDType: return rtd;
    case ChoiceId::rgConversionSpeed: return speed;
    case ChoiceId::rgBurnout:
    case ChoiceId::rgBurnout2: return startBurnout();
    case ChoiceId::rgInversion:
    case ChoiceId::rgInversion2: return inversionItems();
    case ChoiceId::rgSquareRoot:
    case ChoiceId::rgSquareRoot2: return squareRootItems();
    case ChoiceId::rgButtonIsolation: return buttons;
    case ChoiceId::rgDualOutput: return dual;
    case ChoiceId::rgDualType: return dualType;
    case ChoiceId::rgTripBurnout: return tripBurnout;
    case ChoiceId::rgTripLEDstate: return led;
    case ChoiceId::rgTripRelativeTo: return relative;
    case ChoiceId::rgFreqBurnout: return freqBurnout;
    }
    return speed; // not reached: every enumerator is handled above
}

int buttonCount(ChoiceId id) { return items(id).size(); }

QString itemAt(ListId id, int index)
{
    const QStringList &l = items(id);
    return index >= 0 && index < l.size() ? l.at(index) : QString();
}

QString itemAt(ChoiceId id, int index)
{
    const QStringList &l = items(id);
    return index >= 0 && index < l.size() ? l.at(index) : QString();
}

QStringList burnoutCaptions(int outputRangeIndex)
{
    switch (outputRangeIndex) {
    case 1:
    case 9:
        return { QStringLiteral("High Burnout 23mA"), QStringLiteral("Low Burnout 2mA") };
    case 4:
    case 5:
    case 6:
        return { QStringLiteral("High Burnout 11.5V"), QStringLiteral("Low Burnout 0V") };
    case 7:
        return { QStringLiteral("High Burnout 11.5V"), QStringLiteral("Low Burnout 1V") };
    default:
        return { QStringLiteral("High Burnout 23mA"), QStringLiteral("Low Burnout 0mA") };
    }
}

QStringList newBurnoutCaptions() { return { QStringLiteral("High Burnout"), QStringLiteral("Low Burnout") }; }

} // namespace Texts

ListId rangeListFor(int inputType)
{
    switch (inputType) {
    case Voltage: return ListId::cbIRVoltage;
    case CurrentSink: return ListId::cbIRCurrent;
    case CurrentTxSupply: return ListId::cbIRCurrentTransmitter;
    case MilliVolt: return ListId::cbIRmilliVolt;
    case Pot2Wire: return ListId::cbIRPot2;
    case Pot3Wire: return ListId::cbIRPot3;
    case TcK:
    case TcJ: return ListId::cbIRTCKJ;
    case TcR:
    case TcS: return ListId::cbIRTCRS;
    case TcN:
    case TcE: return ListId::cbIRTCNE;
    case TcB: return ListId::cbIRTCB;
    case TcT: return ListId::cbIRTCT;
    case RtdPt100:
    case RtdPt1000: return ListId::cbIRRTD;
    default: return ListId::cbInputRange;
    }
}

int customIndexFor(ListId rangeList)
{
    if (rangeList == ListId::cbIRPot3 || rangeList == ListId::cbInputRange)
        return Texts::items(rangeList).size();
    return Texts::items(rangeList).size() - 1;
}

QString unitFor(int inputType)
{
    switch (inputType) {
    case Voltage: return QStringLiteral("V");
    case CurrentSink:
    case CurrentTxSupply: return QStringLiteral("mA");
    case MilliVolt: return QStringLiteral("mV");
    case Pot2Wire:
    case Pot3Wire: return QStringLiteral("ohms");
    default: return isThermocouple(inputType) || isRtd(inputType) ? QStringLiteral("°C") : QString();
    }
}

bool isLinearType(int t) { return t >= Voltage && t <= Pot3Wire; }
bool isThermocouple(int t) { return t >= TcK && t <= TcT; }
bool isRtd(int t) { return t == RtdPt100 || t == RtdPt1000; }

} // namespace hvx
