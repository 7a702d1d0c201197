#pragma once
// What the results sheet of one setup shows: the setup, its evaluation, the
// name of its file and, for a unit of a plant, the plant's own columns.

#include "evaluation.h"
#include "setup.h"

#include <QString>

namespace hvx {

struct ResultSheet {
    Setup setup;
    EvaluationValues values;
    QString fileName;
    // The plant's own columns of the setup's row, below the summary:
    // "tag: TT-104 · location: Pump house 2"; empty for none.
    QString plantColumns = QString();
};

} // namespace hvx
