#pragma once
// A setup as one row of a table, in the words of the main window: each column
// holds the text of the item the window shows for a selection ("K type
// thermocouple", "0 to 400°C", "CJC off"), the custom range texts as typed,
// and the switch banks as read off a unit.

#include "setup.h"
#include "switchmap.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace hvx {

namespace TableColumns {
extern const char file[];
extern const char status[];
extern const char message[];
extern const char check[];
extern const char checked[];
} // namespace TableColumns

// The columns of the setup's selections, in table order: "input type" ...
// "frequency burnout".
const QStringList &setupColumns();
// The columns of the four switch banks: "S1" ... "S4".
const QStringList &bankColumns();
// Every column the program writes: file, the setup's columns, S1 to S4,
// status and message.
const QStringList &allTableColumns();
// The columns of the switches read off a unit in the field: "read S1" ...
// "read S4"; S1 to S4 are always the setup's own.
const QStringList &readBankColumns();
// The columns a check of a unit writes: "read S1" ... "read S4", "check"
// (the verdict) and "checked" (when).
const QStringList &checkColumns();
// Every column any table command knows: allTableColumns() and checkColumns().
const QStringList &knownTableColumns();

// The text of a choice that no button is chosen in (possible only in a setup
// file): "(not set)".
QString notSetText();

// The setup's values, one per setup column. Nothing chosen in a list is the
// empty text; a choice without a chosen button is notSetText(), which
// setupFromRowValues() reads back as it.
QStringList setupRowValues(const Setup &setup);
// What a row's message says of the choices the setup leaves without a
// chosen button ("(not set): the file chooses no button for RTD wiring");
// empty when there are none.
QString unsetChoicesNote(const Setup &setup);

struct RowProblem {
    QString column; // empty for a problem of the whole row
    QString message;
};

// The setup of a row, one value per setup column (empty where the row has no
// such column). A value is one of its column's items apart from letter case
// and surrounding blanks; an empty value leaves what New gives. Every value
// that is not one of its items is a problem, and its field is left as New
// gives it.
//
// A number that reads two ways is refused: one to three digits (not starting
// with 0), a comma and exactly three digits ("1,200") in any table, and the
// same with a point ("1.200") in a table written with semicolons, where a
// point may separate thousands.
Setup setupFromRowValues(const QStringList &values, std::vector<RowProblem> *problems,
                         QChar separator = QLatin1Char(','));

// The setup columns, as bits by their place in setupColumns(), of which a
// value is an item apart from letter case and surrounding blanks: lists and
// choices only (never the input range or the custom texts).
quint32 setupColumnsWithItem(const QString &value);
// The columns of "custom low", "custom high" and "output 2" whose value (of
// values, one per setup column) the setup read from them does not use: a
// custom text when the range is not Custom, output 2 in single output.
QStringList unusedSetupValues(const QStringList &values, const Setup &setup);

// A value as a message quotes it: in double quotes, cut to about 60
// characters with "..." when longer.
QString quotedValue(const QString &value);

// A bank as twelve digits in three groups of four, position 1 first:
// "0100 0001 0100".
QString bankCellText(const SwitchBank &bank);
// Twelve digits 0 and 1, with or without blanks between them.
std::optional<SwitchBank> bankFromCell(const QString &text, QString *error);

// The switches a row gives for a unit, from its "read S1" to "read S4" cells.
struct UnitReading {
    enum class State {
        Read,       // the switches are in switches
        NotRead,    // all four banks are empty: nothing read off the unit yet
        Unreadable, // a bank is not twelve digits 0 and 1 (problem says which)
    };
    State state = State::Read;
    SwitchMap switches;
    // S4 was empty and is taken as all off, as a single-output unit's (the
    // sheet of one has no S4); a dual-output unit needs it read.
    bool s4Empty = false;
    RowProblem problem;
};
UnitReading unitFromBankCells(const QStringList &cells);

} // namespace hvx
