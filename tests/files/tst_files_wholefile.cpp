// Files written whole: what may be replaced, and what a stopping signal
// leaves behind.

#include "wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <vector>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace hvx;

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

// Makes what a row names at dir/name: "file", "folder", "fifo", "device",
// "loop" (a link to itself), "link>WHAT" (a link to WHAT, made in turn at
// name + "x"), "link>/PATH" (a link to that path) or "" for nothing. False
// when it cannot be made here.
bool make(const QDir &dir, const QString &what, const QString &name = QStringLiteral("out"))
{
    const QByteArray path = QFile::encodeName(dir.filePath(name));
    if (what.startsWith(QLatin1String("link>"))) {
        const QString to = what.mid(5);
        if (to.startsWith(QLatin1Char('/')))
            return ::symlink(QFile::encodeName(to).constData(), path.constData()) == 0;
        const QString next = name + QLatin1Char('x');
        return make(dir, to, next) && ::symlink(QFile::encodeName(next).constData(), path.constData()) == 0;
    }
    if (what == QLatin1String("file")) {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write("old") == 3;
    }
    if (what == QLatin1String("shared file")) // writable by its group and by others
        return make(dir, QStringLiteral("file"), name) && ::chmod(path.constData(), 0666) == 0;
    if (what == QLatin1String("folder"))
        return ::mkdir(path.constData(), 0700) == 0;
    if (what == QLatin1String("fifo"))
        return ::mkfifo(path.constData(), 0600) == 0;
    if (what == QLatin1String("device")) // the null device's numbers, under a name of the test's own
        return ::mknod(path.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    if (what == QLatin1String("loop"))
        return ::symlink(name.toUtf8().constData(), path.constData()) == 0;
    return true;
}

QStringList entries(const QDir &dir)
{
    QStringList names = dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// The kind and identity of what is at path, its links not followed.
QString identity(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QString();
    return QStringLiteral("%1/%2").arg(st.st_mode, 0, 8).arg(st.st_ino);
}

} // namespace

class TestWholeFile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The test runner catches these signals itself; a program starts
        // without handlers for them.
        for (int stopSignal : { SIGINT, SIGTERM, SIGHUP })
            std::signal(stopSignal, SIG_DFL);
    }

    void replacesOnlyRegularFiles_data()
    {
        QTest::addColumn<QString>("there");     // at "out" before the write (see make)
        QTest::addColumn<QString>("written");   // the file that then holds "new"; empty: refused
        QTest::addColumn<QString>("why");       // part of the reason for a refusal
        QTest::addColumn<QString>("meanwhile"); // what takes the place of "out" while the file is written
        const QString isFolder = QString::fromLocal8Bit(strerror(EISDIR));
        // clang-format off
        QTest::newRow("nothing yet")              << ""               << "out"   << "" << "";
        QTest::newRow("regular file")             << "file"           << "out"   << "" << "";
        QTest::newRow("link to a file")           << "link>file"      << "outx"  << "" << "";
        QTest::newRow("link to a shared file")    << "link>shared file" << "outx" << "" << "";
        QTest::newRow("link to a link to a file") << "link>link>file" << "outxx" << "" << "";
        QTest::newRow("link to nothing")          << "link>"          << "outx"  << "" << "";
        QTest::newRow("folder")                   << "folder"         << ""      << isFolder << "";
        QTest::newRow("FIFO")                     << "fifo"           << ""      << "it is a FIFO, not a regular file" << "";
        QTest::newRow("device")                   << "device"         << ""      << "it is a device, not a regular file" << "";
        QTest::newRow("link to a folder")         << "link>folder"    << ""      << isFolder << "";
        QTest::newRow("link to a device")         << "link>device"    << ""      << "it is a link to a device, not a regular file" << "";
        QTest::newRow("link to itself")           << "loop"           << ""      << QString::fromLocal8Bit(strerror(ELOOP)) << "";
        QTest::newRow("FIFO meanwhile")           << "file"           << ""      << "it is a FIFO, not a regular file" << "fifo";
        // clang-format on
    }

    void replacesOnlyRegularFiles()
    {
        QFETCH(QString, there);
        QFETCH(QString, written);
        QFETCH(QString, why);
        QFETCH(QString, meanwhile);
        QTemporaryDir tmp;
        const QDir dir(tmp.path());
        if (!make(dir, there))
            QSKIP(qPrintable(there + QStringLiteral(" cannot be made here: ")
                             + QString::fromLocal8Bit(strerror(errno))));
        QStringList expected = entries(dir);
        QString before = identity(dir.filePath("out"));
        const QFile::Permissions access = QFile::permissions(dir.filePath(written));

        WholeFile file(dir.filePath("out"));
        bool ok = file.open() && file.write("new");
        if (!meanwhile.isEmpty()) {
            QVERIFY(QFile::remove(dir.filePath("out")) && make(dir, meanwhile));
            before = identity(dir.filePath("out"));
        }
        ok = ok && file.commit();
        const QString error = file.errorString();
        QCOMPARE(ok, !written.isEmpty());
        if (ok) {
            QCOMPARE(contents(dir.filePath(written)), QByteArray("new"));
            QCOMPARE(QFileInfo(dir.filePath("out")).isSymLink(), there.startsWith(QLatin1String("link")));
            if (access != QFile::Permissions())
                QCOMPARE(QFile::permissions(dir.filePath(written)), access); // the replaced file's own
            if (!expected.contains(written))
                expected << written;
            expected.sort();
        } else {
            QVERIFY2(error.contains(why), qPrintable(error));
            QCOMPARE(identity(dir.filePath("out")), before);
        }
        QCOMPARE(entries(dir), expected); // and no temporary file left
    }

    void longNamesKeepTheirTemporaryBeside_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("temporary"); // its name's bytes: 255 at most, as the file system allows
        QTest::newRow("ASCII") << QByteArray(250, 'a') << 255;
        QTest::newRow("cut inside a character") << QByteArray(242, 'a') + "\xC3\xA9\xC3\xA9.pdf" << 254;
    }

    // The temporary name is shortened just enough to fit, never into a half
    // character: a writer taking the name as text must find the same file.
    void longNamesKeepTheirTemporaryBeside()
    {
        QFETCH(QByteArray, name);
        QTemporaryDir tmp;
        const QString path = tmp.filePath(QString::fromUtf8(name));
        WholeFile file(path);
        QVERIFY2(file.open(), qPrintable(file.errorString()));
        QTEST(int(QFile::encodeName(QFileInfo(file.temporaryFileName()).fileName()).size()), "temporary");
        QVERIFY(QFile::exists(file.temporaryFileName()));
        QVERIFY(file.write("new") && file.commit());
        QCOMPARE(contents(path), QByteArray("new"));
    }

    void stoppingSignalRemovesTemporary_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<int>("atOnce"); // files being written when the signal comes
        for (int stopSignal : { SIGINT, SIGTERM, SIGHUP })
            QTest::newRow(strsignal(stopSignal)) << stopSignal << 1;
        // After a file written whole, as many as ever at once (eight).
        QTest::newRow("eight at once") << int(SIGTERM) << 8;
    }

    // A process stopped while it writes leaves the old file and nothing beside it.
    void stoppingSignalRemovesTemporary()
    {
        QFETCH(int, signalNumber);
        QFETCH(int, atOnce);
        QTemporaryDir tmp;
        const QString path = tmp.filePath("out.pdf");
        QVERIFY(make(QDir(tmp.path()), QStringLiteral("file"), QStringLiteral("out.pdf")));
        const pid_t pid = fork();
        if (pid == 0) {
            if (atOnce > 1 && !writeWholeFile(path, "old"))
                _exit(1);
            std::vector<std::unique_ptr<WholeFile>> files;
            bool written = true;
            for (int i = 0; i < atOnce; ++i) {
                files.push_back(std::make_unique<WholeFile>(path));
                WholeFile &file = *files.back();
                written = written && file.open() && file.write(QByteArray(100000, 'x'))
                    && QFile::exists(file.temporaryFileName());
            }
            if (written)
                ::raise(signalNumber);
            _exit(1); // only when the signal did not stop the process
        }
        int status = 0;
        QCOMPARE(waitpid(pid, &status, 0), pid);
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), signalNumber);
        QCOMPARE(contents(path), QByteArray("old"));
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{ QStringLiteral("out.pdf") });
    }
};

QTEST_GUILESS_MAIN(TestWholeFile)
#include "tst_files_wholefile.moc"
