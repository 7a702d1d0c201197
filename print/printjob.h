#pragma once
// The print job: the image of a window printed band by band.

#include "printerdevice.h"

#include <cstdint>

class QWidget;

namespace hvx {

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

// Prints the whole extent of the window scaled into the destination
// (printer pixels from the corner of the printable area), cut off at the
// printable area. The document must be started. True when every band was sent
// or there was nothing to print; false when the user cancelled, a band failed
// or memory ran out.
bool PrintWindowImage(QWidget *window, PrinterDevice *device, int left, int top, int width, int height,
                      const PrintJobOptions &options);

} // namespace hvx
