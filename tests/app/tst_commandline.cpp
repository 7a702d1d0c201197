// The program's own options: which arguments are options, what they answer,
// and that the arguments naming a setup file reach the window unchanged.

#include "commandline.h"
#include "halvexversion.h"

#include <QtTest>

#include <cstdio>
#include <vector>

namespace {

QByteArray readBack(std::FILE *f)
{
    std::rewind(f);
    QByteArray bytes;
    char buf[256];
    while (const size_t n = std::fread(buf, 1, sizeof buf, f))
        bytes.append(buf, static_cast<qsizetype>(n));
    return bytes;
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void answer_data();
    void answer();
};

void TestCommandLine::answer_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status"); // -1: the window starts
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<bool>("complains");
    const QByteArray none;
    QTest::newRow("file") << QStringList{ "a.hvx" } << -1 << QStringList{ "a.hvx" } << none << false;
    QTest::newRow("single dash is a file") << QStringList{ "-a.hvx" } << -1 << QStringList{ "-a.hvx" } << none << false;
    QTest::newRow("path in pieces") << QStringList{ "/tmp/My", "--help", "x.hvx" } << -1
                                    << QStringList{ "/tmp/My", "--help", "x.hvx" } << none << false;
    QTest::newRow("separator") << QStringList{ "--", "--old", "a.hvx" } << -1 << QStringList{ "--old", "a.hvx" }
                               << none << false;
    QTest::newRow("separator alone") << QStringList{ "--" } << -1 << QStringList{} << none << false;
    QTest::newRow("version") << QStringList{ "--version", "a.hvx" } << 0 << QStringList()
                             << QByteArray("halvex " HALVEX_VERSION "\n") << false;
    QTest::newRow("unknown") << QStringList{ "--bogus", "--help" } << 2 << QStringList() << none << true;
}

void TestCommandLine::answer()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QStringList, left);
    QFETCH(QByteArray, out);
    QFETCH(bool, complains);

    std::vector<QByteArray> storage{ QByteArray("halvex") };
    for (const QString &a : args)
        storage.push_back(a.toUtf8());
    std::vector<char *> argv;
    for (QByteArray &s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(storage.size());

    std::FILE *outFile = std::tmpfile();
    std::FILE *errFile = std::tmpfile();
    QVERIFY(outFile && errFile);
    const std::optional<int> result = hvx::answerCommandLine(argc, argv.data(), outFile, errFile);
    const QByteArray printed = readBack(outFile);
    const QByteArray complaint = readBack(errFile);
    std::fclose(outFile);
    std::fclose(errFile);

    QCOMPARE(result.value_or(-1), status);
    QCOMPARE(printed, out);
    QCOMPARE(!complaint.isEmpty(), complains);
    if (complains)
        QVERIFY(complaint.contains("--bogus"));
    if (!result) {
        QStringList seen;
        for (int i = 1; i < argc; ++i)
            seen << QString::fromUtf8(argv[static_cast<size_t>(i)]);
        QCOMPARE(seen, left);
        QCOMPARE(argv[static_cast<size_t>(argc)], nullptr);
    }
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
