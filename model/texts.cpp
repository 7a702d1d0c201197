#include "texts.h"

#include "inputtypetable.h"
#include "rangetables.h"

#include <array>

namespace hvx {
namespace {

template <typename Row>
QStringList textsOf(Rows<Row> rows)
{
    QStringList texts;
    texts.reserve(rows.size());
    for (const Row &row : rows)
        texts << QString::fromUtf8(row.text);
    return texts;
}

QStringList itemsOf(ListId id)
{
    switch (id) {
    case ListId::cbInputType: {
        QStringList texts;
        for (const InputTypeInfo &row : inputTypeTable)
            texts << QString::fromUtf8(row.text);
        return texts;
    }
    case ListId::cbInputRange:
        // The placeholder with its one empty item.
        return { QString() };
    case ListId::cbIRVoltage:
    case ListId::cbIRCurrent:
    case ListId::cbIRCurrentTransmitter:
    case ListId::cbIRmilliVolt:
    case ListId::cbIRPot2:
    case ListId::cbIRPot3:
    case ListId::cbIRTCKJ:
    case ListId::cbIRTCRS:
    case ListId::cbIRTCNE:
    case ListId::cbIRTCB:
    case ListId::cbIRTCT:
    case ListId::cbIRRTD: {
        const InputRangeList *list = inputRangeList(id);
        QStringList texts = textsOf(list->ranges);
        if (list->custom)
            texts << Texts::customItem();
        return texts;
    }
    case ListId::cbOutputRange:
    case ListId::cbOutputRange2:
        return textsOf(outputRanges());
    case ListId::cbTripOutput:
        return textsOf(tripDelays());
    case ListId::cbFreqOutputRange:
        return textsOf(frequencyRanges());
    }
    return {}; // not reached: every list is handled above
}

const std::array<QStringList, ListCount> &listTable()
{
    static const std::array<QStringList, ListCount> t = [] {
        std::array<QStringList, ListCount> items;
        for (int i = 0; i < ListCount; ++i)
            items[static_cast<size_t>(i)] = itemsOf(ListId(i));
        return items;
    }();
    return t;
}

const QStringList &startBurnout()
{
    static const QStringList l = { QStringLiteral("High burnout"), QStringLiteral("Low burnout") };
    return l;
}
const QStringList &inversionItems()
{
    static const QStringList l = { QStringLiteral("Inversion off"), QStringLiteral("Inversion on") };
    return l;
}
const QStringList &squareRootItems()
{
    static const QStringList l = { QStringLiteral("Square root off"), QStringLiteral("Square root on") };
    return l;
}

struct ChoiceInfo {
    const char *name;
    const char *caption;
};

constexpr std::array<ChoiceInfo, ChoiceCount> choiceInfo = { {
    { "rgLinearisation", "Linearisation" },
    { "rgColdJunction", "Cold Junction" },
    { "rgRTDType", "RTD Type" },
    { "rgConversionSpeed", "Conversion Speed" },
    { "rgBurnout", "Burnout" },
    { "rgInversion", "Inversion" },
    { "rgSquareRoot", "Square root" },
    { "rgButtonIsolation", "Button isolation" },
    { "rgDualOutput", "Dual output" },
    { "rgDualType", "Dual type" },
    { "rgBurnout2", "Burnout" },
    { "rgInversion2", "Inversion" },
    { "rgSquareRoot2", "Square root" },
    { "rgTripBurnout", "Burnout" },
    { "rgTripLEDstate", "Relay on led colour" },
    { "rgTripRelativeTo", "Trip relative to" },
    { "rgFreqBurnout", "Burnout Frequency" },
} };

constexpr std::array<const char *, ListCount> listNames = {
    "cbInputType",    "cbInputRange", "cbIRVoltage",       "cbIRCurrent", "cbIRCurrentTransmitter",
    "cbIRmilliVolt",  "cbIRPot2",     "cbIRPot3",          "cbIRTCKJ",    "cbIRTCRS",
    "cbIRTCNE",       "cbIRTCB",      "cbIRTCT",           "cbIRRTD",     "cbOutputRange",
    "cbOutputRange2", "cbTripOutput", "cbFreqOutputRange",
};

// A table sized by an enum's count but given fewer rows leaves null names.
constexpr bool allNamed()
{
    for (const char *name : listNames)
        if (name == nullptr)
            return false;
    for (const ChoiceInfo &info : choiceInfo)
        if (info.name == nullptr || info.caption == nullptr)
            return false;
    return true;
}
static_assert(allNamed(), "every list and choice needs its name and caption");

} // namespace

namespace Texts {

QString customItem() { return QStringLiteral("Custom"); }

QString name(ListId id) { return QString::fromLatin1(listNames[static_cast<size_t>(id)]); }
QString name(ChoiceId id) { return QString::fromLatin1(choiceInfo[static_cast<size_t>(id)].name); }
QString caption(ChoiceId id) { return QString::fromLatin1(choiceInfo[static_cast<size_t>(id)].caption); }

const QStringList &items(ListId id) { return listTable()[static_cast<size_t>(id)]; }

const QStringList &items(ChoiceId id)
{
    static const QStringList linearisation = { QStringLiteral("Linearisation on"),
                                               QStringLiteral("Linearisation off") };
    static const QStringList cjc = { QStringLiteral("CJC on"), QStringLiteral("CJC off") };
    static const QStringList rtd = { QStringLiteral("2 wire"), QStringLiteral("3 wire"), QStringLiteral("4 wire") };
    static const QStringList speed = { QStringLiteral("Normal"), QStringLiteral("Fast") };
    static const QStringList buttons = { QStringLiteral("Buttons enabled"), QStringLiteral("Buttons disabled") };
    static const QStringList dual = { QStringLiteral("Single output"), QStringLiteral("Dual output") };
    static const QStringList dualType = { QStringLiteral("Analog"), QStringLiteral("Trip relay"),
                                          QStringLiteral("Frequency") };
    static const QStringList tripBurnout = { QStringLiteral("Relay on"), QStringLiteral("Relay off") };
    static const QStringList led = { QStringLiteral("Red led"), QStringLiteral("Green led") };
    static const QStringList relative = { QStringLiteral("Input value"), QStringLiteral("Output 1 value") };
    static const QStringList freqBurnout = { QStringLiteral("Span point +12.5%"), QStringLiteral("0 Hz") };
    switch (id) {
    case ChoiceId::rgLinearisation:
        return linearisation;
    case ChoiceId::rgColdJunction:
        return cjc;
    case ChoiceId::rgRTDType:
        return rtd;
    case ChoiceId::rgConversionSpeed:
        return speed;
    case ChoiceId::rgBurnout:
    case ChoiceId::rgBurnout2:
        return startBurnout();
    case ChoiceId::rgInversion:
    case ChoiceId::rgInversion2:
        return inversionItems();
    case ChoiceId::rgSquareRoot:
    case ChoiceId::rgSquareRoot2:
        return squareRootItems();
    case ChoiceId::rgButtonIsolation:
        return buttons;
    case ChoiceId::rgDualOutput:
        return dual;
    case ChoiceId::rgDualType:
        return dualType;
    case ChoiceId::rgTripBurnout:
        return tripBurnout;
    case ChoiceId::rgTripLEDstate:
        return led;
    case ChoiceId::rgTripRelativeTo:
        return relative;
    case ChoiceId::rgFreqBurnout:
        return freqBurnout;
    }
    return speed; // not reached: every enumerator is handled above
}

int buttonCount(ChoiceId id) { return items(id).size(); }

QString itemAt(ListId id, int index)
{
    const QStringList &l = items(id);
    return index >= 0 && index < l.size() ? l.at(index) : QString();
}

QString itemAt(ChoiceId id, int index)
{
    const QStringList &l = items(id);
    return index >= 0 && index < l.size() ? l.at(index) : QString();
}

QStringList burnoutCaptions(int outputRangeIndex)
{
    // With no range chosen the captions name the levels of a current output
    // without live zero.
    const OutputRange *range = outputRanges().at(outputRangeIndex);
    const bool voltage = range && range->kind == OutputKind::VoltageSource;
    return { QStringLiteral("High Burnout ") + (voltage ? QStringLiteral("11.5V") : QStringLiteral("23mA")),
             QStringLiteral("Low Burnout ") + (range ? QString::fromUtf8(range->lowBurnout) : QStringLiteral("0mA")) };
}

QStringList newBurnoutCaptions() { return { QStringLiteral("High Burnout"), QStringLiteral("Low Burnout") }; }

} // namespace Texts

int customIndexFor(ListId rangeList)
{
    // "Custom" follows the listed ranges; a list without it has none to match.
    const InputRangeList *list = inputRangeList(rangeList);
    return list ? list->ranges.size() : Texts::items(rangeList).size();
}

} // namespace hvx
