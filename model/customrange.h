#pragma once
// Custom input ranges: the typed low and high values are checked against the
// limits of the input type and fitted to the smallest listed range that holds
// them.

#include "evaluation.h"

#include <optional>

namespace hvx {

// Reads a custom text the same way whatever the locale, as a setup file
// means it: blanks around it, an optional sign, digits with at most one
// decimal separator, '.' or ',' alike (never a thousands separator), and an
// optional exponent. Texts that do not convert, and numbers that are not
// finite as 32-bit floats, give nothing.
std::optional<float> customTextValue(const QString &text);

// Reads a custom text at evaluation: as customTextValue, and otherwise as the
// locale writes numbers (its own digits, signs and decimal separator), so
// that every number typed in the user's locale keeps its value.
std::optional<float> customTextToFloat(const QString &text, const QLocale &locale);

// Reads eCustomLow and eCustomHigh into CustomLow and CustomHigh; 0 when both
// converted, -1 otherwise (with "Low is invalid" / "High is invalid" and the
// focus target set).
int ReadCustomRange(EvaluationContext &ctx);

// Reads the custom texts, tests the limits of the range list's input type and
// sets RangeIndex to the listed range the custom range fits. 0 on success;
// -1 with the message set and RangeIndex at -1.
int FitCustomRange(EvaluationContext &ctx, ListId rangeList);

// The fitting rule alone, on values already read: the listed index, or the
// refusal text.
struct FitResult {
    int rangeIndex = -1;
    QString message;
};
FitResult fitCustomValues(ListId rangeList, float low, float high);

} // namespace hvx
