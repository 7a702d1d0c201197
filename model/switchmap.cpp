#include "switchmap.h"

#include <stdexcept>

namespace hvx {

QString SwitchBank::toString() const
{
    QString s;
    s.reserve(12);
    for (int p = 1; p <= 12; ++p)
        s += isOn(p) ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

SwitchBank &SwitchMap::bank(int number)
{
    switch (number) {
    case 1:
        return S1;
    case 2:
        return S2;
    case 3:
        return S3;
    case 4:
        return S4;
    }
    throw std::out_of_range("switch bank number must be 1 to 4");
}

const SwitchBank &SwitchMap::bank(int number) const { return const_cast<SwitchMap *>(this)->bank(number); }

void SwitchMap::clear()
{
    S1.clear();
    S2.clear();
    S3.clear();
    S4.clear();
}

void SetRangeCode(SwitchBank &bank, RangeCode code)
{
    for (int bit = 3; bit >= 0; --bit)
        if (code & (1 << bit))
            bank.turnOn(4 - bit);
}

} // namespace hvx
