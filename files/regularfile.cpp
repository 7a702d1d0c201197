#include "regularfile.h"
#include "wholefile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hvx {

namespace {

// The bytes of the open file fd, at most limit of them; 0 or the errno.
int readUpTo(int fd, qint64 limit, QByteArray *bytes)
{
    constexpr qint64 chunk = 65536;
    while (bytes->size() < limit) {
        const qsizetype had = bytes->size();
        bytes->resize(had + qsizetype(std::min(chunk, limit - had)));
        const ssize_t n = ::read(fd, bytes->data() + had, size_t(bytes->size() - had));
        bytes->resize(had + qsizetype(std::max<ssize_t>(n, 0)));
        if (n == 0)
            return 0;
        if (n < 0 && errno != EINTR)
            return errno;
    }
    return 0;
}

} // namespace

bool readRegularFile(const QByteArray &nativePath, qint64 limit, QByteArray *bytes, QString *why)
{
    const auto fail = [why](const QString &reason) {
        if (why)
            *why = reason;
        return false;
    };
    const auto failWith = [&](int error) { return fail(QString::fromLocal8Bit(std::strerror(error))); };
    bytes->clear();
    if (nativePath.isEmpty() || nativePath.contains('\0'))
        return failWith(ENOENT);
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failWith(errno);
    struct stat status;
    QString notRegular;
    int error = 0;
    if (::fstat(fd, &status) != 0)
        error = errno;
    else
        notRegular = whyNotRegular(status.st_mode);
    if (error == 0 && notRegular.isEmpty())
        error = readUpTo(fd, limit, bytes);
    ::close(fd);
    if (!notRegular.isEmpty())
        return fail(notRegular);
    return error == 0 || failWith(error);
}

} // namespace hvx
