#pragma once
// The fixed lists of item texts of every selection, defined once and shared by
// the main window, the results summaries and the command-line tool.

#include <QString>
#include <QStringList>

namespace hvx {

// Every drop-down list of a setup, named after its control.
enum class ListId {
    cbInputType,
    cbInputRange,
    cbIRVoltage,
    cbIRCurrent,
    cbIRCurrentTransmitter,
    cbIRmilliVolt,
    cbIRPot2,
    cbIRPot3,
    cbIRTCKJ,
    cbIRTCRS,
    cbIRTCNE,
    cbIRTCB,
    cbIRTCT,
    cbIRRTD,
    cbOutputRange,
    cbOutputRange2,
    cbTripOutput,
    cbFreqOutputRange, // keep last: ListCount follows it
};
constexpr int ListCount = static_cast<int>(ListId::cbFreqOutputRange) + 1;

// Every choice group (radio group) of a setup, named after its control.
enum class ChoiceId {
    rgLinearisation,
    rgColdJunction,
    rgRTDType,
    rgConversionSpeed,
    rgBurnout,
    rgInversion,
    rgSquareRoot,
    rgButtonIsolation,
    rgDualOutput,
    rgDualType,
    rgBurnout2,
    rgInversion2,
    rgSquareRoot2,
    rgTripBurnout,
    rgTripLEDstate,
    rgTripRelativeTo,
    rgFreqBurnout, // keep last: ChoiceCount follows it
};
constexpr int ChoiceCount = static_cast<int>(ChoiceId::rgFreqBurnout) + 1;

// Input types, as indices of cbInputType.
enum InputType {
    Voltage = 0,
    CurrentSink = 1,
    CurrentTxSupply = 2,
    MilliVolt = 3,
    Pot2Wire = 4,
    Pot3Wire = 5,
    TcK = 6,
    TcJ = 7,
    TcR = 8,
    TcS = 9,
    TcN = 10,
    TcE = 11,
    TcB = 12,
    TcT = 13,
    RtdPt100 = 14,
    RtdPt1000 = 15,
    InputTypeCount = 16
};

namespace Texts {

// Control name of a list or choice ("cbIRVoltage", "rgBurnout").
QString name(ListId id);
QString name(ChoiceId id);

// Item texts of a list.
const QStringList &items(ListId id);
// Item texts of a choice. For the burnout choices these are the captions the
// window shows at start ("High burnout", "Low burnout"); see burnoutCaptions().
const QStringList &items(ChoiceId id);

// Number of buttons of a choice.
int buttonCount(ChoiceId id);

// Item at an index, or the empty text when the index is outside the list
// (nothing chosen, -1).
QString itemAt(ListId id, int index);
QString itemAt(ChoiceId id, int index);

// Captions of the two burnout items for an output range index (-1 included).
QStringList burnoutCaptions(int outputRangeIndex);
// Captions that New gives the burnout items.
QStringList newBurnoutCaptions();
// Caption (title) of each choice group box, as the window shows it.
QString caption(ChoiceId id);

// The "Custom" item text.
QString customItem();

} // namespace Texts

// Index of the "Custom" item of a range list; for a list without "Custom"
// (cbIRPot3 and the lists that hold no input ranges) the list's item count, so
// a selection never equals it.
int customIndexFor(ListId rangeList);

// Read from the input type table (inputtypetable.h):
// the range list that belongs to an input type (0 to 15), cbInputRange otherwise;
ListId rangeListFor(int inputType);
// the unit text of an input type, as the summary names it ("V", "mA", "°C", ...);
QString unitFor(int inputType);
// and its family.
bool isLinearType(int inputType);
bool isThermocouple(int inputType);
bool isRtd(int inputType);

} // namespace hvx
