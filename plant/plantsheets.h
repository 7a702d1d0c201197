#pragma once
// What a plant's table gives on paper and back into a table: the results
// sheet of each unit, and the table written back with the setups its files
// hold (the register a commissioning team takes into the field).

#include "plantplan.h"
#include "resultsheet.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace hvx {

// The sheet of one unit: its setup evaluated, its file's name and the
// plant's own columns of its row.
ResultSheet plantSheet(const Setup &setup, const QString &fileName, const QString &plantColumns);

// The sheets of a table's rows in table order, one at a time: each row is
// read again when its sheet is asked for, so that memory does not grow with
// the table.
class TableSheets {
public:
    explicit TableSheets(PlantReader &reader)
        : m_reader(reader)
    {
    }
    // Reads the table at tablePath through; sheets follow only when every
    // row is good (the status says why not).
    PlantPlan::Status plan(const QString &tablePath);
    qsizetype count() const { return qsizetype(m_plan.places.size()); }
    // The next sheet; false after the last.
    bool next(ResultSheet *sheet);

private:
    PlantReader &m_reader;
    PlantPlan m_plan;
    std::optional<PlantPlanner> m_planner;
    size_t m_next = 0;
};

// The setup file a row's file cell names in folder: its last part, with
// ".hvx" added when it has another ending. Empty, with the problem, when the
// cell names no usable file.
QString setupFilePath(const QString &fileCell, const QString &folder, QString *problem);

// The table of an open reader written back a line at a time: its header,
// with the setup columns, S1 to S4 and "read S1" to "read S4" it lacks added
// at the end, then each row with its setup columns and S1 to S4 (the setup's
// switches) filled from the file its row names in folder; every other cell,
// the file cell too, as it was. A row whose file cannot be read is written
// as it was, its problem told. False when the header is refused (told).
bool writeRegister(PlantReader &reader, const QString &folder, const std::function<void(const QByteArray &)> &write);

} // namespace hvx
