#pragma once
// halvex-eval --files-from: the names of the files to evaluate, read from a
// list file or standard input.

#include <QByteArray>
#include <QList>
#include <QString>

namespace hvx {

// The longest name a list may hold, in bytes (the system's longest path).
constexpr int MaxListedNameLength = 4096;

// Reads the list file ("-" for standard input) and appends its names: one per
// line, or each ended by a NUL byte when nullSeparated. Names are bytes,
// taken as they stand; empty ones are skipped. False with a reason, and
// nothing appended, when the list could not be read or holds a name longer
// than MaxListedNameLength (reading stops there, so that an endless list
// without separators cannot fill the memory).
bool readFileList(const QByteArray &listPath, bool nullSeparated, QList<QByteArray> *names, QString *error);

} // namespace hvx
