// Evaluation of whole setups into the switch map.

#include "evaluation.h"
#include "testsupport.h"

#include <QtTest>

using namespace hvx;

namespace {

QString zeros() { return QString(12, QLatin1Char('0')); }

} // namespace

class TestEvaluation : public QObject {
    Q_OBJECT

private slots:
    void rangeCodeBits_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0 leaves all off") << 0 << zeros();
        QTest::newRow("13 = 1101") << 13 << bank({ 1, 2, 4 });
        QTest::newRow("6 = 0110") << 6 << bank({ 2, 3 });
        QTest::newRow("15 all on") << 15 << bank({ 1, 2, 3, 4 });
        QTest::newRow("1 = position 4") << 1 << bank({ 4 });
    }

    void rangeCodeBits()
    {
        QFETCH(int, code);
        QFETCH(QString, expected);
        SwitchBank b;
        SetRangeCode(b, code);
        QCOMPARE(b.toString(), expected);
        // A clear bit never turns a position off.
        b.turnOn(1);
        b.turnOn(12);
        SetRangeCode(b, 0);
        QVERIFY(b.isOn(1) && b.isOn(12));
    }

    void refusals_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("message");

        Setup s;
        QTest::newRow("nothing chosen") << s << "Please select input type";
        s.cbInputType = InputTypeCount;
        QTest::newRow("input type one past the list") << s << "Please select input type";
        s.cbInputType = Voltage;
        s.cbIRCurrent = 3; // a range chosen for another type does not count
        QTest::newRow("no range for the type") << s << "Please select input range";
        s.cbIRVoltage = 27;
        s.eCustomLow = QStringLiteral("abc");
        QTest::newRow("output before custom check") << s << "Please select output 1 range";
        s.cbOutputRange = 0;
        s.rgDualOutput = 1;
        QTest::newRow("dual analog needs output 2") << s << "Please select output 2 range";
        s.rgDualType = 1;
        QTest::newRow("trip needs delay") << s << "Please select trip relay output range";
        s.rgDualType = 2;
        QTest::newRow("frequency needs range") << s << "Please select frequency output range";
        s.rgDualType = -1;
        QTest::newRow("unknown dual type checked as frequency") << s << "Please select frequency output range";
        s.rgDualOutput = 0;
        QTest::newRow("custom low invalid after outputs") << s << "Low is invalid";
    }

    void refusals()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, message);
        EvaluationValues v;
        v.map.S3.turnOn(5); // left from an earlier run
        const EvaluationOutcome o = Evaluate(setup, v, QLocale::c());
        QCOMPARE(o.status, message);
        QVERIFY(!o.completed);
        QCOMPARE(v.map.S3.toString(), zeros());
        QCOMPARE(v.map.S4.toString(), zeros());
    }

    void linearInputs_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("s1");
        QTest::addColumn<QString>("s2");
        QTest::addColumn<int>("rangeIndex");

        QTest::newRow("0 to 10 V") << inputSetup(Voltage, 6) << bank({ 2, 4, 6, 9, 10 }) << bank({ 3, 5, 7 }) << 6;
        QTest::newRow("1 to 5 V") << inputSetup(Voltage, 13) << bank({ 2, 6, 9, 10, 12 }) << bank({ 3, 5, 7 }) << 13;
        QTest::newRow("-5 to 10 V") << inputSetup(Voltage, 22) << bank({ 1, 2, 4, 6, 9, 10, 12 }) << bank({ 3, 5, 7 })
                                    << 22;
        QTest::newRow("-10 to 10 V") << inputSetup(Voltage, 25) << bank({ 1, 2, 4, 6, 9, 10 }) << bank({ 3, 5, 7 })
                                     << 25;
        QTest::newRow("0 to 30 V") << inputSetup(Voltage, 9) << bank({ 1, 3, 6, 9, 10 }) << bank({ 3, 4, 7, 8 }) << 9;
        QTest::newRow("1 to 40 V") << inputSetup(Voltage, 20) << bank({ 2, 3, 4, 6, 9, 10, 12 }) << bank({ 3, 4, 7, 8 })
                                   << 20;
        QTest::newRow("current 4 to 20 mA")
            << inputSetup(CurrentSink, 16) << bank({ 2, 3, 9, 10, 11, 12 }) << bank({ 1, 2, 7, 8 }) << 16;
        QTest::newRow("current -5 to 40 mA")
            << inputSetup(CurrentSink, 22) << bank({ 1, 2, 3, 4, 9, 10, 11, 12 }) << bank({ 1, 2, 5, 7 }) << 22;
        QTest::newRow("current -10 to 5 mA")
            << inputSetup(CurrentSink, 23) << bank({ 1, 2, 9, 10, 11 }) << bank({ 1, 2, 5, 7 }) << 23;
        QTest::newRow("tx 0 to 20 mA") << inputSetup(CurrentTxSupply, 8) << bank({ 2, 3, 9, 10, 11 })
                                       << bank({ 1, 2, 4, 7, 8, 11 }) << 8;
        QTest::newRow("tx 4 to 5 mA") << inputSetup(CurrentTxSupply, 9) << bank({ 2, 9, 10, 11, 12 })
                                      << bank({ 1, 2, 4, 7, 8, 11 }) << 9;
        QTest::newRow("mV 0 to 1200") << inputSetup(MilliVolt, 11) << bank({ 1, 3, 4, 8, 9, 10 }) << bank({ 2, 7, 8 })
                                      << 11;
        QTest::newRow("mV -125 to 125") << inputSetup(MilliVolt, 12) << bank({ 1, 2, 8, 9, 10 }) << bank({ 2, 5, 7 })
                                        << 12;
        QTest::newRow("pot2 0 to 1000") << inputSetup(Pot2Wire, 5) << bank({ 3, 4, 8, 9, 10, 12 })
                                        << bank({ 2, 5, 8, 12 }) << 5;
        QTest::newRow("pot3") << inputSetup(Pot3Wire, 0) << bank({ 6, 8, 9, 10, 11 }) << bank({ 3, 4, 7, 8, 11 }) << -1;

        Setup fast = inputSetup(Voltage, 6);
        fast.rgConversionSpeed = 1;
        fast.rgLinearisation = 1; // read only for temperature inputs
        fast.rgColdJunction = 1;
        QTest::newRow("fast speed, options ignored") << fast << bank({ 2, 4, 6, 7, 9, 10 }) << bank({ 3, 5, 7 }) << 6;
        Setup noSpeed = inputSetup(Voltage, 6);
        noSpeed.rgConversionSpeed = -1; // no button chosen, from a file
        QTest::newRow("speed -1 counts as fast") << noSpeed << bank({ 2, 4, 6, 7, 9, 10 }) << bank({ 3, 5, 7 }) << 6;

        Setup custom = inputSetup(Voltage, 27);
        custom.eCustomLow = QStringLiteral("1");
        custom.eCustomHigh = QStringLiteral("7.6");
        QTest::newRow("custom fitted to 1 to 8 V") << custom << bank({ 3, 4, 6, 9, 10, 12 }) << bank({ 3, 5, 7 }) << 15;
    }

    void linearInputs()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, s1);
        QFETCH(QString, s2);
        QFETCH(int, rangeIndex);
        EvaluationValues v;
        const EvaluationOutcome o = Evaluate(setup, v, QLocale::c());
        QVERIFY2(o.completed, qPrintable(o.status));
        QVERIFY(o.inputEncoderRan);
        QCOMPARE(v.map.S1.toString(), s1);
        QCOMPARE(v.map.S2.toString(), s2);
        QCOMPARE(v.RangeIndex, rangeIndex);
    }

    void everyLinearRange_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("listedRanges");
        QTest::addColumn<QString>("s1");
        QTest::addColumn<QString>("s2");

        // Banks S1 and S2 ("S1 S2", positions 1 to 12 each) of every listed range
        // of the linear types, in list order, from the converter's switch tables.
        const std::pair<int, QStringList> table[] = {
            { Voltage, { "000001001100 001010100000", "000101001100 001010100000", "001001001100 001010100000",
                         "010001001100 001010100000", "100001001100 001010100000", "001101001100 001010100000",
                         "010101001100 001010100000", "100101001100 001010100000", "011001001100 001010100000",
                         "101001001100 001100110000", "011101001100 001100110000", "000101001101 001010100000",
                         "001001001101 001010100000", "010001001101 001010100000", "100001001101 001010100000",
                         "001101001101 001010100000", "010101001101 001010100000", "100101001101 001010100000",
                         "011001001101 001010100000", "101001001101 001100110000", "011101001101 001100110000",
                         "110001001101 001010100000", "110101001101 001010100000", "111001001101 001010100000",
                         "110001001100 001010100000", "110101001100 001010100000", "111001001100 001010100000" } },
            { CurrentSink, { "000000001110 110000110000", "000100001110 110000110000", "001000001110 110000110000",
                             "010000001110 110000110000", "100000001110 110000110000", "001100001110 110000110000",
                             "010100001110 110000110000", "100100001110 110000110000", "011000001110 110000110000",
                             "101000001110 110000110000", "011100001110 110000110000", "010000001111 110000110000",
                             "100000001111 110000110000", "001100001111 110000110000", "010100001111 110000110000",
                             "100100001111 110000110000", "011000001111 110000110000", "101000001111 110000110000",
                             "011100001111 110000110000", "110000001111 110010100000", "110100001111 110010100000",
                             "111000001111 110010100000", "111100001111 110010100000", "110000001110 110010100000",
                             "110100001110 110010100000", "111000001110 110010100000", "111100001110 110010100000" } },
            { CurrentTxSupply,
              { "000000001110 110100110010", "000100001110 110100110010", "001000001110 110100110010",
                "010000001110 110100110010", "100000001110 110100110010", "001100001110 110100110010",
                "010100001110 110100110010", "100100001110 110100110010", "011000001110 110100110010",
                "010000001111 110100110010", "100000001111 110100110010", "001100001111 110100110010",
                "010100001111 110100110010", "100100001111 110100110010", "011000001111 110100110010" } },
            { MilliVolt,
              { "000000011100 010000110000", "000100011100 010000110000", "001000011100 010000110000",
                "010000011100 010000110000", "100000011100 010000110000", "001100011100 010000110000",
                "010100011100 010000110000", "100100011100 010000110000", "011000011100 010000110000",
                "101000011100 010000110000", "011100011100 010000110000", "101100011100 010000110000",
                "110000011100 010010100000", "110100011100 010010100000", "111000011100 010010100000",
                "111100011100 010010100000" } },
            { Pot2Wire,
              { "000000011101 010010010001", "000100011101 010010010001", "001000011101 010010010001",
                "010000011101 010010010001", "100000011101 010010010001", "001100011101 010010010001" } },
            { Pot3Wire, { "000001011110 001100110010" } },
        };
        for (const auto &[type, banks] : table) {
            for (int i = 0; i < banks.size(); ++i)
                QTest::addRow("%s %s", qPrintable(Texts::itemAt(ListId::cbInputType, type)),
                              qPrintable(Texts::itemAt(rangeListFor(type), i)))
                    << type << i << int(banks.size()) << banks.at(i).left(12) << banks.at(i).mid(13);
        }
    }

    void everyLinearRange()
    {
        QFETCH(int, type);
        QFETCH(int, index);
        QFETCH(int, listedRanges);
        QFETCH(QString, s1);
        QFETCH(QString, s2);
        QCOMPARE(customIndexFor(rangeListFor(type)), listedRanges);
        EvaluationValues v;
        QVERIFY(Evaluate(inputSetup(type, index), v, QLocale::c()).completed);
        QCOMPARE(v.map.S1.toString(), s1);
        QCOMPARE(v.map.S2.toString(), s2);
    }

    void temperatureInputs_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("s1");
        QTest::addColumn<QString>("s2");

        QTest::newRow("K 0 to 100") << inputSetup(TcK, 0) << zeros() << bank({ 2, 5, 6, 7 });
        QTest::newRow("J 0 to 1200") << inputSetup(TcJ, 14) << bank({ 1, 3, 4, 12 }) << bank({ 2, 5, 6, 7 });
        QTest::newRow("R 0 to 1400") << inputSetup(TcR, 15) << bank({ 1, 2, 3, 4, 11 }) << bank({ 2, 5, 6, 7 });
        QTest::newRow("S") << inputSetup(TcS, 1) << bank({ 2, 11, 12 }) << bank({ 2, 5, 6, 7 });
        QTest::newRow("N") << inputSetup(TcN, 4) << bank({ 4, 10 }) << bank({ 2, 5, 6, 7 });
        QTest::newRow("E") << inputSetup(TcE, 2) << bank({ 1, 10, 12 }) << bank({ 2, 5, 6, 7 });
        QTest::newRow("B 400 to 1800") << inputSetup(TcB, 15) << bank({ 1, 2, 3, 4, 10, 11 }) << bank({ 2, 5, 6, 7 });
        QTest::newRow("T -200 to 400") << inputSetup(TcT, 15) << bank({ 1, 2, 3, 4, 10, 11, 12 })
                                       << bank({ 2, 5, 6, 7 });

        Setup opts = inputSetup(TcK, 0);
        opts.rgLinearisation = 1;
        opts.rgColdJunction = 1;
        opts.rgConversionSpeed = 1;
        QTest::newRow("K lin off, CJC off, fast") << opts << bank({ 5, 7, 8 }) << bank({ 2, 5, 6, 7 });
        Setup none = inputSetup(TcK, 0);
        none.rgLinearisation = -1;
        none.rgColdJunction = -1;
        QTest::newRow("choices at -1 count as off") << none << bank({ 5, 8 }) << bank({ 2, 5, 6, 7 });

        Setup pt1000 = inputSetup(RtdPt1000, 5);
        pt1000.rgRTDType = 2;
        QTest::newRow("PT1000 4 wire -50 to 150") << pt1000 << bank({ 2, 4, 9, 12 }) << bank({ 2, 8, 10 });
        Setup pt100 = inputSetup(RtdPt100, 0);
        pt100.rgRTDType = 1;
        QTest::newRow("PT100 3 wire") << pt100 << bank({ 8, 9 }) << bank({ 2, 9, 12 });
        Setup twoWire = inputSetup(RtdPt100, 0);
        twoWire.rgLinearisation = 1;
        QTest::newRow("PT100 2 wire lin off") << twoWire << bank({ 5, 9 }) << bank({ 2, 5, 8, 12 });
        Setup noWiring = inputSetup(RtdPt100, 0);
        noWiring.rgRTDType = -1;
        QTest::newRow("RTD wiring -1") << noWiring << bank({ 9 }) << bank({ 2 });
    }

    void temperatureInputs()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, s1);
        QFETCH(QString, s2);
        EvaluationValues v;
        const EvaluationOutcome o = Evaluate(setup, v, QLocale::c());
        QVERIFY2(o.completed, qPrintable(o.status));
        QCOMPARE(v.map.S1.toString(), s1);
        QCOMPARE(v.map.S2.toString(), s2);
    }

    void temperatureRangeCodes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("code");
        // K/J, R/S, N/E and B: the index's two 2-bit halves swapped.
        for (int type : { TcK, TcR, TcN, TcB }) {
            const ListId list = rangeListFor(type);
            for (int i = 0; i < customIndexFor(list); ++i)
                QTest::addRow("%s %d", qPrintable(Texts::name(list)), i) << type << i << ((i % 4) * 4 + i / 4);
        }
        // T and RTD: the code's high bits give the low end, its low bits the
        // upper value; derive them from the range text.
        for (int type : { TcT, RtdPt100 }) {
            const ListId list = rangeListFor(type);
            const int lows[] = { 0, -50, -100, -200 };
            for (int i = 0; i < customIndexFor(list); ++i) {
                const QString text = Texts::itemAt(list, i);
                const int low = text.section(QLatin1Char(' '), 0, 0).toInt();
                int row = 0;
                while (lows[row] != low)
                    ++row;
                QTest::addRow("%s %s", qPrintable(Texts::name(list)), qPrintable(text))
                    << type << i << (row * 4 + i % 4);
            }
        }
    }

    void temperatureRangeCodes()
    {
        QFETCH(int, type);
        QFETCH(int, index);
        QFETCH(int, code);
        EvaluationValues v;
        QVERIFY(Evaluate(inputSetup(type, index), v, QLocale::c()).completed);
        SwitchBank expected;
        SetRangeCode(expected, code);
        QCOMPARE(v.map.S1.toString().left(4), expected.toString().left(4));
        QCOMPARE(v.RangeIndex, index);
    }

    void outputs_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("s3");
        QTest::addColumn<QString>("s4");

        const Setup base = inputSetup(Voltage, 6, 1);
        QTest::newRow("4-20 source") << base << bank({ 1, 3, 5 }) << zeros();

        // Span code per output range (positions 11, 12) and the source/sink/voltage bits.
        const QList<QList<int>> perRange = {
            { 3, 5, 12 },        { 3, 5 },    { 3, 5, 11 }, { 3, 5, 11, 12 }, { 3, 5, 6, 11 }, { 3, 5, 6, 12 },
            { 3, 5, 6, 11, 12 }, { 3, 5, 6 }, { 2, 4, 12 }, { 2, 4 },         { 2, 4, 11 },    { 2, 4, 11, 12 },
        };
        for (int r = 0; r < 12; ++r) {
            Setup s = base;
            s.cbOutputRange = r;
            s.rgButtonIsolation = 1;
            SwitchBank b;
            for (int p : perRange.at(r))
                b.turnOn(p);
            QTest::addRow("output range %d", r) << s << b.toString() << zeros();
        }

        Setup opts = base;
        opts.rgBurnout = 1;
        opts.rgInversion = 1;
        opts.rgSquareRoot = 1;
        QTest::newRow("low burnout, inverted, square root") << opts << bank({ 1, 3, 5, 7, 8, 9 }) << zeros();
        Setup noButtons = base;
        noButtons.rgButtonIsolation = -1;
        QTest::newRow("button isolation -1 counts as disabled") << noButtons << bank({ 3, 5 }) << zeros();

        Setup analog = base;
        analog.rgDualOutput = 1;
        analog.rgSquareRoot = 1; // not read in dual output
        analog.cbOutputRange2 = 5;
        QTest::newRow("dual analog") << analog << bank({ 1, 3, 5, 10 }) << bank({ 1, 3, 5, 6, 10, 12 });
        Setup analog2 = analog;
        analog2.cbOutputRange2 = 11;
        analog2.rgBurnout2 = 1;
        analog2.rgInversion2 = 1;
        analog2.rgSquareRoot2 = 1;
        QTest::newRow("dual analog sink with options")
            << analog2 << bank({ 1, 3, 5, 10 }) << bank({ 1, 2, 4, 7, 8, 9, 10, 11, 12 });

        Setup trip = base;
        trip.rgDualOutput = 1;
        trip.rgDualType = 1;
        trip.cbTripOutput = 0;
        QTest::newRow("trip 0 s, all defaults") << trip << bank({ 1, 3, 5, 10 }) << zeros();
        trip.cbTripOutput = 1;
        trip.rgTripBurnout = 1;
        trip.rgTripLEDstate = 1;
        QTest::newRow("trip 2.5 s relay off green") << trip << bank({ 1, 3, 5, 10 }) << bank({ 1, 2, 3, 4, 5 });
        trip.cbTripOutput = 7;
        trip.rgTripBurnout = 0;
        trip.rgTripLEDstate = 0;
        trip.rgTripRelativeTo = 1;
        QTest::newRow("trip 120 s relative to output 1") << trip << bank({ 1, 3, 5, 9, 10 }) << bank({ 1 });

        Setup freq = base;
        freq.rgDualOutput = 1;
        freq.rgDualType = 2;
        freq.cbFreqOutputRange = 14;
        QTest::newRow("frequency 0 to 40,000 Hz") << freq << bank({ 1, 3, 5, 10 }) << bank({ 6 });
        freq.cbFreqOutputRange = 0;
        freq.rgFreqBurnout = 1;
        QTest::newRow("frequency 0 to 1 Hz, 0 Hz burnout") << freq << bank({ 1, 3, 5, 10 }) << bank({ 1, 2, 4, 5, 6 });

        // S4 positions 1 to 4 of every trip delay ("Relay on", "Red led") and of
        // every frequency range ("Span point +12.5%": position 6 only besides).
        const char *const tripCodes[] = { "0000", "1110", "0110", "1010", "0010", "1100", "0100", "1000" };
        const char *const frequencyCodes[] = { "1101", "1111", "0111", "1001", "0001", "1110", "0110", "1010",
                                               "0010", "1100", "0100", "1011", "1000", "0011", "0000", "0101" };
        Setup delay = trip;
        delay.rgTripRelativeTo = 0;
        for (int i = 0; i < 8; ++i) {
            delay.cbTripOutput = i;
            QTest::addRow("trip delay %d", i) << delay << bank({ 1, 3, 5, 10 }) << tripCodes[i] + QString(8, '0');
        }
        Setup range = freq;
        range.rgFreqBurnout = 0;
        for (int i = 0; i < 16; ++i) {
            range.cbFreqOutputRange = i;
            QTest::addRow("frequency range %d", i)
                << range << bank({ 1, 3, 5, 10 }) << frequencyCodes[i] + QStringLiteral("01000000");
        }
        // "Output 1 value" turns on S3 position 9 only for a trip relay.
        Setup relativeAnalog = analog;
        relativeAnalog.rgTripRelativeTo = 1;
        QTest::newRow("analog ignores relative to output 1")
            << relativeAnalog << bank({ 1, 3, 5, 10 }) << bank({ 1, 3, 5, 6, 10, 12 });
        Setup relativeFreq = freq;
        relativeFreq.rgTripRelativeTo = 1;
        QTest::newRow("frequency ignores relative to output 1")
            << relativeFreq << bank({ 1, 3, 5, 10 }) << bank({ 1, 2, 4, 5, 6 });

        Setup unknownType = freq;
        unknownType.rgDualType = -1;
        QTest::newRow("dual type -1 writes no S4") << unknownType << bank({ 1, 3, 5, 10 }) << zeros();
        Setup unknownDual = analog;
        unknownDual.rgDualOutput = -1;
        QTest::newRow("dual output -1 is neither") << unknownDual << bank({ 1, 3, 5 }) << zeros();
    }

    void outputs()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, s3);
        QFETCH(QString, s4);
        EvaluationValues v;
        const EvaluationOutcome o = Evaluate(setup, v, QLocale::c());
        QVERIFY2(o.completed, qPrintable(o.status));
        QCOMPARE(v.map.S3.toString(), s3);
        QCOMPARE(v.map.S4.toString(), s4);
    }

    void customRefusalKeepsEarlierPositions()
    {
        Setup s = inputSetup(Voltage, 27);
        s.eCustomLow = QStringLiteral("5");
        s.eCustomHigh = QStringLiteral("5");
        EvaluationValues v;
        const EvaluationOutcome o = Evaluate(s, v, QLocale::c());
        QCOMPARE(o.status, QStringLiteral("Low must be less than high"));
        QCOMPARE(v.RangeIndex, -1);
        QCOMPARE(v.map.S1.toString(), bank({ 6, 9, 10 }));
        QCOMPARE(v.map.S3.toString(), zeros());

        // A thermocouple refusal still sets its S2 positions.
        Setup tc = inputSetup(TcB, 16);
        tc.eCustomLow = QStringLiteral("399");
        tc.eCustomHigh = QStringLiteral("500");
        const EvaluationOutcome o2 = Evaluate(tc, v, QLocale::c());
        QCOMPARE(o2.status, QStringLiteral("Low must not be less than 400°C"));
        QCOMPARE(v.map.S2.toString(), bank({ 2, 5, 6, 7 }));
    }

    void rangeIndexKeptWhenNoEncoderRuns()
    {
        EvaluationValues v;
        QVERIFY(Evaluate(inputSetup(Voltage, 6), v, QLocale::c()).completed);
        QCOMPARE(v.RangeIndex, 6);
        Setup incomplete = inputSetup(Voltage, 6, -1);
        const EvaluationOutcome o = Evaluate(incomplete, v, QLocale::c());
        QVERIFY(!o.inputEncoderRan);
        QCOMPARE(v.RangeIndex, 6);
        QCOMPARE(v.map.S1.toString(), zeros());
    }
};

QTEST_APPLESS_MAIN(TestEvaluation)
#include "tst_model_evaluation.moc"
