#include "plantplan.h"

#include "columncontents.h"
#include "setuprow.h"

#include <QLocale>

#include <algorithm>
#include <map>
#include <numeric>

namespace hvx {
namespace {

// Tells each good row whose file name an earlier one gives too, also in
// another letter case. Only a hash of each name is kept; rows whose hashes
// meet are read again.
void tellSameNames(PlantReader &reader, const std::vector<PlantReader::Place> &places,
                   const std::vector<size_t> &hashes)
{
    std::vector<int> order(places.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&hashes](int a, int b) {
        return hashes[size_t(a)] != hashes[size_t(b)] ? hashes[size_t(a)] < hashes[size_t(b)] : a < b;
    });
    std::vector<PlantProblem> told;
    for (size_t from = 0, to = 1; from < order.size(); from = to, to = from + 1) {
        while (to < order.size() && hashes[size_t(order[to])] == hashes[size_t(order[from])])
            ++to;
        if (to - from == 1)
            continue; // a name no other row's hash meets
        PlantPlanner first(reader.header(), reader.separator());
        for (size_t k = from; k < to; ++k) {
            CsvRecord record;
            PlannedRow row;
            PlantProblem clash;
            if (readAgain(reader, first, places[size_t(order[k])], &record, &row) && !first.claimName(row, &clash))
                told.push_back(clash);
        }
    }
    std::sort(told.begin(), told.end(), [](const PlantProblem &a, const PlantProblem &b) { return a.line < b.line; });
    for (const PlantProblem &p : told)
        reader.problems().add(p);
}

// Memory a kept row holds, about.
qsizetype rowMemory(const PlannedRow &row)
{
    constexpr qsizetype PerText = 32; // a text's own header
    return qsizetype(sizeof(PlannedRow)) + 3 * PerText
        + 2 * (row.fileName.size() + row.setup.eCustomLow.size() + row.setup.eCustomHigh.size());
}

// The values rows give that their setups do not use, per column: how many,
// and the first lines.
class UnusedValues {
public:
    void add(int line, const QStringList &columns)
    {
        for (const QString &column : columns) {
            Count &c = m_counts[column];
            if (++c.rows <= Shown)
                c.lines << QString::number(line);
        }
    }
    // "custom high is not used in 12 rows whose range is not Custom (lines
    // 4, 9, 17, ...)", one per column.
    void tell(ProblemSink &sink) const
    {
        for (const auto &[column, c] : m_counts) {
            const QString where = column == QLatin1String("output 2") ? QStringLiteral("with a single output")
                                                                      : QStringLiteral("whose range is not Custom");
            sink.note(QStringLiteral("%1 is not used in %2 %3 (%4 %5%6)")
                          .arg(column, counted(c.rows, "row"), where, c.rows == 1 ? "line" : "lines",
                               c.lines.join(QStringLiteral(", ")), c.rows > Shown ? ", ..." : ""));
        }
    }

private:
    static constexpr int Shown = 3;
    struct Count {
        qsizetype rows = 0;
        QStringList lines;
    };
    std::map<QString, Count> m_counts;
};

void planRows(PlantReader &reader, PlantPlan *plan, bool keepRows)
{
    constexpr qsizetype Allowance = 16 << 20;
    std::vector<size_t> hashes;
    const PlantPlanner planner(reader.header(), reader.separator());
    CsvRecord record; // its room kept from row to row
    PlannedRow row;
    qsizetype kept = 0;
    ColumnContents contents(reader.header(), false);
    UnusedValues unused;
    for (;;) {
        const PlantReader::Place place = reader.place();
        if (!reader.next(&record))
            break;
        contents.add(record);
        if (!readPlantRow(reader, planner, record, &row))
            continue;
        unused.add(record.line, unusedSetupValues(planner.setupValues(record), row.setup));
        plan->places.push_back(place);
        hashes.push_back(qHash(PlantPlanner::foldedName(row.fileName)));
        kept += keepRows ? rowMemory(row) : 0;
        if (keepRows && kept > reader.bytesRead() + Allowance) {
            std::vector<PlannedRow>().swap(plan->rows);
            keepRows = false;
        }
        if (keepRows)
            plan->rows.push_back(row);
    }
    tellSameNames(reader, plan->places, hashes);
    for (const PlantProblem &p : contents.problems())
        reader.problems().add(p);
    unused.tell(reader.problems());
}

} // namespace

bool readPlantRow(const PlantReader &reader, const PlantPlanner &planner, const CsvRecord &record, PlannedRow *row)
{
    if (!reader.checkWidth(record))
        return false;
    std::vector<PlantProblem> problems;
    if (planner.readRow(record, row, &problems))
        return true;
    for (const PlantProblem &p : problems)
        reader.problems().add(p);
    return false;
}

bool readAgain(PlantReader &reader, const PlantPlanner &planner, const PlantReader::Place &place, CsvRecord *record,
               PlannedRow *row)
{
    reader.seek(place);
    return reader.next(record) && readPlantRow(reader, planner, *record, row);
}

PlantPlan planTable(PlantReader &reader, const QString &path, bool keepRows)
{
    PlantPlan plan;
    switch (reader.open(path)) {
    case PlantReader::Opened::CannotRead:
        plan.status = PlantPlan::Status::CannotRead;
        return plan;
    case PlantReader::Opened::NotATable:
        plan.status = PlantPlan::Status::NotATable;
        return plan;
    case PlantReader::Opened::Table:
        break;
    }
    return planOpenTable(reader, keepRows);
}

PlantPlan planOpenTable(PlantReader &reader, bool keepRows)
{
    PlantPlan plan;
    if (!reader.checkHeader({ QLatin1String(TableColumns::file) })) {
        plan.status = PlantPlan::Status::Refused;
        return plan;
    }
    for (const QString &note : reader.columnNotes(true))
        reader.problems().note(note);
    const int before = reader.problems().count();
    planRows(reader, &plan, keepRows);
    if (reader.problems().count() > before)
        plan.status = PlantPlan::Status::Refused;
    else if (plan.places.empty())
        plan.status = PlantPlan::Status::NoRows;
    if (plan.status != PlantPlan::Status::Planned)
        std::vector<PlannedRow>().swap(plan.rows);
    return plan;
}

} // namespace hvx
