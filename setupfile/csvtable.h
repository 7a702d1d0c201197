#pragma once
// Tables as spreadsheets read and write them: comma-separated values with
// double-quote quoting (a cell holding the separator, a quote or a line break
// is quoted, a quote inside doubled). A table read may use commas or
// semicolons, told apart by its header line, may start with a UTF-8
// byte-order mark and may end its lines with LF or CRLF. Tables written use
// commas and CRLF and start with the byte-order mark, so that spreadsheets
// take them as UTF-8.
//
// A spreadsheet runs a cell that starts with =, +, - or @ (after tabs and
// carriage returns too) as a formula. The
// program writes such a text cell (one that is not a number) with a leading
// apostrophe, which spreadsheets show as text and which reading takes off
// again; a cell that starts with apostrophes before one of those signs gets
// one apostrophe more, so that every text comes back as it was written.

#include <QByteArray>
#include <QHash>
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

struct CsvError {
    int line = 0;   // 0: no fault
    int column = 0; // character on the line, from 1; 0 for the whole line
    QString message;
};

// Reads a table one record at a time, so that only the table's bytes and
// the record at hand are held. The bytes must outlive the reader.
class CsvReader {
public:
    explicit CsvReader(const QByteArray &bytes);

    // Checks that the table is UTF-8 text and reads its header line. False
    // with the first fault: text that is not UTF-8, a header without column
    // names or with both separators, a fault in the header's quoting.
    bool start(CsvError *error);
    const QStringList &header() const { return m_header; }
    QChar separator() const { return QLatin1Char(m_separator); }
    // Column of a header name, compared apart from letter case and
    // surrounding blanks (the first when the header names it twice); -1 when
    // the header has no such column.
    int column(const QString &name) const;

    // The next record. False at the end of the table (error->line 0) or at a
    // quote that is never closed or text after a closing quote.
    bool next(CsvRecord *record, CsvError *error);
    // Where the next record starts, to come back to it with seek().
    qsizetype position() const { return m_pos; }
    int line() const { return m_line; }
    void seek(qsizetype position, int line);

private:
    bool readRecord(CsvRecord *record, CsvError *error);
    bool readCell(QString *cell, CsvError *error);
    bool atLineEnd() const;
    void skipLineEnd();
    int columnAt(qsizetype position) const;

    const QByteArray &m_bytes;
    char m_separator = ',';
    qsizetype m_pos = 0;
    qsizetype m_lineStart = 0;
    int m_line = 1;
    QStringList m_header;
    QHash<QString, int> m_index;
};

// A whole table in memory, for small tables and tests.
struct CsvTable {
    QStringList header;
    QList<CsvRecord> records; // after the header
    QChar separator = QLatin1Char(',');

    // As CsvReader::column().
    int column(const QString &name) const;
    // The cell of a record in a column; empty for a column of -1 or a
    // record that ends before it.
    static QString cell(const CsvRecord &record, int column);
};

// Reads a whole table. False with the first fault, as CsvReader gives it.
bool readCsvTable(const QByteArray &bytes, CsvTable *table, CsvError *error);

// The UTF-8 byte-order mark.
QByteArray csvByteOrderMark();
// One line of a table written by the program: cells separated by commas,
// ended by CRLF, formulas kept from spreadsheets.
QByteArray csvLine(const QStringList &cells);

} // namespace hvx
