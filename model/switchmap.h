#pragma once
// The on/off state of the converter's 48 DIP switch positions.

#include <QString>

#include <array>

namespace hvx {

// Twelve positions, indexed by the position number 1 to 12; 1 is on, 0 off.
class SwitchBank {
public:
    int operator[](int position) const { return m_pos.at(static_cast<size_t>(position - 1)); }
    bool isOn(int position) const { return (*this)[position] != 0; }
    void turnOn(int position) { m_pos.at(static_cast<size_t>(position - 1)) = 1; }
    void turnOff(int position) { m_pos.at(static_cast<size_t>(position - 1)) = 0; }
    void clear() { m_pos.fill(0); }
    // Twelve characters, position k at index k-1: '1' on, '0' off.
    QString toString() const;
    bool operator==(const SwitchBank &o) const { return m_pos == o.m_pos; }
    bool operator!=(const SwitchBank &o) const { return m_pos != o.m_pos; }

private:
    std::array<int, 12> m_pos{};
};

struct SwitchMap {
    SwitchBank S1, S2, S3, S4;

    // Bank by number 1 to 4.
    SwitchBank &bank(int number);
    const SwitchBank &bank(int number) const;
    void clear();
    bool operator==(const SwitchMap &o) const { return S1 == o.S1 && S2 == o.S2 && S3 == o.S3 && S4 == o.S4; }
};

// A 4-bit code written onto positions 1 to 4 of a bank, bit 3 on position 1.
using RangeCode = int;

// Turns on positions 1 to 4 of the bank for the set bits of the code; clear
// bits leave their positions as they were.
void SetRangeCode(SwitchBank &bank, RangeCode code);

} // namespace hvx
