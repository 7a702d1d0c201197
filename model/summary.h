#pragma once
// The plain-language summary of a setup that the results window shows above
// the switch banks, and the shortened file name shown with it.

#include "setup.h"

#include <QString>

#include <optional>

namespace hvx {

struct InputSummary {
    QString line1; // input type and range
    QString line2; // response and input options
};

// The two input lines. rangeIndex is the evaluation's RangeIndex (the listed
// range a custom range was fitted to).
InputSummary BuildInputSummary(const Setup &setup, int rangeIndex);
// The same with the range list, its "Custom" index and the unit given.
InputSummary BuildInputSummary(const Setup &setup, int rangeIndex, ListId rangeList, int customIndex,
                               const QString &unit);

// Output 1 line. The burnout item is named by the caption the window shows for
// the chosen output range.
QString output1Summary(const Setup &setup);

// Second-output line; nothing in single output or for an unknown dual type.
std::optional<QString> output2Summary(const Setup &setup);

// Shortens a setup file path to at most 66 characters for display, keeping
// the drive (or the root) and the extension.
QString ShortenFileName(const QString &path);

} // namespace hvx
