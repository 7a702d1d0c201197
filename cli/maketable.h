#pragma once
// halvex-eval --make: one setup file per row of a table. Every row is checked
// before any file is written.

#include <QString>

namespace hvx {
namespace table {

// Writes one setup file per row of the table into dir (made when missing);
// gives the exit status.
int runMake(const QString &tablePath, const QString &dir, bool force);

} // namespace table
} // namespace hvx
