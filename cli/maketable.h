#pragma once
// halvex-eval --make: one setup file per row of a table, made by the plant's
// own rules; every row is checked before any file is written.

#include "plantmake.h"

#include <QString>

namespace hvx {
namespace table {

// Writes one setup file per row of the table into dir; gives the exit
// status. With update or dryRun, lists each new and changed file and counts
// the unchanged ones on standard output.
int runMake(const QString &tablePath, const QString &dir, const MakeOptions &options);

} // namespace table
} // namespace hvx
