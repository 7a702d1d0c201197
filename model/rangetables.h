#pragma once
// The listed items of every range list, one row per item: its text and all
// that evaluation takes from it. The item texts, the range codes, the fitting
// of custom ranges, the output switches and the burnout captions are all read
// from these rows.

#include "switchmap.h"
#include "texts.h"

#include <cstddef>

namespace hvx {

// A read-only view of the rows of one table.
template <typename Row>
class Rows {
public:
    constexpr Rows() = default;
    constexpr Rows(const Row *first, int count)
        : m_first(first)
        , m_count(count)
    {
    }
    template <std::size_t N>
    constexpr Rows(const Row (&rows)[N])
        : m_first(rows)
        , m_count(static_cast<int>(N))
    {
    }

    constexpr int size() const { return m_count; }
    constexpr const Row *begin() const { return m_first; }
    constexpr const Row *end() const { return m_first + m_count; }
    constexpr const Row &operator[](int i) const { return m_first[i]; }
    // The row at an index; nothing for an index outside the table (-1 included).
    constexpr const Row *at(int i) const { return i >= 0 && i < m_count ? m_first + i : nullptr; }

private:
    const Row *m_first = nullptr;
    int m_count = 0;
};

// Switches of banks S1 and S2 that a listed input range turns on besides its
// range code and the switches of its input type.
enum InputRangeSwitch : unsigned {
    NoRangeSwitches = 0,
    S1Pos12 = 1u << 0,
    S2Pos4 = 1u << 1,
    S2Pos5 = 1u << 2,
    S2Pos8 = 1u << 3,
};

// One listed input range. low and high are in the unit of the input type; a
// custom range is fitted by comparing the typed 32-bit values with them.
struct InputRange {
    const char *text; // item text, UTF-8
    float low;
    float high;
    RangeCode code;    // on S1 positions 1 to 4
    unsigned switches; // InputRangeSwitch flags
};

// The range list of one input type (K and J, R and S, N and E, PT100 and
// PT1000 share theirs).
struct InputRangeList {
    ListId id;
    Rows<InputRange> ranges;
    // Whether "Custom" follows the listed ranges.
    bool custom;
    // Written after a limit in the custom-range messages (" V", "°C"; nothing
    // for the potentiometer).
    const char *limitUnit;
};

// The range list with that id; nothing for a list that holds no input ranges.
const InputRangeList *inputRangeList(ListId id);

enum class OutputKind { CurrentSource, VoltageSource, CurrentSink };

// One output range, for output 1 and an analog output 2.
struct OutputRange {
    const char *text;
    OutputKind kind;
    // Span code on positions 11 (bit 1) and 12 (bit 0) of the output's bank.
    int span;
    // The level of low burnout, as the burnout caption names it ("2mA"); the
    // high level follows from the kind.
    const char *lowBurnout;
};

Rows<OutputRange> outputRanges();

// An item whose selection writes a RangeCode on S4: trip relay delay,
// frequency output range.
struct CodedItem {
    const char *text;
    RangeCode code;
};

Rows<CodedItem> tripDelays();
Rows<CodedItem> frequencyRanges();

} // namespace hvx
