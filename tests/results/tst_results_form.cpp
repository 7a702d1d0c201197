// The results window driven as a user meets it: evaluated setups shown through
// ShowResults, read while the modal window is open, and closed by "Back" or
// by the frame's close button.

#include "../support/filesizelimit.h"
#include "../support/testfiles.h"
#include "dialogs.h"
#include "evaluation.h"
#include "printoptions.h"
#include "scripteddialogs.h"
#include "shapewidget.h"
#include "switchexplanation.h"
#include "switchform.h"
#include "switchform_print.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <functional>
#include <sys/stat.h>

using namespace hvx;
using testsupport::writeFile;

namespace {

int indexOf(ListId list, const QString &text)
{
    const int i = Texts::items(list).indexOf(text);
    if (i < 0)
        qFatal("no item %s", qPrintable(text));
    return i;
}

Setup voltage0to10()
{
    Setup s;
    s.cbInputType = Voltage;
    s.cbIRVoltage = indexOf(ListId::cbIRVoltage, QStringLiteral("0 to 10 V"));
    s.cbOutputRange = indexOf(ListId::cbOutputRange, QStringLiteral("4 to 20 mA source"));
    return s;
}

// Dual output of the given type, its second output set to item of list.
Setup dualOutput(int type, ListId list, const QString &item)
{
    Setup s = voltage0to10();
    s.rgDualOutput = 1;
    s.rgDualType = type;
    s.list(list) = indexOf(list, item);
    return s;
}
Setup dualAnalog() { return dualOutput(0, ListId::cbOutputRange2, QStringLiteral("0 to 10 V source")); }
Setup tripRelay() { return dualOutput(1, ListId::cbTripOutput, QStringLiteral("10 seconds")); }
Setup frequency() { return dualOutput(2, ListId::cbFreqOutputRange, QStringLiteral("0 to 1,000 Hz")); }

QByteArray optionBytes(quint32 a, quint32 b, quint32 c, quint32 d)
{
    QByteArray bytes(16, '\0');
    const quint32 v[4] = { a, b, c, d };
    for (int i = 0; i < 4; ++i)
        qToLittleEndian(v[i], bytes.data() + 4 * i);
    return bytes;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

enum class CloseBy { Back, FrameButton };

} // namespace

class TestResultForm : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString iniPath() const { return m_dir.filePath(QStringLiteral("hvxprint.ini")); }
    QString fallbackPath() const { return m_dir.filePath(QStringLiteral("config/hvxprint.ini")); }

    template <typename T>
    static T *child(const TResultForm &form, const char *name)
    {
        T *w = form.findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    static QString text(const TResultForm &form, const char *label) { return child<QLabel>(form, label)->text(); }
    // The window makes its controls when it is first filled, shown or printed.
    static TResultForm &filled(TResultForm &form)
    {
        EvaluationValues values;
        Evaluate(voltage0to10(), values, QLocale::c());
        form.FillResults(voltage0to10(), values, QString());
        return form;
    }

    // Evaluates the setup, shows it through ShowResults and runs whileShown
    // while the modal window is open; then closes it the given way. Returns
    // false when the window did not close.
    bool show(TResultForm &form, const Setup &setup, EvaluationValues &values, const QString &fileName,
              const std::function<void()> &whileShown, CloseBy closeBy = CloseBy::Back)
    {
        const EvaluationOutcome outcome = Evaluate(setup, values, QLocale::c());
        if (!outcome.completed) {
            qWarning("refused: %s", qPrintable(outcome.status));
            return false;
        }
        bool ran = false;
        QTimer::singleShot(0, &form, [&] {
            ran = true;
            if (whileShown)
                whileShown();
            if (!form.isVisible())
                return; // closed while shown
            if (closeBy == CloseBy::Back)
                QTest::mouseClick(child<QPushButton>(form, "bClose"), Qt::LeftButton);
            else
                form.close(); // what the window manager's close button sends
            if (form.isVisible()) {
                QTest::qFail("the window did not close", __FILE__, __LINE__);
                form.reject();
            }
        });
        form.ShowResults(setup, values, fileName);
        return ran && !form.isVisible();
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }

    void init()
    {
        QFile::remove(iniPath());
        QFile::remove(fallbackPath());
    }

    // Exactly one square of each column is visible, the one the map asks
    // for, with the reason of its position; bank S4 and the second-output
    // texts follow dual output.
    void squaresFollowTheMap_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<bool>("output2Line"); // "Output 2:" and its summary shown
        QTest::newRow("single output") << voltage0to10() << false;
        QTest::newRow("dual analog") << dualAnalog() << true;
        QTest::newRow("trip relay") << tripRelay() << true;
        QTest::newRow("frequency") << frequency() << true;
        Setup unsetType = frequency(); // a dual type only a damaged file leaves unset
        unsetType.rgDualType = -1;
        QTest::newRow("dual type unset") << unsetType << false;
        Setup k = dualAnalog();
        k.cbInputType = TcK;
        k.cbIRTCKJ = indexOf(ListId::cbIRTCKJ, QStringLiteral("0 to 400°C"));
        k.rgBurnout = 1;
        k.rgInversion = 1;
        QTest::newRow("thermocouple, low burnout, inverted") << k << true;
        Setup rtd = frequency();
        rtd.cbInputType = RtdPt1000;
        rtd.cbIRRTD = indexOf(ListId::cbIRRTD, QStringLiteral("-200 to 800°C"));
        rtd.rgRTDType = 2;
        QTest::newRow("RTD, 4 wire, frequency") << rtd << true;
    }
    void squaresFollowTheMap()
    {
        QFETCH(Setup, setup);
        QFETCH(bool, output2Line);
        TResultForm form(iniPath(), nullptr, fallbackPath());
        EvaluationValues values;
        const bool dual = setup.isDualOutput();
        const SetupExplanation explanation = explainSwitches(setup, QLocale::c());
        QVERIFY(show(form, setup, values, QString(), [&] {
            for (int b = 1; b <= (dual ? 4 : 3); ++b) {
                for (int p = 1; p <= 12; ++p) {
                    const bool on = values.map.bank(b).isOn(p);
                    QVERIFY2(form.onSquare(b, p)->isVisible() == on,
                             qPrintable(QStringLiteral("S%1 %2").arg(b).arg(p)));
                    QVERIFY2(form.offSquare(b, p)->isVisible() == !on,
                             qPrintable(QStringLiteral("S%1 %2").arg(b).arg(p)));
                    // The shown square tells why, the hidden one nothing.
                    const SwitchExplanation &why = explanation.positions.at(size_t((b - 1) * 12 + p - 1));
                    ShapeWidget *shown = on ? form.onSquare(b, p) : form.offSquare(b, p);
                    ShapeWidget *hidden = on ? form.offSquare(b, p) : form.onSquare(b, p);
                    QCOMPARE(shown->toolTip(), why.text());
                    QCOMPARE(shown->accessibleDescription(), why.text());
                    QVERIFY(hidden->toolTip().isEmpty() && hidden->accessibleDescription().isEmpty());
                }
            }
            QCOMPARE(child<QWidget>(form, "pSwitch4")->isVisible(), dual);
            QCOMPARE(child<QWidget>(form, "stOutput2Label")->isVisible(), output2Line);
            QCOMPARE(child<QWidget>(form, "lOutput2Label")->isVisible(), output2Line);
            QVERIFY(!child<QWidget>(form, "lOutput2Label2")->isVisible());
        }));
    }

    // A screen reader reads each switch square shown and passes over the
    // drawing's lines and boxes.
    void shapesForScreenReaders()
    {
        TResultForm form(iniPath(), nullptr, fallbackPath());
        EvaluationValues values;
        QVERIFY(show(form, voltage0to10(), values, QString(), [&] {
            QSet<bool> kinds;
            for (ShapeWidget *shape : form.findChildren<ShapeWidget *>()) {
                const bool said = !shape->accessibleName().isEmpty();
                const QAccessibleInterface *a = QAccessible::queryAccessibleInterface(shape);
                QCOMPARE(a->role(), said ? QAccessible::StaticText : QAccessible::Graphic);
                QCOMPARE(a->state().invisible, !said || !shape->isVisible());
                kinds.insert(said && shape->isVisible());
            }
            QCOMPARE(kinds.size(), 2);
        }));
    }

    // A dual evaluation followed by a single one hides S4 and the second
    // output, which keep what the first one showed.
    void singleAfterDualHidesBankS4()
    {
        TResultForm form(iniPath(), nullptr, fallbackPath());
        EvaluationValues values;
        SwitchBank firstS4;
        QString firstOutput2;
        QVERIFY(show(form, tripRelay(), values, QString(), [&] {
            firstS4 = values.map.S4;
            firstOutput2 = text(form, "lOutput2Label");
        }));
        QVERIFY(firstS4 != SwitchBank());
        QVERIFY(show(form, voltage0to10(), values, QString(), [&] {
            QVERIFY(values.map.S4 == SwitchBank()); // the single evaluation cleared it
            QVERIFY(!child<QWidget>(form, "pSwitch4")->isVisible());
            QVERIFY(!child<QWidget>(form, "stOutput2Label")->isVisible());
            QVERIFY(!child<QWidget>(form, "lOutput2Label")->isVisible());
            for (int p = 1; p <= 12; ++p) {
                QCOMPARE(!form.onSquare(4, p)->isHidden(), firstS4.isOn(p));
                QCOMPARE(!form.offSquare(4, p)->isHidden(), !firstS4.isOn(p));
            }
            QCOMPARE(text(form, "lOutput2Label"), firstOutput2);
            QVERIFY(text(form, "lOutputLabel").endsWith(QStringLiteral(", Square root off.")));
        }));
    }

    void summaries_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("input1");
        QTest::addColumn<QString>("input2");
        QTest::addColumn<QString>("output1");
        QTest::addColumn<QString>("output2"); // empty: not checked (single output)

        QTest::newRow("voltage, single output")
            << voltage0to10() << QStringLiteral("Voltage, 0 to 10 V.") << QStringLiteral("Normal response.")
            << QStringLiteral("4 to 20 mA source, High Burnout 23mA, Inversion off, Buttons enabled, Square root off.")
            << QString();
        QTest::newRow("dual analog")
            << dualAnalog() << QStringLiteral("Voltage, 0 to 10 V.") << QStringLiteral("Normal response.")
            << QStringLiteral("4 to 20 mA source, High Burnout 23mA, Inversion off, Buttons enabled.")
            << QStringLiteral("0 to 10 V source, High Burnout 11.5V, Inversion off, Square root off.");
        QTest::newRow("trip relay")
            << tripRelay() << QStringLiteral("Voltage, 0 to 10 V.") << QStringLiteral("Normal response.")
            << QStringLiteral("4 to 20 mA source, High Burnout 23mA, Inversion off, Buttons enabled.")
            << QStringLiteral(
                   "Trip relay: 10 seconds delay, Relay on in burnout, Red led with relay on, Input value trip.");
        QTest::newRow("frequency")
            << frequency() << QStringLiteral("Voltage, 0 to 10 V.") << QStringLiteral("Normal response.")
            << QStringLiteral("4 to 20 mA source, High Burnout 23mA, Inversion off, Buttons enabled.")
            << QStringLiteral("Frequency: 0 to 1,000 Hz, Span point +12.5% during burnout.");

        Setup k = voltage0to10();
        k.cbInputType = TcK;
        k.cbIRTCKJ = indexOf(ListId::cbIRTCKJ, QStringLiteral("0 to 400°C"));
        QTest::newRow("K thermocouple")
            << k << QStringLiteral("K type thermocouple, 0 to 400°C.")
            << QStringLiteral("Normal response, Linearisation on, CJC on.")
            << QStringLiteral("4 to 20 mA source, High Burnout 23mA, Inversion off, Buttons enabled, Square root off.")
            << QString();

        Setup rtd = voltage0to10();
        rtd.cbInputType = RtdPt100;
        rtd.cbIRRTD = indexOf(ListId::cbIRRTD, QStringLiteral("0 to 100°C"));
        rtd.rgRTDType = 1;
        rtd.rgConversionSpeed = 1;
        rtd.cbOutputRange = indexOf(ListId::cbOutputRange, QStringLiteral("2 to 10 V source"));
        rtd.rgBurnout = 1;
        QTest::newRow("PT100 3 wire, fast, low burnout")
            << rtd << QStringLiteral("RTD PT100, 0 to 100°C.")
            << QStringLiteral("Fast response, Linearisation on, 3 wire.")
            << QStringLiteral("2 to 10 V source, Low Burnout 1V, Inversion off, Buttons enabled, Square root off.")
            << QString();

        Setup custom = voltage0to10();
        custom.cbInputType = CurrentTxSupply;
        custom.cbIRCurrentTransmitter = customIndexFor(ListId::cbIRCurrentTransmitter);
        custom.eCustomLow = QStringLiteral("4.0");
        custom.eCustomHigh = QStringLiteral("20");
        QTest::newRow("custom range as typed")
            << custom << QStringLiteral("Current using Tx Supply, Custom range: 4.0 to 20 mA (using 4 to 20 mA).")
            << QStringLiteral("Normal response.")
            << QStringLiteral("4 to 20 mA source, High Burnout 23mA, Inversion off, Buttons enabled, Square root off.")
            << QString();

        // Line breaks around a number pass its check; they are shown as escapes.
        Setup broken = custom;
        broken.eCustomLow = QStringLiteral("\v4\f");
        broken.eCustomHigh = QStringLiteral("20\r\n");
        QTest::newRow("custom texts with line breaks")
            << broken
            << QStringLiteral("Current using Tx Supply, Custom range: \\x0B4\\x0C to 20\\r\\n mA (using 4 to 20 mA).")
            << QStringLiteral("Normal response.")
            << QStringLiteral("4 to 20 mA source, High Burnout 23mA, Inversion off, Buttons enabled, Square root off.")
            << QString();
    }
    void summaries()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, input1);
        QFETCH(QString, input2);
        QFETCH(QString, output1);
        QFETCH(QString, output2);
        TResultForm form(iniPath(), nullptr, fallbackPath());
        EvaluationValues values;
        QVERIFY(show(form, setup, values, QString(), [&] {
            QCOMPARE(text(form, "lInputLabel1"), input1);
            QCOMPARE(text(form, "lInputLabel2"), input2);
            QCOMPARE(text(form, "lOutputLabel"), output1);
            if (!output2.isEmpty())
                QCOMPARE(text(form, "lOutput2Label"), output2);
            // The labels grow with their text: nothing is cut off.
            for (const char *name : { "lInputLabel1", "lInputLabel2", "lOutputLabel", "lOutput2Label" }) {
                QLabel *l = child<QLabel>(form, name);
                QVERIFY2(l->width() >= l->sizeHint().width(), name);
                QVERIFY2(l->textFormat() == Qt::PlainText, name);
            }
            QCOMPARE(text(form, "lInfoPanelDate"), QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
        }));
    }

    void fileName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no file") << QString() << QString();
        const QString whole = QStringLiteral("/home/engineer/setups/") + QString(39, QLatin1Char('a'))
            + QStringLiteral(".hvx");
        QCOMPARE(whole.size(), 65);
        QTest::newRow("short path whole") << whole << whole;
        QTest::newRow("long folder path")
            << QStringLiteral(
                   "C:\\Documents and Settings\\operator\\My Documents\\Converter setups\\plant A\\line 3.hvx")
            << QStringLiteral("C:\\...\\operator\\My Documents\\Converter setups\\plant A\\line 3.hvx");
        QTest::newRow("long file name")
            << QStringLiteral("C:\\Setups\\Tank farm level transmitter number 12 with high alarm relay setup.hvx")
            << QStringLiteral("C:\\...\\Tank farm level transmitter number 12 w~1.hvx");
        // Names are shown as they are, never as markup; line breaks as escapes.
        QTest::newRow("markup") << QStringLiteral("/tmp/a <b>c<i> & [*] d.hvx")
                                << QStringLiteral("/tmp/a <b>c<i> & [*] d.hvx");
        QTest::newRow("line break") << QStringLiteral("/tmp/a\nb\r.hvx") << QStringLiteral("/tmp/a\\nb\\r.hvx");
    }
    void fileName()
    {
        QFETCH(QString, path);
        QFETCH(QString, shown);
        TResultForm form(iniPath(), nullptr, fallbackPath());
        EvaluationValues values;
        QVERIFY(show(form, voltage0to10(), values, path, [&] {
            QLabel *label = child<QLabel>(form, "lFileName");
            QCOMPARE(label->text(), shown);
            QCOMPARE(label->textFormat(), Qt::PlainText);
            QVERIFY(label->width() >= label->sizeHint().width());
        }));
    }

    // Back is first in the tab order; Alt+F7 (with any other modifier) on the
    // window, a button or a check box toggles the print options; every
    // showing hides them again.
    void printOptionsPanel()
    {
        TResultForm form(iniPath(), nullptr, fallbackPath());
        QWidget *panel = nullptr;
        EvaluationValues values;
        QVERIFY(show(form, voltage0to10(), values, QString(), [&] {
            panel = child<QWidget>(form, "pPrintOptions");
            QPushButton *back = child<QPushButton>(form, "bClose");
            QCOMPARE(QApplication::focusWidget() ? QApplication::focusWidget() : form.focusWidget(), back);
            QVERIFY(!panel->isVisible());
            QTest::keyClick(back, Qt::Key_F7);
            QTest::keyClick(back, Qt::Key_F6, Qt::AltModifier);
            QVERIFY(!panel->isVisible());
            QKeyEvent altF7(QEvent::KeyPress, Qt::Key_F7, Qt::AltModifier); // with Alt held from before
            QApplication::sendEvent(back, &altF7);
            QVERIFY(panel->isVisible());
            QCheckBox *box = child<QCheckBox>(form, "CheckBoxCompress");
            QTest::keyClick(box, Qt::Key_F7, Qt::AltModifier | Qt::ShiftModifier);
            QVERIFY(!panel->isVisible());
            QTest::keyClick(child<QPushButton>(form, "bPrint"), Qt::Key_F7, Qt::AltModifier | Qt::ControlModifier);
            QVERIFY(panel->isVisible());
            QTest::keyClick(&form, Qt::Key_F7, Qt::AltModifier);
            QVERIFY(!panel->isVisible());
            QTest::keyClick(&form, Qt::Key_F7, Qt::AltModifier);
            QVERIFY(panel->isVisible());
            // The context menu's entry, checked while the panel shows, and
            // its own key, which no desktop takes.
            QAction *entry = form.findChild<QAction *>(QStringLiteral("PrintOptions1"));
            QVERIFY(entry && form.actions().contains(entry) && entry->isChecked());
            QCOMPARE(form.contextMenuPolicy(), Qt::ActionsContextMenu);
            QVERIFY(QTest::qWaitForWindowActive(&form)); // keys of a window's entries need it active
            QTest::keyClick(back, Qt::Key_F7, Qt::ShiftModifier);
            QVERIFY(!panel->isVisible() && !entry->isChecked());
            entry->trigger();
            QVERIFY(panel->isVisible());
        }));
        QVERIFY(show(form, voltage0to10(), values, QString(), [&] { QVERIFY(!panel->isVisible()); }));
    }

    // No default button: Enter leaves the window open unless Back has the
    // focus (Escape goes back from anywhere: tst_results_keyboard).
    void enterAndEscape()
    {
        TResultForm form(iniPath(), nullptr, fallbackPath());
        QPushButton *print = child<QPushButton>(filled(form), "bPrint");
        ScopedDialogs dialogs; // the print dialog is answered with Cancel
        auto printDialogs = [&dialogs] {
            int n = 0;
            for (const ScriptedDialogs::Call &c : dialogs.scripted.calls())
                n += c.kind == ScriptedDialogs::Kind::Print ? 1 : 0;
            return n;
        };
        EvaluationValues values;
        QVERIFY(show(form, voltage0to10(), values, QString(), [&] {
            QTest::keyClick(&form, Qt::Key_F7, Qt::AltModifier);
            QCheckBox *box = child<QCheckBox>(form, "CheckBoxUseDDB");
            box->setFocus();
            for (QWidget *target : { static_cast<QWidget *>(&form), static_cast<QWidget *>(box) }) {
                QTest::keyClick(target, Qt::Key_Return);
                QTest::keyClick(target, Qt::Key_Enter, Qt::KeypadModifier);
                QVERIFY(form.isVisible());
            }
            QCOMPARE(printDialogs(), 0);
            QTest::keyClick(print, Qt::Key_Return);
            QCOMPARE(printDialogs(), 1);
            QVERIFY(form.isVisible());
            QTest::keyClick(child<QPushButton>(form, "bClose"), Qt::Key_Return);
            QVERIFY(!form.isVisible());
        }));
    }

    // A missing options file is created with 0, 1, 0, 0 and the design
    // states, in the user's configuration folder, never next to the program.
    void optionsFileCreatedWhenMissing()
    {
        TResultForm form(iniPath(), nullptr, fallbackPath());
        QCOMPARE(readAll(fallbackPath()), optionBytes(0, 1, 0, 0));
        QCOMPARE(form.printOptions(), PrintOptions());
        QVERIFY(child<QCheckBox>(filled(form), "CheckBox24BitFormOutput")->isChecked());
        QVERIFY(!QFile::exists(iniPath()));
    }

    // Whole values set their check boxes (any nonzero value is on); values
    // the file does not hold completely keep the design states.
    void optionsFileRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected"); // DDB, 24bit, WinStretch, Compress as 0/1
        QTest::newRow("all on") << optionBytes(1, 1, 1, 1) << QStringLiteral("1111");
        QTest::newRow("all off") << optionBytes(0, 0, 0, 0) << QStringLiteral("0000");
        QTest::newRow("nonzero values") << optionBytes(0x100, 0, 0xFFFFFFFF, 2) << QStringLiteral("1011");
        QTest::newRow("empty file") << QByteArray() << QStringLiteral("0100");
        QTest::newRow("one value and a half") << optionBytes(1, 0, 1, 1).left(6) << QStringLiteral("1100");
        QTest::newRow("three values") << optionBytes(1, 0, 1, 1).left(12) << QStringLiteral("1010");
        QTest::newRow("longer than 16 bytes")
            << optionBytes(0, 0, 0, 1) + QByteArray(8, '\1') << QStringLiteral("0001");
    }
    void optionsFileRead()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        writeFile(iniPath(), bytes);
        TResultForm form(iniPath(), nullptr, fallbackPath());
        filled(form);
        QString got;
        for (const char *name :
             { "CheckBoxUseDDB", "CheckBox24BitFormOutput", "CheckBoxWinStretch", "CheckBoxCompress" })
            got += child<QCheckBox>(form, name)->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
        QCOMPARE(got, expected);
        QCOMPARE(readAll(iniPath()), bytes); // reading leaves the file alone
    }

    // The check boxes, changed by the user, are stored at every close, by
    // "Back" and by the frame's close button; a new window reads them back.
    void optionsFileWrittenOnClose_data()
    {
        QTest::addColumn<int>("closeBy");
        QTest::newRow("Back") << int(CloseBy::Back);
        QTest::newRow("frame close button") << int(CloseBy::FrameButton);
    }
    void optionsFileWrittenOnClose()
    {
        QFETCH(int, closeBy);
        writeFile(iniPath(), optionBytes(0, 1, 0, 0).left(5)); // short: rewritten whole on close
        EvaluationValues values;
        {
            TResultForm form(iniPath(), nullptr, fallbackPath());
            QVERIFY(show(
                form, voltage0to10(), values, QString(),
                [&] {
                    QTest::keyClick(child<QPushButton>(form, "bClose"), Qt::Key_F7, Qt::AltModifier);
                    for (const char *name : { "CheckBox24BitFormOutput", "CheckBoxCompress" }) {
                        QCheckBox *box = child<QCheckBox>(form, name);
                        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
                    }
                },
                CloseBy(closeBy)));
            QCOMPARE(readAll(iniPath()), optionBytes(0, 0, 0, 1));
        }
        TResultForm next(iniPath(), nullptr, fallbackPath());
        PrintOptions expected;
        expected.form24Bit = false;
        expected.compress = true;
        QCOMPARE(next.printOptions(), expected);
    }

    // When the file next to the program can be neither opened nor created the
    // options live in the configuration folder, which is read first from then
    // on.
    void optionsFileFallback()
    {
        const QString unwritable = m_dir.filePath(QStringLiteral("no such folder/hvxprint.ini"));
        EvaluationValues values;
        {
            TResultForm form(unwritable, nullptr, fallbackPath());
            QCOMPARE(form.printOptionsPath(), fallbackPath());
            QCOMPARE(readAll(fallbackPath()), optionBytes(0, 1, 0, 0));
            QVERIFY(show(form, voltage0to10(), values, QString(), [&] {
                QTest::keyClick(&form, Qt::Key_F7, Qt::AltModifier);
                QTest::mouseClick(child<QCheckBox>(form, "CheckBoxWinStretch"), Qt::LeftButton, {}, QPoint(6, 8));
            }));
            QCOMPARE(readAll(fallbackPath()), optionBytes(0, 1, 1, 0));
        }
        // Even once the program's own file exists, the configuration copy wins.
        writeFile(iniPath(), optionBytes(1, 1, 1, 1));
        TResultForm again(iniPath(), nullptr, fallbackPath());
        QCOMPARE(again.printOptionsPath(), fallbackPath());
        QVERIFY(again.printOptions().winStretch && !again.printOptions().useDDB);
    }

    // With nowhere to keep them the options keep their states and the window
    // still opens and closes.
    void optionsFileNowhere()
    {
        const QString unwritable = m_dir.filePath(QStringLiteral("no such folder/hvxprint.ini"));
        writeFile(m_dir.filePath(QStringLiteral("blocker")), QByteArray("x"));
        const QString noFallback = m_dir.filePath(QStringLiteral("blocker/hvxprint.ini"));
        TResultForm form(unwritable, nullptr, noFallback);
        QCOMPARE(form.printOptions(), PrintOptions());
        QVERIFY(form.printOptionsPath().isEmpty());
        EvaluationValues values;
        QVERIFY(show(form, voltage0to10(), values, QString(), {}, CloseBy::FrameButton));
        QVERIFY(!QFile::exists(unwritable));
    }

    // A pipe in place of the file is refused at once (not waited on) and
    // left alone; the options go to the configuration folder instead.
    void optionsFileIsPipe()
    {
        QVERIFY(mkfifo(QFile::encodeName(iniPath()).constData(), 0600) == 0);
        {
            TResultForm form(iniPath(), nullptr, fallbackPath());
            QCOMPARE(form.printOptions(), PrintOptions());
            QCOMPARE(form.printOptionsPath(), fallbackPath());
            QCOMPARE(readAll(fallbackPath()), optionBytes(0, 1, 0, 0));
        }
        QVERIFY(QFileInfo(iniPath()).exists() && !QFileInfo(iniPath()).isFile());
        QFile::remove(iniPath());
    }

    // A write that cannot put all 16 bytes in place (here: files may not
    // grow past 8 bytes) leaves the old file whole.
    void optionsFileWrittenWholeOrNotAtAll()
    {
        writeFile(iniPath(), optionBytes(1, 1, 1, 1));
        PrintOptionsFile file(iniPath(), QString());
        bool written = true;
        {
            testsupport::FileSizeLimit limit(8);
            QVERIFY(limit.isSet());
            written = file.write(PrintOptions());
        }
        QVERIFY(!written);
        QCOMPARE(readAll(iniPath()), optionBytes(1, 1, 1, 1));
        QCOMPARE(QDir(m_dir.path()).entryList({ QStringLiteral("hvxprint.ini*") }, QDir::Files),
                 QStringList{ QStringLiteral("hvxprint.ini") });
    }

    // Which file is read and which written: the one next to the program
    // only while it is there, otherwise the user's; nothing is ever made
    // next to the program.
    void optionsFileLocation_data()
    {
        // The files at start, next to the program and in the user's folder;
        // whether the first goes before the write; where the options are
        // read from and written to. With neither file, or both, see
        // optionsFileCreatedWhenMissing and optionsFileFallback.
        QTest::addColumn<bool>("beside");
        QTest::addColumn<bool>("user");
        QTest::addColumn<bool>("besideRemoved");
        QTest::addColumn<QString>("readFrom");
        QTest::addColumn<QString>("writtenTo");
        // clang-format off
        QTest::newRow("unpacked copy")         << true  << false << false << "beside" << "beside";
        QTest::newRow("user's file")           << false << true  << false << "user"   << "user";
        QTest::newRow("beside removed")        << true  << false << true  << "beside" << "user";
        // clang-format on
    }
    void optionsFileLocation()
    {
        QFETCH(bool, beside);
        QFETCH(bool, user);
        QFETCH(bool, besideRemoved);
        QFETCH(QString, readFrom);
        QFETCH(QString, writtenTo);
        const QByteArray besideBytes = optionBytes(1, 0, 0, 0);
        const QByteArray userBytes = optionBytes(0, 0, 1, 0);
        if (beside)
            writeFile(iniPath(), besideBytes);
        if (user) {
            QVERIFY(QDir().mkpath(QFileInfo(fallbackPath()).absolutePath()));
            writeFile(fallbackPath(), userBytes);
        }
        PrintOptionsFile file(iniPath(), fallbackPath());
        PrintOptions options;
        QVERIFY(file.read(options));
        PrintOptions expected;
        applyPrintOptionsBytes(readFrom == "beside" ? besideBytes : userBytes, expected);
        QCOMPARE(options, expected);

        if (besideRemoved)
            QVERIFY(QFile::remove(iniPath()));
        PrintOptions changed;
        changed.compress = true;
        QVERIFY(file.write(changed));
        const QString written = writtenTo == "beside" ? iniPath() : fallbackPath();
        const QString other = writtenTo == "beside" ? fallbackPath() : iniPath();
        QCOMPARE(file.activePath(), written);
        QCOMPARE(readAll(written), printOptionsBytes(changed));
        QCOMPARE(QFile::exists(other), other == iniPath() ? beside && !besideRemoved : user);
        if (QFile::exists(other))
            QCOMPARE(readAll(other), other == iniPath() ? besideBytes : userBytes);
    }

    // The squares sit in their columns, 17 pixels apart, with the numbers
    // centred under them.
    void bankLayout()
    {
        TResultForm form(iniPath(), nullptr, fallbackPath());
        form.ensureControls();
        const struct {
            int bank, col1, onTop, offTop;
        } banks[] = { { 1, 391, 363, 380 }, { 2, 151, 339, 356 }, { 3, 127, 163, 180 }, { 4, 15, 27, 44 } };
        for (const auto &b : banks) {
            for (int p = 1; p <= 12; ++p) {
                const int x = b.col1 + 17 * (p - 1);
                QCOMPARE(form.onSquare(b.bank, p)->geometry(), QRect(x, b.onTop, 13, 13));
                QCOMPARE(form.offSquare(b.bank, p)->geometry(), QRect(x, b.offTop, 13, 13));
                QLabel *number = child<QLabel>(form, qPrintable(QStringLiteral("lNum%1_S%2").arg(p).arg(b.bank)));
                QCOMPARE(number->text(), QString::number(p));
                QVERIFY(qAbs(number->geometry().center().x() - (x + 6)) <= 2);
            }
        }
        QCOMPARE(child<QWidget>(form, "pSwitch4")->geometry(), QRect(120, 224, 233, 89));
    }

    // The diagram's lines stand out from the window's background under a
    // light and a dark desktop palette.
    void diagramLinesStandOut_data()
    {
        QTest::addColumn<bool>("darkDesktop");
        QTest::newRow("light desktop") << false;
        QTest::newRow("dark desktop") << true;
    }
    void diagramLinesStandOut()
    {
        QFETCH(bool, darkDesktop);
        const QPalette desktop = QApplication::palette();
        if (darkDesktop)
            QApplication::setPalette(QPalette(QColor(0xee, 0xee, 0xee), QColor(0x35, 0x35, 0x35),
                                              QColor(0x50, 0x50, 0x50), QColor(0x20, 0x20, 0x20),
                                              QColor(0x30, 0x30, 0x30), QColor(0xee, 0xee, 0xee), Qt::white,
                                              QColor(0x2a, 0x2a, 0x2a), QColor(0x35, 0x35, 0x35)));
        QImage image;
        {
            TResultForm form(iniPath(), nullptr, fallbackPath());
            EvaluationValues values;
            QVERIFY(Evaluate(voltage0to10(), values).completed);
            form.FillResults(voltage0to10(), values, QString());
            image = form.grab().toImage();
        }
        QApplication::setPalette(desktop);
        // The housing's top line (175, 91, 441 x 2) and the panel below it.
        const QColor line = image.pixelColor(300, 92);
        const QColor below = image.pixelColor(300, 97);
        QVERIFY2(qAbs(line.lightness() - below.lightness()) >= 96,
                 qPrintable(QStringLiteral("line %1 on %2").arg(line.name(), below.name())));
    }

    // A window put on paper without ever being shown holds each text whole.
    void textsFitOnPaperUnshown()
    {
        TResultForm form(iniPath(), nullptr, fallbackPath());
        ResultFormOnPaper paper(&form);
        for (QLabel *l : form.findChildren<QLabel *>()) {
            const QSize need = l->sizeHint();
            QVERIFY2(l->width() >= need.width() && l->height() >= need.height(), qPrintable(l->objectName()));
        }
    }
};

QTEST_MAIN(TestResultForm)
#include "tst_results_form.moc"
