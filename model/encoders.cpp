#include "encoders.h"

#include "customrange.h"
#include "inputtypetable.h"
#include "rangetables.h"

namespace hvx {
namespace {

// The S1 and S2 positions other than the range code that a listed input
// range decides, with the bank each flag belongs to.
struct RangeSwitch {
    InputRangeSwitch flag;
    int bank;
    int position;
};
constexpr RangeSwitch rangeSwitches[] = {
    { S1Pos12, 1, 12 },
    { S2Pos4, 2, 4 },
    { S2Pos5, 2, 5 },
    { S2Pos8, 2, 8 },
};

// The flags that some range of the list sets: the positions its ranges decide.
unsigned decidedByRanges(const InputRangeList &list)
{
    unsigned flags = 0;
    for (const InputRange &r : list.ranges)
        flags |= r.switches;
    return flags;
}

// RTD wiring on S2, by rgRTDType: "2 wire", "3 wire", "4 wire".
constexpr PositionSet rtdWiring[] = { positionSet({ 5, 8, 12 }), positionSet({ 9, 12 }), positionSet({ 8, 10 }) };
constexpr PositionSet rtdWiringDecided = positionSet({ 5, 8, 9, 10, 12 });

const InputTypeInfo &typeOf(const EvaluationContext &ctx) { return inputTypeTable[ctx.setup.cbInputType]; }

// The type's own positions on S1 (decided ones included) or S2.
void setTypePositions(EvaluationContext &ctx, int bank, PositionSet on, PositionSet decided)
{
    const int type = ctx.setup.cbInputType;
    ctx.bank(bank).setPositions(on, decided, [type] { return Reasons::inputType(type); });
}

// S1 position 5 from "Linearisation off", for thermocouples and RTD. Any
// choice other than "on" (including none, from a file) counts as off.
void setLinearisation(EvaluationContext &ctx)
{
    const int choice = ctx.setup.rgLinearisation;
    ctx.bank(1).set(5, choice != 0, [choice] { return Reasons::choice(ChoiceId::rgLinearisation, choice); });
}

} // namespace

int EncodeInputRange(EvaluationContext &ctx)
{
    const ListId listId = typeOf(ctx).rangeList;
    ctx.values.RangeIndex = -1;
    const int selection = ctx.setup.list(listId);
    if (selection == customIndexFor(listId)) {
        if (FitCustomRange(ctx, listId) != 0)
            return -1;
    } else {
        ctx.values.RangeIndex = selection;
    }
    const InputRangeList &list = *inputRangeList(listId);
    const int index = ctx.values.RangeIndex;
    const InputRange *range = list.ranges.at(index);
    if (!range)
        return -1;
    const auto why = [listId, index] { return Reasons::inputRange(listId, index); };
    ctx.bank(1).setRangeCode(range->code, why);
    const unsigned decided = decidedByRanges(list);
    for (const RangeSwitch &rs : rangeSwitches)
        if (decided & rs.flag)
            ctx.bank(rs.bank).set(rs.position, range->switches & rs.flag, why);
    return 0;
}

void EncodePot3Wire(EvaluationContext &ctx)
{
    // One fixed range: code 0 leaves positions 1 to 4 off.
    ctx.values.RangeIndex = -1;
    const ListId listId = typeOf(ctx).rangeList;
    ctx.bank(1).setRangeCode(0, [listId] { return Reasons::inputRange(listId, 0); });
}

int EvaluateLinearInput(EvaluationContext &ctx)
{
    const InputTypeInfo *type = inputTypeInfo(ctx.setup.cbInputType);
    if (!type || type->family != InputFamily::Linear)
        return -1;
    setTypePositions(ctx, 1, type->s1, type->s1Decided);
    if (type->fixedRange)
        EncodePot3Wire(ctx);
    else if (EncodeInputRange(ctx) != 0)
        return -1;
    setTypePositions(ctx, 2, type->s2, type->s2Decided);
    return 0;
}

int EvaluateThermocoupleInput(EvaluationContext &ctx)
{
    const InputTypeInfo &type = typeOf(ctx);
    setLinearisation(ctx);
    const int cjc = ctx.setup.rgColdJunction;
    ctx.bank(1).set(8, cjc != 0, [cjc] { return Reasons::choice(ChoiceId::rgColdJunction, cjc); });
    setTypePositions(ctx, 1, type.s1, type.s1Decided);
    const int result = EncodeInputRange(ctx);
    // The thermocouple circuit, whatever the range encoder returned.
    setTypePositions(ctx, 2, type.s2, type.s2Decided);
    return result;
}

int EvaluateRtdInput(EvaluationContext &ctx)
{
    const InputTypeInfo &type = typeOf(ctx);
    const int wiring = ctx.setup.rgRTDType;
    const auto wiringWhy = [wiring] { return Reasons::choice(ChoiceId::rgRTDType, wiring); };
    setLinearisation(ctx);
    ctx.bank(1).set(8, wiring == 1, wiringWhy);
    setTypePositions(ctx, 1, type.s1, type.s1Decided);
    const int result = EncodeInputRange(ctx);
    // The RTD circuit and its wiring, whatever the range encoder returned.
    setTypePositions(ctx, 2, type.s2, type.s2Decided);
    if (wiring >= 0 && wiring < 3)
        ctx.bank(2).setPositions(rtdWiring[wiring], rtdWiringDecided, wiringWhy);
    return result;
}

} // namespace hvx
