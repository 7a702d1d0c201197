#pragma once
// The bitmap of one band: which colours its capture holds, and the
// device-independent bitmap built from it at the printer's resolution.

#include "printerdevice.h"

#include <cstdint>
#include <vector>

class QImage;

namespace hvx {

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
    int bandWidth = 0; // the band in printer pixels
    int bandHeight = 0;
    long double ix = 1; // window pixels per printer pixel
    long double iy = 1;
    // Where the band starts inside the capture's first pixel (0 to below 1),
    // so that every band samples the window on the same grid as the first.
    long double phaseX = 0;
    long double phaseY = 0;
    int reduceX = 1;
    int reduceY = 1;
    bool driverStretch = false;
};

// Builds the output bitmap of a band from its capture: the header (with the
// colour table of the analysis) and the bottom-up rows. False when the
// memory for the rows could not be had.
bool makeBandBitmap(const QImage &capture, const BandColours &colours, const BandSampling &sampling, DibInfo *info,
                    std::vector<uint8_t> *bits);

} // namespace hvx
