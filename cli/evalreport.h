#pragma once
// Evaluates setup files as the main window's Open and Evaluate would, and
// formats the result for people (text) or scripts (JSON Lines).

#include "decode.h"
#include "evaluation.h"
#include "setup.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <optional>

namespace hvx {

struct FileReport {
    enum class Status { Ok, Refused, Error };
    QByteArray fileBytes; // the path as given, in the system's bytes
    QString file;         // the same as text (see bytesToText: exact unless not UTF-8)
    Status status = Status::Error;
    QString message;
    Setup setup;
    EvaluationValues values;
    EvaluationOutcome outcome;
};

// Opens, reads and evaluates one file; nothing carries over between files.
FileReport evaluateFile(const QByteArray &nativePath, const QLocale &locale = QLocale());

// One JSON object on one line (no trailing newline). A name that is not
// UTF-8 is given in "file" with U+FFFD for what is not, and exactly, as
// hexadecimal digits of its bytes, in "fileBytes" (only then present). The
// setup read from the file is in "fields" (null when none was read).
QString reportJson(const FileReport &report);
// A readable report of several lines, ending in a newline. Texts from the file
// and its name are shown by displayText, so each stays on its line.
QString reportText(const FileReport &report);

QString singleOutputS4Note();

// The summary lines of an evaluated setup ("  Input:    ..."), each ending in
// a newline and shown by displayText.
QString summaryText(const Setup &setup, int rangeIndex);
// The switch banks 1 to `banks` drawn as rows under a row of position
// numbers: ON for a switch that is on, a dot for one that is off; a marked
// position carries a '*' before its state.
QString bankRows(const SwitchMap &map, int banks, const std::vector<SwitchPosition> &marked = {});

// JSON pieces shared by the reports: a string, the value of "file" (with
// "fileBytes" after it for a name that is not UTF-8, see reportJson), a map
// {"S1": "0101...", ...} and the summary object {"input1": ..., "output2": ...
// or null}.
QString jsonString(const QString &s);
QString fileNameJson(const FileReport &report);
QString switchesJson(const SwitchMap &map);
QString summaryJson(const Setup &setup, int rangeIndex);
// The setup's selections, one member per control named after it: a list
// index counted from 0 (-1 for none), a choice's button or a text.
QString fieldsJson(const Setup &setup);

// Shortest decimal text that reads back as the same 32-bit float.
QString floatText(float value);

} // namespace hvx
