// halvex-eval --decode and --verify run as a user would.

#include "setupfile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace hvx;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

Run runEval(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(HALVEX_EVAL), args);
    if (!p.waitForFinished(30000))
        return {};
    return { p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError()) };
}

QList<QJsonObject> jsonLines(const QByteArray &out)
{
    QList<QJsonObject> objects;
    for (const QByteArray &line : out.split('\n')) {
        if (!line.isEmpty())
            objects << QJsonDocument::fromJson(line).object();
    }
    return objects;
}

QString switchesText(const QJsonObject &switches)
{
    QStringList parts;
    for (int b = 1; b <= 4; ++b)
        parts << QStringLiteral("S%1=").arg(b) + switches.value(QStringLiteral("S%1").arg(b)).toString();
    return parts.join(QLatin1Char(','));
}

const QString voltage = QStringLiteral("S1=010101001100,S2=001010100000,S3=101010000000,S4=000000000000");

} // namespace

class TestCliDecode : public QObject {
    Q_OBJECT

private slots:
    void examplesReadBack();
    void nearestSetups();
    void malformedArguments_data();
    void malformedArguments();
    void verify_data();
    void verify();
    void textReports();

private:
    QTemporaryDir m_dir;
};

// The switches of every example file decode to its own setup.
void TestCliDecode::examplesReadBack()
{
    QStringList files = QDir(QStringLiteral(EXAMPLES_DIR)).entryList({ QStringLiteral("*.hvx") });
    for (QString &f : files)
        f = QStringLiteral(EXAMPLES_DIR "/") + f;
    const QList<QJsonObject> evaluated = jsonLines(runEval(QStringList{ QStringLiteral("--json") } << files).out);
    QCOMPARE(evaluated.size(), files.size());
    QStringList args{ QStringLiteral("--decode"), QStringLiteral("--json") };
    for (const QJsonObject &e : evaluated)
        args << switchesText(e.value(QStringLiteral("switches")).toObject());
    const Run r = runEval(args);
    QCOMPARE(r.exitCode, 0);
    const QList<QJsonObject> decoded = jsonLines(r.out);
    QCOMPARE(decoded.size(), files.size());
    for (int i = 0; i < files.size(); ++i) {
        const QJsonObject d = decoded.at(i);
        QCOMPARE(d.value(QStringLiteral("status")).toString(), QStringLiteral("exact"));
        QCOMPARE(d.value(QStringLiteral("total")).toInt(), 1);
        const QJsonObject setup = d.value(QStringLiteral("setups")).toArray().at(0).toObject();
        QCOMPARE(setup.value(QStringLiteral("switches")), evaluated.at(i).value(QStringLiteral("switches")));
        QCOMPARE(setup.value(QStringLiteral("differs")).toArray().size(), 0);
        QCOMPARE(setup.value(QStringLiteral("fields")).toObject().size(), 37);
        QJsonObject want = evaluated.at(i).value(QStringLiteral("summary")).toObject();
        QJsonObject got = setup.value(QStringLiteral("summary")).toObject();
        // A custom range reads back as the listed range it was fitted to.
        const QString input1 = want.value(QStringLiteral("input1")).toString();
        if (input1.contains(QStringLiteral("Custom range"))) {
            const QString used = input1.section(QStringLiteral("(using "), 1).chopped(2);
            QVERIFY(got.value(QStringLiteral("input1")).toString().endsWith(QStringLiteral(", ") + used + QLatin1Char('.')));
            want.remove(QStringLiteral("input1"));
            got.remove(QStringLiteral("input1"));
        }
        QCOMPARE(got, want);
    }
}

// Switches no setup gives: distance, total, the listing and its differences.
void TestCliDecode::nearestSetups()
{
    const QString oneOff = QString(voltage).replace(QStringLiteral("S4=000000000000"), QStringLiteral("S4=000000000001"));
    const QString farOff = QStringLiteral("S1=101110110101,S2=010001000000,S3=110010010011,S4=100000000101");
    const Run r = runEval({ QStringLiteral("--decode"), QStringLiteral("--json"), voltage, oneOff, farOff });
    QCOMPARE(r.exitCode, 1);
    const QList<QJsonObject> lines = jsonLines(r.out);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0).value(QStringLiteral("status")).toString(), QStringLiteral("exact"));

    const QJsonObject one = lines.at(1);
    QCOMPARE(one.value(QStringLiteral("status")).toString(), QStringLiteral("nearest"));
    QCOMPARE(one.value(QStringLiteral("distance")).toInt(), 1);
    QCOMPARE(one.value(QStringLiteral("total")).toInt(), 1);
    const QJsonObject fixed = one.value(QStringLiteral("setups")).toArray().at(0).toObject();
    QCOMPARE(fixed.value(QStringLiteral("differs")).toArray(), QJsonArray{ QStringLiteral("S4.12") });
    QCOMPARE(switchesText(fixed.value(QStringLiteral("switches")).toObject()), voltage);

    const QJsonObject far = lines.at(2);
    QCOMPARE(switchesText(far.value(QStringLiteral("switches")).toObject()), farOff);
    QCOMPARE(far.value(QStringLiteral("distance")).toInt(), 8);
    QCOMPARE(far.value(QStringLiteral("total")).toInt(), 40);
    const QJsonArray setups = far.value(QStringLiteral("setups")).toArray();
    QCOMPARE(setups.size(), 20);
    for (const QJsonValue &v : setups) {
        // The differences are exactly the positions where the setup's own
        // switches and the argument disagree, bank by bank.
        const QString own = switchesText(v.toObject().value(QStringLiteral("switches")).toObject());
        QStringList expected;
        for (int b = 0; b < 4; ++b)
            for (int p = 0; p < 12; ++p)
                if (own.at(b * 16 + 3 + p) != farOff.at(b * 16 + 3 + p))
                    expected << QStringLiteral("S%1.%2").arg(b + 1).arg(p + 1);
        QStringList differs;
        for (const QJsonValue &d : v.toObject().value(QStringLiteral("differs")).toArray())
            differs << d.toString();
        QCOMPARE(differs, expected);
    }
}

void TestCliDecode::malformedArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("fault");
    const QString good = voltage;
    const auto decode = [](const QString &s) { return QStringList{ QStringLiteral("--decode"), QStringLiteral("--json"), voltage, s }; };
    QTest::newRow("bank missing") << decode(QStringLiteral("S1=000000000000,S2=000000000000,S4=000000000000"))
                                  << QStringLiteral("S3 is missing");
    QTest::newRow("bank twice") << decode(good + QStringLiteral(",S2=000000000000")) << QStringLiteral("S2 is given twice");
    QTest::newRow("no such bank") << decode(QString(good).replace(QStringLiteral("S4="), QStringLiteral("S0=")))
                                  << QStringLiteral("no bank named \"S0\"");
    QTest::newRow("eleven positions") << decode(QString(good).replace(QStringLiteral("S2=001010100000"), QStringLiteral("S2=00101010000")))
                                      << QStringLiteral("bank S2 must be 12 characters");
    QTest::newRow("not 0 or 1") << decode(QString(good).replace(QStringLiteral("S3=101010000000"), QStringLiteral("S3=10101000000x")))
                                << QStringLiteral("bank S3 must be 12 characters");
    QTest::newRow("not a bank setting") << decode(QStringLiteral("010101001100")) << QStringLiteral("not a bank setting");
    QTest::newRow("verify bad switches")
        << QStringList{ QStringLiteral("--verify"), QStringLiteral(EXAMPLES_DIR "/trip-relay.hvx"), QStringLiteral("S1=1") }
        << QStringLiteral("bank S1 must be 12 characters");
    QTest::newRow("verify without switches")
        << QStringList{ QStringLiteral("--verify"), QStringLiteral(EXAMPLES_DIR "/trip-relay.hvx") } << QStringLiteral("--verify needs");
    QTest::newRow("decode and verify") << QStringList{ QStringLiteral("--decode"), QStringLiteral("--verify"), good }
                                       << QStringLiteral("exclude each other");
}

// A malformed argument is named on standard error before anything is reported.
void TestCliDecode::malformedArguments()
{
    QFETCH(QStringList, args);
    QFETCH(QString, fault);
    const Run r = runEval(args);
    QCOMPARE(r.exitCode, 64);
    QCOMPARE(r.out, QByteArray());
    QVERIFY2(r.err.contains(fault), qPrintable(r.err));
    if (args.size() > 3)
        QVERIFY(r.err.contains(args.last()));
}

void TestCliDecode::verify_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("switches");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("differs");
    QTest::addColumn<QString>("message");

    const QString example = QStringLiteral(EXAMPLES_DIR "/voltage-0-10V-to-4-20mA.hvx");
    QTest::newRow("match") << example << voltage << "match" << 0 << QStringList() << QString();
    QTest::newRow("differ") << example
                            << QString(voltage).replace(QStringLiteral("S3=1"), QStringLiteral("S3=0")).replace(QStringLiteral("S2=0"), QStringLiteral("S2=1"))
                            << "differ" << 1 << QStringList{ QStringLiteral("S2.1"), QStringLiteral("S3.1") } << QString();
    QTest::newRow("refused") << "REFUSED" << voltage << "refused" << 1 << QStringList()
                             << QStringLiteral("Please select output 1 range");
    QTest::newRow("error") << "MISSING" << voltage << "error" << 2 << QStringList()
                           << QStringLiteral("MISSING could not be opened.");
}

void TestCliDecode::verify()
{
    QFETCH(QString, file);
    QFETCH(QString, switches);
    QFETCH(QString, status);
    QFETCH(int, exitCode);
    QFETCH(QStringList, differs);
    QFETCH(QString, message);
    QVERIFY(m_dir.isValid());
    if (file == QLatin1String("REFUSED")) {
        Setup s;
        s.cbInputType = 0;
        s.cbIRVoltage = 6;
        file = m_dir.filePath(QStringLiteral("refused.hvx"));
        QVERIFY(SaveSetupFile(file, s));
    } else if (file == QLatin1String("MISSING")) {
        file = m_dir.filePath(QStringLiteral("missing.hvx"));
        message.replace(QStringLiteral("MISSING"), file);
    }
    const Run r = runEval({ QStringLiteral("--verify"), QStringLiteral("--json"), file, switches });
    QCOMPARE(r.exitCode, exitCode);
    const QList<QJsonObject> lines = jsonLines(r.out);
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines.at(0).value(QStringLiteral("file")).toString(), file);
    QCOMPARE(lines.at(0).value(QStringLiteral("status")).toString(), status);
    QStringList got;
    for (const QJsonValue &d : lines.at(0).value(QStringLiteral("differs")).toArray())
        got << d.toString();
    QCOMPARE(got, differs);
    if (!message.isEmpty())
        QCOMPARE(lines.at(0).value(QStringLiteral("message")).toString(), message);
}

// The readable reports: the setup in words and the differing switches marked.
void TestCliDecode::textReports()
{
    const QString oneOff = QString(voltage).replace(QStringLiteral("S4=000000000000"), QStringLiteral("S4=000000000001"));
    const Run d = runEval({ QStringLiteral("--decode"), oneOff });
    QCOMPARE(d.exitCode, 1);
    const QString text = QString::fromUtf8(d.out);
    QVERIFY(text.contains(QStringLiteral("Voltage, 0 to 10 V.")));
    QVERIFY(text.contains(QStringLiteral("differs at S4.12")));
    QVERIFY(text.contains(QRegularExpression(QStringLiteral("\n  S4 +(   \\.){11}  \\*\\.\n"))));

    const Run v = runEval({ QStringLiteral("--verify"), QStringLiteral(EXAMPLES_DIR "/voltage-0-10V-to-4-20mA.hvx"), oneOff });
    QCOMPARE(v.exitCode, 1);
    QVERIFY(QString::fromUtf8(v.out).contains(QStringLiteral("differ: 1 switch of the unit differs from the setup file: S4.12.")));
}

QTEST_GUILESS_MAIN(TestCliDecode)
#include "test_cli_decode.moc"
