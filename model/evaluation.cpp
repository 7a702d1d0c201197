#include "evaluation.h"

#include "encoders.h"
#include "inputtypetable.h"
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
void setOutputSwitches(BankWriter &bank, int output, int outputRange, int burnout, int inversion)
{
    const OutputRange *range = outputRanges().at(outputRange);
    if (range) {
        const auto why = [&] { return Reasons::outputRange(output, outputRange); };
        const bool sink = range->kind == OutputKind::CurrentSink;
        bank.set(2, sink, why);
        bank.set(4, sink, why);
        bank.set(3, !sink, why);
        bank.set(5, !sink, why);
        bank.set(6, range->kind == OutputKind::VoltageSource, why);
        bank.set(11, range->span & 0b10, why);
        bank.set(12, range->span & 0b01, why);
    }
    const ChoiceId burnoutId = output == 1 ? ChoiceId::rgBurnout : ChoiceId::rgBurnout2;
    const ChoiceId inversionId = output == 1 ? ChoiceId::rgInversion : ChoiceId::rgInversion2;
    bank.set(7, burnout == 1, [&] { return Reasons::choice(burnoutId, burnout); });
    bank.set(8, inversion == 1, [&] { return Reasons::choice(inversionId, inversion); });
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
    if (!s.isDualOutput())
        return QString();
    if (s.rgDualType == DualTypeChoice::Analog)
        return s.cbOutputRange2 == -1 ? Messages::selectOutput2Range() : QString();
    if (s.rgDualType == DualTypeChoice::TripRelay)
        return s.cbTripOutput == -1 ? Messages::selectTripRange() : QString();
    return s.cbFreqOutputRange == -1 ? Messages::selectFrequencyRange() : QString();
}

// The input encoder of the setup's input type: 0 when it set its switches.
int encodeInput(EvaluationContext &ctx)
{
    switch (inputTypeTable[ctx.setup.cbInputType].family) {
    case InputFamily::Linear:
        return EvaluateLinearInput(ctx);
    case InputFamily::Thermocouple:
        return EvaluateThermocoupleInput(ctx);
    case InputFamily::Rtd:
        break;
    }
    return EvaluateRtdInput(ctx);
}

// Output 1 on S3.
void setOutput1Switches(BankWriter s3, const Setup &s)
{
    s3.set(1, s.rgButtonIsolation == 0,
           [&] { return Reasons::choice(ChoiceId::rgButtonIsolation, s.rgButtonIsolation); });
    setOutputSwitches(s3, 1, s.cbOutputRange, s.rgBurnout, s.rgInversion);
    if (s.isSingleOutput()) {
        s3.set(9, s.rgSquareRoot == 1, [&] { return Reasons::choice(ChoiceId::rgSquareRoot, s.rgSquareRoot); });
        s3.set(10, false, [&] { return Reasons::choice(ChoiceId::rgDualOutput, s.rgDualOutput); });
    } else if (s.isDualOutput()) {
        s3.set(10, true, [&] { return Reasons::choice(ChoiceId::rgDualOutput, s.rgDualOutput); });
        if (s.rgDualType == DualTypeChoice::TripRelay)
            s3.set(9, s.rgTripRelativeTo == 1,
                   [&] { return Reasons::choice(ChoiceId::rgTripRelativeTo, s.rgTripRelativeTo); });
    }
}

// The second output on S4. A dual output choice read as -1 from a file counts
// as neither single nor dual output: S4 stays off.
void setOutput2Switches(BankWriter s4, const Setup &s)
{
    if (!s.isDualOutput()) {
        s4.setPositions(0, positionSet({ 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 }),
                        [&] { return Reasons::choice(ChoiceId::rgDualOutput, s.rgDualOutput); });
        return;
    }
    const auto type = [&] { return Reasons::dualType(s.rgDualType); };
    switch (s.rgDualType) {
    case DualTypeChoice::Analog:
        s4.set(1, true, type);
        s4.set(10, true, type);
        setOutputSwitches(s4, 2, s.cbOutputRange2, s.rgBurnout2, s.rgInversion2);
        s4.set(9, s.rgSquareRoot2 == 1, [&] { return Reasons::choice(ChoiceId::rgSquareRoot2, s.rgSquareRoot2); });
        break;
    case DualTypeChoice::TripRelay:
        s4.set(5, s.rgTripBurnout == 1, [&] { return Reasons::choice(ChoiceId::rgTripBurnout, s.rgTripBurnout); });
        s4.setRangeCode(codeAt(tripDelays(), s.cbTripOutput), [&] { return Reasons::tripDelay(s.cbTripOutput); });
        s4.set(4, s.rgTripLEDstate == 1, [&] { return Reasons::choice(ChoiceId::rgTripLEDstate, s.rgTripLEDstate); });
        break;
    case DualTypeChoice::Frequency:
        s4.set(6, true, type);
        s4.set(5, s.rgFreqBurnout == 1, [&] { return Reasons::choice(ChoiceId::rgFreqBurnout, s.rgFreqBurnout); });
        s4.setRangeCode(codeAt(frequencyRanges(), s.cbFreqOutputRange),
                        [&] { return Reasons::frequencyRange(s.cbFreqOutputRange); });
        break;
    default:
        break;
    }
}

} // namespace

EvaluationOutcome Evaluate(const Setup &s, EvaluationValues &values, const QLocale &locale, SwitchReasons *reasons)
{
    EvaluationOutcome outcome;
    EvaluationContext ctx{ s, values, outcome, locale, reasons };
    SwitchMap &map = values.map;

    map.clear();
    outcome.status = missingSelection(s);
    if (!outcome.status.isEmpty())
        return outcome;

    // Any choice other than "Normal" (including none, from a file) is fast.
    ctx.bank(1).set(7, s.rgConversionSpeed != 0,
                    [&] { return Reasons::choice(ChoiceId::rgConversionSpeed, s.rgConversionSpeed); });

    outcome.inputEncoderRan = true;
    if (encodeInput(ctx) != 0)
        return outcome;
    setOutput1Switches(ctx.bank(3), s);
    setOutput2Switches(ctx.bank(4), s);
    outcome.completed = true;
    return outcome;
}

} // namespace hvx
