// The main window under a real German locale (decimal comma): custom texts
// from a file and typed ones are read with a point or a comma alike, and the
// edits show a file's texts as they stand.

#include "mainwindow_testing.h"

#include "evaluation.h"

#include <QAction>

#include <clocale>

using namespace testing;
using hvx::Setup;

class TestMainWindowLocale : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void customTexts_data();
    void customTexts();
};

void TestMainWindowLocale::initTestCase()
{
    // The environment names de_DE.UTF-8 and the C library knows it: numbers
    // are written with a comma throughout the process.
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    QVERIFY2(std::localeconv()->decimal_point == QByteArrayView(","), "de_DE.UTF-8 missing: run scripts/deps.sh");
}

void TestMainWindowLocale::customTexts_data()
{
    QTest::addColumn<bool>("fromFile");
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("high");
    QTest::addColumn<int>("rangeIndex");
    QTest::addColumn<float>("customLow");

    // clang-format off
    QTest::newRow("file, points")                     << true  << "0.5"   << "7.5" << 4  << 0.5f;
    QTest::newRow("file, commas")                     << true  << "0,5"   << "7,5" << 4  << 0.5f;
    QTest::newRow("typed, commas")                    << false << "0,5"   << "7,5" << 4  << 0.5f;
    QTest::newRow("typed, point and comma")           << false << "0.5"   << "7,5" << 4  << 0.5f;
    QTest::newRow("typed, point before three digits") << false << "1.000" << "2"   << 11 << 1.0f;
    // clang-format on
}

void TestMainWindowLocale::customTexts()
{
    QFETCH(bool, fromFile);
    QFETCH(QString, low);
    QFETCH(QString, high);
    QFETCH(int, rangeIndex);
    QFETCH(float, customLow);

    Setup s;
    s.cbInputType = hvx::Voltage;
    s.cbIRVoltage = 27; // Custom
    s.cbOutputRange = 1;
    if (fromFile) {
        s.eCustomLow = low;
        s.eCustomHigh = high;
    }
    QTemporaryDir dir;
    Fixture f({ writeSetup(dir.filePath(QStringLiteral("custom.hvx")), s) });
    auto *lowEdit = child<QLineEdit>(f.form, QStringLiteral("eCustomLow"));
    auto *highEdit = child<QLineEdit>(f.form, QStringLiteral("eCustomHigh"));
    if (!fromFile) {
        QTest::keyClicks(lowEdit, low);
        QTest::keyClicks(highEdit, high);
    }
    QCOMPARE(lowEdit->text(), low);
    QCOMPARE(highEdit->text(), high);

    f.form.findChild<QAction *>(QStringLiteral("Evaluate2"))->trigger();
    QCOMPARE(info(f.form), QString());
    QCOMPARE(f.form.evaluationValues().RangeIndex, rangeIndex);
    QCOMPARE(f.form.evaluationValues().CustomLow, customLow);
}

QTEST_MAIN(TestMainWindowLocale)
#include "tst_mainwindow_locale.moc"
