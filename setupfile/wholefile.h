#pragma once
// Writing a small file whole or not at all, for the setup files and the print
// options file.

#include <QByteArray>
#include <QString>

namespace hvx {

// Replaces the file at path with bytes: they are written to a temporary file
// in the same folder, which takes the file's place only when every byte has
// reached it. On any failure (no room left, a file-size limit, a folder that
// cannot be written) false, and the old file, if any, is left as it was.
// Anything at path that is not a regular file is refused and left alone.
bool writeWholeFile(const QString &path, const QByteArray &bytes);

} // namespace hvx
