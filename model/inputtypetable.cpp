#include "inputtypetable.h"

namespace hvx {
namespace {

constexpr bool rangeListsInOrder()
{
    // The twelve lists follow each other in ListId order; a shared list is
    // shared by neighbouring rows only.
    const std::array<ListId, InputRangeListCount> lists = inputRangeLists();
    for (int i = 0; i < InputRangeListCount; ++i)
        if (lists[static_cast<std::size_t>(i)] != ListId(static_cast<int>(ListId::cbIRVoltage) + i))
            return false;
    return true;
}
static_assert(rangeListsInOrder(), "one range list per input type row, cbIRVoltage to cbIRRTD in order");

constexpr bool familiesInOrder()
{
    for (int t = 0; t < InputTypeCount; ++t) {
        const InputFamily f = inputTypeTable[t].family;
        const InputFamily expected = t <= Pot3Wire ? InputFamily::Linear
            : t <= TcT                             ? InputFamily::Thermocouple
                                                   : InputFamily::Rtd;
        if (f != expected)
            return false;
    }
    return true;
}
static_assert(familiesInOrder(), "the rows follow the InputType order");

} // namespace

const InputTypeInfo *inputTypeInfo(int inputType)
{
    return inputType >= 0 && inputType < InputTypeCount ? &inputTypeTable[inputType] : nullptr;
}

ListId rangeListFor(int inputType)
{
    const InputTypeInfo *info = inputTypeInfo(inputType);
    return info ? info->rangeList : ListId::cbInputRange;
}

QString unitFor(int inputType)
{
    const InputTypeInfo *info = inputTypeInfo(inputType);
    return info ? QString::fromUtf8(info->unit) : QString();
}

namespace {

bool isOfFamily(int inputType, InputFamily family)
{
    const InputTypeInfo *info = inputTypeInfo(inputType);
    return info && info->family == family;
}

} // namespace

bool isLinearType(int t) { return isOfFamily(t, InputFamily::Linear); }
bool isThermocouple(int t) { return isOfFamily(t, InputFamily::Thermocouple); }
bool isRtd(int t) { return isOfFamily(t, InputFamily::Rtd); }

} // namespace hvx
