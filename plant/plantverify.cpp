#include "plantverify.h"

#include "columncontents.h"
#include "plantsheets.h"

#include <algorithm>

namespace hvx {

bool checkUnitsHeader(PlantReader &reader)
{
    const QStringList reads = readBankColumns().mid(0, 3);
    const bool noReadings = std::all_of(readBankColumns().begin(), readBankColumns().end(),
                                        [&reader](const QString &c) { return reader.column(c) < 0; });
    if (noReadings && reader.column(bankColumns().first()) >= 0) {
        reader.problem(1, QString(),
                       QStringLiteral("no \"read S1\" ... \"read S4\" columns: the switches read off each unit go "
                                      "there; \"S1\" ... \"S4\" are the setup's switches"));
        return false;
    }
    return reader.checkHeader(QStringList{ QLatin1String(TableColumns::file) } + reads);
}

bool checkUnitsRows(PlantReader &reader)
{
    const PlantReader::Place first = reader.place();
    const int before = reader.problems().count();
    ColumnContents contents(reader.header(), true);
    CsvRecord record;
    qsizetype rows = 0;
    for (; reader.next(&record); ++rows)
        contents.add(record);
    for (const PlantProblem &p : contents.problems())
        reader.problems().add(p);
    if (rows == 0 && reader.problems().count() == before)
        reader.problem(1, QString(), QStringLiteral("the table has no rows: no unit to check"));
    reader.seek(first);
    return reader.problems().count() == before;
}

UnitRow readUnitRow(const PlantReader &reader, const CsvRecord &record, const QString &folder)
{
    UnitRow u;
    u.line = record.line;
    u.file = reader.cell(record, QLatin1String(TableColumns::file)).trimmed();
    QStringList banks;
    for (const QString &column : readBankColumns())
        banks << reader.cell(record, column);
    u.reading = unitFromBankCells(banks);
    u.problem = PlantReader::widthProblem(record, reader.headerCells().size(), reader.separator());
    if (!u.problem.isEmpty())
        return u;
    QString problem;
    u.path = setupFilePath(u.file, folder, &problem);
    if (u.path.isEmpty())
        u.problem = PlantProblem{ u.line, 0, QLatin1String(TableColumns::file), problem }.columnText();
    else if (u.reading.state == UnitReading::State::Unreadable)
        u.problem = PlantProblem{ u.line, 0, u.reading.problem.column, u.reading.problem.message }.columnText();
    return u;
}

QString emptyS4Problem()
{
    return PlantProblem{ 0, 0, readBankColumns().at(3),
                         QStringLiteral("is empty; a dual-output unit needs the twelve switches read off it") }
        .columnText();
}

} // namespace hvx
