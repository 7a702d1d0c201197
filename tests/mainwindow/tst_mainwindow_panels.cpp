// The main window's panels driven through their controls: what each input
// type and output mode shows, the custom edits, the burnout captions, the
// unsaved-changes flag and the status label, the keyboard commands and
// Evaluate.

#include "mainwindow_testing.h"

#include "programstyle.h"
#include "switchform.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QMenu>
#include <QMenuBar>

using namespace testing;
using hvx::Setup;

namespace {

const QStringList RangeLists = {
    "cbInputRange",  "cbIRVoltage", "cbIRCurrent", "cbIRCurrentTransmitter",
    "cbIRmilliVolt", "cbIRPot2",    "cbIRPot3",    "cbIRTCKJ",
    "cbIRTCRS",      "cbIRTCNE",    "cbIRTCB",     "cbIRTCT",
    "cbIRRTD",
};

QStringList shownAmong(QWidget &form, const QStringList &names)
{
    QStringList out;
    for (const QString &n : names)
        if (shown(form, n))
            out << n;
    return out;
}

// Sets a status message without touching Modified: Evaluate refuses the
// setup and says why.
void putStatusMessage(TMainForm &form)
{
    QTest::mouseClick(child<QToolButton>(form, "sbShowResults"), Qt::LeftButton);
    QVERIFY(!info(form).isEmpty());
}

// Starts a window on a setup file, so that it begins with that setup and an
// unchanged state.
struct OpenedFixture {
    explicit OpenedFixture(const Setup &s)
        : path(writeSetup(dir.filePath("start.hvx"), s))
        , fixture(QStringList{ path })
    {
    }
    QTemporaryDir dir;
    QString path;
    Fixture fixture;
};

} // namespace

using Action = std::function<void(TMainForm &)>;
Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(hvx::Setup)

class TestMainWindowPanels : public QObject {
    Q_OBJECT

private slots:
    // The program's style, as the application sets it.
    void initTestCase() { QApplication::setStyle(new hvx::ProgramStyle); }
    void startState();
    void inputTypeLayout_data();
    void inputTypeLayout();
    void customEdits();
    void changeMarksModifiedAndStatus_data();
    void changeMarksModifiedAndStatus();
    void dualOutputLayout_data();
    void dualOutputLayout();
    void squareRootSurvivesDualOutput();
    void burnoutCaptions_data();
    void burnoutCaptions();
    void droppedRows_data();
    void droppedRows();
    void listDropsBelowOnClick();
    void keyboardCommands_data();
    void keyboardCommands();
    void menuCaptions_data();
    void menuCaptions();
    void menuKeys_data();
    void menuKeys();
    void speedEntryFollowsTheChoice();
    void tabLandsOnChosenButton_data();
    void tabLandsOnChosenButton();
    void evaluate_data();
    void evaluate();
    void evaluateShowsResults();
    void listsAndStatusToAScreenReader();
};

void TestMainWindowPanels::startState()
{
    Fixture f;
    TMainForm &form = f.form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Halvex Switch Setup"));
    QVERIFY(!form.Modified());
    QCOMPARE(shownAmong(form, RangeLists), QStringList{ "cbInputRange" });
    for (const char *hidden : { "rgConversionSpeed", "rgLinearisation", "rgColdJunction", "rgRTDType", "eCustomLow",
                                "lCustomLow", "pOutput2", "pTripOutput2", "pFreqOutput2", "pDualType" })
        QVERIFY2(!shown(form, hidden), hidden);
    for (const char *visible : { "cbInputType", "pOutput1", "rgSquareRoot", "cbOutputRange" })
        QVERIFY2(shown(form, visible), visible);
    QCOMPARE(captions(form, "rgBurnout"), (QStringList{ "High burnout", "Low burnout" }));
    QCOMPARE(form.setup(), Setup());
    // Only the part of a hint before "|" shows.
    QCOMPARE(child<QWidget>(form, "rgSquareRoot2")->toolTip(), QStringLiteral("Output 2 square root mode"));
    // Tool buttons never take the focus.
    combo(form, "cbInputType")->setFocus();
    QTest::mouseClick(child<QToolButton>(form, "sbShowResults"), Qt::LeftButton);
    QCOMPARE(form.focusWidget(), combo(form, "cbInputType"));
}

void TestMainWindowPanels::inputTypeLayout_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("rangeList");
    QTest::addColumn<bool>("linearisation");
    QTest::addColumn<bool>("coldJunction");
    QTest::addColumn<bool>("rtdType");
    const char *lists[hvx::InputTypeCount] = { "cbIRVoltage",   "cbIRCurrent", "cbIRCurrentTransmitter",
                                               "cbIRmilliVolt", "cbIRPot2",    "cbIRPot3",
                                               "cbIRTCKJ",      "cbIRTCKJ",    "cbIRTCRS",
                                               "cbIRTCRS",      "cbIRTCNE",    "cbIRTCNE",
                                               "cbIRTCB",       "cbIRTCT",     "cbIRRTD",
                                               "cbIRRTD" };
    for (int t = 0; t < hvx::InputTypeCount; ++t)
        QTest::addRow("%s", qPrintable(hvx::Texts::itemAt(hvx::ListId::cbInputType, t)))
            << t << QString::fromLatin1(lists[t]) << !hvx::isLinearType(t) << hvx::isThermocouple(t) << hvx::isRtd(t);
}

void TestMainWindowPanels::inputTypeLayout()
{
    QFETCH(int, type);
    QFETCH(QString, rangeList);
    QFETCH(bool, linearisation);
    QFETCH(bool, coldJunction);
    QFETCH(bool, rtdType);
    Fixture f;
    TMainForm &form = f.form;
    // Come from a type with another layout, so every rule must act.
    choose(combo(form, "cbInputType"), hvx::isRtd(type) ? hvx::Voltage : hvx::RtdPt1000);
    choose(combo(form, "cbInputType"), type);
    QCOMPARE(shownAmong(form, RangeLists), QStringList{ rangeList });
    QCOMPARE(shown(form, "rgLinearisation"), linearisation);
    QCOMPARE(shown(form, "rgColdJunction"), coldJunction);
    QCOMPARE(shown(form, "rgRTDType"), rtdType);
    QVERIFY(!shown(form, "rgConversionSpeed"));
    QVERIFY(!shown(form, "eCustomLow"));
    QCOMPARE(form.setup().inputRange(), -1);
}

void TestMainWindowPanels::customEdits()
{
    Fixture f;
    TMainForm &form = f.form;
    auto editsShown = [&] {
        const bool low = shown(form, "eCustomLow");
        if (low != shown(form, "eCustomHigh") || low != shown(form, "lCustomLow") || low != shown(form, "lCustomHigh"))
            qFatal("custom labels and edits out of step");
        return low;
    };
    choose(combo(form, "cbInputType"), hvx::Voltage);
    choose(combo(form, "cbIRVoltage"), 27); // Custom
    QVERIFY(editsShown());
    QTest::keyClicks(child<QLineEdit>(form, "eCustomLow"), "1.5");
    QTest::keyClicks(child<QLineEdit>(form, "eCustomHigh"), "9.25000"); // the seventh character is refused
    QCOMPARE(child<QLineEdit>(form, "eCustomHigh")->text(), QStringLiteral("9.2500"));

    // Current sink holds a listed range: the edits go, their texts stay.
    choose(combo(form, "cbIRCurrent"), 8);
    choose(combo(form, "cbInputType"), hvx::CurrentSink);
    QVERIFY(!editsShown());
    choose(combo(form, "cbInputType"), hvx::Voltage);
    QVERIFY(editsShown());
    QCOMPARE(form.setup().eCustomLow, QStringLiteral("1.5"));

    // Potentiometer 3 wire has no Custom item.
    choose(combo(form, "cbInputType"), hvx::Pot3Wire);
    choose(combo(form, "cbIRPot3"), 0);
    QVERIFY(!editsShown());

    // K and J share a list: J shows K's selection and its custom edits.
    choose(combo(form, "cbInputType"), hvx::TcK);
    choose(combo(form, "cbIRTCKJ"), 15);
    QVERIFY(editsShown());
    choose(combo(form, "cbInputType"), hvx::TcJ);
    QVERIFY(editsShown());
    QCOMPARE(form.setup().inputRange(), 15);
    choose(combo(form, "cbIRTCKJ"), 3);
    QVERIFY(!editsShown());
    // The voltage list kept its own selection all along.
    QCOMPARE(form.setup().cbIRVoltage, 27);
}

void TestMainWindowPanels::changeMarksModifiedAndStatus_data()
{
    QTest::addColumn<bool>("dual");
    QTest::addColumn<Action>("action");
    QTest::addColumn<bool>("statusKept");

    QTest::newRow("input type") << true << Action([](TMainForm &f) { choose(combo(f, "cbInputType"), 1); }) << false;
    QTest::newRow("range list") << true << Action([](TMainForm &f) { choose(combo(f, "cbIRVoltage"), 3); }) << false;
    QTest::newRow("placeholder list") << true << Action([](TMainForm &f) { choose(combo(f, "cbInputRange"), 0); })
                                      << true;
    QTest::newRow("custom low") << true
                                << Action([](TMainForm &f) { QTest::keyClick(child<QLineEdit>(f, "eCustomLow"), '2'); })
                                << false;
    QTest::newRow("custom high") << true << Action([](TMainForm &f) {
        QTest::keyClick(child<QLineEdit>(f, "eCustomHigh"), Qt::Key_Backspace);
    }) << false;
    QTest::newRow("output 1 range") << true << Action([](TMainForm &f) { choose(combo(f, "cbOutputRange"), 2); })
                                    << false;
    QTest::newRow("output 2 range") << true << Action([](TMainForm &f) { choose(combo(f, "cbOutputRange2"), 2); })
                                    << false;
    QTest::newRow("trip delay") << true << Action([](TMainForm &f) { choose(combo(f, "cbTripOutput"), 2); }) << false;
    QTest::newRow("frequency") << true << Action([](TMainForm &f) { choose(combo(f, "cbFreqOutputRange"), 2); })
                               << false;
    QTest::newRow("inversion") << true << Action([](TMainForm &f) { click(radio(f, "rgInversion", 1)); }) << true;
    QTest::newRow("output 2 square root")
        << true << Action([](TMainForm &f) { click(radio(f, "rgSquareRoot2", 1)); }) << true;
    QTest::newRow("to single output") << true << Action([](TMainForm &f) { click(radio(f, "rgDualOutput", 0)); })
                                      << false;
    QTest::newRow("to dual output") << false << Action([](TMainForm &f) { click(radio(f, "rgDualOutput", 1)); })
                                    << true;
    QTest::newRow("square root") << false << Action([](TMainForm &f) { click(radio(f, "rgSquareRoot", 1)); }) << true;
}

void TestMainWindowPanels::changeMarksModifiedAndStatus()
{
    QFETCH(bool, dual);
    QFETCH(Action, action);
    QFETCH(bool, statusKept);
    Setup s;
    s.cbInputType = hvx::Voltage;
    s.cbIRVoltage = 27;
    s.eCustomLow = "1";
    s.eCustomHigh = "5";
    s.rgDualOutput = dual ? 1 : 0;
    OpenedFixture o(s);
    TMainForm &form = o.fixture.form;
    QVERIFY(!form.Modified());
    putStatusMessage(form); // output 1 range is missing
    const QString before = info(form);
    QVERIFY(!form.Modified());

    action(form);
    QVERIFY(form.Modified());
    QCOMPARE(info(form), statusKept ? before : QString());
}

void TestMainWindowPanels::dualOutputLayout_data()
{
    QTest::addColumn<int>("dualOutput");
    QTest::addColumn<int>("dualType");
    QTest::addColumn<QString>("panel");
    QTest::newRow("single, analog") << 0 << 0 << QString();
    QTest::newRow("single, trip relay") << 0 << 1 << QString();
    QTest::newRow("dual, analog") << 1 << 0 << "pOutput2";
    QTest::newRow("dual, trip relay") << 1 << 1 << "pTripOutput2";
    QTest::newRow("dual, frequency") << 1 << 2 << "pFreqOutput2";
    QTest::newRow("dual, no dual type") << 1 << -1 << QString();
}

void TestMainWindowPanels::dualOutputLayout()
{
    QFETCH(int, dualOutput);
    QFETCH(int, dualType);
    QFETCH(QString, panel);
    Setup s;
    s.rgDualOutput = dualOutput;
    s.rgDualType = dualType;
    OpenedFixture o(s);
    TMainForm &form = o.fixture.form;
    const QStringList panels{ "pOutput2", "pTripOutput2", "pFreqOutput2" };
    QCOMPARE(shownAmong(form, panels), panel.isEmpty() ? QStringList() : QStringList{ panel });
    QCOMPARE(shown(form, "rgSquareRoot"), dualOutput == 0);
    QVERIFY(!shown(form, "rgDualType")); // its panel is never shown
    QCOMPARE(form.setup().rgDualType, dualType);

    // New goes back to single output with an analog second output.
    form.New1Click();
    QCOMPARE(shownAmong(form, panels), QStringList());
    QCOMPARE(form.setup().rgDualType, 0);
    QVERIFY(shown(form, "rgSquareRoot"));
}

void TestMainWindowPanels::squareRootSurvivesDualOutput()
{
    Fixture f;
    TMainForm &form = f.form;
    click(radio(form, "rgSquareRoot", 1));
    click(radio(form, "rgDualOutput", 1));
    QVERIFY(!shown(form, "rgSquareRoot"));
    QVERIFY(shown(form, "pOutput2"));
    click(radio(form, "rgDualOutput", 0));
    QVERIFY(shown(form, "rgSquareRoot"));
    QVERIFY(!shown(form, "pOutput2"));
    QCOMPARE(form.setup().rgSquareRoot, 1);
}

void TestMainWindowPanels::burnoutCaptions_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("output1");
    QTest::addColumn<QStringList>("output2");
    const QStringList start{ "High burnout", "Low burnout" };
    const QStringList mA23_2{ "High Burnout 23mA", "Low Burnout 2mA" };
    const QStringList mA23_0{ "High Burnout 23mA", "Low Burnout 0mA" };
    const QStringList v0{ "High Burnout 11.5V", "Low Burnout 0V" };
    const QStringList v1{ "High Burnout 11.5V", "Low Burnout 1V" };
    QTest::newRow("4 to 20 mA sink") << "cbOutputRange" << 9 << mA23_2 << start;
    QTest::newRow("2 to 10 V source") << "cbOutputRange" << 7 << v1 << start;
    QTest::newRow("1 to 5 V source") << "cbOutputRange" << 6 << v0 << start;
    QTest::newRow("2 to 10 mA source") << "cbOutputRange" << 3 << mA23_0 << start;
    QTest::newRow("output 2, 0 to 5 V source") << "cbOutputRange2" << 4 << start << v0;
    // Trip delay and frequency range caption output 1 from output 1's range (none chosen).
    QTest::newRow("trip delay") << "cbTripOutput" << 1 << mA23_0 << start;
    QTest::newRow("frequency range") << "cbFreqOutputRange" << 5 << mA23_0 << start;
}

void TestMainWindowPanels::burnoutCaptions()
{
    QFETCH(QString, list);
    QFETCH(int, index);
    QFETCH(QStringList, output1);
    QFETCH(QStringList, output2);
    Fixture f;
    TMainForm &form = f.form;
    click(radio(form, "rgBurnout", 1));
    choose(combo(form, list), index);
    QCOMPARE(captions(form, "rgBurnout"), output1);
    QCOMPARE(captions(form, "rgBurnout2"), output2);
    QCOMPARE(form.setup().rgBurnout, 1); // the meaning of the items stays
}

void TestMainWindowPanels::droppedRows_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("rows");
    QTest::newRow("frequency range: 12 of 16") << "cbFreqOutputRange" << 12;
    QTest::newRow("input type: all 16") << "cbInputType" << 16;
    QTest::newRow("2 wire pot: all 7") << "cbIRPot2" << 7;
}

void TestMainWindowPanels::droppedRows()
{
    QFETCH(QString, list);
    QFETCH(int, rows);
    Setup s;
    s.cbInputType = hvx::Pot2Wire;
    s.rgDualOutput = 1;
    s.rgDualType = 2;
    OpenedFixture o(s);
    QComboBox *cb = combo(o.fixture.form, list);
    QVERIFY(cb->isVisible());
    QTest::keyClick(cb, Qt::Key_Down, Qt::AltModifier); // drops the list
    QAbstractItemView *view = cb->view();
    QTRY_VERIFY(view->isVisible());
    const QRect area = view->viewport()->rect();
    int whole = 0; // rows shown from top to bottom
    for (int r = 0; r < cb->count(); ++r) {
        const QRect row = view->visualRect(cb->model()->index(r, 0));
        whole += row.top() >= area.top() && row.bottom() <= area.bottom() ? 1 : 0;
    }
    cb->hidePopup();
    QCOMPARE(whole, rows);
}

// A click drops a list below its box, as the keyboard does.
void TestMainWindowPanels::listDropsBelowOnClick()
{
    Fixture f;
    f.form.show();
    QComboBox *cb = combo(f.form, "cbInputType");
    QTest::mouseClick(cb, Qt::LeftButton);
    QTRY_VERIFY(cb->view()->isVisible());
    QVERIFY(cb->view()->window()->geometry().top() >= cb->mapToGlobal(QPoint(0, cb->height())).y() - 1);
    cb->hidePopup();
}

void TestMainWindowPanels::keyboardCommands_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("speedToggled");
    QTest::addColumn<bool>("aboutShown");
    const int alt = Qt::AltModifier;
    QTest::newRow("Alt+F2 in the input type list") << "cbInputType" << int(Qt::Key_F2) << alt << true << false;
    QTest::newRow("Alt+F2 in the custom edit") << "eCustomLow" << int(Qt::Key_F2) << alt << true << false;
    QTest::newRow("Alt+Shift+F2 in output 2's list")
        << "cbOutputRange2" << int(Qt::Key_F2) << int(Qt::AltModifier | Qt::ShiftModifier) << true << false;
    QTest::newRow("F2 without Alt") << "cbInputType" << int(Qt::Key_F2) << 0 << false << false;
    QTest::newRow("Alt+F2 on a radio button") << "rgBurnout_0" << int(Qt::Key_F2) << alt << false << false;
    QTest::newRow("Alt+F1 in a range list") << "cbIRVoltage" << int(Qt::Key_F1) << alt << false << true;
    QTest::newRow("Alt+F1 on a radio button") << "rgInversion_1" << int(Qt::Key_F1) << alt << false << false;
    QTest::newRow("F1 alone, About's own key") << "rgInversion_1" << int(Qt::Key_F1) << 0 << false << true;
}

void TestMainWindowPanels::keyboardCommands()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, speedToggled);
    QFETCH(bool, aboutShown);
    Fixture f;
    TMainForm &form = f.form;
    QDialog about;
    about.setObjectName("about");
    form.setAboutForm(&about);
    QWidget *target = child<QWidget>(form, focus);
    target->show(); // the custom edit and range lists are hidden at start
    target->setFocus();

    for (int round = 1; round <= 2; ++round) {
        // Back from the About box, as a desktop makes it.
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        ModalCloser closer;
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(closer.seen(), aboutShown ? QStringList{ "about" } : QStringList());
        // Shown after the first press, hidden again after the second.
        QCOMPARE(shown(form, "rgConversionSpeed"), speedToggled && round == 1);
    }
    QVERIFY(!form.Modified());
}

// Every menu and entry keeps its caption and has an access letter of its
// own within its menu.
void TestMainWindowPanels::menuCaptions_data()
{
    QTest::addColumn<QString>("menu"); // empty: the menu bar
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("menu bar") << QString() << QStringList{ "File", "View", "Evaluate", "Help" };
    QTest::newRow("File") << "File1" << QStringList{ "New", "Open", "Open Plant Table...", "Save", "Save As", "Exit" };
    QTest::newRow("View") << "View1" << QStringList{ "Conversion Speed" };
    QTest::newRow("Evaluate") << "Evaluate1" << QStringList{ "Evaluate", "Read Switches..." };
    QTest::newRow("Help") << "Help1" << QStringList{ "About" };
}

void TestMainWindowPanels::menuCaptions()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, captions);
    Fixture f;
    QWidget *owner = menu.isEmpty() ? static_cast<QWidget *>(f.form.menuBar()) : child<QMenu>(f.form, menu);
    QStringList shown;
    QString letters;
    for (const QAction *a : owner->actions()) {
        QString text = a->text();
        const qsizetype mark = text.indexOf(QLatin1Char('&'));
        QVERIFY2(mark >= 0 && mark + 1 < text.size() && mark == text.lastIndexOf(QLatin1Char('&')), qPrintable(text));
        const QChar letter = text.at(mark + 1).toLower();
        QVERIFY2(!letters.contains(letter), qPrintable(text));
        letters += letter;
        shown << text.remove(mark, 1);
    }
    QCOMPARE(shown, captions);
}

// The menu's keys, none of which a desktop takes for itself, work wherever
// the focus is, also in a custom edit; F10 opens the menu bar. Evaluate and
// Read Switches have keys without Alt, which a screen reader leaves alone.
void TestMainWindowPanels::menuKeys_data()
{
    QTest::addColumn<QString>("target"); // the entry run, or the menu opened; the row is the key
    QTest::newRow("Ctrl+N") << "New1";
    QTest::newRow("Ctrl+O") << "Open1";
    QTest::newRow("Ctrl+S") << "Save1";
    QTest::newRow("Ctrl+Shift+S") << "SaveAs1";
    QTest::newRow("Ctrl+Shift+O") << "OpenPlantTable1";
    QTest::newRow("Ctrl+Q") << "Exit1";
    QTest::newRow("Ctrl+E") << "Evaluate2";
    QTest::newRow("Ctrl+R") << "ReadSwitches1";
    QTest::newRow("Shift+F2") << "ConversionSpeed1";
    QTest::newRow("F10") << "File1";
}

void TestMainWindowPanels::menuKeys()
{
    const QKeySequence key(QString::fromLatin1(QTest::currentDataTag()));
    QFETCH(QString, target);
    for (const char *focus : { "cbInputType", "rgBurnout_1", "eCustomLow" }) {
        Fixture f;
        f.form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.form));
        child<QWidget>(f.form, focus)->show();
        child<QWidget>(f.form, focus)->setFocus();
        if (auto *menu = f.form.findChild<QMenu *>(target)) {
            QTest::keySequence(&f.form, key);
            QTRY_VERIFY2(menu->isVisible(), focus);
            menu->close();
            continue;
        }
        QSignalSpy triggered(child<QAction>(f.form, target), &QAction::triggered);
        QTest::keySequence(QApplication::focusWidget(), key);
        QVERIFY2(triggered.size() == 1, focus);
    }
}

// The View menu's entry is checked while the conversion speed choice shows,
// whatever showed or hid it; a "Fast" setup read from a file shows it.
void TestMainWindowPanels::speedEntryFollowsTheChoice()
{
    Fixture f;
    TMainForm &form = f.form;
    QAction *entry = child<QAction>(form, "ConversionSpeed1");
    QVERIFY(!entry->isChecked());
    entry->trigger();
    QVERIFY(shown(form, "rgConversionSpeed") && entry->isChecked());
    combo(form, "cbInputType")->setFocus();
    QTest::keyClick(combo(form, "cbInputType"), Qt::Key_F2, Qt::AltModifier);
    QVERIFY(!shown(form, "rgConversionSpeed") && !entry->isChecked());
    QVERIFY(!form.Modified());

    Setup fast;
    fast.rgConversionSpeed = 1;
    QTemporaryDir dir;
    Fixture opened({ writeSetup(dir.filePath("fast.hvx"), fast) });
    QVERIFY(child<QAction>(opened.form, "ConversionSpeed1")->isChecked());
    opened.form.New1Click();
    QVERIFY(!child<QAction>(opened.form, "ConversionSpeed1")->isChecked());
}

// Tab into a group of choices lands on its chosen button (the first when none
// is chosen), whichever way it was chosen, and the next Tab leaves the group.
void TestMainWindowPanels::tabLandsOnChosenButton_data()
{
    QTest::addColumn<bool>("backwards");   // from the next control, or from the previous one
    QTest::addColumn<QString>("chosenBy"); // "click", "file" or "New"
    QTest::addColumn<int>("chosen");       // -1: none
    QTest::newRow("Shift+Tab, clicked") << true << "click" << 1;
    QTest::newRow("Tab, from a file") << false << "file" << 1;
    QTest::newRow("Tab after New") << false << "New" << 0;
    QTest::newRow("Tab, none in file") << false << "file" << -1;
}

void TestMainWindowPanels::tabLandsOnChosenButton()
{
    QFETCH(bool, backwards);
    QFETCH(QString, chosenBy);
    QFETCH(int, chosen);
    Setup s;
    s.rgBurnout = chosen;
    QTemporaryDir dir;
    Fixture f(chosenBy == "file" ? QStringList{ writeSetup(dir.filePath("a.hvx"), s) } : QStringList());
    TMainForm &form = f.form;
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    if (chosenBy == "click") {
        click(radio(form, "rgBurnout", chosen));
    } else if (chosenBy == "New") {
        click(radio(form, "rgBurnout", 1));
        f.script().queueAnswer(hvx::DialogAnswer::No); // unsaved changes: drop them
        form.New1Click();
    }
    const QString before = QStringLiteral("cbOutputRange"), after = QStringLiteral("rgInversion_0");
    child<QWidget>(form, backwards ? after : before)->setFocus();
    const Qt::Key key = backwards ? Qt::Key_Backtab : Qt::Key_Tab;
    QTest::keyClick(QApplication::focusWidget(), key);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("rgBurnout_%1").arg(qMax(chosen, 0)));
    QTest::keyClick(QApplication::focusWidget(), key);
    QCOMPARE(QApplication::focusWidget()->objectName(), backwards ? before : after);
}

void TestMainWindowPanels::evaluate_data()
{
    // clang-format off
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("focus");
    Setup none;
    Setup noOutput;
    noOutput.cbInputType = hvx::Voltage;
    noOutput.cbIRVoltage = 27;
    noOutput.eCustomLow = "abc";
    Setup badLow = noOutput;
    badLow.cbOutputRange = 1;
    Setup badHigh = badLow;
    badHigh.eCustomLow = "0";
    badHigh.eCustomHigh = "";
    QTest::newRow("nothing chosen") << none << "Please select input type" << "";
    QTest::newRow("output before custom range") << noOutput << "Please select output 1 range" << "";
    QTest::newRow("low is no number") << badLow << "Low is invalid" << "eCustomLow";
    QTest::newRow("high is empty") << badHigh << "High is invalid" << "eCustomHigh";
    Setup longest; // the longest message
    longest.cbInputType = hvx::MilliVolt;
    longest.cbIRmilliVolt = 16;
    longest.eCustomLow = "-10";
    longest.eCustomHigh = "1001";
    longest.cbOutputRange = 1;
    QTest::newRow("negative low, high too high")
        << longest << "When low is negative high must not be more than 1000 mV" << "";
    // clang-format on
}

void TestMainWindowPanels::evaluate()
{
    QFETCH(Setup, setup);
    QFETCH(QString, status);
    QFETCH(QString, focus);
    OpenedFixture o(setup);
    TMainForm &form = o.fixture.form;
    combo(form, "cbOutputRange")->setFocus();
    ModalCloser closer;
    QTest::mouseClick(child<QToolButton>(form, "sbShowResults"), Qt::LeftButton);
    QCOMPARE(info(form), status);
    // The message shows whole.
    const QLabel *label = child<QLabel>(form, "lInfoLabel");
    QVERIFY2(label->contentsRect().width() >= label->fontMetrics().horizontalAdvance(status),
             qPrintable(QString::number(label->contentsRect().width())));
    QCOMPARE(form.focusWidget()->objectName(), focus.isEmpty() ? QStringLiteral("cbOutputRange") : focus);
    QCOMPARE(closer.seen(), QStringList());
    QVERIFY(!form.Modified());
}

void TestMainWindowPanels::evaluateShowsResults()
{
    Setup s;
    s.cbInputType = hvx::Voltage;
    s.cbIRVoltage = 6; // 0 to 10 V
    s.cbOutputRange = 1;
    OpenedFixture o(s);
    TMainForm &form = o.fixture.form;
    hvx::TResultForm results(o.dir.filePath("hvxprint.ini"), nullptr, o.dir.filePath("fallback.ini"));
    form.setResultForm(&results);
    {
        // From the menu this time; the results window comes up modally.
        ModalCloser closer;
        form.findChild<QAction *>("Evaluate2")->trigger();
        QCOMPARE(closer.seen(), QStringList{ results.objectName() });
    }
    QCOMPARE(info(form), QString());
    QVERIFY(!form.Modified());
    QCOMPARE(form.evaluationValues().map.S1.toString(), QStringLiteral("010101001100"));
    QVERIFY(form.evaluationValues().map.S3.isOn(1));
}

// What a screen reader asks of a list and of the status label beyond what
// the accessibility bus test reads from outside (names, values, roles).
void TestMainWindowPanels::listsAndStatusToAScreenReader()
{
    Fixture f;
    TMainForm &form = f.form;
    QComboBox *list = combo(form, "cbInputType");
    choose(list, 0);
    QAccessibleInterface *a = QAccessible::queryAccessibleInterface(list);
    QVERIFY(a && a->textInterface() && a->actionInterface());
    QAccessibleTextInterface *text = a->textInterface();
    QCOMPARE(text->characterCount(), 7);
    QCOMPARE(text->text(2, 4), QStringLiteral("lt"));
    QCOMPARE(text->text(3, 99), QStringLiteral("tage"));
    QCOMPARE(text->text(0, 0), QString());
    QCOMPARE(text->text(-1, 3), QString());
    QCOMPARE(a->childCount(), 1);
    QCOMPARE(a->child(0)->object(), list->view());
    QCOMPARE(a->indexOfChild(a->child(0)), 0);
    QCOMPARE(a->indexOfChild(a), -1);
    QVERIFY(a->state().collapsed && !a->state().expanded && a->state().expandable);
    a->actionInterface()->doAction(QStringLiteral("bogus"));
    QVERIFY(!list->view()->isVisible());
    a->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    QTRY_VERIFY(a->state().expanded && !a->state().collapsed);
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_VERIFY(!list->view()->isVisible());
    // A list without a name of its own (as in a standard dialog) is named by its chosen item.
    list->setAccessibleName(QString());
    QCOMPARE(a->text(QAccessible::Name), QStringLiteral("Voltage"));

    // The status label is hidden from a screen reader while it is empty.
    QLabel *status = child<QLabel>(form, "lInfoLabel");
    QAccessibleInterface *s = QAccessible::queryAccessibleInterface(status);
    QCOMPARE(s->role(), QAccessible::Notification);
    QVERIFY(status->text().isEmpty() && s->state().invisible);
    putStatusMessage(form);
    QCOMPARE(s->text(QAccessible::Name), status->text());
    QVERIFY(!s->state().invisible);
}

QTEST_MAIN(TestMainWindowPanels)
#include "tst_mainwindow_panels.moc"
