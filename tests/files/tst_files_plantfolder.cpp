// Folders written all or nothing: what a failure or a stopping signal leaves,
// what is never written over, one run at a time; scratch folders.

#include "../support/testfiles.h"
#include "plantfolder.h"
#include "scratchfolder.h"
#include "systemfaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace hvx;
using testsupport::readFile;
using testsupport::writeFile;

Q_DECLARE_METATYPE(systemfaults::Fault)

namespace {

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

mode_t modeOf(const QString &path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

} // namespace

class TestPlantFolder : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The test runner catches these signals itself; a program starts
        // without handlers for them.
        for (int stopSignal : { SIGINT, SIGTERM, SIGHUP })
            std::signal(stopSignal, SIG_DFL);
    }

    void commitAllOrNothing_data()
    {
        using systemfaults::Fault;
        // What another hand does before the commit: "folder b" or "file b"
        // (made where a new file goes), "a removed" (the file replaced).
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<Fault>("fault"); // what the system does once armed
        QTest::newRow("all written") << QString() << Fault::None;
        QTest::newRow("second new file in the way of a file") << QStringLiteral("file b") << Fault::None;
        QTest::newRow("last new file in the way of a folder") << QStringLiteral("folder c") << Fault::None;
        QTest::newRow("the replaced file removed") << QStringLiteral("a removed") << Fault::None;
        QTest::newRow("no hard links: the old file moved aside") << QString() << Fault::NoHardLinks;
        QTest::newRow("no hard links, a new file in the way") << QStringLiteral("file b") << Fault::NoHardLinks;
        QTest::newRow("no rename without replacing") << QString() << Fault::NoRenameFlags;
        QTest::newRow("no rename without replacing, in the way") << QStringLiteral("folder c") << Fault::NoRenameFlags;
        QTest::newRow("a write interrupted") << QString() << Fault::WriteInterrupted;
        QTest::newRow("a temporary's name taken: another") << QString() << Fault::NameTaken;
    }

    // "a" is replaced, "b" and "c" are new: either all three are in place,
    // or "a" is as it was (or as the other hand left it) and nothing else of
    // the run is left.
    void commitAllOrNothing()
    {
        QFETCH(QString, meanwhile);
        QFETCH(systemfaults::Fault, fault);
        QTemporaryDir tmp;
        const QString dir = tmp.path();
        writeFile(dir + "/a", "old");
        QVERIFY(QFile::setPermissions(dir + "/a", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        PlantFolder folder(QFile::encodeName(dir));
        QVERIFY2(folder.open(), qPrintable(folder.errorString()));
        folder.reserve(1, 1); // grows past it
        systemfaults::arm(fault);
        for (const char *name : { "a", "b", "c" })
            QVERIFY2(folder.add(name, QByteArray("new ") + name, true), qPrintable(folder.errorString()));
        QCOMPARE(entries(dir).size(), 4); // the old file and three temporaries
        const QString what = meanwhile.section(QLatin1Char(' '), 0, 0);
        const QString name = meanwhile.section(QLatin1Char(' '), 1);
        if (what == "folder")
            QVERIFY(QDir(dir).mkdir(name));
        else if (what == "file")
            writeFile(dir + "/" + name, "theirs");
        else if (what == "a")
            QVERIFY(QFile::remove(dir + "/a"));
        const bool committed = folder.commit();
        systemfaults::arm(systemfaults::Fault::None);
        QCOMPARE(committed, meanwhile.isEmpty());
        if (meanwhile.isEmpty()) {
            QCOMPARE(entries(dir), (QStringList{ "a", "b", "c" }));
            QCOMPARE(readFile(dir + "/c"), QByteArray("new c"));
            QCOMPARE(modeOf(dir + "/a"), mode_t(0640)); // as the file it replaced
            const mode_t mask = ::umask(0);
            ::umask(mask);
            QCOMPARE(modeOf(dir + "/b"), mode_t(0666 & ~mask)); // as any new file
        } else if (what == "a") {
            QCOMPARE(folder.errorString(), QString::fromLocal8Bit(strerror(ENOENT)));
            QCOMPARE(entries(dir), QStringList());
        } else {
            QCOMPARE(folder.errorString(), QString::fromLocal8Bit(strerror(EEXIST)));
            QCOMPARE(entries(dir), (QStringList{ "a", name }));
            QCOMPARE(readFile(dir + "/a"), QByteArray("old"));
            QCOMPARE(modeOf(dir + "/a"), mode_t(0640));
            if (what == "file")
                QCOMPARE(readFile(dir + "/" + name), QByteArray("theirs"));
        }
    }

    void replacedFilesKeepOwnerAndMode_data()
    {
        // Each old file in turn, as "MODE" or "MODE UID" (octal; "new" is
        // the mode any new file gets here); each new one must match it.
        QTest::addColumn<QStringList>("old");
        QTest::newRow("as a new file, then narrower") << QStringList{ "new", "600", "new" };
        QTest::newRow("another owner's, then ours") << QStringList{ "new 1234", "new", "640 1234" };
    }

    void replacedFilesKeepOwnerAndMode()
    {
        QFETCH(QStringList, old);
        QTemporaryDir tmp;
        const mode_t mask = ::umask(0);
        ::umask(mask);
        std::vector<std::pair<mode_t, uid_t>> wanted;
        for (const QString &file : old) {
            const QString path = tmp.path() + "/" + QString::number(wanted.size());
            writeFile(path, "old");
            const QString mode = file.section(' ', 0, 0);
            const uid_t owner = file.contains(' ') ? file.section(' ', 1).toUInt() : ::geteuid();
            wanted.emplace_back(mode == "new" ? 0666 & ~mask : mode.toUInt(nullptr, 8), owner);
            if (owner != ::geteuid() && ::chown(QFile::encodeName(path).constData(), owner, owner) != 0)
                QSKIP("files cannot be given to another owner here");
            QVERIFY(::chmod(QFile::encodeName(path).constData(), wanted.back().first) == 0);
        }
        PlantFolder folder(QFile::encodeName(tmp.path()));
        QVERIFY(folder.open());
        for (size_t i = 0; i < wanted.size(); ++i)
            QVERIFY2(folder.add(QByteArray::number(qulonglong(i)), "new", true), qPrintable(folder.errorString()));
        QVERIFY2(folder.commit(), qPrintable(folder.errorString()));
        for (size_t i = 0; i < wanted.size(); ++i) {
            struct stat status {};
            QVERIFY(::stat(QFile::encodeName(tmp.path() + "/" + QString::number(i)).constData(), &status) == 0);
            QCOMPARE(readFile(tmp.path() + "/" + QString::number(i)), QByteArray("new"));
            QCOMPARE(status.st_mode & 07777, wanted[i].first);
            QCOMPARE(status.st_uid, wanted[i].second);
        }
    }

    void failedWriteLeavesNothing_data()
    {
        using systemfaults::Fault;
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("error");
        QTest::newRow("the disk full") << Fault::DiskFull << ENOSPC;
        QTest::newRow("a write that takes nothing") << Fault::WriteTakesNothing << EIO;
    }

    // A file that cannot be written fails its add with the reason; its
    // temporary goes with the run.
    void failedWriteLeavesNothing()
    {
        QFETCH(systemfaults::Fault, fault);
        QFETCH(int, error);
        QTemporaryDir tmp;
        PlantFolder folder(QFile::encodeName(tmp.path()));
        QVERIFY(folder.open());
        QVERIFY(folder.add("a", "new a", false));
        systemfaults::arm(fault);
        const bool added = folder.add("b", "new b", false);
        systemfaults::arm(systemfaults::Fault::None);
        QVERIFY(!added);
        QCOMPARE(folder.errorString(), QString::fromLocal8Bit(strerror(error)));
        folder.cancel();
        QCOMPARE(entries(tmp.path()), QStringList());
    }

    void place_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("place");
        QTest::newRow("nothing") << "" << int(PlantFolder::Place::Free);
        QTest::newRow("a file") << "file" << int(PlantFolder::Place::Taken);
        QTest::newRow("a link to a file") << "link" << int(PlantFolder::Place::Refused);
        QTest::newRow("a link to nowhere") << "dangling" << int(PlantFolder::Place::Refused);
        QTest::newRow("a folder") << "folder" << int(PlantFolder::Place::Refused);
        QTest::newRow("a FIFO") << "fifo" << int(PlantFolder::Place::Refused);
    }

    void place()
    {
        QFETCH(QString, what);
        QFETCH(int, place);
        QTemporaryDir tmp;
        const QString path = tmp.filePath("x");
        writeFile(tmp.filePath("file"), "old");
        if (what == "file")
            writeFile(path, "old");
        if (what == "link" || what == "dangling")
            QVERIFY(QFile::link(what == "link" ? tmp.filePath("file") : tmp.filePath("none"), path));
        if (what == "folder")
            QVERIFY(QDir(tmp.path()).mkdir("x"));
        if (what == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        PlantFolder folder(QFile::encodeName(tmp.path()));
        QVERIFY(folder.open());
        QString why;
        QCOMPARE(int(folder.place("x", &why)), place);
        QCOMPARE(why.isEmpty(), place != int(PlantFolder::Place::Refused));
        // Only a regular file is read (a FIFO without waiting), and no further
        // than one byte past the most asked for; a read a signal interrupts
        // goes on.
        std::optional<QByteArray> bytes;
        QString readWhy;
        systemfaults::arm(systemfaults::Fault::ReadInterrupted);
        QCOMPARE(folder.read("x", 1, &bytes, &readWhy), place != int(PlantFolder::Place::Refused));
        systemfaults::arm(systemfaults::Fault::None);
        QCOMPARE(bytes, what == "file" ? std::optional<QByteArray>("ol") : std::nullopt);
        QCOMPARE(readWhy, why);
        // A file is written over only when asked to; refused things never.
        QCOMPARE(folder.add("x", "new", false), place == int(PlantFolder::Place::Free));
        QCOMPARE(folder.add("x", "new", true), place != int(PlantFolder::Place::Refused));
        folder.cancel();
        QCOMPARE(readFile(tmp.filePath("file")), QByteArray("old"));
        QCOMPARE(entries(tmp.path()).size(), what.isEmpty() ? 1 : 2);
    }

    // Each file waits as NAME.TOKEN.part: six letters or digits tell the
    // run's names from any other.
    void temporaryNames()
    {
        QTemporaryDir tmp;
        PlantFolder folder(QFile::encodeName(tmp.path()));
        QVERIFY(folder.open());
        for (int i = 0; i < 200; ++i)
            QVERIFY(folder.add(QByteArray::number(i), "x", false));
        const QByteArray longest(255, 'y'); // its temporary's name cut to fit
        QVERIFY2(folder.add(longest, "x", false), qPrintable(folder.errorString()));
        QVERIFY(!folder.add(longest + 'y', "x", false));
        QCOMPARE(folder.errorString(), QString::fromLocal8Bit(strerror(ENAMETOOLONG)));
        QVERIFY(!folder.add(longest.left(254) + '/', "x", false));
        QCOMPARE(folder.errorString(), QString::fromLocal8Bit(strerror(EINVAL)));
        const QStringList names = entries(tmp.path());
        QCOMPARE(names.size(), 201);
        const QRegularExpression side(QStringLiteral("^(\\d+|y+)\\.[A-Za-z0-9]{6}\\.part$"));
        for (const QString &name : names)
            QVERIFY2(side.match(name).hasMatch(), qPrintable(name));
        QVERIFY(folder.commit());
        QVERIFY(QFileInfo::exists(tmp.filePath(QString::fromLatin1(longest))));
    }

    void oneRunAtATime()
    {
        QTemporaryDir tmp;
        PlantFolder first(QFile::encodeName(tmp.path()));
        PlantFolder second(QFile::encodeName(tmp.path()));
        QVERIFY(first.open());
        QVERIFY(!second.open());
        QCOMPARE(second.errorString(), QStringLiteral("is locked: another run is writing into it"));
    }

    // What a run killed outright left, as the next run finds it: one file
    // moved, one not yet, a temporary of an earlier kill, and a record that
    // names a place outside the folder.
    void killedRunFinished()
    {
        QTemporaryDir tmp;
        const auto hash = [](const QByteArray &bytes) {
            quint64 h = 14695981039346656037ull;
            for (const char c : bytes)
                h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
            return QByteArray::number(h, 16).rightJustified(16, '0');
        };
        const QString plant = tmp.filePath("plant");
        QVERIFY(QDir().mkdir(plant));
        writeFile(plant + "/moved.hvx", "new 1");
        writeFile(plant + "/moved.hvx.AAAAAA.part", "old 1"); // exchanged
        writeFile(plant + "/waiting.hvx", "old 2");
        writeFile(plant + "/waiting.hvx.BBBBBB.part", "new 2");
        writeFile(plant + "/earlier.hvx.CCCCCC.part", "left");
        writeFile(plant + "/notes.part", "the plant's own");
        writeFile(tmp.filePath("x.hvx.DDDDDD.part"), "outside");
        writeFile(plant + "/.halvex-moves",
                  hash("new 1") + " AAAAAA 1 moved.hvx" + '\0' + hash("new 2") + " BBBBBB 1 waiting.hvx" + '\0'
                      + hash("outside") + " DDDDDD 0 ../x.hvx" + '\0');
        PlantFolder folder(QFile::encodeName(plant));
        QVERIFY(folder.open());
        QCOMPARE(folder.recovered(),
                 "a run was stopped while it moved its files: 1 file put in place now; "
                 "1 temporary of stopped runs removed");
        QCOMPARE(entries(plant), QStringList({ "moved.hvx", "notes.part", "waiting.hvx" }));
        QCOMPARE(readFile(plant + "/moved.hvx"), "new 1");
        QCOMPARE(readFile(plant + "/waiting.hvx"), "new 2");
        QCOMPARE(entries(tmp.path()), QStringList({ "plant", "x.hvx.DDDDDD.part" }));
    }

    void folderLetGoOnLowestDescriptor_data()
    {
        QTest::addColumn<bool>("newFolder");
        QTest::newRow("the folder itself") << false;
        QTest::newRow("the folder above a new one, when it is put on disk") << true;
    }

    // Every folder opened is let go, also one opened on descriptor 0
    // (standard input closed).
    void folderLetGoOnLowestDescriptor()
    {
        QFETCH(bool, newFolder);
        QTemporaryDir tmp;
        const int savedInput = ::dup(0);
        bool done = false;
        {
            PlantFolder folder(QFile::encodeName(newFolder ? tmp.filePath("new") : tmp.path()));
            if (!newFolder)
                ::close(0);
            done = folder.open();
            if (newFolder) {
                ::close(0);
                done = done && folder.add("a", "new a", false) && folder.commit();
            } else {
                done = done && ::fcntl(0, F_GETFD) != -1;
            }
        }
        const bool letGo = ::fcntl(0, F_GETFD) == -1;
        ::dup2(savedInput, 0);
        ::close(savedInput);
        QVERIFY(done);
        QVERIFY(letGo);
    }

    void folderThatCannotBeMade_data()
    {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QByteArray>("refused"); // the first folder the system will not make
        // Places where no folder is made, also by the superuser.
        QTest::newRow("beside its place") << QByteArray("/proc/halvex-none") << QByteArray("/proc/halvex-none");
        QTest::newRow("no name") << QByteArray() << QByteArray();
    }

    // Told with the reason of the first folder that could not be made.
    void folderThatCannotBeMade()
    {
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, refused);
        QVERIFY(::mkdir(refused.constData(), 0777) != 0);
        const QString why = QString::fromLocal8Bit(strerror(errno));
        PlantFolder folder(target);
        QVERIFY(!folder.open());
        QCOMPARE(folder.errorString(), QStringLiteral("could not be made: ") + why);
    }

    void newFolderAppearsWhole_data()
    {
        using systemfaults::Fault;
        QTest::addColumn<QString>("end"); // "commit", "cancel", or "theirs first": another run's folder put there
        QTest::addColumn<Fault>("fault"); // what the system does once armed
        QTest::newRow("committed") << "commit" << Fault::None;
        QTest::newRow("no rename without replacing") << "commit" << Fault::NoRenameFlags;
        QTest::newRow("cancelled") << "cancel" << Fault::None;
        QTest::newRow("another run's folder there first") << "theirs first" << Fault::None;
        QTest::newRow("theirs first, no rename without replacing") << "theirs first" << Fault::NoRenameFlags;
    }

    // A folder not there before the run (nor the folders above it) is seen
    // only whole, or not at all.
    void newFolderAppearsWhole()
    {
        QFETCH(QString, end);
        QFETCH(systemfaults::Fault, fault);
        QTemporaryDir tmp;
        const QString target = tmp.filePath("made/deeper");
        PlantFolder folder(QFile::encodeName(target + "/"));
        QVERIFY(folder.open());
        QVERIFY(folder.add("a", "new a", false));
        QVERIFY(folder.add("b", "new b", false));
        QVERIFY(!folder.add("a", "again", false)); // as the folder holds it already
        QVERIFY(!QFileInfo::exists(target));
        if (end == "theirs first") {
            QVERIFY(QDir().mkpath(target));
            writeFile(target + "/theirs", "theirs");
        }
        systemfaults::arm(fault);
        const bool committed = end == "cancel" ? (folder.cancel(), false) : folder.commit();
        systemfaults::arm(systemfaults::Fault::None);
        QCOMPARE(committed, end == "commit");
        if (end == "commit") {
            QCOMPARE(entries(target), (QStringList{ "a", "b" }));
            QCOMPARE(readFile(target + "/b"), QByteArray("new b"));
        } else if (end == "theirs first") {
            QCOMPARE(folder.errorString(), QString::fromLocal8Bit(strerror(EEXIST)));
            QCOMPARE(entries(target), QStringList{ "theirs" });
        }
        QCOMPARE(entries(tmp.path()), end == "cancel" ? QStringList() : QStringList{ "made" });
        QCOMPARE(entries(tmp.filePath("made")).size(), end == "cancel" ? 0 : 1);
    }

    void stoppingSignal_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<QString>("what"); // "plant": files being written; "made": into a folder made; "scratch"
        for (int stopSignal : { SIGINT, SIGTERM, SIGHUP })
            QTest::newRow(strsignal(stopSignal)) << stopSignal << "plant";
        QTest::newRow("into a folder made") << int(SIGTERM) << "made";
        QTest::newRow("scratch folder") << int(SIGHUP) << "scratch";
    }

    // A process stopped while it writes leaves the folder as it was.
    void stoppingSignal()
    {
        QFETCH(int, signalNumber);
        QFETCH(QString, what);
        QTemporaryDir tmp;
        writeFile(tmp.filePath("a"), "old");
        const pid_t pid = fork();
        if (pid == 0) {
            qputenv("TMPDIR", QFile::encodeName(tmp.path()));
            // With every place taken, one job more is watched nowhere, and
            // leaves the others' places alone when it ends; the places of
            // jobs that end are taken again.
            std::vector<std::unique_ptr<ScratchFolder>> others;
            for (int i = 0; i < 16; ++i)
                others.push_back(std::make_unique<ScratchFolder>(QStringLiteral("other")));
            ScratchFolder(QStringLiteral("unwatched"));
            others.resize(others.size() - 2); // places for the job and the plant
            ScratchFolder scratch(QStringLiteral("job"));
            bool ready = scratch.isValid() && QDir(scratch.path()).mkpath("inner");
            if (ready)
                writeFile(scratch.path() + "/inner/file", "x");
            PlantFolder folder(QFile::encodeName(what == "made" ? tmp.filePath("new") : tmp.path()));
            ready = ready && folder.open() && folder.add("b", "new", false);
            if (what != "made")
                ready = ready && folder.add("a", "new", true);
            if (ready)
                ::raise(signalNumber);
            _exit(1); // only when the signal did not stop the process
        }
        int status = 0;
        QCOMPARE(waitpid(pid, &status, 0), pid);
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), signalNumber);
        QCOMPARE(entries(tmp.path()), QStringList{ "a" });
        QCOMPARE(readFile(tmp.filePath("a")), QByteArray("old"));
    }
};

QTEST_GUILESS_MAIN(TestPlantFolder)
#include "tst_files_plantfolder.moc"
