// halvex-eval --decode and --verify run as a user would.

#include "evalrun.h"
#include "setupfile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace hvx;
using namespace evaltest;
using namespace Qt::StringLiterals;

namespace {

QString switchesText(const QJsonValue &switches)
{
    QStringList parts;
    for (int b = 1; b <= 4; ++b)
        parts << u"S%1="_s.arg(b) + switches[u"S%1"_s.arg(b)].toString();
    return parts.join(u',');
}

const QString voltage = u"S1=010101001100,S2=001010100000,S3=101010000000,S4=000000000000"_s;
const QString voltageOneOff = u"S1=010101001100,S2=001010100000,S3=101010000000,S4=000000000001"_s;
const QString voltageFile = QStringLiteral(EXAMPLES_DIR "/voltage-0-10V-to-4-20mA.hvx");

} // namespace

class TestCliDecode : public QObject {
    Q_OBJECT

private slots:
    // The switches of every example file decode to its own setup.
    void examplesReadBack()
    {
        QStringList args{ u"--json"_s };
        for (const QString &f : QDir(QStringLiteral(EXAMPLES_DIR)).entryList({ u"*.hvx"_s }))
            args << QStringLiteral(EXAMPLES_DIR "/") + f;
        const QList<QJsonObject> evaluated = runEval(args).lines();
        QCOMPARE(evaluated.size(), args.size() - 1);
        args = QStringList{ u"--decode"_s, u"--json"_s };
        for (const QJsonObject &e : evaluated)
            args << switchesText(e[u"switches"_s]);
        const Run r = runEval(args);
        QCOMPARE(r.exitCode, 0);
        const QList<QJsonObject> decoded = r.lines();
        QCOMPARE(decoded.size(), evaluated.size());
        for (int i = 0; i < decoded.size(); ++i) {
            QCOMPARE(decoded[i][u"status"_s].toString(), u"exact"_s);
            QCOMPARE(decoded[i][u"total"_s].toInt(), 1);
            const QJsonObject setup = decoded[i][u"setups"_s][0].toObject();
            QCOMPARE(setup[u"switches"_s], evaluated[i][u"switches"_s]);
            QCOMPARE(setup[u"differs"_s].toArray().size(), 0);
            QCOMPARE(setup[u"fields"_s].toObject().size(), 37);
            QJsonObject want = evaluated[i][u"summary"_s].toObject();
            QJsonObject got = setup[u"summary"_s].toObject();
            // A custom range reads back as the listed range it was fitted to.
            const QString input1 = want[u"input1"_s].toString();
            if (input1.contains(u"Custom range"_s)) {
                want[u"input1"_s] = input1.section(u", "_s, 0, 0) + u", "_s + input1.section(u"(using "_s, 1).chopped(2)
                    + u'.';
                QCOMPARE(setup[u"fields"_s][u"eCustomLow"_s].toString(), QString());
            }
            QCOMPARE(got, want);
        }
    }

    // Switches no setup gives: distance, total and the listing.
    void nearestSetups()
    {
        const QString farOff = u"S1=101110110101,S2=010001000000,S3=110010010011,S4=100000000101"_s;
        // The exit status tells of every unit, not only of the last.
        const Run r = runEval({ u"--decode"_s, u"--json"_s, voltageOneOff, farOff, voltage });
        QCOMPARE(r.exitCode, 1);
        const QList<QJsonObject> lines = r.lines();
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[2][u"status"_s].toString(), u"exact"_s);

        QCOMPARE(lines[0][u"status"_s].toString(), u"nearest"_s);
        QCOMPARE(lines[0][u"setups"_s][0][u"differs"_s].toArray(), QJsonArray{ u"S4.12"_s });
        QCOMPARE(switchesText(lines[0][u"setups"_s][0][u"switches"_s]), voltage);

        QCOMPARE(switchesText(lines[1][u"switches"_s]), farOff);
        QCOMPARE(lines[1][u"distance"_s].toInt(), 8);
        QCOMPARE(lines[1][u"total"_s].toInt(), 40);
        QCOMPARE(lines[1][u"setups"_s].toArray().size(), 20);
        QCOMPARE(lines[1][u"setups"_s][19][u"differs"_s].toArray().size(), 8);
    }

    void malformedArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("fault");
        const auto decode = [](const QString &s) { return QStringList{ u"--decode"_s, u"--json"_s, voltage, s }; };
        QTest::newRow("bank missing") << decode(u"S1=000000000000,S2=000000000000,S4=000000000000"_s)
                                      << u"S3 is missing"_s;
        QTest::newRow("bank twice") << decode(voltage + u",S2=000000000000"_s) << u"S2 is given twice"_s;
        QTest::newRow("no such bank") << decode(QString(voltage).replace(u"S4="_s, u"S0="_s))
                                      << u"no bank named \"S0\""_s;
        QTest::newRow("no bank name") << decode(QString(voltage).replace(u"S4="_s, u"="_s)) << u"no bank named \"\""_s;
        QTest::newRow("eleven positions")
            << decode(QString(voltage).replace(u"S2=0"_s, u"S2="_s)) << u"bank S2 must be 12 characters"_s;
        QTest::newRow("thirteen positions")
            << decode(QString(voltage).replace(u"S2="_s, u"S2=0"_s)) << u"bank S2 must be 12 characters"_s;
        QTest::newRow("not 0 or 1") << decode(QString(voltage).replace(u"S3=1"_s, u"S3=x"_s))
                                    << u"bank S3 must be 12"_s;
        QTest::newRow("not a bank setting") << decode(u"010101001100"_s) << u"not a bank setting"_s;
        QTest::newRow("verify bad switches")
            << QStringList{ u"--verify"_s, voltageFile, u"S1=1"_s } << u"bank S1 must"_s;
        QTest::newRow("verify without switches") << QStringList{ u"--verify"_s, voltageFile } << u"--verify needs"_s;
        QTest::newRow("verify, switches first") << QStringList{ u"--verify"_s, voltage, voltageFile }
                                                << u"--verify takes the FILE first, then the SWITCHES"_s;
        QTest::newRow("decode and verify")
            << QStringList{ u"--decode"_s, u"--verify"_s, voltage } << u"exclude each other"_s;
        QTest::newRow("decode with a table option")
            << QStringList{ u"--decode"_s, u"--json"_s, u"--into"_s, u"out"_s, voltage }
            << u"--into is not for --decode"_s;
        QTest::newRow("decode with an option of setup files")
            << QStringList{ u"--decode"_s, u"--json"_s, u"--pdf"_s, u"out.pdf"_s, voltage }
            << u"--pdf is for setup files, not with --decode or --verify"_s;
        QTest::newRow("setup files with a table option")
            << QStringList{ u"--force"_s, voltageFile } << u"--force, --update and --dry-run are for --make"_s;
    }

    // A malformed argument is named on standard error before anything is reported.
    void malformedArguments()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, fault);
        const Run r = runEval(args);
        QCOMPARE(r.exitCode, 64);
        QCOMPARE(r.out, QByteArray());
        QVERIFY2(r.err.contains(fault), qPrintable(r.err));
        if (args.size() == 4) // the argument at fault is named
            QVERIFY(r.err.contains(args.last() + u": "_s));
    }

    void verify_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("switches"); // | separates arguments
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("differs"); // position=unit/setup
        QTest::addColumn<QString>("message");

        QTest::newRow("match") << voltageFile << voltage << "match" << 0 << QStringList() << QString();
        QTest::newRow("differ") << voltageFile
                                << QString(voltage).replace(u"S3=1"_s, u"S3=0"_s).replace(u"S2=0"_s, u"S2=1"_s)
                                << "differ" << 1 << QStringList{ u"S2.1=on/off"_s, u"S3.1=off/on"_s }
                                << u"2 switches of the unit differ from the setup file: S2.1 is on, the setup needs "
                                   "it off; S3.1 is off, the setup needs it on."_s;
        QTest::newRow("S4 on in single output")
            << voltageFile << voltageOneOff << "differ" << 1 << QStringList{ u"S4.12=on/off"_s }
            << u"1 switch of the unit differs from the setup file: S4.12 is on, the setup needs it off. S4 is unused "
               "in single output and must be all off."_s;
        QTest::newRow("lower case, blanks after commas, unquoted")
            << voltageFile << QString(voltage).replace(u"S"_s, u"s"_s).replace(u","_s, u",| "_s) << "match" << 0
            << QStringList() << QString();
        QTest::newRow("pieces starting with commas")
            << voltageFile << QString(voltage).replace(u","_s, u"|,"_s) << "match" << 0 << QStringList() << QString();
        QTest::newRow("refused") << "REFUSED" << voltage << "refused" << 1 << QStringList()
                                 << u"Please select output 1 range"_s;
        QTest::newRow("error") << "MISSING" << voltage << "error" << 2 << QStringList()
                               << u"MISSING could not be opened: No such file or directory"_s;
    }

    void verify()
    {
        QFETCH(QString, file);
        QFETCH(QString, switches);
        QFETCH(QString, status);
        QFETCH(int, exitCode);
        QFETCH(QStringList, differs);
        QFETCH(QString, message);
        QTemporaryDir dir;
        if (file == u"REFUSED"_s) {
            file = dir.filePath(u"refused.hvx"_s);
            Setup s;
            s.cbInputType = 0;
            s.cbIRVoltage = 6;
            QVERIFY(saveSetupFile(file, s));
        } else if (file == u"MISSING"_s) {
            file = dir.filePath(u"missing.hvx"_s);
            message.replace(u"MISSING"_s, file);
        }
        const Run r = runEval(QStringList{ u"--verify"_s, u"--json"_s, file } + switches.split(u'|'));
        QCOMPARE(r.exitCode, exitCode);
        const QList<QJsonObject> lines = r.lines();
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0][u"file"_s].toString(), file);
        QCOMPARE(lines[0][u"status"_s].toString(), status);
        QStringList shownDiffers;
        for (const QJsonValue &d : lines[0][u"differs"_s].toArray())
            shownDiffers << d[u"bank"_s].toString() + u'.' + QString::number(d[u"switch"_s].toInt()) + u'='
                    + d[u"unit"_s].toString() + u'/' + d[u"setup"_s].toString();
        QCOMPARE(shownDiffers, differs);
        QCOMPARE(lines[0][u"swapped"_s].toArray(), QJsonArray());
        if (!message.isEmpty())
            QCOMPARE(lines[0][u"message"_s].toString(), message);
        // The readable report: the setup in words once the file was read, its
        // switches only when the unit differs.
        const QString text = runEval(QStringList{ u"--verify"_s, file } + switches.split(u'|')).text();
        QVERIFY2(text.section(u'\n', 1, 1).startsWith(u"  "_s + status + u": "_s + message), qPrintable(text));
        QCOMPARE(text.contains(u"\n  Input: "_s), status == u"match"_s || status == u"differ"_s);
        QCOMPARE(text.contains(u"The file's switches"_s), status == u"differ"_s);
    }

    // The readable reports: the setup in words and the differing switches marked.
    void textReports()
    {
        const Run d = runEval({ u"--decode"_s, voltageOneOff });
        QCOMPARE(d.exitCode, 1);
        const QString text = d.text();
        QVERIFY(text.startsWith(voltageOneOff + u'\n')); // the switches as read off the unit
        QVERIFY(text.contains(u"Voltage, 0 to 10 V."_s));
        QVERIFY(text.contains(u"Setup 1 of 1, differs at S4.12:"_s));
        QVERIFY(text.contains(u"  nearest: no setup gives these switches; 1 setup differs in 1 position.\n"_s));
        QVERIFY(!text.contains(u"shown)"_s)); // the one nearest setup is all there is
        QVERIFY(text.contains(QRegularExpression(u"\n  S4 +(   \\.){11}  \\*\\.\n"_s)));

        // A unit set as another setup is told which one.
        const QString trip = switchesText(
            runEval({ u"--json"_s, QStringLiteral(EXAMPLES_DIR "/trip-relay.hvx") }).lines().value(0)[u"switches"_s]);
        const QString other = runEval({ u"--verify"_s, voltageFile, trip }).text();
        QVERIFY2(other.contains(u"The unit's switches are those of\n"_s) && other.contains(u"Trip relay"_s),
                 qPrintable(other));
    }
};

QTEST_GUILESS_MAIN(TestCliDecode)
#include "tst_cli_decode.moc"
