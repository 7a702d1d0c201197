#pragma once
// Every field of a Setup in one table, named as the window's controls and the
// setup file name them: the lists, then the choices, then the two custom
// range texts.

#include "setup.h"

#include <QString>

#include <vector>

namespace hvx {

struct SetupField {
    enum class Kind { List, Choice, Text };
    Kind kind = Kind::List;
    // ListId or ChoiceId as an integer; for a text 0 is eCustomLow, 1 eCustomHigh.
    int id = 0;

    QString name() const;
    // The index held by a list or choice field (-1 for none); 0 for a text.
    int index(const Setup &setup) const;
    void setIndex(Setup &setup, int index) const;
    // The text of a text field; empty for the others.
    QString text(const Setup &setup) const;
    void setText(Setup &setup, const QString &text) const;
};

// All fields in their fixed order: cbInputType ... cbFreqOutputRange,
// rgLinearisation ... rgFreqBurnout, eCustomLow, eCustomHigh.
const std::vector<SetupField> &setupFields();

} // namespace hvx
