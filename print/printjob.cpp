// The print job: the window's image cut into bands, each band painted,
// turned into a bitmap and sent to the printer, with the progress dialog and
// the fallbacks when a transfer fails.

#include "printjob.h"

#include "abortdialog.h"
#include "bandbitmap.h"
#include "controlpaint.h"
#include "dialogs.h"
#include "prnutils.h"

#include <QApplication>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLayout>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

namespace hvx {

namespace {

// What paints a window's content: the window itself, or for a scroll area
// the widget it scrolls, whose coordinates do not move with the scrolling.
QWidget *paintRoot(QWidget *window)
{
    if (auto *area = qobject_cast<QScrollArea *>(window))
        if (area->widget())
            return area->widget();
    return window;
}

struct PrintJob {
    QWidget *window = nullptr;
    QWidget *root = nullptr; // what paints the content
    PrinterDevice *device = nullptr;
    PrintRect destination;
    PrintRect windowRect;
    PrintRect visible;
    PrintRect clip;
    QPoint scroll;
    long double ix = 0; // window pixels per printer pixel
    long double iy = 0;
    std::unique_ptr<DibInfo> output;
    bool useDeviceBitmaps = false;
    PrintJobOptions options;
    TAbortDialog *dialog = nullptr;
};

void formPrinterMessage(const QString &text)
{
    dialogs().message(currentPrintSettings().MessageOwner.data(), QString::fromLatin1(FormPrinterCaption), text,
                      DialogIcon::None);
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
    const PrintSettings &s = currentPrintSettings();
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

// Where a band lies in the window: the capture of the band at window
// resolution and the part of the window it shows.
struct BandInWindow {
    QRect captureArea;  // the capture, in window pixels from the destination's corner
    QRect controlBand;  // the band in the coordinates the controls' positions use
    long double phaseX; // where the band starts inside the capture's first pixel
    long double phaseY;
};

BandInWindow bandInWindow(const PrintJob &job, const PrintRect &b)
{
    const long double ix = job.ix;
    const long double iy = job.iy;

    // The band in window pixels.
    const long double left = b.Left * ix;
    const long double top = b.Top * iy;
    const long double right = b.Right * ix;
    const long double bottom = std::trunc(b.Bottom * iy);

    // The capture: the band at window resolution, with a pixel to spare.
    const int captureWidth = static_cast<int>(b.width() * ix) + 1;
    const int captureHeight = static_cast<int>(b.height() * iy) + 1;
    // Where the capture starts in the window.
    const int originX = static_cast<int>(b.Left * ix - job.destination.Left * ix);
    const int originY = static_cast<int>(b.Top * iy - job.destination.Top * iy);

    const long double destinationX = std::trunc(job.destination.Left * ix);
    const long double destinationY = std::trunc(job.destination.Top * iy);
    const int bandLeft = static_cast<int>(left - job.scroll.x() - destinationX);
    const int bandTop = static_cast<int>(top - job.scroll.y() - destinationY);
    // A band is at least one pixel wide and high, however small it comes out.
    const int bandRight = std::max(bandLeft + 1, static_cast<int>(right - job.scroll.x() - destinationX));
    const int bandBottom = std::max(bandTop + 1, static_cast<int>(bottom - job.scroll.y() - destinationY));
    // A scroll area is painted from the widget it scrolls, in that widget's
    // own coordinates.
    const QPoint rootShift = job.root == job.window ? QPoint(0, 0) : job.scroll;

    BandInWindow w;
    w.captureArea = QRect(originX, originY, captureWidth, captureHeight);
    w.controlBand = QRect(QPoint(bandLeft, bandTop), QPoint(bandRight - 1, bandBottom - 1)).translated(rootShift);
    w.phaseX = (b.Left * ix - job.destination.Left * ix) - originX;
    w.phaseY = (b.Top * iy - job.destination.Top * iy) - originY;
    return w;
}

// The window's own painting, then its controls: labels, lines and shapes
// first, then the controls that hold other controls or take input, which lie
// above them. False when the user cancelled.
bool paintBand(PrintJob &job, const PrintBand &printBand, const BandInWindow &where, QPainter &painter)
{
    PaintControlImage(job.root, &painter, where.captureArea);
    if (!reportProgress(job, printBand))
        return false;
    const QList<QWidget *> children = job.root->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (const bool windowedPass : { false, true }) {
        for (QWidget *child : children) {
            if (!reportProgress(job, printBand))
                return false;
            if (child->isWindow() || isWindowedControl(child) != windowedPass)
                continue;
            if (!child->isVisibleTo(job.root) || !child->geometry().intersects(where.controlBand))
                continue;
            const QRect region = where.captureArea.intersected(child->geometry()).translated(-child->pos());
            PaintControlTree(child, &painter, child->x(), child->y(), region);
        }
    }
    return true;
}

BandSampling samplingFor(const PrintJob &job, const PrintRect &b, const BandInWindow &where)
{
    const PrintSettings &s = currentPrintSettings();
    BandSampling sampling;
    sampling.bandWidth = b.width();
    sampling.bandHeight = b.height();
    sampling.ix = job.ix;
    sampling.iy = job.iy;
    sampling.phaseX = where.phaseX;
    sampling.phaseY = where.phaseY;
    sampling.reduceX = s.ReduceX;
    sampling.reduceY = s.ReduceY;
    sampling.driverStretch = s.DriverStretch;
    return sampling;
}

bool renderBand(PrintJob &job, const PrintBand &printBand)
{
    try {
        const PrintRect &b = printBand.Band;
        const BandInWindow where = bandInWindow(job, b);
        QImage capture(where.captureArea.size(), QImage::Format_RGB32);
        if (capture.isNull())
            return false;
        {
            QPainter painter(&capture);
            painter.fillRect(capture.rect(), job.window->palette().brush(job.window->backgroundRole()));
            painter.translate(-where.captureArea.topLeft());
            if (!paintBand(job, printBand, where, painter))
                return false;
        }

        const BandColours colours = analyseBandColours(capture, job.options.Force24Bit != 0);
        std::vector<uint8_t> bits;
        if (!makeBandBitmap(capture, colours, samplingFor(job, b, where), job.output.get(), &bits))
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
        if (!isUserInput(event->type()))
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

// On a scaled screen the toolkit draws text without hinting, on an unscaled
// one with the system's hinting, and the glyphs differ. While it lives, the
// window draws its text with one hinting whatever the screen, so that its
// paper is the same at every scale.
class FixedTextHinting {
public:
    explicit FixedTextHinting(QWidget *window)
        : m_window(window)
        , m_font(window->font())
        , m_ownFont(window->testAttribute(Qt::WA_SetFont))
    {
        if (m_font.resolveMask() & QFont::HintingPreferenceResolved) {
            m_window = nullptr; // the window chose its hinting itself
            return;
        }
        QFont hinted = m_font;
        hinted.setHintingPreference(QFont::PreferVerticalHinting);
        window->setFont(hinted);
    }
    ~FixedTextHinting()
    {
        if (m_window)
            m_window->setFont(m_ownFont ? m_font : QFont());
    }
    FixedTextHinting(const FixedTextHinting &) = delete;
    FixedTextHinting &operator=(const FixedTextHinting &) = delete;

private:
    QPointer<QWidget> m_window;
    QFont m_font;
    bool m_ownFont;
};

// The progress dialog of a job that shows progress, for as long as it lives:
// it owns the job's messages, and the printed window takes no input meanwhile.
class JobProgress {
public:
    explicit JobProgress(PrintJob &job)
        : m_job(job)
    {
        if (!job.options.ShowProgress)
            return;
        job.dialog = CreateProgressDialog(job.window);
        SetProgressCaption(job.dialog, QStringLiteral("Printing - 0%"));
        m_inputBlock.reset(new WindowInputBlock(job.window));
        m_previousOwner = SwapMessageOwner(job.dialog);
    }
    ~JobProgress()
    {
        if (!m_job.options.ShowProgress)
            return;
        SwapMessageOwner(m_previousOwner.data());
        FreeProgressDialog(m_job.dialog);
        m_job.dialog = nullptr;
        m_inputBlock.reset();
    }
    JobProgress(const JobProgress &) = delete;
    JobProgress &operator=(const JobProgress &) = delete;

private:
    PrintJob &m_job;
    QPointer<QWidget> m_previousOwner;
    std::unique_ptr<WindowInputBlock> m_inputBlock;
};

QSize bandSize(const PrinterDevice &device)
{
    // The screen's own pixels: a scaled screen counts fewer logical ones.
    QSize screen(1024, 768);
    if (const QScreen *s = QGuiApplication::primaryScreen())
        screen = (QSizeF(s->size()) * s->devicePixelRatio()).toSize();
    const int width = std::max(1, screen.width());
    if (device.caps().Bitmap64)
        return QSize(width, std::max(1, screen.height()));
    // Bitmaps of at most 64 KB: as many 24-bit rows of the screen's width
    // as fit into 65503 bytes.
    return QSize(width, std::max(1, 65503 / dibRowLength(width, 24)));
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
    job.ix = static_cast<long double>(extent.width()) / job.destination.width();
    job.iy = static_cast<long double>(extent.height()) / job.destination.height();

    job.output.reset(new (std::nothrow) DibInfo());
    if (!job.output)
        return false;

    const QSize band = bandSize(*device);
    const JobProgress progress(job);
    job.useDeviceBitmaps = currentPrintSettings().UseDeviceBitmaps;
    const FixedTextHinting hinting(window);
    const bool result = ForEachBand(job.visible.Left, job.visible.Top, job.visible.Right, job.visible.Bottom,
                                    band.width(), band.height(),
                                    [&job](const PrintBand &b) { return renderBand(job, b); });
    return result;
}

} // namespace hvx
