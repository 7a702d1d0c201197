#pragma once
// halvex-eval's table commands: a whole plant in one table that spreadsheets
// open and write.
//   --csv FILE...                  the table of the given setup files
//   --make TABLE --into DIR        one setup file per row of the table
//   --verify-table UNITS           each unit's switches against its file
//   --pdf OUT --table TABLE        one results sheet per row of the table
//   --csv --table TABLE --into DIR the table with the setups of its files
// Each gives the exit status.

#include <QString>

namespace hvx {

class Arguments;

int runExport(const Arguments &line);
// The evaluation, or with --table the sheets of a table's rows.
int runEvaluateOrSheets(const Arguments &line);
int runMakeTable(const Arguments &line);
int runVerifyTable(const Arguments &line);

// The closing help text of the table commands.
QString tableHelpText();

} // namespace hvx
