#include "filelist.h"

#include "bytenames.h"
#include "displaytext.h"

#include <QLocale>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace hvx {

namespace {

// Splits what is read into names as it comes, so that only the name being
// read is held whole.
class ListSplitter {
public:
    explicit ListSplitter(char separator)
        : m_separator(separator)
    {
    }
    // False once a name has grown too long.
    bool add(const char *p, const char *end)
    {
        while (p < end) {
            const void *found = std::memchr(p, m_separator, size_t(end - p));
            const char *stop = found ? static_cast<const char *>(found) : end;
            m_name.append(p, stop - p);
            if (m_name.size() > MaxListedNameLength)
                return false;
            if (!found)
                break;
            endName();
            p = stop + 1;
        }
        return true;
    }
    QList<QByteArray> finish()
    {
        endName();
        return m_names;
    }
    qsizetype nameNumber() const { return m_names.size() + 1; }

private:
    void endName()
    {
        if (!m_name.isEmpty())
            m_names << m_name;
        m_name.clear();
    }
    char m_separator;
    QByteArray m_name;
    QList<QByteArray> m_names;
};

} // namespace

bool readFileList(const QByteArray &listPath, bool nullSeparated, QList<QByteArray> *names, QString *error)
{
    const bool standardInput = listPath == "-";
    const QString shownName = standardInput ? QStringLiteral("standard input") : displayText(bytesToText(listPath));
    const auto fail = [&](const QString &why) {
        *error = QStringLiteral("the file list %1 could not be read: %2").arg(shownName, why);
        return false;
    };
    const auto failWith = [&](int code) { return fail(QString::fromLocal8Bit(std::strerror(code))); };
    int fd = 0;
    if (!standardInput) {
        if (listPath.contains('\0'))
            return failWith(ENOENT);
        fd = ::open(listPath.constData(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            return failWith(errno);
    }
    ListSplitter splitter(nullSeparated ? '\0' : '\n');
    char buffer[65536];
    int readError = 0;
    bool tooLong = false;
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            tooLong = !splitter.add(buffer, buffer + got);
            if (tooLong)
                break;
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            readError = errno;
            break;
        }
    }
    if (!standardInput)
        ::close(fd);
    if (tooLong)
        return fail(QStringLiteral("name %1 is longer than %2 bytes")
                        .arg(splitter.nameNumber())
                        .arg(QLocale(QLocale::English).toString(MaxListedNameLength)));
    if (readError != 0)
        return failWith(readError);
    *names += splitter.finish();
    return true;
}

} // namespace hvx
