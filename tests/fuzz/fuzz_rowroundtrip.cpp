// Any texts as the cells of a row: the line written reads back as the same
// cells, under a header, after the byte-order mark.

#include "csvtable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Cells are separated by the byte 0x1F in the input.
    const QStringList cells = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size))
                                  .split(QChar(0x1F));
    const QStringList header{ QStringLiteral("a"), QStringLiteral("b") };
    const QByteArray table = hvx::csvByteOrderMark() + hvx::csvLine(header) + hvx::csvLine(cells);
    hvx::CsvTable read;
    hvx::CsvError error;
    if (!hvx::readCsvTable(table, &read, &error) || read.header != header || read.records.size() != 1
        || read.records.first().cells != cells)
        std::abort();
    return 0;
}
