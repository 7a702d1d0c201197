// What a run killed outright leaves, and the next run mends: the list of
// moves it was making (finished now, so that the folder holds every new
// file), its temporaries and the folders it wrote beside their place.
//
// The list, .halvex-moves, is written and put on disk after every new file
// is on disk and before the first move; it is removed once every move is on
// disk. One record a file: the hash of its new bytes (16 hex digits), a
// blank, its token, a blank, 1 when it replaces a file (else 0), a blank and
// its name, ended by a zero byte. A file is in place when the bytes under
// its name have that hash; else its temporary holds them.

#include "plantfolder.h"
#include "plantfolder_p.h"

#include <QLocale>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hvx {

namespace {

const char Journal[] = ".halvex-moves";
const char JournalPart[] = ".halvex-moves.part";

quint64 fnv1a(const char *data, qsizetype size)
{
    quint64 hash = 14695981039346656037ull;
    for (qsizetype i = 0; i < size; ++i)
        hash = (hash ^ static_cast<unsigned char>(data[i])) * 1099511628211ull;
    return hash;
}

// The bytes of a small file in the folder; none when it cannot be read.
std::optional<QByteArray> fileIn(int dirFd, const char *name)
{
    const int fd = ::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    QByteArray bytes;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
        bytes.append(buffer, n > 0 ? n : 0);
    ::close(fd);
    return n == 0 ? std::optional<QByteArray>(bytes) : std::nullopt;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (n == 0 || errno != EINTR)
            return false;
    }
    return true;
}

// Whether a name is a side name of a setup file: NAME.hvx.TOKEN.part or
// NAME.hvx.TOKEN.old, the token six letters or digits.
bool isSideName(const char *name)
{
    const qsizetype length = qsizetype(std::strlen(name));
    for (const char *ending : { ".part", ".old" }) {
        const qsizetype end = length - qsizetype(std::strlen(ending));
        if (end < 11 || std::strcmp(name + end, ending) != 0 || name[end - 7] != '.')
            continue;
        bool token = true;
        for (qsizetype i = end - 6; i < end; ++i)
            token = token && std::isalnum(static_cast<unsigned char>(name[i]));
        if (token && ::strncasecmp(name + end - 11, ".hvx", 4) == 0)
            return true;
    }
    return false;
}

QString counted(qsizetype count, const char *one, const char *many)
{
    return QLocale(QLocale::English).toString(count) + QLatin1Char(' ') + QLatin1String(count == 1 ? one : many);
}

} // namespace

quint64 PlantFolder::hashOf(const QByteArray &bytes) { return fnv1a(bytes.constData(), bytes.size()); }

bool PlantFolder::writeJournal()
{
    QByteArray journal;
    journal.reserve(qsizetype(m_entries.size()) * 48 + m_names.size());
    for (const Entry &entry : m_entries) {
        journal += QByteArray::number(entry.hash, 16).rightJustified(16, '0') + ' ' + QByteArray(entry.token, 6) + ' '
            + (entry.replaces ? '1' : '0') + ' ' + QByteArray(nameOf(entry), entry.nameLength) + '\0';
    }
    const int fd = ::openat(m_dirFd, JournalPart, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    bool ok = fd >= 0 && writeAll(fd, journal) && ::fsync(fd) == 0;
    const int error = errno;
    if (fd >= 0)
        ::close(fd);
    ok = ok && ::renameat(m_dirFd, JournalPart, m_dirFd, Journal) == 0 && ::fsync(m_dirFd) == 0;
    if (!ok) {
        ::unlinkat(m_dirFd, JournalPart, 0);
        return fail(error);
    }
    return true;
}

void PlantFolder::removeJournal() const { ::unlinkat(m_dirFd, Journal, 0); }

QString PlantFolder::finishKilledMoves()
{
    const std::optional<QByteArray> journal = fileIn(m_dirFd, Journal);
    if (!journal)
        return QString();
    qsizetype moved = 0;
    for (const QByteArray &record : journal->split('\0')) {
        if (record.size() < 27 || record.at(16) != ' ' || record.at(23) != ' ' || record.at(25) != ' ')
            continue; // the empty piece after the last record
        const quint64 hash = record.left(16).toULongLong(nullptr, 16);
        const QByteArray name = record.mid(26);
        if (name.contains('/') || name == "." || name == ".." || name.size() > NameMax)
            continue; // never a name of this folder's own
        const SideName temporary(name.constData(), int(name.size()), record.constData() + 17, ".part");
        const SideName backup(name.constData(), int(name.size()), record.constData() + 17, ".old");
        const std::optional<QByteArray> now = fileIn(m_dirFd, name.constData());
        if (!now || fnv1a(now->constData(), now->size()) != hash) {
            const std::optional<QByteArray> waiting = fileIn(m_dirFd, temporary.get());
            if (waiting && fnv1a(waiting->constData(), waiting->size()) == hash
                && ::renameat(m_dirFd, temporary.get(), m_dirFd, name.constData()) == 0)
                ++moved;
        }
        ::unlinkat(m_dirFd, temporary.get(), 0); // the old file after an exchange
        ::unlinkat(m_dirFd, backup.get(), 0);
    }
    ::fsync(m_dirFd);
    removeJournal();
    return QStringLiteral("a run was stopped while it moved its files: %1 put in place now")
        .arg(counted(moved, "file", "files"));
}

QString PlantFolder::removeTemporaries()
{
    const int fd = ::openat(m_dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *folder = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!folder) {
        if (fd >= 0)
            ::close(fd);
        return QString();
    }
    std::vector<QByteArray> found;
    while (const dirent *entry = ::readdir(folder)) {
        if (isSideName(entry->d_name) || std::strcmp(entry->d_name, JournalPart) == 0)
            found.emplace_back(entry->d_name);
    }
    ::closedir(folder);
    qsizetype removed = 0;
    for (const QByteArray &name : found) {
        struct stat status;
        if (::fstatat(m_dirFd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode)
            && ::unlinkat(m_dirFd, name.constData(), 0) == 0)
            ++removed;
    }
    return removed == 0 ? QString()
                        : counted(removed, "temporary", "temporaries") + QStringLiteral(" of stopped runs removed");
}

QString PlantFolder::removeStaleStaging(QByteArray dir)
{
    while (dir.size() > 1 && dir.endsWith('/'))
        dir.chop(1);
    const qsizetype slash = dir.lastIndexOf('/');
    const QByteArray parent = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : dir.left(slash);
    const QByteArray leaf = dir.mid(slash + 1);
    DIR *folder = ::opendir(parent.constData());
    if (!folder)
        return QString();
    std::vector<QByteArray> found;
    while (const dirent *entry = ::readdir(folder)) {
        const QByteArray name(entry->d_name);
        // LEAF.TOKEN.part, the token six letters or digits.
        if (name.size() == leaf.size() + 12 && name.startsWith(leaf + '.') && name.endsWith(".part"))
            found.push_back(parent + '/' + name);
    }
    ::closedir(folder);
    qsizetype removed = 0;
    for (const QByteArray &staging : found) {
        if (staging == m_staging)
            continue; // this run's own
        const int fd = ::open(staging.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        // A run still writing it holds its lock.
        if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (fd >= 0)
                ::close(fd);
            continue;
        }
        if (DIR *files = ::fdopendir(::dup(fd))) {
            while (const dirent *entry = ::readdir(files)) {
                if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                    ::unlinkat(fd, entry->d_name, 0);
            }
            ::closedir(files);
        }
        ::close(fd);
        removed += ::rmdir(staging.constData()) == 0 ? 1 : 0;
    }
    return removed == 0
        ? QString()
        : counted(removed, "folder", "folders") + QStringLiteral(" left beside it by stopped runs removed");
}

} // namespace hvx
