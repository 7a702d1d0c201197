#pragma once
// A plant's table read through before anything is made or printed from it:
// its header checked, every row read into the name and setup of its file
// with each problem told, and names that two rows give found. What follows
// (making, printing) goes back to the good rows by where they stand.

#include "plantplanner.h"
#include "plantreader.h"

#include <vector>

namespace hvx {

struct PlantPlan {
    enum class Status {
        Planned,    // every row is good
        CannotRead, // the reader's errorString() says why
        NotATable,  // told to the sink
        Refused,    // a problem of the header or of rows, told to the sink
        NoRows,     // a header and no row
    };
    Status status = Status::Planned;
    std::vector<PlantReader::Place> places; // of each row, in table order
    // What each row reads as, when asked for and while that takes no more
    // memory than the table itself (and a little); else empty, and the rows
    // are read again where needed (readAgain).
    std::vector<PlannedRow> rows;
};

// Reads one row: its width, the name and setup of its file. False when it
// has problems, each told.
bool readPlantRow(const PlantReader &reader, const PlantPlanner &planner, const CsvRecord &record, PlannedRow *row);

// Opens the table at path and reads it through. The notes on its columns go
// to the sink before the rows' problems.
PlantPlan planTable(PlantReader &reader, const QString &path, bool keepRows);
// The same for a table the reader has open.
PlantPlan planOpenTable(PlantReader &reader, bool keepRows);

// A planned row read again, with its record (for the plant's own columns).
bool readAgain(PlantReader &reader, const PlantPlanner &planner, const PlantReader::Place &place, CsvRecord *record,
               PlannedRow *row);

} // namespace hvx
