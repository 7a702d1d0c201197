// Which arguments are the program's own options: the arguments that name a
// setup file reach the window unchanged, but for a leading "--". (What the
// options answer is checked on the real program by commandline.sh.)

#include "commandline.h"

#include <QtTest>

#include <vector>

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void fileArguments_data();
    void fileArguments();
};

void TestCommandLine::fileArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("file") << QStringList{ "a.hvx" } << QStringList{ "a.hvx" };
    QTest::newRow("single dash is a file") << QStringList{ "-a.hvx" } << QStringList{ "-a.hvx" };
    QTest::newRow("path in pieces") << QStringList{ "/tmp/My", "--help", "x.hvx" }
                                    << QStringList{ "/tmp/My", "--help", "x.hvx" };
    QTest::newRow("separator") << QStringList{ "--", "--old", "a.hvx" } << QStringList{ "--old", "a.hvx" };
    QTest::newRow("separator alone") << QStringList{ "--" } << QStringList{};
}

void TestCommandLine::fileArguments()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, left);
    std::vector<QByteArray> storage{ QByteArray("halvex") };
    for (const QString &a : args)
        storage.push_back(a.toUtf8());
    std::vector<char *> argv;
    for (QByteArray &s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(storage.size());

    QVERIFY(!hvx::answerCommandLine(argc, argv.data()));
    QStringList seen;
    for (int i = 1; i < argc; ++i)
        seen << QString::fromUtf8(argv[static_cast<size_t>(i)]);
    QCOMPARE(seen, left);
    QCOMPARE(argv[static_cast<size_t>(argc)], nullptr);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_app_commandline.moc"
