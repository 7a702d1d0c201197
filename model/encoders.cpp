#include "encoders.h"

#include "customrange.h"
#include "rangetables.h"

namespace hvx {
namespace {

// The steps every encoder with a range list shares: settle RangeIndex (a
// listed range, or a custom range fitted to one), write its code on S1 and
// turn on the further switches of that range. Returns 0, or -1 when no range
// could be settled.
int encodeRange(EvaluationContext &ctx, ListId list)
{
    ctx.values.RangeIndex = -1;
    const int selection = ctx.setup.list(list);
    if (selection == customIndexFor(list)) {
        if (FitCustomRange(ctx, list) != 0)
            return -1;
    } else {
        ctx.values.RangeIndex = selection;
    }
    const InputRange *range = inputRangeList(list)->ranges.at(ctx.values.RangeIndex);
    if (!range)
        return -1;
    SwitchMap &m = ctx.values.map;
    SetRangeCode(m.S1, range->code);
    if (range->switches & S1Pos12)
        m.S1.turnOn(12);
    if (range->switches & S2Pos4)
        m.S2.turnOn(4);
    if (range->switches & S2Pos5)
        m.S2.turnOn(5);
    if (range->switches & S2Pos8)
        m.S2.turnOn(8);
    return 0;
}

} // namespace

int EvaluateLinearInput(EvaluationContext &ctx)
{
    SwitchBank &s1 = ctx.values.map.S1;
    s1.turnOn(9);
    s1.turnOn(10);
    switch (ctx.setup.cbInputType) {
    case Voltage:
        s1.turnOn(6);
        return EncodeVoltage(ctx);
    case CurrentSink:
        s1.turnOn(11);
        return EncodeCurrentSink(ctx);
    case CurrentTxSupply:
        s1.turnOn(11);
        return EncodeTxCurrent(ctx);
    case MilliVolt:
        s1.turnOn(8);
        return EncodeMilliVolt(ctx);
    case Pot2Wire:
        s1.turnOn(8);
        s1.turnOn(12);
        return EncodePot2Wire(ctx);
    case Pot3Wire:
        s1.turnOn(6);
        s1.turnOn(8);
        s1.turnOn(11);
        EncodePot3Wire(ctx);
        return 0;
    default:
        return -1;
    }
}

// The type's own S2 positions; the range adds the rest (rangetables.cpp).
int EncodeVoltage(EvaluationContext &ctx)
{
    if (encodeRange(ctx, ListId::cbIRVoltage) != 0)
        return -1;
    for (int p : { 3, 7 })
        ctx.values.map.S2.turnOn(p);
    return 0;
}

int EncodeCurrentSink(EvaluationContext &ctx)
{
    if (encodeRange(ctx, ListId::cbIRCurrent) != 0)
        return -1;
    for (int p : { 1, 2, 7 })
        ctx.values.map.S2.turnOn(p);
    return 0;
}

int EncodeTxCurrent(EvaluationContext &ctx)
{
    if (encodeRange(ctx, ListId::cbIRCurrentTransmitter) != 0)
        return -1;
    for (int p : { 1, 2, 4, 7, 8, 11 })
        ctx.values.map.S2.turnOn(p);
    return 0;
}

int EncodeMilliVolt(EvaluationContext &ctx)
{
    if (encodeRange(ctx, ListId::cbIRmilliVolt) != 0)
        return -1;
    for (int p : { 2, 7 })
        ctx.values.map.S2.turnOn(p);
    return 0;
}

int EncodePot2Wire(EvaluationContext &ctx)
{
    if (encodeRange(ctx, ListId::cbIRPot2) != 0)
        return -1;
    for (int p : { 2, 5, 8, 12 })
        ctx.values.map.S2.turnOn(p);
    return 0;
}

void EncodePot3Wire(EvaluationContext &ctx)
{
    // One fixed range: no range code, and RangeIndex stays unsettled.
    ctx.values.RangeIndex = -1;
    for (int p : { 3, 4, 7, 8, 11 })
        ctx.values.map.S2.turnOn(p);
}

int EvaluateThermocoupleInput(EvaluationContext &ctx)
{
    SwitchBank &s1 = ctx.values.map.S1;
    // Any choice other than "on" (including none, from a file) counts as off.
    if (ctx.setup.rgLinearisation != 0)
        s1.turnOn(5);
    if (ctx.setup.rgColdJunction != 0)
        s1.turnOn(8);

    // Thermocouple type code on positions 10, 11 and 12.
    const int typeCode = ctx.setup.cbInputType - TcK; // 0 (K) to 7 (T)
    if (typeCode & 4)
        s1.turnOn(10);
    if (typeCode & 2)
        s1.turnOn(11);
    if (typeCode & 1)
        s1.turnOn(12);

    int result;
    switch (ctx.setup.cbInputType) {
    case TcK:
    case TcJ:
        result = EncodeThermocoupleKJ(ctx);
        break;
    case TcR:
    case TcS:
        result = EncodeThermocoupleRS(ctx);
        break;
    case TcN:
    case TcE:
        result = EncodeThermocoupleNE(ctx);
        break;
    case TcB:
        result = EncodeThermocoupleB(ctx);
        break;
    default:
        result = EncodeThermocoupleT(ctx);
        break;
    }

    for (int p : { 2, 5, 6, 7 })
        ctx.values.map.S2.turnOn(p);
    return result;
}

int EvaluateRtdInput(EvaluationContext &ctx)
{
    SwitchMap &m = ctx.values.map;
    if (ctx.setup.rgLinearisation != 0)
        m.S1.turnOn(5);
    if (ctx.setup.rgRTDType == 1)
        m.S1.turnOn(8);
    m.S1.turnOn(9);
    if (ctx.setup.cbInputType == RtdPt1000)
        m.S1.turnOn(12);

    const int result = EncodeRtd(ctx);

    m.S2.turnOn(2);
    switch (ctx.setup.rgRTDType) {
    case 0:
        m.S2.turnOn(5);
        m.S2.turnOn(8);
        m.S2.turnOn(12);
        break;
    case 1:
        m.S2.turnOn(9);
        m.S2.turnOn(12);
        break;
    case 2:
        m.S2.turnOn(8);
        m.S2.turnOn(10);
        break;
    default:
        break;
    }
    return result;
}

int EncodeThermocoupleKJ(EvaluationContext &ctx) { return encodeRange(ctx, ListId::cbIRTCKJ); }
int EncodeThermocoupleRS(EvaluationContext &ctx) { return encodeRange(ctx, ListId::cbIRTCRS); }
int EncodeThermocoupleNE(EvaluationContext &ctx) { return encodeRange(ctx, ListId::cbIRTCNE); }
int EncodeThermocoupleB(EvaluationContext &ctx) { return encodeRange(ctx, ListId::cbIRTCB); }
int EncodeThermocoupleT(EvaluationContext &ctx) { return encodeRange(ctx, ListId::cbIRTCT); }
int EncodeRtd(EvaluationContext &ctx) { return encodeRange(ctx, ListId::cbIRRTD); }

} // namespace hvx
