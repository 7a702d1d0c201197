// Any setup file that evaluates, as --csv writes its row and --make reads it
// back: a row that is taken gives the same switches, and the row of the setup
// read back reads back as itself (blanks around a custom text are not kept).

#include "csvtable.h"
#include "evaluation.h"
#include "setupfile.h"
#include "setuprow.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes = hvx::setupSignature()
        + QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).leftJustified(155, '\0', true);
    QBuffer file(&bytes);
    hvx::Setup setup;
    if (!file.open(QIODevice::ReadOnly) || !hvx::HasSetupSignature(file) || !hvx::ReadSetupFile(file, setup))
        return 0;
    hvx::EvaluationValues first;
    if (!hvx::Evaluate(setup, first).completed)
        return 0;
    const QStringList values = hvx::setupRowValues(setup);
    hvx::CsvTable table;
    hvx::CsvError error;
    if (!hvx::readCsvTable(hvx::csvLine(hvx::setupColumns()) + hvx::csvLine(values), &table, &error))
        std::abort();
    std::vector<hvx::RowProblem> problems;
    const hvx::Setup back = hvx::setupFromRowValues(table.records.first().cells, &problems);
    if (!problems.empty())
        return 0; // refused with a reason, as --make refuses it
    hvx::EvaluationValues again;
    if (!hvx::Evaluate(back, again).completed || !(again.map == first.map))
        std::abort();
    const QStringList backValues = hvx::setupRowValues(back);
    if (hvx::setupRowValues(hvx::setupFromRowValues(backValues, &problems)) != backValues || !problems.empty())
        std::abort();
    return 0;
}
