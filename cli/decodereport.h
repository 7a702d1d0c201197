#pragma once
// Reading a unit's switches back from the command line: which setup gives the
// switches read off a unit (decode), and whether a unit is set as its setup
// file says (verify). Reports for people (text) and scripts (JSON Lines).

#include "decode.h"
#include "evalreport.h"
#include "unitcomparison.h"

#include <QLocale>
#include <QString>

#include <vector>

namespace hvx {

// Nearest setups listed in a report at most.
constexpr int DecodeListLimit = 20;

struct DecodeReport {
    SwitchMap switches; // as read off the unit
    DecodeResult result;
    std::vector<DecodedSetup> setups; // the first DecodeListLimit of the result
};

DecodeReport decodeUnit(const SwitchMap &switches);
// One JSON object on one line (no trailing newline).
QString decodeJson(const DecodeReport &report);
// A readable report of several lines, ending in a newline.
QString decodeText(const DecodeReport &report);

struct VerifyReport {
    enum class Status { Match, Differ, Refused, Error, NotRead };
    Status status = Status::Error;
    QString message;
    FileReport file;
    SwitchMap switches; // as read off the unit
    // Positions where the unit differs from the file's evaluation.
    std::vector<SwitchPosition> differs;
    // The same, with which way each must go and banks that look swapped.
    UnitComparison comparison;
};

// Evaluates the file as the evaluation report does and compares its switches
// with those read off the unit.
VerifyReport verifyUnit(const QByteArray &nativePath, const SwitchMap &switches, const QLocale &locale = QLocale());
QString verifyJson(const VerifyReport &report);
// "match", "differ", "refused", "error" or "not read".
const char *verifyStatusName(VerifyReport::Status status);
QString verifyText(const VerifyReport &report);

} // namespace hvx
