#pragma once
// halvex-eval --make: one setup file per row of a table. Every row is checked
// before any file is written.

#include "tablesupport.h"

#include <QString>

#include <vector>

namespace hvx {
namespace table {

struct MakeOptions {
    bool force = false;  // existing files are replaced
    bool update = false; // only new files and those whose bytes change are written
    bool dryRun = false; // what would be written is listed, nothing written
};

// "3 problems", "1 problem", "10,000 setup files".
QString counted(qsizetype count, const char *what);

// The file of one row, its problems told; false when it has any.
bool readPlantRow(LoadedTable &table, const PlantPlanner &planner, const CsvRecord &record, PlannedRow *row);
// Reads the table and every row of it, telling each problem, and gives where
// the good rows are (and, when asked, what each of them reads as).
// False when the table has a problem or no rows, told with nothingDone
// ("nothing written"), and the exit status.
bool checkPlantTable(LoadedTable &table, const QString &tablePath, std::vector<LoadedTable::Place> *plan, int *status,
                     const char *nothingDone, std::vector<PlannedRow> *rows = nullptr);

// Writes one setup file per row of the table into dir (made when missing);
// gives the exit status. With update or dryRun, lists each new and changed
// file and counts the unchanged ones on standard output.
int runMake(const QString &tablePath, const QString &dir, const MakeOptions &options);

} // namespace table
} // namespace hvx
