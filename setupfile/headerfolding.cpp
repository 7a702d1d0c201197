#include "headerfolding.h"

#include "setuprow.h"

#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace hvx {

namespace {

// Letters apart, a swap of two neighbours counting as one (optimal string
// alignment distance).
int lettersApart(const QString &a, const QString &b)
{
    const int n = int(a.size()), m = int(b.size());
    std::vector<std::vector<int>> d(size_t(n + 1), std::vector<int>(size_t(m + 1)));
    for (int i = 0; i <= n; ++i)
        d[size_t(i)][0] = i;
    for (int j = 0; j <= m; ++j)
        d[0][size_t(j)] = j;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= m; ++j) {
            const int cost = a.at(i - 1) == b.at(j - 1) ? 0 : 1;
            int best = std::min({ d[size_t(i - 1)][size_t(j)] + 1, d[size_t(i)][size_t(j - 1)] + 1,
                                  d[size_t(i - 1)][size_t(j - 1)] + cost });
            if (i > 1 && j > 1 && a.at(i - 1) == b.at(j - 2) && a.at(i - 2) == b.at(j - 1))
                best = std::min(best, d[size_t(i - 2)][size_t(j - 2)] + 1);
            d[size_t(i)][size_t(j)] = best;
        }
    }
    return d[size_t(n)][size_t(m)];
}

// The letters a name may be apart from a known column: two for a long name,
// one for a short one, none for S1 to S4.
int lettersAllowed(const QString &folded) { return folded.size() >= 6 ? 2 : folded.size() >= 3 ? 1 : 0; }

QStringList words(const QString &header)
{
    static const QRegularExpression parts(QStringLiteral("[\\s_\\-]+"));
    QStringList out;
    for (const QString &w : header.split(parts, Qt::SkipEmptyParts))
        out << HeaderFolding::fold(w);
    return out;
}

bool onlyDigits(const QStringList &words)
{
    return std::all_of(words.begin(), words.end(), [](const QString &w) {
        return std::all_of(w.begin(), w.end(), [](QChar c) { return c.isDigit(); });
    });
}

// Whether the longer list is the shorter with one word added.
bool oneWordAdded(const QStringList &shorter, const QStringList &longer)
{
    if (longer.size() != shorter.size() + 1 || shorter.isEmpty())
        return false;
    for (int skip = 0; skip < longer.size(); ++skip) {
        QStringList rest = longer;
        rest.removeAt(skip);
        if (rest == shorter)
            return true;
    }
    return false;
}

// A known column with one word changed, missing or added; the words both
// share must say more than a number.
bool wordsNear(const QStringList &header, const QStringList &known)
{
    if (header.size() == known.size() && header.size() >= 2) {
        QStringList shared;
        for (int i = 0; i < header.size(); ++i) {
            if (header.at(i) == known.at(i))
                shared << header.at(i);
        }
        return shared.size() == header.size() - 1 && !onlyDigits(shared);
    }
    if (oneWordAdded(header, known))
        return !onlyDigits(header);
    return oneWordAdded(known, header) && !onlyDigits(known);
}

} // namespace

QString HeaderReading::ownColumnsNote() const
{
    QStringList names;
    for (const QString &name : ownColumns)
        names << (name.size() > 60 ? quotedValue(name) : name);
    return names.isEmpty() ? QString()
                           : QStringLiteral("kept as the plant's own columns: ") + names.join(QStringLiteral(", "));
}

QString HeaderReading::lackedColumnsNote() const
{
    if (lackedSetup.isEmpty())
        return QString();
    const QStringList fresh = setupRowValues(Setup());
    QStringList parts;
    for (const QString &column : lackedSetup) {
        const QString value = fresh.value(setupColumns().indexOf(column));
        parts << column + (value.isEmpty() ? QStringLiteral(" (none)") : QStringLiteral(" \"%1\"").arg(value));
    }
    return QStringLiteral("not in the table, so every row takes: ") + parts.join(QStringLiteral(", "));
}

QString HeaderReading::nearMissText(const NearMiss &miss)
{
    return QStringLiteral("column \"%1\" is not a known column; did you mean \"%2\"?").arg(miss.header, miss.column);
}

HeaderFolding::HeaderFolding()
{
    for (const QString &name : knownTableColumns())
        m_known.append({ name, fold(name), words(name) });
}

QString HeaderFolding::fold(const QString &header) { return foldedUpTo(header, header.size()); }

QString HeaderFolding::foldedUpTo(const QString &header, qsizetype most)
{
    QString folded;
    for (const QChar c : header) {
        if (c.isSpace() || c == QLatin1Char('_') || c == QLatin1Char('-'))
            continue;
        if (folded.size() == most)
            return folded + QLatin1Char('+'); // longer than most: no known name
        folded += c.toLower();
    }
    return folded.replace(QLatin1String("linearization"), QLatin1String("linearisation"));
}

HeaderFolding::Match HeaderFolding::match(const QString &header) const
{
    // A header this long is a note, never a known column mistyped: it is not
    // compared letter by letter (which costs its length times each name's).
    constexpr qsizetype NearMissLength = 64;
    const QString folded = foldedUpTo(header, NearMissLength);
    for (const Known &k : m_known) {
        if (k.folded == folded)
            return { Kind::Known, k.name };
    }
    if (folded.size() > NearMissLength)
        return {};
    // The nearest: fewest letters apart, then a word changed, missing or
    // added; the first in table order among equals.
    constexpr int wordScore = 3;
    const QStringList headerWords = words(header);
    Match best;
    int bestScore = wordScore + 1;
    for (const Known &k : m_known) {
        const int apart = lettersApart(folded, k.folded);
        const int score = apart <= lettersAllowed(k.folded) ? apart : wordsNear(headerWords, k.words) ? wordScore : -1;
        if (score >= 0 && score < bestScore) {
            bestScore = score;
            best = { Kind::NearMiss, k.name };
        }
    }
    return best;
}

HeaderReading HeaderFolding::read(const QStringList &header) const
{
    HeaderReading r;
    for (int i = 0; i < header.size(); ++i) {
        const QString written = header.at(i).trimmed();
        if (written.isEmpty())
            continue;
        const Match m = match(written);
        if (m.kind == Kind::Own) {
            r.ownColumns << written;
            r.ownCells << i;
        } else if (m.kind == Kind::NearMiss) {
            r.nearMisses.append({ written, m.column });
        } else if (r.columns.contains(m.column)) {
            r.duplicates << written;
        } else {
            r.columns.insert(m.column, i);
        }
    }
    for (const QString &column : setupColumns()) {
        if (!r.columns.contains(column))
            r.lackedSetup << column;
    }
    return r;
}

} // namespace hvx
