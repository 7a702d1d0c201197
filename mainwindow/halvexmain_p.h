#pragma once
// Helpers shared by the parts of the main window (not part of its interface).

#include "halvexmain.h"
#include "inputtypetable.h"

#include <QLineEdit>
#include <QSignalBlocker>

#include <iterator>
#include <vector>

namespace hvx {
namespace mainwindow {

// A range list of an input type and its change handler.
struct TypeRangeList {
    ListId list;
    void (TMainForm::*change)();
};

// The twelve range lists of the input types with their change handlers, in
// the order the window hides them: that of the input type table.
constexpr TypeRangeList TypeRangeLists[] = {
    { ListId::cbIRVoltage, &TMainForm::cbIRVoltageChange },
    { ListId::cbIRCurrent, &TMainForm::cbIRCurrentChange },
    { ListId::cbIRCurrentTransmitter, &TMainForm::cbIRCurrentTransmitterChange },
    { ListId::cbIRmilliVolt, &TMainForm::cbIRmilliVoltChange },
    { ListId::cbIRPot2, &TMainForm::cbIRPot2Change },
    { ListId::cbIRPot3, &TMainForm::cbIRPot3Change },
    { ListId::cbIRTCKJ, &TMainForm::cbIRTCKJChange },
    { ListId::cbIRTCRS, &TMainForm::cbIRTCRSChange },
    { ListId::cbIRTCNE, &TMainForm::cbIRTCNEChange },
    { ListId::cbIRTCB, &TMainForm::cbIRTCBChange },
    { ListId::cbIRTCT, &TMainForm::cbIRTCTChange },
    { ListId::cbIRRTD, &TMainForm::cbIRRTDChange },
};

constexpr bool handlersFollowTheTable()
{
    constexpr std::array<ListId, InputRangeListCount> lists = inputRangeLists();
    if (std::size(TypeRangeLists) != lists.size())
        return false;
    for (std::size_t i = 0; i < lists.size(); ++i)
        if (TypeRangeLists[i].list != lists[i])
            return false;
    return true;
}
static_assert(handlersFollowTheTable(), "one change handler per range list of the input type table, in its order");

// Typing into a custom edit stops at this many characters.
constexpr int TypedCustomLength = 6;

// Puts a custom text into its edit as it is stored. A longer text, read from a
// damaged file, is kept whole: the edit's limit grows to its length, and
// keepTypingLimit() brings it back once editing leaves the text short enough.
inline void setCustomText(QLineEdit *edit, const QString &text)
{
    edit->setMaxLength(qMax(TypedCustomLength, int(text.size())));
    edit->setText(text);
}

// After each edit by the user: back to the typing limit when the text fits it.
inline void keepTypingLimit(QLineEdit *edit)
{
    if (edit->maxLength() == TypedCustomLength || edit->text().size() > TypedCustomLength)
        return;
    const int cursor = edit->cursorPosition();
    edit->setMaxLength(TypedCustomLength); // also puts the cursor at the end
    edit->setCursorPosition(cursor);
}

// Blocks the signals of a set of objects while the program itself writes the
// controls, so that no handler runs half-way through a command.
class SignalBlock {
public:
    template <typename Range>
    explicit SignalBlock(const Range &objects)
    {
        m_blockers.reserve(objects.size());
        for (QObject *o : objects)
            m_blockers.emplace_back(o);
    }

private:
    std::vector<QSignalBlocker> m_blockers;
};

} // namespace mainwindow
} // namespace hvx
