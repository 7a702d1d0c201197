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

        PrintChoices plain;
        plain.printerName = QStringLiteral("office");
        plain.paper = QStringLiteral("A4");
        const QStringList plainOptions{ "media=A4", "print-color-mode=color" };
        auto with = [&plain](auto change) {
            PrintChoices c = plain;
            change(c);
            return c;
        };

        QTest::newRow("plain") << plain << "office"
                               << "" << plainOptions;
        QTest::newRow("instance") << with([](PrintChoices &c) { c.printerName = QStringLiteral("office/draft"); })
                                  << "office"
                                  << "draft" << plainOptions;
        QTest::newRow("no printer") << with([](PrintChoices &c) { c.printerName.clear(); }) << ""
                                    << "" << plainOptions;
        QTest::newRow("uncollated copies") << with([](PrintChoices &c) {
            c.copies = 3;
            c.collate = false;
        }) << "office"
                                           << ""
                                           << plainOptions
                + QStringList{ "copies=3", "Collate=False",
                               "multiple-document-handling=separate-documents-uncollated-copies" };
        QTest::newRow("collated copies") << with([](PrintChoices &c) { c.copies = 2; }) << "office"
                                         << ""
                                         << plainOptions
                + QStringList{ "copies=2", "Collate=True",
                               "multiple-document-handling=separate-documents-collated-copies" };
        QTest::newRow("one uncollated copy") << with([](PrintChoices &c) { c.collate = false; }) << "office"
                                             << "" << plainOptions;
        QTest::newRow("landscape, long edge, grey") << with([](PrintChoices &c) {
            c.landscape = true;
            c.duplex = QPrinter::DuplexLongSide;
            c.grayscale = true;
        }) << "office"
                                                    << ""
                                                    << QStringList{ "media=A4", "orientation-requested=4",
                                                                    "sides=two-sided-long-edge",
                                                                    "print-color-mode=monochrome" };
        QTest::newRow("short edge") << with([](PrintChoices &c) { c.duplex = QPrinter::DuplexShortSide; }) << "office"
                                    << "" << plainOptions + QStringList{ "sides=two-sided-short-edge" };
        QTest::newRow("one-sided, printer's paper") << with([](PrintChoices &c) {
            c.duplex = QPrinter::DuplexNone;
            c.paper.clear();
        }) << "office"
                                                    << "" << QStringList{ "sides=one-sided", "print-color-mode=color" };
        QTest::newRow("reversed, pages 2 to 3")
            << with([](PrintChoices &c) {
                   c.lastPageFirst = true;
                   c.fromPage = 2;
                   c.toPage = 3;
               })
            << "office"
            << "" << plainOptions + QStringList{ "outputorder=reverse", "page-ranges=2-3" };
        QTest::newRow("the dialog's own list") << with([](PrintChoices &c) {
            c.systemOptions = QStringList{ "number-up",    "2",          "page-set",
                                           "odd",          "job-sheets", "standard,none",
                                           "job-priority", "70",         "job-hold-until",
                                           "indefinite",   "InputSlot",  "Tray2" };
        }) << "office"
                                               << "" << plainOptions + QStringList{ "number-up=2",
                                                                                    "page-set=odd",
                                                                                    "job-sheets=standard,none",
                                                                                    "job-priority=70",
                                                                                    "job-hold-until=indefinite",
                                                                                    "InputSlot=Tray2" };
        QTest::newRow("the dialog's list overrides; unusable names dropped")
            << with([](PrintChoices &c) {
                   c.systemOptions = QStringList{ "print-color-mode", "monochrome", "", "x", "a=b", "c", "number-up" };
               })
            << "office"
            << "" << QStringList{ "media=A4", "print-color-mode=monochrome" };
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
