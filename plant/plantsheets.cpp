#include "plantsheets.h"

#include "displaytext.h"
#include "setupfile.h"
#include "setuprow.h"

#include <QDir>

namespace hvx {

ResultSheet plantSheet(const Setup &setup, const QString &fileName, const QString &plantColumns)
{
    ResultSheet sheet{ setup, EvaluationValues(), fileName, plantColumns };
    Evaluate(sheet.setup, sheet.values);
    return sheet;
}

PlantPlan::Status TableSheets::plan(const QString &tablePath)
{
    m_plan = planTable(m_reader, tablePath, false);
    if (m_plan.status == PlantPlan::Status::Planned)
        m_planner.emplace(m_reader.header(), m_reader.separator());
    return m_plan.status;
}

bool TableSheets::next(ResultSheet *sheet)
{
    if (!m_planner || m_next == m_plan.places.size())
        return false;
    CsvRecord record;
    PlannedRow row;
    if (!readAgain(m_reader, *m_planner, m_plan.places[m_next++], &record, &row))
        return false; // the same bytes as before: not reached
    *sheet = plantSheet(row.setup, row.fileName, m_planner->plantColumnsLine(record));
    return true;
}

QString setupFilePath(const QString &fileCell, const QString &folder, QString *problem)
{
    const QString name = PlantPlanner::fileNameOf(fileCell, problem);
    return name.isEmpty() ? QString() : QDir(folder).filePath(name);
}

namespace {

// The columns of a list the header lacks.
QStringList lacked(const PlantReader &reader, const QStringList &columns)
{
    QStringList out;
    for (const QString &column : columns) {
        if (reader.column(column) < 0)
            out << column;
    }
    return out;
}

// The row's cells with each setup column and S1 to S4 (added at the end
// where the header lacks them) taken from the setup, and the columns for the
// switches read off the unit added empty where the header lacks them.
QStringList rowWithSetup(const PlantReader &reader, const QStringList &added, const CsvRecord &record,
                         const Setup &setup)
{
    const qsizetype width = reader.headerCells().size();
    QStringList cells = record.cells;
    cells.resize(width + added.size());
    EvaluationValues values;
    Evaluate(setup, values);
    QStringList filled = setupRowValues(setup);
    for (int b = 1; b <= 4; ++b)
        filled << bankCellText(values.map.bank(b));
    const QStringList columns = setupColumns() + bankColumns();
    for (int i = 0; i < columns.size(); ++i) {
        const int column = reader.column(columns.at(i));
        cells[column >= 0 ? column : width + added.indexOf(columns.at(i))] = filled.at(i);
    }
    return cells;
}

// The setup of the file a row names in folder; false (told) when there is none.
bool rowSetup(const PlantReader &reader, const CsvRecord &record, const QString &folder, Setup *setup)
{
    if (!reader.checkWidth(record))
        return false;
    QString problem;
    const QString path = setupFilePath(reader.cell(record, QLatin1String(TableColumns::file)), folder, &problem);
    if (path.isEmpty()) {
        reader.problem(record.line, QLatin1String(TableColumns::file), problem);
        return false;
    }
    QString why;
    const LoadStatus status = loadSetupFile(path, *setup, &why);
    if (status == LoadStatus::Ok)
        return true;
    reader.problem(record.line, QString(),
                   status == LoadStatus::CannotOpen ? FileMessages::couldNotBeOpened(displayPath(path), why)
                                                    : FileMessages::notASetupFile(displayPath(path), why));
    return false;
}

} // namespace

bool writeRegister(PlantReader &reader, const QString &folder, const std::function<void(const QByteArray &)> &write)
{
    if (!reader.checkHeader({ QLatin1String(TableColumns::file) }))
        return false;
    const QStringList added = lacked(reader, setupColumns()) + lacked(reader, bankColumns())
        + lacked(reader, readBankColumns());
    write(csvByteOrderMark() + csvLine(reader.headerCells() + added));
    CsvRecord record;
    while (reader.next(&record)) {
        Setup setup;
        write(csvLine(rowSetup(reader, record, folder, &setup) ? rowWithSetup(reader, added, record, setup)
                                                               : record.cells));
    }
    return true;
}

} // namespace hvx
