#pragma once
// What the table commands of halvex-eval share: the plant's problems told on
// standard error as TABLE:LINE: ... as they are found, and the exit status
// each way a table can fail gives.

#include "plantproblem.h"
#include "plantreader.h"

#include <QString>

namespace hvx {
namespace table {

// Problems on standard error as they are found: the first ProblemsShown of
// them, then, at finish(), one line that counts the rest. Notes on the
// table's columns are told as they come.
class PrintedProblems : public ProblemSink {
public:
    static constexpr int ProblemsShown = 100;

    explicit PrintedProblems(const QString &tablePath)
        : m_path(tablePath)
    {
    }
    void note(const QString &text) override;
    // Tells how many were not shown, if any; gives exitStatus.
    int finish(int exitStatus) const;
    // "plant.csv:4: message".
    QString at(int line, const QString &message) const;

protected:
    void take(const PlantProblem &problem) override;

private:
    QString m_path;
};

// The exit status of a table that was not opened: 2 when it could not be
// read (told here), 64 when it is no table.
int notOpened(const PlantReader &reader, PlantReader::Opened opened);

} // namespace table
} // namespace hvx
