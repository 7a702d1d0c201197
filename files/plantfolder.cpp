// The states of a run, and of each of its files (an Entry):
//
//   open       the folder (or the folder written beside its place) made,
//              opened and locked; what killed runs left mended.
//   listed     an Entry pushed, its temporary not yet made; m_written
//              counts it already, so that a signal that comes as the
//              temporary is made still removes it (removing nothing is
//              harmless).
//   written    the temporary holds the new bytes.
//   journaled  commit(): every temporary on disk, the list of moves on disk.
//   moved      exchanged (the old file waits under the temporary's name) or
//              backedUp (the old file under NAME.TOKEN.old), or a new name.
//   committed  every move on disk; the old files and the list removed and the
//              run forgotten (forgetRun()): nothing of it is undone any more.
//   rolled back  a failed commit puts every moved file back; then cancel()
//              removes the temporaries and any folder the run made.
//
// A stopping signal before "journaled" removes the temporaries (and the
// folders made); from "journaled" to "committed" the signals wait, and a kill
// that cannot wait is mended by the next run from the list of moves.

#include "plantfolder.h"
#include "plantfolder_p.h"

#include "stopsignals.h"
#include "wholefile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hvx {

namespace {

QString errorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// The stopping signals held back while the files are moved into place.
class HeldStopSignals {
public:
    HeldStopSignals()
    {
        sigemptyset(&m_signals);
        for (int s : { SIGINT, SIGTERM, SIGHUP })
            sigaddset(&m_signals, s);
        pthread_sigmask(SIG_BLOCK, &m_signals, &m_old);
    }
    ~HeldStopSignals() { pthread_sigmask(SIG_SETMASK, &m_old, nullptr); }
    HeldStopSignals(const HeldStopSignals &) = delete;
    HeldStopSignals &operator=(const HeldStopSignals &) = delete;

    // Whether one of them came meanwhile (it stops the process once let go).
    bool anyCame() const
    {
        sigset_t pending;
        sigpending(&pending);
        for (int s : { SIGINT, SIGTERM, SIGHUP })
            if (sigismember(&pending, s) == 1 && sigismember(&m_old, s) != 1)
                return true;
        return false;
    }

private:
    sigset_t m_signals;
    sigset_t m_old;
};

// Six letters that tell a run's side names from other names.
void newToken(char (&token)[6])
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (char &c : token)
        c = letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))];
}

// The folder above path (which ends in no '/'): "." above a bare name.
QByteArray parentOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

} // namespace

// Removes the replaced files, several at a time. Removing a file's last name
// frees it, which on some disks waits for the disk (a file system that
// discards freed blocks at once); removals made at the same time share those
// waits (10,000 files here: 15 s one by one, 0.17 s eight at a time, 0.12 s
// sixteen at a time).
void PlantFolder::removeOldFiles() const
{
    constexpr int Workers = 16;
    std::atomic<size_t> next{ 0 };
    const auto work = [&] {
        for (size_t i = next++; i < m_entries.size(); i = next++) {
            const Entry &entry = m_entries[i];
            if (entry.exchanged || entry.backedUp)
                ::unlinkat(m_dirFd, (entry.exchanged ? temporaryOf(entry) : backupOf(entry)).get(), 0);
        }
    };
    std::vector<std::thread> helpers;
    for (int i = 1; i < Workers && m_entries.size() > 64 * size_t(i); ++i) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error &) {
            break; // the rest is removed by those there are
        }
    }
    work();
    for (std::thread &helper : helpers)
        helper.join();
}

// In a folder not yet in place, a file is written under its own name.
PlantFolder::SideName PlantFolder::temporaryOf(const Entry &entry) const
{
    return m_staging.isEmpty() ? SideName(nameOf(entry), entry.nameLength, entry.token, ".part")
                               : SideName(nameOf(entry), entry.nameLength);
}

PlantFolder::SideName PlantFolder::backupOf(const Entry &entry) const
{
    return SideName(nameOf(entry), entry.nameLength, entry.token, ".old");
}

namespace {

// Renames from to to in the folder, never over a file that is there.
int renameNoReplace(int dirFd, const char *from, const char *to)
{
    if (::renameat2(dirFd, from, dirFd, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system that cannot: look, then move.
    struct stat status;
    if (::fstatat(dirFd, to, &status, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    return ::renameat(dirFd, from, dirFd, to) == 0 ? 0 : errno;
}

} // namespace

PlantFolder::PlantFolder(const QByteArray &nativeDir)
    : m_dir(nativeDir)
{
}

PlantFolder::~PlantFolder()
{
    cancel();
    if (m_dirFd >= 0)
        ::close(m_dirFd);
}

bool PlantFolder::fail(int error) { return fail(errorText(error)); }

bool PlantFolder::fail(const QString &why)
{
    m_error = why;
    return false;
}

bool PlantFolder::makeFolders(const QByteArray &dir)
{
    if (dir.isEmpty() || dir.contains('\0'))
        return fail(QStringLiteral("could not be made: ") + errorText(ENOENT));
    for (qsizetype end = 1; end <= dir.size(); ++end) {
        if (end < dir.size() && dir.at(end) != '/')
            continue;
        const QByteArray folder = dir.left(end);
        if (::mkdir(folder.constData(), 0777) == 0)
            m_madeFolders.push_back(folder);
        else if (errno != EEXIST)
            return fail(QStringLiteral("could not be made: ") + errorText(errno));
    }
    return true;
}

// The folder the files go into when the folder is not there: made beside its
// place, with the folders above it.
bool PlantFolder::makeStaging()
{
    QByteArray dir = m_dir;
    while (dir.size() > 1 && dir.endsWith('/'))
        dir.chop(1);
    const qsizetype slash = dir.lastIndexOf('/');
    const QByteArray leaf = dir.mid(slash + 1);
    struct stat status;
    if (leaf.isEmpty() || leaf == "." || leaf == ".." || dir.contains('\0') || ::lstat(dir.constData(), &status) == 0
        || errno != ENOENT)
        return true; // written in place
    if (!makeFolders(parentOf(dir)))
        return false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char token[6];
        newToken(token);
        const QByteArray staging = (slash < 0 ? QByteArray() : dir.left(slash + 1))
            + SideName(leaf.constData(), int(leaf.size()), token, ".part").get();
        if (::mkdir(staging.constData(), 0777) == 0) {
            m_staging = staging;
            m_dir = dir;
            return true;
        }
        if (errno != EEXIST)
            return fail(QStringLiteral("could not be made: ") + errorText(errno));
    }
    return fail(QStringLiteral("could not be made: ") + errorText(EEXIST));
}

bool PlantFolder::open(bool mend)
{
    if (!makeStaging() || (m_staging.isEmpty() && !makeFolders(m_dir))) {
        removeMadeFolders();
        return false;
    }
    m_dirFd = ::open((m_staging.isEmpty() ? m_dir : m_staging).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_dirFd < 0) {
        const int error = errno;
        removeMadeFolders();
        return fail(QStringLiteral("could not be opened: ") + errorText(error));
    }
    // A file system without locks (some network ones) is written without.
    m_locked = ::flock(m_dirFd, LOCK_EX | LOCK_NB) == 0;
    if (!m_locked && errno != ENOLCK && errno != EBADF && errno != EOPNOTSUPP) {
        const int error = errno;
        ::close(m_dirFd);
        m_dirFd = -1;
        removeMadeFolders();
        return fail(error == EWOULDBLOCK ? QStringLiteral("is locked: another run is writing into it")
                                         : QStringLiteral("could not be locked: ") + errorText(error));
    }
    // What killed runs left is mended only where no other run can be at work.
    if (m_locked && mend) {
        QStringList found;
        if (m_staging.isEmpty())
            found << finishKilledMoves() << removeTemporaries();
        found << removeStaleStaging(m_dir);
        found.removeAll(QString());
        m_recovered = found.join(QStringLiteral("; "));
    }
    return true;
}

PlantFolder::Place PlantFolder::place(const QByteArray &name, QString *why, struct stat *found) const
{
    // A folder of the run's own holds only what was added: a name added
    // twice is found as its file is made.
    if (!m_staging.isEmpty())
        return Place::Free;
    struct stat own;
    struct stat &status = found ? *found : own;
    if (::fstatat(m_dirFd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return Place::Free;
        *why = errorText(errno);
        return Place::Refused;
    }
    if (S_ISLNK(status.st_mode)) {
        *why = QStringLiteral("it is a link, and only plain files are written into the folder");
        return Place::Refused;
    }
    *why = whyNotRegular(status.st_mode);
    return why->isEmpty() ? Place::Taken : Place::Refused;
}

bool PlantFolder::read(const QByteArray &name, qsizetype maxSize, std::optional<QByteArray> *bytes, QString *why) const
{
    bytes->reset();
    if (!m_staging.isEmpty())
        return true; // nothing there but what this run added
    const int fd = ::openat(m_dirFd, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int openError = errno;
        if (openError == ENOENT)
            return true;
        if (place(name, why) != Place::Refused)
            *why = errorText(openError);
        return false;
    }
    struct stat status;
    int error = ::fstat(fd, &status) == 0 ? 0 : errno;
    if (error == 0 && !S_ISREG(status.st_mode)) {
        ::close(fd);
        *why = whyNotRegular(status.st_mode);
        return false;
    }
    QByteArray content(maxSize + 1, Qt::Uninitialized);
    qsizetype done = 0;
    while (error == 0 && done < content.size()) {
        const ssize_t n = ::read(fd, content.data() + done, size_t(content.size() - done));
        if (n > 0)
            done += n;
        else if (n == 0)
            break;
        else if (errno != EINTR)
            error = errno;
    }
    ::close(fd);
    if (error != 0) {
        *why = errorText(error);
        return false;
    }
    content.truncate(done);
    *bytes = content;
    return true;
}

void PlantFolder::reserve(int count, qsizetype nameBytes)
{
    // The lists move as they grow: a stopping signal waits meanwhile, so that
    // the cleanup neither reads them half moved nor misses a temporary.
    const HeldStopSignals held;
    m_entries.reserve(size_t(count));
    m_names.reserve(nameBytes + count);
    if (m_watch < 0)
        m_watch = watchStop(cleanUpOnStop, this);
}

void PlantFolder::forgetRun()
{
    m_written.store(0);
    m_entries.clear();
    m_names.clear();
}

bool PlantFolder::add(const QByteArray &name, const QByteArray &bytes, bool replace)
{
    QString why;
    struct stat old {};
    const Place now = place(name, &why, &old);
    if (now == Place::Refused)
        return fail(why);
    if (now == Place::Taken && !replace)
        return fail(errorText(EEXIST));
    if (name.size() > NameMax || name.contains('/') || name.contains('\0'))
        return fail(name.size() > NameMax ? ENAMETOOLONG : EINVAL);
    if (m_entries.size() == m_entries.capacity() || m_names.size() + name.size() + 1 > m_names.capacity())
        reserve(int(m_entries.size()) * 2 + 16, m_names.size() * 2 + name.size() + 16);
    Entry entry;
    entry.nameAt = quint32(m_names.size());
    entry.nameLength = quint16(name.size());
    entry.replaces = now == Place::Taken;
    entry.hash = hashOf(bytes);
    m_names.append(name.constData(), name.size() + 1); // with its zero byte
    return writeTemporary(entry, bytes, entry.replaces ? &old : nullptr);
}

// Makes entry's temporary with the bytes. It is listed before it is made: a
// signal comes most often just as a call into the system returns.
bool PlantFolder::writeTemporary(Entry &entry, const QByteArray &bytes, const struct stat *old)
{
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        newToken(entry.token);
        m_entries.push_back(entry);
        m_written.store(int(m_entries.size()));
        fd = ::openat(m_dirFd, temporaryOf(entry).get(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0)
            break;
        const int error = errno;
        m_written.store(int(m_entries.size()) - 1); // not ours to remove
        m_entries.pop_back();
        if (error != EEXIST || attempt == 100 || !m_staging.isEmpty()) {
            m_names.truncate(entry.nameAt);
            return fail(error);
        }
    }
    int error = old && !keepOwnerAndMode(fd, *old) ? errno : 0;
    for (qsizetype done = 0; error == 0 && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (n == 0 || errno != EINTR)
            error = n == 0 ? EIO : errno;
    }
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    return error == 0 || fail(error);
}

// Gives the new file the owner (where allowed) and permissions of the file
// it replaces, with no call where a new file here gets them anyway. False
// with errno when the permissions could not be given.
bool PlantFolder::keepOwnerAndMode(int fd, const struct stat &old)
{
    if (!m_madeAs.known) {
        struct stat made;
        if (::fstat(fd, &made) != 0)
            return false;
        m_madeAs = Made{ true, made.st_uid, made.st_gid, made.st_mode & 07777 };
    }
    if (old.st_uid != m_madeAs.uid || old.st_gid != m_madeAs.gid)
        (void)!::fchown(fd, old.st_uid, old.st_gid);
    // A change of owner clears only set-user and set-group bits, which a
    // new file never has.
    return (old.st_mode & 07777) == m_madeAs.mode || ::fchmod(fd, old.st_mode & 07777) == 0;
}

bool PlantFolder::moveIntoPlace(Entry &entry)
{
    const int fd = m_dirFd;
    const char *name = nameOf(entry);
    if (entry.replaces) {
        // The new file and the old change names in one step, so that the
        // name never goes missing; the old one waits under the temporary's
        // name until it is removed.
        if (::renameat2(fd, temporaryOf(entry).get(), fd, name, RENAME_EXCHANGE) == 0) {
            entry.exchanged = true;
            return true;
        }
        if (errno != EINVAL && errno != ENOSYS)
            return fail(errno);
        // A file system that cannot: the old file kept aside by a second
        // link, or moved where links cannot be made; never over another file.
        const SideName backup = backupOf(entry);
        if (::linkat(fd, name, fd, backup.get(), 0) != 0) {
            const int error = errno == EEXIST ? EEXIST : renameNoReplace(fd, name, backup.get());
            if (error != 0)
                return fail(error);
        }
        entry.backedUp = true;
        return ::renameat(fd, temporaryOf(entry).get(), fd, name) == 0 || fail(errno);
    }
    const int error = renameNoReplace(fd, temporaryOf(entry).get(), name);
    return error == 0 || fail(error);
}

bool PlantFolder::commit()
{
    if (m_dirFd < 0)
        return fail(EBADF);
    if (::syncfs(m_dirFd) != 0)
        return fail(errno);
    if (!m_staging.isEmpty())
        return commitStaging();
    if (!writeJournal()) {
        cancel();
        return false;
    }
    bool ok = true;
    {
        const HeldStopSignals held;
        int moved = 0;
        while (ok && moved < int(m_entries.size())) {
            ok = moveIntoPlace(m_entries[size_t(moved)]);
            moved += ok ? 1 : 0;
        }
        if (ok && ::fsync(m_dirFd) != 0)
            ok = fail(errno);
        if (ok && held.anyCame())
            ok = fail(QStringLiteral("stopped by a signal"));
        if (ok) {
            removeOldFiles(); // the helpers start with the stopping signals held too
            removeJournal();
            forgetRun();
            m_madeFolders.clear();
        } else {
            rollBack(moved);
            ::fsync(m_dirFd);
            removeJournal();
        }
        cancel(); // anything the roll-back left, and the signal handler's watch
    }
    return ok;
}

// Moves the folder written beside its place there, never over anything that
// came there meanwhile; the folder above it is then put on disk too.
bool PlantFolder::commitStaging()
{
    const HeldStopSignals held;
    int error = renameNoReplace(AT_FDCWD, m_staging.constData(), m_dir.constData());
    const bool moved = error == 0;
    const int parentFd = moved ? ::open(parentOf(m_dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    if (moved && (parentFd < 0 || ::fsync(parentFd) != 0))
        error = errno;
    if (error == 0 && held.anyCame())
        error = -1;
    if (error != 0 && moved) // back beside its place, as it was
        ::renameat(AT_FDCWD, m_dir.constData(), AT_FDCWD, m_staging.constData());
    if (parentFd >= 0)
        ::close(parentFd);
    if (error == 0) {
        forgetRun();
        m_madeFolders.clear();
        m_staging.clear();
    }
    cancel(); // what a failure left, and the signal handler's watch
    return error == 0 || (error < 0 ? fail(QStringLiteral("stopped by a signal")) : fail(error));
}

// Undoes the moves of the first moved entries and removes every temporary.
void PlantFolder::rollBack(int moved)
{
    const int fd = m_dirFd;
    for (int i = int(m_entries.size()) - 1; i >= 0; --i) {
        const Entry &e = m_entries[size_t(i)];
        if (e.exchanged) // the old file back under its name, the new one under the temporary's
            ::renameat2(fd, temporaryOf(e).get(), fd, nameOf(e), RENAME_EXCHANGE);
        if (i >= moved || e.exchanged)
            ::unlinkat(fd, temporaryOf(e).get(), 0);
        if (e.backedUp) // over the new file, or (as the same file) over itself
            ::renameat(fd, backupOf(e).get(), fd, nameOf(e));
        else if (i < moved && !e.exchanged)
            ::unlinkat(fd, nameOf(e), 0);
        if (e.backedUp)
            ::unlinkat(fd, backupOf(e).get(), 0);
    }
    forgetRun();
}

void PlantFolder::cancel()
{
    unwatchStop(m_watch);
    m_watch = -1;
    for (int i = 0; i < m_written.load(); ++i)
        ::unlinkat(m_dirFd, temporaryOf(m_entries[size_t(i)]).get(), 0);
    forgetRun();
    removeMadeFolders();
}

void PlantFolder::removeMadeFolders()
{
    if (!m_staging.isEmpty())
        ::rmdir(m_staging.constData());
    m_staging.clear();
    for (auto it = m_madeFolders.rbegin(); it != m_madeFolders.rend(); ++it)
        ::rmdir(it->constData());
    m_madeFolders.clear();
}

void PlantFolder::cleanUpOnStop(const void *self)
{
    const auto *folder = static_cast<const PlantFolder *>(self);
    const int written = folder->m_written.load();
    const Entry *entries = folder->m_entries.data();
    for (int i = 0; i < written; ++i)
        ::unlinkat(folder->m_dirFd, folder->temporaryOf(entries[i]).get(), 0);
    if (!folder->m_staging.isEmpty())
        ::rmdir(folder->m_staging.constData());
    for (size_t i = folder->m_madeFolders.size(); i > 0; --i)
        ::rmdir(folder->m_madeFolders[i - 1].constData());
}

} // namespace hvx
