#pragma once
// Reading a file that must be a regular file: a setup file, a table.

#include <QByteArray>
#include <QString>

namespace hvx {

// Reads at most limit bytes of the file at nativePath (the system's bytes of
// its name) into *bytes, with one open, one fstat and the reads. Anything but
// a regular file (a folder, a FIFO, a device) is refused, and without
// waiting: the open does not block, where a FIFO with no writer would
// otherwise keep it waiting for ever. False, with the reason in *why when
// given, when the file could not be read.
bool readRegularFile(const QByteArray &nativePath, qint64 limit, QByteArray *bytes, QString *why);

} // namespace hvx
