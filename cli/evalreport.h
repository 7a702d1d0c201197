#pragma once
// Evaluates setup files as the main window's Open and Evaluate would, and
// formats the result for people (text) or scripts (JSON Lines).

#include "decode.h"
#include "evaluation.h"
#include "setup.h"

#include <QLocale>
#include <QString>

#include <optional>

namespace hvx {

struct FileReport {
    enum class Status { Ok, Refused, Error };
    QString file; // the path as given
    Status status = Status::Error;
    QString message;
    Setup setup;
    EvaluationValues values;
    EvaluationOutcome outcome;
};

// Opens, reads and evaluates one file; nothing carries over between files.
FileReport EvaluateFile(const QString &path, const QLocale &locale = QLocale());

// One JSON object on one line (no trailing newline).
QString ReportJson(const FileReport &report);
// A readable report of several lines, ending in a newline.
QString ReportText(const FileReport &report);

// The summary lines of an evaluated setup ("  Input:    ..."), each ending in
// a newline.
QString SummaryText(const Setup &setup, int rangeIndex);
// The switch banks 1 to `banks` drawn as rows under a row of position
// numbers: ON for a switch that is on, a dot for one that is off; a marked
// position carries a '*' before its state.
QString BankRows(const SwitchMap &map, int banks, const std::vector<SwitchPosition> &marked = {});

// JSON pieces shared by the reports: a string, a map {"S1": "0101...", ...}
// and the summary object {"input1": ..., "output2": ... or null}.
QString JsonString(const QString &s);
QString SwitchesJson(const SwitchMap &map);
QString SummaryJson(const Setup &setup, int rangeIndex);

// Shortest decimal text that reads back as the same 32-bit float.
QString FloatText(float value);

} // namespace hvx
