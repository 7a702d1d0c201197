// Why each switch position is set: the reasons evaluation records.

#include "setupfile.h"
#include "switchexplanation.h"
#include "testsupport.h"

#include <QDir>
#include <QtTest>

using namespace hvx;

namespace {

// Output 1 and the options a row adds to an input setup.
enum Options { Defaults, OtherChoices };

Setup withOptions(Setup s, int options, int rtdWiring)
{
    if (options == OtherChoices) {
        s.rgLinearisation = 1;
        s.rgColdJunction = 1;
        s.rgConversionSpeed = 1;
    }
    s.rgRTDType = rtdWiring;
    return s;
}

QString where(int bank, int position) { return QStringLiteral("S%1.%2").arg(bank).arg(position); }

} // namespace

class TestExplanation : public QObject {
    Q_OBJECT

private slots:
    // Every position that is on in an example has a reason, and explaining
    // gives the map evaluation gives.
    void examplesExplained_data()
    {
        QTest::addColumn<QString>("path");
        const QDir dir(QStringLiteral(EXAMPLES_DIR));
        const QStringList files = dir.entryList({ QStringLiteral("*.hvx") }, QDir::Files, QDir::Name);
        QCOMPARE(files.size(), 6);
        for (const QString &file : files)
            QTest::newRow(qPrintable(file)) << dir.filePath(file);
    }
    void examplesExplained()
    {
        QFETCH(QString, path);
        Setup setup;
        QCOMPARE(loadSetupFile(path, setup), LoadStatus::Ok);
        EvaluationValues plain;
        QVERIFY(Evaluate(setup, plain, QLocale::c()).completed);
        const SetupExplanation e = explainSwitches(setup, QLocale::c());
        QVERIFY(e.outcome.completed);
        QCOMPARE(e.values.map, plain.map);
        QCOMPARE(int(e.positions.size()), 48);
        for (int i = 0; i < 48; ++i) {
            const SwitchExplanation &x = e.positions.at(static_cast<std::size_t>(i));
            QCOMPARE(x.bank, i / 12 + 1);
            QCOMPARE(x.position, i % 12 + 1);
            QCOMPARE(x.on, plain.map.bank(x.bank).isOn(x.position));
            if (x.on)
                QVERIFY2(!x.reason.isEmpty() && x.reason != Reasons::unused(), qPrintable(x.text()));
        }
    }

    // For every listed range of every input type, with either set of
    // options: the reasons do not change the map, a rule records a position
    // as on exactly when it is on, and the range code is the range's.
    void everyListedRangeAgrees_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("options");
        QTest::addColumn<int>("wiring");
        for (int type = 0; type < InputTypeCount; ++type) {
            const QString name = Texts::itemAt(ListId::cbInputType, type);
            const int wirings = isRtd(type) ? 3 : 1;
            for (int wiring = 0; wiring < wirings; ++wiring) {
                QTest::addRow("%s, wiring %d", qPrintable(name), wiring) << type << int(Defaults) << wiring;
                QTest::addRow("%s, wiring %d, other choices", qPrintable(name), wiring)
                    << type << int(OtherChoices) << wiring;
            }
        }
    }
    void everyListedRangeAgrees()
    {
        QFETCH(int, type);
        QFETCH(int, options);
        QFETCH(int, wiring);
        const ListId list = rangeListFor(type);
        const int listed = qMax(1, customIndexFor(list)); // cbIRPot3: its one range
        for (int range = 0; range < listed; ++range) {
            const Setup s = withOptions(inputSetup(type, range), options, wiring);
            EvaluationValues plain;
            EvaluationValues explained;
            SwitchReasons reasons;
            QVERIFY(Evaluate(s, plain, QLocale::c()).completed);
            QVERIFY(Evaluate(s, explained, QLocale::c(), &reasons).completed);
            QCOMPARE(explained.map, plain.map);
            for (int b = 1; b <= 4; ++b) {
                for (int p = 1; p <= 12; ++p) {
                    const QString at = Texts::itemAt(list, range) + QLatin1Char(' ') + where(b, p);
                    QVERIFY2(reasons.recordedOn(b, p) == plain.map.bank(b).isOn(p), qPrintable(at));
                    QVERIFY2(!plain.map.bank(b).isOn(p) || !reasons.reason(b, p).isEmpty(), qPrintable(at));
                }
            }
            for (int p = 1; p <= 4; ++p)
                QCOMPARE(reasons.reason(1, p), Reasons::inputRange(list, range));
        }
    }

    void reasonTexts_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<int>("bank");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("text");

        Setup k = inputSetup(TcK, 8);
        k.rgLinearisation = 1;
        QTest::newRow("linearisation") << k << 1 << 5 << "S1 switch 5, on: Linearisation off";
        QTest::newRow("output range off")
            << inputSetup(Voltage, 6) << 3 << 2 << "S3 switch 2, off: part of the output 1 range 4 to 20 mA source";
        QTest::newRow("unused") << inputSetup(Voltage, 6) << 1 << 5 << "S1 switch 5, off: not used by this setup";
        QTest::newRow("S4 in single output") << inputSetup(Voltage, 6) << 4 << 7 << "S4 switch 7, off: Single output";
        QTest::newRow("type code") << inputSetup(TcJ, 0) << 1 << 12
                                   << "S1 switch 12, on: part of the input type J type thermocouple";
        QTest::newRow("type code off") << inputSetup(TcK, 0) << 1 << 10
                                       << "S1 switch 10, off: part of the input type K type thermocouple";
        QTest::newRow("live zero") << inputSetup(CurrentSink, 16) << 1 << 12
                                   << "S1 switch 12, on: part of the input range 4 to 20 mA";
        QTest::newRow("pot 2 wire position 12")
            << inputSetup(Pot2Wire, 0) << 1 << 12 << "S1 switch 12, on: part of the input type Potentiometer 2 wire";
        Setup custom = inputSetup(Voltage, 27);
        custom.eCustomLow = QStringLiteral("1");
        custom.eCustomHigh = QStringLiteral("7.6");
        QTest::newRow("custom range names the range used")
            << custom << 1 << 12 << "S1 switch 12, on: part of the input range 1 to 8 V";
        Setup rtd = inputSetup(RtdPt100, 0);
        rtd.rgRTDType = 1;
        QTest::newRow("RTD wiring") << rtd << 2 << 9 << "S2 switch 9, on: RTD 3 wire";
        Setup fast = inputSetup(Voltage, 6);
        fast.rgConversionSpeed = 1;
        QTest::newRow("speed") << fast << 1 << 7 << "S1 switch 7, on: Fast response";

        Setup analog = inputSetup(Voltage, 6);
        analog.rgDualOutput = DualOutputChoice::Dual;
        analog.cbOutputRange2 = 9;
        QTest::newRow("analog output 2") << analog << 4 << 1 << "S4 switch 1, on: Analog second output";
        QTest::newRow("output 2 sink") << analog << 4 << 2
                                       << "S4 switch 2, on: part of the output 2 range 4 to 20 mA sink";
        QTest::newRow("dual output") << analog << 3 << 10 << "S3 switch 10, on: Dual output";
        QTest::newRow("burnout of output 1") << analog << 3 << 7 << "S3 switch 7, off: High burnout (output 1)";
        QTest::newRow("burnout of output 2") << analog << 4 << 7 << "S4 switch 7, off: High burnout (output 2)";
        QTest::newRow("inversion of output 2") << analog << 4 << 8 << "S4 switch 8, off: Inversion off (output 2)";
        Setup trip = analog;
        trip.rgDualType = DualTypeChoice::TripRelay;
        trip.cbTripOutput = 0;
        trip.rgTripLEDstate = 1;
        QTest::newRow("led") << trip << 4 << 4 << "S4 switch 4, on: Green led";
        trip.cbTripOutput = 1; // code 14: position 4 is left to the led
        trip.rgTripLEDstate = 0;
        QTest::newRow("led off after the delay code") << trip << 4 << 4 << "S4 switch 4, off: Red led";
        QTest::newRow("delay code") << trip << 4 << 1 << "S4 switch 1, on: part of the trip delay 2.5 seconds";
        trip.rgTripRelativeTo = 1;
        QTest::newRow("trip relative to output 1") << trip << 3 << 9 << "S3 switch 9, on: Output 1 value trip";
        Setup frequency = analog;
        frequency.rgDualType = DualTypeChoice::Frequency;
        frequency.cbFreqOutputRange = 0;
        frequency.rgFreqBurnout = 1;
        QTest::newRow("frequency burnout") << frequency << 4 << 5 << "S4 switch 5, on: 0 Hz during burnout";
        QTest::newRow("frequency code") << frequency << 4 << 2
                                        << "S4 switch 2, on: part of the frequency range 0 to 1 Hz";
    }
    void reasonTexts()
    {
        QFETCH(Setup, setup);
        QFETCH(int, bank);
        QFETCH(int, position);
        QFETCH(QString, text);
        const SetupExplanation e = explainSwitches(setup, QLocale::c());
        QVERIFY(e.outcome.completed);
        QCOMPARE(e.positions.at(static_cast<std::size_t>((bank - 1) * 12 + position - 1)).text(), text);
    }
};

QTEST_APPLESS_MAIN(TestExplanation)
#include "tst_model_explanation.moc"
