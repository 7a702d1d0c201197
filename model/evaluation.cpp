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

} // namespace

EvaluationOutcome Evaluate(const Setup &s, EvaluationValues &values, const QLocale &locale)
{
    EvaluationOutcome outcome;
    EvaluationContext ctx{ s, values, outcome, locale };
    SwitchMap &map = values.map;

    map.clear();

    if (s.cbInputType < 0 || s.cbInputType >= InputTypeCount) {
        outcome.status = Messages::selectInputType();
        return outcome;
    }
    if (s.inputRange() == -1) {
        outcome.status = Messages::selectInputRange();
        return outcome;
    }
    if (s.cbOutputRange == -1) {
        outcome.status = Messages::selectOutput1Range();
        return outcome;
    }
    if (s.rgDualOutput == 1) {
        if (s.rgDualType == 0) {
            if (s.cbOutputRange2 == -1) {
                outcome.status = Messages::selectOutput2Range();
                return outcome;
            }
        } else if (s.rgDualType == 1) {
            if (s.cbTripOutput == -1) {
                outcome.status = Messages::selectTripRange();
                return outcome;
            }
        } else if (s.cbFreqOutputRange == -1) {
            outcome.status = Messages::selectFrequencyRange();
            return outcome;
        }
    }

    // Any choice other than "Normal" (including none, from a file) is fast.
    if (s.rgConversionSpeed != 0)
        map.S1.turnOn(7);

    outcome.inputEncoderRan = true;
    int result;
    if (isLinearType(s.cbInputType))
        result = EvaluateLinearInput(ctx);
    else if (isThermocouple(s.cbInputType))
        result = EvaluateThermocoupleInput(ctx);
    else
        result = EvaluateRtdInput(ctx);
    if (result != 0)
        return outcome;

    // Output 1 on S3.
    SwitchBank &s3 = map.S3;
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

    // Second output on S4. A dual output choice read as -1 from a file counts
    // as neither single nor dual output: S4 stays off.
    if (s.rgDualOutput == 1) {
        SwitchBank &s4 = map.S4;
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

    outcome.completed = true;
    return outcome;
}

} // namespace hvx
