#include "summary.h"

namespace hvx {

InputSummary BuildInputSummary(const Setup &s, int rangeIndex, ListId rangeList, int customIndex, const QString &unit)
{
    InputSummary out;
    out.line1 = Texts::itemAt(ListId::cbInputType, s.cbInputType) + QStringLiteral(", ");
    const int selection = s.list(rangeList);
    if (selection == customIndex) {
        out.line1 += QStringLiteral("Custom range: ") + s.eCustomLow + QStringLiteral(" to ") + s.eCustomHigh
            + QLatin1Char(' ') + unit + QStringLiteral(" (using ") + Texts::itemAt(rangeList, rangeIndex)
            + QStringLiteral(").");
    } else {
        out.line1 += Texts::itemAt(rangeList, selection) + QLatin1Char('.');
    }

    out.line2 = Texts::itemAt(ChoiceId::rgConversionSpeed, s.rgConversionSpeed) + QStringLiteral(" response");
    if (isThermocouple(s.cbInputType)) {
        out.line2 += QStringLiteral(", ") + Texts::itemAt(ChoiceId::rgLinearisation, s.rgLinearisation)
            + QStringLiteral(", ") + Texts::itemAt(ChoiceId::rgColdJunction, s.rgColdJunction);
    } else if (isRtd(s.cbInputType)) {
        out.line2 += QStringLiteral(", ") + Texts::itemAt(ChoiceId::rgLinearisation, s.rgLinearisation)
            + QStringLiteral(", ") + Texts::itemAt(ChoiceId::rgRTDType, s.rgRTDType);
    }
    out.line2 += QLatin1Char('.');
    return out;
}

InputSummary BuildInputSummary(const Setup &s, int rangeIndex)
{
    const ListId list = rangeListFor(s.cbInputType);
    return BuildInputSummary(s, rangeIndex, list, customIndexFor(list), unitFor(s.cbInputType));
}

namespace {

QString burnoutText(int outputRange, int burnout)
{
    const QStringList captions = Texts::burnoutCaptions(outputRange);
    return burnout >= 0 && burnout < captions.size() ? captions.at(burnout) : QString();
}

} // namespace

QString output1Summary(const Setup &s)
{
    QString text = Texts::itemAt(ListId::cbOutputRange, s.cbOutputRange) + QStringLiteral(", ")
        + burnoutText(s.cbOutputRange, s.rgBurnout) + QStringLiteral(", ")
        + Texts::itemAt(ChoiceId::rgInversion, s.rgInversion) + QStringLiteral(", ")
        + Texts::itemAt(ChoiceId::rgButtonIsolation, s.rgButtonIsolation);
    if (s.isSingleOutput())
        text += QStringLiteral(", ") + Texts::itemAt(ChoiceId::rgSquareRoot, s.rgSquareRoot);
    return text + QLatin1Char('.');
}

std::optional<QString> output2Summary(const Setup &s)
{
    if (!s.isDualOutput())
        return std::nullopt;
    const QString type = Texts::itemAt(ChoiceId::rgDualType, s.rgDualType);
    switch (s.rgDualType) {
    case DualTypeChoice::Analog:
        return Texts::itemAt(ListId::cbOutputRange2, s.cbOutputRange2) + QStringLiteral(", ")
            + burnoutText(s.cbOutputRange2, s.rgBurnout2) + QStringLiteral(", ")
            + Texts::itemAt(ChoiceId::rgInversion2, s.rgInversion2) + QStringLiteral(", ")
            + Texts::itemAt(ChoiceId::rgSquareRoot2, s.rgSquareRoot2) + QLatin1Char('.');
    case DualTypeChoice::TripRelay:
        return type + QStringLiteral(": ") + Texts::itemAt(ListId::cbTripOutput, s.cbTripOutput)
            + QStringLiteral(" delay, ") + Texts::itemAt(ChoiceId::rgTripBurnout, s.rgTripBurnout)
            + QStringLiteral(" in burnout, ") + Texts::itemAt(ChoiceId::rgTripLEDstate, s.rgTripLEDstate)
            + QStringLiteral(" with relay on, ") + Texts::itemAt(ChoiceId::rgTripRelativeTo, s.rgTripRelativeTo)
            + QStringLiteral(" trip.");
    case DualTypeChoice::Frequency:
        return type + QStringLiteral(": ") + Texts::itemAt(ListId::cbFreqOutputRange, s.cbFreqOutputRange)
            + QStringLiteral(", ") + Texts::itemAt(ChoiceId::rgFreqBurnout, s.rgFreqBurnout)
            + QStringLiteral(" during burnout.");
    default:
        return std::nullopt;
    }
}

QString ShortenFileName(const QString &path)
{
    const int length = path.size();
    if (length < 66)
        return path;

    // Paths with a drive and backslashes ("C:\...") keep the drive; paths with
    // forward slashes keep the root and use '/' as the separator.
    const bool windowsPath = length >= 2 && path.at(1) == QLatin1Char(':') && path.contains(QLatin1Char('\\'));
    const QChar sep = windowsPath ? QLatin1Char('\\') : QLatin1Char('/');
    const QString drive = windowsPath ? path.left(2) : QString();
    // Position of the separator that directly follows the drive or root.
    const int rootSep = windowsPath ? 2 : 0;
    const QString ellipsis = QString(sep) + QStringLiteral("...");

    // A drive path never examines its first character; a '/' path's root
    // separator sits there and counts.
    const int firstExamined = windowsPath ? 1 : 0;
    int last = -1;
    for (int i = length - 1; i >= firstExamined; --i) {
        if (path.at(i) == sep) {
            last = i;
            break;
        }
    }

    if (last >= firstExamined && length - last > 60) {
        // The file's own name alone is too long: cut it and keep the extension.
        return drive + (last == rootSep ? QString() : ellipsis) + path.mid(last, 40) + QStringLiteral("~1")
            + path.right(4);
    }

    for (int i = length - 60; i <= length - 1; ++i) {
        if (path.at(i) == sep)
            return drive + (i == rootSep ? QString() : ellipsis) + path.mid(i);
    }
    return path;
}

} // namespace hvx
