#include "encoders.h"

#include "customrange.h"

#include <vector>

namespace hvx {
namespace {

// Range codes of each listed range, by list index.
const std::vector<RangeCode> &codeTable(ListId list)
{
    static const std::vector<RangeCode> voltage = { 0, 1, 2, 4, 8, 3, 5, 9, 6, 10, 7,   // from 0 V
                                                    1, 2, 4, 8, 3, 5, 9, 6, 10, 7,      // from 1 V
                                                    12, 13, 14, 12, 13, 14 };           // from -5 V, -10 V
    static const std::vector<RangeCode> current = { 0, 1, 2, 4, 8, 3, 5, 9, 6, 10, 7,   // from 0 mA
                                                    4, 8, 3, 5, 9, 6, 10, 7,            // from 4 mA
                                                    12, 13, 14, 15, 12, 13, 14, 15 };   // from -5 mA, -10 mA
    static const std::vector<RangeCode> tx = { 0, 1, 2, 4, 8, 3, 5, 9, 6, 4, 8, 3, 5, 9, 6 };
    static const std::vector<RangeCode> milliVolt = { 0, 1, 2, 4, 8, 3, 5, 9, 6, 10, 7, 11, 12, 13, 14, 15 };
    static const std::vector<RangeCode> pot2 = { 0, 1, 2, 4, 8, 3 };
    // Thermocouple lists K/J, R/S, N/E and B: the index with its two 2-bit halves swapped.
    static const std::vector<RangeCode> swapped = { 0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15 };
    // T and RTD lists: the index itself.
    static const std::vector<RangeCode> identity = { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15 };
    static const std::vector<RangeCode> none;
    switch (list) {
    case ListId::cbIRVoltage: return voltage;
    case ListId::cbIRCurrent: return current;
    case ListId::cbIRCurrentTransmitter: return tx;
    case ListId::cbIRmilliVolt: return milliVolt;
    case ListId::cbIRPot2: return pot2;
    case ListId::cbIRTCKJ:
    case ListId::cbIRTCRS:
    case ListId::cbIRTCNE:
    case ListId::cbIRTCB: return swapped;
    case ListId::cbIRTCT:
    case ListId::cbIRRTD: return identity;
    default: return none;
    }
}

// Range code of a listed range, by range list and index (-1 for an index
// outside the list's code table).
RangeCode ListedRangeCode(ListId rangeList, int index)
{
    const std::vector<RangeCode> &table = codeTable(rangeList);
    // Thermocouple lists share one code table but are shorter than it: only
    // the listed ranges before "Custom" have a code.
    const int size = std::min(static_cast<int>(table.size()), customIndexFor(rangeList));
    return index >= 0 && index < size ? table[static_cast<size_t>(index)] : -1;
}

// The steps every encoder with a range list shares: settle RangeIndex (a
// listed range, or a custom range fitted to one) and write its code on S1.
// Returns 0, or -1 when no range could be settled.
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
    const RangeCode code = ListedRangeCode(list, ctx.values.RangeIndex);
    if (ctx.values.RangeIndex == -1 || code < 0)
        return -1;
    SetRangeCode(ctx.values.map.S1, code);
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

int EncodeVoltage(EvaluationContext &ctx)
{
    if (encodeRange(ctx, ListId::cbIRVoltage) != 0)
        return -1;
    const int r = ctx.values.RangeIndex;
    SwitchMap &m = ctx.values.map;
    if (r >= 11 && r <= 23)
        m.S1.turnOn(12);
    m.S2.turnOn(3);
    m.S2.turnOn(7);
    if (r == 9 || r == 10 || r == 19 || r == 20) {
        m.S2.turnOn(4);
        m.S2.turnOn(8);
    } else {
        m.S2.turnOn(5);
    }
    return 0;
}

int EncodeCurrentSink(EvaluationContext &ctx)
{
    if (encodeRange(ctx, ListId::cbIRCurrent) != 0)
        return -1;
    const int r = ctx.values.RangeIndex;
    SwitchMap &m = ctx.values.map;
    if (r >= 11 && r <= 22)
        m.S1.turnOn(12);
    m.S2.turnOn(1);
    m.S2.turnOn(2);
    m.S2.turnOn(7);
    m.S2.turnOn(r >= 19 ? 5 : 8);
    return 0;
}

int EncodeTxCurrent(EvaluationContext &ctx)
{
    if (encodeRange(ctx, ListId::cbIRCurrentTransmitter) != 0)
        return -1;
    SwitchMap &m = ctx.values.map;
    if (ctx.values.RangeIndex >= 9)
        m.S1.turnOn(12);
    for (int p : { 1, 2, 4, 7, 8, 11 })
        m.S2.turnOn(p);
    return 0;
}

int EncodeMilliVolt(EvaluationContext &ctx)
{
    if (encodeRange(ctx, ListId::cbIRmilliVolt) != 0)
        return -1;
    SwitchMap &m = ctx.values.map;
    m.S2.turnOn(2);
    m.S2.turnOn(7);
    m.S2.turnOn(ctx.values.RangeIndex >= 12 ? 5 : 8);
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
    case TcJ: result = EncodeThermocoupleKJ(ctx); break;
    case TcR:
    case TcS: result = EncodeThermocoupleRS(ctx); break;
    case TcN:
    case TcE: result = EncodeThermocoupleNE(ctx); break;
    case TcB: result = EncodeThermocoupleB(ctx); break;
    default: result = EncodeThermocoupleT(ctx); break;
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
