// Tables as spreadsheets write them, and a setup as a row of the window's
// texts.

#include "csvtable.h"
#include "evaluation.h"
#include "headerfolding.h"
#include "setupfields.h"
#include "setuprow.h"

#include <QtTest>

using namespace hvx;

namespace {

// Records as "line:cell|cell|..." for comparison.
QStringList shown(const CsvTable &t)
{
    QStringList out{ QStringLiteral("1:") + t.header.join(QLatin1Char('|')) };
    for (const CsvRecord &r : t.records)
        out << QString::number(r.line) + QLatin1Char(':') + r.cells.join(QLatin1Char('|'));
    return out;
}

} // namespace

class TestSetupTable : public QObject {
    Q_OBJECT

private slots:
    void readCsv_data();
    void readCsv();
    void writtenLinesReadBack();
    void rowValues_data();
    void rowValues();
    void bankCells_data();
    void bankCells();
    void exportedValuesReadBack();
    void unitReading_data();
    void unitReading();
    void headerFolding_data();
    void headerFolding();
    void headerReading();
};

void TestSetupTable::readCsv_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("records"); // empty when refused
    QTest::addColumn<int>("errorLine");
    QTest::addColumn<int>("errorColumn");

    // clang-format off
    QTest::newRow("semicolons win in header") << QByteArray("\"x,y,z\";b\n1,5;2") << QStringList{ "1:x,y,z|b", "2:1,5|2" } << 0 << 0;
    // A quote inside a header cell is a letter, as everywhere in a cell.
    QTest::newRow("a quote inside a header cell") << QByteArray("a,b\"c,d\n\"x;y\",2,3\n") << QStringList{ "1:a|b\"c|d", "2:x;y|2|3" } << 0 << 0;
    QTest::newRow("a doubled quote in the header") << QByteArray("\"a\"\",b\";c\n1;2\n") << QStringList{ "1:a\",b|c", "2:1|2" } << 0 << 0;
    QTest::newRow("tabs and no comma or semicolon: tabs") << QByteArray("a\tb c\n1,5\t\"x\ty\"\n") << QStringList{ "1:a|b c", "2:1,5|x\ty" } << 0 << 0;
    QTest::newRow("tabs beside a comma: commas") << QByteArray("a\tb,c\n1\t2,3\n") << QStringList{ "1:a\tb|c", "2:1\t2|3" } << 0 << 0;
    QTest::newRow("one column: commas") << QByteArray("a\nx,y;z") << QStringList{ "1:a", "2:x|y;z" } << 0 << 0;
    QTest::newRow("quoted separator, quote, line break") << QByteArray("a,b\n\"0 to 1,000 Hz\",\"say \"\"hi\"\"\nthere\"\n3,4\n")
                                          << QStringList{ "1:a|b", "2:0 to 1,000 Hz|say \"hi\"\nthere", "4:3|4" } << 0 << 0;
    QTest::newRow("empty cells and last line without end") << QByteArray("a,b,c\n,,\n1,,") << QStringList{ "1:a|b|c", "2:||", "3:1||" } << 0 << 0;
    QTest::newRow("only the first byte-order mark") << QByteArray("\xEF\xBB\xBF" "a,b\n\xEF\xBB\xBF" "x,\xEF\xBB\xBF" "y\n")
                                          << QStringList{ "1:a|b", QString::fromUtf8("2:\xEF\xBB\xBFx|\xEF\xBB\xBFy") } << 0 << 0;
    QTest::newRow("formula signs") << QByteArray("a\n'=1+1\n'+cmd|calc\n-5\n''@x\n'x\n") << QStringList{ "1:a", "2:=1+1", "3:+cmd|calc", "4:-5", "5:'@x", "6:'x" } << 0 << 0;
    QTest::newRow("quote never closed") << QByteArray("a,b\n1,2\n\"open,3\n4,5\n") << QStringList() << 3 << 1;
    QTest::newRow("quote never closed, late in its line") << QByteArray("a,b\n\xC3\xA9,\"open\n") << QStringList() << 2 << 3;
    QTest::newRow("text after closing quote") << QByteArray("a,b\n1,\"x\"y\n") << QStringList() << 2 << 6;
    QTest::newRow("both separators in the header") << QByteArray("file;input type,S1\n") << QStringList() << 1 << 16;
    QTest::newRow("both separators, the first column unnamed") << QByteArray(",input type;S1\n") << QStringList() << 1 << 12;
    QTest::newRow("not UTF-8") << QByteArray("a\nok\n0 to 400\xB0" "C\n") << QStringList() << 3 << 9;
    QTest::newRow("not UTF-8 below an empty line") << QByteArray("\na\n\xC3\xA9 \xED\xA0\x80\n") << QStringList() << 3 << 3;
    QTest::newRow("not UTF-8 after a byte-order mark") << QByteArray("\xEF\xBB\xBF" "a,\xF4\x90\x80\x80\n") << QStringList() << 1 << 3;
    QTest::newRow("empty") << QByteArray() << QStringList() << 1 << 0;
    QTest::newRow("blank header") << QByteArray(",,\n1,2,3\n") << QStringList() << 1 << 0;
    // clang-format on
}

void TestSetupTable::readCsv()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, records);
    QFETCH(int, errorLine);
    QFETCH(int, errorColumn);
    CsvTable table;
    CsvError error;
    const bool ok = readCsvTable(bytes, &table, &error);
    QCOMPARE(ok, errorLine == 0);
    if (ok)
        QCOMPARE(shown(table), records);
    QCOMPARE(error.line, errorLine);
    QCOMPARE(error.column, errorColumn);
}

void TestSetupTable::writtenLinesReadBack()
{
    const QStringList cells{
        QStringLiteral("plain"),        QStringLiteral("0 to 1,000 Hz"), QStringLiteral("a;b;c;d;e;f;g;h"),
        QStringLiteral("say \"hi\""),   QStringLiteral(" padded "),      QString(),
        QStringLiteral("two\r\nlines"), QStringLiteral("+cmd|calc.hvx"), QStringLiteral("-5.5"),
        QStringLiteral("''=x"),         QStringLiteral("\t=x"),          QStringLiteral("\r@x")
    };
    QVERIFY(csvLine(cells).startsWith("plain,\"0 to 1,000 Hz\",")); // only what needs quotes has them
    // A formula's sign behind an apostrophe, a number as it is; tabs and
    // carriage returns before the sign do not hide it.
    QVERIFY(csvLine(cells).endsWith(",'+cmd|calc.hvx,-5.5,'''=x,'\t=x,\"'\r@x\"\r\n"));
    CsvTable table;
    CsvError error;
    QVERIFY(readCsvTable(csvByteOrderMark() + csvLine(cells) + csvLine(cells), &table, &error));
    QCOMPARE(table.separator, QLatin1Char(','));
    QCOMPARE(table.header, cells);
    QCOMPARE(table.records.size(), 1);
    QCOMPARE(table.records.first().cells, cells);
    QCOMPARE(table.records.first().line, 3); // the header's quoted line break counts
    QCOMPARE(table.column(QStringLiteral(" PADDED")), 4);
    QCOMPARE(table.column(QStringLiteral("padded too")), -1);
}

void TestSetupTable::rowValues_data()
{
    QTest::addColumn<QStringList>("cells"); // column=value pairs
    QTest::addColumn<QString>("field");     // field=value expected, or the problem's column
    QTest::addColumn<QString>("problem");   // part of the problem, empty when none

    // clang-format off
    QTest::newRow("case and blanks") << QStringList{ "input type= k TYPE thermocouple ", "input range=0 TO 400°c" }
                                     << "cbIRTCKJ=8" << "";
    QTest::newRow("range of the type's list") << QStringList{ "input type=J type thermocouple", "input range=0 to 1400°C" }
                                              << "input range" << "\"0 to 1400°C\" is not one of \"0 to 100°C\", ..., \"0 to 700°C\", \"0 to 800°C\", \"0 to 1000°C\", \"0 to 1200°C\", \"Custom\" (16 items)";
    QTest::newRow("list shortened around the nearest") << QStringList{ "input type=K type thermocouple", "input range=0 to 450°C" }
                                              << "input range" << "is not one of \"0 to 100°C\", ..., \"0 to 300°C\", \"0 to 350°C\", \"0 to 400°C\", \"0 to 500°C\", \"0 to 600°C\", ..., \"Custom\" (16 items)";
    QTest::newRow("list of eight in full") << QStringList{ "trip delay=3 s" } << "trip delay"
                                           << "is not one of \"0 seconds\", \"2.5 seconds\", \"5 seconds\", \"10 seconds\", \"20 seconds\", \"30 seconds\", \"60 seconds\", \"120 seconds\"";
    QTest::newRow("list shortened after its second item") << QStringList{ "input type=K type thermocouple", "input range=0 to 180°C" }
                                              << "input range" << "is not one of \"0 to 100°C\", \"0 to 125°C\", \"0 to 150°C\", \"0 to 175°C\", \"0 to 200°C\", \"0 to 250°C\", ..., \"Custom\" (16 items)";
    QTest::newRow("list shortened before its last item") << QStringList{ "input type=K type thermocouple", "input range=0 to 820°C" }
                                              << "input range" << "is not one of \"0 to 100°C\", ..., \"0 to 600°C\", \"0 to 700°C\", \"0 to 800°C\", \"0 to 1000°C\", \"0 to 1200°C\", \"Custom\" (16 items)";
    QTest::newRow("range needs a type") << QStringList{ "input range=0 to 10 V" } << "input range" << "needs an input type";
    QTest::newRow("burnout as New names it") << QStringList{ "burnout=low burnout" } << "rgBurnout=1" << "";
    QTest::newRow("burnout of another range") << QStringList{ "output 1=4 to 20 mA source", "burnout=Low Burnout 1V" }
                                              << "burnout" << "is not one of \"High Burnout\", \"Low Burnout\"";
    QTest::newRow("second output") << QStringList{ "second output=Frequency", "frequency range=0 to 1,000 Hz" }
                                   << "rgDualType=2" << "";
    QTest::newRow("empty keeps New") << QStringList{ "buttons=", "outputs=  " } << "rgButtonIsolation=0" << "";
    QTest::newRow("fast is shown") << QStringList{ "conversion speed=FAST" } << "shown=1" << "";
    QTest::newRow("long number shortened") << QStringList{ "custom high=400.000" } << "eCustomHigh=400" << "";
    QTest::newRow("long comma number shortened") << QStringList{ "custom high=12,50000" } << "eCustomHigh=12,5" << "";
    QTest::newRow("six characters kept") << QStringList{ "custom high=400.50" } << "eCustomHigh=400.50" << "";
    QTest::newRow("shortened to six") << QStringList{ "custom high=1234.500" } << "eCustomHigh=1234.5" << "";
    QTest::newRow("thousands or decimal") << QStringList{ "custom high=1,200" } << "custom high" << "\"1,200\" could be 1200 or 1.2; write 1200 or 1.2";
    QTest::newRow("negative, read two ways") << QStringList{ "custom low=-2,500" } << "custom low" << "\"-2,500\" could be -2500 or -2.5; write -2500 or -2.5";
    QTest::newRow("a thousand or one") << QStringList{ "custom high=1,000" } << "custom high" << "could be 1000 or 1; write 1000 or 1";
    QTest::newRow("a plus sign, read two ways") << QStringList{ "custom high=+1,200" } << "custom high" << "\"+1,200\" could be 1200 or 1.2";
    // A leading zero is never a thousands separator's.
    QTest::newRow("a leading zero, comma") << QStringList{ "custom low=0,500" } << "eCustomLow=0,500" << "";
    QTest::newRow("a leading zero, semicolons") << QStringList{ "separator=;", "custom low=0.500" } << "eCustomLow=0.500" << "";
    // Where semicolons separate the cells, a point may separate thousands.
    QTest::newRow("semicolons: a point read two ways") << QStringList{ "separator=;", "custom high=1.200" } << "custom high" << "\"1.200\" could be 1200 or 1.2";
    QTest::newRow("commas: a point is a decimal point") << QStringList{ "custom high=1.200" } << "eCustomHigh=1.200" << "";
    QTest::newRow("decimal comma, one digit") << QStringList{ "custom high=1,5" } << "eCustomHigh=1,5" << "";
    QTest::newRow("decimal comma, two digits") << QStringList{ "custom high=12,50" } << "eCustomHigh=12,50" << "";
    QTest::newRow("four digits before the comma") << QStringList{ "custom high=1234,5" } << "eCustomHigh=1234,5" << "";
    QTest::newRow("long word") << QStringList{ "custom low=seventy" } << "custom low" << "longer than the 6 characters";
    QTest::newRow("long text") << QStringList{ "custom high=1234567" } << "custom high" << "longer than the 6 characters";
    QTest::newRow("Windows-1252 character") << QStringList{ "custom low=4€" } << "eCustomLow=4€" << "";
    QTest::newRow("character a file cannot keep") << QStringList{ "custom low=4Ω" } << "custom low" << "cannot keep";
    QTest::newRow("control character") << QStringList{ "custom low=4\t5" } << "custom low" << "control character";
    QTest::newRow("nearest number with a thousands separator") << QStringList{ "frequency range=0 to 1000 Hz" }
                                         << "frequency range" << "is not one of \"0 to 1 Hz\", ..., \"0 to 250 Hz\", \"0 to 500 Hz\", \"0 to 1,000 Hz\", \"0 to 2,000 Hz\", \"0 to 5,000 Hz\", ..., \"0 to 50,000 Hz\" (16 items)";
    QTest::newRow("no number: list from its start") << QStringList{ "input type=Thermocouple" }
                                         << "input type" << "is not one of \"Voltage\", \"Current sink\", \"Current using Tx Supply\", \"milliVolt\", \"Potentiometer 2 wire\", ..., \"RTD PT1000\" (16 items)";
    // clang-format on
}

void TestSetupTable::rowValues()
{
    QFETCH(QStringList, cells);
    QFETCH(QString, field);
    QFETCH(QString, problem);
    QStringList values(setupColumns().size());
    QChar separator = QLatin1Char(',');
    for (const QString &cell : cells) {
        if (cell.startsWith(QLatin1String("separator="))) {
            separator = cell.back();
            continue;
        }
        const int c = setupColumns().indexOf(cell.section(QLatin1Char('='), 0, 0));
        QVERIFY2(c >= 0, qPrintable(cell));
        values[c] = cell.section(QLatin1Char('='), 1);
    }
    std::vector<RowProblem> problems;
    const Setup s = setupFromRowValues(values, &problems, separator);
    if (!problem.isEmpty()) {
        QCOMPARE(int(problems.size()), 1);
        QCOMPARE(problems.front().column, field);
        QVERIFY2(problems.front().message.contains(problem), qPrintable(problems.front().message));
        return;
    }
    QVERIFY(problems.empty());
    const QString name = field.section(QLatin1Char('='), 0, 0);
    QString actual = QString::number(s.conversionSpeedShown); // for "shown"
    for (const SetupField &f : setupFields())
        if (f.name() == name)
            actual = f.kind == SetupField::Kind::Text ? f.text(s) : QString::number(f.index(s));
    QCOMPARE(name + QLatin1Char('=') + actual, field);
}

void TestSetupTable::bankCells_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("bits"); // empty when refused
    QTest::addColumn<QString>("problem");

    // clang-format off
    QTest::newRow("no blanks") << " 010000010100 " << "010000010100" << "";
    QTest::newRow("lost leading zero") << "10000010100" << "" << "has only 11 digits (a spreadsheet";
    QTest::newRow("one digit") << "1" << "" << "\"1\" has only 1 digit (";
    QTest::newRow("thirteen") << "0100 0001 01001" << "" << "not twelve digits";
    QTest::newRow("other digit") << "0100 0001 0102" << "" << "not twelve digits";
    QTest::newRow("empty") << "" << "" << "is empty";
    // clang-format on
}

void TestSetupTable::bankCells()
{
    QFETCH(QString, cell);
    QFETCH(QString, bits);
    QFETCH(QString, problem);
    QString error;
    const std::optional<SwitchBank> bank = bankFromCell(cell, &error);
    QCOMPARE(bool(bank), problem.isEmpty());
    if (bank) {
        QCOMPARE(bank->toString(), bits);
        QCOMPARE(bankCellText(*bank).remove(QLatin1Char(' ')), bits);
    } else {
        QVERIFY2(error.contains(problem), qPrintable(error));
    }
}

void TestSetupTable::exportedValuesReadBack()
{
    // A setup from a file may leave any choice without a chosen button: its
    // row says so, and reads back as it, with the same switches.
    Setup pt100;
    pt100.cbInputType = RtdPt100;
    pt100.cbIRRTD = 3;
    pt100.cbOutputRange = 1;
    pt100.rgDualOutput = 1;
    Setup thermocouple;
    thermocouple.cbInputType = TcK;
    thermocouple.cbIRTCKJ = 15;
    thermocouple.eCustomLow = QStringLiteral("0");
    thermocouple.eCustomHigh = QStringLiteral("400");
    thermocouple.cbOutputRange = 4;
    thermocouple.rgDualOutput = 1;
    int swept = 0;
    for (Setup base : { pt100, thermocouple }) {
        for (int dualType : { 0, 1, 2 }) {
            base.rgDualType = dualType;
            for (int c = 0; c < ChoiceCount; ++c) {
                Setup s = base;
                s.choice(ChoiceId(c)) = -1;
                const QStringList values = setupRowValues(s);
                std::vector<RowProblem> problems;
                const Setup back = setupFromRowValues(values, &problems);
                QVERIFY(problems.empty());
                QVERIFY2(back.choice(ChoiceId(c)) == -1 && setupRowValues(back) == values,
                         qPrintable(values.join('|')));
                EvaluationValues before;
                EvaluationValues after;
                QCOMPARE(Evaluate(s, before).completed, Evaluate(back, after).completed);
                QVERIFY(after.map == before.map);
                const QString column = setupColumns().at(values.indexOf(notSetText()));
                QVERIFY(unsetChoicesNote(s).endsWith(QStringLiteral(" for ") + column));
                ++swept;
            }
        }
    }
    QCOMPARE(swept, 2 * 3 * ChoiceCount);
}

void TestSetupTable::unitReading_data()
{
    QTest::addColumn<QStringList>("banks"); // S1 to S4 cells
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("s4Empty");
    QTest::addColumn<QString>("problem"); // column: part of the message

    const QString a = "0100 0001 0100";
    const int read = int(UnitReading::State::Read), notRead = int(UnitReading::State::NotRead),
              unreadable = int(UnitReading::State::Unreadable);
    // clang-format off
    QTest::newRow("four banks") << QStringList{ a, a, a, "0000 0000 0001" } << read << false << "";
    QTest::newRow("empty S4 taken as off") << QStringList{ a, a, a, " " } << read << true << "";
    QTest::newRow("no S4 cell") << QStringList{ a, a, a } << read << true << "";
    QTest::newRow("nothing read") << QStringList{ "", " ", "", "" } << notRead << false << ": no switches were read";
    QTest::newRow("a letter O for a zero") << QStringList{ "1010 111O 0001", a, a, a } << unreadable << false << "read S1: not twelve digits";
    QTest::newRow("S2 left empty") << QStringList{ a, "", a, a } << unreadable << false << "read S2: is empty";
    // clang-format on
}

void TestSetupTable::unitReading()
{
    QFETCH(QStringList, banks);
    QFETCH(int, state);
    QFETCH(bool, s4Empty);
    QFETCH(QString, problem);
    const UnitReading r = unitFromBankCells(banks);
    QCOMPARE(int(r.state), state);
    QCOMPARE(r.s4Empty, s4Empty);
    QCOMPARE(r.problem.column, problem.section(':', 0, 0));
    QVERIFY2(r.problem.message.contains(problem.section(": ", 1)), qPrintable(r.problem.message));
    if (r.state == UnitReading::State::Read)
        QCOMPARE(r.switches.S4.toString(), s4Empty ? QString(12, '0') : QString(banks.at(3)).remove(' '));
}

void TestSetupTable::headerFolding_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("kind"); // known, near or own
    QTest::addColumn<QString>("column");

    // clang-format off
    QTest::newRow("as written") << "RTD wiring" << "known" << "RTD wiring";
    QTest::newRow("letter case, no blank") << "Output1" << "known" << "output 1";
    QTest::newRow("blank inside a word") << "burn out" << "known" << "burnout";
    QTest::newRow("inner run of blanks") << "Custom  Low" << "known" << "custom low";
    QTest::newRow("underscores and dashes") << "COLD_JUNCTION" << "known" << "cold junction";
    QTest::newRow("dash") << "square-root 2" << "known" << "square root 2";
    QTest::newRow("US spelling") << "linearization" << "known" << "linearisation";
    QTest::newRow("bank") << " s 4 " << "known" << "S4";
    QTest::newRow("a letter left out") << "linearisaton" << "near" << "linearisation";
    QTest::newRow("two letters apart") << "convresion sped" << "near" << "conversion speed";
    QTest::newRow("two letters swapped") << "fiel" << "near" << "file";
    QTest::newRow("six letters, two apart") << "sratis" << "near" << "status";
    QTest::newRow("a word changed") << "RTD wires" << "near" << "RTD wiring";
    QTest::newRow("a word cut short") << "custom lo" << "near" << "custom low";
    QTest::newRow("a word missing") << "Custom" << "near" << "custom low";
    QTest::newRow("a word added") << "file name" << "near" << "file";
    QTest::newRow("another number") << "output 3" << "near" << "output 1";
    QTest::newRow("a plant's tag") << "tag" << "own" << "";
    QTest::newRow("a plant's location") << "location" << "own" << "";
    QTest::newRow("short name, two letters off") << "title" << "own" << "";
    QTest::newRow("a bank of its own") << "S5" << "own" << "";
    QTest::newRow("sharing only a number") << "loop 1" << "own" << "";
    // A long header is a note: never compared letter by letter.
    QTest::newRow("a word added, too long") << "file " + QString(70, 'x') << "own" << "";
    QTest::newRow("a known column read in the field") << "Read S4" << "known" << "read S4";
    QTest::newRow("a check's verdict") << "CHECK" << "known" << "check";
    // clang-format on
}

void TestSetupTable::headerFolding()
{
    QFETCH(QString, header);
    QFETCH(QString, kind);
    QFETCH(QString, column);
    const HeaderFolding::Match m = HeaderFolding().match(header);
    const char *kinds[] = { "known", "near", "own" };
    QCOMPARE(QLatin1String(kinds[int(m.kind)]), kind);
    QCOMPARE(m.column, column);
}

// A whole header: each known column's cell, near misses, duplicates, the
// plant's own columns and what the missing setup columns take.
void TestSetupTable::headerReading()
{
    const HeaderReading r = HeaderFolding().read({ "tag", "File", "Input Type", "input_type", "RTD wires", "", "loop",
                                                   "S1", "S2", "S3", "S4" });
    QCOMPARE(r.column("file"), 1);
    QCOMPARE(r.column("input type"), 2);
    QCOMPARE(r.column("S4"), 10);
    QCOMPARE(r.column("RTD wiring"), -1);
    QCOMPARE(r.duplicates, QStringList{ "input_type" });
    QCOMPARE(r.ownColumnsNote(), QStringLiteral("kept as the plant's own columns: tag, loop"));
    QCOMPARE(r.nearMisses.size(), 1);
    QCOMPARE(HeaderReading::nearMissText(r.nearMisses.first()),
             QStringLiteral("column \"RTD wires\" is not a known column; did you mean \"RTD wiring\"?"));
    QCOMPARE(r.lackedSetup.size(), setupColumns().size() - 1);
    QVERIFY2(r.lackedColumnsNote().startsWith("not in the table, so every row takes: input range (none), custom "
                                              "low (none), custom high (none), linearisation \"Linearisation on\""),
             qPrintable(r.lackedColumnsNote()));
    QVERIFY(HeaderFolding().read({ "file", "S1" }).ownColumnsNote().isEmpty());
}

QTEST_APPLESS_MAIN(TestSetupTable)
#include "tst_setupfile_table.moc"
