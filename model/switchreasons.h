#pragma once
// Why each switch position holds its state. Evaluation writes the map through
// BankWriter; when a SwitchReasons is given, every rule that decides a
// position records its reason in the same step as it sets the position.

#include "inputtypetable.h"
#include "switchmap.h"

#include <QString>

#include <array>

namespace hvx {

class SwitchReasons {
public:
    // Keeps the reason of the rule that turned the position on (the first
    // one), or while it is off, of the last rule that decided it.
    void record(int bank, int position, bool on, const QString &reason);
    // The recorded reason; empty when no rule decided the position.
    QString reason(int bank, int position) const;
    // Whether a rule recorded turning the position on.
    bool recordedOn(int bank, int position) const;

private:
    struct Entry {
        bool on = false;
        QString reason;
    };
    static std::size_t indexOf(int bank, int position);
    std::array<Entry, 48> m_entries;
};

// One bank of the map being evaluated, and the reasons kept for it (if any).
class BankWriter {
public:
    BankWriter(SwitchBank &bank, int number, SwitchReasons *reasons)
        : m_bank(bank)
        , m_number(number)
        , m_reasons(reasons)
    {
    }

    // Turns the position on when `on` (evaluation never turns one off) and
    // records why() as what decided it. why() is called only when reasons
    // are kept.
    template <typename Why>
    void set(int position, bool on, const Why &why)
    {
        if (on)
            m_bank.turnOn(position);
        if (m_reasons)
            m_reasons->record(m_number, position, on, why());
    }

    // Sets the positions of `decided`, on those of `on` among them.
    template <typename Why>
    void setPositions(PositionSet on, PositionSet decided, const Why &why)
    {
        for (int p = 1; p <= 12; ++p)
            if (contains(on | decided, p))
                set(p, contains(on, p), why);
    }

    // SetRangeCode, with the code as the reason of positions 1 to 4.
    template <typename Why>
    void setRangeCode(RangeCode code, const Why &why)
    {
        for (int bit = 3; bit >= 0; --bit)
            set(4 - bit, (code >> bit) & 1, why);
    }

private:
    SwitchBank &m_bank;
    int m_number;
    SwitchReasons *m_reasons;
};

// The reason texts.
namespace Reasons {
// "part of the input type Voltage"
QString inputType(int inputType);
// "part of the input range 0 to 10 V"
QString inputRange(ListId rangeList, int index);
// "part of the output 1 range 4 to 20 mA source"
QString outputRange(int output, int index);
QString tripDelay(int index);
QString frequencyRange(int index);
// What a choice at that index says ("Linearisation off", "Fast response",
// "Inversion on (output 2)").
QString choice(ChoiceId id, int index);
// The second output's type ("Analog second output").
QString dualType(int index);
// A position no rule of the setup decides.
QString unused();
} // namespace Reasons

} // namespace hvx
