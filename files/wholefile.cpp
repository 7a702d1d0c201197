#include "wholefile.h"

#include "stopsignals.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hvx {

namespace {

extern "C" void removeTemporary(const void *name) { ::unlink(static_cast<const char *>(name)); }

// The folder part of a path, with its slash ("" for a name without one).
QByteArray folderPart(const QByteArray &path) { return path.left(path.lastIndexOf('/') + 1); }

// Where a path leads once its symbolic links are followed.
struct Target {
    QByteArray path;
    bool exists = false;
    struct stat status {};
    int error = 0; // why the path could not be followed; nothing there yet is no error
};

Target followLinks(const QByteArray &path)
{
    constexpr int maxLinks = 40; // as the system follows them
    Target t;
    t.path = path;
    if (path.isEmpty() || path.contains('\0')) {
        t.error = ENOENT;
        return t;
    }
    for (int links = 0;; ++links) {
        if (::lstat(t.path.constData(), &t.status) != 0) {
            if (errno != ENOENT)
                t.error = errno;
            return t;
        }
        if (!S_ISLNK(t.status.st_mode)) {
            t.exists = true;
            return t;
        }
        if (links == maxLinks) {
            t.error = ELOOP;
            return t;
        }
        QByteArray link(PATH_MAX, '\0');
        const ssize_t length = ::readlink(t.path.constData(), link.data(), size_t(link.size()));
        if (length < 0 || length >= link.size()) {
            t.error = length < 0 ? errno : ENAMETOOLONG;
            return t;
        }
        link.truncate(length);
        t.path = link.startsWith('/') ? link : folderPart(t.path) + link;
    }
}

QString errorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Why the target cannot be replaced; empty when it can.
QString whyNotReplaceable(const Target &t, bool throughLink)
{
    if (t.error != 0)
        return errorText(t.error);
    return t.exists ? whyNotRegular(t.status.st_mode, throughLink) : QString();
}

// A name for a temporary file beside target: target.XXXXXX followed by the
// ending, the name's end cut off when it would be too long for the file
// system (never inside a UTF-8 sequence: a writer that takes the name as
// text must find the same file).
QByteArray temporaryName(const QByteArray &target, const char *ending)
{
    constexpr int nameMax = 255;
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const QByteArray folder = folderPart(target);
    QByteArray name = target.mid(folder.size());
    qsizetype cut = nameMax - qsizetype(sizeof ".XXXXXX" - 1) - qsizetype(std::strlen(ending));
    if (name.size() > cut) {
        while (cut > 0 && (static_cast<unsigned char>(name.at(cut)) & 0xC0) == 0x80)
            --cut;
        name.truncate(cut);
    }
    name += '.';
    for (int i = 0; i < 6; ++i)
        name += letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))];
    return folder + name + ending;
}

} // namespace

WholeFile::WholeFile(const QString &path)
    : m_path(QFile::encodeName(path))
{
}

WholeFile::WholeFile(const QByteArray &nativePath)
    : m_path(nativePath)
{
}

WholeFile::~WholeFile() { cancel(); }

bool WholeFile::fail(int error) { return fail(errorText(error)); }

bool WholeFile::fail(const QString &why)
{
    m_error = why;
    cancel();
    return false;
}

bool WholeFile::open()
{
    cancel();
    m_error.clear();
    const Target target = followLinks(m_path);
    const QString why = whyNotReplaceable(target, target.path != m_path);
    if (!why.isEmpty())
        return fail(why);
    m_target = target.path;

    // Made with the permissions of any new file (the umask, a default access
    // list), which a file it replaces then overrides.
    for (int attempt = 0; m_fd < 0; ++attempt) {
        m_temporary = temporaryName(m_target, ".part");
        m_fd = ::open(m_temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
        if (m_fd < 0 && (errno != EEXIST || attempt == 100)) {
            m_temporary.clear();
            return fail(errno);
        }
    }
    m_slot = watchStop(removeTemporary, m_temporary.constData());
    if (target.exists) {
        struct stat made {};
        if (::fstat(m_fd, &made) == 0 && (made.st_uid != target.status.st_uid || made.st_gid != target.status.st_gid))
            (void)!::fchown(m_fd, target.status.st_uid, target.status.st_gid); // only where allowed
        if (::fchmod(m_fd, target.status.st_mode & 0777) != 0)
            return fail(errno);
    }
    return true;
}

QString WholeFile::temporaryFileName() const { return QFile::decodeName(m_temporary); }

bool WholeFile::write(const QByteArray &bytes)
{
    if (m_fd < 0)
        return fail(EBADF);
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, p, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return fail(written < 0 ? errno : EIO);
        p += written;
        left -= written;
    }
    return true;
}

bool WholeFile::commit()
{
    if (m_fd < 0)
        return fail(EBADF);
    // Writes that the disk refuses late (no room once the blocks are
    // allocated) show here; a file system that cannot sync has nothing to
    // lose.
    if (::fdatasync(m_fd) != 0 && errno != EINVAL)
        return fail(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return fail(errno);
    // Something else may have taken the file's place since open().
    const Target target = followLinks(m_path);
    const QString why = whyNotReplaceable(target, target.path != m_path);
    if (!why.isEmpty())
        return fail(why);
    // Out of the list first: a signal after the rename must not remove the
    // file that is now in place.
    unwatchStop(m_slot);
    m_slot = -1;
    if (::rename(m_temporary.constData(), m_target.constData()) != 0)
        return fail(errno);
    m_temporary.clear();
    return true;
}

void WholeFile::cancel()
{
    unwatchStop(m_slot);
    m_slot = -1;
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
    m_temporary.clear();
}

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    WholeFile file(path);
    const bool written = file.open() && file.write(bytes) && file.commit();
    if (!written && error)
        *error = file.errorString();
    return written;
}

QString whyNotRegular(mode_t mode, bool throughLink)
{
    if (S_ISREG(mode))
        return QString();
    if (S_ISDIR(mode))
        return errorText(EISDIR);
    const char *kind = S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
        : S_ISFIFO(mode)                              ? "a FIFO"
        : S_ISSOCK(mode)                              ? "a socket"
                                                      : "something else";
    return QStringLiteral("it is %1%2, not a regular file")
        .arg(QLatin1String(throughLink ? "a link to " : ""), QLatin1String(kind));
}

QString whyNotReplaceable(const QByteArray &nativePath)
{
    const Target target = followLinks(nativePath);
    return whyNotReplaceable(target, target.path != nativePath);
}

} // namespace hvx
