#pragma once
// The header of a table as people type it, matched to the columns the
// program knows. A header names a column apart from letter case, blanks
// (inner runs too), '_' and '-', and the spelling "linearization"; so
// "Output1", "burn out" and "Custom  Low" name their columns. A header that
// names none but comes close to one is a near miss, told apart from the
// plant's own columns (tag, loop, location) that the program leaves alone.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace hvx {

// What a whole header line names.
struct HeaderReading {
    struct NearMiss {
        QString header; // as written
        QString column; // the known column it comes close to
    };
    QHash<QString, int> columns; // known column -> its cell in the header (the first)
    QList<NearMiss> nearMisses;
    QStringList duplicates;  // headers naming a known column named before them
    QStringList ownColumns;  // the plant's own columns, as written
    QList<int> ownCells;     // the header cell of each of them
    QStringList lackedSetup; // setup columns the header does not name

    // The header cell of a known column; -1 when the header lacks it.
    int column(const QString &known) const { return columns.value(known, -1); }
    // "kept as the plant's own columns: tag, loop, location"; empty when none.
    QString ownColumnsNote() const;
    // The setup columns the table lacks with the value every row then takes:
    // "not in the table, so every row takes: burnout "High Burnout", ...";
    // empty when none.
    QString lackedColumnsNote() const;
    // "column "RTD wires" is not a known column; did you mean "RTD wiring"?"
    static QString nearMissText(const NearMiss &miss);
};

class HeaderFolding {
public:
    // Folds to the columns the program reads and writes (knownTableColumns).
    HeaderFolding();

    // A header as it is compared: lower case, without blanks, '_' and '-',
    // "linearization" spelt "linearisation".
    static QString fold(const QString &header);
    // The same, cut after most letters (and marked as cut) for a header
    // longer than that.
    static QString foldedUpTo(const QString &header, qsizetype most);

    enum class Kind { Known, NearMiss, Own };
    struct Match {
        Kind kind = Kind::Own;
        QString column; // the known column named or nearly named
    };
    // Known when the folded header is a known column's. A near miss when,
    // folded, it is one or two letters from a known column (one for a name
    // of up to five letters, none for S1 to S4), or it is a known column
    // with a word changed, missing or added. Otherwise the plant's own.
    Match match(const QString &header) const;

    HeaderReading read(const QStringList &header) const;

private:
    struct Known {
        QString name;
        QString folded;
        QStringList words;
    };
    QList<Known> m_known;
};

} // namespace hvx
