#include "prnutils.h"

#include "abortdialog.h"
#include "dialogs.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QLayout>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <unordered_map>

namespace hvx {

const char *const FormPrinterCaption = "TQuarvelFormPrinter";

namespace {

PrintSettings &settings()
{
    static PrintSettings s;
    return s;
}

} // namespace

// ---------------------------------------------------------------- settings

const PrintSettings &CurrentPrintSettings()
{
    return settings();
}

void SetShowErrors(int flag)
{
    settings().ShowErrors = flag != 0;
}

void SetUseDeviceBitmaps(int flag)
{
    settings().UseDeviceBitmaps = flag != 0;
}

void SetReduction(int x, int y)
{
    // A factor below 1 would divide the band by zero or turn it inside out.
    settings().ReduceX = std::max(1, x);
    settings().ReduceY = std::max(1, y);
}

void SetDriverStretch(int flag)
{
    settings().DriverStretch = flag != 0;
}

QWidget *SwapMessageOwner(QWidget *owner)
{
    QWidget *previous = settings().MessageOwner.data();
    settings().MessageOwner = owner;
    return previous;
}

// ---------------------------------------------------------- page geometry

bool GetPageMetrics(const PrinterDevice *device, PageMetrics *metrics)
{
    if (!metrics || !device)
        return false;
    const DeviceCaps caps = device->caps();
    PageMetrics m;
    m.OffsetX = caps.PhysicalOffsetX;
    m.OffsetY = caps.PhysicalOffsetY;
    m.PrintableWidth = caps.HorzRes;
    m.PrintableHeight = caps.VertRes;
    m.PhysicalWidth = caps.PhysicalWidth != 0 ? caps.PhysicalWidth : caps.HorzRes;
    m.PhysicalHeight = caps.PhysicalHeight != 0 ? caps.PhysicalHeight : caps.VertRes;
    // This platform puts no upper limit on the printable size.
    m.UnprintableRight = m.PhysicalWidth - m.PrintableWidth - m.OffsetX;
    m.UnprintableBottom = m.PhysicalHeight - m.PrintableHeight - m.OffsetY;
    const int32_t margin = std::max({ m.OffsetX, m.UnprintableRight, m.OffsetY, m.UnprintableBottom });
    m.MarginLeft = m.MarginTop = m.MarginRight = m.MarginBottom = margin;
    m.UsableWidth = m.PhysicalWidth - 2 * margin;
    m.UsableHeight = m.PhysicalHeight - 2 * margin;
    m.UniformLeft = margin - m.OffsetX;
    m.UniformTop = margin - m.OffsetY;
    m.DpiX = caps.LogPixelsX;
    m.DpiY = caps.LogPixelsY;
    *metrics = m;
    return true;
}

bool FitToWidth(FitRecord *fit)
{
    if (!fit || fit->SourceWidth == 0)
        return false;
    const double scale = fit->TargetWidth / fit->SourceWidth;
    fit->ScaleX = scale;
    fit->ScaleY = scale;
    fit->TargetHeight = fit->SourceHeight * scale;
    return true;
}

PrintRect PlaceImageOnPage(QSize windowExtent, const PageMetrics &metrics)
{
    FitRecord fit;
    fit.SourceWidth = windowExtent.width();
    fit.SourceHeight = windowExtent.height();
    fit.TargetWidth = 0.8 * metrics.UsableWidth;
    if (!FitToWidth(&fit))
        return PrintRect{};
    const int offset = static_cast<int>(0.1 * metrics.UsableWidth + metrics.MarginLeft);
    return PrintRect{ offset, offset, offset + static_cast<int>(fit.TargetWidth),
                      offset + static_cast<int>(fit.TargetHeight) };
}

// ------------------------------------------------------- window geometry

namespace {

struct ScrollState {
    int clientWidth = 0;
    int clientHeight = 0;
    int horzRange = 0;
    int vertRange = 0;
    int horzPosition = 0;
    int vertPosition = 0;
};

// Ranges are the content's size in pixels: the scroll span plus one page.
ScrollState scrollState(const QAbstractScrollArea *area)
{
    ScrollState s;
    const QWidget *viewport = area->viewport();
    s.clientWidth = viewport ? viewport->width() : area->width();
    s.clientHeight = viewport ? viewport->height() : area->height();
    const QScrollBar *h = area->horizontalScrollBar();
    const QScrollBar *v = area->verticalScrollBar();
    s.horzRange = h->maximum() - h->minimum() + h->pageStep();
    s.vertRange = v->maximum() - v->minimum() + v->pageStep();
    s.horzPosition = h->value() - h->minimum();
    s.vertPosition = v->value() - v->minimum();
    return s;
}

const QAbstractScrollArea *asScrollingWindow(const QWidget *window)
{
    if (!InheritsFromClassName(window, "QAbstractScrollArea"))
        return nullptr;
    return static_cast<const QAbstractScrollArea *>(window);
}

// What paints a window's content: the window itself, or for a scroll area
// the widget it scrolls, whose coordinates do not move with the scrolling.
QWidget *paintRoot(QWidget *window)
{
    if (auto *area = qobject_cast<QScrollArea *>(window))
        if (area->widget())
            return area->widget();
    return window;
}

} // namespace

QSize GetWindowExtent(const QWidget *window)
{
    if (!window)
        return QSize();
    if (const QAbstractScrollArea *area = asScrollingWindow(window)) {
        const ScrollState s = scrollState(area);
        const int width = s.clientWidth < s.horzRange ? s.horzRange + (s.vertRange > 0 ? 1 : 0) : s.clientWidth;
        const int height = s.clientHeight < s.vertRange ? s.vertRange + (s.horzRange > 0 ? 1 : 0) : s.clientHeight;
        return QSize(width, height);
    }
    return window->size();
}

QPoint GetScrollOffset(const QWidget *window)
{
    if (const QAbstractScrollArea *area = asScrollingWindow(window)) {
        const ScrollState s = scrollState(area);
        return QPoint(s.clientWidth < s.horzRange ? s.horzPosition : 0,
                      s.clientHeight < s.vertRange ? s.vertPosition : 0);
    }
    return QPoint(0, 0);
}

// ----------------------------------------------------------------- banding

namespace {

bool validBanding(int left, int top, int right, int bottom, int bandWidth, int bandHeight)
{
    return bandWidth > 0 && bandHeight > 0 && right >= left && bottom >= top;
}

template <typename Visit>
bool walkBands(int left, int top, int right, int bottom, int bandWidth, int bandHeight, Visit &&visit)
{
    int row = 1;
    for (int64_t rowTop = top; rowTop < bottom; rowTop += bandHeight, ++row) {
        int column = 1;
        for (int64_t columnLeft = left; columnLeft < right; columnLeft += bandWidth, ++column) {
            const PrintRect band{ static_cast<int>(columnLeft), static_cast<int>(rowTop),
                                  static_cast<int>(std::min<int64_t>(columnLeft + bandWidth, right)),
                                  static_cast<int>(std::min<int64_t>(rowTop + bandHeight, bottom)) };
            if (band.isEmpty())
                continue;
            if (!visit(band, column, row))
                return false;
        }
    }
    return true;
}

} // namespace

bool CountBands(int left, int top, int right, int bottom, int bandWidth, int bandHeight, int *count)
{
    if (!validBanding(left, top, right, bottom, bandWidth, bandHeight))
        return false;
    int n = 0;
    walkBands(left, top, right, bottom, bandWidth, bandHeight, [&n](const PrintRect &, int, int) {
        ++n;
        return true;
    });
    if (count)
        *count = n;
    return true;
}

bool ForEachBand(int left, int top, int right, int bottom, int bandWidth, int bandHeight, const BandRoutine &routine)
{
    if (!routine || !validBanding(left, top, right, bottom, bandWidth, bandHeight))
        return false;
    int count = 0;
    CountBands(left, top, right, bottom, bandWidth, bandHeight, &count);
    const PrintRect area{ left, top, right, bottom };
    int number = 0;
    return walkBands(left, top, right, bottom, bandWidth, bandHeight,
                     [&](const PrintRect &band, int column, int row) {
                         PrintBand b;
                         b.Area = area;
                         b.Band = band;
                         b.Column = column;
                         b.Row = row;
                         b.Width = band.width();
                         b.Height = band.height();
                         b.NominalWidth = bandWidth;
                         b.NominalHeight = bandHeight;
                         b.Number = ++number;
                         b.Count = count;
                         return routine(b);
                     });
}

// ------------------------------------------------ colours and band bitmaps

BandColours AnalyseBandColours(const QImage &capture, bool force24)
{
    BandColours result;
    if (force24 || capture.isNull())
        return result;
    const QImage image = capture.format() == QImage::Format_RGB32 ? capture
                                                                  : capture.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    uint32_t last = 0;
    bool haveLast = false;
    for (int y = 0; y < image.height() && count <= 256; ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const uint32_t colour = line[x] & 0x00ffffffu;
            if (haveLast && colour == last)
                continue;
            last = colour;
            haveLast = true;
            const uint32_t *table = result.Table;
            if (std::find(table, table + count, colour) != table + count)
                continue;
            result.Table[count++] = colour;
            if (count > 256)
                break;
        }
    }
    if (count > 256) {
        result.BitsPerPixel = 24;
        result.Count = 0;
        std::fill(std::begin(result.Table), std::end(result.Table), 0u);
        return result;
    }
    result.Count = count;
    result.BitsPerPixel = count <= 2 ? 1 : count <= 16 ? 4 : 8;
    return result;
}

bool MakeBandBitmap(const QImage &capture, const BandColours &colours, const BandSampling &sampling, DibInfo *info,
                    std::vector<uint8_t> *bits)
{
    if (!info || !bits || capture.isNull())
        return false;
    const QImage image = capture.format() == QImage::Format_RGB32 ? capture
                                                                  : capture.convertToFormat(QImage::Format_RGB32);
    const int reduceX = std::max(1, sampling.ReduceX);
    const int reduceY = std::max(1, sampling.ReduceY);
    const int bpp = colours.BitsPerPixel;

    int width;
    int height;
    if (sampling.DriverStretch) {
        width = (image.width() - 1) / reduceX;
        height = (image.height() - 1) / reduceY;
    } else {
        width = sampling.BandWidth / reduceX;
        height = sampling.BandHeight / reduceY;
    }
    width = std::max(1, width);
    height = std::max(1, height);
    const int rowLength = DibRowLength(width, bpp);

    *info = DibInfo{};
    DibHeader &h = info->Header;
    h.Size = sizeof(DibHeader);
    h.Width = width;
    h.Height = height;
    h.Planes = 1;
    h.BitCount = static_cast<uint16_t>(bpp);
    h.Compression = 0;
    h.SizeImage = static_cast<uint32_t>(static_cast<int64_t>(rowLength) * height);
    const int tableCount = bpp == 24 ? 0 : colours.Count;
    h.ClrUsed = static_cast<uint32_t>(tableCount);
    h.ClrImportant = static_cast<uint32_t>(tableCount);
    std::copy(colours.Table, colours.Table + tableCount, info->Colors);

    try {
        bits->assign(static_cast<size_t>(rowLength) * height, 0);
    } catch (const std::bad_alloc &) {
        bits->clear();
        return false;
    }

    // Which capture column feeds each output column: nearest pixel at the
    // printer's resolution, or every ReduceX-th window pixel when the printer
    // does the enlarging.
    std::vector<int> sourceColumn(width);
    for (int c = 0; c < width; ++c) {
        const int64_t x = sampling.DriverStretch
            ? static_cast<int64_t>(c) * reduceX
            : static_cast<int64_t>(static_cast<long double>(c) * reduceX * sampling.IX);
        sourceColumn[c] = static_cast<int>(std::min<int64_t>(x, image.width() - 1));
    }

    // Palette index of a colour; runs of one colour are the common case.
    std::unordered_map<uint32_t, uint8_t> indexOf;
    if (bpp != 24) {
        indexOf.reserve(static_cast<size_t>(tableCount) * 2);
        for (int i = 0; i < tableCount; ++i)
            indexOf.emplace(colours.Table[i], static_cast<uint8_t>(i));
    }
    uint32_t lastColour = 0xffffffffu;
    uint8_t lastIndex = 0;
    auto paletteIndex = [&](QRgb pixel) -> uint8_t {
        const uint32_t colour = pixel & 0x00ffffffu;
        if (colour != lastColour) {
            const auto it = indexOf.find(colour);
            lastIndex = it == indexOf.end() ? 0 : it->second;
            lastColour = colour;
        }
        return lastIndex;
    };

    int previousSourceRow = -1;
    const uint8_t *previousRow = nullptr;
    for (int r = 0; r < height; ++r) {
        const int64_t y = sampling.DriverStretch
            ? static_cast<int64_t>(r) * reduceY
            : static_cast<int64_t>(static_cast<long double>(r) * reduceY * sampling.IY);
        const int sourceRow = static_cast<int>(std::min<int64_t>(y, image.height() - 1));
        // Rows are stored bottom-up: output row r from the top is the
        // (height - 1 - r)-th row in memory.
        uint8_t *row = bits->data() + static_cast<size_t>(height - 1 - r) * rowLength;
        if (sourceRow == previousSourceRow) {
            std::memcpy(row, previousRow, rowLength);
            previousRow = row;
            continue;
        }
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(sourceRow));
        switch (bpp) {
        case 1:
            for (int c = 0; c < width; ++c)
                if (paletteIndex(line[sourceColumn[c]]) != 0)
                    row[c >> 3] |= static_cast<uint8_t>(0x80u >> (c & 7));
            break;
        case 4:
            for (int c = 0; c < width; ++c) {
                const uint8_t index = paletteIndex(line[sourceColumn[c]]);
                row[c >> 1] |= (c & 1) ? index : static_cast<uint8_t>(index << 4);
            }
            break;
        case 8:
            for (int c = 0; c < width; ++c)
                row[c] = paletteIndex(line[sourceColumn[c]]);
            break;
        default:
            for (int c = 0; c < width; ++c) {
                const QRgb pixel = line[sourceColumn[c]];
                row[3 * c] = static_cast<uint8_t>(qBlue(pixel));
                row[3 * c + 1] = static_cast<uint8_t>(qGreen(pixel));
                row[3 * c + 2] = static_cast<uint8_t>(qRed(pixel));
            }
            break;
        }
        previousSourceRow = sourceRow;
        previousRow = row;
    }
    return true;
}

// ------------------------------------------------------- control painting

bool InheritsFromClassName(const QObject *control, const char *className)
{
    if (!control || !className)
        return false;
    for (const QMetaObject *mo = control->metaObject(); mo; mo = mo->superClass())
        if (std::strcmp(mo->className(), className) == 0)
            return true;
    return false;
}

bool IsWindowedControl(const QWidget *control)
{
    if (!control)
        return false;
    if (control->focusPolicy() != Qt::NoFocus)
        return true;
    return !control->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).isEmpty();
}

void PaintControlTree(QWidget *control, QPainter *painter, int x, int y, const QRect &region)
{
    if (!control || !painter)
        return;
    const QRect area = region.isEmpty() ? control->rect() : region.intersected(control->rect());
    if (area.isEmpty())
        return;
    painter->save();
    control->render(painter, QPoint(x, y) + area.topLeft(), QRegion(area),
                    QWidget::DrawWindowBackground | QWidget::DrawChildren);
    painter->restore();
}

void PaintControlImage(QWidget *control, QPainter *painter, const QRect &region)
{
    if (!control || !painter)
        return;
    const QRect area = region.isEmpty() ? control->rect() : region.intersected(control->rect());
    if (area.isEmpty())
        return;
    control->render(painter, area.topLeft(), QRegion(area), QWidget::DrawWindowBackground);
}

// ------------------------------------------------------------ the print job

namespace {

struct PrintJob {
    QWidget *window = nullptr;
    QWidget *root = nullptr; // what paints the content
    PrinterDevice *device = nullptr;
    PrintRect destination;
    PrintRect windowRect;
    PrintRect visible;
    PrintRect clip;
    QPoint scroll;
    long double IX = 0; // window pixels per printer pixel
    long double IY = 0;
    std::unique_ptr<DibInfo> output;
    bool useDeviceBitmaps = false;
    PrintJobOptions options;
    TAbortDialog *dialog = nullptr;
};

void formPrinterMessage(const QString &text)
{
    dialogs().message(settings().MessageOwner.data(), QString::fromLatin1(FormPrinterCaption), text, DialogIcon::None);
}

// Shows the band being printed and asks whether to go on.
bool reportProgress(PrintJob &job, const PrintBand &band)
{
    if (!job.options.ShowProgress || !job.dialog)
        return true;
    const int64_t percent = band.Count > 0 ? static_cast<int64_t>(band.Number) * 100 / band.Count : 0;
    SetProgressCaption(job.dialog, QStringLiteral("Printing - %1%").arg(percent));
    return PollCancel(job.dialog) == 0;
}

bool sendBand(PrintJob &job, const PrintRect &band, const DibInfo &info, const uint8_t *bits)
{
    const PrintSettings &s = settings();
    const int width = info.Header.Width;
    const int height = info.Header.Height;
    const bool plainCopy = s.ReduceX == 1 && s.ReduceY == 1 && !s.DriverStretch;
    const PrintRect enlarged{ band.Left, band.Top, band.Left + width * s.ReduceX, band.Top + height * s.ReduceY };
    const PrintRect &target = s.DriverStretch ? band : enlarged;

    if (!job.useDeviceBitmaps) {
        if (job.device->stretchDIBits(target, info, bits) == height)
            return true;
        // This band and the rest of the job go by device-dependent bitmap.
        job.useDeviceBitmaps = true;
        if (s.ShowErrors)
            formPrinterMessage(plainCopy ? QStringLiteral("StretchDIBits failed! Trying BitBlt")
                                         : QStringLiteral("StretchDIBits failed! Trying StretchBlt"));
    }
    const bool copied = plainCopy ? job.device->bitBlt(band.Left, band.Top, info, bits)
                                  : job.device->stretchBlt(target, info, bits);
    if (!copied && s.ShowErrors)
        formPrinterMessage(QStringLiteral("BitBlt failed"));
    return copied;
}

bool renderBand(PrintJob &job, const PrintBand &printBand)
{
    std::vector<uint8_t> bits;
    try {
        const PrintRect &b = printBand.Band;
        const long double ix = job.IX;
        const long double iy = job.IY;

        // The band in window pixels.
        const long double left = b.Left * ix;
        const long double top = b.Top * iy;
        long double right = b.Right * ix;
        long double bottom = std::trunc(b.Bottom * iy);
        if (left >= right)
            right = left + 1;
        if (top >= bottom)
            bottom = top + 1;

        // The capture: the band at window resolution, with a pixel to spare.
        const int captureWidth = static_cast<int>(b.width() * ix) + 1;
        const int captureHeight = static_cast<int>(b.height() * iy) + 1;
        QImage capture(captureWidth, captureHeight, QImage::Format_RGB32);
        if (capture.isNull())
            return false;
        {
            QPainter fill(&capture);
            fill.fillRect(capture.rect(), job.window->palette().brush(job.window->backgroundRole()));
        }

        // Where the capture starts in the window, and the band in the
        // coordinates the controls' positions use.
        const int originX = static_cast<int>(b.Left * ix - job.destination.Left * ix);
        const int originY = static_cast<int>(b.Top * iy - job.destination.Top * iy);
        const long double destinationX = std::trunc(job.destination.Left * ix);
        const long double destinationY = std::trunc(job.destination.Top * iy);
        int bandLeft = static_cast<int>(left - job.scroll.x() - destinationX);
        int bandTop = static_cast<int>(top - job.scroll.y() - destinationY);
        int bandRight = static_cast<int>(right - job.scroll.x() - destinationX);
        int bandBottom = static_cast<int>(bottom - job.scroll.y() - destinationY);
        if (bandRight <= bandLeft)
            bandRight = bandLeft + 1;
        if (bandBottom <= bandTop)
            bandBottom = bandTop + 1;
        // A scroll area is painted from the widget it scrolls, in that
        // widget's own coordinates.
        const QPoint rootShift = job.root == job.window ? QPoint(0, 0) : job.scroll;
        const QRect controlBand = QRect(QPoint(bandLeft, bandTop), QPoint(bandRight - 1, bandBottom - 1))
                                      .translated(rootShift);
        const QRect captureArea(originX, originY, captureWidth, captureHeight);

        QPainter painter(&capture);
        painter.translate(-originX, -originY);

        // The window's own painting, then its controls.
        PaintControlImage(job.root, &painter, captureArea);
        if (!reportProgress(job, printBand))
            return false;

        // Labels, lines and shapes first, then the controls that hold other
        // controls or take input, which lie above them.
        const QList<QWidget *> children = job.root->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (const bool windowedPass : { false, true }) {
            for (QWidget *child : children) {
                if (!reportProgress(job, printBand))
                    return false;
                if (child->isWindow() || IsWindowedControl(child) != windowedPass)
                    continue;
                if (!child->isVisibleTo(job.root) || !child->geometry().intersects(controlBand))
                    continue;
                const QRect region = captureArea.intersected(child->geometry()).translated(-child->pos());
                PaintControlTree(child, &painter, child->x(), child->y(), region);
            }
        }
        painter.end();

        const BandColours colours = AnalyseBandColours(capture, job.options.Force24Bit != 0);
        const PrintSettings &s = settings();
        BandSampling sampling;
        sampling.BandWidth = b.width();
        sampling.BandHeight = b.height();
        sampling.IX = ix;
        sampling.IY = iy;
        sampling.ReduceX = s.ReduceX;
        sampling.ReduceY = s.ReduceY;
        sampling.DriverStretch = s.DriverStretch;
        if (!MakeBandBitmap(capture, colours, sampling, job.output.get(), &bits))
            return false;
        capture = QImage();

        const bool sent = sendBand(job, b, *job.output, bits.data());
        std::vector<uint8_t>().swap(bits);

        if (!reportProgress(job, printBand))
            return false;
        return sent;
    } catch (const std::bad_alloc &) {
        // No memory for this band's images: the job fails and says so; any
        // other exception is a fault and goes on to the application.
        return false;
    }
}

// Keeps user input away from the printed window for as long as it lives.
// The window is not disabled: the toolkit would draw a disabled window's
// labels and lines in grey, and so print them grey.
class WindowInputBlock : public QObject {
public:
    explicit WindowInputBlock(QWidget *window)
        : m_window(window->window())
    {
        qApp->installEventFilter(this);
    }
    ~WindowInputBlock() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!IsUserInput(event->type()))
            return false;
        if (!m_window)
            return false;
        if (watched->isWidgetType())
            return static_cast<QWidget *>(watched)->window() == m_window;
        if (watched->isWindowType())
            return watched == m_window->windowHandle();
        return false;
    }

private:
    QPointer<QWidget> m_window;
};

QSize bandSize(const PrinterDevice &device)
{
    QSize screen(1024, 768);
    if (const QScreen *s = QGuiApplication::primaryScreen())
        screen = s->size();
    const int width = std::max(1, screen.width());
    if (device.caps().Bitmap64)
        return QSize(width, std::max(1, screen.height()));
    // Bitmaps of at most 64 KB: as many 24-bit rows of the screen's width
    // as fit into 65503 bytes.
    return QSize(width, std::max(1, 65503 / DibRowLength(width, 24)));
}

} // namespace

bool PrintWindowImage(QWidget *window, PrinterDevice *device, int left, int top, int width, int height,
                      const PrintJobOptions &options)
{
    if (!window || !device)
        return false;

    PrintJob job;
    job.window = window;
    job.root = paintRoot(window);
    job.device = device;
    job.options = options;

    // A window that was never shown still has its layout to do.
    window->ensurePolished();
    if (window->layout())
        window->layout()->activate();

    PageMetrics metrics;
    GetPageMetrics(device, &metrics);
    job.clip = PrintRect{ 0, 0, metrics.PrintableWidth, metrics.PrintableHeight };

    job.destination = PrintRect{ left, top, static_cast<int>(std::min<int64_t>(int64_t(left) + width, INT32_MAX)),
                                 static_cast<int>(std::min<int64_t>(int64_t(top) + height, INT32_MAX)) };
    if (job.destination.isEmpty())
        return true;
    job.visible = IntersectRect(job.destination, job.clip);
    if (job.visible.isEmpty())
        return true;

    const QSize extent = GetWindowExtent(window);
    job.windowRect = PrintRect{ 0, 0, extent.width(), extent.height() };
    if (job.windowRect.isEmpty())
        return true;
    job.scroll = GetScrollOffset(window);
    job.IX = static_cast<long double>(extent.width()) / job.destination.width();
    job.IY = static_cast<long double>(extent.height()) / job.destination.height();

    job.output.reset(new (std::nothrow) DibInfo());
    if (!job.output)
        return false;

    const QSize band = bandSize(*device);

    QPointer<QWidget> previousOwner;
    std::unique_ptr<WindowInputBlock> inputBlock;
    if (options.ShowProgress) {
        job.dialog = CreateProgressDialog(window);
        SetProgressCaption(job.dialog, QStringLiteral("Printing - 0%"));
        inputBlock.reset(new WindowInputBlock(window));
        previousOwner = SwapMessageOwner(job.dialog);
    }

    job.useDeviceBitmaps = settings().UseDeviceBitmaps;
    const bool result = ForEachBand(job.visible.Left, job.visible.Top, job.visible.Right, job.visible.Bottom,
                                    band.width(), band.height(),
                                    [&job](const PrintBand &b) { return renderBand(job, b); });

    if (options.ShowProgress) {
        SwapMessageOwner(previousOwner.data());
        FreeProgressDialog(job.dialog);
        job.dialog = nullptr;
        inputBlock.reset();
    }
    return result;
}

} // namespace hvx
