// Any bytes as a plant's table: planned as --make plans it (header, rows,
// names, what the columns hold), and kept as the plant window keeps it, whose
// bytes must come back as they were, a check recorded or not. Nothing may
// crash, hang or leak.

#include "plantplan.h"
#include "planttable.h"
#include "unitcomparison.h"

#include <QDateTime>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    hvx::ProblemList problems;
    hvx::PlantReader reader(problems);
    if (reader.open(bytes, QStringLiteral("plant.csv")) == hvx::PlantReader::Opened::Table)
        (void)hvx::planOpenTable(reader, true);

    hvx::PlantTable table;
    QString error;
    if (!table.parse(bytes, QStringLiteral("plant.csv"), &error))
        return 0;
    if (table.bytes() != bytes)
        std::abort(); // a byte changed that nothing changed
    for (int row = 0; row < table.rowCount(); ++row) {
        if (!table.row(row).usable())
            continue;
        const hvx::SwitchMap read;
        table.record(row, read, hvx::compareUnitWithSetup(read, table.row(row).setup), QDateTime());
        hvx::PlantTable back;
        if (!back.parse(table.bytes(), QStringLiteral("plant.csv"), &error) || back.rowCount() != table.rowCount()
            || !(back.readSwitches(row) == read))
            std::abort(); // a check recorded that does not read back
        break;
    }
    return 0;
}
