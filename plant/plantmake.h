#pragma once
// A plant's setup files made from its table into a folder: every row is
// checked before any file is written, and the folder gets all of the files
// or none. The folder is locked only while the files are written, so that
// another run may follow as soon as this one returns.

#include "plantproblem.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace hvx {

struct MakeOptions {
    bool force = false;  // existing files are replaced
    bool update = false; // only new files and those whose setup changes are written
    bool dryRun = false; // what would be written is listed, nothing written
};

struct MakeOutcome {
    enum class Status {
        Made,       // written (or, in a dry run, listed)
        CannotRead, // the table could not be read (error)
        NotATable,  // the file holds no table (told)
        Refused,    // problems in the table (told); error says how many, or that it has no rows
        NotWritten, // the folder or a file could not be written (error)
        Cancelled,  // stopped through the progress callback
    };
    Status status = Status::Made;
    QString error;
    // With update or a dry run: "new: TT-140.hvx", "changed: TT-104.hvx
    // (custom high 400 -> 450; switches unchanged)", "replaced: TT-1.hvx"
    // (forced over the same bytes), in table order.
    QStringList listing;
    qsizetype unchanged = 0;
    qsizetype written = 0;
    // What the folder itself told: what it held of runs killed outright,
    // mended before this one wrote ("the folder plant: a run was stopped
    // while it moved its files: 6,712 files put in place now"), and a
    // folder that could not be locked.
    QStringList folderNotes;
};

// Called now and then while the files are written with how many rows are
// done of how many; false stops the run, and nothing is written.
using MakeProgress = std::function<bool(qsizetype done, qsizetype total)>;

// Makes the setup file of every row of the table at tablePath into dir (made
// when missing; a dry run makes nothing). Problems go to the sink as found.
MakeOutcome makePlant(const QString &tablePath, const QString &dir, const MakeOptions &options, ProblemSink &problems,
                      const MakeProgress &progress = MakeProgress());

} // namespace hvx
