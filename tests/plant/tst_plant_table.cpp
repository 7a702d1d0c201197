// A plant's table kept for the plant window: rows read with their setups or
// problems, checks recorded, and the table written back whole.

#include "planttable.h"
#include "setupfile.h"
#include "setuprow.h"
#include "unitcomparison.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace hvx;

namespace {

const QByteArray Header = "file,tag,input type,input range,output 1";
const QByteArray Row1 = "PT-1,\"PT 1, \"\"east\"\"\",Voltage,0 to 10 V,4 to 20 mA source";
const QByteArray Row2 = "PT-2, 5\" pump  ,Voltage,0 to 11 V,4 to 20 mA source";

QByteArray table(const QByteArray &bom, const QByteArray &end, char separator, const QByteArray &extra = {})
{
    QByteArray out = bom + Header + extra + end + Row1 + end + end + Row2 + end;
    if (separator != ',') {
        out.replace(',', ';');
        out.replace("\"PT 1; \"", "\"PT 1, \"");
    }
    return out;
}

QString write(const QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath(QStringLiteral("plant.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

} // namespace

class TestPlantTable : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void rowsAndProblems();
    void recordAddsCheckColumns_data();
    void recordAddsCheckColumns();
    void fileStates();
    void changedOnDisk();
    void refused_data();
    void refused();
};

void TestPlantTable::roundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("CRLF, byte-order mark") << table("\xEF\xBB\xBF", "\r\n", ',');
    QTest::newRow("LF, no mark") << table({}, "\n", ',');
    QTest::newRow("semicolons") << table({}, "\r\n", ';');
    QTest::newRow("no end on the last line") << table({}, "\n", ',').chopped(1);
    QTest::newRow("check columns there") << table({}, "\n", ',', ",read S1,read S2,read S3,read S4,check,checked");
}

void TestPlantTable::roundTrip()
{
    QFETCH(QByteArray, bytes);
    PlantTable t;
    QString error;
    QVERIFY2(t.parse(bytes, QStringLiteral("plant.csv"), &error), qPrintable(error));
    QCOMPARE(t.bytes(), bytes);
}

void TestPlantTable::rowsAndProblems()
{
    PlantTable t;
    QString error;
    QVERIFY(t.parse(table({}, "\n", ','), QStringLiteral("/plant/plant.csv"), &error));
    QVERIFY(PlantTable::isPlantTable(table({}, "\n", ';')));
    QVERIFY(!PlantTable::isPlantTable(setupFileBytes(Setup())));
    QCOMPARE(t.rowCount(), 2);
    QCOMPARE(t.row(0).line, 2);
    QCOMPARE(t.row(1).line, 4); // the blank line is no unit
    QVERIFY(t.row(0).usable());
    QCOMPARE(t.row(0).fileName, QStringLiteral("PT-1.hvx"));
    QCOMPARE(t.setupFilePath(0), QStringLiteral("/plant/PT-1.hvx"));
    QCOMPARE(t.ownColumns(), QList<int>{ 1 });
    QCOMPARE(t.cell(0, QStringLiteral("tag")), QStringLiteral("PT 1, \"east\""));
    QCOMPARE(t.row(1).problems.size(), size_t(1));
    QCOMPARE(t.row(1).problems.front().line, 4);
    QCOMPARE(t.row(1).problems.front().column, QStringLiteral("input range"));
    QVERIFY(t.row(1).problems.front().text().startsWith(QStringLiteral("line 4, column \"input range\": ")));

    // A cell beyond the header (a comma in a value not quoted) stands under
    // no column: the row is refused as every table command refuses it, and a
    // check is never written over that cell; a near miss is the table's.
    QVERIFY(t.parse("file,input type,input range,output 1,note,RTD wires\n"
                    "PT-1,Voltage,0 to 10 V,4 to 20 mA source,pump, north side,\n",
                    QStringLiteral("plant.csv"), &error));
    QCOMPARE(t.row(0).problems.front().text(),
             "line 2: the row has 7 cells for 6 columns; a value holding \",\" must be quoted");
    QCOMPARE(t.tableProblems().front().text(),
             "line 1: column \"RTD wires\" is not a known column; did you mean \"RTD wiring\"?");
}

void TestPlantTable::recordAddsCheckColumns_data()
{
    QTest::addColumn<char>("separator");
    QTest::addColumn<QByteArray>("end");
    QTest::newRow("commas, CRLF") << ',' << QByteArray("\r\n");
    QTest::newRow("semicolons, LF") << ';' << QByteArray("\n");
    // Every line end the reader takes is kept where the check cells go.
    QTest::newRow("a lone CR") << ',' << QByteArray("\r");
    QTest::newRow("CR CR LF") << ',' << QByteArray("\r\r\n");
}

void TestPlantTable::recordAddsCheckColumns()
{
    QFETCH(char, separator);
    QFETCH(QByteArray, end);
    const QByteArray bytes = table("\xEF\xBB\xBF", end, separator);
    PlantTable t;
    QString error;
    QVERIFY(t.parse(bytes, QStringLiteral("plant.csv"), &error));
    QCOMPARE(t.check(0), PlantCheck::NothingYet);

    SwitchMap unit;
    unit.bank(2).turnOn(5);
    const UnitComparison c = compareUnitWithSetup(unit, t.row(0).setup);
    t.record(0, unit, c, QDateTime(QDate(2026, 3, 1), QTime(9, 30)));
    QVERIFY(t.isModified());
    QCOMPARE(t.check(0), PlantCheck::Differs);
    QCOMPARE(t.readSwitches(0), unit);

    PlantTable back;
    QVERIFY2(back.parse(t.bytes(), QStringLiteral("plant.csv"), &error), qPrintable(error));
    QCOMPARE(back.header().mid(5), checkColumns());
    QCOMPARE(back.check(0), PlantCheck::Differs);
    QCOMPARE(back.check(1), PlantCheck::NothingYet);
    QCOMPARE(back.cell(0, QStringLiteral("check")), QStringLiteral("differs: ") + c.directions());
    QCOMPARE(back.cell(0, QStringLiteral("checked")), QStringLiteral("2026-03-01 09:30"));
    QCOMPARE(back.readSwitches(0), unit);
    // Checked rows keep every byte before the check columns; the rest all.
    t.record(1, SwitchMap(), compareUnitWithSwitches(SwitchMap(), SwitchMap()),
             QDateTime(QDate(2026, 3, 1), QTime(9, 31)));
    QCOMPARE(t.cell(1, QStringLiteral("tag")).trimmed(), QStringLiteral("5\" pump"));
    const QStringList before = QString::fromUtf8(bytes).split(QString::fromLatin1(end));
    const QStringList after = QString::fromUtf8(t.bytes()).split(QString::fromLatin1(end));
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < before.size(); ++i)
        QVERIFY2(after.at(i).startsWith(before.at(i)), qPrintable(after.at(i)));
    QVERIFY(back.parse(t.bytes(), QStringLiteral("plant.csv"), &error));
    QCOMPARE(back.cell(1, QStringLiteral("checked")), QStringLiteral("2026-03-01 09:31"));
    const QString sep(QLatin1Char{ separator });
    QVERIFY2(after.at(3).endsWith(sep + "match" + sep + "2026-03-01 09:31"), qPrintable(after.at(3)));
}

void TestPlantTable::fileStates()
{
    QTemporaryDir dir;
    const QString path = write(dir, table({}, "\n", ','));
    PlantTable t;
    QString error;
    QVERIFY(t.read(path, &error));
    QCOMPARE(t.fileState(0), PlantFileState::Missing);
    QCOMPARE(t.fileState(1), PlantFileState::NoFile);
    QVERIFY(saveSetupFile(t.setupFilePath(0), t.row(0).setup));
    QCOMPARE(t.fileState(0), PlantFileState::Made);
    Setup other = t.row(0).setup;
    other.rgBurnout = 1;
    QVERIFY(saveSetupFile(t.setupFilePath(0), other));
    QCOMPARE(t.fileState(0), PlantFileState::Differs);
}

void TestPlantTable::changedOnDisk()
{
    QTemporaryDir dir;
    const QByteArray bytes = table({}, "\n", ',');
    const QString path = write(dir, bytes);
    PlantTable t;
    QString error;
    QVERIFY(t.read(path, &error));
    QVERIFY(!t.changedOnDisk());
    // Same size and time, other content: a colleague's spreadsheet within the second.
    const QDateTime time = QFileInfo(path).lastModified();
    QByteArray edited = bytes;
    edited.replace("PT-2", "PT-3");
    QVERIFY(!write(dir, edited).isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(t.changedOnDisk());
    // Saved by the program, the table is its own again.
    QVERIFY(t.save(&error));
    QVERIFY(!t.changedOnDisk());
    QCOMPARE(t.bytes(), bytes);
}

void TestPlantTable::refused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");
    QTest::newRow("no input type") << QByteArray("file,tag\nA,B\n")
                                   << "plant.csv:1: the header has no column \"input type\"; a plant table names each "
                                      "unit's file and input type";
    QTest::newRow("quote never closed") << QByteArray("file,input type\n\"A,Voltage\n") << "plant.csv:2:1: ";
}

void TestPlantTable::refused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    PlantTable t;
    QString why;
    QVERIFY(!t.parse(bytes, QStringLiteral("plant.csv"), &why));
    QVERIFY2(why.startsWith(error), qPrintable(why));
    // Read from its file, the table is refused the same.
    QTemporaryDir dir;
    PlantTable fromFile;
    QVERIFY(!fromFile.read(write(dir, bytes), &why));
    QVERIFY2(why.contains(error), qPrintable(why));
    QCOMPARE(fromFile.rowCount(), 0);
}

QTEST_GUILESS_MAIN(TestPlantTable)
#include "tst_plant_table.moc"
