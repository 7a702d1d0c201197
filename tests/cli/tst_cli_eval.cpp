// halvex-eval run as a user would: on files, in both output modes.

#include "../support/testfiles.h"
#include "evalrun.h"
#include "halvexversion.h"
#include "setupfile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <locale.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace hvx;
using testsupport::writeFile;
using namespace evaltest;

namespace {

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        Setup s;
        s.cbInputType = 0;
        s.cbIRVoltage = 6;
        s.cbOutputRange = 1;
        good = write(QStringLiteral("good.hvx"), s);
        s.cbOutputRange = -1;
        refused = write(QStringLiteral("refused.hvx"), s);
        text = m_dir.filePath(QStringLiteral("notes.txt"));
        writeFile(text, "hello\n");
        writeFile(m_dir.filePath(QStringLiteral("short.hvx")), setupFileBytes(Setup()).left(100));
        const QString fifo = m_dir.filePath(QStringLiteral("fifo.hvx"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    }

    void exitStatus_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        const QString examples = QStringLiteral(EXAMPLES_DIR);
        QStringList all = QDir(examples).entryList({ QStringLiteral("*.hvx") });
        for (QString &f : all)
            f = examples + QLatin1Char('/') + f;
        QVERIFY(all.size() >= 6);
        QTest::newRow("examples") << all << 0;
        QTest::newRow("examples json") << (QStringList{ QStringLiteral("--json") } << all) << 0;
        QTest::newRow("refused") << QStringList{ QStringLiteral("--json"), QStringLiteral("GOOD"),
                                                 QStringLiteral("REFUSED") }
                                 << 1;
        QTest::newRow("refused, then good") << QStringList{ QStringLiteral("REFUSED"), QStringLiteral("GOOD") } << 1;
        QTest::newRow("error wins") << QStringList{ QStringLiteral("REFUSED"), QStringLiteral("TEXT") } << 2;
        QTest::newRow("no files") << QStringList{ QStringLiteral("--json") } << 64;
        QTest::newRow("unknown option") << QStringList{ QStringLiteral("--jsn"), QStringLiteral("GOOD") } << 64;
        QTest::newRow("pdf without name") << QStringList{ QStringLiteral("GOOD"), QStringLiteral("--pdf") } << 64;
        QTest::newRow("pdf empty name") << QStringList{ QStringLiteral("--pdf="), QStringLiteral("GOOD") } << 64;
        QTest::newRow("null without a list") << QStringList{ "--null", "GOOD" } << 64;
        // clang-format off
        QTest::newRow("two table commands") << QStringList{ "--csv", "--make", "/none/plant.csv", "GOOD" } << 64;
        QTest::newRow("into without make") << QStringList{ "--into", "/none/out", "GOOD" } << 64;
        QTest::newRow("make without into: beside a table not there") << QStringList{ "--make", "/none/plant.csv" } << 2;
        QTest::newRow("make with a file") << QStringList{ "--make", "/none/plant.csv", "--into", "/none/out", "GOOD" } << 64;
        QTest::newRow("make with json") << QStringList{ "--make", "/none/plant.csv", "--into", "/none/out", "--json" } << 64;
        QTest::newRow("verify-table with null") << QStringList{ "--verify-table", "/none/units.csv", "--null" } << 64;
        QTest::newRow("csv with json") << QStringList{ "--csv", "--json", "GOOD" } << 64;
        QTest::newRow("csv without a file") << QStringList{ "--csv" } << 64;
        QTest::newRow("csv, null without a list") << QStringList{ "--csv", "--null", "GOOD" } << 64;
        QTest::newRow("a list that names no file") << QStringList{ "--files-from", "/dev/null" } << 0;
        QTest::newRow("csv, a list that names no file") << QStringList{ "--csv", "--files-from", "/dev/null" } << 64;
        QTest::newRow("csv, list unreadable") << QStringList{ "--csv", "--files-from", "/none/list", "GOOD" } << 2;
        QTest::newRow("make, table unreadable") << QStringList{ "--make", "/none/plant.csv", "--into", "/none/out" } << 2;
        QTest::newRow("verify-table, a folder") << QStringList{ "--verify-table", "/" } << 2;
        // clang-format on
        QTest::newRow("help") << QStringList{ "--help", "GOOD" } << 0;
        QTest::newRow("version") << QStringList{ "GOOD", "--version" } << 0;
        // A closed standard error is kept taken (by the null device), so that no
        // file the program opens becomes it and takes its messages.
        QTest::newRow("standard error closed") << QStringList{ "--files-from", "/dev/fd/2", "2>&-" } << 0;
    }

    void exitStatus()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        args.replaceInStrings(QStringLiteral("GOOD"), good);
        args.replaceInStrings(QStringLiteral("REFUSED"), refused);
        args.replaceInStrings(QStringLiteral("TEXT"), text);
        const bool closeStandardError = args.removeAll(QStringLiteral("2>&-")) > 0;
        const Run r = runEval(args, "C.UTF-8", {}, closeStandardError ? QStringLiteral("stderr closed") : QString());
        QCOMPARE(r.exitCode, status);
        if (status == 64)
            QVERIFY(r.err.contains(QStringLiteral("usage")));
    }

    void helpAndVersion()
    {
        QCOMPARE(runEval({ "--version" }).text(), QStringLiteral("halvex-eval " HALVEX_VERSION "\n"));
        const QString help = runEval({ "--help" }).text();
        for (const char *option : { "--json", "--pdf OUT.pdf", "--files-from LIST", "--null", "--help", "--version" })
            QVERIFY2(help.contains(QLatin1String(option)), option);
        // Each help text starts in one column, its later lines too.
        QVERIFY(help.contains("\n  --json             one JSON object per file per line, for scripts\n"));
        QVERIFY(help.contains("\n  --null             names in the --files-from list end with a NUL byte, not a\n"
                              "                     line feed\n"));
    }

    void jsonReports()
    {
        const QString missing = m_dir.filePath(QStringLiteral("missing.hvx"));
        const Run r = runEval({ QStringLiteral("--json"), good, refused, missing, text });
        const QList<QJsonObject> lines = r.lines();
        QCOMPARE(lines.size(), 4);

        const QJsonObject ok = lines.at(0);
        QCOMPARE(ok.value(QStringLiteral("file")).toString(), good);
        QCOMPARE(ok.value(QStringLiteral("status")).toString(), QStringLiteral("ok"));
        QCOMPARE(ok.value(QStringLiteral("message")).toString(), QString());
        const QJsonObject sw = ok.value(QStringLiteral("switches")).toObject();
        QCOMPARE(sw.value(QStringLiteral("S1")).toString(), QStringLiteral("010101001100"));
        QCOMPARE(sw.value(QStringLiteral("S2")).toString(), QStringLiteral("001010100000"));
        QCOMPARE(sw.value(QStringLiteral("S3")).toString(), QStringLiteral("101010000000"));
        QCOMPARE(sw.value(QStringLiteral("S4")).toString(), QStringLiteral("000000000000"));
        QCOMPARE(ok.value(QStringLiteral("rangeIndex")).toInt(), 6);
        QVERIFY(ok.value(QStringLiteral("customLow")).isNull());
        const QJsonObject summary = ok.value(QStringLiteral("summary")).toObject();
        QCOMPARE(summary.value(QStringLiteral("input1")).toString(), QStringLiteral("Voltage, 0 to 10 V."));
        QCOMPARE(summary.value(QStringLiteral("input2")).toString(), QStringLiteral("Normal response."));
        QCOMPARE(
            summary.value(QStringLiteral("output1")).toString(),
            QStringLiteral("4 to 20 mA source, High Burnout 23mA, Inversion off, Buttons enabled, Square root off."));
        QVERIFY(summary.value(QStringLiteral("output2")).isNull());
        // The selections as the file holds them, one member per control.
        const QJsonObject fields = ok.value(QStringLiteral("fields")).toObject();
        QCOMPARE(fields.size(), 37);
        QCOMPARE(fields.value(QStringLiteral("cbIRVoltage")).toInt(), 6);
        QCOMPARE(fields.value(QStringLiteral("cbOutputRange")).toInt(), 1);
        QCOMPARE(fields.value(QStringLiteral("cbIRCurrent")).toInt(), -1);

        const QJsonObject ref = lines.at(1);
        QCOMPARE(ref.value(QStringLiteral("status")).toString(), QStringLiteral("refused"));
        QCOMPARE(ref.value(QStringLiteral("message")).toString(), QStringLiteral("Please select output 1 range"));
        QVERIFY(ref.value(QStringLiteral("switches")).isObject());
        QVERIFY(ref.value(QStringLiteral("rangeIndex")).isNull()); // stopped before the encoder
        QVERIFY(ref.value(QStringLiteral("summary")).isNull());
        QCOMPARE(ref.value(QStringLiteral("fields")).toObject().value(QStringLiteral("cbOutputRange")).toInt(), -1);

        QCOMPARE(lines.at(2).value(QStringLiteral("status")).toString(), QStringLiteral("error"));
        QCOMPARE(lines.at(2).value(QStringLiteral("message")).toString(),
                 missing + QStringLiteral(" could not be opened: No such file or directory"));
        QVERIFY(lines.at(2).value(QStringLiteral("switches")).isNull());
        QVERIFY(lines.at(2).value(QStringLiteral("fields")).isNull());
        QCOMPARE(lines.at(3).value(QStringLiteral("message")).toString(),
                 text + QStringLiteral(" is not an HALVEX Switch File"));
        QVERIFY(lines.at(3).value(QStringLiteral("rangeIndex")).isNull());
    }

    void unreadableFilesSayWhy_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message"); // after the file's name
        // A missing file and a text file are in jsonReports.
        // clang-format off
        QTest::newRow("folder") << "folder" << " could not be opened: Is a directory";
        QTest::newRow("FIFO") << "fifo.hvx" << " could not be opened: it is a FIFO, not a regular file";
        QTest::newRow("device") << "/dev/zero" << " could not be opened: it is a device, not a regular file";
        QTest::newRow("no permission") << "secret.hvx" << " could not be opened: Permission denied";
        QTest::newRow("empty") << "empty.hvx" << " is not an HALVEX Switch File (the file is empty)";
        QTest::newRow("short") << "short.hvx" << " is not an HALVEX Switch File";
        // clang-format on
    }

    // Each file that cannot be evaluated is reported with the reason, at once
    // (a FIFO that no one writes is not waited for).
    void unreadableFilesSayWhy()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        const QString path = file.startsWith('/') ? file : m_dir.filePath(file);
        if (file == "empty.hvx")
            QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        if (file == "folder")
            QVERIFY(QDir(m_dir.path()).mkpath(file));
        if (file == "secret.hvx") {
            if (geteuid() == 0)
                QSKIP("permissions do not stop root");
            QVERIFY(QFile::copy(good, path) && QFile::setPermissions(path, {}));
        }
        const Run r = runEval({ "--json", path });
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.lines().value(0).value("message").toString(), path + message);
        QCOMPARE(r.err, QString());
    }

    void customValuesReadBack()
    {
        Setup s;
        s.cbInputType = 14;
        s.cbIRRTD = 16;
        s.eCustomLow = QStringLiteral("-40.1");
        s.eCustomHigh = QStringLiteral("0.1");
        s.cbOutputRange = 0;
        s.rgDualOutput = 1;
        s.rgDualType = 2;
        s.cbFreqOutputRange = 14;
        const QString path = write(QStringLiteral("custom.hvx"), s);
        s.eCustomHigh = QStringLiteral("x");
        const QString bad = write(QStringLiteral("custombad.hvx"), s);

        const QList<QJsonObject> lines = runEval({ QStringLiteral("--json"), path, bad }).lines();
        QCOMPARE(lines.size(), 2);
        const QJsonObject o = lines.at(0);
        QCOMPARE(float(o.value(QStringLiteral("customLow")).toDouble()), -40.1f);
        QCOMPARE(float(o.value(QStringLiteral("customHigh")).toDouble()), 0.1f);
        QCOMPARE(o.value(QStringLiteral("rangeIndex")).toInt(), 4);
        QCOMPARE(o.value(QStringLiteral("summary")).toObject().value(QStringLiteral("output2")).toString(),
                 QStringLiteral("Frequency: 0 to 40,000 Hz, Span point +12.5% during burnout."));
        QCOMPARE(o.value(QStringLiteral("summary")).toObject().value(QStringLiteral("input1")).toString(),
                 QStringLiteral("RTD PT100, Custom range: -40.1 to 0.1 °C (using -50 to 50°C)."));

        const QJsonObject b = lines.at(1);
        QCOMPARE(b.value(QStringLiteral("status")).toString(), QStringLiteral("refused"));
        QCOMPARE(b.value(QStringLiteral("message")).toString(), QStringLiteral("High is invalid"));
        QCOMPARE(float(b.value(QStringLiteral("customLow")).toDouble()), -40.1f);
        QVERIFY(b.value(QStringLiteral("customHigh")).isNull());
        QCOMPARE(b.value(QStringLiteral("rangeIndex")).toInt(), -1);
        // The map as the refused evaluation left it: RTD positions already set.
        QCOMPARE(b.value(QStringLiteral("switches")).toObject().value(QStringLiteral("S1")).toString(),
                 QStringLiteral("000000001000"));
    }

    void textReport()
    {
        const Run r = runEval({ good, refused });
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.text().contains(QStringLiteral("Voltage, 0 to 10 V.")));
        QVERIFY(r.text().contains(QStringLiteral("refused: Please select output 1 range")));

        // Every bank row as the map has it, ON or a dot; S4 in single output too,
        // all off and said to be unused.
        for (const QString &file : { QStringLiteral(EXAMPLES_DIR "/dual-analog-output.hvx"), good }) {
            const QJsonObject map = runEval({ "--json", file }).lines().value(0).value("switches").toObject();
            QCOMPARE(map.size(), 4);
            QMap<QString, QString> rows;
            const QString report = runEval({ file }).text();
            for (const QString &l : report.split('\n')) {
                const QStringList cells = l.split(' ', Qt::SkipEmptyParts);
                if (cells.size() == 13 && cells.at(0).startsWith('S'))
                    rows[cells.at(0)] = cells.mid(1).join(QString()).replace("ON", "1").replace('.', '0');
            }
            QCOMPARE(rows.keys(), map.keys());
            for (const QString &bank : map.keys())
                QCOMPARE(rows.value(bank), map.value(bank).toString());
            QCOMPARE(report.contains("S4 is unused in single output: all its switches stay off."), file == good);
        }
    }

    void textReportShowsControlCharacters()
    {
        // Blanks around a custom value pass its number check; in the report
        // they are shown, not obeyed.
        Setup s;
        s.cbInputType = 14;
        s.cbIRRTD = 16;
        s.eCustomLow = QStringLiteral("\r\n-40");
        s.eCustomHigh = QStringLiteral("\x0b"
                                       "0\x0c");
        s.cbOutputRange = 0;
        const Run r = runEval({ write(QStringLiteral("blanks.hvx"), s) });
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.text().contains(QStringLiteral("Custom range: \\r\\n-40 to \\x0B0\\x0C °C")), qPrintable(r.text()));
        QCOMPARE(r.text().count(QLatin1Char('\n')), 11); // name, 2 input, 1 output, blank, heading, 4 banks, S4 note
    }

    void fileNames_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("shown"); // first line of the text report
        QTest::newRow("quote and backslash") << QByteArray("a\"b\\c.hvx") << "a\"b\\\\c.hvx";
        QTest::newRow("line feed") << QByteArray("two\nlines.hvx") << "two\\nlines.hvx";
        QTest::newRow("control characters") << QByteArray("a\tb\bc\fd\re\x01.hvx") << "a\\tb\\x08c\\x0Cd\\re\\x01.hvx";
        QTest::newRow("not UTF-8") << QByteArray("plant-\xff\xe9.hvx") << "plant-\\xFF\\xE9.hvx";
        QTest::newRow("overlong slash") << QByteArray("a\xc0\xaf"
                                                      "b.hvx")
                                        << "a\\xC0\\xAFb.hvx";
        QTest::newRow("four-byte character")
            << QByteArray("\xF0\x9F\x94\xA5 \xE2\x82\xAC.hvx") << "\U0001F525 \u20AC.hvx";
    }

    void fileNames()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, shown);
        const QByteArray path = QFile::encodeName(m_dir.path()) + '/' + name;
        QVERIFY(QFile::copy(good, m_dir.filePath("copy.hvx")));
        QCOMPARE(::rename(QFile::encodeName(m_dir.filePath("copy.hvx")).constData(), path.constData()), 0);
        const auto remove = qScopeGuard([&] { ::unlink(path.constData()); }); // not every name can be removed as text
        // Passed in a NUL-separated list, byte for byte.
        const QStringList args{ "--null", "--files-from", "-" };
        const QJsonObject o = runEval(QStringList{ "--json" } + args, "C.UTF-8", path + '\0').lines().value(0);
        QCOMPARE(o.value("status").toString(), QStringLiteral("ok"));
        QCOMPARE(o.value("file").toString(), QString::fromUtf8(path)); // U+FFFD for what is not UTF-8
        const bool utf8 = QString::fromUtf8(path).toUtf8() == path;
        QCOMPARE(QByteArray::fromHex(o.value("fileBytes").toString().toLatin1()), utf8 ? QByteArray() : path);
        const Run report = runEval(args, "C.UTF-8", path + '\0');
        QCOMPARE(report.text().section('\n', 0, 0), m_dir.path() + '/' + shown);
    }

    void filesFrom_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("list"); // standard input
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("files"); // in the order reported
        QTest::addColumn<QString>("error"); // on standard error; empty: nothing there
        // clang-format off
        QTest::newRow("lines, after the command line") << QStringList{ "REFUSED", "--files-from", "-" } << QByteArray("GOOD\nTEXT") << 2 << "REFUSED GOOD TEXT" << "";
        QTest::newRow("NUL separated") << QStringList{ "--files-from", "-", "--null" } << QByteArray("GOOD\0GOOD", 9) << 0 << "GOOD GOOD" << "";
        QTest::newRow("list from a file") << QStringList{ "--files-from", "LIST" } << QByteArray() << 1 << "REFUSED" << "";
        QTest::newRow("empty list") << QStringList{ "--files-from", "-" } << QByteArray() << 0 << "" << "";
        QTest::newRow("list missing") << QStringList{ "GOOD", "--files-from", "MISSING" } << QByteArray() << 2 << ""
            << "the file list MISSING could not be read: No such file or directory";
        QTest::newRow("list is a folder") << QStringList{ "GOOD", "--files-from", "DIR" } << QByteArray() << 2 << ""
            << "the file list DIR could not be read: Is a directory";
        QTest::newRow("name of 4,096 bytes") << QStringList{ "--files-from", "-" } << QByteArray(4096, 'n') + "\nGOOD" << 2 << QString(4096, 'n') + " GOOD" << "";
        QTest::newRow("names across reads") << QStringList{ "--files-from", "-" } << (QByteArray(4000, 'n') + '\n').repeated(17) + "GOOD" << 2
            << (QString(4000, 'n') + ' ').repeated(17) + "GOOD" << "";
        QTest::newRow("name of 4,097 bytes") << QStringList{ "--files-from", "-" } << "GOOD\n" + QByteArray(4097, 'n') << 64 << ""
            << "the file list standard input could not be read: name 2 is longer";
        QTest::newRow("endless name") << QStringList{ "--files-from", "/dev/zero" } << QByteArray() << 64 << "" << "name 1 is longer than 4,096 bytes";
        QTest::newRow("empty name") << QStringList{ "--files-from", "-" } << QByteArray("GOOD\n\nTEXT\n") << 64 << "" << "name 2 is empty";
        QTest::newRow("endless list of empty names") << QStringList{ "--null", "--files-from", "/dev/zero" } << QByteArray() << 64 << "" << "name 1 is empty";
        QTest::newRow("a million names and one") << QStringList{ "--files-from", "-" } << QByteArray("x\n").repeated(1000001) << 64 << ""
            << "standard input could not be read: it holds more than 1,000,000 names";
        // clang-format on
    }

    void filesFrom()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, list);
        QFETCH(int, status);
        QFETCH(QString, files);
        QFETCH(QString, error);
        writeFile(m_dir.filePath("list.txt"), refused.toUtf8() + '\n');
        for (const auto &[from, to] : { std::pair{ "GOOD", good },
                                        { "REFUSED", refused },
                                        { "TEXT", text },
                                        { "LIST", m_dir.filePath("list.txt") },
                                        { "MISSING", m_dir.filePath("missing.txt") },
                                        { "DIR", m_dir.path() } }) {
            args.replaceInStrings(from, to);
            list.replace(from, to.toUtf8());
            files.replace(from, to);
            error.replace(from, to);
        }
        const Run r = runEval(QStringList{ "--json" } + args, "C.UTF-8", list);
        QCOMPARE(r.exitCode, status);
        QStringList reported;
        for (const QJsonObject &o : r.lines())
            reported << o.value("file").toString();
        QCOMPARE(reported.join(' '), files);
        QVERIFY2(error.isEmpty() ? r.err.isEmpty() : r.err.contains(error), qPrintable(r.err));
    }

    void pdfNeverOverwritesAnInput_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QByteArray>("list");
        QTest::newRow("same path") << "in.hvx" << QByteArray();
        QTest::newRow("other path") << "sub/../in.hvx" << QByteArray();
        QTest::newRow("symbolic link") << "link.hvx" << QByteArray();
        QTest::newRow("hard link") << "hard.hvx" << QByteArray();
        QTest::newRow("input from a list") << "in.hvx" << QByteArray("in.hvx\n");
    }

    void pdfNeverOverwritesAnInput()
    {
        QFETCH(QString, output);
        QFETCH(QByteArray, list);
        QTemporaryDir dir;
        QVERIFY(QFile::copy(good, dir.filePath("in.hvx")) && QDir(dir.path()).mkdir("sub"));
        QVERIFY(QFile::link(dir.filePath("in.hvx"), dir.filePath("link.hvx")));
        QCOMPARE(::link(QFile::encodeName(dir.filePath("in.hvx")), QFile::encodeName(dir.filePath("hard.hvx"))), 0);
        QDir::setCurrent(dir.path());
        const QStringList inputs = list.isEmpty() ? QStringList{ good, "in.hvx" } : QStringList{ "--files-from", "-" };
        const Run r = runEval(QStringList{ "--pdf", output } + inputs, "C.UTF-8", list);
        QDir::setCurrent(QDir::rootPath());
        QCOMPARE(r.exitCode, 64);
        QVERIFY(r.err.contains(output));
        QFile in(dir.filePath("in.hvx")), original(good);
        QVERIFY(in.open(QIODevice::ReadOnly) && original.open(QIODevice::ReadOnly));
        QCOMPARE(in.readAll(), original.readAll());
    }

    // A PDF name that is not UTF-8 cannot pass through the printing, which takes
    // names as text: it is refused rather than written under another name.
    void pdfNameNotUtf8()
    {
        QTemporaryDir dir;
        QProcess p;
        p.setWorkingDirectory(dir.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start("/bin/sh", { "-c", "exec \"$0\" --pdf \"$(printf 'out-\\377.pdf')\" \"$1\"", HALVEX_EVAL, good });
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(p.readAllStandardError().contains("out-\\xFF.pdf could not be created: the name is not UTF-8"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
    }

    void pdfOnlyOverRegularFiles_data()
    {
        QTest::addColumn<QString>("there"); // at out.pdf before the run
        QTest::addColumn<int>("status");
        QTest::newRow("device") << "device" << 2;
        QTest::newRow("FIFO") << "fifo" << 2;
        QTest::newRow("link to a device") << "link to a device" << 2;
        QTest::newRow("link to a file") << "link to a file" << 0;
    }

    // Only a regular file is ever replaced by the PDF; through a link, the file
    // it leads to is replaced and the link kept.
    void pdfOnlyOverRegularFiles()
    {
        QFETCH(QString, there);
        QFETCH(int, status);
        QTemporaryDir dir;
        const QByteArray out = QFile::encodeName(dir.filePath("out.pdf"));
        // A device node of the test's own (the null device's numbers): a fault
        // can never replace the system's.
        const QByteArray device = there == "device" ? out : QFile::encodeName(dir.filePath("device"));
        if (there.endsWith("device") && ::mknod(device.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            QSKIP("a device node can be made only by root");
        if (there == "fifo")
            QCOMPARE(::mkfifo(out.constData(), 0600), 0);
        if (there.startsWith("link to"))
            QCOMPARE(::symlink(there.endsWith("file") ? "kept.pdf" : "device", out.constData()), 0);
        struct stat before {};
        QCOMPARE(::lstat(out.constData(), &before), 0);

        const Run r = runEval({ "--pdf", dir.filePath("out.pdf"), good });
        QCOMPARE(r.exitCode, status);
        struct stat after {};
        QCOMPARE(::lstat(out.constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino); // the same file, or the same link
        QCOMPARE(after.st_mode, before.st_mode);
        if (status == 0) {
            QCOMPARE(r.err, QString()); // nothing but the tool's own messages
            QFile kept(dir.filePath("kept.pdf"));
            QVERIFY(kept.open(QIODevice::ReadOnly) && kept.read(5) == "%PDF-");
        } else {
            QVERIFY2(r.err.contains(dir.filePath("out.pdf") + " could not be written: it is "), qPrintable(r.err));
            QVERIFY(r.text().isEmpty()); // refused before any work
        }
        QCOMPARE(QDir(dir.path()).entryList({ "*.part" }, QDir::Files | QDir::Hidden), QStringList());
    }

    void outputErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("stdoutTo");
        QTest::newRow("json, disk full") << QStringList{ "--json", "GOOD" } << "/dev/full";
        QTest::newRow("text, output closed") << QStringList{ "GOOD" } << "closed";
        QTest::newRow("version, disk full") << QStringList{ "--version" } << "/dev/full";
        const QString zeros = QStringLiteral("S1=000000000000,S2=000000000000,S3=000000000000,S4=000000000000");
        QTest::newRow("decode, disk full") << QStringList{ "--decode", zeros } << "/dev/full";
        QTest::newRow("verify, disk full") << QStringList{ "--verify", "GOOD", zeros } << "/dev/full";
    }

    void outputErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, stdoutTo);
        const Run r = runEval(args.replaceInStrings("GOOD", good), "C.UTF-8", {}, stdoutTo);
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains("could not be written"), qPrintable(r.err));
    }

    void filesAreIndependent()
    {
        // A dual-output file followed by a single one: nothing carries over.
        const QString dual = QStringLiteral(EXAMPLES_DIR "/dual-analog-output.hvx");
        const QList<QJsonObject> lines = runEval({ QStringLiteral("--json"), dual, good }).lines();
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(1).value(QStringLiteral("switches")).toObject().value(QStringLiteral("S4")).toString(),
                 QStringLiteral("000000000000"));
    }

    void sameInEveryLocale_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::newRow("C") << QByteArray("C.UTF-8");
        QTest::newRow("German") << QByteArray("de_DE.UTF-8");
    }

    // A file's custom texts mean the same whatever the user's locale: a point and
    // a comma are both read as the decimal separator.
    void sameInEveryLocale()
    {
        QFETCH(QByteArray, locale);
        // The German locale is a real one, generated by scripts/deps.sh: the C
        // library then also writes numbers with a decimal comma.
        locale_t real = newlocale(LC_ALL_MASK, locale.constData(), nullptr);
        QVERIFY2(real, "locale missing: run scripts/deps.sh");
        freelocale(real);

        Setup s;
        s.cbInputType = 0;
        s.cbIRVoltage = 27;
        s.cbOutputRange = 1;
        QStringList paths;
        for (const char *low : { "0,5", "0.5" })
            for (const char *high : { "7,5", "7.5" }) {
                s.eCustomLow = QString::fromLatin1(low);
                s.eCustomHigh = QString::fromLatin1(high);
                paths << write(QStringLiteral("locale%1.hvx").arg(paths.size()), s);
            }
        const QList<QJsonObject> lines = runEval(QStringList{ QStringLiteral("--json") } + paths, locale).lines();
        QCOMPARE(lines.size(), paths.size());
        for (const QJsonObject &o : lines) {
            QCOMPARE(o.value(QStringLiteral("status")).toString(), QStringLiteral("ok"));
            QCOMPARE(o.value(QStringLiteral("rangeIndex")).toInt(), 4);
            QCOMPARE(o.value(QStringLiteral("customLow")).toDouble(), 0.5);
            QCOMPARE(o.value(QStringLiteral("customHigh")).toDouble(), 7.5);
        }
    }

private:
    QTemporaryDir m_dir;
    QString write(const QString &name, const Setup &s)
    {
        const QString path = m_dir.filePath(name);
        saveSetupFile(path, s);
        return path;
    }
    QString good, refused, text;
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli_eval.moc"
