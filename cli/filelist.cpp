#include "filelist.h"

#include "bytenames.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace hvx {

QList<QByteArray> splitFileList(const QByteArray &list, bool nullSeparated)
{
    QList<QByteArray> names;
    for (const QByteArray &name : list.split(nullSeparated ? '\0' : '\n'))
        if (!name.isEmpty())
            names << name;
    return names;
}

bool readFileList(const QByteArray &listPath, bool nullSeparated, QList<QByteArray> *names, QString *error)
{
    const bool standardInput = listPath == "-";
    const QString shownName = standardInput ? QStringLiteral("standard input") : bytesToText(listPath);
    const auto fail = [&](int code) {
        *error = QStringLiteral("the file list %1 could not be read: %2")
                     .arg(shownName, QString::fromLocal8Bit(std::strerror(code)));
        return false;
    };
    int fd = 0;
    if (!standardInput) {
        if (listPath.contains('\0'))
            return fail(ENOENT);
        fd = ::open(listPath.constData(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            return fail(errno);
    }
    QByteArray list;
    char buffer[65536];
    int readError = 0;
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            list.append(buffer, static_cast<qsizetype>(got));
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            readError = errno;
            break;
        }
    }
    if (!standardInput)
        ::close(fd);
    if (readError != 0)
        return fail(readError);
    *names += splitFileList(list, nullSeparated);
    return true;
}

} // namespace hvx
