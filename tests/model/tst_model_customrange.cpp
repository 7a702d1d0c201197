// Custom input ranges: conversion of the typed texts, the limits of each
// input type and the fitting to a listed range.

#include "customrange.h"
#include "evaluation.h"
#include "testsupport.h"

#include <QtTest>

#include <cmath>

using namespace hvx;

class TestCustomRange : public QObject {
    Q_OBJECT

private slots:
    void fitting_data()
    {
        // clang-format off
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("low");
        QTest::addColumn<QString>("high");
        QTest::addColumn<int>("rangeIndex");
        QTest::addColumn<QString>("message");

        const QString ok;
        QTest::newRow("V 0.2..0.9, the first range") << int(Voltage) << "0.2" << "0.9" << 0 << ok;
        QTest::newRow("V 0.5..7.5") << int(Voltage) << "0.5" << "7.5" << 4 << ok;
        QTest::newRow("V 1..7.6") << int(Voltage) << "1" << "7.6" << 15 << ok;
        QTest::newRow("V 0.99..40") << int(Voltage) << "0.99" << "40" << 10 << ok;
        QTest::newRow("V -2..25") << int(Voltage) << "-2" << "25" << -1 << "When low is negative high must not be more than 20 V";
        QTest::newRow("V -2..20") << int(Voltage) << "-2" << "20" << 23 << ok;
        QTest::newRow("V -5..5") << int(Voltage) << "-5" << "5" << 21 << ok;
        QTest::newRow("V -5.01..5.01") << int(Voltage) << "-5.01" << "5.01" << 25 << ok;
        QTest::newRow("V 5..5") << int(Voltage) << "5" << "5" << -1 << "Low must be less than high";
        QTest::newRow("V high 40.01") << int(Voltage) << "0" << "40.01" << -1 << "High must not be more than 40 V";
        QTest::newRow("V low -10.5") << int(Voltage) << "-10.5" << "1" << -1 << "Low must not be less than -10 V";
        QTest::newRow("V high checked before low") << int(Voltage) << "-11" << "41" << -1 << "High must not be more than 40 V";
        QTest::newRow("I -7..30") << int(CurrentSink) << "-7" << "30" << 26 << ok;
        QTest::newRow("I -5..40 allowed") << int(CurrentSink) << "-5" << "40" << 22 << ok;
        QTest::newRow("I 4..20") << int(CurrentSink) << "4" << "20" << 16 << ok;
        QTest::newRow("I 3.9..20") << int(CurrentSink) << "3.9" << "20" << 8 << ok;
        QTest::newRow("I high 41") << int(CurrentSink) << "0" << "41" << -1 << "High must not be more than 40 mA";
        QTest::newRow("I low -11") << int(CurrentSink) << "-11" << "0" << -1 << "Low must not be less than -10 mA";
        QTest::newRow("Tx 3.9..20") << int(CurrentTxSupply) << "3.9" << "20" << 8 << ok;
        QTest::newRow("Tx 4..20") << int(CurrentTxSupply) << "4" << "20" << 14 << ok;
        QTest::newRow("Tx negative") << int(CurrentTxSupply) << "-1" << "20" << -1 << "Low must be positive";
        QTest::newRow("Tx high 21") << int(CurrentTxSupply) << "0" << "21" << -1 << "High must not be more than 20 mA";
        QTest::newRow("mV -10..1000") << int(MilliVolt) << "-10" << "1000" << 15 << ok;
        QTest::newRow("mV -10..1001") << int(MilliVolt) << "-10" << "1001" << -1
                                      << "When low is negative high must not be more than 1000 mV";
        QTest::newRow("mV 0..1001") << int(MilliVolt) << "0" << "1001" << 11 << ok;
        QTest::newRow("mV low -126") << int(MilliVolt) << "-126" << "0" << -1 << "Low must not be less than -125 mV";
        QTest::newRow("mV high 1201") << int(MilliVolt) << "0" << "1201" << -1 << "High must not be more than 1200 mV";
        QTest::newRow("pot 0..626") << int(Pot2Wire) << "0" << "626" << 4 << ok;
        QTest::newRow("pot high 1001") << int(Pot2Wire) << "0" << "1001" << -1 << "High must not be more than 1000";
        QTest::newRow("pot negative") << int(Pot2Wire) << "-1" << "10" << -1 << "Low must be positive";
        QTest::newRow("K 0..1200") << int(TcK) << "0" << "1200" << 14 << ok;
        QTest::newRow("J 0..1201") << int(TcJ) << "0" << "1201" << -1 << "High must not be more than 1200°C";
        QTest::newRow("R 0..1201") << int(TcR) << "0" << "1201" << 15 << ok;
        QTest::newRow("S 0..1401") << int(TcS) << "0" << "1401" << -1 << "High must not be more than 1400°C";
        QTest::newRow("N 0..1001") << int(TcN) << "0" << "1001" << -1 << "High must not be more than 1000°C";
        QTest::newRow("E 10..101") << int(TcE) << "10" << "101" << 1 << ok;
        QTest::newRow("K negative") << int(TcK) << "-1" << "100" << -1 << "Low must be positive";
        QTest::newRow("B 399..500") << int(TcB) << "399" << "500" << -1 << "Low must not be less than 400°C";
        QTest::newRow("B 400..1801") << int(TcB) << "400" << "1801" << -1 << "High must not be more than 1800°C";
        QTest::newRow("B 450..1000") << int(TcB) << "450" << "1000" << 10 << ok;
        QTest::newRow("T -80..100") << int(TcT) << "-80" << "100" << 9 << ok;
        QTest::newRow("T -30..10") << int(TcT) << "-30" << "10" << 4 << ok;
        QTest::newRow("T -101..401") << int(TcT) << "-101" << "401" << -1 << "High must not be more than 400°C";
        QTest::newRow("T -201..0") << int(TcT) << "-201" << "0" << -1 << "Low must not be less than -200°C";
        QTest::newRow("RTD -40..360") << int(RtdPt100) << "-40" << "360" << 11 << ok;
        QTest::newRow("RTD -40..410") << int(RtdPt1000) << "-40" << "410" << 14 << ok;
        QTest::newRow("RTD -40..340") << int(RtdPt100) << "-40" << "340" << 7 << ok;
        QTest::newRow("RTD 0..801") << int(RtdPt100) << "0" << "801" << -1 << "High must not be more than 800°C";
        QTest::newRow("RTD -150..0") << int(RtdPt100) << "-150" << "0" << 12 << ok;
        QTest::newRow("RTD 0..45, the higher start first") << int(RtdPt100) << "0" << "45" << 0 << ok;
        // clang-format on
    }

    void fitting()
    {
        QFETCH(int, type);
        QFETCH(QString, low);
        QFETCH(QString, high);
        QFETCH(int, rangeIndex);
        QFETCH(QString, message);

        const ListId list = rangeListFor(type);
        Setup s = inputSetup(type, customIndexFor(list));
        s.eCustomLow = low;
        s.eCustomHigh = high;
        EvaluationValues v;
        v.RangeIndex = 3; // from an earlier evaluation
        const EvaluationOutcome o = Evaluate(s, v, QLocale::c());
        QCOMPARE(o.status, message);
        QCOMPARE(o.completed, message.isEmpty());
        QCOMPARE(v.RangeIndex, rangeIndex);
        QCOMPARE(o.focus, FocusTarget::None);
    }

    void listedRangesFitThemselves_data()
    {
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("index");
        for (int type :
             { Voltage, CurrentSink, CurrentTxSupply, MilliVolt, Pot2Wire, TcK, TcR, TcN, TcB, TcT, RtdPt100 }) {
            const ListId list = rangeListFor(type);
            for (int i = 0; i < customIndexFor(list); ++i)
                QTest::addRow("%s %s", qPrintable(Texts::name(list)), qPrintable(Texts::itemAt(list, i)))
                    << int(list) << i;
        }
    }

    // A custom range typed as exactly a listed range's bounds picks that range.
    void listedRangesFitThemselves()
    {
        QFETCH(int, list);
        QFETCH(int, index);
        const QString text = Texts::itemAt(ListId(list), index);
        const float low = text.section(QLatin1Char(' '), 0, 0).toFloat();
        QString highText = text.section(QLatin1Char(' '), 2, 2);
        highText.remove(QStringLiteral("°C"));
        const float high = highText.toFloat();
        const FitResult fit = fitCustomValues(ListId(list), low, high);
        QCOMPARE(fit.message, QString());
        QCOMPARE(fit.rangeIndex, index);
    }

    void conversion_data()
    {
        // clang-format off
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<float>("value");

        QTest::newRow("plain") << "C" << "7.5" << true << 7.5f;
        QTest::newRow("blanks around") << "C" << " 4 " << true << 4.0f;
        QTest::newRow("exponent") << "C" << "1e2" << true << 100.0f;
        QTest::newRow("sign") << "C" << "+5" << true << 5.0f;
        QTest::newRow("empty") << "C" << "" << false << 0.0f;
        QTest::newRow("letters") << "C" << "abc" << false << 0.0f;
        QTest::newRow("grouped and decimal") << "en_US" << "1,000.5" << false << 0.0f;
        QTest::newRow("Arabic digits typed") << "ar_EG" << QString::fromUtf8("\u0663\u066B\u0665") << true << 3.5f;
        QTest::newRow("Arabic digits elsewhere") << "de_DE" << QString::fromUtf8("\u0663\u066B\u0665") << false << 0.0f;
        QTest::newRow("nan") << "C" << "nan" << false << 0.0f;
        QTest::newRow("inf") << "C" << "inf" << false << 0.0f;
        QTest::newRow("beyond float") << "C" << "1e39" << false << 0.0f;
        QTest::newRow("comma locale") << "de_DE" << "7,5" << true << 7.5f;
        QTest::newRow("point in comma locale") << "de_DE" << "7.5" << true << 7.5f;
        // clang-format on
    }

    void conversion()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(float, value);
        const std::optional<float> f = customTextToFloat(text, QLocale(locale));
        QCOMPARE(f.has_value(), valid);
        if (valid)
            QCOMPARE(*f, value);
    }

    // Texts as setup files hold them mean the same in every locale, and the
    // locale-free reading agrees.
    void storedTextsInEveryLocale_data()
    {
        // clang-format off
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<float>("value");

        QTest::newRow("point") << "-5.5" << true << -5.5f;
        QTest::newRow("comma") << "-5,5" << true << -5.5f;
        QTest::newRow("leading separator") << ",25" << true << 0.25f;
        QTest::newRow("comma, three digits") << "1,000" << true << 1.0f;
        QTest::newRow("point, three digits") << "1.000" << true << 1.0f;
        QTest::newRow("exponent") << "1,5E2" << true << 150.0f;
        QTest::newRow("whole") << "400" << true << 400.0f;
        QTest::newRow("two commas") << "1,0,0" << false << 0.0f;
        QTest::newRow("both separators") << "1.0,0" << false << 0.0f;
        QTest::newRow("blank inside") << "1 000" << false << 0.0f;
        // clang-format on
    }

    void storedTextsInEveryLocale()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(float, value);
        QCOMPARE(customTextValue(text), valid ? std::optional<float>(value) : std::nullopt);
        QStringList differ;
        for (const QLocale &locale :
             QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory))
            if (customTextToFloat(text, locale) != customTextValue(text))
                differ << locale.name();
        QVERIFY2(differ.isEmpty(), qPrintable(differ.join(QLatin1Char(' '))));
    }

    // Every text that a locale reads as a number (its digits, signs and decimal
    // separator, no thousands separators) keeps that value.
    void localeNumbersKeepTheirValue()
    {
        QStringList wrong;
        int read = 0;
        for (QLocale locale :
             QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
            locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
            QStringList texts;
            for (const double value : { -12.5, 0.25, 750.0, 1.5e5 })
                texts << locale.toString(value, 'g', 6) << locale.toString(value, 'e', 2);
            for (const QString &text : texts) {
                bool ok = false;
                const double value = locale.toDouble(text, &ok);
                if (!ok)
                    continue;
                ++read;
                if (customTextToFloat(text, locale) != float(value))
                    wrong << locale.name() + QLatin1Char(':') + text;
            }
        }
        QVERIFY(read > 1000);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char(' '))));
    }

    void valuesAndFocus()
    {
        Setup s = inputSetup(Voltage, 27);
        s.eCustomLow = QStringLiteral("abc");
        s.eCustomHigh = QStringLiteral("also bad");
        EvaluationValues v;
        v.CustomLow = 11.0f;
        v.CustomHigh = 12.0f;
        EvaluationOutcome o = Evaluate(s, v, QLocale::c());
        QCOMPARE(o.status, QStringLiteral("Low is invalid"));
        QCOMPARE(o.focus, FocusTarget::CustomLow);
        QVERIFY(!o.customLowRead && !o.customHighRead);
        QCOMPARE(v.CustomLow, 11.0f); // the high text is not read either

        s.eCustomLow = QStringLiteral("2");
        o = Evaluate(s, v, QLocale::c());
        QCOMPARE(o.status, QStringLiteral("High is invalid"));
        QCOMPARE(o.focus, FocusTarget::CustomHigh);
        QVERIFY(o.customLowRead && !o.customHighRead);
        QCOMPARE(v.CustomLow, 2.0f); // the low value is already stored
        QCOMPARE(v.CustomHigh, 12.0f);
        QCOMPARE(v.RangeIndex, -1);

        // A huge value is refused like a text that does not convert, instead of
        // passing every limit test.
        s.eCustomHigh = QStringLiteral("9e99");
        o = Evaluate(s, v, QLocale::c());
        QCOMPARE(o.status, QStringLiteral("High is invalid"));

        s.eCustomHigh = QStringLiteral("3.3");
        o = Evaluate(s, v, QLocale::c());
        QVERIFY(o.completed);
        QCOMPARE(v.CustomHigh, 3.3f);
        QCOMPARE(v.RangeIndex, 12); // "1 to 4 V"

        // The fitting alone refuses values that are not numbers, and a list that
        // takes no custom range.
        QCOMPARE(fitCustomValues(ListId::cbIRRTD, std::nanf(""), 10).message, QStringLiteral("Low is invalid"));
        QCOMPARE(fitCustomValues(ListId::cbIRVoltage, 0, std::nanf("")).message, QStringLiteral("High is invalid"));
        QCOMPARE(fitCustomValues(ListId::cbIRPot3, 0, 10).rangeIndex, -1);
    }
};

QTEST_APPLESS_MAIN(TestCustomRange)
#include "tst_model_customrange.moc"
