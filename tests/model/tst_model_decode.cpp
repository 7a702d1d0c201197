// Reading switch maps back into setups.

#include "decode.h"
#include "evaluation.h"
#include "setupfields.h"
#include "testsupport.h"
#include "unitcomparison.h"
#include "unitverdicts.h"

#include <QtTest>

#include <functional>

using namespace hvx;
using namespace Qt::StringLiterals;

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
    for (const SwitchPosition &p : compareSwitchMaps(a, b))
        d += p.bank == first || p.bank == first + 1;
    return d;
}

} // namespace

class TestDecode : public QObject {
    Q_OBJECT

private slots:
    // Each input variant with some output variant and each output variant with
    // some input variant: evaluating and decoding give back the same setup, so
    // no two variants share a pattern and each half writes only its own banks.
    void everyVariantRoundTrips()
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
            QVERIFY2(r.exact() && r.total() == 1, qPrintable(switchMapText(map)));
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
    void everyEvaluatingSetupDecodesExactly()
    {
        const SwitchDecoder &d = SwitchDecoder::instance();
        // The first output variant of each kind: single, analog, relay, frequency.
        std::vector<int> kinds{ 0 };
        for (int o = 1; o < d.outputVariantCount(); ++o) {
            const Setup a = d.setup(0, o - 1), b = d.setup(0, o);
            if (a.rgDualOutput != b.rgDualOutput || a.rgDualType != b.rgDualType)
                kinds.push_back(o);
        }
        QCOMPARE(kinds.size(), size_t(4));
        int evaluated = 0;
        for (int k = 0; k < d.inputVariantCount(); ++k) {
            // Every seventh input variant, and the first of each input type.
            if (k % 7 != 0 && d.setup(k, 0).cbInputType == d.setup(k - 1, 0).cbInputType)
                continue;
            const Setup base = d.setup(k, kinds[size_t(k) % kinds.size()]);
            for (const SetupField &field : setupFields()) {
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
        QVERIFY(evaluated > 50000);
    }

    void nearest_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("output");
        QTest::addColumn<QStringList>("flips");

        QTest::newRow("S1.7 gives another setup") << 0 << 0 << u"S1.7"_s.split(u' ');
        QTest::newRow("one input switch") << 10 << 50 << u"S2.12"_s.split(u' ');
        QTest::newRow("one output switch") << 900 << 18000 << u"S4.11"_s.split(u' ');
        QTest::newRow("two, both halves") << 1200 << 5000 << u"S1.6 S3.2"_s.split(u' ');
        QTest::newRow("three in S4 of single output") << 77 << 100 << u"S4.1 S4.7 S4.12"_s.split(u' ');
        QTest::newRow("three in S2") << 1543 << 18623 << u"S2.1 S2.3 S2.11"_s.split(u' ');
    }

    // Nearest setups against a brute-force reference over the tables.
    void nearest()
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

        // Every variant of each half, measured on whole maps.
        const auto nearestOf = [&map](int count, int firstBank, const std::function<SwitchMap(int)> &mapOf, int &min) {
            std::vector<int> found;
            min = 99;
            for (int v = 0; v < count; ++v) {
                const int dist = halfDistance(mapOf(v), map, firstBank);
                if (dist < min)
                    found.clear(), min = dist;
                if (dist == min)
                    found.push_back(v);
            }
            return found;
        };
        int inMin, outMin;
        const std::vector<int> inputs = nearestOf(
            d.inputVariantCount(), 1, [&d](int i) { return d.switches(i, 0); }, inMin);
        const std::vector<int> outputs = nearestOf(
            d.outputVariantCount(), 3, [&d](int o) { return d.switches(0, o); }, outMin);

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

    void compareWithSetup_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QStringList>("flips");
        QTest::addColumn<bool>("evaluated");
        QTest::addColumn<QString>("message");

        const Setup voltage = inputSetup(Voltage, 6);
        QTest::newRow("same") << voltage << QStringList() << true << u"The unit is set as the current setup."_s;
        QTest::newRow("two differ")
            << voltage << u"S2.5 S1.3"_s.split(u' ') << true
            << u"The unit differs from the current setup: S1.3 is on, the setup needs it off; S2.5 is "
               "off, the setup needs it on."_s;
        Setup noInput = voltage;
        noInput.cbInputType = -1;
        QTest::newRow("cannot evaluate") << noInput << QStringList() << false
                                         << u"The current setup cannot be evaluated: Please select input type."_s;
    }

    // The unit's switches against the switches the setup evaluates to.
    void compareWithSetup()
    {
        QFETCH(Setup, setup);
        QFETCH(QStringList, flips);
        QFETCH(bool, evaluated);
        QFETCH(QString, message);
        SwitchMap unit = evaluate(setup);
        for (const QString &f : flips) {
            SwitchBank &b = unit.bank(f.mid(1, 1).toInt());
            const int p = f.mid(3).toInt();
            b.isOn(p) ? b.turnOff(p) : b.turnOn(p);
        }
        const UnitComparison c = compareUnitWithSetup(unit, setup, QLocale::c());
        QCOMPARE(c.evaluated, evaluated);
        QCOMPARE(c.message, message);
        QCOMPARE(int(c.differs.size()), flips.size());
    }

    // Which way each differing position must go, and banks read or set in
    // each other's place.
    void directions_data()
    {
        QTest::addColumn<QString>("setup"); // S1=...,S2=...,S3=...,S4=...
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("directions");
        QTest::addColumn<int>("differs");

        const QString a = u"010101001100"_s, b = u"001010100000"_s, c = u"101010000000"_s, z = u"000000000000"_s;
        const auto map = [](const QString &s1, const QString &s2, const QString &s3, const QString &s4) {
            return u"S1=%1,S2=%2,S3=%3,S4=%4"_s.arg(s1, s2, s3, s4);
        };
        // clang-format off
        QTest::newRow("same") << map(a, b, c, z) << map(a, b, c, z) << QString() << 0;
        QTest::newRow("on and off") << map(a, b, c, z) << map(u"011101001100"_s, u"000010100000"_s, c, z)
            << u"S1.3 is on, the setup needs it off; S2.3 is off, the setup needs it on"_s << 2;
        QTest::newRow("S1 and S2 swapped") << map(a, b, c, z) << map(b, a, c, z) << u"S1 and S2 look swapped"_s << 16;
        QTest::newRow("swap and one more") << map(a, b, c, z) << map(c, b, a, u"000000000001"_s)
            << u"S1 and S3 look swapped; S4.12 is on, the setup needs it off"_s << 17;
        QTest::newRow("equal banks are no swap") << map(a, a, c, z) << map(a, a, c, z) << QString() << 0;
        QTest::newRow("one way only is no swap") << map(a, b, c, z) << map(a, b, z, z)
            << u"S3.1 is off, the setup needs it on; S3.3 is off, the setup needs it on; S3.5 is off, the setup needs it on"_s << 3;
        QTest::newRow("two swaps") << map(a, b, c, z) << map(b, a, z, c) << u"S1 and S2 look swapped; S3 and S4 look swapped"_s << 22;
        // clang-format on
    }

    void directions()
    {
        QFETCH(QString, setup);
        QFETCH(QString, unit);
        QFETCH(QString, directions);
        QFETCH(int, differs);
        const UnitComparison c = compareUnitWithSwitches(*parseSwitchMap(unit), *parseSwitchMap(setup));
        QCOMPARE(c.directions(), directions);
        QCOMPARE(int(c.differences.size()), differs);
    }

    // The line that closes a check of units, and the verdict of the whole.
    void verdicts_data()
    {
        QTest::addColumn<QList<int>>("counts"); // match, differ, not read, not checked
        QTest::addColumn<QString>("summary");
        QTest::addColumn<int>("overall");

        // clang-format off
        QTest::newRow("plant") << QList<int>{ 290, 6, 3, 1 } << u"300 units: 290 match, 6 differ, 3 not read, 1 could not be checked"_s << int(UnitVerdict::NotChecked);
        QTest::newRow("one unit") << QList<int>{ 1, 0, 0, 0 } << u"1 unit: 1 matches, 0 differ, 0 not read, 0 could not be checked"_s << int(UnitVerdict::Match);
        QTest::newRow("one differs") << QList<int>{ 2, 1, 0, 0 } << u"3 units: 2 match, 1 differs, 0 not read, 0 could not be checked"_s << int(UnitVerdict::Differ);
        QTest::newRow("not read outweighs differ") << QList<int>{ 0, 4, 1, 0 } << u"5 units: 0 match, 4 differ, 1 not read, 0 could not be checked"_s << int(UnitVerdict::NotChecked);
        QTest::newRow("none") << QList<int>{ 0, 0, 0, 0 } << u"0 units: 0 match, 0 differ, 0 not read, 0 could not be checked"_s << int(UnitVerdict::Match);
        // clang-format on
    }

    void verdicts()
    {
        QFETCH(QList<int>, counts);
        QFETCH(QString, summary);
        QFETCH(int, overall);
        UnitVerdicts v;
        for (int kind = 0; kind < 4; ++kind)
            for (int n = 0; n < counts.at(kind); ++n)
                v.add(UnitVerdict(kind));
        QCOMPARE(v.summary(), summary);
        QCOMPARE(int(v.overall()), overall);
    }

    // How near the nearest setups come, and how many of them are listed.
    void headline()
    {
        DecodeResult r;
        r.distance = 2;
        r.inputs = { 1, 2, 3 };
        r.outputs = { 4, 5, 6, 7, 8, 9, 10 };
        QCOMPARE(decodeHeadline(r, 20),
                 u"No setup gives these switches. The nearest 21 setups differ from them in 2 "
                 "positions. The first 20 are listed."_s);
        r.inputs.resize(1);
        r.outputs.resize(1);
        r.distance = 1;
        QCOMPARE(decodeHeadline(r, 1),
                 u"No setup gives these switches. The nearest setup differs from them in 1 position."_s);
    }
};

QTEST_GUILESS_MAIN(TestDecode)
#include "tst_model_decode.moc"
