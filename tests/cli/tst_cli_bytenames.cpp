// File names as bytes: every name comes back byte for byte, and valid UTF-8
// reads as its own text.
#include "bytenames.h"

#include <QTest>

using namespace hvx;

class TestByteNames : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
};

void TestByteNames::roundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("utf8");
    // clang-format off
    QTest::newRow("plain")               << QByteArray("TT-101.hvx") << true;
    QTest::newRow("two bytes at the end") << QByteArray("\xC2\xB0") << true;
    QTest::newRow("U+FFFF")              << QByteArray("\xEF\xBF\xBF") << true;
    QTest::newRow("U+10000")             << QByteArray("\xF0\x90\x80\x80") << true;
    QTest::newRow("U+10FFFF")            << QByteArray("\xF4\x8F\xBF\xBF") << true;
    QTest::newRow("cut short")           << QByteArray("a\xE2\x82") << false;
    QTest::newRow("overlong slash")      << QByteArray("\xC0\xAF") << false;
    QTest::newRow("surrogate U+D800")    << QByteArray("\xED\xA0\x80") << false;
    QTest::newRow("surrogate U+DFFF")    << QByteArray("\xED\xBF\xBF") << false;
    QTest::newRow("beyond Unicode")      << QByteArray("\xF4\x90\x80\x80") << false;
    QTest::newRow("bytes 0x80 and 0xFF") << QByteArray("\x80-\xFF") << false;
    // clang-format on
}

void TestByteNames::roundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, utf8);
    QCOMPARE(isValidUtf8(bytes), utf8);
    const QString text = bytesToText(bytes);
    QCOMPARE(textToBytes(text), bytes);
    if (utf8)
        QCOMPARE(text, QString::fromUtf8(bytes));
    else
        QVERIFY(!text.contains(QChar::ReplacementCharacter) && !text.contains(QLatin1Char('/')));
}

QTEST_GUILESS_MAIN(TestByteNames)
#include "tst_cli_bytenames.moc"
