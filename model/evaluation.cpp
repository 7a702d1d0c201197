#include "evaluation.h"

#include "encoders.h"
#include "rangetables.h"

namespace hvx {

namespace {

// The refusal texts of the driver.
namespace Messages {
QString selectInputType() { return QStringLiteral("Please select input type"); }
QString selectInputRange() { return QStringLiteral("Please select input range"); }
QString selectOutput1Range() { return QStringLiteral("Please select output 1 range"); }
QString selectOutput2Range() { return QStringLiteral("Please select output 2 range"); }
QString selectTripRange() { return QStringLiteral("Please select trip relay output range"); }
QString selectFrequencyRange() { return QStringLiteral("Please select frequency output range"); }
} // namespace Messages

// The output positions 2 to 8, 11 and 12 of an output bank (S3 for output 1,
// S4 for an analog output 2): sink or source range, voltage range, low
// burnout, inversion and the span code.
void setOutputSwitches(SwitchBank &bank, int outputRange, int burnout, int inversion)
{
    const OutputRange *range = outputRanges().at(outputRange);
    if (range) {
        if (range->kind == OutputKind::CurrentSink) {
            bank.turnOn(2);
            bank.turnOn(4);
        } else {
            bank.turnOn(3);
            bank.turnOn(5);
            if (range->kind == OutputKind::VoltageSource)
                bank.turnOn(6);
        }
        if (range->span & 0b10)
            bank.turnOn(11);
        if (range->span & 0b01)
            bank.turnOn(12);
    }
    if (burnout == 1)
        bank.turnOn(7);
    if (inversion == 1)
        bank.turnOn(8);
}

// Range code of a trip relay delay or a frequency output range; 0 for an
// index outside the list.
RangeCode codeAt(Rows<CodedItem> items, int index)
{
    const CodedItem *item = items.at(index);
    return item ? item->code : 0;
}

// The refusal of a setup that lacks a selection Evaluate needs, in the order
// they are checked; empty when nothing is missing.
QString missingSelection(const Setup &s)
{
    if (s.cbInputType < 0 || s.cbInputType >= InputTypeCount)
        return Messages::selectInputType();
    if (s.inputRange() == -1)
        return Messages::selectInputRange();
    if (s.cbOutputRange == -1)
        return Messages::selectOutput1Range();
    if (s.rgDualOutput != 1)
        return QString();
    if (s.rgDualType == 0)
        return s.cbOutputRange2 == -1 ? Messages::selectOutput2Range() : QString();
    if (s.rgDualType == 1)
        return s.cbTripOutput == -1 ? Messages::selectTripRange() : QString();
    return s.cbFreqOutputRange == -1 ? Messages::selectFrequencyRange() : QString();
}

// The input encoder of the setup's input type: 0 when it set its switches.
int encodeInput(EvaluationContext &ctx)
{
    const int type = ctx.setup.cbInputType;
    if (isLinearType(type))
        return EvaluateLinearInput(ctx);
    if (isThermocouple(type))
        return EvaluateThermocoupleInput(ctx);
    return EvaluateRtdInput(ctx);
}

// Output 1 on S3.
void setOutput1Switches(SwitchBank &s3, const Setup &s)
{
    if (s.rgButtonIsolation == 0)
        s3.turnOn(1);
    setOutputSwitches(s3, s.cbOutputRange, s.rgBurnout, s.rgInversion);
    if (s.rgDualOutput == 0) {
        if (s.rgSquareRoot == 1)
            s3.turnOn(9);
    } else if (s.rgDualOutput == 1) {
        s3.turnOn(10);
        if (s.rgDualType == 1 && s.rgTripRelativeTo == 1)
            s3.turnOn(9);
    }
}

// The second output on S4. A dual output choice read as -1 from a file counts
// as neither single nor dual output: S4 stays off.
void setOutput2Switches(SwitchBank &s4, const Setup &s)
{
    if (s.rgDualOutput != 1)
        return;
    switch (s.rgDualType) {
    case 0:
        s4.turnOn(1);
        s4.turnOn(10);
        setOutputSwitches(s4, s.cbOutputRange2, s.rgBurnout2, s.rgInversion2);
        if (s.rgSquareRoot2 == 1)
            s4.turnOn(9);
        break;
    case 1:
        if (s.rgTripBurnout == 1)
            s4.turnOn(5);
        SetRangeCode(s4, codeAt(tripDelays(), s.cbTripOutput));
        if (s.rgTripLEDstate == 1)
            s4.turnOn(4);
        break;
    case 2:
        s4.turnOn(6);
        if (s.rgFreqBurnout == 1)
            s4.turnOn(5);
        SetRangeCode(s4, codeAt(frequencyRanges(), s.cbFreqOutputRange));
        break;
    default:
        break;
    }
}

} // namespace

EvaluationOutcome Evaluate(const Setup &s, EvaluationValues &values, const QLocale &locale)
{
    EvaluationOutcome outcome;
    EvaluationContext ctx{ s, values, outcome, locale };
    SwitchMap &map = values.map;

    map.clear();
    outcome.status = missingSelection(s);
    if (!outcome.status.isEmpty())
        return outcome;

    // Any choice other than "Normal" (including none, from a file) is fast.
    if (s.rgConversionSpeed != 0)
        map.S1.turnOn(7);

    outcome.inputEncoderRan = true;
    if (encodeInput(ctx) != 0)
        return outcome;
    setOutput1Switches(map.S3, s);
    setOutput2Switches(map.S4, s);
    outcome.completed = true;
    return outcome;
}

} // namespace hvx
