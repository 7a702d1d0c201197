// halvex-eval run as a user would: on files, in both output modes.

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
    QString out;
    QString err;
};

Run runEval(const QStringList &args, const QByteArray &locale = "C.UTF-8")
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(HALVEX_EVAL), args);
    if (!p.waitForFinished(30000))
        return {};
    return { p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError()) };
}

QList<QJsonObject> jsonLines(const QString &out)
{
    QList<QJsonObject> objects;
    for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(line.toUtf8(), &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject())
            return {};
        objects << doc.object();
    }
    return objects;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void exitStatus_data();
    void exitStatus();
    void helpAndVersion();
    void jsonReports();
    void customValuesReadBack();
    void textReport();
    void filesAreIndependent();
    void userLocaleDecimalSeparator();

private:
    QTemporaryDir m_dir;
    QString write(const QString &name, const Setup &s)
    {
        const QString path = m_dir.filePath(name);
        SaveSetupFile(path, s);
        return path;
    }
    QString good, refused, text, shortFile;
};

void TestCli::initTestCase()
{
    QVERIFY(m_dir.isValid());
    Setup s;
    s.cbInputType = 0;
    s.cbIRVoltage = 6;
    s.cbOutputRange = 1;
    good = write(QStringLiteral("good.hvx"), s);
    s.cbOutputRange = -1;
    refused = write(QStringLiteral("refused.hvx"), s);
    text = m_dir.filePath(QStringLiteral("notes.txt"));
    QFile t(text);
    QVERIFY(t.open(QIODevice::WriteOnly));
    t.write("hello\n");
    t.close();
    shortFile = m_dir.filePath(QStringLiteral("short.hvx"));
    QFile sf(shortFile);
    QVERIFY(sf.open(QIODevice::WriteOnly));
    sf.write(SetupFileBytes(Setup()).left(100));
}

void TestCli::exitStatus_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    const QString examples = QStringLiteral(EXAMPLES_DIR);
    QStringList all = QDir(examples).entryList({ QStringLiteral("*.hvx") });
    for (QString &f : all)
        f = examples + QLatin1Char('/') + f;
    QVERIFY(all.size() >= 6);
    QTest::newRow("examples") << all << 0;
    QTest::newRow("examples json") << (QStringList{ QStringLiteral("--json") } << all) << 0;
    QTest::newRow("refused") << QStringList{ QStringLiteral("--json"), QStringLiteral("GOOD"), QStringLiteral("REFUSED") } << 1;
    QTest::newRow("error wins") << QStringList{ QStringLiteral("REFUSED"), QStringLiteral("TEXT") } << 2;
    QTest::newRow("short file") << QStringList{ QStringLiteral("SHORT") } << 2;
    QTest::newRow("no files") << QStringList{ QStringLiteral("--json") } << 64;
    QTest::newRow("unknown option") << QStringList{ QStringLiteral("--jsn"), QStringLiteral("GOOD") } << 64;
    QTest::newRow("pdf without name") << QStringList{ QStringLiteral("GOOD"), QStringLiteral("--pdf") } << 64;
    QTest::newRow("pdf empty name") << QStringList{ QStringLiteral("--pdf="), QStringLiteral("GOOD") } << 64;
}

void TestCli::exitStatus()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    args.replaceInStrings(QStringLiteral("GOOD"), good);
    args.replaceInStrings(QStringLiteral("REFUSED"), refused);
    args.replaceInStrings(QStringLiteral("TEXT"), text);
    args.replaceInStrings(QStringLiteral("SHORT"), shortFile);
    const Run r = runEval(args);
    QCOMPARE(r.exitCode, status);
    if (status == 64)
        QVERIFY(r.err.contains(QStringLiteral("usage")));
}

void TestCli::helpAndVersion()
{
    const Run version = runEval({ QStringLiteral("--version"), QStringLiteral("--json") });
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QStringLiteral("halvex-eval 1.4\n"));
    const Run help = runEval({ QStringLiteral("--help") });
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.err.isEmpty());
    for (const char *option : { "--json", "--pdf OUT.pdf", "--help", "--version" })
        QVERIFY2(help.out.contains(QLatin1String(option)), option);
}

void TestCli::jsonReports()
{
    const QString missing = m_dir.filePath(QStringLiteral("missing.hvx"));
    const Run r = runEval({ QStringLiteral("--json"), good, refused, missing, text });
    const QList<QJsonObject> lines = jsonLines(r.out);
    QCOMPARE(lines.size(), 4);

    const QJsonObject ok = lines.at(0);
    QCOMPARE(ok.value(QStringLiteral("file")).toString(), good);
    QCOMPARE(ok.value(QStringLiteral("status")).toString(), QStringLiteral("ok"));
    QCOMPARE(ok.value(QStringLiteral("message")).toString(), QString());
    const QJsonObject sw = ok.value(QStringLiteral("switches")).toObject();
    QCOMPARE(sw.value(QStringLiteral("S1")).toString(), QStringLiteral("010101001100"));
    QCOMPARE(sw.value(QStringLiteral("S2")).toString(), QStringLiteral("001010100000"));
    QCOMPARE(sw.value(QStringLiteral("S3")).toString(), QStringLiteral("101010000000"));
    QCOMPARE(sw.value(QStringLiteral("S4")).toString(), QStringLiteral("000000000000"));
    QCOMPARE(ok.value(QStringLiteral("rangeIndex")).toInt(), 6);
    QVERIFY(ok.value(QStringLiteral("customLow")).isNull());
    const QJsonObject summary = ok.value(QStringLiteral("summary")).toObject();
    QCOMPARE(summary.value(QStringLiteral("input1")).toString(), QStringLiteral("Voltage, 0 to 10 V."));
    QCOMPARE(summary.value(QStringLiteral("input2")).toString(), QStringLiteral("Normal response."));
    QCOMPARE(summary.value(QStringLiteral("output1")).toString(),
             QStringLiteral("4 to 20 mA source, High Burnout 23mA, Inversion off, Buttons enabled, Square root off."));
    QVERIFY(summary.value(QStringLiteral("output2")).isNull());

    const QJsonObject ref = lines.at(1);
    QCOMPARE(ref.value(QStringLiteral("status")).toString(), QStringLiteral("refused"));
    QCOMPARE(ref.value(QStringLiteral("message")).toString(), QStringLiteral("Please select output 1 range"));
    QVERIFY(ref.value(QStringLiteral("switches")).isObject());
    QVERIFY(ref.value(QStringLiteral("rangeIndex")).isNull()); // stopped before the encoder
    QVERIFY(ref.value(QStringLiteral("summary")).isNull());

    QCOMPARE(lines.at(2).value(QStringLiteral("status")).toString(), QStringLiteral("error"));
    QCOMPARE(lines.at(2).value(QStringLiteral("message")).toString(), missing + QStringLiteral(" could not be opened."));
    QVERIFY(lines.at(2).value(QStringLiteral("switches")).isNull());
    QCOMPARE(lines.at(3).value(QStringLiteral("message")).toString(), text + QStringLiteral(" is not an HALVEX Switch File"));
    QVERIFY(lines.at(3).value(QStringLiteral("rangeIndex")).isNull());
}

void TestCli::customValuesReadBack()
{
    Setup s;
    s.cbInputType = 14;
    s.cbIRRTD = 16;
    s.eCustomLow = QStringLiteral("-40.1");
    s.eCustomHigh = QStringLiteral("0.1");
    s.cbOutputRange = 0;
    s.rgDualOutput = 1;
    s.rgDualType = 2;
    s.cbFreqOutputRange = 14;
    const QString path = write(QStringLiteral("custom.hvx"), s);
    s.eCustomHigh = QStringLiteral("x");
    const QString bad = write(QStringLiteral("custombad.hvx"), s);

    const QList<QJsonObject> lines = jsonLines(runEval({ QStringLiteral("--json"), path, bad }).out);
    QCOMPARE(lines.size(), 2);
    const QJsonObject o = lines.at(0);
    QCOMPARE(float(o.value(QStringLiteral("customLow")).toDouble()), -40.1f);
    QCOMPARE(float(o.value(QStringLiteral("customHigh")).toDouble()), 0.1f);
    QCOMPARE(o.value(QStringLiteral("rangeIndex")).toInt(), 4);
    QCOMPARE(o.value(QStringLiteral("summary")).toObject().value(QStringLiteral("output2")).toString(),
             QStringLiteral("Frequency: 0 to 40,000 Hz, Span point +12.5% during burnout."));
    QCOMPARE(o.value(QStringLiteral("summary")).toObject().value(QStringLiteral("input1")).toString(),
             QStringLiteral("RTD PT100, Custom range: -40.1 to 0.1 °C (using -50 to 50°C)."));

    const QJsonObject b = lines.at(1);
    QCOMPARE(b.value(QStringLiteral("status")).toString(), QStringLiteral("refused"));
    QCOMPARE(b.value(QStringLiteral("message")).toString(), QStringLiteral("High is invalid"));
    QCOMPARE(float(b.value(QStringLiteral("customLow")).toDouble()), -40.1f);
    QVERIFY(b.value(QStringLiteral("customHigh")).isNull());
    QCOMPARE(b.value(QStringLiteral("rangeIndex")).toInt(), -1);
    // The map as the refused evaluation left it: RTD positions already set.
    QCOMPARE(b.value(QStringLiteral("switches")).toObject().value(QStringLiteral("S1")).toString(),
             QStringLiteral("000000001000"));
}

void TestCli::textReport()
{
    const Run r = runEval({ good, refused });
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.contains(QStringLiteral("Voltage, 0 to 10 V.")));
    QVERIFY(r.out.contains(QStringLiteral("refused: Please select output 1 range")));
    // Bank S1 of "0 to 10 V": positions 2, 4, 6, 9 and 10 on.
    const QStringList lines = r.out.split(QLatin1Char('\n'));
    QString s1;
    for (const QString &l : lines)
        if (l.trimmed().startsWith(QStringLiteral("S1")))
            s1 = l;
    const QStringList cells = s1.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QCOMPARE(cells.size(), 13);
    QStringList on;
    for (int p = 1; p <= 12; ++p)
        if (cells.at(p) == QStringLiteral("ON"))
            on << QString::number(p);
    QCOMPARE(on.join(QLatin1Char(',')), QStringLiteral("2,4,6,9,10"));
}

void TestCli::filesAreIndependent()
{
    // A dual-output file followed by a single one: nothing carries over.
    const QString dual = QStringLiteral(EXAMPLES_DIR "/dual-analog-output.hvx");
    const QList<QJsonObject> lines = jsonLines(runEval({ QStringLiteral("--json"), dual, good }).out);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(1).value(QStringLiteral("switches")).toObject().value(QStringLiteral("S4")).toString(),
             QStringLiteral("000000000000"));
}

void TestCli::userLocaleDecimalSeparator()
{
    Setup s;
    s.cbInputType = 0;
    s.cbIRVoltage = 27;
    s.eCustomLow = QStringLiteral("0,5");
    s.eCustomHigh = QStringLiteral("7,5");
    s.cbOutputRange = 1;
    const QString path = write(QStringLiteral("comma.hvx"), s);
    // The user's locale (from the environment) decides the decimal separator.
    const QList<QJsonObject> de = jsonLines(runEval({ QStringLiteral("--json"), path }, "de_DE.UTF-8").out);
    QCOMPARE(de.size(), 1);
    QCOMPARE(de.at(0).value(QStringLiteral("status")).toString(), QStringLiteral("ok"));
    QCOMPARE(de.at(0).value(QStringLiteral("rangeIndex")).toInt(), 4);
    const QList<QJsonObject> c = jsonLines(runEval({ QStringLiteral("--json"), path }).out);
    QCOMPARE(c.at(0).value(QStringLiteral("message")).toString(), QStringLiteral("Low is invalid"));
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
