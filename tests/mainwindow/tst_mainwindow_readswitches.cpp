// Reading a unit's switches back, from the main window: the switches set by
// click and by keyboard, what the window says about them, Use This Setup and
// Compare With Current Setup.

#include "mainwindow_testing.h"

#include "decode.h"
#include "evaluation.h"
#include "readswitchesform.h"
#include "switchbankpanel.h"

#include <QAccessible>
#include <QListWidget>
#include <QPushButton>
#include <QWindow>

using namespace testing;
using hvx::DialogAnswer;
using hvx::ReadSwitchesForm;
using hvx::Setup;
using hvx::SwitchMap;

Q_DECLARE_METATYPE(hvx::DialogAnswer)

namespace {

Setup voltageSetup()
{
    Setup s;
    s.cbInputType = hvx::Voltage;
    s.cbIRVoltage = 6; // 0 to 10 V
    s.cbOutputRange = 1;
    return s;
}

SwitchMap evaluated(const Setup &s)
{
    hvx::EvaluationValues values;
    if (!hvx::Evaluate(s, values, QLocale::c()).completed)
        qFatal("setup does not evaluate");
    return values.map;
}

// Opens the window from the tool bar, as a user does.
ReadSwitchesForm *openReader(TMainForm &form)
{
    QTest::mouseClick(child<QToolButton>(form, "sbReadSwitches"), Qt::LeftButton);
    auto *reader = form.findChild<ReadSwitchesForm *>();
    if (!reader || !QTest::qWaitFor([reader] { return QApplication::activeWindow() == reader; }))
        qFatal("the read switches window did not come up");
    return reader;
}

// Sets the window's switches to a map by clicking every switch that differs.
void clickTo(ReadSwitchesForm *reader, const SwitchMap &map)
{
    for (int b = 1; b <= 4; ++b)
        for (int p = 1; p <= 12; ++p)
            if (reader->switchToggle(b, p)->isOn() != map.bank(b).isOn(p))
                QTest::mouseClick(reader->switchToggle(b, p), Qt::LeftButton);
    QVERIFY(reader->switches() == map);
}

QStringList marked(ReadSwitchesForm *reader)
{
    QStringList names;
    for (int b = 1; b <= 4; ++b)
        for (int p = 1; p <= 12; ++p)
            if (reader->switchToggle(b, p)->isMarked())
                names << QStringLiteral("S%1.%2").arg(b).arg(p);
    return names;
}

QString text(ReadSwitchesForm *reader, const char *label) { return child<QLabel>(*reader, label)->text(); }

} // namespace

class TestReadSwitches : public QObject {
    Q_OBJECT

private slots:
    void keyboard_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("on");

        QTest::newRow("space") << QList<int>{ Qt::Key_Space } << "S1 switch 1";
        QTest::newRow("right, space") << QList<int>{ Qt::Key_Right, Qt::Key_Right, Qt::Key_Space } << "S1 switch 3";
        // The banks lie as on the sheet, S3, S4, S2, S1 from the top.
        const QList<int> upThrice{ Qt::Key_Up, Qt::Key_Up, Qt::Key_Up };
        QTest::newRow("left stops at S1.1, down at S1")
            << QList<int>{ Qt::Key_Left, Qt::Key_Down, Qt::Key_Space } << "S1 switch 1";
        QTest::newRow("up to S2") << QList<int>{ Qt::Key_Right, Qt::Key_Up, Qt::Key_Space } << "S2 switch 2";
        QTest::newRow("up stops at S3") << upThrice + QList<int>{ Qt::Key_Up, Qt::Key_Space } << "S3 switch 1";
        QTest::newRow("down from S3 to S4") << upThrice + QList<int>{ Qt::Key_Down, Qt::Key_Space } << "S4 switch 1";
        QTest::newRow("left from S3.1 to S2.12")
            << upThrice + QList<int>{ Qt::Key_Left, Qt::Key_Space } << "S2 switch 12";
        QTest::newRow("left from S2.1 to S1.12")
            << QList<int>{ Qt::Key_Up, Qt::Key_Left, Qt::Key_Space } << "S1 switch 12";
        QTest::newRow("right from S3.12 to S4.1")
            << upThrice + QList<int>(12, Qt::Key_Right) + QList<int>{ Qt::Key_Space } << "S4 switch 1";
        QTest::newRow("left stops at S1.1") << QList<int>{ Qt::Key_Left, Qt::Key_Space } << "S1 switch 1";
        QTest::newRow("right stops at S4.12") << upThrice + QList<int>{ Qt::Key_Down } + QList<int>(12, Qt::Key_Right)
                + QList<int>{ Qt::Key_Space } << "S4 switch 12";
        QTest::newRow("space twice turns back")
            << QList<int>{ Qt::Key_Down, Qt::Key_Right, Qt::Key_Space, Qt::Key_Space } << QString();
    }

    // From the switch that has the focus when the window opens (S1.1).
    void keyboard()
    {
        QFETCH(QList<int>, keys);
        QFETCH(QString, on);
        Fixture f;
        ReadSwitchesForm *reader = openReader(f.form);
        for (int key : keys)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));

        QStringList names;
        for (int b = 1; b <= 4; ++b)
            for (int p = 1; p <= 12; ++p) {
                const hvx::SwitchToggle *t = reader->switchToggle(b, p);
                QCOMPARE(t->isOn(), reader->switches().bank(b).isOn(p));
                // Only the square with the focus is in the Tab order.
                QCOMPARE(t->focusPolicy() == Qt::StrongFocus, t == QApplication::focusWidget());
                if (t->accessibleName().endsWith(QStringLiteral(", on")))
                    names << t->accessibleName().chopped(4);
                else
                    QCOMPARE(t->accessibleName(), QStringLiteral("S%1 switch %2, off").arg(b).arg(p));
            }
        QCOMPARE(names, on.isEmpty() ? QStringList() : QStringList{ on });
    }

    // A switch square's Toggle action as a click, beyond what the accessibility
    // bus test works from outside: its key, other actions, a disabled square.
    void toggleToAScreenReader()
    {
        Fixture f;
        ReadSwitchesForm *reader = openReader(f.form);
        hvx::SwitchToggle *toggle = reader->switchToggle(2, 5);
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(toggle);
        QVERIFY(a && a->actionInterface());
        QVERIFY(a->state().checkable && !a->state().checked);
        QAccessibleActionInterface *actions = a->actionInterface();
        QCOMPARE(actions->keyBindingsForAction(QAccessibleActionInterface::toggleAction()), QStringList{ "Space" });
        QCOMPARE(actions->keyBindingsForAction(QAccessibleActionInterface::pressAction()), QStringList());
        actions->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(!reader->switches().bank(2).isOn(5));
        actions->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(reader->switches().bank(2).isOn(5) && a->state().checked);
        toggle->setEnabled(false);
        actions->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(reader->switches().bank(2).isOn(5));
    }

    // An exact pattern shows its setup's summary, listed alone; one switch away
    // from it no setup gives the switches, the nearest are listed and the chosen
    // one's differences are marked.
    void decodes()
    {
        Fixture f;
        ReadSwitchesForm *reader = openReader(f.form);
        const SwitchMap exact = evaluated(voltageSetup());
        clickTo(reader, exact);
        QCOMPARE(text(reader, "lHeadline"), QStringLiteral("The unit is set to this setup:"));
        QCOMPARE(text(reader, "lInputLabel1"), QStringLiteral("Voltage, 0 to 10 V."));
        QCOMPARE(text(reader, "lInputLabel2"), QStringLiteral("Normal response."));
        QVERIFY(text(reader, "lOutputLabel").endsWith(QStringLiteral("Square root off.")));
        QCOMPARE(child<QListWidget>(*reader, "lbNearest")->count(), 1);
        QVERIFY(child<QLabel>(*reader, "lOutput2Label")->isHidden());
        QVERIFY(marked(reader).isEmpty());

        QTest::mouseClick(reader->switchToggle(2, 12), Qt::LeftButton);
        const hvx::DecodeResult r = hvx::decodeSwitchMap(reader->switches());
        QVERIFY(!r.exact());
        QVERIFY(text(reader, "lHeadline").startsWith(QStringLiteral("No setup gives these switches")));
        auto *list = child<QListWidget>(*reader, "lbNearest");
        QCOMPARE(list->count(), int(std::min<std::int64_t>(r.total(), 20)));
        QVERIFY2(list->item(0)->text().startsWith(QStringLiteral("1 differs - ")), qPrintable(list->item(0)->text()));
        list->setCurrentRow(list->count() - 1);
        const hvx::DecodedSetup *chosen = reader->chosenSetup();
        QVERIFY(chosen && !chosen->differs.empty());
        QStringList expected;
        for (const hvx::SwitchPosition &p : chosen->differs)
            expected << p.name();
        QCOMPARE(marked(reader), expected);
        QCOMPARE(text(reader, "lInputLabel1"), hvx::decodedSummary(chosen->setup).front());
        // With every switch off the nearest setups differ in several positions.
        QTest::mouseClick(reader->switchToggle(4, 12), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(*reader, "bAllOff"), Qt::LeftButton);
        for (int b = 1; b <= 4; ++b)
            for (int p = 1; p <= 12; ++p)
                QVERIFY(!reader->switchToggle(b, p)->isOn());
        QVERIFY2(
            QRegularExpression(QStringLiteral("^([2-9]|\\d\\d+) differ - ")).match(list->item(0)->text()).hasMatch(),
            qPrintable(list->item(0)->text()));
    }

    void useThisSetup_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<DialogAnswer>("answer");
        QTest::addColumn<bool>("taken");

        QTest::newRow("unchanged: no question") << false << DialogAnswer::No << true;
        QTest::newRow("changed, No") << true << DialogAnswer::No << true;
        QTest::newRow("changed, Cancel") << true << DialogAnswer::Cancel << false;
    }

    // The window's setup into a main window that holds an opened file.
    void useThisSetup()
    {
        QFETCH(bool, changed);
        QFETCH(DialogAnswer, answer);
        QFETCH(bool, taken);
        QTemporaryDir dir;
        Setup fileSetup = voltageSetup();
        fileSetup.cbIRVoltage = 3;
        const QString path = writeSetup(dir.filePath("plant.hvx"), fileSetup);
        Fixture f({ path });
        if (changed) {
            choose(combo(f.form, "cbIRVoltage"), 2);
            f.script().queueAnswer(answer);
        }
        const Setup before = f.form.setup();
        const QString title = f.form.windowTitle();

        ReadSwitchesForm *reader = openReader(f.form);
        Setup wanted = voltageSetup();
        wanted.rgConversionSpeed = 1; // fast: the choice is shown in the main window
        clickTo(reader, evaluated(wanted));
        QTest::mouseClick(child<QPushButton>(*reader, "bUse"), Qt::LeftButton);

        QCOMPARE(f.script().unexpectedCalls(), 0);
        QVERIFY(f.script().allAnswersUsed());
        if (!taken) {
            QVERIFY(f.form.setup() == before);
            QCOMPARE(f.form.windowTitle(), title);
            QCOMPARE(f.form.SetupFileName(), path);
            QVERIFY(f.form.Modified());
            QVERIFY(!text(reader, "lMarks").startsWith(QStringLiteral("The setup is now in the main window.")));
            return;
        }
        wanted.conversionSpeedShown = true;
        QVERIFY(f.form.setup() == wanted);
        QVERIFY(shown(f.form, "rgConversionSpeed") && shown(f.form, "cbIRVoltage"));
        QCOMPARE(f.form.windowTitle(), QStringLiteral("Halvex Switch Setup"));
        QVERIFY(f.form.SetupFileName().isEmpty());
        QVERIFY(f.form.Modified());
    }

    // Compare marks where the unit differs from the main window's setup and
    // follows the switches as they change, until a setup of the list is chosen.
    // With no main window to take the setup, Use does nothing.
    void useWithoutMainWindow()
    {
        ReadSwitchesForm reader;
        clickTo(&reader, evaluated(voltageSetup()));
        QTest::mouseClick(child<QPushButton>(reader, "bUse"), Qt::LeftButton);
        QCOMPARE(text(&reader, "lMarks"), QString());
    }

    void compare()
    {
        Fixture f;
        f.form.applySetup(voltageSetup());
        ReadSwitchesForm *reader = openReader(f.form);
        clickTo(reader, evaluated(voltageSetup()));
        QTest::mouseClick(reader->switchToggle(2, 5), Qt::LeftButton);
        QTest::mouseClick(reader->switchToggle(1, 3), Qt::LeftButton);
        QTest::mouseClick(reader->switchToggle(4, 12), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(*reader, "bCompare"), Qt::LeftButton);
        QCOMPARE(text(reader, "lMarks"),
                 QStringLiteral("The unit differs from the current setup: S1.3 is on, the setup needs it off; "
                                "S2.5 is off, the setup needs it on; S4.12 is on, the setup needs it off."));
        QCOMPARE(marked(reader), QStringList({ "S1.3", "S2.5", "S4.12" }));

        QTest::mouseClick(reader->switchToggle(1, 3), Qt::LeftButton);
        QTest::mouseClick(reader->switchToggle(2, 5), Qt::LeftButton);
        QTest::mouseClick(reader->switchToggle(4, 12), Qt::LeftButton);
        QCOMPARE(text(reader, "lMarks"), QStringLiteral("The unit is set as the current setup."));
        QVERIFY(marked(reader).isEmpty());

        // A click on a nearest setup leaves the comparison: its own marks show.
        QTest::mouseClick(reader->switchToggle(1, 3), Qt::LeftButton);
        auto *list = child<QListWidget>(*reader, "lbNearest");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QVERIFY2(text(reader, "lMarks").startsWith(QStringLiteral("Marked in red: ")),
                 qPrintable(text(reader, "lMarks")));
    }

    // Use This Setup after Compare: the comparison now is with the setup just
    // put into the main window, and the marks of the old one go.
    void useAfterCompare()
    {
        QTemporaryDir dir;
        Fixture f({ writeSetup(dir.filePath("plant.hvx"), voltageSetup()) });
        ReadSwitchesForm *reader = openReader(f.form);
        Setup unit = voltageSetup();
        unit.cbIRVoltage = 3;
        clickTo(reader, evaluated(unit));
        QTest::mouseClick(child<QPushButton>(*reader, "bCompare"), Qt::LeftButton);
        QVERIFY(!marked(reader).isEmpty());

        QTest::mouseClick(child<QPushButton>(*reader, "bUse"), Qt::LeftButton);
        QVERIFY(marked(reader).isEmpty());
        QCOMPARE(text(reader, "lMarks"),
                 QStringLiteral("The setup is now in the main window. The unit is set as the current setup."));
    }

    // Choosing a setup with a second output, or without, moves nothing: the list
    // and the summary keep their places and sizes, and "Output 2:" shows only for a second output.
    void summaryKeepsItsHeight()
    {
        Fixture f;
        ReadSwitchesForm *reader = openReader(f.form);
        auto *list = child<QListWidget>(*reader, "lbNearest");
        Setup dual = voltageSetup();
        dual.rgDualOutput = 1;
        dual.cbOutputRange2 = 5;
        dual.rgSquareRoot2 = 1;
        auto *summary = child<QWidget>(*reader, "pSummary");
        QList<QRect> single;
        for (const Setup &s : { voltageSetup(), dual, voltageSetup() }) {
            reader->setSwitches(evaluated(s));
            QApplication::processEvents();
            QCOMPARE(shown(*reader, "stOutput2Label"), s.isDualOutput());
            QCOMPARE(shown(*reader, "lOutput2Label"), s.isDualOutput());
            if (single.isEmpty())
                single = { list->geometry(), summary->geometry() };
            QCOMPARE(QList<QRect>({ list->geometry(), summary->geometry() }), single);
        }
    }

    // Closed and opened again, the window comes back where the user left it.
    void reopensWhereLeft()
    {
        Fixture f;
        ReadSwitchesForm *reader = openReader(f.form);
        const QPoint placed = reader->pos() + QPoint(37, 29);
        reader->windowHandle()->setFramePosition(placed); // as the window manager moves it
        QTRY_COMPARE(reader->pos(), placed);
        QTest::mouseClick(child<QPushButton>(*reader, "bClose"), Qt::LeftButton);
        QVERIFY(!reader->isVisible());
        QCOMPARE(openReader(f.form), reader);
        QCOMPARE(reader->pos(), placed);
    }
};

QTEST_MAIN(TestReadSwitches)
#include "tst_mainwindow_readswitches.moc"
