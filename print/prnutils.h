#pragma once
// The form printer's module-wide settings, the geometry of the page and of
// the printed window, and the cutting of an area into bands. The form printer
// prints the image of a window band by band (printjob.h): the window and its
// controls paint themselves again (controlpaint.h) into an off-screen image at
// the window's own pixel size; each band is turned into the smallest
// device-independent bitmap that holds its colours (bandbitmap.h), enlarged
// to the printer's resolution and sent to the printer. The module knows
// nothing of the windows it prints.

#include "printerdevice.h"

#include <QPoint>
#include <QPointer>
#include <QSize>

#include <cstdint>
#include <functional>

class QWidget;

namespace hvx {

// Caption of the module's own error messages.
extern const char *const FormPrinterCaption;

// The module-wide settings: set by the caller before a job, read by every
// band, kept after the job.
struct PrintSettings {
    bool ShowErrors = false;       // a message box when a transfer fails
    bool UseDeviceBitmaps = false; // every band as a device-dependent bitmap
    int32_t ReduceX = 1;           // band bitmaps have 1/ReduceX of the band's
    int32_t ReduceY = 1;           // printer pixels and are enlarged on output
    bool DriverStretch = false;    // bands at window resolution, enlarged by the printer
    QPointer<QWidget> MessageOwner;
};

const PrintSettings &currentPrintSettings();
void SetShowErrors(int flag);
void SetUseDeviceBitmaps(int flag);
// Factors below 1 are taken as 1.
void SetReduction(int x, int y);
void SetDriverStretch(int flag);
// Sets the owner of the error messages; returns the previous one.
QWidget *SwapMessageOwner(QWidget *owner);

// Page geometry in printer pixels (dots per inch for the last two).
struct PageMetrics {
    int32_t OffsetX = 0;
    int32_t OffsetY = 0;
    int32_t UnprintableRight = 0;
    int32_t UnprintableBottom = 0;
    int32_t PhysicalWidth = 0;
    int32_t PhysicalHeight = 0;
    int32_t PrintableWidth = 0;
    int32_t PrintableHeight = 0;
    int32_t MarginLeft = 0;
    int32_t MarginTop = 0;
    int32_t MarginRight = 0;
    int32_t MarginBottom = 0;
    int32_t UsableWidth = 0;
    int32_t UsableHeight = 0;
    int32_t UniformLeft = 0;
    int32_t UniformTop = 0;
    int32_t DpiX = 0;
    int32_t DpiY = 0;
};

// Page geometry from the device's capabilities, with a uniform margin: the
// largest of the four unprintable edges. False when no device or no record
// is given.
bool GetPageMetrics(const PrinterDevice *device, PageMetrics *metrics);

struct FitRecord {
    double SourceWidth = 0;
    double SourceHeight = 0;
    double TargetWidth = 0;
    double TargetHeight = 0;
    double ScaleX = 0;
    double ScaleY = 0;
};

// Scales the source to the target width keeping its aspect ratio: sets both
// scales and the target height. False, the record unchanged, when the source
// has no width.
bool FitToWidth(FitRecord *fit);

// Where a window's image goes on the page: 80 % of the usable width, starting
// 10 % of that width inside the uniform margin, the same distance down, with
// the window's aspect ratio.
PrintRect placeImageOnPage(QSize windowExtent, const PageMetrics &metrics);

// The full size of a window's client content, and how far it is scrolled.
QSize GetWindowExtent(const QWidget *window);
QPoint GetScrollOffset(const QWidget *window);

// One band of a banded area, in printer pixels.
struct PrintBand {
    PrintRect Area;
    PrintRect Band;
    int Column = 0; // from 1
    int Row = 0;    // from 1
    int Width = 0;
    int Height = 0;
    int NominalWidth = 0;
    int NominalHeight = 0;
    int Number = 0; // running number of the non-empty bands, from 1
    int Count = 0;  // non-empty bands in the area
};
using BandRoutine = std::function<bool(const PrintBand &)>;

// Counts the bands of the area. False (and nothing counted) for a band size
// below 1 or an area whose right or bottom lies before its left or top.
bool CountBands(int left, int top, int right, int bottom, int bandWidth, int bandHeight, int *count);
// Calls the routine for each non-empty band, row by row from the top, each
// row from the left; stops with false as soon as the routine returns false.
bool ForEachBand(int left, int top, int right, int bottom, int bandWidth, int bandHeight, const BandRoutine &routine);

} // namespace hvx
