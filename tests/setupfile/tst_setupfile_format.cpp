// The 218-byte setup file: layout, round trips, clamping and damaged files.

#include "../support/testfiles.h"
#include "setupfile.h"

#include "../support/filesizelimit.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace hvx;
using testsupport::writeFile;

Q_DECLARE_METATYPE(hvx::Setup)

namespace {

void putInt(QByteArray &bytes, int offset, qint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<char>((static_cast<quint32>(value) >> (8 * i)) & 0xFF);
}

qint32 getInt(const QByteArray &bytes, int offset)
{
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v |= quint32(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
    return qint32(v);
}

bool readBytes(const QByteArray &bytes, Setup &setup)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return HasSetupSignature(buffer) && ReadSetupFile(buffer, setup);
}

// A setup with every field away from its default.
Setup fullSetup()
{
    Setup s;
    for (int i = 0; i < ListCount; ++i)
        s.list(ListId(i)) = Texts::items(ListId(i)).size() - 1;
    for (int i = 0; i < ChoiceCount; ++i)
        s.choice(ChoiceId(i)) = Texts::buttonCount(ChoiceId(i)) - 1;
    s.eCustomLow = QStringLiteral("-5.5");
    s.eCustomHigh = QStringLiteral("120°");
    s.conversionSpeedShown = true;
    return s;
}

// Runs f in a child process whose files cannot grow past sizeLimit bytes:
// 1 when f succeeded, 0 when it failed, -1 when the child did not run.
template <typename F>
int inChild(rlim_t sizeLimit, F f)
{
    const pid_t pid = fork();
    if (pid == 0) {
        testsupport::FileSizeLimit limit(sizeLimit);
        _exit(!limit.isSet() ? 2 : f() ? 1 : 0);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

class TestSetupFile : public QObject {
    Q_OBJECT

private slots:
    void layoutOffsets_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("field");
        // Each field is given a distinct value; its offset must hold it.
        const QList<QPair<int, QString>> layout = {
            { 63, "rgRTDType" },
            { 67, "cbIRPot3" },
            { 71, "cbInputRange" },
            { 75, "cbIRCurrent" },
            { 79, "cbIRVoltage" },
            { 83, "cbIRmilliVolt" },
            { 87, "cbIRTCKJ" },
            { 91, "cbIRTCRS" },
            { 95, "cbIRTCNE" },
            { 99, "cbIRTCB" },
            { 103, "cbIRTCT" },
            { 107, "cbIRRTD" },
            { 111, "cbIRCurrentTransmitter" },
            { 115, "cbIRPot2" },
            { 119, "rgColdJunction" },
            { 123, "rgLinearisation" },
            { 127, "cbInputType" },
            { 131, "rgConversionSpeed" },
            { 150, "rgDualOutput" },
            { 154, "cbOutputRange" },
            { 158, "rgBurnout" },
            { 162, "rgInversion" },
            { 166, "rgSquareRoot" },
            { 170, "rgButtonIsolation" },
            { 174, "cbOutputRange2" },
            { 178, "rgBurnout2" },
            { 182, "rgInversion2" },
            { 186, "rgSquareRoot2" },
            { 190, "cbTripOutput" },
            { 194, "rgTripBurnout" },
            { 198, "rgTripLEDstate" },
            { 202, "rgTripRelativeTo" },
            { 206, "cbFreqOutputRange" },
            { 210, "rgFreqBurnout" },
            { 214, "rgDualType" },
        };
        for (const auto &[offset, name] : layout)
            QTest::addRow("%s", qPrintable(name)) << offset << name;
    }

    void layoutOffsets()
    {
        QFETCH(int, offset);
        QFETCH(QString, field);
        // Give only this field a non-default value and find it at its offset.
        Setup s;
        int expected = 0;
        for (int i = 0; i < ListCount; ++i)
            if (Texts::name(ListId(i)) == field)
                s.list(ListId(i)) = expected = 0;
        for (int i = 0; i < ChoiceCount; ++i)
            if (Texts::name(ChoiceId(i)) == field)
                s.choice(ChoiceId(i)) = expected = 1;
        const QByteArray bytes = setupFileBytes(s);
        QCOMPARE(bytes.size(), SetupFileSize);
        QCOMPARE(getInt(bytes, offset), expected);
        // Every other numeric field keeps its default (-1 for lists, 0 for choices).
        const QByteArray plain = setupFileBytes(Setup());
        QByteArray diff = bytes;
        for (int i = 0; i < 4; ++i)
            diff[offset + i] = plain[offset + i];
        QCOMPARE(diff, plain);
    }

    void emptySetupRoundTrip()
    {
        const QByteArray bytes = setupFileBytes(Setup());
        QCOMPARE(bytes.left(63), QByteArray("HALVEX SWITCH SETUP FOR WINDOWS TARNWELL ELECTRONICS..........", 63));
        QCOMPARE(getInt(bytes, 127), -1);
        QCOMPARE(getInt(bytes, 154), -1);
        QCOMPARE(bytes.at(135), '\0');
        QCOMPARE(bytes.mid(136, 14), QByteArray(14, '\0'));
        QBuffer written;
        QVERIFY(written.open(QIODevice::WriteOnly) && WriteSetupFile(written, Setup()));
        QCOMPARE(written.data(), bytes);
        Setup read = fullSetup();
        QVERIFY(readBytes(bytes, read));
        QCOMPARE(read, Setup());
    }

    void everyValueRoundTrips()
    {
        // Every index of every list and choice, and -1, survives a write and read.
        for (int i = 0; i < ListCount; ++i) {
            for (int v = -1; v < Texts::items(ListId(i)).size(); ++v) {
                Setup s = fullSetup();
                s.list(ListId(i)) = v;
                Setup read;
                QVERIFY(readBytes(setupFileBytes(s), read));
                QVERIFY2(read == s, qPrintable(Texts::name(ListId(i)) + QString::number(v)));
            }
        }
        for (int i = 0; i < ChoiceCount; ++i) {
            for (int v = -1; v < Texts::buttonCount(ChoiceId(i)); ++v) {
                Setup s;
                s.choice(ChoiceId(i)) = v;
                Setup read = fullSetup();
                QVERIFY(readBytes(setupFileBytes(s), read));
                QVERIFY2(read == s, qPrintable(Texts::name(ChoiceId(i)) + QString::number(v)));
            }
        }
        // A random mix of valid values.
        QRandomGenerator rng(1234);
        for (int round = 0; round < 200; ++round) {
            Setup s;
            for (int i = 0; i < ListCount; ++i)
                s.list(ListId(i)) = int(rng.bounded(Texts::items(ListId(i)).size() + 1)) - 1;
            for (int i = 0; i < ChoiceCount; ++i)
                s.choice(ChoiceId(i)) = int(rng.bounded(Texts::buttonCount(ChoiceId(i)) + 1)) - 1;
            s.conversionSpeedShown = rng.bounded(2) == 1;
            s.eCustomLow = QString::number(rng.bounded(1000));
            Setup read;
            QVERIFY(readBytes(setupFileBytes(s), read));
            QCOMPARE(read, s);
        }
    }

    void clamping_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("expected");

        QTest::newRow("choice 5 of 2 takes the last") << 158 << 5 << "rgBurnout" << 1;
        QTest::newRow("choice -7 takes none") << 158 << -7 << "rgBurnout" << -1;
        QTest::newRow("choice 2 of 3") << 63 << 2 << "rgRTDType" << 2;
        QTest::newRow("choice 3 of 3 takes the last") << 63 << 3 << "rgRTDType" << 2;
        QTest::newRow("choice huge") << 214 << 0x7fffffff << "rgDualType" << 2;
        QTest::newRow("choice most negative") << 214 << int(0x80000000) << "rgDualType" << -1;
        QTest::newRow("list 99 takes none") << 127 << 99 << "cbInputType" << -1;
        QTest::newRow("list count takes none") << 79 << 28 << "cbIRVoltage" << -1;
        QTest::newRow("list last item") << 79 << 27 << "cbIRVoltage" << 27;
        QTest::newRow("list -5 takes none") << 154 << -5 << "cbOutputRange" << -1;
        QTest::newRow("placeholder list item 0") << 71 << 0 << "cbInputRange" << 0;
        QTest::newRow("placeholder list 1") << 71 << 1 << "cbInputRange" << -1;
    }

    void clamping()
    {
        QFETCH(int, offset);
        QFETCH(int, stored);
        QFETCH(QString, field);
        QFETCH(int, expected);
        QByteArray bytes = setupFileBytes(Setup());
        putInt(bytes, offset, stored);
        Setup read;
        QVERIFY(readBytes(bytes, read));
        int actual = -2;
        for (int i = 0; i < ListCount; ++i)
            if (Texts::name(ListId(i)) == field)
                actual = read.list(ListId(i));
        for (int i = 0; i < ChoiceCount; ++i)
            if (Texts::name(ChoiceId(i)) == field)
                actual = read.choice(ChoiceId(i));
        QCOMPARE(actual, expected);
    }

    void textFields_data()
    {
        QTest::addColumn<QByteArray>("field"); // 7 bytes at offset 136
        QTest::addColumn<QString>("text");
        QTest::newRow("leftover bytes after the zero") << QByteArray("-5.5\0xy", 7) << "-5.5";
        QTest::newRow("empty") << QByteArray("\0abcdef", 7) << "";
        QTest::newRow("no zero byte gives 7 characters") << QByteArray("1234567", 7) << "1234567";
        QTest::newRow("degree sign byte") << QByteArray("12\xB0\0\0\0\0", 7) << "12°";
        QTest::newRow("euro sign byte") << QByteArray("\x80\0\0\0\0\0\0", 7) << "€";
    }

    void textFields()
    {
        QFETCH(QByteArray, field);
        QFETCH(QString, text);
        QByteArray bytes = setupFileBytes(Setup());
        bytes.replace(136, 7, field);
        bytes[135] = 2; // any non-zero byte shows the speed choice
        Setup read;
        QVERIFY(readBytes(bytes, read));
        QCOMPARE(read.eCustomLow, text);
        QCOMPARE(read.eCustomHigh, QString());
        QVERIFY(read.conversionSpeedShown);

        // Written back, a text is cut to 6 characters and keeps its terminator.
        const QByteArray again = setupFileBytes(read);
        QCOMPARE(again.size(), SetupFileSize);
        QCOMPARE(again.at(142), '\0');
        QCOMPARE(again.at(135), '\1');
        Setup reread;
        QVERIFY(readBytes(again, reread));
        QCOMPARE(reread.eCustomLow, text.left(6));
    }

    // Every byte from 0x20 up comes back as it was read, the five bytes that
    // Windows-1252 leaves undefined included; the others of 0x80 to 0x9F read as
    // the code page's characters, not as control characters.
    void everyTextByteRoundTrips()
    {
        const QByteArray undefined("\x81\x8D\x8F\x90\x9D");
        for (int b = 0x20; b <= 0xFF; ++b) {
            QByteArray bytes = setupFileBytes(Setup());
            bytes[136] = char(b);
            bytes[143] = char(b);
            bytes[144] = char(b);
            Setup read;
            QVERIFY(readBytes(bytes, read));
            QCOMPARE(read.eCustomLow.size(), 1);
            QCOMPARE(read.eCustomHigh, QString(2, read.eCustomLow.at(0)));
            if (b >= 0x80 && b < 0xA0 && !undefined.contains(char(b)))
                QVERIFY2(read.eCustomLow.at(0).unicode() > 0xFF, qPrintable(QString::number(b, 16)));
            QCOMPARE(setupFileBytes(read).toHex(), bytes.toHex());
        }
    }

    void refusedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = setupFileBytes(Setup());
        QByteArray lower = good;
        lower.replace(0, 62, good.left(62).toLower());
        QTest::newRow("lower-case signature") << lower;
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("signature only") << good.left(63);
        QTest::newRow("one byte short") << good.left(217);
        QByteArray noZero = good;
        noZero[62] = ' ';
        QTest::newRow("signature without its zero") << noZero;
        QTest::newRow("text file") << QByteArray("just some text\n");
    }

    void refusedFiles()
    {
        QFETCH(QByteArray, bytes);
        const Setup before = fullSetup();
        Setup read = before;
        QVERIFY(!readBytes(bytes, read));
        QCOMPARE(read, before); // nothing of a refused file is used

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.hvx"));
        writeFile(path, bytes);
        QCOMPARE(loadSetupFile(path, read), LoadStatus::NotSetupFile);
        QCOMPARE(read, before);
        QCOMPARE(loadSetupFile(dir.filePath(QStringLiteral("missing.hvx")), read), LoadStatus::CannotOpen);
    }

    void specialFilesRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("fifo") << "fifo"; // opening one that no one writes would wait for ever
        QTest::newRow("folder") << "folder";
        QTest::newRow("device") << "/dev/zero";
    }

    void specialFilesRefused()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QByteArray path = kind.startsWith('/') ? kind.toUtf8() : QFile::encodeName(dir.filePath("x.hvx"));
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(path.constData(), 0600), 0);
        else if (kind == QLatin1String("folder"))
            QCOMPARE(::mkdir(path.constData(), 0700), 0);
        Setup read;
        QCOMPARE(loadSetupFile(QFile::decodeName(path), read), LoadStatus::CannotOpen);
        QCOMPARE(loadSetupFileNative(path, read), LoadStatus::CannotOpen);
        QCOMPARE(read, Setup());
    }

    void longerFileAccepted()
    {
        Setup s = fullSetup();
        QByteArray bytes = setupFileBytes(s) + QByteArray(82, '\xff');
        QCOMPARE(bytes.size(), 300);
        Setup read;
        QVERIFY(readBytes(bytes, read));
        QCOMPARE(read, s);
    }

    // A save over an existing file in a folder that cannot be written reports
    // failure and leaves that file whole, with nothing beside it (a save that
    // runs out of room: saveWithoutRoom).
    void saveKeepsOldFileOnFailure()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("plant.hvx"));
        QVERIFY(saveSetupFile(path, fullSetup()));
        const QByteArray at = QFile::encodeName(dir.path());
        struct Restore {
            QByteArray at;
            bool mounted = false;
            ~Restore()
            {
                if (mounted)
                    umount2(at.constData(), MNT_DETACH);
                ::chmod(at.constData(), 0700);
            }
        } restore{ at };

        if (geteuid() == 0) {
            // Permissions do not stop root: a small file system of its own, made
            // read-only once the file is in it.
            if (mount("tmpfs", at.constData(), "tmpfs", 0, "size=64k") != 0)
                QSKIP(qPrintable(QStringLiteral("no tmpfs could be mounted: ")
                                 + QString::fromLocal8Bit(strerror(errno))));
            restore.mounted = true;
            QVERIFY(saveSetupFile(path, fullSetup()));
            QCOMPARE(mount("tmpfs", at.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
        } else {
            QCOMPARE(::chmod(at.constData(), 0500), 0);
        }
        QVERIFY(!saveSetupFile(path, Setup()));

        Setup read;
        QCOMPARE(loadSetupFile(path, read), LoadStatus::Ok);
        QCOMPARE(read, fullSetup());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{ QStringLiteral("plant.hvx") });
    }

    void saveRefusesOtherKinds()
    {
        QTemporaryDir dir;
        Setup read;
        // A folder in the place of the file: the save fails and the folder and
        // what it holds stay as they were.
        const QString folder = dir.filePath(QStringLiteral("taken.hvx"));
        const QString inside = folder + QStringLiteral("/inside.hvx");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(saveSetupFile(inside, fullSetup()));
        QVERIFY(!saveSetupFile(folder, Setup()));
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(loadSetupFile(inside, read), LoadStatus::Ok);
        QCOMPARE(read, fullSetup());
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{ QStringLiteral("inside.hvx") });
        QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty()); // no temporary left
        // A pipe in the file's place is not replaced.
        const QString pipe = dir.filePath(QStringLiteral("pipe.hvx"));
        QVERIFY(mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
        QVERIFY(!saveSetupFile(pipe, fullSetup()));
        QVERIFY(!QFileInfo(pipe).isFile());
        QVERIFY(QFile::remove(pipe));
        // Saving into a folder that does not exist fails too.
        QVERIFY(!saveSetupFile(dir.filePath(QStringLiteral("no/such/folder/x.hvx")), Setup()));
    }

    void saveWithoutRoom_data()
    {
        QTest::addColumn<bool>("fullDisk");
        QTest::newRow("full file system") << true;
        QTest::newRow("file size limit") << false;
    }

    // A save that cannot write all 218 bytes reports failure and leaves the old
    // file whole, with no temporary file beside it.
    void saveWithoutRoom()
    {
        QFETCH(bool, fullDisk);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        struct Unmount {
            QByteArray at;
            ~Unmount()
            {
                if (!at.isEmpty())
                    umount2(at.constData(), MNT_DETACH);
            }
        } unmount; // before the folder goes
        if (fullDisk) {
            if (geteuid() != 0)
                QSKIP("mounting a small file system needs root");
            const QByteArray at = QFile::encodeName(dir.path());
            if (mount("tmpfs", at.constData(), "tmpfs", 0, "size=64k") != 0)
                QSKIP(qPrintable(QStringLiteral("no tmpfs could be mounted: ")
                                 + QString::fromLocal8Bit(strerror(errno))));
            unmount.at = at;
        }
        const QString path = dir.filePath(QStringLiteral("plant.hvx"));
        QVERIFY(saveSetupFile(path, fullSetup()));
        if (fullDisk) {
            QFile filler(dir.filePath(QStringLiteral("filler")));
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const QByteArray block(4096, 'x');
            while (filler.write(block) > 0) {
            }
        }

        const QString fresh = dir.filePath(QStringLiteral("fresh.hvx"));
        const rlim_t limit = fullDisk ? RLIM_INFINITY : 100;
        QCOMPARE(inChild(limit, [&] { return saveSetupFile(path, Setup()); }), 0);
        QCOMPARE(inChild(limit, [&] { return saveSetupFile(fresh, Setup()); }), 0);

        Setup read;
        QCOMPARE(loadSetupFile(path, read), LoadStatus::Ok);
        QCOMPARE(read, fullSetup());
        QStringList left = QDir(dir.path()).entryList(QDir::Files);
        left.removeAll(QStringLiteral("filler"));
        QCOMPARE(left, QStringList{ QStringLiteral("plant.hvx") });
    }
};

QTEST_APPLESS_MAIN(TestSetupFile)
#include "tst_setupfile_format.moc"
