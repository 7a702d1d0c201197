#pragma once
// Printing the image of a window, band by band. The window and its controls
// paint themselves again into an off-screen image at the window's own pixel
// size; each band is turned into the smallest device-independent bitmap that
// holds its colours, enlarged to the printer's resolution and sent to the
// printer. The module knows nothing of the windows it prints.

#include "printerdevice.h"

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class QImage;
class QPainter;
class QWidget;

namespace hvx {

class TAbortDialog;

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

// Options of one job, 16 bytes.
struct PrintJobOptions {
    int32_t Size = 16;
    int32_t ShowProgress = 0; // show the progress dialog
    int32_t NoFlush = 0;      // skip the flushes after painting steps (painting
                              // into the off-screen image is immediate here,
                              // so there is never anything to flush)
    int32_t Force24Bit = 0;   // every band at 24 bits per pixel
};
static_assert(sizeof(PrintJobOptions) == 16, "the job options are 16 bytes");

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

// Prints the whole extent of the window scaled into the destination
// (printer pixels from the corner of the printable area), cut off at the
// printable area. The document must be started. True when every band was sent
// or there was nothing to print; false when the user cancelled, a band failed
// or memory ran out.
bool PrintWindowImage(QWidget *window, PrinterDevice *device, int left, int top, int width, int height,
                      const PrintJobOptions &options);

// Bits per pixel a band needs and its colour table. Without force24 the image
// is scanned row by row from the top, each row from the left, and every new
// colour is added to the table; the scan stops once the table holds 257
// colours. 1 or 2 colours give 1 bit, up to 16 give 4, up to 256 give 8, more
// give 24 bits with no table.
struct BandColours {
    int bitsPerPixel = 24;
    int count = 0;                              // colours in the table (0 for 24 bits)
    uint32_t table[DibInfo::TableEntries] = {}; // 0x00RRGGBB
};
BandColours analyseBandColours(const QImage &capture, bool force24);

// How the band bitmap is sized and sampled.
struct BandSampling {
    int BandWidth = 0; // the band in printer pixels
    int BandHeight = 0;
    long double IX = 1; // window pixels per printer pixel
    long double IY = 1;
    // Where the band starts inside the capture's first pixel (0 to below 1),
    // so that every band samples the window on the same grid as the first.
    long double PhaseX = 0;
    long double PhaseY = 0;
    int ReduceX = 1;
    int ReduceY = 1;
    bool DriverStretch = false;
};

// Builds the output bitmap of a band from its capture: the header (with the
// colour table of the analysis) and the bottom-up rows. False when the
// memory for the rows could not be had.
bool makeBandBitmap(const QImage &capture, const BandColours &colours, const BandSampling &sampling, DibInfo *info,
                    std::vector<uint8_t> *bits);

// Control image painting. Kinds of control are told apart by class name on
// the toolkit's class chain (the class itself and every base class).
bool InheritsFromClassName(const QObject *control, const char *className);
// A control that holds other controls or takes the keyboard focus, as
// opposed to the labels, lines and shapes that only draw on their parent.
bool isWindowedControl(const QWidget *control);
// Paints the control with its visible children at (x, y) of the painter's
// current origin; region, in the control's coordinates, limits the painting
// (an empty region paints the whole control).
void PaintControlTree(QWidget *control, QPainter *painter, int x, int y, const QRect &region = QRect());
// Paints the control itself, without its children, at the painter's origin.
void PaintControlImage(QWidget *control, QPainter *painter, const QRect &region = QRect());

} // namespace hvx
