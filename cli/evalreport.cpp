#include "evalreport.h"

#include "bytenames.h"
#include "displaytext.h"
#include "setupfields.h"
#include "setupfile.h"
#include "summary.h"

#include <QStringList>

#include <algorithm>
#include <charconv>

namespace hvx {

FileReport evaluateFile(const QByteArray &nativePath, const QLocale &locale)
{
    FileReport r;
    r.fileBytes = nativePath;
    r.file = bytesToText(nativePath);
    QString why;
    switch (loadSetupFileNative(nativePath, r.setup, &why)) {
    case LoadStatus::CannotOpen:
        r.message = FileMessages::couldNotBeOpened(r.file, why);
        return r;
    case LoadStatus::NotSetupFile:
        r.message = FileMessages::notASetupFile(r.file, why);
        return r;
    case LoadStatus::Ok:
        break;
    }
    r.outcome = Evaluate(r.setup, r.values, locale);
    r.status = r.outcome.completed ? FileReport::Status::Ok : FileReport::Status::Refused;
    r.message = r.outcome.status;
    return r;
}

QString floatText(float value)
{
    // std::to_chars gives the shortest text that reads back as the same float.
    char buffer[64];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, static_cast<int>(r.ptr - buffer));
}

namespace {

// Whether a character of a JSON string must be written otherwise.
bool needsEscape(QChar c)
{
    return c.unicode() < 0x20 || c == QLatin1Char('"') || c == QLatin1Char('\\') || c.isSurrogate();
}

// Appends s as a JSON string.
void appendJsonString(QString &out, const QString &s)
{
    out += QLatin1Char('"');
    // Most texts need nothing escaped: they go in whole.
    if (std::none_of(s.cbegin(), s.cend(), needsEscape)) {
        out += s;
        out += QLatin1Char('"');
        return;
    }
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        switch (c.unicode()) {
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        case '\b':
            out += QStringLiteral("\\b");
            break;
        case '\f':
            out += QStringLiteral("\\f");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
                out += QStringView(s.constData() + i++, 2);
            else if (c.isSurrogate())
                out += QChar(QChar::ReplacementCharacter); // a byte of a name that is not UTF-8
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
}

// Appends a whole number without making a string of it first.
void appendNumber(QString &out, int value)
{
    char buffer[16];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out += QLatin1String(buffer, static_cast<int>(r.ptr - buffer));
}

} // namespace

QString jsonString(const QString &s)
{
    QString out;
    out.reserve(s.size() + 2);
    appendJsonString(out, s);
    return out;
}

namespace {

QString jsonOptional(bool present, const QString &value) { return present ? value : QStringLiteral("null"); }

} // namespace

QString fileNameJson(const FileReport &r)
{
    QString file = jsonString(r.file);
    if (!isValidUtf8(r.fileBytes))
        file += QStringLiteral(", \"fileBytes\": \"") + QString::fromLatin1(r.fileBytes.toHex()) + QLatin1Char('"');
    return file;
}

QString switchesJson(const SwitchMap &map)
{
    QString json = QStringLiteral("{");
    for (int b = 1; b <= 4; ++b) {
        if (b > 1)
            json += QStringLiteral(", ");
        json += QStringLiteral("\"S%1\": ").arg(b) + jsonString(map.bank(b).toString());
    }
    return json + QLatin1Char('}');
}

QString summaryJson(const Setup &setup, int rangeIndex)
{
    const InputSummary in = BuildInputSummary(setup, rangeIndex);
    const std::optional<QString> out2 = output2Summary(setup);
    return QStringLiteral("{\"input1\": ") + jsonString(in.line1) + QStringLiteral(", \"input2\": ")
        + jsonString(in.line2) + QStringLiteral(", \"output1\": ") + jsonString(output1Summary(setup))
        + QStringLiteral(", \"output2\": ") + (out2 ? jsonString(*out2) : QStringLiteral("null")) + QLatin1Char('}');
}

QString fieldsJson(const Setup &s)
{
    // Written for every file of a batch: the names are made into JSON once.
    static const QStringList names = [] {
        QStringList list;
        for (const SetupField &f : setupFields())
            list << jsonString(f.name()) + QStringLiteral(": ");
        return list;
    }();
    QString json;
    json.reserve(768);
    json += QLatin1Char('{');
    const std::vector<SetupField> &fields = setupFields();
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            json += QStringLiteral(", ");
        json += names.at(qsizetype(i));
        if (fields[i].kind == SetupField::Kind::Text)
            appendJsonString(json, fields[i].text(s));
        else
            appendNumber(json, fields[i].index(s));
    }
    json += QLatin1Char('}');
    return json;
}

QString reportJson(const FileReport &r)
{
    const bool evaluated = r.status != FileReport::Status::Error;
    const bool ok = r.status == FileReport::Status::Ok;
    const char *status = ok ? "ok" : evaluated ? "refused" : "error";
    const QString null = QStringLiteral("null");

    QString json;
    json.reserve(1536);
    json += QStringLiteral("{\"file\": ") + fileNameJson(r);
    json += QStringLiteral(", \"status\": \"") + QLatin1String(status) + QStringLiteral("\", \"message\": ");
    appendJsonString(json, r.message);
    json += QStringLiteral(", \"switches\": ") + (evaluated ? switchesJson(r.values.map) : null);
    json += QStringLiteral(", \"rangeIndex\": ");
    if (evaluated && r.outcome.inputEncoderRan)
        appendNumber(json, r.values.RangeIndex);
    else
        json += null;
    json += QStringLiteral(", \"customLow\": ")
        + jsonOptional(evaluated && r.outcome.customLowRead, floatText(r.values.CustomLow));
    json += QStringLiteral(", \"customHigh\": ")
        + jsonOptional(evaluated && r.outcome.customHighRead, floatText(r.values.CustomHigh));
    json += QStringLiteral(", \"summary\": ") + (ok ? summaryJson(r.setup, r.values.RangeIndex) : null);
    json += QStringLiteral(", \"fields\": ") + (evaluated ? fieldsJson(r.setup) : null);
    json += QLatin1Char('}');
    return json;
}

QString reportText(const FileReport &r)
{
    const auto line = [](const QString &head, const QString &text) {
        return head + displayText(text) + QLatin1Char('\n');
    };
    QString out = line(QString(), r.file);
    if (r.status == FileReport::Status::Error)
        return out + line(QStringLiteral("  error: "), r.message);
    if (r.status == FileReport::Status::Refused)
        return out + line(QStringLiteral("  refused: "), r.message);

    out += summaryText(r.setup, r.values.RangeIndex);
    // Bank S4 is on every unit: in single output it is unused, all off.
    out += QLatin1Char('\n') + bankRows(r.values.map, 4);
    if (!r.setup.isDualOutput())
        out += QStringLiteral("  %1\n").arg(singleOutputS4Note());
    return out;
}

QString singleOutputS4Note() { return QStringLiteral("S4 is unused in single output: all its switches stay off."); }

QString summaryText(const Setup &setup, int rangeIndex)
{
    const auto line = [](const QString &head, const QString &text) {
        return head + displayText(text) + QLatin1Char('\n');
    };
    const InputSummary in = BuildInputSummary(setup, rangeIndex);
    QString out = line(QStringLiteral("  Input:    "), in.line1);
    out += line(QStringLiteral("            "), in.line2);
    out += line(QStringLiteral("  Output 1: "), output1Summary(setup));
    const std::optional<QString> out2 = output2Summary(setup);
    if (out2)
        out += line(QStringLiteral("  Output 2: "), *out2);
    return out;
}

QString bankRows(const SwitchMap &map, int banks, const std::vector<SwitchPosition> &marked)
{
    // One row per bank: ON for a switch that is on, a dot for one that is off.
    QString out = QStringLiteral("       ");
    for (int p = 1; p <= 12; ++p)
        out += QStringLiteral("%1").arg(p, 4);
    out += QLatin1Char('\n');
    for (int b = 1; b <= banks; ++b) {
        out += QStringLiteral("  S%1    ").arg(b);
        for (int p = 1; p <= 12; ++p) {
            const bool mark = std::find(marked.begin(), marked.end(), SwitchPosition{ b, p }) != marked.end();
            const QString state = map.bank(b).isOn(p) ? QStringLiteral("ON") : QStringLiteral(".");
            out += ((mark ? QStringLiteral("*") : QString()) + state).rightJustified(4);
        }
        out += QLatin1Char('\n');
    }
    return out;
}

} // namespace hvx
