#include "customrange.h"

#include <cmath>
#include <initializer_list>

namespace hvx {
namespace {

QString highAbove(const char *limit) { return QStringLiteral("High must not be more than ") + QString::fromUtf8(limit); }
QString lowBelow(const char *limit) { return QStringLiteral("Low must not be less than ") + QString::fromUtf8(limit); }
QString lowNotLess() { return QStringLiteral("Low must be less than high"); }
QString lowPositive() { return QStringLiteral("Low must be positive"); }

// Position (plus offset) of the first value >= high. The limit tests run
// before every search guarantee a hit; should none be found the fit is
// refused rather than running past the list.
int search(std::initializer_list<float> values, float high, int offset)
{
    int i = 0;
    for (float v : values) {
        if (v >= high)
            return i + offset;
        ++i;
    }
    return -1;
}

FitResult refuse(const QString &message) { return { -1, message }; }
FitResult pick(int index) { return { index, QString() }; }

FitResult fitVoltage(float low, float high)
{
    if (high > 40) return refuse(highAbove("40 V"));
    if (low < -10) return refuse(lowBelow("-10 V"));
    if (low >= high) return refuse(lowNotLess());
    if (high > 20 && low < 0) return refuse(QStringLiteral("When low is negative high must not be more than 20 V"));
    if (low >= 1) return pick(search({ 2, 4, 5, 7.5f, 8, 10, 15, 20, 30, 40 }, high, 11));
    if (low >= 0) return pick(search({ 1, 2, 4, 5, 7.5f, 8, 10, 15, 20, 30, 40 }, high, 0));
    const int base = low >= -5 ? 21 : 24;
    return pick(base + (high <= 5 ? 0 : high <= 10 ? 1 : 2));
}

FitResult fitCurrent(float low, float high)
{
    if (high > 40) return refuse(highAbove("40 mA"));
    if (low < -10) return refuse(lowBelow("-10 mA"));
    if (low >= high) return refuse(lowNotLess());
    if (low >= 4) return pick(search({ 5, 7.5f, 8, 10, 15, 20, 30, 40 }, high, 11));
    if (low >= 0) return pick(search({ 1, 2, 4, 5, 7.5f, 8, 10, 15, 20, 30, 40 }, high, 0));
    const int base = low >= -5 ? 19 : 23;
    return pick(base + (high <= 5 ? 0 : high <= 10 ? 1 : high <= 20 ? 2 : 3));
}

FitResult fitTxCurrent(float low, float high)
{
    if (high > 20) return refuse(highAbove("20 mA"));
    if (low < 0) return refuse(lowPositive());
    if (low >= high) return refuse(lowNotLess());
    if (low >= 4) return pick(search({ 5, 7.5f, 8, 10, 15, 20 }, high, 9));
    return pick(search({ 1, 2, 4, 5, 7.5f, 8, 10, 15, 20 }, high, 0));
}

FitResult fitMilliVolt(float low, float high)
{
    if (high > 1200) return refuse(highAbove("1200 mV"));
    if (low < -125) return refuse(lowBelow("-125 mV"));
    if (low >= high) return refuse(lowNotLess());
    if (low < 0 && high > 1000) return refuse(QStringLiteral("When low is negative high must not be more than 1000 mV"));
    if (low >= 0) return pick(search({ 25, 50, 100, 125, 150, 200, 250, 300, 500, 600, 1000, 1200 }, high, 0));
    return pick(high <= 125 ? 12 : high <= 250 ? 13 : high <= 500 ? 14 : 15);
}

FitResult fitPot2(float low, float high)
{
    if (high > 1000) return refuse(highAbove("1000"));
    if (low < 0) return refuse(lowPositive());
    if (low >= high) return refuse(lowNotLess());
    return pick(search({ 125, 250, 500, 625, 750, 1000 }, high, 0));
}

FitResult fitThermocouple(float low, float high, float top, const char *topText)
{
    if (high > top) return refuse(highAbove(topText));
    if (low < 0) return refuse(lowPositive());
    if (low >= high) return refuse(lowNotLess());
    static const float uppers[] = { 100, 125, 150, 175, 200, 250, 300, 350, 400, 500, 600, 700, 800, 1000, 1200, 1400 };
    for (int i = 0; i < 16 && uppers[i] <= top; ++i)
        if (uppers[i] >= high)
            return pick(i);
    return refuse(highAbove(topText));
}

FitResult fitThermocoupleB(float low, float high)
{
    if (high > 1800) return refuse(highAbove("1800°C"));
    if (low < 400) return refuse(lowBelow("400°C"));
    if (low >= high) return refuse(lowNotLess());
    return pick(search({ 500, 525, 550, 575, 600, 650, 700, 750, 800, 900, 1000, 1100, 1200, 1400, 1600, 1800 }, high, 0));
}

FitResult fitThermocoupleT(float low, float high)
{
    if (high > 400) return refuse(highAbove("400°C"));
    if (low < -200) return refuse(lowBelow("-200°C"));
    if (low >= high) return refuse(lowNotLess());
    const int column = high <= 50 ? 0 : high <= 100 ? 1 : high <= 200 ? 2 : 3;
    const int row = low < -100 ? 12 : low < -50 ? 8 : low < 0 ? 4 : 0;
    return pick(row + column);
}

FitResult fitRtd(float low, float high)
{
    if (high > 800) return refuse(highAbove("800°C"));
    if (low < -200) return refuse(lowBelow("-200°C"));
    if (low >= high) return refuse(lowNotLess());
    if (low >= 0) return pick(high <= 100 ? 0 : high <= 200 ? 1 : high <= 400 ? 2 : 3);
    if (low >= -50 && high <= 350) return pick(high <= 50 ? 4 : high <= 150 ? 5 : high <= 250 ? 6 : 7);
    if (low >= -100 && high <= 400) return pick(high <= 50 ? 8 : high <= 100 ? 9 : high <= 200 ? 10 : 11);
    return pick(high <= 200 ? 12 : high <= 400 ? 13 : high <= 600 ? 14 : 15);
}

} // namespace

std::optional<float> CustomTextToFloat(const QString &text, const QLocale &locale)
{
    QLocale loc = locale;
    // Thousands separators are not accepted in a typed value ("1,000").
    loc.setNumberOptions(loc.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = loc.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const float f = static_cast<float>(value);
    if (!std::isfinite(f))
        return std::nullopt;
    return f;
}

int ReadCustomRange(EvaluationContext &ctx)
{
    // Each value is stored as soon as it converted; the first text that does
    // not convert ends the reading with its message and focus.
    auto read = [&ctx](const QString &text, float &value, bool &stored, const char *invalid, FocusTarget focus) {
        const std::optional<float> converted = CustomTextToFloat(text, ctx.locale);
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

FitResult FitCustomValues(ListId rangeList, float low, float high)
{
    switch (rangeList) {
    case ListId::cbIRVoltage: return fitVoltage(low, high);
    case ListId::cbIRCurrent: return fitCurrent(low, high);
    case ListId::cbIRCurrentTransmitter: return fitTxCurrent(low, high);
    case ListId::cbIRmilliVolt: return fitMilliVolt(low, high);
    case ListId::cbIRPot2: return fitPot2(low, high);
    case ListId::cbIRTCKJ: return fitThermocouple(low, high, 1200, "1200°C");
    case ListId::cbIRTCRS: return fitThermocouple(low, high, 1400, "1400°C");
    case ListId::cbIRTCNE: return fitThermocouple(low, high, 1000, "1000°C");
    case ListId::cbIRTCB: return fitThermocoupleB(low, high);
    case ListId::cbIRTCT: return fitThermocoupleT(low, high);
    case ListId::cbIRRTD: return fitRtd(low, high);
    default: return refuse(QString());
    }
}

int FitCustomRange(EvaluationContext &ctx, ListId rangeList)
{
    ctx.values.RangeIndex = -1;
    if (ReadCustomRange(ctx) != 0)
        return -1;
    const FitResult fit = FitCustomValues(rangeList, ctx.values.CustomLow, ctx.values.CustomHigh);
    if (fit.rangeIndex < 0) {
        ctx.outcome.status = fit.message;
        return -1;
    }
    ctx.values.RangeIndex = fit.rangeIndex;
    return 0;
}

} // namespace hvx
