#pragma once
// What checking a plant's units against their setup files found, unit by
// unit, counted for the line that closes the check.

#include <QString>

#include <array>

namespace hvx {

enum class UnitVerdict {
    Match,      // set as its setup says
    Differ,     // some switch is the other way
    NotRead,    // no switch was read off the unit yet
    NotChecked, // its switches or its setup file could not be used
};

class UnitVerdicts {
public:
    void add(UnitVerdict verdict) { ++m_counts.at(size_t(verdict)); }
    int count(UnitVerdict verdict) const { return m_counts.at(size_t(verdict)); }
    int total() const;
    // "300 units: 290 match, 6 differ, 3 not read, 1 could not be checked",
    // in the singular where a count is one.
    QString summary() const;
    // The verdict a whole check gives: NotChecked when any unit was not read
    // or could not be checked, else Differ when any differs, else Match.
    UnitVerdict overall() const;

private:
    std::array<int, 4> m_counts{};
};

} // namespace hvx
