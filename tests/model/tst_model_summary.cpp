// The plain-language summary lines and the shortened file name.

#include "displaytext.h"
#include "evaluation.h"
#include "summary.h"
#include "testsupport.h"

#include <QtTest>

using namespace hvx;

class TestSummary : public QObject {
    Q_OBJECT

private slots:
    void inputLines_data()
    {
        // clang-format off
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<int>("rangeIndex");
        QTest::addColumn<QString>("line1");
        QTest::addColumn<QString>("line2");

        QTest::newRow("voltage") << inputSetup(Voltage, 6) << 6 << "Voltage, 0 to 10 V." << "Normal response.";
        Setup k = inputSetup(TcK, 8);
        QTest::newRow("K") << k << 8 << "K type thermocouple, 0 to 400°C." << "Normal response, Linearisation on, CJC on.";
        Setup rtd = inputSetup(RtdPt100, 0);
        rtd.rgRTDType = 1;
        rtd.rgConversionSpeed = 1;
        QTest::newRow("RTD 3 wire fast") << rtd << 0 << "RTD PT100, 0 to 100°C." << "Fast response, Linearisation on, 3 wire.";
        Setup tx = inputSetup(CurrentTxSupply, 15);
        tx.eCustomLow = QStringLiteral("4.0");
        tx.eCustomHigh = QStringLiteral("20");
        QTest::newRow("custom as typed") << tx << 14 << "Current using Tx Supply, Custom range: 4.0 to 20 mA (using 4 to 20 mA)."
                                         << "Normal response.";
        Setup t = inputSetup(TcT, 16);
        t.eCustomLow = QStringLiteral("-80");
        t.eCustomHigh = QStringLiteral("100");
        t.rgColdJunction = 1;
        QTest::newRow("T custom") << t << 9 << "T type thermocouple, Custom range: -80 to 100 °C (using -100 to 100°C)."
                                  << "Normal response, Linearisation on, CJC off.";
        Setup pot = inputSetup(Pot2Wire, 6);
        pot.eCustomLow = QStringLiteral("0");
        pot.eCustomHigh = QStringLiteral("626");
        QTest::newRow("custom in ohms") << pot << 4 << "Potentiometer 2 wire, Custom range: 0 to 626 ohms (using 0 to 750 ohm)."
                                        << "Normal response.";
        QTest::newRow("pot3 never custom") << inputSetup(Pot3Wire, 0) << -1 << "Potentiometer 3 wire, 0 to 1k to 100kohm."
                                           << "Normal response.";
        Setup fromFile = inputSetup(TcJ, 0);
        fromFile.rgConversionSpeed = -1;
        fromFile.rgLinearisation = -1;
        QTest::newRow("choices at -1 give empty texts") << fromFile << 0 << "J type thermocouple, 0 to 100°C."
                                                        << " response, , CJC on.";
        // clang-format on
    }

    void inputLines()
    {
        QFETCH(Setup, setup);
        QFETCH(int, rangeIndex);
        QFETCH(QString, line1);
        QFETCH(QString, line2);
        const InputSummary s = BuildInputSummary(setup, rangeIndex);
        QCOMPARE(s.line1, line1);
        QCOMPARE(s.line2, line2);
    }

    void outputLines_data()
    {
        // clang-format off
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("output1");
        QTest::addColumn<QString>("output2"); // "-" for none

        const Setup base = inputSetup(Voltage, 6, 1);
        QTest::newRow("single") << base
                                << "4 to 20 mA source, High Burnout 23mA, Inversion off, Buttons enabled, Square root off."
                                << "-";
        Setup low = base;
        low.cbOutputRange = 7;
        low.rgBurnout = 1;
        low.rgInversion = 1;
        low.rgButtonIsolation = 1;
        low.rgSquareRoot = 1;
        QTest::newRow("2-10 V low burnout") << low
                                            << "2 to 10 V source, Low Burnout 1V, Inversion on, Buttons disabled, Square root on."
                                            << "-";
        Setup analog = base;
        analog.rgDualOutput = 1;
        analog.cbOutputRange2 = 5;
        QTest::newRow("dual analog") << analog << "4 to 20 mA source, High Burnout 23mA, Inversion off, Buttons enabled."
                                     << "0 to 10 V source, High Burnout 11.5V, Inversion off, Square root off.";
        Setup analogLow = analog;
        analogLow.cbOutputRange2 = 3;
        analogLow.rgBurnout2 = 1;
        analogLow.rgSquareRoot2 = 1;
        QTest::newRow("dual analog 2-10 mA") << analogLow
                                             << "4 to 20 mA source, High Burnout 23mA, Inversion off, Buttons enabled."
                                             << "2 to 10 mA source, Low Burnout 0mA, Inversion off, Square root on.";
        Setup trip = analog;
        trip.rgDualType = 1;
        trip.cbTripOutput = 3;
        QTest::newRow("trip") << trip << "4 to 20 mA source, High Burnout 23mA, Inversion off, Buttons enabled."
                              << "Trip relay: 10 seconds delay, Relay on in burnout, Red led with relay on, Input value trip.";
        Setup freq = analog;
        freq.rgDualType = 2;
        freq.cbFreqOutputRange = 7;
        QTest::newRow("frequency") << freq << "4 to 20 mA source, High Burnout 23mA, Inversion off, Buttons enabled."
                                   << "Frequency: 0 to 1,000 Hz, Span point +12.5% during burnout.";
        Setup unknownType = analog;
        unknownType.rgDualType = -1;
        QTest::newRow("dual type -1") << unknownType << "4 to 20 mA source, High Burnout 23mA, Inversion off, Buttons enabled."
                                      << "-";
        Setup unknownDual = base;
        unknownDual.rgDualOutput = -1;
        unknownDual.rgBurnout = -1;
        QTest::newRow("dual output -1") << unknownDual << "4 to 20 mA source, , Inversion off, Buttons enabled." << "-";
        // clang-format on
    }

    void outputLines()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, output1);
        QFETCH(QString, output2);
        QCOMPARE(output1Summary(setup), output1);
        const std::optional<QString> second = output2Summary(setup);
        QCOMPARE(second.value_or(QStringLiteral("-")), output2);
    }

    void shortenFileName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("shown");

        const QString p65 = QStringLiteral("C:\\") + QString(58, QLatin1Char('a')) + QStringLiteral(".hvx");
        QTest::newRow("65 characters whole") << p65 << p65;
        QTest::newRow("66 characters shortened")
            << QStringLiteral("C:\\") + QString(59, QLatin1Char('a')) + QStringLiteral(".hvx")
            << QStringLiteral("C:\\") + QString(39, QLatin1Char('a')) + QStringLiteral("~1.hvx");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("deep folders")
            << "C:\\Documents and Settings\\operator\\My Documents\\Converter setups\\plant A\\line 3.hvx"
            << "C:\\...\\operator\\My Documents\\Converter setups\\plant A\\line 3.hvx";
        QTest::newRow("long file name")
            << "C:\\Setups\\Tank farm level transmitter number 12 with high alarm relay setup.hvx"
            << "C:\\...\\Tank farm level transmitter number 12 w~1.hvx";
        QTest::newRow("long file name at the root")
            << "C:\\Tank farm level transmitter number 12 with high alarm relay setup.hvx"
            << "C:\\Tank farm level transmitter number 12 w~1.hvx";
        QTest::newRow("slash path") << "/home/operator/Documents/Converter setups/plant A/line 3 with a longer name.hvx"
                                    << "/.../Converter setups/plant A/line 3 with a longer name.hvx";
        QTest::newRow("slash long file name")
            << "/home/op/Tank farm level transmitter number 12 with high alarm relay setup.hvx"
            << "/.../Tank farm level transmitter number 12 w~1.hvx";
        QTest::newRow("slash long name at the root")
            << "/Tank farm level transmitter number 12 with high alarm relay setup.hvx"
            << "/Tank farm level transmitter number 12 w~1.hvx";
        const QString noSeparator(70, QLatin1Char('x'));
        QTest::newRow("no separator") << noSeparator << noSeparator;
        QTest::newRow("separator last only") << "/" + noSeparator + "/"
                                             << "/.../";
    }

    void shortenFileName()
    {
        QFETCH(QString, path);
        QFETCH(QString, shown);
        const QString result = ShortenFileName(path);
        QCOMPARE(result, shown);
        QVERIFY(result.size() <= 66 || result == path);
    }

    void displayText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << QStringLiteral("-40.1 to 0.1 °C") << QStringLiteral("-40.1 to 0.1 °C");
        QTest::newRow("line breaks") << QStringLiteral("1\r\n2\x0b"
                                                       "3\x0c")
                                     << QStringLiteral("1\\r\\n2\\x0B3\\x0C");
        QTest::newRow("backslash") << QStringLiteral("a\\n") << QStringLiteral("a\\\\n");
        QTest::newRow("last control before blank") << QStringLiteral("a\x1f ") << QStringLiteral("a\\x1F ");
        QTest::newRow("nul, tab, DEL") << QString::fromUtf16(u"\0\t\x7f", 3) << QStringLiteral("\\x00\\t\\x7F");
        QTest::newRow("C1, separators, overrides")
            << QString::fromUtf16(u"\x85\u2028\u2029\u202e") << QStringLiteral("\\u0085\\u2028\\u2029\\u202E");
        QTest::newRow("byte kept from a name") << QString::fromUtf16(u"a\xdcff") << QStringLiteral("a\\xFF");
        QTest::newRow("other lone surrogate") << QString::fromUtf16(u"\xd800x") << QStringLiteral("\\uD800x");
        QTest::newRow("pair kept") << QString::fromUtf16(u"\U0001F600") << QString::fromUtf16(u"\U0001F600");
    }

    void displayText()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(hvx::displayText(text), shown);
    }
};

QTEST_APPLESS_MAIN(TestSummary)
#include "tst_model_summary.moc"
