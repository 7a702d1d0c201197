#include "decode.h"

#include "displaytext.h"
#include "evaluation.h"
#include "rangetables.h"
#include "summary.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <bitset>
#include <limits>
#include <stdexcept>

namespace hvx {

namespace {

// Two banks as one half: the first at bits 0 to 11, the second at 12 to 23.
HalfPattern halfOf(const SwitchBank &first, const SwitchBank &second)
{
    HalfPattern h = 0;
    for (int p = 1; p <= 12; ++p) {
        if (first.isOn(p))
            h |= HalfPattern(1) << (p - 1);
        if (second.isOn(p))
            h |= HalfPattern(1) << (11 + p);
    }
    return h;
}

} // namespace

HalfPattern inputHalf(const SwitchMap &map) { return halfOf(map.S1, map.S2); }

HalfPattern outputHalf(const SwitchMap &map) { return halfOf(map.S3, map.S4); }

SwitchMap switchMapFromHalves(HalfPattern input, HalfPattern output)
{
    SwitchMap map;
    for (int p = 1; p <= 12; ++p) {
        if (input & (HalfPattern(1) << (p - 1)))
            map.S1.turnOn(p);
        if (input & (HalfPattern(1) << (11 + p)))
            map.S2.turnOn(p);
        if (output & (HalfPattern(1) << (p - 1)))
            map.S3.turnOn(p);
        if (output & (HalfPattern(1) << (11 + p)))
            map.S4.turnOn(p);
    }
    return map;
}

QString SwitchPosition::name() const { return QStringLiteral("S%1.%2").arg(bank).arg(position); }

std::vector<SwitchPosition> compareSwitchMaps(const SwitchMap &a, const SwitchMap &b)
{
    std::vector<SwitchPosition> differs;
    for (int bank = 1; bank <= 4; ++bank)
        for (int p = 1; p <= 12; ++p)
            if (a.bank(bank)[p] != b.bank(bank)[p])
                differs.push_back({ bank, p });
    return differs;
}

QString positionNames(const std::vector<SwitchPosition> &positions)
{
    QStringList names;
    for (const SwitchPosition &p : positions)
        names << p.name();
    return names.join(QStringLiteral(", "));
}

std::optional<SwitchMap> parseSwitchMap(const QString &text, QString *error)
{
    const auto fail = [error](const QString &message) -> std::optional<SwitchMap> {
        if (error)
            *error = message;
        return std::nullopt;
    };

    SwitchMap map;
    bool seen[4] = { false, false, false, false };
    for (const QString &given : text.split(QLatin1Char(','))) {
        const QString part = given.trimmed(); // blanks around the commas
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            return fail(QStringLiteral("\"%1\" is not a bank setting such as S1=000000000000").arg(part));
        const QString name = part.left(eq);
        const QString bits = part.mid(eq + 1);
        int bank = 0;
        if (name.size() == 2 && name.at(0).toUpper() == QLatin1Char('S') && name.at(1) >= QLatin1Char('1')
            && name.at(1) <= QLatin1Char('4'))
            bank = name.at(1).unicode() - '0';
        if (bank == 0)
            return fail(QStringLiteral("there is no bank named \"%1\" (the banks are S1 to S4)").arg(name));
        if (seen[bank - 1])
            return fail(QStringLiteral("bank %1 is given twice").arg(name));
        seen[bank - 1] = true;
        const bool binary = std::all_of(bits.cbegin(), bits.cend(),
                                        [](QChar c) { return c == QLatin1Char('0') || c == QLatin1Char('1'); });
        if (bits.size() != 12 || !binary)
            return fail(QStringLiteral("bank %1 must be 12 characters of '0' and '1', not \"%2\"").arg(name, bits));
        for (int p = 1; p <= 12; ++p)
            if (bits.at(p - 1) == QLatin1Char('1'))
                map.bank(bank).turnOn(p);
    }
    for (int bank = 1; bank <= 4; ++bank)
        if (!seen[bank - 1])
            return fail(QStringLiteral("bank S%1 is missing").arg(bank));
    return map;
}

QString switchMapText(const SwitchMap &map)
{
    QStringList parts;
    for (int bank = 1; bank <= 4; ++bank)
        parts << QStringLiteral("S%1=").arg(bank) + map.bank(bank).toString();
    return parts.join(QLatin1Char(','));
}

// The fields of one variant that take part in its evaluation; the rest of the
// setup stays as New leaves it. Lists hold -1 where unused, choices 0.
struct SwitchDecoder::InputVariant {
    std::int8_t type;
    std::int8_t range; // index in the type's own range list
    std::int8_t speed;
    std::int8_t linearisation; // thermocouples and RTD
    std::int8_t coldJunction;  // thermocouples
    std::int8_t rtdType;       // RTD

    void apply(Setup &s) const
    {
        s.cbInputType = type;
        s.list(rangeListFor(type)) = range;
        s.rgConversionSpeed = speed;
        s.rgLinearisation = linearisation;
        s.rgColdJunction = coldJunction;
        s.rgRTDType = rtdType;
    }
};

struct SwitchDecoder::OutputVariant {
    std::int8_t range;
    std::int8_t burnout;
    std::int8_t inversion;
    std::int8_t buttons;
    std::int8_t squareRoot; // single output
    std::int8_t dual;
    std::int8_t dualType;
    std::int8_t range2 = -1; // analog output 2
    std::int8_t burnout2 = 0;
    std::int8_t inversion2 = 0;
    std::int8_t squareRoot2 = 0;
    std::int8_t tripDelay = -1; // trip relay
    std::int8_t tripBurnout = 0;
    std::int8_t tripLed = 0;
    std::int8_t tripRelativeTo = 0;
    std::int8_t frequency = -1; // frequency output
    std::int8_t freqBurnout = 0;

    void apply(Setup &s) const
    {
        s.cbOutputRange = range;
        s.rgBurnout = burnout;
        s.rgInversion = inversion;
        s.rgButtonIsolation = buttons;
        s.rgSquareRoot = squareRoot;
        s.rgDualOutput = dual;
        s.rgDualType = dualType;
        s.cbOutputRange2 = range2;
        s.rgBurnout2 = burnout2;
        s.rgInversion2 = inversion2;
        s.rgSquareRoot2 = squareRoot2;
        s.cbTripOutput = tripDelay;
        s.rgTripBurnout = tripBurnout;
        s.rgTripLEDstate = tripLed;
        s.rgTripRelativeTo = tripRelativeTo;
        s.cbFreqOutputRange = frequency;
        s.rgFreqBurnout = freqBurnout;
    }
};

namespace {

using InputVariant = SwitchDecoder::InputVariant;
using OutputVariant = SwitchDecoder::OutputVariant;

std::vector<InputVariant> inputVariants()
{
    std::vector<InputVariant> v;
    for (std::int8_t type = 0; type < InputTypeCount; ++type) {
        // Every listed range; "Custom" is the last item of each list but
        // cbIRPot3, where customIndexFor gives the item count.
        const int ranges = customIndexFor(rangeListFor(type));
        const int linearisations = isLinearType(type) ? 1 : 2;
        const int coldJunctions = isThermocouple(type) ? 2 : 1;
        const int rtdTypes = isRtd(type) ? 3 : 1;
        for (std::int8_t range = 0; range < ranges; ++range)
            for (std::int8_t speed = 0; speed < 2; ++speed)
                for (std::int8_t lin = 0; lin < linearisations; ++lin)
                    for (std::int8_t cjc = 0; cjc < coldJunctions; ++cjc)
                        for (std::int8_t rtd = 0; rtd < rtdTypes; ++rtd)
                            v.push_back({ type, range, speed, lin, cjc, rtd });
    }
    return v;
}

std::vector<OutputVariant> outputVariants()
{
    const int outputRangeCount = outputRanges().size();
    const int tripDelayCount = tripDelays().size();
    const int frequencyCount = frequencyRanges().size();
    std::vector<OutputVariant> v;
    // Single output (mode 0) first, then the three kinds of second output
    // (mode 1 + the dual type).
    for (int mode = 0; mode < 4; ++mode) {
        for (std::int8_t range = 0; range < outputRangeCount; ++range)
            for (std::int8_t burnout = 0; burnout < 2; ++burnout)
                for (std::int8_t inversion = 0; inversion < 2; ++inversion)
                    for (std::int8_t buttons = 0; buttons < 2; ++buttons) {
                        OutputVariant o{ range,
                                         burnout,
                                         inversion,
                                         buttons,
                                         0,
                                         std::int8_t(mode == 0 ? DualOutputChoice::Single : DualOutputChoice::Dual),
                                         std::int8_t(mode == 0 ? DualTypeChoice::Analog : mode - 1) };
                        switch (mode) {
                        case 0:
                            for (o.squareRoot = 0; o.squareRoot < 2; ++o.squareRoot)
                                v.push_back(o);
                            break;
                        case 1 + DualTypeChoice::Analog:
                            for (o.range2 = 0; o.range2 < outputRangeCount; ++o.range2)
                                for (o.burnout2 = 0; o.burnout2 < 2; ++o.burnout2)
                                    for (o.inversion2 = 0; o.inversion2 < 2; ++o.inversion2)
                                        for (o.squareRoot2 = 0; o.squareRoot2 < 2; ++o.squareRoot2)
                                            v.push_back(o);
                            break;
                        case 1 + DualTypeChoice::TripRelay:
                            for (o.tripDelay = 0; o.tripDelay < tripDelayCount; ++o.tripDelay)
                                for (o.tripBurnout = 0; o.tripBurnout < 2; ++o.tripBurnout)
                                    for (o.tripLed = 0; o.tripLed < 2; ++o.tripLed)
                                        for (o.tripRelativeTo = 0; o.tripRelativeTo < 2; ++o.tripRelativeTo)
                                            v.push_back(o);
                            break;
                        case 1 + DualTypeChoice::Frequency:
                            for (o.frequency = 0; o.frequency < frequencyCount; ++o.frequency)
                                for (o.freqBurnout = 0; o.freqBurnout < 2; ++o.freqBurnout)
                                    v.push_back(o);
                            break;
                        }
                    }
    }
    return v;
}

// The variant of the other half that completes a setup while one half is
// tabled: "0 to 1 V" input, "0 to 20 mA source" single output.
const InputVariant referenceInput{ Voltage, 0, 0, 0, 0, 0 };
const OutputVariant referenceOutput{ 0, 0, 0, 0, 0, 0, 0 };

SwitchMap evaluateCanonical(const InputVariant &in, const OutputVariant &out, const QLocale &locale)
{
    Setup s;
    in.apply(s);
    out.apply(s);
    EvaluationValues values;
    if (!Evaluate(s, values, locale).completed)
        throw std::logic_error("a canonical setup must evaluate");
    return values.map;
}

std::vector<std::pair<HalfPattern, int>> sortedIndex(const std::vector<HalfPattern> &keys)
{
    std::vector<std::pair<HalfPattern, int>> index;
    index.reserve(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        index.emplace_back(keys[i], int(i));
    std::sort(index.begin(), index.end());
    return index;
}

// The variants whose pattern lies nearest to the target, in table order, and
// their distance.
std::vector<int> nearest(const std::vector<HalfPattern> &keys, const std::vector<std::pair<HalfPattern, int>> &index,
                         HalfPattern target, int &distance)
{
    std::vector<int> found;
    auto range = std::equal_range(index.begin(), index.end(), std::make_pair(target, std::numeric_limits<int>::min()),
                                  [](const auto &a, const auto &b) { return a.first < b.first; });
    if (range.first != range.second) {
        for (auto it = range.first; it != range.second; ++it)
            found.push_back(it->second);
        std::sort(found.begin(), found.end());
        distance = 0;
        return found;
    }
    distance = std::numeric_limits<int>::max();
    for (size_t i = 0; i < keys.size(); ++i) {
        const int d = int(std::bitset<24>(keys[i] ^ target).count());
        if (d < distance) {
            distance = d;
            found.clear();
        }
        if (d == distance)
            found.push_back(int(i));
    }
    return found;
}

} // namespace

SwitchDecoder::SwitchDecoder()
    : m_inputs(inputVariants())
    , m_outputs(outputVariants())
{
    // Listed ranges never read the custom texts, so the locale plays no part.
    const QLocale locale = QLocale::c();
    m_inputKeys.reserve(m_inputs.size());
    for (const InputVariant &in : m_inputs)
        m_inputKeys.push_back(inputHalf(evaluateCanonical(in, referenceOutput, locale)));
    m_outputKeys.reserve(m_outputs.size());
    for (const OutputVariant &out : m_outputs)
        m_outputKeys.push_back(outputHalf(evaluateCanonical(referenceInput, out, locale)));
    m_inputIndex = sortedIndex(m_inputKeys);
    m_outputIndex = sortedIndex(m_outputKeys);
}

SwitchDecoder::~SwitchDecoder() = default;

const SwitchDecoder &SwitchDecoder::instance()
{
    static const SwitchDecoder decoder;
    return decoder;
}

Setup SwitchDecoder::setup(int input, int output) const
{
    Setup s;
    m_inputs.at(size_t(input)).apply(s);
    m_outputs.at(size_t(output)).apply(s);
    return s;
}

SwitchMap SwitchDecoder::switches(int input, int output) const
{
    return switchMapFromHalves(inputPattern(input), outputPattern(output));
}

DecodeResult SwitchDecoder::decode(const SwitchMap &map) const
{
    DecodeResult r;
    r.inputs = nearest(m_inputKeys, m_inputIndex, inputHalf(map), r.inputDistance);
    r.outputs = nearest(m_outputKeys, m_outputIndex, outputHalf(map), r.outputDistance);
    r.distance = r.inputDistance + r.outputDistance;
    return r;
}

std::vector<DecodedSetup> SwitchDecoder::list(const DecodeResult &result, const SwitchMap &map, int limit) const
{
    std::vector<DecodedSetup> setups;
    for (int in : result.inputs) {
        for (int out : result.outputs) {
            if (int(setups.size()) >= limit)
                return setups;
            DecodedSetup d{ setup(in, out), switches(in, out), {} };
            d.differs = compareSwitchMaps(d.switches, map);
            setups.push_back(std::move(d));
        }
    }
    return setups;
}

} // namespace hvx

namespace hvx {

QStringList decodedSummary(const Setup &setup)
{
    const InputSummary input = BuildInputSummary(setup, setup.inputRange());
    QStringList lines{ input.line1, input.line2, output1Summary(setup) };
    if (setup.isDualOutput())
        if (const std::optional<QString> output2 = output2Summary(setup))
            lines << *output2;
    return lines;
}

QString decodedSummaryLine(const Setup &setup)
{
    QStringList lines = decodedSummary(setup);
    // Each line ends in a full stop; on one line they are parted by "; ".
    for (QString &line : lines)
        if (line.endsWith(QLatin1Char('.')))
            line.chop(1);
    return lines.join(QStringLiteral("; ")) + QLatin1Char('.');
}

QString decodeHeadline(const DecodeResult &result, int listed)
{
    const std::int64_t total = result.total();
    if (result.exact()) {
        if (total == 1)
            return QStringLiteral("The unit is set to this setup:");
        return QStringLiteral("%1 give these switches.").arg(countOf(total, "setup", "setups"));
    }
    QString text = QStringLiteral("No setup gives these switches. The nearest %1 from them in %2.")
                       .arg(total == 1 ? QStringLiteral("setup differs")
                                       : QStringLiteral("%1 setups differ").arg(total),
                            countOf(result.distance, "position", "positions"));
    if (total > listed)
        text += QStringLiteral(" The first %1 are listed.").arg(listed);
    return text;
}

} // namespace hvx
