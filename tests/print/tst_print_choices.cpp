// The print job made of the print dialog's choices: the queue, the instance
// and the options the print server receives.

#include "printchoices.h"

#include <QtTest>

using namespace hvx;

Q_DECLARE_METATYPE(hvx::PrintChoices)

class TestPrintChoices : public QObject {
    Q_OBJECT

private slots:
    void request_data()
    {
        QTest::addColumn<PrintChoices>("choices");
        QTest::addColumn<QString>("queue");
        QTest::addColumn<QString>("instance");
        QTest::addColumn<QStringList>("options"); // in any order

        const auto with = [](auto change) {
            PrintChoices c;
            c.printerName = QStringLiteral("office");
            c.paper = QStringLiteral("A4");
            change(c);
            return c;
        };
        using C = PrintChoices &;
        const QStringList plain{ "media=A4", "print-color-mode=color" };
        const QString uncollated = "multiple-document-handling=separate-documents-uncollated-copies";
        const QString collated = "multiple-document-handling=separate-documents-collated-copies";
        // clang-format off
        QTest::newRow("plain") << with([](C) {}) << "office" << "" << plain;
        QTest::newRow("instance") << with([](C c) { c.printerName = "office/draft"; }) << "office" << "draft" << plain;
        QTest::newRow("no printer") << with([](C c) { c.printerName.clear(); }) << "" << "" << plain;
        QTest::newRow("uncollated copies") << with([](C c) { c.copies = 3; c.collate = false; }) << "office" << ""
                                           << plain + QStringList{ "copies=3", "Collate=False", uncollated };
        QTest::newRow("collated copies") << with([](C c) { c.copies = 2; }) << "office" << ""
                                         << plain + QStringList{ "copies=2", "Collate=True", collated };
        QTest::newRow("one uncollated copy") << with([](C c) { c.collate = false; }) << "office" << "" << plain;
        QTest::newRow("landscape, long edge, grey")
            << with([](C c) { c.landscape = true; c.duplex = QPrinter::DuplexLongSide; c.grayscale = true; })
            << "office" << ""
            << QStringList{ "media=A4", "orientation-requested=4", "sides=two-sided-long-edge", "print-color-mode=monochrome" };
        QTest::newRow("short edge") << with([](C c) { c.duplex = QPrinter::DuplexShortSide; }) << "office" << ""
                                    << plain + QStringList{ "sides=two-sided-short-edge" };
        QTest::newRow("one-sided, printer's paper") << with([](C c) { c.duplex = QPrinter::DuplexNone; c.paper.clear(); })
                                                    << "office" << "" << QStringList{ "sides=one-sided", "print-color-mode=color" };
        QTest::newRow("reversed, pages 2 to 3") << with([](C c) { c.lastPageFirst = true; c.fromPage = 2; c.toPage = 3; })
                                                << "office" << "" << plain + QStringList{ "outputorder=reverse", "page-ranges=2-3" };
        QTest::newRow("the first page alone") << with([](C c) { c.fromPage = 1; c.toPage = 1; })
                                              << "office" << "" << plain + QStringList{ "page-ranges=1-1" };
        QTest::newRow("the dialog's own list")
            << with([](C c) { c.systemOptions = QStringList{ "number-up", "2", "job-sheets", "standard,none", "InputSlot", "Tray2" }; })
            << "office" << "" << plain + QStringList{ "number-up=2", "job-sheets=standard,none", "InputSlot=Tray2" };
        QTest::newRow("the dialog's list overrides; unusable names dropped")
            << with([](C c) { c.systemOptions = QStringList{ "print-color-mode", "monochrome", "", "x", "a=b", "c", "number-up" }; })
            << "office" << "" << QStringList{ "media=A4", "print-color-mode=monochrome" };
        // clang-format on
    }
    void request()
    {
        QFETCH(PrintChoices, choices);
        QFETCH(QString, queue);
        QFETCH(QString, instance);
        QFETCH(QStringList, options);
        const PrintRequest r = printRequest(choices);
        QCOMPARE(r.queue, queue);
        QCOMPARE(r.instance, instance);
        QStringList sent = r.options;
        sent.sort();
        options.sort();
        QCOMPARE(sent, options);
    }
};

QTEST_APPLESS_MAIN(TestPrintChoices)
#include "tst_print_choices.moc"
