// Reading switch maps back into setups.

#include "decode.h"
#include "evaluation.h"
#include "setupfields.h"
#include "testsupport.h"

#include <QtTest>

using namespace hvx;

namespace {

SwitchMap evaluate(const Setup &s, bool *completed = nullptr)
{
    EvaluationValues values;
    const bool done = Evaluate(s, values, QLocale::c()).completed;
    if (completed)
        *completed = done;
    return values.map;
}

// Differing positions of two maps within banks first..first+1.
int halfDistance(const SwitchMap &a, const SwitchMap &b, int first)
{
    int d = 0;
    for (const SwitchPosition &p : CompareSwitchMaps(a, b))
        d += p.bank == first || p.bank == first + 1;
    return d;
}

} // namespace

class TestDecode : public QObject {
    Q_OBJECT

private slots:
    void everyVariantRoundTrips();
    void everyEvaluatingSetupDecodesExactly();
    void decodesToCanonical_data();
    void decodesToCanonical();
    void nearest_data();
    void nearest();
};

// Each input variant with some output variant and each output variant with
// some input variant: evaluating and decoding give back the same setup, so
// no two variants share a pattern and each half writes only its own banks.
void TestDecode::everyVariantRoundTrips()
{
    const SwitchDecoder &d = SwitchDecoder::instance();
    QCOMPARE(d.inputVariantCount(), 1544);
    QCOMPARE(d.outputVariantCount(), 18624);
    const int pairs = d.outputVariantCount();
    for (int k = 0; k < pairs; ++k) {
        const int in = k % d.inputVariantCount();
        const int out = (k * 7919) % d.outputVariantCount();
        const Setup s = d.setup(in, out);
        const SwitchMap map = evaluate(s);
        const DecodeResult r = d.decode(map);
        QVERIFY2(r.exact() && r.total() == 1, qPrintable(SwitchMapText(map)));
        const std::vector<DecodedSetup> listed = d.list(r, map);
        QCOMPARE(listed.size(), size_t(1));
        QVERIFY(listed.front().setup == s);
        QVERIFY(listed.front().switches == map);
        QVERIFY(listed.front().differs.empty());
    }
}

// Any single field of a canonical setup set to any value a setup file can
// hold (choices at -1 included): when the setup still evaluates, its switches
// are in the tables. The one exception is an RTD whose wiring choice is none
// (only from a file): it sets no wiring switch, which no wiring in the window
// gives, and decodes as the 4 wire setup two switches away.
void TestDecode::everyEvaluatingSetupDecodesExactly()
{
    const SwitchDecoder &d = SwitchDecoder::instance();
    int evaluated = 0;
    for (int k = 0; k < d.inputVariantCount(); k += 3) {
        const Setup base = d.setup(k, (k * 131) % d.outputVariantCount());
        for (const SetupField &field : SetupFields()) {
            int count = 2;
            if (field.kind == SetupField::Kind::List)
                count = Texts::items(ListId(field.id)).size();
            else if (field.kind == SetupField::Kind::Choice)
                count = Texts::buttonCount(ChoiceId(field.id));
            for (int value = -1; value < count; ++value) {
                Setup s = base;
                field.setIndex(s, value);
                field.setText(s, QString::number(value * 3 + 1));
                bool completed = false;
                const SwitchMap map = evaluate(s, &completed);
                if (!completed)
                    continue;
                ++evaluated;
                const bool noWiring = isRtd(s.cbInputType) && s.rgRTDType == -1;
                const DecodeResult r = d.decode(map);
                QVERIFY2(r.distance == (noWiring ? 2 : 0),
                         qPrintable(field.name() + QLatin1Char('=') + QString::number(value)));
                if (noWiring)
                    QCOMPARE(d.setup(r.inputs.front(), 0).rgRTDType, 2);
            }
        }
    }
    QVERIFY(evaluated > 100000);
}

void TestDecode::decodesToCanonical_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<Setup>("canonical");

    Setup custom = inputSetup(Voltage, 27);
    custom.eCustomLow = QStringLiteral("0.5");
    custom.eCustomHigh = QStringLiteral("7.5");
    QTest::newRow("custom range gives its listed range") << custom << inputSetup(Voltage, 4);

    Setup stray = inputSetup(CurrentSink, 16);
    stray.cbIRRTD = 3;
    stray.rgLinearisation = 1;
    stray.rgColdJunction = 1;
    stray.rgRTDType = 2;
    stray.conversionSpeedShown = true;
    QTest::newRow("options of other input types") << stray << inputSetup(CurrentSink, 16);

    Setup dual = inputSetup(TcK, 3, 5);
    dual.rgDualOutput = 1;
    dual.rgDualType = 1;
    dual.cbTripOutput = 2;
    Setup canonicalDual = dual;
    dual.rgSquareRoot = 1;
    dual.cbOutputRange2 = 4;
    dual.rgFreqBurnout = 1;
    QTest::newRow("square root and other outputs in trip relay") << dual << canonicalDual;

    Setup noType = inputSetup(RtdPt100, 0);
    noType.rgDualOutput = 1;
    noType.rgDualType = -1;
    noType.cbFreqOutputRange = 3;
    Setup relay = inputSetup(RtdPt100, 0);
    relay.rgDualOutput = 1;
    relay.rgDualType = 1;
    relay.cbTripOutput = 0;
    QTest::newRow("dual type none reads as the quietest relay") << noType << relay;

    Setup noneChosen = inputSetup(TcB, 15);
    noneChosen.rgButtonIsolation = -1;
    noneChosen.rgLinearisation = -1;
    Setup disabled = inputSetup(TcB, 15);
    disabled.rgButtonIsolation = 1;
    disabled.rgLinearisation = 1;
    QTest::newRow("choices at none") << noneChosen << disabled;
}

void TestDecode::decodesToCanonical()
{
    QFETCH(Setup, setup);
    QFETCH(Setup, canonical);
    const SwitchMap map = evaluate(setup);
    const DecodeResult r = DecodeSwitchMap(map);
    QVERIFY(r.exact());
    QCOMPARE(r.total(), std::int64_t(1));
    QVERIFY(SwitchDecoder::instance().list(r, map).front().setup == canonical);
}

void TestDecode::nearest_data()
{
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("output");
    QTest::addColumn<QStringList>("flips");

    QTest::newRow("S1.7 gives another setup") << 0 << 0 << QStringList{ QStringLiteral("S1.7") };
    QTest::newRow("one input switch") << 10 << 50 << QStringList{ QStringLiteral("S2.12") };
    QTest::newRow("one output switch") << 900 << 18000 << QStringList{ QStringLiteral("S4.11") };
    QTest::newRow("two, both halves") << 1200 << 5000 << QStringList{ QStringLiteral("S1.6"), QStringLiteral("S3.2") };
    QTest::newRow("three in S4 of single output")
        << 77 << 100 << QStringList{ QStringLiteral("S4.1"), QStringLiteral("S4.7"), QStringLiteral("S4.12") };
    QTest::newRow("three in S2") << 1543 << 18623
                                 << QStringList{ QStringLiteral("S2.1"), QStringLiteral("S2.3"), QStringLiteral("S2.11") };
}

// Nearest setups against a brute-force reference over the tables.
void TestDecode::nearest()
{
    QFETCH(int, input);
    QFETCH(int, output);
    QFETCH(QStringList, flips);
    const SwitchDecoder &d = SwitchDecoder::instance();
    SwitchMap map = d.switches(input, output);
    for (const QString &f : flips) {
        SwitchBank &b = map.bank(f.mid(1, 1).toInt());
        const int p = f.mid(3).toInt();
        if (b.isOn(p)) {
            SwitchBank copy;
            for (int q = 1; q <= 12; ++q)
                if (q != p && b.isOn(q))
                    copy.turnOn(q);
            b = copy;
        } else {
            b.turnOn(p);
        }
    }

    std::vector<int> inputs, outputs;
    int inMin = 99, outMin = 99;
    for (int i = 0; i < d.inputVariantCount(); ++i) {
        const int dist = halfDistance(d.switches(i, 0), map, 1);
        if (dist < inMin)
            inputs.clear(), inMin = dist;
        if (dist == inMin)
            inputs.push_back(i);
    }
    for (int o = 0; o < d.outputVariantCount(); ++o) {
        const int dist = halfDistance(d.switches(0, o), map, 3);
        if (dist < outMin)
            outputs.clear(), outMin = dist;
        if (dist == outMin)
            outputs.push_back(o);
    }

    const DecodeResult r = d.decode(map);
    QCOMPARE(r.distance, inMin + outMin);
    QVERIFY(r.distance <= flips.size());
    QVERIFY(r.inputs == inputs);
    QVERIFY(r.outputs == outputs);
    QCOMPARE(r.total(), std::int64_t(inputs.size() * outputs.size()));

    const std::vector<DecodedSetup> listed = d.list(r, map);
    QCOMPARE(listed.size(), size_t(std::min<std::int64_t>(r.total(), 20)));
    for (const DecodedSetup &s : listed) {
        QVERIFY(evaluate(s.setup) == s.switches);
        QCOMPARE(int(s.differs.size()), r.distance);
        for (size_t k = 0; k < s.differs.size(); ++k) {
            const SwitchPosition &p = s.differs[k];
            QVERIFY(s.switches.bank(p.bank)[p.position] != map.bank(p.bank)[p.position]);
            if (k > 0)
                QVERIFY(s.differs[k - 1].bank * 100 + s.differs[k - 1].position < p.bank * 100 + p.position);
        }
    }
}

QTEST_GUILESS_MAIN(TestDecode)
#include "test_decode.moc"
