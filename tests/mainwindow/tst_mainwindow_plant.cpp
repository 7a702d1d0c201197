// The plant window driven through its controls: open the example plant, find
// units, put one into the main window, check units through Read Switches,
// save the checks and find them again; a table changed on disk is not
// written over.

#include "mainwindow_testing.h"
#include "planttable.h"
#include "plantwindow.h"
#include "readswitchesform.h"
#include "switchbankpanel.h"

#include <QAbstractItemModel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTreeView>

using namespace testing;
using hvx::PlantCheck;
using hvx::PlantTable;
using hvx::PlantWindow;

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// The example plant, copied where the test may write.
QString examplePlant(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("plant.csv"));
    if (!QFile::copy(QStringLiteral(HALVEX_EXAMPLES "/plant.csv"), path))
        qFatal("cannot copy the example plant");
    return path;
}

PlantWindow *plantWindow(TMainForm &form)
{
    auto *w = form.findChild<PlantWindow *>();
    if (!w || !QTest::qWaitForWindowExposed(w))
        qFatal("no plant window shown");
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w))
        qFatal("plant window not active");
    return w;
}

QString count(PlantWindow *w) { return child<QLabel>(*w, QStringLiteral("lCount"))->text(); }

// Types into the find field, reached by its key.
void find(PlantWindow *w, const QString &text)
{
    QTest::keyClick(w, Qt::Key_F, Qt::ControlModifier);
    auto *edit = child<QLineEdit>(*w, QStringLiteral("eFilter"));
    QVERIFY(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// Checks the chosen unit: Check Unit, the switches as given, Record.
void checkUnit(PlantWindow *w, const hvx::SwitchMap &read)
{
    QTest::keyClick(w, Qt::Key_K, Qt::ControlModifier);
    auto *reader = w->findChild<hvx::ReadSwitchesForm *>();
    QVERIFY(reader && reader->isVisible());
    for (int b = 1; b <= 4; ++b)
        for (int p = 1; p <= 12; ++p)
            if (reader->switchToggle(b, p)->isOn() != read.bank(b).isOn(p))
                QTest::mouseClick(reader->switchToggle(b, p), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(*reader, QStringLiteral("bRecord")), Qt::LeftButton);
    QVERIFY(!reader->isVisible());
}

hvx::SwitchMap switchesOf(const hvx::Setup &setup)
{
    hvx::EvaluationValues values;
    hvx::Evaluate(setup, values);
    return values.map;
}

int rowOf(const PlantTable &t, const QString &file)
{
    for (int row = 0; row < t.rowCount(); ++row)
        if (t.cell(row, QStringLiteral("file")) == file)
            return row;
    return -1;
}

} // namespace

class TestPlantWindow : public QObject {
    Q_OBJECT

private slots:
    // The folders remembered for tables stay out of the user's settings.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void findPutCheckSave();
    void printSheetsInListOrder_data();
    void printSheetsInListOrder();
    void makeSetupFilesAsUpdate();
    void changedOnDiskIsNotOverwritten();
    void closingTheMainWindowAsksForChecks();
    void commandLineTellsByContent_data();
    void commandLineTellsByContent();
};

void TestPlantWindow::findPutCheckSave()
{
    QTemporaryDir dir;
    const QString path = examplePlant(dir);
    const QByteArray original = fileBytes(path);
    Fixture f;
    f.script().queueOpenFile(path);
    QTest::keyClick(&f.form, Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    PlantWindow *w = plantWindow(f.form);
    QCOMPARE(count(w), QStringLiteral("24 of 24 units"));
    for (int row = 0; row < w->table().rowCount(); ++row) { // the example makes every unit
        const hvx::PlantRow &r = w->table().row(row);
        QVERIFY2(r.usable(), r.usable() ? "" : qPrintable(r.problems.front().text()));
    }

    find(w, QStringLiteral("boiler"));
    QCOMPARE(count(w), QStringLiteral("3 of 24 units"));
    find(w, QStringLiteral("pt-101")); // the table's first unit
    QCOMPARE(count(w), QStringLiteral("1 of 24 units"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    auto *view = child<QTreeView>(*w, QStringLiteral("tvUnits"));
    QVERIFY(view->hasFocus());
    const QAbstractItemModel *units = view->model();
    for (int role : { int(Qt::DisplayRole), int(Qt::AccessibleTextRole) }) { // what is shown is what is read out
        QCOMPARE(units->headerData(0, Qt::Horizontal, role).toString(), QStringLiteral("line"));
        QCOMPARE(units->headerData(units->columnCount() - 2, Qt::Horizontal, role).toString(), QStringLiteral("check"));
    }
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(f.form.windowTitle(),
             QStringLiteral("Halvex Switch Setup - ") + dir.filePath(QStringLiteral("PT-101.hvx")));
    QCOMPARE(combo(f.form, QStringLiteral("cbInputType"))->currentText(), QStringLiteral("Current using Tx Supply"));
    QVERIFY(f.form.Modified());                          // its file is not made yet
    QTRY_COMPARE(QApplication::activeWindow(), &f.form); // brought to the front

    const PlantTable &t = w->table();
    w->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), w);
    checkUnit(w, switchesOf(t.row(w->chosenRow()).setup));
    find(w, QStringLiteral("tt-111"));
    hvx::SwitchMap wrong = switchesOf(t.row(w->chosenRow()).setup);
    wrong.bank(3).turnOn(12);
    checkUnit(w, wrong);
    const QModelIndex checkCell = view->model()->index(0, view->model()->columnCount() - 2);
    QCOMPARE(checkCell.data().toString(), QStringLiteral("differs"));

    find(w, QString());
    QTest::keyClick(w, Qt::Key_F8);
    QCOMPARE(t.check(w->chosenRow()), PlantCheck::NothingYet);
    QTest::keyClick(w, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!t.isModified());
    QCOMPARE(f.script().unexpectedCalls(), 0);

    PlantTable back;
    QString error;
    QVERIFY2(back.read(path, &error), qPrintable(error));
    QCOMPARE(back.check(rowOf(back, QStringLiteral("PT-101"))), PlantCheck::Match);
    QCOMPARE(back.check(rowOf(back, QStringLiteral("TT-111"))), PlantCheck::Differs);
    QVERIFY(back.cell(rowOf(back, QStringLiteral("TT-111")), QStringLiteral("check"))
                .contains(QStringLiteral("S3.12")));
    // The plant's own lines stay as they were, each now followed by the check columns.
    const QList<QByteArray> before = original.split('\n');
    const QList<QByteArray> after = fileBytes(path).split('\n');
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < before.size(); ++i)
        QVERIFY(after.at(i).startsWith(before.at(i).chopped(before.at(i).endsWith('\r') ? 1 : 0)));
}

void TestPlantWindow::printSheetsInListOrder_data()
{
    QTest::addColumn<int>("selected"); // rows of the list selected
    QTest::addColumn<int>("sheets");
    QTest::addColumn<bool>("firstRefused"); // the first unit shown: left out
    QTest::newRow("none selected: every unit shown") << 0 << 3 << false;
    QTest::newRow("one selected: every unit shown") << 1 << 3 << false;
    QTest::newRow("two selected: those two") << 2 << 2 << false;
    QTest::newRow("a unit refused: left out") << 0 << 2 << true;
}

void TestPlantWindow::printSheetsInListOrder()
{
    QFETCH(int, selected);
    QFETCH(int, sheets);
    QFETCH(bool, firstRefused);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheets.pdf"));
    const QString table = examplePlant(dir);
    if (firstRefused)
        writeBytes(table, fileBytes(table).replace("R type thermocouple", "R type thermocoupel"));
    Fixture f(QStringList{ table });
    PlantWindow *w = plantWindow(f.form);
    find(w, QStringLiteral("kiln"));
    QCOMPARE(count(w), QStringLiteral("3 of 24 units"));
    auto *view = child<QTreeView>(*w, QStringLiteral("tvUnits"));
    view->clearSelection();
    for (int row = selected; row > 0; --row) // the last shown first: sheets follow the list, not the clicks
        view->selectionModel()->select(view->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    f.script().queuePrint([&pdf](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    QTest::keyClick(w, Qt::Key_P, Qt::ControlModifier);
    // One job: one file of one page per unit shown.
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    QCOMPARE(QString::fromLatin1(fileBytes(pdf)).count(page), sheets);
    QCOMPARE(child<QLabel>(*w, QStringLiteral("lStatus"))->text(),
             QStringLiteral("%1 sheets printed%2.")
                 .arg(sheets)
                 .arg(firstRefused ? QStringLiteral("; 1 unit with problems left out") : QString()));
    // Each sheet carries the unit's own columns, as --pdf --table prints them.
    QProcess text;
    const QString last = QString::number(sheets);
    text.start(QStringLiteral("pdftotext"), { "-f", last, "-l", last, "-enc", "UTF-8", pdf, "-" });
    QVERIFY(text.waitForFinished(60000) && text.exitCode() == 0);
    const QString shown = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(shown.contains(QStringLiteral("tag: TT-117")) && shown.contains(QStringLiteral("location: Kiln")),
             qPrintable(shown));
    QVERIFY(f.script().allAnswersUsed());
    QCOMPARE(f.script().unexpectedCalls(), 0);
}

// Make Setup Files... into a folder through its key, the folder answered;
// the text of the one box it shows.
QString makeInto(Fixture &f, PlantWindow *w, const QString &folder)
{
    const size_t before = f.script().calls().size();
    f.script().queueFolder(folder);
    QTest::keyClick(w, Qt::Key_M, Qt::ControlModifier);
    const auto &calls = f.script().calls();
    if (calls.size() != before + 2 || calls.back().kind != hvx::ScriptedDialogs::Kind::Message)
        return QStringLiteral("no one box shown");
    return calls.back().text;
}

// Opens the table through Open Plant Table... in the plant window.
void openInWindow(Fixture &f, PlantWindow *w, const QString &path)
{
    f.script().queueOpenFile(path);
    QTest::keyClick(w, Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w->table().path(), path);
}

void TestPlantWindow::makeSetupFilesAsUpdate()
{
    QTemporaryDir dir;
    const QString path = examplePlant(dir);
    const QString units = dir.filePath(QStringLiteral("units"));
    Fixture f(QStringList{ path });
    PlantWindow *w = plantWindow(f.form);

    QVERIFY(makeInto(f, w, units).startsWith(QStringLiteral("24 setup files written into")));
    for (int row = 0; row < w->table().rowCount(); ++row) {
        const hvx::PlantRow &r = w->table().row(row);
        QCOMPARE(fileBytes(QDir(units).filePath(r.fileName)), hvx::setupFileBytes(r.setup));
    }
    QVERIFY(makeInto(f, w, units).endsWith(QStringLiteral("\n\nunchanged: 24")));

    // One unit changed, another refused: nothing is written.
    QByteArray table = fileBytes(path);
    const qsizetype pt101 = table.indexOf("\nPT-101,");
    table.replace(table.indexOf("4 to 20 mA source", pt101), 17, "0 to 20 mA source");
    const qsizetype tt110 = table.indexOf("\nTT-110,");
    QVERIFY(pt101 > 0 && tt110 > 0);
    QByteArray refused = table;
    refused.replace(refused.indexOf("K type thermocouple", tt110), 19, "K type thermocoupel");
    const QString changedPath = dir.filePath(QStringLiteral("changed.csv"));
    const QString refusedPath = dir.filePath(QStringLiteral("refused.csv"));
    writeBytes(changedPath, table);
    writeBytes(refusedPath, refused);
    const QByteArray before = fileBytes(QDir(units).filePath(QStringLiteral("PT-101.hvx")));
    openInWindow(f, w, refusedPath);
    // The refused unit's setup-file cell tells why on hovering; no other cell does.
    find(w, QStringLiteral("tt-110"));
    const QAbstractItemModel *model = child<QTreeView>(*w, QStringLiteral("tvUnits"))->model();
    const QString why = model->index(0, model->columnCount() - 3).data(Qt::ToolTipRole).toString();
    QVERIFY2(why.contains(QStringLiteral("\"K type thermocoupel\"")), qPrintable(why));
    QVERIFY(model->index(0, 1).data(Qt::ToolTipRole).isNull());
    find(w, QString());
    const QString told = makeInto(f, w, units);
    QVERIFY2(told.startsWith(QStringLiteral("Nothing written: 2 problems in the table.")), qPrintable(told));
    QVERIFY2(told.contains(QRegularExpression(QStringLiteral("line \\d+, column \"input type\": "))), qPrintable(told));
    QCOMPARE(fileBytes(QDir(units).filePath(QStringLiteral("PT-101.hvx"))), before);
    QVERIFY(QDir(units).entryList(QDir::Files).size() == 24); // no temporaries left
    QVERIFY(makeInto(f, w, dir.filePath(QStringLiteral("new"))).startsWith(QStringLiteral("Nothing written")));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("new"))));

    openInWindow(f, w, changedPath);
    QCOMPARE(makeInto(f, w, units),
             QStringLiteral("1 setup file written into %1.\n\nchanged: PT-101.hvx (output 1 4 to 20 mA source -> 0 "
                            "to 20 mA source; switches S3.12 off -> on)\nunchanged: 23")
                 .arg(units));

    // The folder made into is the table's setup files folder from then on.
    openInWindow(f, w, path);
    QCOMPARE(w->table().setupFolder(), units);
    QCOMPARE(w->table().fileState(w->table().rowCount() - 1), hvx::PlantFileState::Made);
    // A header typed wrong stops Make as it stops halvex-eval --make.
    QByteArray nearMiss = fileBytes(path);
    nearMiss.replace("RTD wiring", "RTD wires");
    writeBytes(path, nearMiss);
    openInWindow(f, w, path);
    const QString near = makeInto(f, w, dir.filePath(QStringLiteral("near")));
    QVERIFY2(near.contains(QStringLiteral("line 1: column \"RTD wires\" is not a known column")), qPrintable(near));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("near"))));
    QVERIFY(f.script().allAnswersUsed());
    QCOMPARE(f.script().unexpectedCalls(), 0);
}

void TestPlantWindow::changedOnDiskIsNotOverwritten()
{
    QTemporaryDir dir;
    const QString path = examplePlant(dir);
    Fixture f(QStringList{ path });
    PlantWindow *w = plantWindow(f.form);
    checkUnit(w, hvx::SwitchMap());
    QVERIFY(w->table().isModified());

    // A colleague saves the table in a spreadsheet meanwhile.
    QByteArray theirs = fileBytes(path);
    theirs.replace("Pump house 1", "Pump house A");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(theirs) == theirs.size());
    file.close();

    f.script().queueAnswer(hvx::DialogAnswer::No); // no Save As
    QTest::keyClick(w, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(fileBytes(path), theirs);
    QVERIFY(f.script().calls().back().text.contains(QStringLiteral("was changed on disk")));

    // Closing with the checks unsaved asks. A Save As given up or failed
    // keeps the window open; one that writes keeps both tables.
    for (const QString &failed : { QString(), dir.filePath(QStringLiteral("none/checked.csv")) }) {
        f.script().queueAnswer(hvx::DialogAnswer::Yes); // save the checks
        f.script().queueAnswer(hvx::DialogAnswer::Yes); // under another name
        f.script().queueSaveFile(failed);
        QVERIFY2(!w->close(), qPrintable(failed));
        QVERIFY(w->table().isModified());
    }
    QCOMPARE(f.script().calls().back().icon, hvx::DialogIcon::Error);
    const QString copy = dir.filePath(QStringLiteral("checked.csv"));
    f.script().queueAnswer(hvx::DialogAnswer::Yes); // save the checks
    f.script().queueAnswer(hvx::DialogAnswer::Yes); // under another name
    f.script().queueSaveFile(copy);
    QVERIFY(w->close());
    QCOMPARE(fileBytes(path), theirs);
    PlantTable saved;
    QString error;
    QVERIFY(saved.read(copy, &error));
    QCOMPARE(saved.check(0), PlantCheck::Differs);
    QVERIFY(f.script().allAnswersUsed());
    QCOMPARE(f.script().unexpectedCalls(), 0);
}

void TestPlantWindow::closingTheMainWindowAsksForChecks()
{
    QTemporaryDir dir;
    const QString path = examplePlant(dir);
    Fixture f(QStringList{ path });
    PlantWindow *w = plantWindow(f.form);
    checkUnit(w, hvx::SwitchMap());
    f.script().queueAnswer(hvx::DialogAnswer::Cancel);
    QVERIFY(!f.form.close());
    QVERIFY(w->isVisible());
    QCOMPARE(f.script().calls().back().text, path + QStringLiteral(" has checks that are not saved - Save changes ?"));
    f.script().queueAnswer(hvx::DialogAnswer::No);
    QVERIFY(f.form.close());
    QVERIFY(f.script().allAnswersUsed());
}

void TestPlantWindow::commandLineTellsByContent_data()
{
    QTest::addColumn<bool>("table");
    QTest::newRow("a table") << true;
    QTest::newRow("a setup file named .csv") << false;
}

void TestPlantWindow::commandLineTellsByContent()
{
    QFETCH(bool, table);
    QTemporaryDir dir;
    QString path = examplePlant(dir);
    if (!table) {
        hvx::Setup s;
        s.cbInputType = 0;
        writeSetup(path, s);
    }
    Fixture f(QStringList{ path });
    QApplication::processEvents();
    auto *w = f.form.findChild<PlantWindow *>();
    QCOMPARE(w != nullptr, table);
    QCOMPARE(f.form.windowTitle(),
             table ? QStringLiteral("Halvex Switch Setup") : QStringLiteral("Halvex Switch Setup - ") + path);
    if (table)
        QCOMPARE(count(plantWindow(f.form)), QStringLiteral("24 of 24 units"));
}

QTEST_MAIN(TestPlantWindow)
#include "tst_mainwindow_plant.moc"
