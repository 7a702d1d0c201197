// halvex-eval --explain run as a user would.

#include "evalrun.h"
#include "setupfile.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace hvx;
using namespace evaltest;

class TestExplain : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        Setup s;
        s.cbInputType = Voltage;
        s.cbIRVoltage = 6;
        QVERIFY(saveSetupFile(m_dir.filePath(QStringLiteral("refused.hvx")), s));
    }

    // The arguments (EXAMPLE is the voltage example, REFUSED a setup without
    // an output range, MISSING no file), the exit status, the number of
    // lines or JSON objects on standard output, a line among them (for JSON
    // the "text" of one object) and what standard error says.
    void explain_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("error");
        const QString s3 = QStringLiteral("S3 switch 2, off: part of the output 1 range 4 to 20 mA source");
        QTest::newRow("text: a heading per bank, a line per position")
            << QStringList{ "--explain", "EXAMPLE" } << 0 << 1 + 4 + 48 << QStringLiteral("    ") + s3 << QString();
        QTest::newRow("json: one object per position")
            << QStringList{ "--explain", "--json", "EXAMPLE" } << 0 << 48 << s3 << QString();
        QTest::newRow("two files, one refused")
            << QStringList{ "--explain", "EXAMPLE", "REFUSED" } << 1 << 53 + 1 + 2
            << QStringLiteral("  refused: Please select output 1 range") << QString();
        QTest::newRow("json, unreadable file")
            << QStringList{ "--json", "--explain", "MISSING", "EXAMPLE" } << 2 << 1 + 48 << s3 << QString();
        QTest::newRow("no file") << QStringList{ "--explain" } << 64 << 0 << QString()
                                 << "halvex-eval: no setup file named";
        QTest::newRow("with another command")
            << QStringList{ "--explain", "--verify", "EXAMPLE", "S1=000000000000" } << 64 << 0 << QString()
            << "halvex-eval: --csv, --make, --verify-table, --decode, --verify and --explain exclude each other";
    }
    void explain()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(int, lines);
        QFETCH(QString, line);
        QFETCH(QString, error);
        args.replaceInStrings(QStringLiteral("EXAMPLE"), QStringLiteral(EXAMPLES_DIR "/voltage-0-10V-to-4-20mA.hvx"));
        args.replaceInStrings(QStringLiteral("REFUSED"), m_dir.filePath(QStringLiteral("refused.hvx")));
        args.replaceInStrings(QStringLiteral("MISSING"), m_dir.filePath(QStringLiteral("missing.hvx")));
        const Run r = runEval(args);
        QCOMPARE(r.exitCode, status);
        QCOMPARE(r.err.section(QLatin1Char('\n'), 0, 0), error);
        QStringList texts;
        if (args.contains(QStringLiteral("--json"))) {
            for (const QJsonObject &o : r.lines())
                texts << o.value(QStringLiteral("text")).toString();
        } else if (!r.out.isEmpty()) {
            texts = r.text().split(QLatin1Char('\n'));
            QCOMPARE(texts.takeLast(), QString()); // the last line ends too
        }
        QCOMPARE(texts.size(), lines);
        if (!line.isEmpty())
            QVERIFY2(texts.contains(line), qPrintable(r.text()));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestExplain)
#include "tst_cli_explain.moc"
