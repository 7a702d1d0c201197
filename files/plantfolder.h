#pragma once
// A folder of files written all or nothing: the setup files of a plant.
//
// Each file is written as a temporary beside its name; only once every file
// is written and on disk are they all moved into place. A folder that is not
// there yet is written whole beside its place (NAME.TOKEN.part) and moved
// there in one step: nobody sees it before all its files are in it. When
// anything fails, or a stopping signal (SIGINT, SIGTERM, SIGHUP) comes
// first, what the run made is removed again (the temporaries, a folder it
// made) and every replaced file keeps its old content: the folder holds
// either the files it held or all the new ones. A signal that comes while
// the files are moved is held back until they are all in place or all back
// as they were; the process is then stopped with the folder as it was.
//
// A run killed outright (SIGKILL, a power cut) cannot clean up. Before the
// files are moved, the list of moves is put on disk in the folder
// (.halvex-moves); the next run to open the folder finishes those moves, so
// that the folder holds all the new files, and takes away what killed runs
// left: temporaries (NAME.hvx.TOKEN.part, .old) and folders written beside
// their place. recovered() says what it found.
//
// Only plain files are written, and only inside the folder: a name that is
// a link there (to anywhere, or nowhere) is refused, as is anything else
// that is not a regular file. While one PlantFolder has the folder open,
// another (in this or another process) is refused it.

#include <QByteArray>
#include <QString>

#include <atomic>
#include <optional>
#include <vector>

#include <sys/stat.h>

namespace hvx {

class PlantFolder {
public:
    explicit PlantFolder(const QByteArray &nativeDir);
    // Anything not committed is cancelled.
    ~PlantFolder();
    PlantFolder(const PlantFolder &) = delete;
    PlantFolder &operator=(const PlantFolder &) = delete;

    // Makes the folder when missing (and the folders above it), opens it and
    // locks it. Of two runs into a folder not there yet, the one that puts
    // its folder in place first wins: the other's commit fails. False, with
    // the reason in errorString() ("could not be made: Permission denied",
    // "is locked: another run is writing into it").
    // With mend, what killed runs left is mended first (see recovered()); a
    // run that only reads and lists leaves it.
    bool open(bool mend = true);

    enum class Place { Free, Taken, Refused };
    // What stands at name (one name, no folder) now: nothing, a regular
    // file, or something never written over (a link, a folder, a device),
    // with the reason in *why. In a folder this run makes, nothing stands
    // anywhere before the commit (a name added twice fails in add()).
    Place place(const QByteArray &name, QString *why) const { return place(name, why, nullptr); }

    // The bytes of the regular file at name, at most maxSize of them (a
    // longer file gives maxSize + 1); none when nothing is there. False with
    // the reason when something is there that is not read (a link, a
    // folder) or the file could not be read. An update leaves a file whose
    // bytes would not change alone: it is never added. In a folder this run
    // makes, nothing is read.
    bool read(const QByteArray &name, qsizetype maxSize, std::optional<QByteArray> *bytes, QString *why) const;

    // Room for count files whose names hold nameBytes bytes in all, before
    // the first add(). Each file then takes a few bytes more than its name.
    void reserve(int count, qsizetype nameBytes);
    // Writes one file as a temporary beside name (at most 255 bytes). A
    // regular file of that name is replaced only when replace is set, and
    // keeps its permissions. False with the reason.
    bool add(const QByteArray &name, const QByteArray &bytes, bool replace);
    // Puts all files on disk and then in place. False with the reason, and
    // the folder as it was.
    bool commit();
    // Removes what the run made; the folder is as it was.
    void cancel();

    QString errorString() const { return m_error; }
    // What open() found of killed runs and did about it ("a run stopped
    // while it moved its files: 6,712 put in place; 7,500 temporaries of
    // stopped runs removed"); empty when nothing.
    QString recovered() const { return m_recovered; }
    // Whether open() locked the folder; a file system that keeps no locks
    // (some network ones) is written without.
    bool isLocked() const { return m_locked; }

private:
    // A file of the run: its name in m_names, and the letters that tell its
    // temporary (NAME.TOKEN.part) and the old file kept aside while the new
    // ones are moved in (NAME.TOKEN.old) from other files. An old file whose
    // name was exchanged with the new one's waits under the temporary's name.
    struct Entry {
        quint32 nameAt = 0;
        quint16 nameLength = 0;
        char token[6] = {};
        quint64 hash = 0; // of the new bytes, for finishing the moves after a kill
        bool replaces = false;
        bool backedUp = false;
        bool exchanged = false;
    };
    class SideName;

    SideName temporaryOf(const Entry &entry) const;
    SideName backupOf(const Entry &entry) const;
    const char *nameOf(const Entry &entry) const { return m_names.constData() + entry.nameAt; }

    void removeOldFiles() const;
    bool makeFolders(const QByteArray &dir);
    bool makeStaging();
    bool commitStaging();
    bool fail(int error);
    bool fail(const QString &why);
    Place place(const QByteArray &name, QString *why, struct stat *status) const;
    bool writeTemporary(Entry &entry, const QByteArray &bytes, const struct stat *old);
    bool keepOwnerAndMode(int fd, const struct stat &old);
    bool moveIntoPlace(Entry &entry);
    void rollBack(int moved);
    // Lets go of the run's files: nothing of them is removed any more.
    void forgetRun();
    void removeMadeFolders();
    static void cleanUpOnStop(const void *self);
    // Killed runs (plantfolder_recovery.cpp).
    bool writeJournal();
    void removeJournal() const;
    // Each gives what it did in words, or empty.
    QString finishKilledMoves();
    QString removeTemporaries();
    QString removeStaleStaging(QByteArray dir);
    static quint64 hashOf(const QByteArray &bytes);

    QByteArray m_dir;
    QByteArray m_staging;                  // the folder written in place of m_dir when it was missing
    std::vector<QByteArray> m_madeFolders; // in the order made
    int m_dirFd = -1;
    struct Made { // the owner and permissions a new file gets here, read off the first one
        bool known = false;
        uid_t uid = 0;
        gid_t gid = 0;
        mode_t mode = 0;
    } m_madeAs;
    std::vector<Entry> m_entries;    // reserved: a signal handler reads it
    QByteArray m_names;              // each ended by a zero byte; reserved too
    std::atomic<int> m_written{ 0 }; // entries whose temporary exists
    int m_watch = -1;
    QString m_error;
    QString m_recovered;
    bool m_locked = false;
};

} // namespace hvx
