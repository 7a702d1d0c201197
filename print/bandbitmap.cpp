// The bitmap of one band: which colours it needs, and the device-independent
// bitmap built from its capture at the printer's resolution.

#include "prnutils.h"

#include <QImage>

#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_map>

namespace hvx {

BandColours analyseBandColours(const QImage &capture, bool force24)
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
            const uint32_t *table = result.table;
            if (std::find(table, table + count, colour) != table + count)
                continue;
            result.table[count++] = colour;
            if (count > 256)
                break;
        }
    }
    if (count > 256) {
        result.bitsPerPixel = 24;
        result.count = 0;
        std::fill(std::begin(result.table), std::end(result.table), 0u);
        return result;
    }
    result.count = count;
    result.bitsPerPixel = count <= 2 ? 1 : count <= 16 ? 4 : 8;
    return result;
}

bool makeBandBitmap(const QImage &capture, const BandColours &colours, const BandSampling &sampling, DibInfo *info,
                    std::vector<uint8_t> *bits)
{
    if (!info || !bits || capture.isNull())
        return false;
    const QImage image = capture.format() == QImage::Format_RGB32 ? capture
                                                                  : capture.convertToFormat(QImage::Format_RGB32);
    const int reduceX = std::max(1, sampling.ReduceX);
    const int reduceY = std::max(1, sampling.ReduceY);
    const int bpp = colours.bitsPerPixel;

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
    const int rowLength = dibRowLength(width, bpp);

    *info = DibInfo{};
    DibHeader &h = info->Header;
    h.Size = sizeof(DibHeader);
    h.Width = width;
    h.Height = height;
    h.Planes = 1;
    h.BitCount = static_cast<uint16_t>(bpp);
    h.Compression = 0;
    h.SizeImage = static_cast<uint32_t>(static_cast<int64_t>(rowLength) * height);
    const int tableCount = bpp == 24 ? 0 : colours.count;
    h.ClrUsed = static_cast<uint32_t>(tableCount);
    h.ClrImportant = static_cast<uint32_t>(tableCount);
    std::copy(colours.table, colours.table + tableCount, info->Colors);

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
            : static_cast<int64_t>(sampling.PhaseX + static_cast<long double>(c) * reduceX * sampling.IX);
        sourceColumn[c] = static_cast<int>(std::min<int64_t>(x, image.width() - 1));
    }

    // Palette index of a colour; runs of one colour are the common case.
    std::unordered_map<uint32_t, uint8_t> indexOf;
    if (bpp != 24) {
        indexOf.reserve(static_cast<size_t>(tableCount) * 2);
        for (int i = 0; i < tableCount; ++i)
            indexOf.emplace(colours.table[i], static_cast<uint8_t>(i));
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
            : static_cast<int64_t>(sampling.PhaseY + static_cast<long double>(r) * reduceY * sampling.IY);
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

} // namespace hvx
