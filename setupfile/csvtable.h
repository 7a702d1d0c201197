#pragma once
// Tables as spreadsheets read and write them: comma-separated values with
// double-quote quoting (a cell holding the separator, a quote or a line break
// is quoted, a quote inside doubled). A table read may use commas or
// semicolons, told apart by its header line, may start with a UTF-8
// byte-order mark and may end its lines with LF or CRLF. Tables written use
// commas and CRLF and start with the byte-order mark, so that spreadsheets
// take them as UTF-8.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace hvx {

struct CsvRecord {
    int line = 0; // line of the table on which the record starts, from 1
    QStringList cells;

    // Whether every cell is empty (a spreadsheet's blank row).
    bool isBlank() const;
};

struct CsvTable {
    QStringList header;
    QList<CsvRecord> records; // after the header
    QChar separator = QLatin1Char(',');

    // Column of a header name, compared apart from letter case and
    // surrounding blanks; -1 when the header has no such column.
    int column(const QString &name) const;
    // The cell of a record in a column; empty for a column of -1 or a
    // record that ends before it.
    static QString cell(const CsvRecord &record, int column);
};

struct CsvError {
    int line = 0;
    QString message;
};

// Reads a whole table. False with the first fault (its line and what is
// wrong) for text that is not UTF-8, a quote that is never closed, text
// after a closing quote, or a table without a header line.
bool readCsvTable(const QByteArray &bytes, CsvTable *table, CsvError *error);

// The UTF-8 byte-order mark.
QByteArray csvByteOrderMark();
// One line of a table written by the program: cells separated by commas,
// ended by CRLF.
QByteArray csvLine(const QStringList &cells);

} // namespace hvx
