// halvex-eval's table commands run as a user would: --make from a table,
// --csv of the files made, --verify-table of the units.

#include "../support/testfiles.h"
#include "csvtable.h"
#include "customrange.h"
#include "evalrun.h"
#include "setupfile.h"
#include "setuprow.h"
#include "tablerows.h"

#include "../support/filesizelimit.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace hvx;
using testsupport::readFile;
using testsupport::writeFile;
using namespace evaltest;
using namespace tabletest;

class TestCliTable : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QStringList>("row");
        const QStringList second{ "outputs=Dual output", "output 2=0 to 10 V source", "burnout 2=Low Burnout",
                                  "inversion 2=Inversion on", "square root 2=Square root on" };
        // clang-format off
        QTest::newRow("voltage, custom") << QStringList{ "input type=Voltage", "input range=Custom", "custom low=0.5", "custom high=7.5", "output 1=0 to 20 mA source", "conversion speed=Fast" };
        QTest::newRow("current sink") << QStringList{ "input type=Current sink", "input range=-10 to 40 mA", "output 1=4 to 20 mA sink", "burnout=Low Burnout 2mA" };
        QTest::newRow("current tx") << QStringList{ "input type=Current using Tx Supply", "input range=4 to 20 mA", "output 1=1 to 5 V source", "inversion=Inversion on" };
        QTest::newRow("millivolt") << QStringList{ "input type=milliVolt", "input range=-125 to 1000 mV", "output 1=2 to 10 V source", "square root=Square root on" };
        QTest::newRow("pot 2 wire") << QStringList{ "input type=Potentiometer 2 wire", "input range=0 to 625 ohm", "output 1=0 to 5 V source", "buttons=Buttons disabled" };
        QTest::newRow("pot 3 wire, trip relay") << QStringList{ "input type=Potentiometer 3 wire", "input range=0 to 1k to 100kohm", "output 1=4 to 20 mA source", "outputs=Dual output", "second output=Trip relay", "trip delay=2.5 seconds", "relay in burnout=Relay off", "trip LED=Green led", "trip relative to=Output 1 value" };
        QTest::newRow("K, frequency") << QStringList{ "input type=K type thermocouple", "input range=0 to 400°C", "output 1=4 to 20 mA source", "cold junction=CJC off", "outputs=Dual output", "second output=Frequency", "frequency range=0 to 1,000 Hz", "frequency burnout=0 Hz" };
        QTest::newRow("J, custom from a spreadsheet") << QStringList{ "input type=J type thermocouple", "input range=Custom", "custom low=0", "custom high=400.000", "output 1=0 to 10 V source" };
        QTest::newRow("R") << QStringList{ "input type=R type thermocouple", "input range=0 to 1400°C", "output 1=4 to 20 mA source", "linearisation=Linearisation off" };
        QTest::newRow("S, analog") << (QStringList{ "input type=S type thermocouple", "input range=0 to 1000°C", "output 1=4 to 20 mA source" } + second);
        QTest::newRow("N") << QStringList{ "input type=N type thermocouple", "input range=0 to 1000°C", "output 1=0 to 10 mA sink" };
        QTest::newRow("E") << QStringList{ "input type=E type thermocouple", "input range=0 to 150°C", "output 1=2 to 10 mA source" };
        QTest::newRow("B") << QStringList{ "input type=B type thermocouple", "input range=400 to 1800°C", "output 1=4 to 20 mA source" };
        QTest::newRow("T") << QStringList{ "input type=T type thermocouple", "input range=Custom", "custom low=-80", "custom high=100", "output 1=4 to 20 mA source" };
        QTest::newRow("T, listed") << QStringList{ "input type=T type thermocouple", "input range=0 to 50 °C", "output 1=4 to 20 mA source" };
        QTest::newRow("PT100, analog") << (QStringList{ "input type=RTD PT100", "input range=-200 to 800°C", "RTD wiring=4 wire", "output 1=4 to 20 mA source" } + second);
        QTest::newRow("PT1000") << QStringList{ "input type=RTD PT1000", "input range=0 to 100°C", "RTD wiring=3 wire", "output 1=0 to 20 mA sink" };
        // clang-format on
    }

    void roundTrip()
    {
        QFETCH(QStringList, row);
        const QString dir = rowDir(m_dir);
        writeFile(dir + "/plant.csv", tableOf({ QStringList{ "file=unit" } + row }));
        const Run made = runEvalIn(dir, { "--make", "plant.csv", "--into", "made" });
        QVERIFY2(made.exitCode == 0, qPrintable(made.err));
        // The setup columns the row leaves out are named first.
        QVERIFY2(made.err.endsWith("\nhalvex-eval: 1 setup file written into made\n"), qPrintable(made.err));

        // Every value given reads back, with every other column as New leaves it.
        const Run exported = runEvalIn(dir, { "--csv", "made/unit.hvx" });
        QCOMPARE(exported.exitCode, 0);
        QVERIFY(exported.out.startsWith(csvByteOrderMark()));
        CsvTable table;
        CsvError error;
        QVERIFY(readCsvTable(exported.out, &table, &error));
        QCOMPARE(table.header, allTableColumns());
        QCOMPARE(table.records.size(), 1);
        const QStringList fresh = setupRowValues(Setup());
        for (int c = 0; c < setupColumns().size(); ++c) {
            const QString column = setupColumns().at(c);
            QString given = fresh.at(c);
            for (const QString &cell : row)
                if (cell.section('=', 0, 0) == column)
                    given = cell.section('=', 1);
            const QString got = CsvTable::cell(table.records.first(), table.column(column));
            // A burnout given as the window captions it for the range reads back
            // as New captions it ("Low Burnout 2mA", "Low Burnout").
            // A custom text comes back as the same number (400.00 as 400), any
            // other text as it was.
            const std::optional<float> number = customTextValue(got);
            const bool sameCustom = number ? number == customTextValue(given) : got == given.trimmed();
            const bool same = column.startsWith("custom") ? sameCustom
                : column.startsWith("burnout")            ? given.startsWith(got, Qt::CaseInsensitive)
                                                          : got.compare(given, Qt::CaseInsensitive) == 0;
            QVERIFY2(same, qPrintable(column + ": " + got + " for " + given));
        }
        QCOMPARE(CsvTable::cell(table.records.first(), table.column("status")), QStringLiteral("ok"));

        // The exported table makes the same file again.
        writeFile(dir + "/exported.csv", exported.out);
        QVERIFY(runEvalIn(dir, { "--make", "exported.csv", "--into", "again" }).exitCode == 0);
        QCOMPARE(readFile(dir + "/again/unit.hvx"), readFile(dir + "/made/unit.hvx"));
    }

    void refusedTables_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("message");
        const QByteArray ok = tableOf({ plainOutput });
        // clang-format off
        QTest::newRow("not an item") << tableOf({ plainOutput, { "file=TT-2", "input type=K type thermocouple", "input range=0 to 450°C", "output 1=4 to 20 mA source" } })
            << "plant.csv:3: column \"input range\": \"0 to 450°C\" is not one of \"0 to 100°C\", ";
        QTest::newRow("not evaluated") << tableOf({ plainOutput, { "file=TT-2", "input type=Voltage", "input range=Custom", "custom low=5", "custom high=5", "output 1=4 to 20 mA source" } })
            << "plant.csv:3: the window does not evaluate this setup: Low must be less than high";
        QTest::newRow("empty file") << tableOf({ { "file=", "input type=Voltage", "input range=0 to 10 V", "output 1=4 to 20 mA source" }, plainOutput })
            << "plant.csv:2: column \"file\": is empty";
        QTest::newRow("same name twice, a row between") << tableOf({ plainOutput, { "file=TT-2", "input type=Voltage", "input range=0 to 5 V", "output 1=4 to 20 mA source" }, { "file=elsewhere/TT-1.hvx", "input type=Voltage", "input range=0 to 5 V", "output 1=4 to 20 mA source" } })
            << "plant.csv:4: column \"file\": \"TT-1.hvx\" is also the file of line 2";
        QTest::newRow("same name twice, ending in capitals") << tableOf({ { "file=TT-1.HVX", "input type=Voltage", "input range=0 to 10 V", "output 1=4 to 20 mA source" }, { "file=b/TT-1.HVX", "input type=Voltage", "input range=0 to 5 V", "output 1=4 to 20 mA source" } })
            << "plant.csv:3: column \"file\": \"TT-1.HVX\" is also the file of line 2";
        QTest::newRow("header near a column") << QByteArray("file,Input Type,input range,Output1,RTD wires\r\nTT-1,Voltage,0 to 10 V,4 to 20 mA source,3 wire\r\n")
            << "plant.csv:1: column \"RTD wires\" is not a known column; did you mean \"RTD wiring\"?\n";
        QTest::newRow("thousands or decimal") << tableOf({ { "file=TT-1", "input type=RTD PT100", "input range=Custom", "custom low=0", "custom high=1,200", "output 1=4 to 20 mA source" } })
            << "plant.csv:2: column \"custom high\": \"1,200\" could be 1200 or 1.2; write 1200 or 1.2\nhalvex-eval: nothing written: 1 problem in plant.csv\n";
        QTest::newRow("names apart only in letter case") << tableOf({ { "file=TT-104.HVX", "input type=Voltage", "input range=0 to 10 V", "output 1=4 to 20 mA source" }, { "file=tt-104.hvx", "input type=Voltage", "input range=0 to 5 V", "output 1=4 to 20 mA source" } })
            << "plant.csv:3: column \"file\": \"tt-104.hvx\" and \"TT-104.HVX\" of line 2 differ only in letter case; on a Windows share or a FAT stick they are one file\n";
        QTest::newRow("column twice") << ok.left(ok.indexOf('\r')) + ",File\r\nTT-1,Voltage,0 to 10 V,4 to 20 mA source,TT-2\r\n"
            << "plant.csv:1: column \"File\" appears more than once";
        QTest::newRow("unquoted separator") << ok + "TT-2,Voltage,0 to 10,5 V,4 to 20 mA source\r\n"
            << "plant.csv:3: the row has 5 cells for 4 columns; a value holding \",\" must be quoted\nhalvex-eval: nothing written: 1 problem in plant.csv";
        QTest::newRow("a cell too many for one column") << QByteArray("file\r\nTT-1,x\r\n")
            << "plant.csv:2: the row has 2 cells for 1 column; a value";
        QTest::newRow("a row shorter than its header") << ok + "TT-2,Voltage,0 to 10 V\r\n"
            << "plant.csv:3: the window does not evaluate this setup: Please select output 1 range";
        QTest::newRow("no file column") << QByteArray("input type\nVoltage\n") << "plant.csv:1: the header has no column \"file\"";
        QTest::newRow("broken quote") << ok + "\"TT-2,Voltage\n" << "plant.csv:3:1: a quoted cell is not closed";
        QTest::newRow("control character in a name") << tableOf({ { "file=TT\x01" "1", "input type=Voltage", "input range=0 to 10 V", "output 1=4 to 20 mA source" } })
            << "plant.csv:2: column \"file\": \"TT\\x011\" holds U+0001, a control, line-break, invisible or text-direction character";
        QTest::newRow("name too long") << tableOf({ { "file=" + QString(251, 'x'), "input type=Voltage", "input range=0 to 10 V", "output 1=4 to 20 mA source" },
                                                     { "file=" + QString(252, 'x'), "input type=Voltage", "input range=0 to 10 V", "output 1=4 to 20 mA source" } })
            << "plant.csv:3: column \"file\": \"" + QString(57, 'x') + "...\" is longer than a file name may be\nhalvex-eval: nothing written: 1 problem";
        QTest::newRow("name too long, cut before a character beyond the BMP") << tableOf({ { "file=" + QString(56, 'x') + QString::fromUcs4(U"\U0001F600") + QString(200, 'y'), "input type=Voltage", "input range=0 to 10 V", "output 1=4 to 20 mA source" } })
            << "plant.csv:2: column \"file\": \"" + QString(56, 'x') + "...\" is longer than a file name may be";
        for (const auto &[what, character] : { std::pair{ "direction override", u'\u202E' }, { "direction mark", u'\u061C' },
                                                { "C1 control", u'\u0085' }, { "line separator", u'\u2028' },
                                                { "zero-width space", u'\u200B' }, { "soft hyphen", u'\u00AD' } })
            QTest::newRow(qPrintable(QStringLiteral("%1 in a name").arg(QLatin1String(what))))
                << tableOf({ { QStringLiteral("file=a") + QChar(character) + "gpj", "input type=Voltage", "input range=0 to 10 V", "output 1=4 to 20 mA source" } })
                << QStringLiteral("holds U+%1, a control, line-break, invisible or text-direction character").arg(QString::number(character, 16).toUpper().rightJustified(4, '0'));
        QTest::newRow("names a folder") << tableOf({ { "file=units/..", "input type=Voltage", "input range=0 to 10 V", "output 1=4 to 20 mA source" } })
            << "plant.csv:2: column \"file\": \"units/..\" names no file";
        // Names that look alike are one name.
        QTest::newRow("one name composed and decomposed") << tableOf({ { "file=caf\u00E9", "input type=Voltage", "input range=0 to 10 V", "output 1=4 to 20 mA source" }, { "file=cafe\u0301", "input type=Voltage", "input range=0 to 10 V", "output 1=4 to 20 mA source" } })
            << "plant.csv:3: column \"file\": \"cafe\u0301.hvx\" and \"caf\u00E9.hvx\" of line 2 are one name, its letters written in two ways";
        QTest::newRow("plus, thousands or decimal") << tableOf({ { "file=TT-1", "input type=RTD PT100", "input range=Custom", "custom low=0", "custom high=+1,200", "output 1=4 to 20 mA source" } })
            << "\"+1,200\" could be 1200 or 1.2";
        // A column named otherwise is known by what it holds.
        QTest::newRow("a setup column abbreviated") << tableOf({ plainOutput + QStringList{ "Sqrt=Square root on" }, plainOutput + QStringList{ "Sqrt=" } })
            << "plant.csv:1: column \"Sqrt\" holds the values of \"square root\"; name it \"square root\", or it is the plant's own";
        QTest::newRow("only blank rows") << QByteArray("file,input type\r\n , \r\n") << "halvex-eval: nothing written: plant.csv has no rows";
        QTest::newRow("exists") << tableOf({ { "file=existing", "input type=Voltage", "input range=0 to 10 V", "output 1=4 to 20 mA source" } })
            << "plant.csv:2: out/existing.hvx exists; --force replaces it";
        // clang-format on
    }

    void refusedTables()
    {
        QFETCH(QByteArray, table);
        QFETCH(QString, message);
        const QString dir = rowDir(m_dir);
        const QByteArray existing = setupFileBytes(Setup());
        writeFile(dir + "/out/existing.hvx", existing);
        writeFile(dir + "/plant.csv", table);
        const Run run = runEvalIn(dir, { "--make", "plant.csv", "--into", "out" });
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        // Nothing written, nothing replaced.
        QCOMPARE(QDir(dir + "/out").entryList(QDir::Files), QStringList{ "existing.hvx" });
        QCOMPARE(readFile(dir + "/out/existing.hvx"), existing);
    }

    // A link in the folder is never written through, with or without --force.
    void linksRefused_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("force");
        for (const bool force : { false, true }) {
            const char *with = force ? ", --force" : "";
            QTest::newRow(qPrintable(QStringLiteral("to a file outside%1").arg(with))) << "../outside/victim" << force;
            QTest::newRow(qPrintable(QStringLiteral("dangling%1").arg(with))) << "../outside/none" << force;
            QTest::newRow(qPrintable(QStringLiteral("to a folder%1").arg(with))) << "../outside" << force;
        }
    }

    void linksRefused()
    {
        QFETCH(QString, target);
        QFETCH(bool, force);
        const QString dir = rowDir(m_dir);
        QVERIFY(QDir().mkpath(dir + "/outside"));
        writeFile(dir + "/outside/victim", "old");
        QStringList second = plainOutput;
        second.first() = "file=TT-2";
        writeFile(dir + "/plant.csv", tableOf({ second, plainOutput }));
        QVERIFY(QFile::link(target, dir + "/out/TT-1.hvx"));
        const Run run = runEvalIn(dir,
                                  QStringList{ "--make", "plant.csv", "--into", "out" }
                                      + (force ? QStringList{ "--force" } : QStringList()));
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("plant.csv:3: out/TT-1.hvx could not be written: it is a link, and only plain "
                                  "files are written into the folder\nhalvex-eval: nothing written\n"),
                 qPrintable(run.err));
        QCOMPARE(readFile(dir + "/outside/victim"), QByteArray("old"));
        QCOMPARE(QDir(dir + "/outside").entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{ "victim" });
        QCOMPARE(QDir(dir + "/out").entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
                 QStringList{ "TT-1.hvx" });
        QCOMPARE(QFileInfo(dir + "/out/TT-1.hvx").symLinkTarget(),
                 QFileInfo(dir + "/out/" + target).absoluteFilePath());
    }

    // A second run into a folder that a run writes into is refused.
    void anotherRunWritesThere()
    {
        const QString dir = rowDir(m_dir);
        writeFile(dir + "/plant.csv", tableOf({ plainOutput }));
        const int fd = ::open(QFile::encodeName(dir + "/out").constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        QVERIFY(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0);
        const Run run = runEvalIn(dir, { "--make", "plant.csv", "--into", "out" });
        ::close(fd);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.endsWith(
            "\nhalvex-eval: the folder out is locked: another run is writing into it; nothing written\n"));
        QCOMPARE(QDir(dir + "/out").entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
        QCOMPARE(runEvalIn(dir, { "--make", "plant.csv", "--into", "out" }).exitCode, 0);
    }

    // Problems are told as they are found, the first hundred of them.
    void problemsBounded_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("count"); // the line that counts the rest, if any
        QTest::newRow("250 problems") << 250 << "halvex-eval: 150 more problems not shown";
        QTest::newRow("101 problems") << 101 << "halvex-eval: 1 more problem not shown";
        QTest::newRow("100 problems") << 100 << QString();
    }
    void problemsBounded()
    {
        QFETCH(int, rows);
        QFETCH(QString, count);
        const QString dir = rowDir(m_dir);
        QByteArray table = "file,input type\n" + QByteArray("a,Volts\n").repeated(rows);
        writeFile(dir + "/plant.csv", table);
        const Run run = runEvalIn(dir, { "--make", "plant.csv", "--into", "out" });
        QCOMPARE(run.exitCode, 1);
        QStringList lines = run.err.split('\n', Qt::SkipEmptyParts);
        // The note of the setup columns the table lacks comes first.
        lines.removeFirst();
        QCOMPARE(lines.size(), 101 + (count.isEmpty() ? 0 : 1));
        QVERIFY(lines.at(99).startsWith("plant.csv:101: column \"input type\": \"Volts\" is not one of"));
        if (!count.isEmpty())
            QCOMPARE(lines.at(100), count);
        QCOMPARE(lines.last(), QStringLiteral("halvex-eval: nothing written: %1 problems in plant.csv").arg(rows));
    }

    // As a spreadsheet of another locale writes it: byte-order mark, semicolons,
    // CRLF, headers as people type them, a column of its own, any order, a
    // blank row. The plant's column, the setup columns left out and a value
    // the setup does not use are named.
    void spreadsheetForm()
    {
        const QString dir = rowDir(m_dir);
        writeFile(dir + "/plant.csv",
                  csvByteOrderMark()
                      + "tag;File;Input  Range;Output1;input_type;custom high\r\n"
                        "TT 1;plant/a;0 to 400\xC2\xB0"
                        "C;4 to 20 mA source;K type thermocouple;450\r\n;;;;;\r\n");
        const Run run = runEvalIn(dir, { "--make", "plant.csv", "--into", "out" });
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.startsWith("halvex-eval: kept as the plant's own columns: tag\nhalvex-eval: not in the "
                                    "table, so every row takes: custom low (none), "
                                    "linearisation \"Linearisation on\""),
                 qPrintable(run.err));
        QVERIFY2(run.err.contains("halvex-eval: custom high is not used in 1 row whose range is not Custom (line 2)\n"),
                 qPrintable(run.err));
        Setup expected;
        expected.cbInputType = TcK;
        expected.cbIRTCKJ = 8;
        expected.cbOutputRange = 1;
        expected.eCustomHigh = QStringLiteral("450"); // kept, as the window keeps it
        QCOMPARE(readFile(dir + "/out/a.hvx"), setupFileBytes(expected));
    }

    void force()
    {
        const QString dir = rowDir(m_dir);
        // Without --force the file is kept: refusedTables.
        writeFile(dir + "/plant.csv", tableOf({ plainOutput }));
        writeFile(dir + "/out/TT-1.hvx", QByteArray(300, 'x'));
        QCOMPARE(runEvalIn(dir, { "--make", "plant.csv", "--into", "out", "--force" }).exitCode, 0);
        QCOMPARE(readFile(dir + "/out/TT-1.hvx").size(), SetupFileSize);
        QCOMPARE(QDir(dir + "/out").entryList(QDir::Files | QDir::Hidden), QStringList{ "TT-1.hvx" });
    }

    void notWritten_data()
    {
        QTest::addColumn<QString>("into");
        QTest::addColumn<int>("fileSizeLimit"); // 0: none
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("into a file") << "plant.csv" << 0 << "halvex-eval: the folder plant.csv could not be opened: Not a directory; nothing written\n";
        QTest::newRow("folder under a file") << "plant.csv/out" << 0 << "halvex-eval: the folder plant.csv/out could not be made: Not a directory; nothing written\n";
        QTest::newRow("no room") << "out" << 100 << "halvex-eval: out/TT-1.hvx could not be written: File too large; nothing written\n";
        // clang-format on
    }

    void notWritten()
    {
        QFETCH(QString, into);
        QFETCH(int, fileSizeLimit);
        QFETCH(QString, message);
        const QString dir = rowDir(m_dir);
        QStringList second = plainOutput;
        second.first() = "file=TT-2";
        writeFile(dir + "/plant.csv", tableOf({ plainOutput, second }));
        std::optional<testsupport::FileSizeLimit> limit;
        if (fileSizeLimit > 0)
            QVERIFY(limit.emplace(rlim_t(fileSizeLimit)).isSet());
        const Run run = runEvalIn(dir, { "--make", "plant.csv", "--into", into });
        limit.reset();
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.endsWith('\n' + message), qPrintable(run.err));
        // A file not written whole is taken away again.
        QCOMPARE(QDir(dir + "/out").entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void verifyTable_data()
    {
        QTest::addColumn<QByteArray>("units");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");  // part of standard output and error
        QTest::addColumn<QString>("summary"); // standard error's last line; empty when the table is not read

        // The switches of "0 to 10 V" to "4 to 20 mA source".
        const QString s1 = "0101 0100 1100", s2 = "0010 1010 0000", s3 = "1010 1000 0000";
        const auto unit = [&](const QString &file, const QString &bank1, const QString &bank4 = "000000000000",
                              const QString &bank2 = QString()) {
            return QStringList{ "file=" + file, "read S1=" + bank1, "read S2=" + (bank2.isNull() ? s2 : bank2),
                                "read S3=" + s3, "read S4=" + bank4 };
        };
        const QStringList good = unit("units/TT-1.hvx", s1);
        // clang-format off
        QTest::newRow("all match") << tableOf({ good, unit("units/TT-1.hvx", s1.simplified().remove(' ')) }) << 0
            << "units.csv:3: units/TT-1.hvx: match: The unit is set as the setup file says." << "2 units: 2 match, 0 differ, 0 not read, 0 could not be checked";
        QTest::newRow("one differs, in S4") << tableOf({ good, unit("units/TT-1.hvx", s1, "0000 0000 0001") }) << 1
            << "units.csv:3: units/TT-1.hvx: differ: 1 switch of the unit differs from the setup file: S4.12 is on, the setup needs it off." << "2 units: 1 matches, 1 differs, 0 not read, 0 could not be checked";
        QTest::newRow("banks swapped") << tableOf({ unit("units/TT-1.hvx", s2, "", s1) }) << 1
            << "units.csv:2: units/TT-1.hvx: differ: 16 switches of the unit differ from the setup file: S1 and S2 look swapped." << "1 unit: 0 match, 1 differs, 0 not read, 0 could not be checked";
        QTest::newRow("refused setup") << tableOf({ good, unit("units/refused.hvx", s1) }) << 2
            << "units.csv:3: units/refused.hvx: refused: " << "2 units: 1 matches, 0 differ, 0 not read, 1 could not be checked";
        // Units to reset are told by 1 even where others could not be checked.
        QTest::newRow("missing file, one differs") << tableOf({ unit("units/TT-1.hvx", "1101 0100 1100"), unit("units/none.hvx", s1) }) << 1
            << "units.csv:3: units/none.hvx: error: " << "2 units: 0 match, 1 differs, 0 not read, 1 could not be checked";
        QTest::newRow("a typo in a bank") << tableOf({ unit("units/TT-1.hvx", "0100 0001 01x0"), good }) << 2
            << "units.csv:2: units/TT-1.hvx: error: column \"read S1\": \"0100 0001 01x0\" is not twelve digits" << "2 units: 1 matches, 0 differ, 0 not read, 1 could not be checked";
        QTest::newRow("not read") << tableOf({ good, { "file=units/TT-1.hvx", "read S1= ", "read S2=", "read S3=", "read S4=" } }) << 2
            << "units.csv:3: units/TT-1.hvx: not read: no switches were read off the unit" << "2 units: 1 matches, 0 differ, 1 not read, 0 could not be checked";
        QTest::newRow("no file named") << tableOf({ good, unit(" ", s1) }) << 2
            << "units.csv:3: error: column \"file\": is empty" << "2 units: 1 matches, 0 differ, 0 not read, 1 could not be checked";
        QTest::newRow("a cell too many") << tableOf({ good }) + ("units/TT-1.hvx," + s1 + "," + s2 + "," + s3 + ",0,1\r\n").toUtf8() << 2
            << "units.csv:3: units/TT-1.hvx: error: the row has 6 cells for 5 columns; a value holding \",\" must be quoted" << "2 units: 1 matches, 0 differ, 0 not read, 1 could not be checked";
        QTest::newRow("no S4 on a single-output unit") << QByteArray(("loop,file,read S1,read S2,read S3\r\n7,units/TT-1.hvx," + s1 + "," + s2 + "," + s3 + "\r\n").toUtf8()) << 0
            << "halvex-eval: kept as the plant's own columns: loop\n" << "1 unit: 1 matches, 0 differ, 0 not read, 0 could not be checked";
        QTest::newRow("empty S4 on a dual-output unit") << tableOf({ unit("units/dual.hvx", s1, "") }) << 2
            << "units.csv:2: units/dual.hvx: error: column \"read S4\": is empty; a dual-output unit needs the twelve switches read off it" << "1 unit: 0 match, 0 differ, 0 not read, 1 could not be checked";
        QTest::newRow("empty S4, a dual-output setup refused") << tableOf({ unit("units/dualrefused.hvx", s1, "") }) << 2
            << "units.csv:2: units/dualrefused.hvx: refused: Please select input type" << "1 unit: 0 match, 0 differ, 0 not read, 1 could not be checked";
        // A table that cannot be checked says nothing of its units: never 1.
        QTest::newRow("header near a bank") << QByteArray("file,read S1,read S2,read S3,S4 reading\r\nunits/TT-1.hvx,0,0,0,0\r\n") << 2
            << "units.csv:1: column \"S4 reading\" is not a known column; did you mean \"S4\"?" << "";
        QTest::newRow("no read S3 column") << QByteArray("file,read S1,read S2\r\nunits/TT-1.hvx,0,0\r\n") << 2
            << "units.csv:1: the header has no column \"read S3\"" << "";
        QTest::newRow("the setup's switches, none read") << QByteArray("file,S1,S2,S3\r\nunits/TT-1.hvx,0,0,0\r\n") << 2
            << "units.csv:1: no \"read S1\" ... \"read S4\" columns: the switches read off each unit go there; \"S1\" ... \"S4\" are the setup's switches" << "";
        QTest::newRow("banks under a name of the plant's") << QByteArray(("file,read S1,read S2,read S3,SW4\r\nunits/TT-1.hvx," + s1 + "," + s2 + "," + s3 + ",0000 0000 0001\r\n").toUtf8()) << 2
            << "units.csv:1: column \"SW4\" holds switch banks; name it \"read S4\"" << "";
        QTest::newRow("no rows") << QByteArray("file,read S1,read S2,read S3\r\n") << 2
            << "units.csv:1: the table has no rows: no unit to check" << "";
        QTest::newRow("a row shorter than its header") << tableOf({ good }) + ("units/TT-1.hvx," + s1 + "," + s2 + "\r\n").toUtf8() << 2
            << "units.csv:3: units/TT-1.hvx: error: column \"read S3\": is empty" << "2 units: 1 matches, 0 differ, 0 not read, 1 could not be checked";
        // clang-format on
    }

    void verifyTable()
    {
        QFETCH(QByteArray, units);
        QFETCH(int, status);
        QFETCH(QString, output);
        QFETCH(QString, summary);
        const QString dir = rowDir(m_dir);
        QVERIFY(QDir().mkpath(dir + "/units") && saveSetupFile(dir + "/units/TT-1.hvx", plainSetup()));
        Setup dual = plainSetup();
        dual.rgDualOutput = 1;
        dual.cbOutputRange2 = 1;
        QVERIFY(saveSetupFile(dir + "/units/dual.hvx", dual));
        writeFile(dir + "/units/refused.hvx", setupFileBytes(Setup()));
        Setup dualRefused;
        dualRefused.rgDualOutput = 1;
        writeFile(dir + "/units/dualrefused.hvx", setupFileBytes(dualRefused));
        writeFile(dir + "/units.csv", units);
        // From another folder: the files are found by name in the folder --into names.
        const QStringList args{ "--verify-table", dir + "/units.csv", "--into", dir + "/units" };
        const Run run = runEvalIn(QDir::rootPath(), args);
        QCOMPARE(run.exitCode, status);
        QVERIFY2((QString::fromUtf8(run.out) + run.err).contains(output), qPrintable(run.out + run.err));
        QCOMPARE(run.err.trimmed().section('\n', -1),
                 summary.isEmpty() ? run.err.trimmed().section('\n', -1) : summary);
        QCOMPARE(run.out.isEmpty(), summary.isEmpty());
        const Run json = runEvalIn(QDir::rootPath(), args + QStringList{ "--json" });
        QCOMPARE(json.exitCode, status);
        if (!summary.isEmpty()) {
            QCOMPARE(json.out.count('\n'), units.count('\n') - 1);
            QVERIFY(json.out.startsWith("{\"line\": 2, \"file\": \"units/TT-1.hvx\"") || json.out.contains("dual"));
        }
    }

    void exportStatuses_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("statuses"); // file:status:start of the message, of each row
        QTest::addColumn<int>("exitCode");
        // clang-format off
        QTest::newRow("refused") << QStringList{ "--csv", "made/TT-1.hvx", "made/TT-2.hvx" }
            << QStringList{ "made/TT-1.hvx:ok:", "made/TT-2.hvx:refused:Please select output 1 range" } << 1;
        // A name that is not UTF-8 is written with U+FFFD in its cell; a
        // character beyond the BMP stays whole.
        QTest::newRow("error wins, from a list") << QStringList{ "--csv", "--files-from", "list", "made/TT-2.hvx" }
            << QStringList{ "made/TT-2.hvx:refused:", "missing\uFFFD\U0001F600.hvx:error:missing?\U0001F600.hvx could not be opened", "made/TT-1.hvx:ok:" } << 2;
        // clang-format on
    }

    void exportStatuses()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, statuses);
        QFETCH(int, exitCode);
        const QString dir = rowDir(m_dir);
        QVERIFY(QDir().mkpath(dir + "/made") && saveSetupFile(dir + "/made/TT-1.hvx", plainSetup())
                && saveSetupFile(dir + "/made/TT-2.hvx", plainSetup(-1)));
        writeFile(dir + "/list", "missing\xFF\xF0\x9F\x98\x80.hvx\nmade/TT-1.hvx\n");
        const Run run = runEvalIn(dir, args);
        QCOMPARE(run.exitCode, exitCode);
        CsvTable table;
        CsvError error;
        QVERIFY(readCsvTable(run.out, &table, &error));
        QCOMPARE(table.records.size(), statuses.size());
        for (int i = 0; i < statuses.size(); ++i) {
            const CsvRecord &row = table.records.at(i);
            const QString status = CsvTable::cell(row, table.column("status"));
            QCOMPARE(CsvTable::cell(row, table.column("file")), statuses.at(i).section(':', 0, 0));
            QCOMPARE(status, statuses.at(i).section(':', 1, 1));
            QVERIFY(CsvTable::cell(row, table.column("message")).startsWith(statuses.at(i).section(':', 2)));
            // Switches only for a setup evaluated; S4 even in single output.
            QCOMPARE(CsvTable::cell(row, table.column("S4")), status == "ok" ? "0000 0000 0000" : "");
            QCOMPARE(CsvTable::cell(row, table.column("input type")).isEmpty(), status == "error");
        }
    }

    // What --csv writes, --make and --verify-table read back as it was: a
    // name a spreadsheet would take for a formula, a choice left unset.
    void exportedRowsReadBack()
    {
        const QString dir = rowDir(m_dir);
        Setup unset;
        unset.cbInputType = RtdPt100;
        unset.cbIRRTD = 3;
        unset.cbOutputRange = 1;
        unset.rgRTDType = -1;
        QVERIFY(saveSetupFile(dir + "/+cmd|calc.hvx", plainSetup()) && saveSetupFile(dir + "/=unset.hvx", unset));
        const Run exported = runEvalIn(dir, { "--csv", "+cmd|calc.hvx", "=unset.hvx" });
        QCOMPARE(exported.exitCode, 0);
        QVERIFY(exported.out.contains("\r\n'+cmd|calc.hvx,"));
        QVERIFY(exported.out.contains(",(not set),"));
        QVERIFY(exported.out.contains("(not set): the file chooses no button for RTD wiring\r\n"));
        writeFile(dir + "/made.csv", exported.out);
        const Run made = runEvalIn(dir, { "--make", "made.csv", "--into", "again" });
        QVERIFY2(made.exitCode == 0, qPrintable(made.err));
        QCOMPARE(readFile(dir + "/again/+cmd|calc.hvx"), readFile(dir + "/+cmd|calc.hvx"));
        QCOMPARE(readFile(dir + "/again/=unset.hvx"), readFile(dir + "/=unset.hvx"));
        // Its S1 to S4 are the setup's switches, never taken for readings.
        const Run verified = runEvalIn(dir, { "--verify-table", "made.csv" });
        QCOMPARE(verified.exitCode, 2);
        QVERIFY2(verified.err.contains("made.csv:1: no \"read S1\""), qPrintable(verified.err));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCliTable)
#include "tst_cli_table.moc"
