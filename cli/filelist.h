#pragma once
// halvex-eval --files-from: the names of the files to evaluate, read from a
// list file or standard input.

#include <QByteArray>
#include <QList>
#include <QString>

namespace hvx {

// The names in a list: one per line, or each ended by a NUL byte when
// nullSeparated. Names are bytes, taken as they stand; empty ones are skipped.
QList<QByteArray> splitFileList(const QByteArray &list, bool nullSeparated);

// Reads the list file ("-" for standard input) and appends its names. False
// with a reason when the list could not be read.
bool readFileList(const QByteArray &listPath, bool nullSeparated, QList<QByteArray> *names, QString *error);

} // namespace hvx
