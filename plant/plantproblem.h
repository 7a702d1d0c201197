#pragma once
// A problem of a plant's table, where it stands, and where problems go: the
// command line prints them as they are found, the plant window collects them
// for one box. Both see the same problems in the same words.

#include <QString>
#include <QStringList>

#include <vector>

namespace hvx {

// "3 problems", "1 problem", "10,000 setup files".
QString counted(qsizetype count, const char *what);

struct PlantProblem {
    int line = 0;      // line of the table, from 1
    int character = 0; // character on the line, from 1; 0 for the whole line
    QString column;    // the column's header, empty for the whole row
    QString message;

    // The message with its column: "column "input range": "0 to 11 V" is
    // not one of ..."; the message alone for a problem of the whole row.
    QString columnText() const;
    // "line 4, column "input range": ..." (the window's words).
    QString text() const;
};

class ProblemSink {
public:
    virtual ~ProblemSink() = default;

    void add(const PlantProblem &problem)
    {
        ++m_count;
        take(problem);
    }
    int count() const { return m_count; }
    // A note on the table that is no problem: "kept as the plant's own
    // columns: tag, loop".
    virtual void note(const QString &text) { (void)text; }

protected:
    virtual void take(const PlantProblem &problem) = 0;

private:
    int m_count = 0;
};

// Keeps the first problems up to a limit; the rest are only counted.
class ProblemList : public ProblemSink {
public:
    explicit ProblemList(int limit = 100)
        : m_limit(limit)
    {
    }

    const std::vector<PlantProblem> &problems() const { return m_problems; }
    const QStringList &notes() const { return m_notes; }
    void note(const QString &text) override { m_notes << text; }
    // One problem a line as text() gives it, then "... and 12 more".
    QString text() const;

protected:
    void take(const PlantProblem &problem) override;

private:
    int m_limit;
    std::vector<PlantProblem> m_problems;
    QStringList m_notes;
};

} // namespace hvx
