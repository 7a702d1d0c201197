#pragma once
// halvex-eval with a plant's table: the results sheet of every row printed
// in table order (--pdf OUT --table TABLE), and the table written back with
// its setup columns read from the files its rows name (--csv --table TABLE).

#include <QByteArray>
#include <QString>

namespace hvx {
namespace table {

// One sheet per row, the row's file named on it and the plant's own columns
// below the summary; nothing printed when a row is refused.
int runTableSheets(const QString &tablePath, const QByteArray &pdfPath);
// The table on standard output, each setup column filled from the file its
// row names in dir (the table's folder when empty), every other cell as it
// was.
int runTableBack(const QString &tablePath, const QString &dir);

} // namespace table
} // namespace hvx
