#include "customrange.h"

#include "rangetables.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace hvx {
namespace {

FitResult refuse(const QString &message) { return { -1, message }; }

// A limit as the messages write it: "40 V", "-200°C", "1000".
QString limitText(float value, const InputRangeList &list)
{
    return QString::number(double(value)) + QString::fromUtf8(list.limitUnit);
}

// The limits of a list follow from its ranges: the highest upper value, the
// lowest low value and, when the negative ranges end lower than the list, the
// highest upper value of a negative range.
FitResult fitListed(const InputRangeList &list, float low, float high)
{
    const Rows<InputRange> ranges = list.ranges;
    float top = ranges[0].high;
    float bottom = ranges[0].low;
    float negativeTop = -std::numeric_limits<float>::infinity();
    for (const InputRange &r : ranges) {
        top = std::max(top, r.high);
        bottom = std::min(bottom, r.low);
        if (r.low < 0)
            negativeTop = std::max(negativeTop, r.high);
    }

    if (std::isnan(low))
        return refuse(QStringLiteral("Low is invalid"));
    if (std::isnan(high))
        return refuse(QStringLiteral("High is invalid"));
    if (high > top)
        return refuse(QStringLiteral("High must not be more than ") + limitText(top, list));
    if (low < bottom) {
        return refuse(bottom == 0 ? QStringLiteral("Low must be positive")
                                  : QStringLiteral("Low must not be less than ") + limitText(bottom, list));
    }
    if (low >= high)
        return refuse(QStringLiteral("Low must be less than high"));
    // Bites only where the negative ranges end below the list's top (V, mV).
    if (low < 0 && high > negativeTop) {
        return refuse(QStringLiteral("When low is negative high must not be more than ")
                      + limitText(negativeTop, list));
    }

    // The smallest listed range that holds the custom range: of the ranges
    // that start at or below low and reach high, one with the highest start,
    // and of those the one that ends first.
    int best = -1;
    for (int i = 0; i < ranges.size(); ++i) {
        const InputRange &r = ranges[i];
        if (r.low > low || r.high < high)
            continue;
        if (best < 0 || r.low > ranges[best].low || (r.low == ranges[best].low && r.high < ranges[best].high))
            best = i;
    }
    // The limits above guarantee a hit.
    if (best < 0)
        return refuse(QStringLiteral("High must not be more than ") + limitText(top, list));
    return { best, QString() };
}

// The number a text gives in the locale, group separators refused.
std::optional<float> finiteFloat(const QString &text, QLocale locale)
{
    locale.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = locale.toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const float f = static_cast<float>(value);
    if (!std::isfinite(f))
        return std::nullopt;
    return f;
}

} // namespace

std::optional<float> customTextValue(const QString &text)
{
    QString number = text.trimmed();
    if (number.count(QLatin1Char('.')) + number.count(QLatin1Char(',')) > 1)
        return std::nullopt;
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    return finiteFloat(number, QLocale::c());
}

std::optional<float> customTextToFloat(const QString &text, const QLocale &locale)
{
    if (const std::optional<float> value = customTextValue(text))
        return value;
    return finiteFloat(text.trimmed(), locale);
}

int ReadCustomRange(EvaluationContext &ctx)
{
    // Each value is stored as soon as it converted; the first text that does
    // not convert ends the reading with its message and focus.
    auto read = [&ctx](const QString &text, float &value, bool &stored, const char *invalid, FocusTarget focus) {
        const std::optional<float> converted = customTextToFloat(text, ctx.locale);
        if (!converted) {
            ctx.outcome.status = QString::fromLatin1(invalid);
            ctx.outcome.focus = focus;
            return false;
        }
        value = *converted;
        stored = true;
        return true;
    };
    if (!read(ctx.setup.eCustomLow, ctx.values.CustomLow, ctx.outcome.customLowRead, "Low is invalid",
              FocusTarget::CustomLow))
        return -1;
    if (!read(ctx.setup.eCustomHigh, ctx.values.CustomHigh, ctx.outcome.customHighRead, "High is invalid",
              FocusTarget::CustomHigh))
        return -1;
    return 0;
}

FitResult fitCustomValues(ListId rangeList, float low, float high)
{
    const InputRangeList *list = inputRangeList(rangeList);
    if (!list || !list->custom)
        return refuse(QString());
    return fitListed(*list, low, high);
}

int FitCustomRange(EvaluationContext &ctx, ListId rangeList)
{
    ctx.values.RangeIndex = -1;
    if (ReadCustomRange(ctx) != 0)
        return -1;
    const FitResult fit = fitCustomValues(rangeList, ctx.values.CustomLow, ctx.values.CustomHigh);
    if (fit.rangeIndex < 0) {
        ctx.outcome.status = fit.message;
        return -1;
    }
    ctx.values.RangeIndex = fit.rangeIndex;
    return 0;
}

} // namespace hvx
