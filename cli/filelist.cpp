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

QString number(qint64 n) { return QLocale(QLocale::English).toString(n); }

// Splits what is read into names as it comes, so that only the name being
// read is held whole.
class ListSplitter {
public:
    explicit ListSplitter(char separator)
        : m_separator(separator)
    {
    }
    // False, with the reason, once the list is not one to take.
    bool add(const char *p, const char *end, QString *why)
    {
        m_bytes += end - p;
        if (m_bytes > MaxListBytes) {
            *why = QStringLiteral("it is longer than %1 bytes").arg(number(MaxListBytes));
            return false;
        }
        while (p < end) {
            const void *found = std::memchr(p, m_separator, size_t(end - p));
            const char *stop = found ? static_cast<const char *>(found) : end;
            m_name.append(p, stop - p);
            if (m_name.size() > MaxListedNameLength) {
                *why = QStringLiteral("name %1 is longer than %2 bytes")
                           .arg(number(m_names.size() + 1), number(MaxListedNameLength));
                return false;
            }
            if (!found)
                break;
            if (!endName(why))
                return false;
            p = stop + 1;
        }
        return true;
    }
    bool finish(QString *why) { return m_name.isEmpty() || endName(why); }
    const QList<QByteArray> &names() const { return m_names; }

private:
    bool endName(QString *why)
    {
        if (m_name.isEmpty()) {
            *why = QStringLiteral("name %1 is empty").arg(number(m_names.size() + 1));
            return false;
        }
        if (m_names.size() == MaxListedNames) {
            *why = QStringLiteral("it holds more than %1 names").arg(number(MaxListedNames));
            return false;
        }
        m_names << m_name;
        m_name.clear();
        return true;
    }
    char m_separator;
    qint64 m_bytes = 0;
    QByteArray m_name;
    QList<QByteArray> m_names;
};

} // namespace

bool readFileList(const QByteArray &listPath, bool nullSeparated, QList<QByteArray> *names, QString *error,
                  ListFault *fault)
{
    const bool standardInput = listPath == "-";
    const QString shownName = standardInput ? QStringLiteral("standard input") : displayText(bytesToText(listPath));
    const auto fail = [&](ListFault kind, const QString &why) {
        *error = QStringLiteral("the file list %1 could not be read: %2").arg(shownName, why);
        if (fault)
            *fault = kind;
        return false;
    };
    const auto failWith = [&](int code) {
        return fail(ListFault::Unreadable, QString::fromLocal8Bit(std::strerror(code)));
    };
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
    QString malformed;
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0 && !splitter.add(buffer, buffer + got, &malformed))
            break;
        if (got == 0 && !splitter.finish(&malformed))
            break;
        if (got == 0 || (got < 0 && errno != EINTR)) {
            readError = got < 0 ? errno : 0;
            break;
        }
    }
    if (!standardInput)
        ::close(fd);
    if (!malformed.isEmpty())
        return fail(ListFault::Malformed, malformed);
    if (readError != 0)
        return failWith(readError);
    *names += splitter.names();
    if (fault)
        *fault = ListFault::None;
    return true;
}

} // namespace hvx
