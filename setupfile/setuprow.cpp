#include "setuprow.h"

#include "setupfile.h"
#include "texts.h"

#include <QBuffer>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace hvx {

namespace TableColumns {
const char file[] = "file";
const char status[] = "status";
const char message[] = "message";
const char check[] = "check";
const char checked[] = "checked";
} // namespace TableColumns

namespace {

// How a column's value is read: a list's item, a choice's item, one of the
// two custom texts, or the input range (an item of the input type's list).
enum class Kind { List, Choice, Burnout, InputRange, CustomLow, CustomHigh };

struct ColumnDef {
    const char *name;
    Kind kind;
    int id; // ListId or ChoiceId
};

constexpr int noId = 0;
constexpr int list(ListId id) { return static_cast<int>(id); }
constexpr int choice(ChoiceId id) { return static_cast<int>(id); }

// clang-format off
const ColumnDef columnDefs[] = {
    { "input type",        Kind::List,       list(ListId::cbInputType) },
    { "input range",       Kind::InputRange, noId },
    { "custom low",        Kind::CustomLow,  noId },
    { "custom high",       Kind::CustomHigh, noId },
    { "linearisation",     Kind::Choice,     choice(ChoiceId::rgLinearisation) },
    { "cold junction",     Kind::Choice,     choice(ChoiceId::rgColdJunction) },
    { "RTD wiring",        Kind::Choice,     choice(ChoiceId::rgRTDType) },
    { "conversion speed",  Kind::Choice,     choice(ChoiceId::rgConversionSpeed) },
    { "output 1",          Kind::List,       list(ListId::cbOutputRange) },
    { "burnout",           Kind::Burnout,    choice(ChoiceId::rgBurnout) },
    { "inversion",         Kind::Choice,     choice(ChoiceId::rgInversion) },
    { "square root",       Kind::Choice,     choice(ChoiceId::rgSquareRoot) },
    { "buttons",           Kind::Choice,     choice(ChoiceId::rgButtonIsolation) },
    { "outputs",           Kind::Choice,     choice(ChoiceId::rgDualOutput) },
    { "second output",     Kind::Choice,     choice(ChoiceId::rgDualType) },
    { "output 2",          Kind::List,       list(ListId::cbOutputRange2) },
    { "burnout 2",         Kind::Burnout,    choice(ChoiceId::rgBurnout2) },
    { "inversion 2",       Kind::Choice,     choice(ChoiceId::rgInversion2) },
    { "square root 2",     Kind::Choice,     choice(ChoiceId::rgSquareRoot2) },
    { "trip delay",        Kind::List,       list(ListId::cbTripOutput) },
    { "relay in burnout",  Kind::Choice,     choice(ChoiceId::rgTripBurnout) },
    { "trip LED",          Kind::Choice,     choice(ChoiceId::rgTripLEDstate) },
    { "trip relative to",  Kind::Choice,     choice(ChoiceId::rgTripRelativeTo) },
    { "frequency range",   Kind::List,       list(ListId::cbFreqOutputRange) },
    { "frequency burnout", Kind::Choice,     choice(ChoiceId::rgFreqBurnout) },
};
// clang-format on

constexpr int customTextLimit = 6; // characters the window's edits take

QStringList choiceItems(const ColumnDef &def)
{
    return def.kind == Kind::Burnout ? Texts::newBurnoutCaptions() : Texts::items(ChoiceId(def.id));
}

QString valueText(const ColumnDef &def, const Setup &s)
{
    switch (def.kind) {
    case Kind::List:
        return Texts::itemAt(ListId(def.id), s.list(ListId(def.id)));
    case Kind::InputRange:
        return s.cbInputType >= 0 && s.cbInputType < InputTypeCount
            ? Texts::itemAt(rangeListFor(s.cbInputType), s.inputRange())
            : QString();
    case Kind::CustomLow:
        return s.eCustomLow;
    case Kind::CustomHigh:
        return s.eCustomHigh;
    case Kind::Choice:
    case Kind::Burnout:
        break;
    }
    const int index = s.choice(ChoiceId(def.id));
    const QStringList items = choiceItems(def);
    return index < 0 ? notSetText() : index < items.size() ? items.at(index) : QString();
}

int indexOfItem(const QStringList &items, const QString &value)
{
    const qsizetype exact = items.indexOf(value); // most cells, as the program writes them
    if (exact >= 0)
        return int(exact);
    for (int i = 0; i < items.size(); ++i) {
        if (items.at(i).compare(value, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

// The last number in a text ("0 to 1,000 Hz" gives 1000), if any.
std::optional<double> lastNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("-?\\d[\\d,]*(\\.\\d+)?"));
    QString last;
    for (QRegularExpressionMatchIterator it = number.globalMatch(text); it.hasNext();)
        last = it.next().captured();
    bool ok = false;
    const double value = last.remove(QLatin1Char(',')).toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

// The item nearest a value that is not one: the one whose last number is
// closest to the value's (the upper end of a range), else the first.
int nearestItem(const QStringList &items, const QString &value)
{
    const std::optional<double> wanted = lastNumber(value);
    int best = 0;
    double bestDistance = -1;
    for (int i = 0; wanted && i < items.size(); ++i) {
        const std::optional<double> n = lastNumber(items.at(i));
        if (n && (bestDistance < 0 || std::fabs(*n - *wanted) < bestDistance)) {
            best = i;
            bestDistance = std::fabs(*n - *wanted);
        }
    }
    return best;
}

// "a", "b", ... for a refusal. A long list is shortened to its first item,
// the items around the one nearest the value, and its last.
QString itemList(const QStringList &items, const QString &value)
{
    constexpr int shown = 5;
    const auto quoted = [&items](int i) { return QLatin1Char('"') + items.at(i) + QLatin1Char('"'); };
    QStringList parts;
    if (items.size() <= shown + 3) {
        for (int i = 0; i < items.size(); ++i)
            parts << quoted(i);
        return parts.join(QStringLiteral(", "));
    }
    const int best = nearestItem(items, value);
    const int from = std::clamp(best - shown / 2, 0, int(items.size()) - shown);
    if (from > 0)
        parts << quoted(0);
    if (from > 1)
        parts << QStringLiteral("...");
    for (int i = from; i < from + shown; ++i)
        parts << quoted(i);
    if (from + shown < items.size() - 1)
        parts << QStringLiteral("...");
    if (from + shown < items.size())
        parts << quoted(items.size() - 1);
    return parts.join(QStringLiteral(", ")) + QStringLiteral(" (%1 items)").arg(items.size());
}

QString notOneOf(const QString &value, const QStringList &items)
{
    return QStringLiteral("%1 is not one of %2").arg(quotedValue(value), itemList(items, value));
}

// Whether a custom text comes back from a setup file as it went in.
bool fileKeeps(const QString &text)
{
    // Printable ASCII is the same in the file's code page; anything else is tried.
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; }))
        return true;
    Setup setup;
    setup.eCustomLow = text;
    QByteArray bytes = setupFileBytes(setup);
    QBuffer file(&bytes);
    Setup back;
    return file.open(QIODevice::ReadOnly) && HasSetupSignature(file) && ReadSetupFile(file, back)
        && back.eCustomLow == text;
}

// A number that reads two ways: one to three digits (the first not 0), a
// comma and exactly three digits ("1,200", "-2,500") is a thousand and more
// with a thousands separator, or less than one thousandth of that with a
// decimal comma; in a table written with semicolons the same holds for a
// point. The problem naming both readings, or empty.
QString ambiguousNumber(const QString &value, QChar separator)
{
    static const QRegularExpression comma(QStringLiteral("^([-+]?)([1-9]\\d{0,2}),(\\d{3})$"));
    static const QRegularExpression point(QStringLiteral("^([-+]?)([1-9]\\d{0,2})\\.(\\d{3})$"));
    const bool semicolons = separator == QLatin1Char(';');
    if (!value.contains(QLatin1Char(',')) && !(semicolons && value.contains(QLatin1Char('.'))))
        return QString();
    QRegularExpressionMatch m = comma.match(value);
    if (!m.hasMatch() && semicolons)
        m = point.match(value);
    if (!m.hasMatch())
        return QString();
    const QString sign = m.captured(1) == QLatin1String("-") ? QStringLiteral("-") : QString();
    const int whole = m.captured(2).toInt();
    QString fraction = m.captured(3);
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    const QString thousands = sign + QString::number(whole * 1000 + m.captured(3).toInt());
    const QString decimal = sign + QString::number(whole)
        + (fraction.isEmpty() ? QString() : QLatin1Char('.') + fraction);
    return QStringLiteral("\"%1\" could be %2 or %3; write %2 or %3").arg(value, thousands, decimal);
}

// The custom text to store: as given, or, when longer than the window takes,
// the shortest text of the same number.
std::optional<QString> customText(const QString &value, QChar separator, QString *problem)
{
    *problem = ambiguousNumber(value, separator);
    if (!problem->isEmpty())
        return std::nullopt;
    for (const QChar c : value) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            *problem = QStringLiteral("%1 holds a control character").arg(quotedValue(value));
            return std::nullopt;
        }
    }
    if (value.size() <= customTextLimit) {
        if (fileKeeps(value))
            return value;
        *problem = QStringLiteral("%1 holds a character that a setup file cannot keep").arg(quotedValue(value));
        return std::nullopt;
    }
    const bool comma = value.contains(QLatin1Char(','));
    bool ok = false;
    const double number = QString(value).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (ok && std::isfinite(number)) {
        for (int decimals = 0; decimals < customTextLimit; ++decimals) {
            QString shorter = QString::number(number, 'f', decimals);
            if (static_cast<float>(shorter.toDouble()) != static_cast<float>(number))
                continue;
            if (shorter.size() > customTextLimit)
                break;
            return comma ? shorter.replace(QLatin1Char('.'), QLatin1Char(',')) : shorter;
        }
    }
    *problem = QStringLiteral("%1 is longer than the %2 characters the window takes")
                   .arg(quotedValue(value))
                   .arg(customTextLimit);
    return std::nullopt;
}

void readValue(const ColumnDef &def, const QString &value, QChar separator, Setup &s, std::vector<RowProblem> *problems)
{
    const QString column = QLatin1String(def.name);
    QStringList items;
    switch (def.kind) {
    case Kind::CustomLow:
    case Kind::CustomHigh: {
        QString problem;
        const std::optional<QString> text = customText(value, separator, &problem);
        if (!text)
            problems->push_back({ column, problem });
        else
            (def.kind == Kind::CustomLow ? s.eCustomLow : s.eCustomHigh) = *text;
        return;
    }
    case Kind::InputRange:
        if (s.cbInputType < 0) {
            problems->push_back({ column, QStringLiteral("%1 needs an input type").arg(quotedValue(value)) });
            return;
        }
        items = Texts::items(rangeListFor(s.cbInputType));
        break;
    case Kind::List:
        items = Texts::items(ListId(def.id));
        break;
    case Kind::Choice:
    case Kind::Burnout:
        if (value.compare(notSetText(), Qt::CaseInsensitive) == 0) {
            s.choice(ChoiceId(def.id)) = -1;
            return;
        }
        items = choiceItems(def);
        break;
    }
    int index = indexOfItem(items, value);
    if (index < 0 && def.kind == Kind::Burnout) {
        // The captions the window shows for the row's output range.
        const int range = s.list(def.id == choice(ChoiceId::rgBurnout) ? ListId::cbOutputRange
                                                                       : ListId::cbOutputRange2);
        index = indexOfItem(Texts::burnoutCaptions(range), value);
    }
    if (index < 0) {
        problems->push_back({ column, notOneOf(value, items) });
        return;
    }
    if (def.kind == Kind::List)
        s.list(ListId(def.id)) = index;
    else if (def.kind == Kind::InputRange)
        s.list(rangeListFor(s.cbInputType)) = index;
    else
        s.choice(ChoiceId(def.id)) = index;
}

// Values that depend on others are read after them.
bool readsLater(Kind kind) { return kind == Kind::InputRange || kind == Kind::Burnout; }

} // namespace

quint32 setupColumnsWithItem(const QString &value)
{
    const QString wanted = value.trimmed();
    quint32 columns = 0;
    for (int i = 0; i < int(std::size(columnDefs)); ++i) {
        const ColumnDef &def = columnDefs[i];
        QStringList items;
        if (def.kind == Kind::List)
            items = Texts::items(ListId(def.id));
        else if (def.kind == Kind::Choice || def.kind == Kind::Burnout)
            items = choiceItems(def);
        if (indexOfItem(items, wanted) >= 0)
            columns |= quint32(1) << i;
    }
    return columns;
}

QStringList unusedSetupValues(const QStringList &values, const Setup &setup)
{
    QStringList unused;
    const auto given = [&values](const char *column) {
        return !values.value(setupColumns().indexOf(QLatin1String(column))).trimmed().isEmpty();
    };
    const bool custom = setup.cbInputType >= 0 && setup.cbInputType < InputTypeCount
        && setup.inputRange() == customIndexFor(rangeListFor(setup.cbInputType));
    for (const char *column : { "custom low", "custom high" }) {
        if (!custom && given(column))
            unused << QLatin1String(column);
    }
    if (!setup.isDualOutput() && given("output 2"))
        unused << QStringLiteral("output 2");
    return unused;
}

const QStringList &setupColumns()
{
    static const QStringList columns = [] {
        QStringList c;
        for (const ColumnDef &def : columnDefs)
            c << QLatin1String(def.name);
        return c;
    }();
    return columns;
}

const QStringList &bankColumns()
{
    static const QStringList columns = { QStringLiteral("S1"), QStringLiteral("S2"), QStringLiteral("S3"),
                                         QStringLiteral("S4") };
    return columns;
}

const QStringList &allTableColumns()
{
    static const QStringList columns = QStringList{ QLatin1String(TableColumns::file) } + setupColumns() + bankColumns()
        + QStringList{ QLatin1String(TableColumns::status), QLatin1String(TableColumns::message) };
    return columns;
}

const QStringList &readBankColumns()
{
    static const QStringList columns = { QStringLiteral("read S1"), QStringLiteral("read S2"),
                                         QStringLiteral("read S3"), QStringLiteral("read S4") };
    return columns;
}

const QStringList &checkColumns()
{
    static const QStringList columns = readBankColumns()
        + QStringList{ QLatin1String(TableColumns::check), QLatin1String(TableColumns::checked) };
    return columns;
}

const QStringList &knownTableColumns()
{
    static const QStringList columns = allTableColumns() + checkColumns();
    return columns;
}

QString notSetText() { return QStringLiteral("(not set)"); }

QString quotedValue(const QString &value)
{
    constexpr int shown = 60;
    if (value.size() <= shown)
        return QLatin1Char('"') + value + QLatin1Char('"');
    qsizetype cut = shown - 3;
    if (value.at(cut).isLowSurrogate())
        --cut;
    return QLatin1Char('"') + value.left(cut) + QStringLiteral("...\"");
}

QString unsetChoicesNote(const Setup &setup)
{
    QStringList columns;
    for (const ColumnDef &def : columnDefs)
        if ((def.kind == Kind::Choice || def.kind == Kind::Burnout) && setup.choice(ChoiceId(def.id)) < 0)
            columns << QLatin1String(def.name);
    return columns.isEmpty()
        ? QString()
        : QStringLiteral("%1: the file chooses no button for %2").arg(notSetText(), columns.join(QStringLiteral(", ")));
}

QStringList setupRowValues(const Setup &setup)
{
    QStringList values;
    for (const ColumnDef &def : columnDefs)
        values << valueText(def, setup);
    return values;
}

Setup setupFromRowValues(const QStringList &values, std::vector<RowProblem> *problems, QChar separator)
{
    Setup s;
    for (bool later : { false, true }) {
        for (qsizetype i = 0; i < qsizetype(std::size(columnDefs)) && i < values.size(); ++i) {
            const ColumnDef &def = columnDefs[i];
            if (readsLater(def.kind) != later || values.at(i).isEmpty())
                continue;
            const QString value = values.at(i).trimmed();
            if (!value.isEmpty())
                readValue(def, value, separator, s, problems);
        }
    }
    // "Fast" is a choice the window hides at first: shown, so that it is seen.
    s.conversionSpeedShown = s.rgConversionSpeed == 1;
    return s;
}

QString bankCellText(const SwitchBank &bank)
{
    const QString bits = bank.toString();
    return bits.mid(0, 4) + QLatin1Char(' ') + bits.mid(4, 4) + QLatin1Char(' ') + bits.mid(8, 4);
}

std::optional<SwitchBank> bankFromCell(const QString &text, QString *error)
{
    QString bits;
    for (const QChar c : text) {
        if (!c.isSpace())
            bits += c;
    }
    const bool digitsOnly = !bits.isEmpty()
        && bits.count(QLatin1Char('0')) + bits.count(QLatin1Char('1')) == bits.size();
    if (digitsOnly && bits.size() == 12) {
        SwitchBank bank;
        for (int p = 1; p <= 12; ++p) {
            if (bits.at(p - 1) == QLatin1Char('1'))
                bank.turnOn(p);
        }
        return bank;
    }
    if (bits.isEmpty())
        *error = QStringLiteral("is empty; it needs the twelve switches read off the unit");
    else if (digitsOnly && bits.size() < 12)
        *error = QStringLiteral("%1 has only %2 (a spreadsheet that took it for a number drops "
                                "its leading zeros: keep the cell as text, as 0100 0001 0100)")
                     .arg(quotedValue(text.trimmed()),
                          bits.size() == 1 ? QStringLiteral("1 digit") : QStringLiteral("%1 digits").arg(bits.size()));
    else
        *error = QStringLiteral("%1 is not twelve digits 0 and 1").arg(quotedValue(text.trimmed()));
    return std::nullopt;
}

UnitReading unitFromBankCells(const QStringList &cells)
{
    UnitReading r;
    const auto empty = [&cells](int b) { return cells.value(b - 1).trimmed().isEmpty(); };
    if (empty(1) && empty(2) && empty(3) && empty(4)) {
        r.state = UnitReading::State::NotRead;
        r.problem.message = QStringLiteral("no switches were read off the unit (read S1 to read S4 are empty)");
        return r;
    }
    for (int b = 1; b <= 4; ++b) {
        if (b == 4 && empty(4)) {
            r.s4Empty = true;
            break;
        }
        QString error;
        const std::optional<SwitchBank> bank = bankFromCell(cells.value(b - 1), &error);
        if (!bank) {
            r.state = UnitReading::State::Unreadable;
            r.problem = { readBankColumns().at(b - 1), error };
            return r;
        }
        r.switches.bank(b) = *bank;
    }
    return r;
}

} // namespace hvx
