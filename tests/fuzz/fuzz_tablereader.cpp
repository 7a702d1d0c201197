// Any bytes as a table: read record by record, each row read as a setup and
// evaluated, as --make reads it. Nothing may crash, hang or leak.

#include "csvtable.h"
#include "evaluation.h"
#include "setuprow.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    hvx::CsvReader reader(bytes);
    hvx::CsvError error;
    if (!reader.start(&error))
        return 0;
    QList<int> columns;
    for (const QString &name : hvx::setupColumns())
        columns << reader.column(name);
    hvx::CsvRecord record;
    while (reader.next(&record, &error)) {
        QStringList values;
        for (int column : columns)
            values << hvx::CsvTable::cell(record, column);
        std::vector<hvx::RowProblem> problems;
        const hvx::Setup setup = hvx::setupFromRowValues(values, &problems);
        hvx::EvaluationValues evaluated;
        (void)hvx::Evaluate(setup, evaluated);
    }
    return 0;
}
