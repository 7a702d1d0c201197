#include "setup.h"

#include <array>

namespace hvx {
namespace {

using ListMember = int Setup::*;

constexpr std::array<ListMember, ListCount> listMembers = {
    &Setup::cbInputType,
    &Setup::cbInputRange,
    &Setup::cbIRVoltage,
    &Setup::cbIRCurrent,
    &Setup::cbIRCurrentTransmitter,
    &Setup::cbIRmilliVolt,
    &Setup::cbIRPot2,
    &Setup::cbIRPot3,
    &Setup::cbIRTCKJ,
    &Setup::cbIRTCRS,
    &Setup::cbIRTCNE,
    &Setup::cbIRTCB,
    &Setup::cbIRTCT,
    &Setup::cbIRRTD,
    &Setup::cbOutputRange,
    &Setup::cbOutputRange2,
    &Setup::cbTripOutput,
    &Setup::cbFreqOutputRange,
};

constexpr std::array<ListMember, ChoiceCount> choiceMembers = {
    &Setup::rgLinearisation, &Setup::rgColdJunction, &Setup::rgRTDType,      &Setup::rgConversionSpeed,
    &Setup::rgBurnout,       &Setup::rgInversion,    &Setup::rgSquareRoot,   &Setup::rgButtonIsolation,
    &Setup::rgDualOutput,    &Setup::rgDualType,     &Setup::rgBurnout2,     &Setup::rgInversion2,
    &Setup::rgSquareRoot2,   &Setup::rgTripBurnout,  &Setup::rgTripLEDstate, &Setup::rgTripRelativeTo,
    &Setup::rgFreqBurnout,
};

// A table sized by an enum's count but given fewer rows leaves null members.
template <std::size_t N>
constexpr bool allMembers(const std::array<ListMember, N> &members)
{
    for (ListMember m : members)
        if (m == nullptr)
            return false;
    return true;
}
static_assert(allMembers(listMembers) && allMembers(choiceMembers), "every list and choice needs its field");

} // namespace

int &Setup::list(ListId id) { return this->*listMembers[static_cast<size_t>(id)]; }
int Setup::list(ListId id) const { return this->*listMembers[static_cast<size_t>(id)]; }
int &Setup::choice(ChoiceId id) { return this->*choiceMembers[static_cast<size_t>(id)]; }
int Setup::choice(ChoiceId id) const { return this->*choiceMembers[static_cast<size_t>(id)]; }

int Setup::inputRange() const
{
    if (cbInputType < 0 || cbInputType >= InputTypeCount)
        return -1;
    return list(rangeListFor(cbInputType));
}

bool Setup::operator==(const Setup &o) const
{
    for (int i = 0; i < ListCount; ++i)
        if (list(ListId(i)) != o.list(ListId(i)))
            return false;
    for (int i = 0; i < ChoiceCount; ++i)
        if (choice(ChoiceId(i)) != o.choice(ChoiceId(i)))
            return false;
    return eCustomLow == o.eCustomLow && eCustomHigh == o.eCustomHigh && conversionSpeedShown == o.conversionSpeedShown;
}

} // namespace hvx
