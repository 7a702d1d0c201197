// The bitmap of one band: which colours it needs, and the device-independent
// bitmap built from its capture at the printer's resolution.

#include "bandbitmap.h"

#include <QImage>
#include <QSize>

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

namespace {

// The output bitmap's size: the band in printer pixels, or the capture in
// window pixels when the printer does the enlarging; reduced either way.
QSize outputSize(const QImage &capture, const BandSampling &sampling, int reduceX, int reduceY)
{
    int width;
    int height;
    if (sampling.driverStretch) {
        width = (capture.width() - 1) / reduceX;
        height = (capture.height() - 1) / reduceY;
    } else {
        width = sampling.bandWidth / reduceX;
        height = sampling.bandHeight / reduceY;
    }
    return QSize(std::max(1, width), std::max(1, height));
}

void fillHeader(DibInfo *info, QSize size, const BandColours &colours, int rowLength)
{
    *info = DibInfo{};
    DibHeader &h = info->Header;
    h.Size = sizeof(DibHeader);
    h.Width = size.width();
    h.Height = size.height();
    h.Planes = 1;
    h.BitCount = static_cast<uint16_t>(colours.bitsPerPixel);
    h.Compression = 0;
    h.SizeImage = static_cast<uint32_t>(static_cast<int64_t>(rowLength) * size.height());
    const int tableCount = colours.bitsPerPixel == 24 ? 0 : colours.count;
    h.ClrUsed = static_cast<uint32_t>(tableCount);
    h.ClrImportant = static_cast<uint32_t>(tableCount);
    std::copy(colours.table, colours.table + tableCount, info->Colors);
}

// The capture pixel that feeds output pixel `at` along one axis: nearest
// pixel at the printer's resolution, or every reduce-th window pixel when the
// printer does the enlarging.
int sourcePixel(int at, int reduce, long double phase, long double perPrinterPixel, bool driverStretch, int size)
{
    const int64_t pixel = driverStretch
        ? static_cast<int64_t>(at) * reduce
        : static_cast<int64_t>(phase + static_cast<long double>(at) * reduce * perPrinterPixel);
    return static_cast<int>(std::min<int64_t>(pixel, size - 1));
}

// Palette index of a colour; runs of one colour are the common case.
class PaletteIndex {
public:
    explicit PaletteIndex(const BandColours &colours)
    {
        if (colours.bitsPerPixel == 24)
            return;
        m_indexOf.reserve(static_cast<size_t>(colours.count) * 2);
        for (int i = 0; i < colours.count; ++i)
            m_indexOf.emplace(colours.table[i], static_cast<uint8_t>(i));
    }

    uint8_t operator()(QRgb pixel)
    {
        const uint32_t colour = pixel & 0x00ffffffu;
        if (colour != m_lastColour) {
            const auto it = m_indexOf.find(colour);
            m_lastIndex = it == m_indexOf.end() ? 0 : it->second;
            m_lastColour = colour;
        }
        return m_lastIndex;
    }

private:
    std::unordered_map<uint32_t, uint8_t> m_indexOf;
    uint32_t m_lastColour = 0xffffffffu;
    uint8_t m_lastIndex = 0;
};

// One output row from one capture row, at the bitmap's depth.
void writeRow(uint8_t *row, const QRgb *line, const std::vector<int> &sourceColumn, int bitsPerPixel,
              PaletteIndex &paletteIndex)
{
    const int width = static_cast<int>(sourceColumn.size());
    switch (bitsPerPixel) {
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
}

} // namespace

bool makeBandBitmap(const QImage &capture, const BandColours &colours, const BandSampling &sampling, DibInfo *info,
                    std::vector<uint8_t> *bits)
{
    if (!info || !bits || capture.isNull())
        return false;
    const QImage image = capture.format() == QImage::Format_RGB32 ? capture
                                                                  : capture.convertToFormat(QImage::Format_RGB32);
    const int reduceX = std::max(1, sampling.reduceX);
    const int reduceY = std::max(1, sampling.reduceY);
    const QSize size = outputSize(image, sampling, reduceX, reduceY);
    const int rowLength = dibRowLength(size.width(), colours.bitsPerPixel);
    fillHeader(info, size, colours, rowLength);
    try {
        bits->assign(static_cast<size_t>(rowLength) * size.height(), 0);
    } catch (const std::bad_alloc &) {
        bits->clear();
        return false;
    }

    std::vector<int> sourceColumn(size.width());
    for (int c = 0; c < size.width(); ++c)
        sourceColumn[c] = sourcePixel(c, reduceX, sampling.phaseX, sampling.ix, sampling.driverStretch, image.width());
    PaletteIndex paletteIndex(colours);

    int previousSourceRow = -1;
    const uint8_t *previousRow = nullptr;
    for (int r = 0; r < size.height(); ++r) {
        const int sourceRow = sourcePixel(r, reduceY, sampling.phaseY, sampling.iy, sampling.driverStretch,
                                          image.height());
        // Rows are stored bottom-up: output row r from the top is the
        // (height - 1 - r)-th row in memory.
        uint8_t *row = bits->data() + static_cast<size_t>(size.height() - 1 - r) * rowLength;
        if (sourceRow == previousSourceRow)
            std::memcpy(row, previousRow, rowLength);
        else
            writeRow(row, reinterpret_cast<const QRgb *>(image.constScanLine(sourceRow)), sourceColumn,
                     colours.bitsPerPixel, paletteIndex);
        previousSourceRow = sourceRow;
        previousRow = row;
    }
    return true;
}

} // namespace hvx
