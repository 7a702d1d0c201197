// halvex-eval with a plant's table as a plant engineer uses it: --make
// --update and --dry-run, --pdf --table, --csv --table, and the example
// plant from an empty folder.

#include "../support/testfiles.h"
#include "csvtable.h"
#include "evalrun.h"
#include "evaluation.h"
#include "planttable.h"
#include "setupfile.h"
#include "setuprow.h"
#include "tablerows.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace hvx;
using testsupport::readFile;
using testsupport::writeFile;
using namespace evaltest;
using namespace tabletest;

class TestCliPlant : public QObject {
    Q_OBJECT

private slots:
    // --update and --dry-run over a folder that holds TT-1 as the table gives
    // it, TT-2 with another range and no TT-3.
    void updates_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("listing");
        QTest::addColumn<QString>("message"); // on standard error
        QTest::addColumn<QStringList>("written");
        const QByteArray changed = "changed: TT-2.hvx (input range 0 to 7.5 V -> 0 to 10 V; switches S1.1 on -> off, "
                                   "S1.2 off -> on, S1.4 off -> on)\nnew: TT-3.hvx\n";
        const QByteArray listed = changed + "unchanged: 1\n";
        // clang-format off
        QTest::newRow("update") << QStringList{ "--update" } << 0 << listed << "2 setup files written into out" << QStringList{ "TT-2", "TT-3" };
        QTest::newRow("update, dry run") << QStringList{ "--update", "--dry-run" } << 0 << listed << "nothing written: a dry run" << QStringList();
        // What --force would write: TT-1 too, as it is.
        QTest::newRow("force, dry run") << QStringList{ "--dry-run", "--force" } << 0 << "replaced: TT-1.hvx\n" + changed + "unchanged: 0\n" << "nothing written: a dry run" << QStringList();
        QTest::newRow("force") << QStringList{ "--force" } << 0 << QByteArray() << "3 setup files written into out" << QStringList{ "TT-1", "TT-2", "TT-3" };
        QTest::newRow("dry run alone") << QStringList{ "--dry-run" } << 64 << QByteArray() << "halvex-eval: --dry-run is for --update or --force\n" << QStringList();
        QTest::newRow("update and force") << QStringList{ "--update", "--force" } << 64 << QByteArray() << "halvex-eval: --update and --force exclude each other\n" << QStringList();
        // clang-format on
    }

    void updates()
    {
        QFETCH(QStringList, options);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, listing);
        QFETCH(QString, message);
        QFETCH(QStringList, written);
        const QString dir = rowDir(m_dir);
        QStringList second = plainOutput, third = plainOutput;
        second.first() = "file=TT-2";
        third.first() = "file=TT-3";
        writeFile(dir + "/plant.csv", tableOf({ plainOutput, second, third }));
        Setup other = plainSetup();
        other.cbIRVoltage = 4;
        QVERIFY(saveSetupFile(dir + "/out/TT-1.hvx", plainSetup()) && saveSetupFile(dir + "/out/TT-2.hvx", other));
        const std::pair<QString, QByteArray> before[] = { { "TT-1", identity(dir + "/out/TT-1.hvx") },
                                                          { "TT-2", identity(dir + "/out/TT-2.hvx") } };
        const Run run = runEvalIn(dir, QStringList{ "--make", "plant.csv", "--into", "out" } + options);
        QVERIFY2(run.exitCode == exitCode, qPrintable(run.err));
        QCOMPARE(run.out, listing);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        for (const auto &[name, was] : before)
            QVERIFY2((identity(dir + "/out/" + name + ".hvx") == was) != written.contains(name), qPrintable(name));
        QCOMPARE(QFileInfo::exists(dir + "/out/TT-3.hvx"), written.contains("TT-3"));
        if (written.contains("TT-2"))
            QCOMPARE(readFile(dir + "/out/TT-2.hvx"), setupFileBytes(plainSetup()));
    }

    // A table whose rows would take more memory than the table itself is
    // read again as its files are listed: every row, in table order.
    void largeTableReadAgain()
    {
        constexpr int Rows = 80000;
        const QString dir = rowDir(m_dir);
        QList<QStringList> rows;
        QByteArray listing;
        for (int i = 0; i < Rows; ++i) {
            QStringList row = plainOutput;
            row.first() = QStringLiteral("file=u%1").arg(i);
            rows << row;
            listing += "new: u" + QByteArray::number(i) + ".hvx\n";
        }
        writeFile(dir + "/plant.csv", tableOf(rows));
        const Run run = runEvalIn(dir, { "--make", "plant.csv", "--into", "out", "--update", "--dry-run" });
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(run.out, listing + "unchanged: 0\n");
    }

    void sheetsFromTable_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");    // on standard error
        QTest::addColumn<QStringList>("sheets"); // each sheet's file and plant columns, in order
        const QStringList pdf{ "--pdf", "sheets.pdf", "--table", "plant.csv" };
        // clang-format off
        QTest::newRow("a sheet a row, in table order") << pdf << 0 << "halvex-eval: 2 sheets printed into sheets.pdf\n"
            << QStringList{ QString::fromUtf8("TT-2.hvx|tag: TT-2 \u00B7 location: Pump house 2"), "TT-1.hvx|tag: TT-1" };
        QTest::newRow("a row refused: nothing printed") << QStringList{ "--pdf", "sheets.pdf", "--table", "bad.csv" } << 1
            << "halvex-eval: nothing printed: 1 problem in bad.csv\n" << QStringList();
        QTest::newRow("onto the table") << QStringList{ "--pdf", "plant.csv", "--table", "plant.csv" } << 64
            << "halvex-eval: plant.csv is the table; --pdf would overwrite it" << QStringList();
        QTest::newRow("without --pdf") << QStringList{ "--table", "plant.csv" } << 64 << "halvex-eval: --table is for --pdf and --csv" << QStringList();
        QTest::newRow("with files too") << pdf + QStringList{ "TT-1.hvx" } << 64 << "halvex-eval: --pdf --table takes no FILE" << QStringList();
        QTest::newRow("into a folder not there") << QStringList{ "--pdf", "none/sheets.pdf", "--table", "plant.csv" } << 2
            << "halvex-eval: none/sheets.pdf could not be written: No such file or directory" << QStringList();
        QTest::newRow("written back: no table") << QStringList{ "--csv", "--table", "none.csv" } << 2
            << "halvex-eval: none.csv could not be read: No such file or directory" << QStringList();
        QTest::newRow("written back: a near miss") << QStringList{ "--csv", "--table", "near.csv" } << 1
            << "near.csv:1: column \"RTD wires\" is not a known column; did you mean \"RTD wiring\"?" << QStringList();
        // clang-format on
    }

    void sheetsFromTable()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(QStringList, sheets);
        const QString dir = rowDir(m_dir);
        QStringList second = plainOutput;
        second.first() = "file=plant/TT-2";
        writeFile(dir + "/plant.csv",
                  tableOf({ second + QStringList{ "tag=TT-2", "location=Pump house 2" },
                            plainOutput + QStringList{ "tag=TT-1" } }));
        writeFile(dir + "/bad.csv", tableOf({ plainOutput, { "file=TT-2", "input type=Volts" } }));
        writeFile(dir + "/near.csv", "file,RTD wires\r\nTT-1,2\r\n");
        const Run run = runEvalIn(dir, args);
        QVERIFY2(run.exitCode == exitCode, qPrintable(run.err));
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(QFileInfo::exists(dir + "/sheets.pdf"), !sheets.isEmpty());
        for (int page = 1; page <= sheets.size(); ++page) {
            QProcess text;
            text.start("pdftotext",
                       { "-f", QString::number(page), "-l", QString::number(page), "-enc", "UTF-8", dir + "/sheets.pdf",
                         "-" });
            QVERIFY(text.waitForFinished(60000) && text.exitCode() == 0);
            const QString shown = QString::fromUtf8(text.readAllStandardOutput());
            for (const QString &part : sheets.at(page - 1).split('|'))
                QVERIFY2(shown.contains(part), qPrintable(shown));
        }
    }

    // One exit status per cause, the same from every table command; only
    // --verify-table gives 2 for a header it cannot check, since its 1 says
    // "units differ".
    void tableStatuses_data()
    {
        QTest::addColumn<QStringList>("command"); // TABLE stands for the table
        QTest::addColumn<QByteArray>("table");    // empty: no such file
        QTest::addColumn<int>("status");
        const QByteArray near = "file,input type,RTD wires\r\nTT-1,Voltage,\r\n";
        const QByteArray wide = tableOf({ plainOutput }) + "TT-2,Voltage,0 to 10 V,4 to 20 mA source,\r\n";
        const QList<QStringList> commands{ { "--make", "TABLE" },
                                           { "--pdf", "sheets.pdf", "--table", "TABLE" },
                                           { "--csv", "--table", "TABLE" },
                                           { "--verify-table", "TABLE" } };
        for (const QStringList &command : commands) {
            const QString name = command.first() + ' ' + command.at(command.size() - 2);
            const bool verify = command.first() == "--verify-table";
            QTest::addRow("%s: no such table", qPrintable(name)) << command << QByteArray() << 2;
            QTest::addRow("%s: not UTF-8", qPrintable(name))
                << command << QByteArray("file,input type\n\xFF,x\n") << 64;
            QTest::addRow("%s: a near miss", qPrintable(name)) << command << near << (verify ? 2 : 1);
            if (command.first() == "--make" || command.at(1) == "sheets.pdf")
                QTest::addRow("%s: a row too wide, its extra cell empty", qPrintable(name)) << command << wide << 1;
        }
    }

    void tableStatuses()
    {
        QFETCH(QStringList, command);
        QFETCH(QByteArray, table);
        QFETCH(int, status);
        const QString dir = rowDir(m_dir);
        if (!table.isEmpty())
            writeFile(dir + "/plant.csv", table);
        const Run run = runEvalIn(dir, command.replaceInStrings("TABLE", "plant.csv"));
        QVERIFY2(run.exitCode == status, qPrintable(run.err));
        if (table.contains("TT-2"))
            QVERIFY2(run.err.contains(
                         "plant.csv:3: the row has 5 cells for 4 columns; a value holding \",\" must be quoted"),
                     qPrintable(run.err));
    }

    // --csv --table: the plant's own columns as they were, each setup column
    // from the file the row names; a row whose file is missing as it was.
    void tableWrittenBack()
    {
        const QString dir = rowDir(m_dir);
        QStringList second = plainOutput;
        second.first() = "file=TT-2";
        writeFile(dir + "/plant.csv",
                  tableOf({ plainOutput + QStringList{ "tag=TT-1", "loop=L 7" }, second + QStringList{ "tag=TT-2" } })
                      + "TT-1,Voltage,0 to 10 V,4 to 20 mA source,TT-1,L 7,north\r\n");
        QVERIFY(saveSetupFile(dir + "/out/TT-1.hvx", plainSetup(3)));
        const Run run = runEvalIn(dir, { "--csv", "--table", "plant.csv", "--into", "out" });
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("plant.csv:3: out/TT-2.hvx could not be opened: No such file or directory"),
                 qPrintable(run.err));
        QVERIFY2(run.err.contains("plant.csv:4: the row has 7 cells for 6 columns"), qPrintable(run.err));
        // The columns it lacks follow its own: the setup's, its switches and
        // those for the switches read off the units.
        CsvTable table;
        CsvError error;
        QVERIFY(readCsvTable(run.out, &table, &error));
        QCOMPARE(table.header.mid(0, 6),
                 QStringList({ "file", "input type", "input range", "output 1", "tag", "loop" }));
        QCOMPARE(table.header.size(), 6 + setupColumns().size() - 3 + 8);
        QCOMPARE(table.header.mid(table.header.size() - 8), bankColumns() + readBankColumns());
        const QStringList first = table.records.at(0).cells, kept = table.records.at(1).cells;
        QCOMPARE(first.mid(0, 6),
                 QStringList({ "TT-1", "Voltage", "0 to 10 V",
                               setupRowValues(plainSetup(3)).at(setupColumns().indexOf("output 1")), "TT-1", "L 7" }));
        QCOMPARE(first.at(table.column("burnout")),
                 setupRowValues(plainSetup(3)).at(setupColumns().indexOf("burnout")));
        QCOMPARE(first.at(table.column("S3")), "1010 1000 0011");
        QCOMPARE(first.at(table.column("read S1")), "");
        QCOMPARE(kept, QStringList({ "TT-2", "Voltage", "0 to 10 V", "4 to 20 mA source", "TT-2", "" }));
    }

    // The example plant from an empty folder, as the README walks through
    // it: made, printed, written back, updated after one change.
    void examplePlant()
    {
        const QString dir = rowDir(m_dir);
        QByteArray table = readFile(EXAMPLES_DIR "/plant.csv");
        writeFile(dir + "/plant.csv", table);
        const Run made = runEvalIn(dir, { "--make", "plant.csv", "--into", "plant" });
        QVERIFY2(made.exitCode == 0 && made.err.endsWith("24 setup files written into plant\n"), qPrintable(made.err));
        const Run printed = runEvalIn(dir, { "--pdf", "plant.pdf", "--table", "plant.csv" });
        QVERIFY2(printed.exitCode == 0 && printed.err.endsWith("24 sheets printed into plant.pdf\n"),
                 qPrintable(printed.err));
        const Run back = runEvalIn(dir, { "--csv", "--table", "plant.csv", "--into", "plant" });
        QCOMPARE(back.exitCode, 0);
        writeFile(dir + "/back.csv", back.out);
        const Run again = runEvalIn(dir, { "--make", "back.csv", "--into", "plant", "--update" });
        QCOMPARE(again.out, QByteArray("unchanged: 24\n"));
        QVERIFY(table.contains("\nTT-111,TT-111,Boiler house,K type thermocouple,Custom,0,450,"));
        table.replace("\nTT-111,TT-111,Boiler house,K type thermocouple,Custom,0,450,",
                      "\nTT-111,TT-111,Boiler house,K type thermocouple,Custom,0,500,");
        writeFile(dir + "/plant.csv", table);
        const Run updated = runEvalIn(dir, { "--make", "plant.csv", "--into", "plant", "--update" });
        QCOMPARE(updated.out,
                 QByteArray("changed: TT-111.hvx (custom high 450 -> 500; switches unchanged)\nunchanged: 23\n"));

        // The table as the plant window saves it, one check recorded: every
        // table command takes it as the same table without its checks.
        PlantTable window;
        QString error;
        QVERIFY2(window.read(dir + "/plant.csv", &error), qPrintable(error));
        EvaluationValues set;
        Evaluate(window.row(0).setup, set);
        window.record(0, set.map, compareUnitWithSetup(set.map, window.row(0).setup), QDateTime::currentDateTime());
        QVERIFY2(window.save(&error), qPrintable(error));
        const QByteArray saved = readFile(dir + "/plant.csv");
        QVERIFY(saved.contains(",read S1,read S2,read S3,read S4,check,checked"));
        QCOMPARE(runEvalIn(dir, { "--make", "plant.csv", "--into", "plant", "--update" }).out,
                 QByteArray("unchanged: 24\n"));
        QCOMPARE(runEvalIn(dir, { "--pdf", "checked.pdf", "--table", "plant.csv" }).exitCode, 0);
        const Run register_ = runEvalIn(dir, { "--csv", "--table", "plant.csv", "--into", "plant" });
        QVERIFY2(register_.exitCode == 0 && register_.out.contains(",match,"), qPrintable(register_.err));
        const Run verified = runEvalIn(dir, { "--verify-table", "plant.csv", "--into", "plant" });
        QCOMPARE(verified.exitCode, 2);
        QVERIFY2(verified.err.endsWith("24 units: 1 matches, 0 differ, 23 not read, 0 could not be checked\n"),
                 qPrintable(verified.err));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCliPlant)
#include "tst_cli_plant.moc"
