#pragma once
// A plant's table read from its file one record at a time, so that only the
// table's bytes and the record at hand are held, with its header matched to
// the known columns. Every problem it finds goes to the sink it is given, so
// that every command and the plant window refuse the same tables and rows
// with the same words.

#include "csvtable.h"
#include "headerfolding.h"
#include "plantproblem.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace hvx {

class PlantReader {
public:
    // Tables larger than this are refused unread.
    static constexpr qint64 SizeLimit = qint64(256) << 20;

    enum class Opened {
        Table,      // the header is read
        CannotRead, // no such file, not a regular file, unreadable, too large (errorString())
        NotATable,  // not UTF-8 text, no header, both separators (told to the sink)
    };

    explicit PlantReader(ProblemSink &problems);
    PlantReader(const PlantReader &) = delete;
    PlantReader &operator=(const PlantReader &) = delete;

    Opened open(const QString &path);
    // The bytes of a table file: a regular file up to the size limit. False
    // with "plant.csv could not be read: ..." otherwise.
    static bool readTableFile(const QString &path, QByteArray *bytes, QString *error);
    // Reads a table from bytes, as if from path.
    Opened open(const QByteArray &bytes, const QString &path);
    // "plant.csv could not be read: no such file or directory".
    QString errorString() const { return m_error; }

    // The next record, blank rows passed over. False at the end, or at a
    // fault in the table's quoting (told).
    bool next(CsvRecord *record);
    // Where the next record starts, and back to it for a second reading (so
    // that a command keeps where its rows are, not the rows).
    struct Place {
        qsizetype position = 0;
        int line = 0;
    };
    Place place() const { return { m_csv->position(), m_csv->line() }; }
    void seek(const Place &place) { m_csv->seek(place.position, place.line); }
    // Where the bytes read so far end.
    qsizetype bytesRead() const { return m_csv->position(); }

    const QString &path() const { return m_path; }
    ProblemSink &problems() const { return m_problems; }
    void problem(int line, const QString &column, const QString &message) const
    {
        m_problems.add({ line, 0, column, message });
    }

    // Checks the header: the required columns present, no known column
    // twice, no near miss of a known column. False when it told a problem.
    bool checkHeader(const QStringList &required);
    // What the header names: known columns, near misses, the plant's own.
    const HeaderReading &header() const { return m_header; }
    // The header line's cells as written.
    const QStringList &headerCells() const { return m_csv->header(); }
    QChar separator() const { return m_csv->separator(); }
    int column(const QString &name) const { return m_header.column(name); }
    QString cell(const CsvRecord &record, const QString &column) const;
    // The notes on the columns: the plant's own, and with lacked, the setup
    // columns the table lacks with the value every row takes.
    QStringList columnNotes(bool lacked) const;

    // A record with more cells than the header was split where it should
    // not have been (a separator inside a value that is not quoted): told.
    bool checkWidth(const CsvRecord &record) const;
    // What checkWidth tells, or empty when the record fits the header.
    static QString widthProblem(const CsvRecord &record, qsizetype columns, QChar separator);

private:
    void csvProblem(const CsvError &error) const;

    ProblemSink &m_problems;
    QString m_path;
    QString m_error;
    QByteArray m_bytes;
    std::unique_ptr<CsvReader> m_csv;
    HeaderReading m_header;
};

} // namespace hvx
