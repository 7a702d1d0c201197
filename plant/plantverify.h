#pragma once
// A plant's units checked in the field: what each row of a table says was
// read off its unit ("read S1" to "read S4") and which setup file it is to be
// compared with. S1 to S4 are the setup's own switches and are never taken
// for what was read.

#include "plantreader.h"
#include "setuprow.h"

#include <QString>

namespace hvx {

// Checks the header of a table of units: a file column and the columns of
// the switches read off each unit ("read S4" may be left out: a
// single-output unit has none). False when told; a table that holds the
// setup's switches but no readings is told what goes where.
bool checkUnitsHeader(PlantReader &reader);
// Reads the rows through once: a table with no row, or an own column that
// holds what a known column the table lacks would, cannot be checked. False
// when told; the reader is then back at the first row.
bool checkUnitsRows(PlantReader &reader);

struct UnitRow {
    int line = 0;
    QString file; // the file cell as the table has it
    QString path; // the setup file it names in the folder
    UnitReading reading;
    // Why the unit cannot be checked ("column "file": is empty"); empty
    // when it can, or when nothing was read off it.
    QString problem;
};

// What a row gives for its unit, its setup file looked for in folder.
UnitRow readUnitRow(const PlantReader &reader, const CsvRecord &record, const QString &folder);

// Why a unit whose "read S4" is empty cannot be compared with a dual-output
// setup.
QString emptyS4Problem();

} // namespace hvx
