// The form printer on a recording printer: page geometry, banding, colour
// analysis, the band bitmaps byte for byte, transfers and their fallbacks,
// progress and cancel.

#include "abortdialog.h"
#include "bandbitmap.h"
#include "controlpaint.h"
#include "printjob.h"
#include "prnutils.h"
#include "recordingdevice.h"
#include "scripteddialogs.h"
#include "testwindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace hvx;
using Call = RecordingPrinterDevice::Call;

Q_DECLARE_METATYPE(hvx::PrintRect)

namespace {

void resetSettings()
{
    SetShowErrors(1);
    SetUseDeviceBitmaps(0);
    SetReduction(1, 1);
    SetDriverStretch(0);
    SwapMessageOwner(nullptr);
}

QSize screenSize() { return QGuiApplication::primaryScreen()->size(); }

// An image of the given colours, one pixel each, row by row, then the last
// colour repeated to fill.
QRgb colourNumber(int i) { return qRgb((i * 7) & 0xff, (i * 13) & 0xff, (i >> 8) * 0x40); }

// An image of the given number of colours, one pixel each, row by row; the
// rest of the last row repeats the last colour.
QImage imageOfColours(int colours, int width = 32)
{
    const int height = (colours + width - 1) / width;
    QImage image(width, std::max(1, height), QImage::Format_RGB32);
    image.fill(colourNumber(colours - 1));
    for (int i = 0; i < colours; ++i)
        image.setPixel(i % width, i / width, colourNumber(i));
    return image;
}

QImage imageFromRows(const QList<QList<QRgb>> &rows)
{
    QImage image(rows.first().size(), rows.size(), QImage::Format_RGB32);
    for (int y = 0; y < rows.size(); ++y)
        for (int x = 0; x < rows[y].size(); ++x)
            image.setPixel(x, y, rows[y][x]);
    return image;
}

// The page as the recorded transfers drew it.
QImage assemblePage(const RecordingPrinterDevice &device, QSize page)
{
    QImage result(page, QImage::Format_RGB32);
    result.fill(Qt::white);
    QPainter p(&result);
    for (const RecordingPrinterDevice::Record *t : device.transfers()) {
        DibInfo info;
        info.Header = t->header;
        std::copy(t->colors.begin(), t->colors.end(), info.Colors);
        const QImage band = dibToImage(info, t->bits.data());
        p.drawImage(QRect(t->dest.Left, t->dest.Top, t->dest.width(), t->dest.height()), band);
    }
    return result;
}

TAbortDialog *findProgressDialog()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *d = qobject_cast<TAbortDialog *>(w))
            return d;
    return nullptr;
}

// A click on Cancel as the user's windowing system sends it: through the
// dialog's window, queued, so that it is seen at the next poll.
void postCancelClick(TAbortDialog *dialog)
{
    const QPointF at = dialog->btnCancel->geometry().center();
    for (const auto &[type, buttons] : { std::pair{ QEvent::MouseButtonPress, Qt::LeftButton },
                                         std::pair{ QEvent::MouseButtonRelease, Qt::NoButton } })
        QCoreApplication::postEvent(dialog->windowHandle(), new QMouseEvent(type, at, at, Qt::LeftButton, buttons, {}));
}

} // namespace

class TestFormPrinter : public QObject {
    Q_OBJECT

private slots:
    void init() { resetSettings(); }

    void pageMetrics_data()
    {
        QTest::addColumn<int>("offsetX");
        QTest::addColumn<int>("offsetY");
        QTest::addColumn<int>("physicalWidth");
        QTest::addColumn<int>("physicalHeight");
        QTest::addColumn<int>("printableWidth");
        QTest::addColumn<int>("printableHeight");
        QTest::addColumn<int>("margin");
        QTest::addColumn<int>("usableWidth");
        QTest::addColumn<int>("usableHeight");
        QTest::addColumn<int>("uniformLeft");
        QTest::addColumn<int>("uniformTop");
        QTest::newRow("even edges") << 100 << 100 << 5000 << 7000 << 4800 << 6800 << 100 << 4800 << 6800 << 0 << 0;
        // The widest edge (the unprintable bottom, 250) sets the margin.
        QTest::newRow("uneven edges") << 50 << 120 << 5000 << 7000 << 4900 << 6630 << 250 << 4500 << 6500 << 200 << 130;
        QTest::newRow("paper size unknown") << 0 << 0 << 0 << 0 << 3000 << 4000 << 0 << 3000 << 4000 << 0 << 0;
    }
    void pageMetrics()
    {
        QFETCH(int, offsetX);
        QFETCH(int, offsetY);
        QFETCH(int, physicalWidth);
        QFETCH(int, physicalHeight);
        QFETCH(int, printableWidth);
        QFETCH(int, printableHeight);
        RecordingPrinterDevice device;
        device.deviceCaps = DeviceCaps{
            offsetX, offsetY, physicalWidth, physicalHeight, printableWidth, printableHeight, 300, 600, true
        };
        PageMetrics m;
        QVERIFY(GetPageMetrics(&device, &m));
        QTEST(int(m.MarginLeft), "margin");
        QCOMPARE(m.MarginRight, m.MarginLeft);
        QCOMPARE(m.MarginTop, m.MarginLeft);
        QCOMPARE(m.MarginBottom, m.MarginLeft);
        QTEST(int(m.UsableWidth), "usableWidth");
        QTEST(int(m.UsableHeight), "usableHeight");
        QTEST(int(m.UniformLeft), "uniformLeft");
        QTEST(int(m.UniformTop), "uniformTop");
        QCOMPARE(m.DpiX, 300);
        QCOMPARE(m.DpiY, 600);
        QVERIFY(!GetPageMetrics(&device, nullptr));
    }

    void placement()
    {
        // Usable width 4800 inside a uniform margin of 100.
        RecordingPrinterDevice device;
        device.deviceCaps = DeviceCaps{ 100, 100, 5000, 7000, 4800, 6800, 600, 600, true };
        PageMetrics m;
        QVERIFY(GetPageMetrics(&device, &m));
        QCOMPARE(placeImageOnPage(QSize(628, 452), m), (PrintRect{ 580, 580, 4420, 3343 }));
        // A window without width cannot be fitted.
        QVERIFY(placeImageOnPage(QSize(0, 452), m).isEmpty());
        FitRecord none{ 0, 452, 3840, 7, 8, 9 };
        QVERIFY(!FitToWidth(&none));
        QCOMPARE(none.TargetHeight, 7.0);
    }

    void banding_data()
    {
        QTest::addColumn<PrintRect>("area");
        QTest::addColumn<QSize>("band");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("count");
        QTest::addColumn<PrintRect>("last");
        QTest::newRow("exact") << PrintRect{ 0, 0, 200, 100 } << QSize(100, 50) << true << 4
                               << PrintRect{ 100, 50, 200, 100 };
        QTest::newRow("ragged") << PrintRect{ 10, 20, 260, 120 } << QSize(100, 40) << true << 9
                                << PrintRect{ 210, 100, 260, 120 };
        QTest::newRow("one band") << PrintRect{ 5, 5, 6, 6 } << QSize(800, 600) << true << 1 << PrintRect{ 5, 5, 6, 6 };
        QTest::newRow("empty area") << PrintRect{ 5, 5, 5, 50 } << QSize(10, 10) << true << 0 << PrintRect{};
        QTest::newRow("zero band") << PrintRect{ 0, 0, 10, 10 } << QSize(0, 10) << false << 0 << PrintRect{};
        QTest::newRow("inside out") << PrintRect{ 0, 10, 10, 0 } << QSize(5, 5) << false << 0 << PrintRect{};
    }
    void banding()
    {
        QFETCH(PrintRect, area);
        QFETCH(QSize, band);
        QFETCH(bool, valid);
        QFETCH(int, count);
        QFETCH(PrintRect, last);

        int counted = -1;
        QCOMPARE(CountBands(area.Left, area.Top, area.Right, area.Bottom, band.width(), band.height(), &counted),
                 valid);
        QList<PrintBand> seen;
        const bool walked = ForEachBand(area.Left, area.Top, area.Right, area.Bottom, band.width(), band.height(),
                                        [&seen](const PrintBand &b) {
                                            seen.append(b);
                                            return true;
                                        });
        QCOMPARE(walked, valid);
        if (!valid) {
            QVERIFY(seen.isEmpty());
            return;
        }
        QCOMPARE(counted, count);
        QCOMPARE(seen.size(), count);
        qint64 covered = 0;
        for (int i = 0; i < seen.size(); ++i) {
            const PrintBand &b = seen[i];
            QCOMPARE(b.Number, i + 1);
            QCOMPARE(b.Count, count);
            QCOMPARE(b.Area, area);
            QVERIFY(b.Band.width() <= band.width() && b.Band.height() <= band.height());
            QCOMPARE(b.Band.Left, area.Left + (b.Column - 1) * band.width());
            QCOMPARE(b.Band.Top, area.Top + (b.Row - 1) * band.height());
            covered += qint64(b.Width) * b.Height;
        }
        QCOMPARE(covered, qint64(area.width()) * area.height());
        if (count)
            QCOMPARE(seen.last().Band, last);
    }

    // The class and windowed-control tests refuse what is not there.
    void controlKinds()
    {
        QPushButton button;
        QVERIFY(InheritsFromClassName(&button, "QAbstractButton") && !InheritsFromClassName(&button, "QLabel"));
        QVERIFY(!InheritsFromClassName(nullptr, "QWidget") && !InheritsFromClassName(&button, nullptr));
        QVERIFY(!isWindowedControl(nullptr) && isWindowedControl(&button));
    }

    void bandingStopsWhenTheRoutineFails()
    {
        int calls = 0;
        QVERIFY(!ForEachBand(0, 0, 300, 300, 100, 100, [&calls](const PrintBand &) { return ++calls < 4; }));
        QCOMPARE(calls, 4);
    }

    void colourAnalysis_data()
    {
        QTest::addColumn<int>("colours");
        QTest::addColumn<bool>("force24");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("tableSize");
        QTest::addColumn<int>("width");
        QTest::newRow("1 colour") << 1 << false << 1 << 1 << 32;
        QTest::newRow("2 colours") << 2 << false << 1 << 2 << 32;
        QTest::newRow("3 colours") << 3 << false << 4 << 3 << 32;
        QTest::newRow("16 colours") << 16 << false << 4 << 16 << 32;
        QTest::newRow("17 colours") << 17 << false << 8 << 17 << 32;
        QTest::newRow("256 colours") << 256 << false << 8 << 256 << 32;
        QTest::newRow("257 colours") << 257 << false << 24 << 0 << 32;
        QTest::newRow("257 colours in one row") << 257 << false << 24 << 0 << 300;
        QTest::newRow("600 colours") << 600 << false << 24 << 0 << 32;
        QTest::newRow("2 colours, 24bit form output") << 2 << true << 24 << 0 << 32;
    }
    void colourAnalysis()
    {
        QFETCH(int, colours);
        QFETCH(bool, force24);
        QFETCH(int, width);
        const QImage image = imageOfColours(colours, width);
        const BandColours result = analyseBandColours(image, force24);
        QTEST(result.bitsPerPixel, "bits");
        QTEST(result.count, "tableSize");
        // The table holds the colours in the order they first appear.
        for (int i = 0; i < result.count; ++i)
            QCOMPARE(result.table[i], uint32_t(image.pixel(i % image.width(), i / image.width()) & 0xffffff));
    }

    void bandBytes_data()
    {
        QTest::addColumn<QImage>("capture");
        QTest::addColumn<bool>("force24");
        QTest::addColumn<int>("bits");
        QTest::addColumn<QList<uint32_t>>("table");
        QTest::addColumn<QByteArray>("bytes");

        const QRgb k = qRgb(0, 0, 0), w = qRgb(255, 255, 255), r = qRgb(255, 0, 0), g = qRgb(0, 255, 0);
        // Ten columns so that a 1-bit row spills into a second byte; rows are
        // padded to 4 bytes and stored bottom row first.
        const QImage twoColours = imageFromRows({ { w, k, w, w, w, w, w, w, k, k }, { k, k, k, k, k, k, k, k, w, k } });
        QTest::newRow("1 bit") << twoColours << false << 1 << QList<uint32_t>{ 0xffffff, 0x000000 }
                               << QByteArray::fromHex("ff400000"
                                                      "40c00000");
        const QImage threeColours = imageFromRows({ { r, g, k }, { k, k, r } });
        QTest::newRow("4 bits") << threeColours << false << 4 << QList<uint32_t>{ 0xff0000, 0x00ff00, 0x000000 }
                                << QByteArray::fromHex("22000000"
                                                       "01200000");
        QImage manyColours = imageOfColours(256, 256);
        QByteArray eightBit(256, 0);
        for (int i = 0; i < 256; ++i)
            eightBit[i] = char(i);
        QList<uint32_t> manyTable;
        for (int i = 0; i < 256; ++i)
            manyTable.append(manyColours.pixel(i, 0) & 0xffffff);
        QTest::newRow("8 bits, a full table") << manyColours << false << 8 << manyTable << eightBit;
        const QImage rgb = imageFromRows({ { qRgb(1, 2, 3), qRgb(4, 5, 6) }, { qRgb(7, 8, 9), qRgb(10, 11, 12) } });
        const QByteArray rgbBytes = QByteArray::fromHex("0908070c0b0a0000"
                                                        "0302010605040000");
        QTest::newRow("24 bits") << rgb << true << 24 << QList<uint32_t>{} << rgbBytes;
        QTest::newRow("24 bits, captured as RGB888")
            << rgb.convertToFormat(QImage::Format_RGB888) << true << 24 << QList<uint32_t>{} << rgbBytes;
    }
    void bandBytes()
    {
        QFETCH(QImage, capture);
        QFETCH(bool, force24);
        QFETCH(QList<uint32_t>, table);
        QFETCH(QByteArray, bytes);

        // The capture at the printer's resolution: one window pixel per dot.
        BandSampling sampling;
        sampling.bandWidth = capture.width();
        sampling.bandHeight = capture.height();
        const BandColours colours = analyseBandColours(capture, force24);
        DibInfo info;
        std::vector<uint8_t> bits;
        QVERIFY(makeBandBitmap(capture, colours, sampling, &info, &bits));
        QCOMPARE(info.Header.Size, 40);
        QCOMPARE(info.Header.Width, capture.width());
        QCOMPARE(info.Header.Height, capture.height());
        QCOMPARE(info.Header.Planes, uint16_t(1));
        QTEST(int(info.Header.BitCount), "bits");
        QCOMPARE(info.Header.Compression, 0u);
        QCOMPARE(info.Header.ClrUsed, uint32_t(table.size()));
        QCOMPARE(info.Header.ClrImportant, uint32_t(table.size()));
        QCOMPARE(info.Header.SizeImage, uint32_t(bytes.size()));
        for (int i = 0; i < table.size(); ++i)
            QCOMPARE(info.Colors[i], table[i]);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(bits.data()), int(bits.size())), bytes);
        QVERIFY(!makeBandBitmap(QImage(), colours, sampling, &info, &bits)); // a failed capture
        // In memory a table entry reads blue, green, red, zero.
        if (!table.isEmpty()) {
            const auto *entry = reinterpret_cast<const uint8_t *>(&info.Colors[0]);
            QCOMPARE(entry[0], uint8_t(table[0] & 0xff));
            QCOMPARE(entry[2], uint8_t(table[0] >> 16));
            QCOMPARE(entry[3], uint8_t(0));
        }
    }

    void bandSampling_data()
    {
        QTest::addColumn<int>("reduce");
        QTest::addColumn<bool>("stretch");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QList<int>>("sourceColumns");
        // A band of 10 × 6 printer pixels from a capture of 4 × 3 window
        // pixels (IX = IY = 0.3, so the capture is 10 × 0.3 + 1 wide).
        QTest::newRow("enlarged") << 1 << false << QSize(10, 6) << QList<int>{ 0, 0, 0, 0, 1, 1, 1, 2, 2, 2 };
        QTest::newRow("compress") << 2 << false << QSize(5, 3) << QList<int>{ 0, 0, 1, 1, 2 };
        QTest::newRow("winstretch") << 1 << true << QSize(3, 2) << QList<int>{ 0, 1, 2 };
        QTest::newRow("winstretch, compress") << 2 << true << QSize(1, 1) << QList<int>{ 0 };
    }
    void bandSampling()
    {
        QFETCH(int, reduce);
        QFETCH(bool, stretch);
        QFETCH(QSize, size);
        QFETCH(QList<int>, sourceColumns);
        // Each capture column has a grey of its own; 8 bits per pixel.
        QImage capture(4, 3, QImage::Format_RGB32);
        for (int x = 0; x < 4; ++x)
            for (int y = 0; y < 3; ++y)
                capture.setPixel(x, y, qRgb(x * 40 + y, x * 40 + y, x * 40 + y));
        BandSampling sampling;
        sampling.bandWidth = 10;
        sampling.bandHeight = 6;
        sampling.ix = sampling.iy = 0.3L;
        sampling.reduceX = sampling.reduceY = reduce;
        sampling.driverStretch = stretch;
        const BandColours colours = analyseBandColours(capture, false);
        QCOMPARE(colours.bitsPerPixel, 4);
        DibInfo info;
        std::vector<uint8_t> bits;
        QVERIFY(makeBandBitmap(capture, colours, sampling, &info, &bits));
        QCOMPARE(QSize(info.Header.Width, info.Header.Height), size);
        const QImage out = dibToImage(info, bits.data());
        for (int c = 0; c < size.width(); ++c)
            QCOMPARE(qRed(out.pixel(c, 0)), sourceColumns[c] * 40);
    }

    // The printed page shows the window, enlarged pixel for pixel, across
    // band boundaries, also when the printer does the enlarging.
    void printedImageMatchesWindow_data()
    {
        QTest::addColumn<bool>("force24");
        QTest::addColumn<int>("reduce");
        QTest::addColumn<bool>("stretch");
        QTest::addColumn<bool>("progress");
        QTest::addColumn<double>("dots"); // printer dots per window pixel
        QTest::addColumn<bool>("hidden"); // the window holds hidden controls
        QTest::newRow("palette bands") << false << 1 << false << false << 8.0 << false;
        QTest::newRow("24bit form output") << true << 1 << false << false << 8.0 << false;
        QTest::newRow("compress") << false << 2 << false << false << 8.0 << false;
        QTest::newRow("winstretch") << false << 1 << true << false << 8.0 << false;
        // The window looks the same while its job shows progress.
        QTest::newRow("with progress") << false << 1 << false << true << 8.0 << false;
        // Bands that start inside a window pixel sample on the first band's
        // grid: no window row or column doubled or lost at a band's edge.
        QTest::newRow("bands inside window pixels") << false << 1 << false << false << 7.3 << false;
        // What is hidden on screen is not printed, a panel with its contents
        // or a plain shape.
        QTest::newRow("hidden controls") << false << 1 << false << false << 8.0 << true;
    }
    void printedImageMatchesWindow()
    {
        QFETCH(bool, force24);
        QFETCH(int, reduce);
        QFETCH(bool, stretch);
        QFETCH(bool, progress);
        QFETCH(double, dots);
        QFETCH(bool, hidden);
        printtest::TestWindow window;
        if (hidden) {
            QFrame *panel = printtest::addBlock(&window, QRect(10, 10, 150, 100), Qt::red);
            printtest::addBlock(panel, QRect(5, 5, 20, 20), Qt::blue);
            panel->hide();
            printtest::addBlock(&window, QRect(150, 90, 140, 100), Qt::green)->hide();
        }
        const QImage reference = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(reference.size(), QSize(300, 200));

        SetReduction(reduce, reduce);
        SetDriverStretch(stretch);
        RecordingPrinterDevice device;
        const QRect dest(48, 32, qRound(300 * dots), qRound(200 * dots));
        PrintJobOptions options;
        options.Force24Bit = force24;
        options.ShowProgress = progress;
        QVERIFY(PrintWindowImage(&window, &device, dest.x(), dest.y(), dest.width(), dest.height(), options));
        const QSize screen = screenSize();
        const int expectedBands = ((dest.width() + screen.width() - 1) / screen.width())
            * ((dest.height() + screen.height() - 1) / screen.height());
        QCOMPARE(int(device.transfers().size()), expectedBands);

        const QImage page = assemblePage(device, QSize(dest.right() + 1, dest.bottom() + 1));
        int wrong = 0;
        // Dots that lie on the edge of a window pixel may go either way.
        auto windowPixel = [](int dot, long double perDot, int *pixel) {
            const long double at = dot * perDot;
            *pixel = int(at);
            return at - *pixel > 1e-6L && at - *pixel < 1 - 1e-6L;
        };
        for (int y = dest.top(); y <= dest.bottom(); y += 3) {
            for (int x = dest.left(); x <= dest.right(); x += 3) {
                int wx = 0;
                int wy = 0;
                if (!windowPixel(x - dest.left(), 300.0L / dest.width(), &wx)
                    || !windowPixel(y - dest.top(), 200.0L / dest.height(), &wy))
                    continue;
                const QRgb expected = reference.pixel(wx, wy);
                if ((page.pixel(x, y) & 0xffffff) != (expected & 0xffffff) && ++wrong < 5)
                    qWarning("dot %d,%d differs from the window", x, y);
            }
        }
        QCOMPARE(wrong, 0);
    }

    void twoColourBandsGoAtOneBit()
    {
        printtest::TestWindow window(false);
        RecordingPrinterDevice device;
        QVERIFY(PrintWindowImage(&window, &device, 0, 0, 3000, 2000, PrintJobOptions{}));
        QVERIFY(device.transfers().size() > 1);
        for (const auto *t : device.transfers()) {
            QCOMPARE(t->call, Call::StretchDIBits);
            QCOMPARE(int(t->header.BitCount), 1);
            QVERIFY(t->colors.size() <= 2);
        }
    }

    // Labels and shapes are painted before the controls that hold other
    // controls or take input, so a panel covers a label it overlaps whatever
    // their order.
    void containersPaintOverPlainControls()
    {
        QWidget window;
        window.resize(100, 100);
        printtest::setWindowColour(&window, Qt::white);
        QFrame *panel = printtest::addBlock(&window, QRect(10, 10, 50, 50), Qt::blue);
        printtest::addBlock(panel, QRect(5, 5, 5, 5), Qt::white);
        printtest::addBlock(&window, QRect(40, 40, 50, 50), Qt::red); // made later: on top on screen
        // A control that takes input lies above plain ones too.
        printtest::addBlock(&window, QRect(0, 70, 30, 30), Qt::green)->setFocusPolicy(Qt::StrongFocus);
        printtest::addBlock(&window, QRect(20, 80, 15, 15), Qt::red);
        RecordingPrinterDevice device;
        QVERIFY(PrintWindowImage(&window, &device, 0, 0, 100, 100, PrintJobOptions{}));
        const QImage page = assemblePage(device, QSize(100, 100));
        QCOMPARE(page.pixel(50, 50) & 0xffffff, 0x0000ffu);
        QCOMPARE(page.pixel(70, 70) & 0xffffff, 0xff0000u);
        QCOMPARE(page.pixel(25, 85) & 0xffffff, 0x00ff00u);
    }

    void imageCutAtThePrintableArea()
    {
        printtest::TestWindow window;
        RecordingPrinterDevice device; // printable 4800 × 6300
        // Three times taller than the page can hold.
        QVERIFY(PrintWindowImage(&window, &device, 100, 200, 2400, 18000, PrintJobOptions{}));
        int lowest = 0;
        qint64 area = 0;
        for (const auto *t : device.transfers()) {
            lowest = std::max(lowest, t->dest.Bottom);
            QVERIFY(t->dest.Left >= 100 && t->dest.Right <= 2500);
            area += qint64(t->dest.width()) * t->dest.height();
        }
        QCOMPARE(lowest, 6300);
        QCOMPARE(area, qint64(2400) * (6300 - 200));
    }

    // A printer that takes no bitmap over 64 KB gets bands of as many 24-bit
    // rows of the screen's width as fit into 65503 bytes.
    void smallBitmapPrinter()
    {
        printtest::TestWindow window;
        RecordingPrinterDevice device;
        device.deviceCaps.Bitmap64 = false;
        device.keepBits = false;
        QVERIFY(PrintWindowImage(&window, &device, 0, 0, 600, 400, PrintJobOptions{}));
        const int rows = 65503 / (((screenSize().width() * 24 + 31) / 32) * 4);
        QCOMPARE(int(device.transfers().size()), (400 + rows - 1) / rows);
        for (const auto *t : device.transfers())
            QVERIFY(t->dest.height() <= rows);
    }

    // A scroll area prints its whole content, from its top left corner,
    // wherever it is scrolled to.
    void scrolledContent()
    {
        QScrollArea area;
        area.resize(200, 150);
        auto *content = new QWidget;
        content->resize(400, 500);
        printtest::setWindowColour(content, Qt::white);
        printtest::addBlock(content, QRect(0, 0, 40, 40), Qt::black);
        printtest::addBlock(content, QRect(360, 460, 40, 40), Qt::red);
        area.setWidget(content);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        area.verticalScrollBar()->setValue(area.verticalScrollBar()->maximum());
        area.horizontalScrollBar()->setValue(30);

        const QSize extent = GetWindowExtent(&area);
        QCOMPARE(extent, QSize(401, 501));
        QCOMPARE(GetScrollOffset(&area), QPoint(30, area.verticalScrollBar()->maximum()));
        RecordingPrinterDevice device;
        QVERIFY(PrintWindowImage(&area, &device, 0, 0, extent.width(), extent.height(), PrintJobOptions{}));
        const QImage page = assemblePage(device, extent);
        QCOMPARE(page.pixel(20, 20) & 0xffffff, 0u);
        QCOMPARE(page.pixel(380, 480) & 0xffffff, 0xff0000u);
        QCOMPARE(page.pixel(200, 250) & 0xffffff, 0xffffffu);

        // Content that fits one way is as wide, or as high, as the view.
        content->resize(100, 500);
        QTRY_COMPARE(GetWindowExtent(&area), QSize(area.viewport()->width(), 501));
        content->resize(400, 100);
        QTRY_COMPARE(GetWindowExtent(&area), QSize(401, area.viewport()->height()));
    }

    void nothingToPrint_data()
    {
        QTest::addColumn<QRect>("dest");
        QTest::addColumn<QSize>("windowSize");
        QTest::newRow("empty destination") << QRect(10, 10, 0, 100) << QSize(300, 200);
        QTest::newRow("right of the page") << QRect(5000, 10, 100, 100) << QSize(300, 200);
        QTest::newRow("empty window") << QRect(10, 10, 100, 100) << QSize(0, 200);
    }
    void nothingToPrint()
    {
        QFETCH(QRect, dest);
        QFETCH(QSize, windowSize);
        QWidget window;
        window.resize(windowSize);
        if (windowSize.width() == 0)
            window.setFixedWidth(0);
        RecordingPrinterDevice device;
        QVERIFY(PrintWindowImage(&window, &device, dest.x(), dest.y(), dest.width(), dest.height(), PrintJobOptions{}));
        QVERIFY(device.calls().empty());
        QVERIFY(!PrintWindowImage(nullptr, &device, 0, 0, 100, 100, PrintJobOptions{}));
    }

    void transfers_data()
    {
        QTest::addColumn<bool>("deviceBitmaps");
        QTest::addColumn<int>("reduce");
        QTest::addColumn<bool>("stretch");
        QTest::addColumn<int>("call");
        QTest::addColumn<QSize>("bitmapSize");
        QTest::addColumn<PrintRect>("dest");
        // The window (300 × 200) printed into 600 × 400 dots at (10, 20).
        QTest::newRow("plain") << false << 1 << false << int(Call::StretchDIBits) << QSize(600, 400)
                               << PrintRect{ 10, 20, 610, 420 };
        QTest::newRow("compress") << false << 2 << false << int(Call::StretchDIBits) << QSize(300, 200)
                                  << PrintRect{ 10, 20, 610, 420 };
        QTest::newRow("winstretch") << false << 1 << true << int(Call::StretchDIBits) << QSize(300, 200)
                                    << PrintRect{ 10, 20, 610, 420 };
        QTest::newRow("use DDB's") << true << 1 << false << int(Call::BitBlt) << QSize(600, 400)
                                   << PrintRect{ 10, 20, 610, 420 };
        QTest::newRow("use DDB's, compress")
            << true << 2 << false << int(Call::StretchBlt) << QSize(300, 200) << PrintRect{ 10, 20, 610, 420 };
        QTest::newRow("use DDB's, winstretch")
            << true << 1 << true << int(Call::StretchBlt) << QSize(300, 200) << PrintRect{ 10, 20, 610, 420 };
    }
    void transfers()
    {
        QFETCH(bool, deviceBitmaps);
        QFETCH(int, reduce);
        QFETCH(bool, stretch);
        QFETCH(int, call);
        QFETCH(QSize, bitmapSize);
        QFETCH(PrintRect, dest);
        SetUseDeviceBitmaps(deviceBitmaps);
        SetReduction(reduce, reduce);
        SetDriverStretch(stretch);
        printtest::TestWindow window;
        RecordingPrinterDevice device;
        QVERIFY(PrintWindowImage(&window, &device, 10, 20, 600, 400, PrintJobOptions{}));
        QCOMPARE(int(device.transfers().size()), 1);
        const auto *t = device.transfers().front();
        QCOMPARE(int(t->call), call);
        QCOMPARE(QSize(t->header.Width, t->header.Height), bitmapSize);
        QCOMPARE(t->dest, dest);
    }

    void fallbackToDeviceBitmaps_data()
    {
        QTest::addColumn<int>("reduce");
        QTest::addColumn<bool>("showErrors");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("retryCall");
        QTest::newRow("plain") << 1 << true << "StretchDIBits failed! Trying BitBlt" << int(Call::BitBlt);
        QTest::newRow("compress") << 2 << true << "StretchDIBits failed! Trying StretchBlt" << int(Call::StretchBlt);
        QTest::newRow("no messages") << 1 << false << QString() << int(Call::BitBlt);
    }
    void fallbackToDeviceBitmaps()
    {
        QFETCH(int, reduce);
        QFETCH(bool, showErrors);
        QFETCH(QString, message);
        QFETCH(int, retryCall);
        SetReduction(reduce, reduce);
        SetShowErrors(showErrors);
        ScopedDialogs dialogs;
        printtest::TestWindow window;
        RecordingPrinterDevice device;
        device.keepBits = false;
        // The second band's transfer copies one line short.
        device.stretchDIBitsResult = [](int call, const RecordingPrinterDevice::Record &r) {
            return call == 1 ? r.header.Height - 1 : r.header.Height;
        };
        QVERIFY(PrintWindowImage(&window, &device, 0, 0, 3000, 2000, PrintJobOptions{}));

        const auto transfers = device.transfers();
        QVERIFY(transfers.size() > 3);
        QCOMPARE(transfers[0]->call, Call::StretchDIBits);
        QCOMPARE(transfers[1]->call, Call::StretchDIBits);
        QVERIFY(!transfers[1]->succeeded);
        // The failed band again, then every later band, by device bitmap.
        QCOMPARE(transfers[2]->dest.Left, transfers[1]->dest.Left);
        for (size_t i = 2; i < transfers.size(); ++i)
            QCOMPARE(int(transfers[i]->call), retryCall);
        const auto &calls = dialogs.scripted.calls();
        QCOMPARE(int(calls.size()), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(calls[0].title, QStringLiteral("TQuarvelFormPrinter"));
            QCOMPARE(calls[0].text, message);
        }

        // The next job tries device-independent bitmaps again.
        device.clear();
        QVERIFY(PrintWindowImage(&window, &device, 0, 0, 600, 400, PrintJobOptions{}));
        QCOMPARE(device.transfers().front()->call, Call::StretchDIBits);
    }

    void deviceCopyFails()
    {
        SetUseDeviceBitmaps(1);
        ScopedDialogs dialogs;
        printtest::TestWindow window;
        RecordingPrinterDevice device;
        device.deviceCopyResult = [](int call, const RecordingPrinterDevice::Record &) { return call != 1; };
        QVERIFY(!PrintWindowImage(&window, &device, 0, 0, 3000, 2000, PrintJobOptions{}));
        QCOMPARE(int(device.transfers().size()), 2);
        QCOMPARE(int(dialogs.scripted.calls().size()), 1);
        QCOMPARE(dialogs.scripted.calls()[0].title, QStringLiteral("TQuarvelFormPrinter"));
        QCOMPARE(dialogs.scripted.calls()[0].text, QStringLiteral("BitBlt failed"));
    }

    void progressAndCancel_data()
    {
        QTest::addColumn<int>("cancelInBand"); // 0: never
        QTest::addColumn<int>("clicks");
        QTest::newRow("to the end") << 0 << 0;
        QTest::newRow("cancel in the first band") << 1 << 1;
        QTest::newRow("cancel twice in the last band") << 4 << 2;
    }
    void progressAndCancel()
    {
        QFETCH(int, cancelInBand);
        QFETCH(int, clicks);
        printtest::TestWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *windowButton = window.findChild<QPushButton *>();
        int windowClicks = 0;
        connect(windowButton, &QPushButton::clicked, [&windowClicks] { ++windowClicks; });
        QWidget formerOwner;
        SwapMessageOwner(&formerOwner);

        const QSize screen = screenSize();
        // Four bands: two columns, two rows.
        const int width = screen.width() + 10;
        const int height = screen.height() + 10;
        RecordingPrinterDevice device;
        device.deviceCaps.HorzRes = device.deviceCaps.VertRes = 20000;
        device.keepBits = false;
        QStringList captions;
        bool dialogOwnsMessages = true;
        int band = 0;
        device.onTransfer = [&](const RecordingPrinterDevice::Record &) {
            ++band;
            TAbortDialog *dialog = findProgressDialog();
            QVERIFY(dialog);
            captions << dialog->windowTitle();
            // The printed window takes no input meanwhile.
            QTest::mouseClick(windowButton, Qt::LeftButton);
            dialogOwnsMessages = dialogOwnsMessages && currentPrintSettings().MessageOwner == dialog;
            if (band == cancelInBand) {
                for (int i = 0; i < clicks; ++i)
                    postCancelClick(dialog);
                QCOMPARE(dialog->Cancelled, 0);
            }
        };
        PrintJobOptions options;
        options.ShowProgress = 1;
        const bool ok = PrintWindowImage(&window, &device, 0, 0, width, height, options);
        QCOMPARE(ok, cancelInBand == 0);
        QCOMPARE(band, cancelInBand == 0 ? 4 : cancelInBand);
        QCOMPARE(captions.first(), QStringLiteral("Printing - 25%"));
        QCOMPARE(captions.last(), QStringLiteral("Printing - %1%").arg(band * 25));
        QCOMPARE(windowClicks, 0);
        QVERIFY(dialogOwnsMessages);
        // The job leaves no dialog behind and restores what it changed.
        QCoreApplication::sendPostedEvents();
        QVERIFY(!findProgressDialog());
        QVERIFY(window.isEnabled());
        QTest::mouseClick(windowButton, Qt::LeftButton);
        QCOMPARE(windowClicks, 1);
        QCOMPARE(currentPrintSettings().MessageOwner.data(), &formerOwner);
    }

    void withoutProgressNoDialog()
    {
        printtest::TestWindow window;
        RecordingPrinterDevice device;
        bool sawDialog = false;
        device.onTransfer = [&](const RecordingPrinterDevice::Record &) {
            sawDialog = sawDialog || findProgressDialog();
        };
        QVERIFY(PrintWindowImage(&window, &device, 0, 0, 600, 400, PrintJobOptions{}));
        QVERIFY(!sawDialog);
    }

    void abortDialog()
    {
        TAbortDialog *dialog = CreateProgressDialog(nullptr);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Printing"));
        QCOMPARE(dialog->size(), QSize(174, 98));
        QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(dialog->windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!dialog->isModal());
        QCOMPARE(dialog->btnCancel->text(), QStringLiteral("&Cancel"));
        QCOMPARE(dialog->btnCancel->geometry(), QRect(48, 32, 75, 25));
        QVERIFY(dialog->btnCancel->isDefault());

        // While it is polled, input meant for it reaches it: Return presses
        // Cancel, and so does a click that comes through its window.
        QCoreApplication::postEvent(dialog, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
        QCOMPARE(PollCancel(dialog), 1);
        dialog->Cancelled = 0;
        postCancelClick(dialog);
        QCOMPARE(PollCancel(dialog), 1);
        dialog->Cancelled = 0;
        QLineEdit elsewhere; // input meant for another window is dropped meanwhile
        QCoreApplication::postEvent(&elsewhere, new QKeyEvent(QEvent::KeyPress, Qt::Key_X, {}, QStringLiteral("x")));
        PollCancel(dialog);
        QCOMPARE(elsewhere.text(), QString());
        // Neither Escape nor a close request closes it; Cancel only marks it.
        QTest::keyClick(dialog, Qt::Key_Escape);
        dialog->close();
        QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
        QTest::keyClick(dialog, Qt::Key_Return);
        QVERIFY(dialog->isVisible());
        QCOMPARE(PollCancel(dialog), 1);
        SetProgressCaption(dialog, QStringLiteral("Printing - 50%"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Printing - 50%"));
        FreeProgressDialog(dialog);
    }
    // A PDF is taken as complete only when its trailer is there and points
    // at its cross-reference table.
    void completePdf_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("complete");
        QTest::newRow("whole") << "" << true;
        QTest::newRow("last bytes lost") << "cut 8" << false;
        QTest::newRow("second half lost") << "half" << false;
        QTest::newRow("cross-reference moved") << "xref 5" << false;
        QTest::newRow("cross-reference beyond the end") << "xref 99999999" << false;
        QTest::newRow("cross-reference not a number") << "xref x" << false;
        QTest::newRow("no startxref") << "no startxref" << false;
        QTest::newRow("cross-reference stream") << "stream" << true;
        QTest::newRow("a few bytes") << "tiny" << false;
        QTest::newRow("no file") << "missing" << false;
    }
    void completePdf()
    {
        QFETCH(QString, damage);
        QFETCH(bool, complete);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.pdf"));
        {
            QPdfWriter writer(path);
            QPainter painter(&writer);
            painter.drawText(100, 100, QStringLiteral("sheet"));
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray pdf = f.readAll();
        const int at = pdf.lastIndexOf("startxref");
        QVERIFY(at > 0 && pdf.trimmed().endsWith("%%EOF"));
        if (damage.startsWith(QLatin1String("cut ")))
            pdf.chop(damage.mid(4).toInt());
        else if (damage == QLatin1String("half"))
            pdf.truncate(pdf.size() / 2);
        else if (damage.startsWith(QLatin1String("xref ")))
            pdf = pdf.left(at) + "startxref\n" + damage.mid(5).toLatin1() + "\n%%EOF\n";
        else if (damage == QLatin1String("no startxref"))
            pdf.replace("startxref", "startxyz ");
        else if (damage == QLatin1String("stream"))
            pdf = "%PDF-1.5\n%\xE2\xE3\xCF\xD3\n12 0 obj\n<< /Type /XRef >>\nendobj\nstartxref\n15\n%%EOF\n";
        else if (damage == QLatin1String("tiny"))
            pdf = "%PDF-1.4\nstartxref\n0\n%%EOF\n";
        QVERIFY(f.resize(0) && f.seek(0) && f.write(pdf) == pdf.size());
        f.close();
        if (damage == QLatin1String("missing"))
            QVERIFY(f.remove());
        QCOMPARE(isCompletePdf(path), complete);
    }
    // Bitmaps of every depth the bands use, each row padded to 32 bits and
    // stored bottom-up, read back pixel for pixel; others give no image.
    void dibOfEveryDepth_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("refuse"); // what is wrong with the header; empty: nothing
        // clang-format off
        QTest::newRow("1 bit, whole bytes") << 1 << 16 << "";
        QTest::newRow("1 bit, padded") << 1 << 13 << "";
        QTest::newRow("4 bits, whole words") << 4 << 8 << "";
        QTest::newRow("4 bits, padded") << 4 << 5 << "";
        QTest::newRow("8 bits, whole words") << 8 << 4 << "";
        QTest::newRow("8 bits, padded") << 8 << 3 << "";
        QTest::newRow("24 bits, whole words") << 24 << 4 << "";
        QTest::newRow("24 bits, padded") << 24 << 3 << "";
        QTest::newRow("16 bits") << 16 << 4 << "bits";
        QTest::newRow("two planes") << 8 << 4 << "planes";
        QTest::newRow("compressed") << 8 << 4 << "compression";
        QTest::newRow("no width") << 8 << 0 << "";
        // clang-format on
    }
    void dibOfEveryDepth()
    {
        QFETCH(int, bits);
        QFETCH(int, width);
        QFETCH(QString, refuse);
        constexpr int height = 3;
        const int colours = bits <= 8 ? 1 << bits : 0;
        const auto colourAt = [&](int x, int y) {
            return colours ? QRgb(0xff000000u | (((x + 3 * y) % colours) * 0x010203u)) : qRgb(x * 40, y * 60, x + y);
        };
        DibInfo info;
        info.Header.Size = 40;
        info.Header.Width = width;
        info.Header.Height = height;
        info.Header.Planes = refuse == "planes" ? 2 : 1;
        info.Header.BitCount = uint16_t(bits);
        info.Header.Compression = refuse == "compression" ? 1 : 0;
        for (int i = 0; i < colours; ++i)
            info.Colors[i] = (uint32_t(i) * 0x010203u) & 0x00ffffffu;
        const int rowLength = ((width * bits + 31) / 32) * 4;
        std::vector<uint8_t> data(size_t(rowLength) * height, 0);
        for (int y = 0; y < height; ++y) {
            uint8_t *row = data.data() + size_t(height - 1 - y) * rowLength;
            for (int x = 0; x < width; ++x) {
                const int index = (x + 3 * y) % std::max(colours, 1);
                if (bits == 24) {
                    const QRgb c = colourAt(x, y);
                    row[x * 3] = uint8_t(qBlue(c));
                    row[x * 3 + 1] = uint8_t(qGreen(c));
                    row[x * 3 + 2] = uint8_t(qRed(c));
                } else if (bits <= 8) {
                    const int bit = x * bits;
                    row[bit / 8] |= uint8_t(index << (8 - bits - bit % 8));
                }
            }
        }
        const QImage image = dibToImage(info, data.data());
        QCOMPARE(image.isNull(), !refuse.isEmpty() || width == 0);
        if (image.isNull())
            return;
        QCOMPARE(image.size(), QSize(width, height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                QCOMPARE(QString::number(image.pixel(x, y), 16), QString::number(colourAt(x, y), 16));
    }
};

QTEST_MAIN(TestFormPrinter)
#include "tst_print_formprinter.moc"
