#pragma once
// halvex-eval --files-from: the names of the files to evaluate, read from a
// list file or standard input.

#include <QByteArray>
#include <QList>
#include <QString>

namespace hvx {

// The longest name a list may hold, in bytes (the system's longest path),
// and the most names and bytes a list may hold.
constexpr int MaxListedNameLength = 4096;
constexpr int MaxListedNames = 1000000;
constexpr qint64 MaxListBytes = qint64(256) << 20;

// Why a list was not taken: it could not be read, or it is not a list of
// names (an empty name, a name or a list too long).
enum class ListFault { None, Unreadable, Malformed };

// Reads the list file ("-" for standard input) and appends its names: one per
// line, or each ended by a NUL byte when nullSeparated. Names are bytes,
// taken as they stand; the list may end without a last separator. False with
// a reason, the fault in *fault when given, and nothing appended, when the
// list could not be read, holds an empty name, a name longer than
// MaxListedNameLength, more than MaxListedNames names or more than
// MaxListBytes bytes (reading stops there, so that an endless list cannot
// fill the memory).
bool readFileList(const QByteArray &listPath, bool nullSeparated, QList<QByteArray> *names, QString *error,
                  ListFault *fault = nullptr);

} // namespace hvx
