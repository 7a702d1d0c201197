// The plan of a plant's table: the file each row gives, names that clash,
// and what writing a file does to what the folder holds.

#include "csvtable.h"
#include "headerfolding.h"
#include "plantplanner.h"
#include "setupfile.h"
#include "setuprow.h"

#include <QtTest>

using namespace hvx;

namespace {

// A setup from "column=value" cells, as a table row gives it.
Setup setupOf(const QStringList &cells)
{
    QStringList values(setupColumns().size());
    for (const QString &cell : cells)
        values[setupColumns().indexOf(cell.section(QLatin1Char('='), 0, 0))] = cell.section(QLatin1Char('='), 1);
    std::vector<RowProblem> problems;
    return setupFromRowValues(values, &problems);
}

const QStringList customK{ QStringLiteral("input type=K type thermocouple"), QStringLiteral("input range=Custom"),
                           QStringLiteral("custom low=0"), QStringLiteral("custom high=400"),
                           QStringLiteral("output 1=4 to 20 mA source") };

// The table's rows read under a header: "line:file" of each row read, the
// problems as "line:column: message".
QStringList planned(const QByteArray &table)
{
    CsvReader reader(table);
    CsvError error;
    if (!reader.start(&error))
        return { QStringLiteral("table: ") + error.message };
    PlantPlanner planner(HeaderFolding().read(reader.header()));
    QStringList out;
    CsvRecord record;
    while (reader.next(&record, &error)) {
        PlannedRow row;
        std::vector<PlantProblem> problems;
        PlantProblem clash;
        if (planner.readRow(record, &row, &problems) && planner.claimName(row, &clash))
            out << QStringLiteral("%1:%2 %3").arg(row.line).arg(row.fileName, planner.plantColumnsLine(record));
        else if (problems.empty())
            problems.push_back(clash);
        for (const PlantProblem &p : problems)
            out << QStringLiteral("%1:%2: %3").arg(p.line).arg(p.column, p.message);
    }
    return out;
}

} // namespace

class TestPlantPlanner : public QObject {
    Q_OBJECT

private slots:
    void rows_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QStringList>("plan");
        const QByteArray header = "file,tag,loop,input type,input range,output 1,location\n";
        const QByteArray good = ",Voltage,0 to 10 V,4 to 20 mA source,";
        // clang-format off
        QTest::newRow("name, folder dropped, ending added; plant columns") << header + "plant/TT-104,TT-104," + good + "Pump house 2\n"
            << QStringList{ QString::fromUtf8("2:TT-104.hvx tag: TT-104 \u00B7 location: Pump house 2") };
        QTest::newRow("ending in capitals kept, no plant columns") << header + "a\\b\\TT-1.HVX,," + good + "\n" << QStringList{ "2:TT-1.HVX " };
        QTest::newRow("same name twice") << header + "TT-1,," + good + "\nx/TT-1.hvx,," + good + "\n"
            << QStringList{ "2:TT-1.hvx ", "3:file: \"TT-1.hvx\" is also the file of line 2" };
        QTest::newRow("names apart only in letter case, A to Z") << header + "AZ-104.HVX,," + good + "\naz-104.hvx,," + good + "\n"
            << QStringList{ "2:AZ-104.HVX ", "3:file: \"az-104.hvx\" and \"AZ-104.HVX\" of line 2 differ only in letter case; on a Windows share or a FAT stick they are one file" };
        QTest::newRow("names apart in the case of a letter past ASCII") << header + "Pumpe-\xC3\x84.hvx,," + good + "\nPUMPE-\xC3\xA4.hvx,," + good + "\nPumpe-\xC3\xA5.hvx,," + good + "\n"
            << QStringList{ QString::fromUtf8("2:Pumpe-\u00C4.hvx "), QString::fromUtf8("3:file: \"PUMPE-\u00E4.hvx\" and \"Pumpe-\u00C4.hvx\" of line 2 differ only in letter case; on a Windows share or a FAT stick they are one file"), QString::fromUtf8("4:Pumpe-\u00E5.hvx ") };
        QTest::newRow("no name") << header + " ,," + good + "\n.., ," + good + "\n"
            << QStringList{ "2:file: is empty; each row needs the name of its setup file", "3:file: \"..\" names no file" };
        QTest::newRow("a control character in the name") << header + "\"TT\x01\",," + good + "\n"
            << QStringList{ "2:file: \"TT\x01\" holds U+0001, a control, line-break, invisible or text-direction character" };
        QTest::newRow("bad value and a setup not evaluated") << header + "TT-1,,,Voltage,0 to 11 V,4 to 20 mA source,\nTT-2,,,Voltage,0 to 10 V,,\n"
            << QStringList{ "2:input range: \"0 to 11 V\" is not one of \"0 to 1 V\", ..., \"0 to 7.5 V\", \"0 to 8 V\", \"0 to 10 V\", \"0 to 15 V\", \"0 to 20 V\", ..., \"Custom\" (28 items)", "3:: the window does not evaluate this setup: Please select output 1 range" };
        // clang-format on
    }

    void rows()
    {
        QFETCH(QByteArray, table);
        QFETCH(QStringList, plan);
        QCOMPARE(planned(table), plan);
    }

    void compare_data()
    {
        QTest::addColumn<std::optional<QByteArray>>("existing");
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("differences");
        QTest::addColumn<QString>("switches");
        const QByteArray old = setupFileBytes(setupOf(customK));
        const std::optional<QByteArray> none;
        QStringList higher = customK;
        higher[3] = QStringLiteral("custom high=450");
        QStringList twoApart = higher;
        twoApart << QStringLiteral("burnout=Low Burnout");
        // clang-format off
        QStringList sameRange = customK;
        sameRange[3] = QStringLiteral("custom high=500");
        QStringList otherWay = customK;
        otherWay[2] = QStringLiteral("custom low=0,0");
        QTest::newRow("no file there") << none << customK << int(PlannedFile::Kind::New) << QStringList() << QString();
        QTest::newRow("the same bytes") << std::optional(old) << customK << int(PlannedFile::Kind::Unchanged) << QStringList() << QString();
        QTest::newRow("one column apart") << std::optional(old) << higher << int(PlannedFile::Kind::Changed) << QStringList{ "custom high 400 -> 450" }
            << "switches S1.2 off -> on";
        QTest::newRow("two columns apart, in table order") << std::optional(old) << twoApart << int(PlannedFile::Kind::Changed)
            << QStringList{ "custom high 400 -> 450", "burnout High Burnout -> Low Burnout" } << "switches S1.2 off -> on, S3.7 off -> on";
        // A number written another way is the same setup: the file stays.
        QTest::newRow("a comma for a point") << std::optional(setupFileBytes(setupOf(otherWay))) << customK << int(PlannedFile::Kind::Unchanged) << QStringList() << QString();
        QTest::newRow("another range, the same switches") << std::optional(setupFileBytes(setupOf(higher))) << sameRange
            << int(PlannedFile::Kind::Changed) << QStringList{ "custom high 450 -> 500" } << "switches unchanged";
        QTest::newRow("an empty file") << std::optional(QByteArray()) << customK << int(PlannedFile::Kind::Changed) << QStringList{ "was not a setup file" } << QString();
        QTest::newRow("a file cut short") << std::optional(old.left(100)) << customK << int(PlannedFile::Kind::Changed) << QStringList{ "was not a setup file" } << QString();
        // clang-format on
    }

    void compare()
    {
        QFETCH(std::optional<QByteArray>, existing);
        QFETCH(QStringList, setup);
        QFETCH(int, kind);
        QFETCH(QStringList, differences);
        QFETCH(QString, switches);
        const PlannedFile planned = PlantPlanner::compare(setupOf(setup), existing);
        QCOMPARE(int(planned.kind), kind);
        QCOMPARE(planned.differences, differences);
        QCOMPARE(planned.switches, switches);
        QCOMPARE(planned.bytes, setupFileBytes(setupOf(setup)));
        const QString listing = planned.listing(QStringLiteral("TT-104.hvx"));
        QCOMPARE(listing,
                 kind == int(PlannedFile::Kind::New) ? QStringLiteral("new: TT-104.hvx")
                     : kind == int(PlannedFile::Kind::Unchanged)
                     ? QString()
                     : QStringLiteral("changed: TT-104.hvx (%1%2)")
                           .arg(differences.join(QStringLiteral(", ")),
                                switches.isEmpty() ? QString() : "; " + switches));
    }
};

QTEST_GUILESS_MAIN(TestPlantPlanner)
#include "tst_plant_planner.moc"
