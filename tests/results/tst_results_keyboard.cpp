// The results window from the keyboard, as a screen reader's user meets it:
// each bank a stop of the Tab key that reads its on positions, the arrow
// keys from square to square inside the banks, Escape going back and
// Shift+F10 opening the context menu.

#include "evaluation.h"
#include "shapewidget.h"
#include "switchform.h"
#include "switchnames.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace hvx;

namespace {

Setup voltageSetup(bool dual)
{
    Setup s;
    s.cbInputType = Voltage;
    s.cbIRVoltage = int(Texts::items(ListId::cbIRVoltage).indexOf(QStringLiteral("0 to 10 V")));
    s.cbOutputRange = int(Texts::items(ListId::cbOutputRange).indexOf(QStringLiteral("4 to 20 mA source")));
    if (dual) {
        s.rgDualOutput = 1;
        s.cbOutputRange2 = int(Texts::items(ListId::cbOutputRange2).indexOf(QStringLiteral("0 to 10 V source")));
    }
    return s;
}

SwitchBank bankOf(const char *bits)
{
    SwitchBank bank;
    for (int p = 1; p <= 12; ++p)
        if (bits[p - 1] == '1')
            bank.turnOn(p);
    return bank;
}

// What the focused control tells a screen reader.
QString focusName()
{
    QWidget *w = QApplication::focusWidget();
    return w ? QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name) : QStringLiteral("<no focus>");
}

} // namespace

class TestResultKeyboard : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // Shows the evaluated setup and runs whileShown in the open window;
    // false when the window did not close by itself afterwards.
    bool show(TResultForm &form, const Setup &setup, const std::function<void()> &whileShown)
    {
        EvaluationValues values;
        if (!Evaluate(setup, values, QLocale::c()).completed)
            return false;
        QTimer::singleShot(0, &form, [&] {
            whileShown();
            if (form.isVisible())
                form.reject();
        });
        form.ShowResults(setup, values, QString());
        return true;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void bankReading_data()
    {
        QTest::addColumn<QByteArray>("bits");
        QTest::addColumn<QString>("reading");
        QTest::newRow("several") << QByteArray("001000011100") << "S1: on 3, 8, 9 and 10; the others off";
        QTest::newRow("two") << QByteArray("100000000001") << "S1: on 1 and 12; the others off";
        QTest::newRow("one") << QByteArray("000010000000") << "S1: on 5; the others off";
        QTest::newRow("none") << QByteArray("000000000000") << "S1: all off";
        QTest::newRow("all") << QByteArray("111111111111") << "S1: all on";
        QTest::newRow("all but one") << QByteArray("111111111110")
                                     << "S1: on 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 and 11; the others off";
    }

    void bankReading()
    {
        QFETCH(QByteArray, bits);
        QFETCH(QString, reading);
        QCOMPARE(hvx::bankReading(1, bankOf(bits.constData())), reading);
    }

    // Tab from Back runs through the banks shown, S1 first, to Print and
    // back; each bank reads its own positions.
    void tabThroughBanks_data()
    {
        QTest::addColumn<bool>("dual");
        QTest::addColumn<QStringList>("stops");
        QTest::newRow("single output") << false << QStringList{ "r_S1", "r_S2", "r_S3", "bPrint", "bClose" };
        QTest::newRow("dual output") << true << QStringList{ "r_S1", "r_S2", "r_S3", "Shape1", "bPrint", "bClose" };
    }

    void tabThroughBanks()
    {
        QFETCH(bool, dual);
        QFETCH(QStringList, stops);
        TResultForm form(m_dir.filePath(QStringLiteral("hvxprint.ini")), nullptr, QString());
        EvaluationValues values;
        Evaluate(voltageSetup(dual), values, QLocale::c());
        QVERIFY(show(form, voltageSetup(dual), [&] {
            QVERIFY(QTest::qWaitForWindowActive(&form));
            QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("bClose"));
            QStringList seen;
            QStringList readings;
            for (int i = 0; i < stops.size(); ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                seen << QApplication::focusWidget()->objectName();
                if (seen.last().startsWith(QLatin1Char('r')) || seen.last() == QLatin1String("Shape1"))
                    readings << focusName();
            }
            QCOMPARE(seen, stops);
            QStringList wanted;
            for (int b = 1; b <= (dual ? 4 : 3); ++b)
                wanted << hvx::bankReading(b, values.map.bank(b));
            QCOMPARE(readings, wanted);
        }));
    }

    // The arrow keys go square by square along a bank (Left from the first
    // square back to the bank), Home and End to its ends, Up and Down to the
    // same position of the bank before or after; Tab from a square goes on
    // to the next bank. Each square reads its position and state.
    void arrowsThroughSquares_data()
    {
        QTest::addColumn<bool>("dual");
        QTest::addColumn<int>("lastBank");    // the lowest bank shown
        QTest::addColumn<QString>("afterUp"); // Tab from the bank above it
        QTest::newRow("single output") << false << 3 << "r_S3";
        QTest::newRow("dual output") << true << 4 << "Shape1";
    }

    void arrowsThroughSquares()
    {
        QFETCH(bool, dual);
        QFETCH(int, lastBank);
        QFETCH(QString, afterUp);
        TResultForm form(m_dir.filePath(QStringLiteral("hvxprint.ini")), nullptr, QString());
        EvaluationValues values;
        Evaluate(voltageSetup(dual), values, QLocale::c());
        const auto reads = [&](int bank, int position) {
            return switchPositionName(bank, position, values.map.bank(bank).isOn(position));
        };
        QVERIFY(show(form, voltageSetup(dual), [&] {
            QVERIFY(QTest::qWaitForWindowActive(&form));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // S1
            const auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
            press(Qt::Key_Right);
            QCOMPARE(focusName(), reads(1, 1));
            for (int p = 2; p <= 12; ++p) {
                press(Qt::Key_Right);
                QCOMPARE(focusName(), reads(1, p));
            }
            press(Qt::Key_Right); // the last square: it stays
            QCOMPARE(focusName(), reads(1, 12));
            press(Qt::Key_Home);
            QCOMPARE(focusName(), reads(1, 1));
            press(Qt::Key_Left);
            QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("r_S1"));
            press(Qt::Key_End);
            press(Qt::Key_Down);
            QCOMPARE(focusName(), reads(2, 12));
            press(Qt::Key_Down);
            press(Qt::Key_Down);
            press(Qt::Key_Down); // past the lowest bank shown (S3 in single output): it stays
            QCOMPARE(focusName(), reads(lastBank, 12));
            QVERIFY(QApplication::focusWidget()->isVisible());
            press(Qt::Key_Up);
            press(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), afterUp);
        }));
    }

    // Escape goes back as "Back" does, wherever the focus is; Shift+F10
    // opens the context menu with the print options' entry chosen, for a
    // screen reader to read.
    void escapeAndContextMenu()
    {
        TResultForm form(m_dir.filePath(QStringLiteral("hvxprint.ini")), nullptr, QString());
        QStringList menu;
        QVERIFY(show(form, voltageSetup(false), [&] {
            QVERIFY(QTest::qWaitForWindowActive(&form));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // S1
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
            QTimer::singleShot(0, &form, [&] {
                if (auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                    for (const QAction *a : popup->actions())
                        menu << (a == popup->activeAction() ? QStringLiteral("[chosen] ") : QString()) + a->text();
                    popup->close();
                }
            });
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10, Qt::ShiftModifier);
            QVERIFY(form.isVisible());
            QTest::keyClick(form.focusWidget(), Qt::Key_Escape);
            QVERIFY(!form.isVisible());
        }));
        QCOMPARE(menu, QStringList{ QStringLiteral("[chosen] &Print Options") });
    }
};

QTEST_MAIN(TestResultKeyboard)
#include "tst_results_keyboard.moc"
