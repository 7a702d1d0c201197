// The form printer's module-wide settings, the page and window geometry and
// the cutting of an area into bands.

#include "prnutils.h"

#include "controlpaint.h"

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>

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

const PrintSettings &currentPrintSettings() { return settings(); }

void SetShowErrors(int flag) { settings().ShowErrors = flag != 0; }

void SetUseDeviceBitmaps(int flag) { settings().UseDeviceBitmaps = flag != 0; }

void SetReduction(int x, int y)
{
    // A factor below 1 would divide the band by zero or turn it inside out.
    settings().ReduceX = std::max(1, x);
    settings().ReduceY = std::max(1, y);
}

void SetDriverStretch(int flag) { settings().DriverStretch = flag != 0; }

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

PrintRect placeImageOnPage(QSize windowExtent, const PageMetrics &metrics)
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
    return walkBands(left, top, right, bottom, bandWidth, bandHeight, [&](const PrintRect &band, int column, int row) {
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

} // namespace hvx
