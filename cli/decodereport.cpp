#include "decodereport.h"

#include "displaytext.h"

#include <QStringList>

#include <algorithm>

namespace hvx {

namespace {

QString positionsJson(const std::vector<SwitchPosition> &positions)
{
    QStringList names;
    for (const SwitchPosition &p : positions)
        names << jsonString(p.name());
    return QLatin1Char('[') + names.join(QStringLiteral(", ")) + QLatin1Char(']');
}

// A decoded setup holds a listed range, so RangeIndex is its selection.
QString setupSummaryText(const Setup &s) { return summaryText(s, s.inputRange()); }

} // namespace

DecodeReport decodeUnit(const SwitchMap &switches)
{
    const SwitchDecoder &decoder = SwitchDecoder::instance();
    DecodeReport r;
    r.switches = switches;
    r.result = decoder.decode(switches);
    r.setups = decoder.list(r.result, switches, DecodeListLimit);
    return r;
}

QString decodeJson(const DecodeReport &r)
{
    QStringList setups;
    for (const DecodedSetup &d : r.setups) {
        setups << QStringLiteral("{\"fields\": ") + fieldsJson(d.setup) + QStringLiteral(", \"summary\": ")
                + summaryJson(d.setup, d.setup.inputRange()) + QStringLiteral(", \"switches\": ")
                + switchesJson(d.switches) + QStringLiteral(", \"differs\": ") + positionsJson(d.differs)
                + QLatin1Char('}');
    }
    return QStringLiteral("{\"switches\": ") + switchesJson(r.switches) + QStringLiteral(", \"status\": \"")
        + QLatin1String(r.result.exact() ? "exact" : "nearest") + QStringLiteral("\", \"distance\": ")
        + QString::number(r.result.distance) + QStringLiteral(", \"total\": ") + QString::number(r.result.total())
        + QStringLiteral(", \"setups\": [") + setups.join(QStringLiteral(", ")) + QStringLiteral("]}");
}

QString decodeText(const DecodeReport &r)
{
    QString out = switchMapText(r.switches) + QLatin1Char('\n');
    if (r.result.exact()) {
        out += QStringLiteral("  exact: these are the switches of\n");
        for (const DecodedSetup &d : r.setups)
            out += setupSummaryText(d.setup);
        return out;
    }

    const std::int64_t total = r.result.total();
    out += QStringLiteral("  nearest: no setup gives these switches; %1 %2 in %3")
               .arg(countOf(total, "setup", "setups"), QLatin1String(total == 1 ? "differs" : "differ"),
                    countOf(r.result.distance, "position", "positions"));
    if (total > std::int64_t(r.setups.size()))
        out += QStringLiteral(" (the first %1 shown)").arg(r.setups.size());
    out += QStringLiteral(".\n  * marks a switch that is the other way on the unit.\n");
    for (size_t i = 0; i < r.setups.size(); ++i) {
        const DecodedSetup &d = r.setups[i];
        out +=
            QStringLiteral("\n  Setup %1 of %2, differs at %3:\n").arg(i + 1).arg(total).arg(positionNames(d.differs));
        out += setupSummaryText(d.setup) + QLatin1Char('\n') + bankRows(d.switches, 4, d.differs);
    }
    return out;
}

VerifyReport verifyUnit(const QByteArray &nativePath, const SwitchMap &switches, const QLocale &locale)
{
    VerifyReport r;
    r.file = evaluateFile(nativePath, locale);
    r.switches = switches;
    r.message = r.file.message;
    switch (r.file.status) {
    case FileReport::Status::Error:
        r.status = VerifyReport::Status::Error;
        return r;
    case FileReport::Status::Refused:
        r.status = VerifyReport::Status::Refused;
        return r;
    case FileReport::Status::Ok:
        break;
    }
    r.comparison = compareUnitWithSwitches(switches, r.file.values.map);
    r.differs = r.comparison.differs;
    if (r.differs.empty()) {
        r.status = VerifyReport::Status::Match;
        r.message = QStringLiteral("The unit is set as the setup file says.");
    } else {
        r.status = VerifyReport::Status::Differ;
        r.message = QStringLiteral("%1 of the unit %2 from the setup file: %3.")
                        .arg(countOf(std::int64_t(r.differs.size()), "switch", "switches"),
                             QLatin1String(r.differs.size() == 1 ? "differs" : "differ"), r.comparison.directions());
        const bool s4On = std::any_of(r.differs.begin(), r.differs.end(),
                                      [](const SwitchPosition &p) { return p.bank == 4; });
        if (s4On && !r.file.setup.isDualOutput())
            r.message += QStringLiteral(" S4 is unused in single output and must be all off.");
    }
    return r;
}

namespace {

// Each differing position with the unit's and the setup's state, and the
// banks that look swapped.
QString differencesJson(const UnitComparison &c)
{
    QStringList differs;
    for (const SwitchDifference &d : c.differences) {
        differs << QStringLiteral("{\"bank\": \"S%1\", \"switch\": %2, \"unit\": \"%3\", \"setup\": \"%4\"}")
                       .arg(d.position.bank)
                       .arg(d.position.position)
                       .arg(QLatin1String(d.unitOn ? "on" : "off"), QLatin1String(d.setupOn ? "on" : "off"));
    }
    QStringList swapped;
    for (const std::pair<int, int> &s : c.swapped)
        swapped << QStringLiteral("[\"S%1\", \"S%2\"]").arg(s.first).arg(s.second);
    return QStringLiteral("\"differs\": [") + differs.join(QStringLiteral(", ")) + QStringLiteral("], \"swapped\": [")
        + swapped.join(QStringLiteral(", ")) + QLatin1Char(']');
}

} // namespace

const char *verifyStatusName(VerifyReport::Status status)
{
    switch (status) {
    case VerifyReport::Status::Match:
        return "match";
    case VerifyReport::Status::Differ:
        return "differ";
    case VerifyReport::Status::Refused:
        return "refused";
    case VerifyReport::Status::NotRead:
        return "not read";
    case VerifyReport::Status::Error:
        break;
    }
    return "error";
}

QString verifyJson(const VerifyReport &r)
{
    return QStringLiteral("{\"file\": ") + fileNameJson(r.file) + QStringLiteral(", \"status\": \"")
        + QLatin1String(verifyStatusName(r.status)) + QStringLiteral("\", \"message\": ") + jsonString(r.message)
        + QStringLiteral(", ") + differencesJson(r.comparison) + QLatin1Char('}');
}

QString verifyText(const VerifyReport &r)
{
    QString out = displayText(r.file.file) + QLatin1Char('\n') + QStringLiteral("  ")
        + QLatin1String(verifyStatusName(r.status)) + QStringLiteral(": ") + displayText(r.message) + QLatin1Char('\n');
    if (r.status != VerifyReport::Status::Match && r.status != VerifyReport::Status::Differ)
        return out;
    out += summaryText(r.file.setup, r.file.values.RangeIndex);
    if (r.status == VerifyReport::Status::Match)
        return out;

    out += QStringLiteral("\n  The file's switches; * marks a switch that is the other way on the unit.\n");
    out += bankRows(r.file.values.map, 4, r.differs);
    // What the unit is set to instead, when a setup gives its switches.
    const DecodeResult unit = decodeSwitchMap(r.switches);
    if (unit.exact() && unit.total() == 1)
        out += QStringLiteral("\n  The unit's switches are those of\n")
            + setupSummaryText(SwitchDecoder::instance().setup(unit.inputs.front(), unit.outputs.front()));
    else
        out += QStringLiteral("\n  No setup gives the unit's switches.\n");
    return out;
}

} // namespace hvx
