#include "wholefile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace hvx {

bool writeWholeFile(const QString &path, const QByteArray &bytes)
{
    if (path.isEmpty())
        return false;
    // A folder, a pipe or a device keeps what it is.
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile())
        return false;

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Writes are buffered, so a full disk or a size limit shows only when the
    // buffer goes out, and commit() does not report a failure there: flush
    // and check here, and compare what the file holds with what was meant.
    const bool whole = file.write(bytes) == bytes.size() && file.flush() && file.size() == bytes.size();
    if (!whole) {
        file.cancelWriting(); // the temporary file goes with the object
        return false;
    }
    return file.commit();
}

} // namespace hvx
