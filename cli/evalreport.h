#pragma once
// Evaluates setup files as the main window's Open and Evaluate would, and
// formats the result for people (text) or scripts (JSON Lines).

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

// Shortest decimal text that reads back as the same 32-bit float.
QString FloatText(float value);

} // namespace hvx
